#ifndef ZELT_STRIDED_HPP_
#define ZELT_STRIDED_HPP_

// A vector whose elements lie a fixed distance apart in the caller's array:
// every k-th element, one column of a row-major matrix, a BLAS vector with an
// increment. Element i is first[i * stride]; the stride is signed, so a
// negative one walks backwards from `first` and 0 repeats one element.

#include <cstddef>      // std::ptrdiff_t
#include <iostream>     // std::ostream
#include <iterator>     // std::random_access_iterator_tag
#include <limits>       // std::numeric_limits
#include <type_traits>  // std::enable_if_t, std::is_convertible_v

#include "zelt/detail/contract.hpp"
#include "zelt/vector.hpp"

namespace zelt {

/// Random-access position over a strided run of elements: position `pos`
/// names `data_ptr[pos * stride]`. `Pointer` `T*` gives writable elements,
/// `const T*` read-only ones, and the first converts to the second. Iterators
/// compare by position only.
template <class Pointer, class SizeType>
class strided_iterator {
  static_assert(std::is_pointer_v<Pointer>, "strided_iterator walks elements through a raw pointer");

 public:
  using iterator_category = std::random_access_iterator_tag;
  using iterator_concept = std::random_access_iterator_tag;
  using value_type = std::remove_cv_t<std::remove_pointer_t<Pointer>>;
  using element_type = std::remove_pointer_t<Pointer>;
  using difference_type = std::ptrdiff_t;
  using pointer = Pointer;
  using reference = std::remove_pointer_t<Pointer>&;
  using size_type = SizeType;

  strided_iterator() = default;

  /// Position `position` of the run whose element 0 is `first`.
  constexpr strided_iterator(Pointer first, std::ptrdiff_t stride, SizeType position) noexcept
      : data_ptr(first), step(stride), pos(position) {}

#if defined(ZELT_CHECKED)
  /// Checked builds only: refuses to dereference outside [0, bound).
  constexpr strided_iterator(Pointer first, std::ptrdiff_t stride, SizeType position, SizeType bound) noexcept
      : data_ptr(first), step(stride), pos(position), checked_bound(bound) {}
#endif

  /// The mutable iterator converts to the read-only one, never the reverse.
  template <
      class Other,
      std::enable_if_t<!std::is_same_v<Other, Pointer> && std::is_convertible_v<Other, Pointer>, int> = 0>
  constexpr strided_iterator(const strided_iterator<Other, SizeType>& other) noexcept
      : data_ptr(other.data()),
        step(other.stride()),
        pos(other.position())
#if defined(ZELT_CHECKED)
        ,
        checked_bound(other.checked_bound)
#endif
  {
  }

  constexpr reference operator*() const noexcept {
    ZELT_EXPECTS(pos < checked_bound, "strided_iterator::operator*: position %llu outside [0, %llu)",
                 detail::ull(pos), detail::ull(checked_bound));
    return data_ptr[static_cast<std::ptrdiff_t>(pos) * step];
  }
  constexpr Pointer operator->() const noexcept { return &**this; }
  constexpr reference operator[](difference_type n) const noexcept { return *(*this + n); }

  constexpr strided_iterator& operator++() noexcept {
    ++pos;
    return *this;
  }
  constexpr strided_iterator operator++(int) noexcept {
    strided_iterator old = *this;
    ++pos;
    return old;
  }
  constexpr strided_iterator& operator--() noexcept {
    --pos;
    return *this;
  }
  constexpr strided_iterator operator--(int) noexcept {
    strided_iterator old = *this;
    --pos;
    return old;
  }
  constexpr strided_iterator& operator+=(difference_type n) noexcept {
    // in the size type's modular arithmetic, so moving back is adding -n
    pos = static_cast<SizeType>(pos + static_cast<SizeType>(n));
    return *this;
  }
  constexpr strided_iterator& operator-=(difference_type n) noexcept {
    pos = static_cast<SizeType>(pos - static_cast<SizeType>(n));
    return *this;
  }

  friend constexpr strided_iterator operator+(strided_iterator it, difference_type n) noexcept {
    return it += n;
  }
  friend constexpr strided_iterator operator+(difference_type n, strided_iterator it) noexcept {
    return it += n;
  }
  friend constexpr strided_iterator operator-(strided_iterator it, difference_type n) noexcept {
    return it -= n;
  }

  /// Element 0 of the run, the stride and the position.
  constexpr Pointer data() const noexcept { return data_ptr; }
  constexpr std::ptrdiff_t stride() const noexcept { return step; }
  constexpr SizeType position() const noexcept { return pos; }

 private:
  template <class, class>
  friend class strided_iterator;

