#ifndef ZELT_DETAIL_GEMM_ENGINE_HPP_
#define ZELT_DETAIL_GEMM_ENGINE_HPP_

// The engine behind every Level 3 operation:
//
//     C(i, j) = C(i, j) + b(l, j) a(i, l)      for l = 0, 1, ..., k - 1 in order,
//
// one chain per output element, each product rounded on its own and added to
// the running value, optionally skipping the (l, j) pairs that the caller's
// `keep` says the reference skips. Many chains run side by side: a register
// tile of MR x NR outputs stays in vector accumulators while k advances, and
// k is cut into blocks that are added in order onto the values C already
// holds. Blocking sizes, packing and the tile shape therefore decide only how
// fast this runs, never a bit of the result.
//
// The operands are functions of the logical index, so a caller can feed a
// transposed, reversed, interleaved or pre-scaled matrix without copying it:
// the engine copies ("packs") blocks of them into aligned buffers laid out
// for the micro-kernel anyway.

#include <algorithm>    // std::min
#include <cstddef>      // std::size_t, std::ptrdiff_t
#include <cstring>      // std::memcpy, std::memset
#include <limits>       // std::numeric_limits
#include <new>          // std::nothrow, std::align_val_t
#include <type_traits>  // std::is_same_v, std::remove_pointer_t
#include <utility>      // std::pair

#include "zelt/detail/exact.hpp"
#include "zelt/detail/simd.hpp"

