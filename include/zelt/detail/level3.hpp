#ifndef ZELT_DETAIL_LEVEL3_HPP_
#define ZELT_DETAIL_LEVEL3_HPP_

// The Level 3 operations in the reference BLAS's own terms: column-major
// outputs, the reference's flags, and for each output element the chain of
// roundings the reference routine performs, in its order. Every routine here
// is built from three pieces:
//
//  * accumulate (gemm_engine.hpp) for rectangles of independent chains;
//  * triangle_blocks, which cuts a triangular dependency pattern into such
//    rectangles plus small diagonal leaves, visiting them in an order that
//    keeps every chain's terms in the reference's order and lets a solve use
//    only finished values;
//  * leaf loops that run the reference's own loop on a diagonal leaf.
//
// Elements are addressed through mref, so an operand may be a transpose, a
// row-major matrix or a block without being copied.

#include <algorithm>  // std::min, std::max
#include <cmath>      // std::sqrt
#include <cstddef>    // std::size_t, std::ptrdiff_t
#include <cstring>    // std::memcpy
#include <new>        // std::align_val_t
#include <utility>    // std::pair
#include <vector>     // std::vector

#include "zelt/detail/exact.hpp"
#include "zelt/detail/gemm_engine.hpp"
#include "zelt/detail/simd.hpp"
#include "zelt/threads.hpp"

namespace zelt::detail {

/// Aligned scratch for `lines` lines of `length` elements, or for fewer lines
/// (halved until one) when that much memory cannot be had: the caller works
/// through its problem in smaller pieces, with the same bits. Throws
/// std::bad_alloc, before anything is written, only when not even one line
/// can be had.
template <class T>
class scratch {
 public:
  scratch(std::size_t length, std::size_t lines) : lines_(lines) {
    if (length == 0 || lines == 0) return;
    // Small blocks in the thread's scratch arena when it is free, so that
    // small calls allocate nothing; larger ones are not kept past the call.
    const std::size_t bytes = length * lines_ * sizeof(T);
    if (bytes <= kept_bytes) p_ = static_cast<T*>(lease_.get(bytes));
    if (p_ != nullptr) return;
    for (;;) {
      own_ = static_cast<T*>(::operator new (length* lines_ * sizeof(T), std::align_val_t{64}, std::nothrow));
      if (own_ != nullptr || lines_ == 1) break;
      lines_ = (lines_ + 1) / 2;
    }
    if (own_ == nullptr) throw std::bad_alloc();
    p_ = own_;
  }
  ~scratch() {
    if (own_ != nullptr) ::operator delete (own_, std::align_val_t{64});
  }
  scratch(const scratch&) = delete;
  scratch& operator=(const scratch&) = delete;
  T* data() const noexcept { return p_; }
  std::size_t lines() const noexcept { return lines_; }

 private:
  static constexpr std::size_t kept_bytes = std::size_t{1} << 20;
  arena_lease lease_{arena_slot::scratch};
  T* own_ = nullptr;
  T* p_ = nullptr;
  std::size_t lines_;
};

/// The symmetric matrix whose `upper` (or lower) triangle is stored in s.
template <class T>
struct symmetric {
  mref<T> s;
  bool upper;
  T operator()(std::size_t i, std::size_t k) const noexcept { return (i <= k) == upper ? s(i, k) : s(k, i); }
};

}  // namespace zelt::detail

#define ZELT_KERNELS_FILE "zelt/detail/kernels/level3.hpp"
#include "zelt/detail/for_each_kernel_set.hpp"

#endif  // ZELT_DETAIL_LEVEL3_HPP_