  Pointer data_ptr = nullptr;
  std::ptrdiff_t step = 0;
  SizeType pos = 0;
#if defined(ZELT_CHECKED)
  SizeType checked_bound = std::numeric_limits<SizeType>::max();
#endif
};

// Comparisons and the distance, between any two flavours; positions only.
template <class P, class Q, class S>
constexpr bool operator==(const strided_iterator<P, S>& a, const strided_iterator<Q, S>& b) noexcept {
  return a.position() == b.position();
}
template <class P, class Q, class S>
constexpr bool operator!=(const strided_iterator<P, S>& a, const strided_iterator<Q, S>& b) noexcept {
  return !(a == b);
}
template <class P, class Q, class S>
constexpr bool operator<(const strided_iterator<P, S>& a, const strided_iterator<Q, S>& b) noexcept {
  return a.position() < b.position();
}
template <class P, class Q, class S>
constexpr bool operator>(const strided_iterator<P, S>& a, const strided_iterator<Q, S>& b) noexcept {
  return b < a;
}
template <class P, class Q, class S>
constexpr bool operator<=(const strided_iterator<P, S>& a, const strided_iterator<Q, S>& b) noexcept {
  return !(b < a);
}
template <class P, class Q, class S>
constexpr bool operator>=(const strided_iterator<P, S>& a, const strided_iterator<Q, S>& b) noexcept {
  return !(a < b);
}
/// Signed distance in elements (not in memory) from `b` to `a`.
template <class P, class Q, class S>
constexpr std::ptrdiff_t operator-(const strided_iterator<P, S>& a,
                                   const strided_iterator<Q, S>& b) noexcept {
  return static_cast<std::ptrdiff_t>(a.position()) - static_cast<std::ptrdiff_t>(b.position());
}

/// Non-owning view of `size()` elements of a caller-owned array, `stride()`
/// elements apart: element i is `data()[i * stride()]`, indexed from 0. The
/// stride may be negative (the view walks backwards from `data()`) or 0 (every
/// element is the same one). Copies alias the same elements; the caller keeps
/// every element the view names alive.
template <class T, class SizeType>
class strided_vec {
 public:
  using element_type = T;
  using value_type = std::remove_cv_t<T>;
  using size_type = SizeType;
  using difference_type = std::ptrdiff_t;
  using pointer = T*;
  using reference = T&;
  using const_reference = const T&;
  using iterator = strided_iterator<T*, SizeType>;
  using const_iterator = strided_iterator<const T*, SizeType>;

  /// An empty view: no elements, null data, stride 1.
  constexpr strided_vec() noexcept = default;

  /// `length` elements from `first`, `stride` elements apart. A BLAS vector
  /// `x` of `n` elements with increment `inc < 0` starts at the far end:
  /// `strided_vec(x + (n - 1) * -inc, n, inc)`.
  constexpr strided_vec(T* first, SizeType length, std::ptrdiff_t stride) noexcept
      : first_(first), length_(length), stride_(stride) {
    ZELT_EXPECTS(first != nullptr || length == 0, "strided_vec: null data with length %llu",
                 detail::ull(length));
  }

  /// A contiguous view seen as a strided one of stride 1; element i of the
  /// result is element i of `v` counted from its first, whatever its index base.
  template <class U, int StaticSize, std::enable_if_t<std::is_convertible_v<U*, T*>, int> = 0>
  constexpr strided_vec(const external_vec<U, StaticSize, SizeType>& v) noexcept
      : first_(v.data_ptr), length_(v.size()) {}  // stride 1, the default

  /// A view of writable elements converts to one of read-only elements.
  template <class U, std::enable_if_t<!std::is_same_v<U, T> && std::is_convertible_v<U*, T*>, int> = 0>
  constexpr strided_vec(const strided_vec<U, SizeType>& v) noexcept
      : first_(v.data()), length_(v.size()), stride_(v.stride()) {}

  constexpr SizeType size() const noexcept { return length_; }
  constexpr std::ptrdiff_t stride() const noexcept { return stride_; }
  /// The address of element 0 (the highest address when the stride is negative).
  constexpr T* data() noexcept { return first_; }
  constexpr const T* data() const noexcept { return first_; }

  /// Element i, that is `data()[i * stride()]`; i must be below size().
  /// Non-const: writable; const: read-only, like the iterators.
  constexpr T& operator[](SizeType i) noexcept { return first_[offset_of(i)]; }
  constexpr const T& operator[](SizeType i) const noexcept { return first_[offset_of(i)]; }

  constexpr iterator begin() noexcept { return make_iterator<iterator>(0); }
  constexpr iterator end() noexcept { return make_iterator<iterator>(length_); }
  constexpr const_iterator begin() const noexcept { return make_iterator<const_iterator>(0); }
  constexpr const_iterator end() const noexcept { return make_iterator<const_iterator>(length_); }

 private:
  constexpr std::ptrdiff_t offset_of(SizeType i) const noexcept {
    ZELT_EXPECTS(i < length_, "strided_vec::operator[]: index %llu outside [0, %llu)", detail::ull(i),
                 detail::ull(length_));
    return static_cast<std::ptrdiff_t>(i) * stride_;
  }

  template <class Iterator>
  constexpr Iterator make_iterator(SizeType position) const noexcept {
#if defined(ZELT_CHECKED)
    return Iterator(first_, stride_, position, length_);
#else
    return Iterator(first_, stride_, position);
#endif
  }

  T* first_ = nullptr;
  SizeType length_ = 0;
  std::ptrdiff_t stride_ = 1;
};

/// Writes `v` in the form of print_vector, without the end of line.
template <class T, class SizeType>
std::ostream& operator<<(std::ostream& os, const strided_vec<T, SizeType>& v) {
  detail::write_vector(v, os);
  return os;
}

}  // namespace zelt

#if ZELT_HAS_RANGES
namespace std::ranges {
template <class T, class SizeType>
inline constexpr bool enable_view<zelt::strided_vec<T, SizeType>> = true;
template <class T, class SizeType>
inline constexpr bool enable_borrowed_range<zelt::strided_vec<T, SizeType>> = true;
}  // namespace std::ranges
#endif

#endif  // ZELT_STRIDED_HPP_