namespace zelt::detail {

/// Elements r = 0, 1, ... of a line of a matrix: p[r step].
template <class T>
struct strided_line {
  T* p;
  std::ptrdiff_t step;
  T& operator[](std::size_t r) const noexcept { return p[static_cast<std::ptrdiff_t>(r) * step]; }
};

/// Element (i, j) is p[i rs + j cs].
template <class T>
struct mref {
  T* p;
  std::ptrdiff_t rs, cs;
  T& operator()(std::size_t i, std::size_t j) const noexcept {
    return p[static_cast<std::ptrdiff_t>(i) * rs + static_cast<std::ptrdiff_t>(j) * cs];
  }
  mref t() const noexcept { return {p, cs, rs}; }
  /// Column j from row i on.
  strided_line<T> column(std::size_t i, std::size_t j) const noexcept { return {&(*this)(i, j), rs}; }
  /// The block from (i, j) on. An empty matrix may have no array at all:
  /// its blocks are itself, never an address computed from null.
  mref at(std::size_t i, std::size_t j) const noexcept {
    return p == nullptr ? *this : mref{&(*this)(i, j), rs, cs};
  }
  std::size_t ld() const noexcept { return static_cast<std::size_t>(cs); }
  /// The first n columns in reverse order (when `reverse`).
  mref columns_reversed(bool reverse, std::size_t n) const noexcept {
    return reverse && n > 0 ? mref{&(*this)(0, n - 1), rs, -cs} : *this;
  }
  /// The first n rows in reverse order (when `reverse`).
  mref rows_reversed(bool reverse, std::size_t n) const noexcept {
    return t().columns_reversed(reverse, n).t();
  }
};

/// An mref whose row step is 1, known at compile time: a loop down one of
/// its columns reads contiguous memory and vectorises.
template <class T>
struct unit_rows_ref {
  T* p;
  std::ptrdiff_t cs;
  T& operator()(std::size_t i, std::size_t j) const noexcept {
    return p[static_cast<std::ptrdiff_t>(i) + static_cast<std::ptrdiff_t>(j) * cs];
  }
  T* column(std::size_t i, std::size_t j) const noexcept { return &(*this)(i, j); }
};

/// f(x...), each x as a unit_rows_ref when every x has row step 1, else as
/// it is.
template <class F, class... M>
void with_unit_rows(F&& f, M... x) {
  const bool unit = ((x.rs == 1) && ...);
  if (unit) {
    f(unit_rows_ref<std::remove_pointer_t<decltype(x.p)>>{x.p, x.cs}...);
  } else {
    f(x...);
  }
}

/// An operand read straight from memory, each element times `scale` (one
/// rounded product; scale 1 reads the element as it is). Packing copies it
/// with plain loops instead of calls per element.
template <class T>
struct operand {
  mref<T> m;
  T scale = 1;
  T operator()(std::size_t i, std::size_t l) const noexcept {
    return scale == 1.0 ? m(i, l) : scale * m(i, l);
  }
  /// Whether the element behind (i, l), as stored, is not zero.
  bool nonzero(std::size_t i, std::size_t l) const noexcept { return m(i, l) != 0.0; }
};

/// Two operands taken in turns, step by step: step l is step l / 2 of x when
/// l is even, of y when it is odd. As the a side (steps are columns) and as
/// the b side (steps are rows), for one chain over two products at once.
template <class T, class Operand = operand<T>>
struct interleaved_columns {
  Operand x, y;
  const Operand& half(std::size_t l) const noexcept { return l % 2 == 0 ? x : y; }
  T operator()(std::size_t i, std::size_t l) const noexcept { return half(l)(i, l / 2); }
};
template <class T, class Operand = operand<T>>
struct interleaved_rows {
  Operand x, y;
  const Operand& half(std::size_t l) const noexcept { return l % 2 == 0 ? x : y; }
  T operator()(std::size_t l, std::size_t j) const noexcept { return half(l)(l / 2, j); }
  /// Whether either half's element in the pair's row is not zero.
  bool nonzero(std::size_t l, std::size_t j) const noexcept {
    return x.nonzero(l / 2, j) || y.nonzero(l / 2, j);
  }
};

/// Every (l, j) pair takes part: the chains of gemm and symm.
struct keep_all {
  bool operator()(std::size_t, std::size_t) const noexcept { return true; }
};

/// The (l, j) pairs whose element of the b operand, as stored (before its
/// scale), is not zero (b.nonzero(l, j)): the reference's test of a
/// multiplier against zero. Packing reads the flags beside the values.
struct keep_nonzero {};

/// The (l, j) pairs whose flag is not zero in a byte matrix: flag (l, j) at
/// p[l rs + j cs].
struct keep_flags {
  const unsigned char* p;
  std::ptrdiff_t rs, cs;
  bool operator()(std::size_t l, std::size_t j) const noexcept {
    return p[static_cast<std::ptrdiff_t>(l) * rs + static_cast<std::ptrdiff_t>(j) * cs] != 0;
  }
};

/// One thread's packing memory, kept from call to call and grown when a call
/// needs more, so that small products do not pay for an allocation each.
struct packing_arena {
  void* memory = nullptr;
  std::size_t bytes = 0;
  bool busy = false;
  packing_arena() = default;
  packing_arena(const packing_arena&) = delete;
  packing_arena& operator=(const packing_arena&) = delete;
  ~packing_arena() {
    if (memory != nullptr) ::operator delete (memory, std::align_val_t{64});
  }
};
/// A thread's arenas: one for the engine's packing, one for the blocks of
/// intermediate sums that an operation keeps beside it.
enum class arena_slot : unsigned char { packing, scratch };
inline packing_arena& thread_arena(arena_slot slot) noexcept {
  thread_local packing_arena packing, scratch;
  return slot == arena_slot::packing ? packing : scratch;
}

/// The thread's packing arena for as long as this object lives, when no one
/// else on the thread holds it: get(bytes), called once, grows it to `bytes`
/// if it must, and returns null when the arena is held or memory is short.
class arena_lease {
 public:
  explicit arena_lease(arena_slot slot = arena_slot::packing) noexcept : slot_(slot) {}
  arena_lease(const arena_lease&) = delete;
  arena_lease& operator=(const arena_lease&) = delete;
  ~arena_lease() {
    if (arena_ != nullptr) arena_->busy = false;
  }
  void* get(std::size_t bytes) noexcept {
    packing_arena& arena = thread_arena(slot_);
    if (arena.busy) return nullptr;
    if (arena.bytes < bytes) {
      if (arena.memory != nullptr) ::operator delete (arena.memory, std::align_val_t{64});
      arena.memory = ::operator new (bytes, std::align_val_t{64}, std::nothrow);
      arena.bytes = arena.memory != nullptr ? bytes : 0;
    }
    if (arena.memory == nullptr) return nullptr;
    arena.busy = true;
    arena_ = &arena;
    return arena.memory;
  }

 private:
  arena_slot slot_;
  packing_arena* arena_ = nullptr;
};

// What packing puts past the edge of an operand: the lanes it feeds are
// never stored, and a NaN makes any that were stored by mistake show.
template <class T>
constexpr T padding = std::numeric_limits<T>::quiet_NaN();

/// Which terms and which outputs an accumulation has: a dense rectangle. The
/// triangular shapes below narrow it down; the engine asks, per register
/// tile of rows [i0, i1) and columns [j0, j1):
///   region  0: no element of the tile is an output, 1: all are, 2: some
///           are, and then output(i, j) says which;
///   steps   the range [lo, hi) of l outside which the tile has no term;
///   partial the range of l in which some rows of the tile take the term
///           and others do not, and then taking(i0, l, rows) says which,
///           as a range of the tile's rows.
struct dense_shape {
  int region(std::size_t, std::size_t, std::size_t, std::size_t) const noexcept { return 1; }
  bool output(std::size_t, std::size_t) const noexcept { return true; }
  std::pair<std::size_t, std::size_t> steps(std::size_t, std::size_t, std::size_t,
                                            std::size_t) const noexcept {
    return {0, static_cast<std::size_t>(-1)};
  }
  std::pair<std::size_t, std::size_t> partial(std::size_t, std::size_t) const noexcept { return {0, 0}; }
  /// The rows of a tile from row i0 on that take step s: [lo, hi), counted
  /// within the tile.
  std::pair<std::size_t, std::size_t> taking(std::size_t, std::size_t, std::size_t rows) const noexcept {
    return {0, rows};
  }
};

/// The outputs (i, j) on one side of a diagonal, i <= j (upper) or i >= j,
/// where the output's row i and column j are i + di and j + dj in the
/// triangle's own numbering.
struct output_triangle : dense_shape {
  bool upper;
  std::size_t di, dj;
  output_triangle(bool up, std::size_t row_offset, std::size_t col_offset) noexcept
      : upper(up), di(row_offset), dj(col_offset) {}
  bool output(std::size_t i, std::size_t j) const noexcept {
    return upper ? i + di <= j + dj : i + di >= j + dj;
  }
  int region(std::size_t i0, std::size_t i1, std::size_t j0, std::size_t j1) const noexcept {
    const bool all = upper ? output(i1 - 1, j0) : output(i0, j1 - 1);
    const bool none = upper ? !output(i0, j1 - 1) : !output(i1 - 1, j0);
    return none ? 0 : (all ? 1 : 2);
  }
};

/// Terms of a triangular a: row i takes the steps whose index l (the packed
/// step s, walked backwards from k - 1 when descending) is before i (l < i)
/// or after it (l > i).
struct row_triangle : dense_shape {
  bool before, descending;
  std::size_t k;
  std::size_t index(std::size_t s) const noexcept { return descending ? k - 1 - s : s; }
  bool term(std::size_t i, std::size_t s) const noexcept { return before ? index(s) < i : index(s) > i; }
  // the steps of the index range [l0, l1)
  std::pair<std::size_t, std::size_t> as_steps(std::size_t l0, std::size_t l1) const noexcept {
    if (l1 <= l0) return {0, 0};
    return descending ? std::pair<std::size_t, std::size_t>{k - l1, k - l0}
                      : std::pair<std::size_t, std::size_t>{l0, l1};
  }
  std::pair<std::size_t, std::size_t> steps(std::size_t i0, std::size_t i1, std::size_t,
                                            std::size_t) const noexcept {
    return before ? as_steps(0, std::min(i1 - 1, k)) : as_steps(std::min(i0 + 1, k), k);
  }
  std::pair<std::size_t, std::size_t> partial(std::size_t i0, std::size_t i1) const noexcept {
    return before ? as_steps(std::min(i0, k), std::min(i1 - 1, k))
                  : as_steps(std::min(i0 + 1, k), std::min(i1, k));
  }
  std::pair<std::size_t, std::size_t> taking(std::size_t i0, std::size_t s, std::size_t rows) const noexcept {
    const std::size_t l = index(s);  // rows i > l (before) or i < l take it
    const std::size_t edge = std::min(rows, l < i0 ? 0 : l - i0 + (before ? 1 : 0));
    return before ? std::pair<std::size_t, std::size_t>{edge, rows}
                  : std::pair<std::size_t, std::size_t>{0, edge};
  }
};

/// Terms of a triangular b: column j takes the steps whose index is before j
/// or after it; the caller's keep must say the same pair by pair.
struct column_triangle : dense_shape {
  bool before, descending;
  std::size_t k;
  std::pair<std::size_t, std::size_t> steps(std::size_t, std::size_t, std::size_t j0,
                                            std::size_t j1) const noexcept {
    const row_triangle r{{}, before, descending, k};
    return r.steps(j0, j1, 0, 0);
  }
};

}  // namespace zelt::detail

#define ZELT_KERNELS_FILE "zelt/detail/kernels/engine.hpp"
#include "zelt/detail/for_each_kernel_set.hpp"

#endif  // ZELT_DETAIL_GEMM_ENGINE_HPP_
