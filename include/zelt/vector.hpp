#ifndef ZELT_VECTOR_HPP_
#define ZELT_VECTOR_HPP_

#include <cstddef>      // std::ptrdiff_t
#include <iostream>     // std::cout, std::ostream, std::endl
#include <iterator>     // std::iterator_traits, iterator category tags
#include <limits>       // std::numeric_limits
#include <type_traits>  // std::remove_pointer_t, std::remove_cv_t, std::enable_if_t

#include "zelt/detail/contract.hpp"

#if __cplusplus >= 202002L && __has_include(<version>)
#include <version>
#endif
#if defined(__cpp_lib_ranges) && __cpp_lib_ranges >= 201911L
#include <ranges>  // std::ranges::enable_view, std::ranges::enable_borrowed_range
#define ZELT_HAS_RANGES 1
#else
#define ZELT_HAS_RANGES 0
#endif
#if defined(__cpp_lib_concepts) && __cpp_lib_concepts >= 202002L
#define ZELT_HAS_CONTIGUOUS_ITERATOR 1
#else
#define ZELT_HAS_CONTIGUOUS_ITERATOR 0
#endif
#if defined(__cpp_lib_span) && __cpp_lib_span >= 202002L
#include <span>  // std::span
#define ZELT_HAS_SPAN 1
#else
#define ZELT_HAS_SPAN 0
#endif

namespace zelt {

/// Random-access position over a contiguous run of elements. `Pointer` picks the
/// flavour: `T*` gives writable elements, `const T*` read-only ones, and the
/// first converts implicitly to the second. Holds no reference to the view it
/// came from, so it stays valid as long as the caller's array does. Iterators
/// compare by position only. `Reserved` has no role yet and must be 0.
template <class Pointer, int Reserved, class SizeType>
class dense_iterator {
  static_assert(std::is_pointer_v<Pointer>, "dense_iterator walks elements through a raw pointer");
  static_assert(Reserved == 0, "the second template argument of dense_iterator is reserved and must be 0");

 public:
  using iterator_category = std::random_access_iterator_tag;
#if ZELT_HAS_CONTIGUOUS_ITERATOR
  using iterator_concept = std::contiguous_iterator_tag;
#endif
  using value_type = std::remove_cv_t<std::remove_pointer_t<Pointer>>;
  using element_type = std::remove_pointer_t<Pointer>;
  using difference_type = std::ptrdiff_t;
  using pointer = Pointer;
  using reference = std::remove_pointer_t<Pointer>&;
  using size_type = SizeType;

  dense_iterator() = default;

  /// Position `position` counted in elements from `first`; `base` is the index
  /// base of the view, carried along but not used for access.
  constexpr dense_iterator(Pointer first, SizeType position, SizeType base) noexcept
      : data_ptr(first), pos(position), index_base(base) {}

#if defined(ZELT_CHECKED)
  /// Checked builds only: an iterator that knows its view holds `bound`
  /// elements and refuses to dereference outside [0, bound).
  constexpr dense_iterator(Pointer first, SizeType position, SizeType base, SizeType bound) noexcept
      : data_ptr(first), pos(position), index_base(base), checked_bound(bound) {}
#endif

  /// The mutable iterator converts to the read-only one, never the reverse.
  template <
      class Other,
      std::enable_if_t<!std::is_same_v<Other, Pointer> && std::is_convertible_v<Other, Pointer>, int> = 0>
  constexpr dense_iterator(const dense_iterator<Other, 0, SizeType>& other) noexcept
      : data_ptr(other.data_ptr),
        pos(other.pos),
        index_base(other.index_base)
#if defined(ZELT_CHECKED)
        ,
        checked_bound(other.checked_bound)
#endif
  {
  }

  /// The element at `data_ptr[pos]`; the caller keeps `pos` inside the view.
  constexpr reference operator*() const noexcept {
    ZELT_EXPECTS(pos < checked_bound, "dense_iterator::operator*: position %llu outside [0, %llu)",
                 detail::ull(pos), detail::ull(checked_bound));
    return data_ptr[pos];
  }
  constexpr Pointer operator->() const noexcept {
    ZELT_EXPECTS(pos < checked_bound, "dense_iterator::operator->: position %llu outside [0, %llu)",
                 detail::ull(pos), detail::ull(checked_bound));
    return data_ptr + pos;
  }
  constexpr reference operator[](difference_type n) const noexcept { return *(*this + n); }

  constexpr dense_iterator& operator++() noexcept {
    ++pos;
    return *this;
  }
  constexpr dense_iterator operator++(int) noexcept {
    dense_iterator old = *this;
    ++pos;
    return old;
  }
  constexpr dense_iterator& operator--() noexcept {
    --pos;
    return *this;
  }
  constexpr dense_iterator operator--(int) noexcept {
    dense_iterator old = *this;
    --pos;
    return old;
  }

  constexpr dense_iterator& operator+=(difference_type n) noexcept {
    // in the size type's modular arithmetic, so moving back is adding -n
    pos = static_cast<SizeType>(pos + static_cast<SizeType>(n));
    return *this;
  }
  constexpr dense_iterator& operator-=(difference_type n) noexcept {
    pos = static_cast<SizeType>(pos - static_cast<SizeType>(n));
    return *this;
  }

  friend constexpr dense_iterator operator+(dense_iterator it, difference_type n) noexcept { return it += n; }
  friend constexpr dense_iterator operator+(difference_type n, dense_iterator it) noexcept { return it += n; }
  friend constexpr dense_iterator operator-(dense_iterator it, difference_type n) noexcept { return it -= n; }

  /// Compares positions only: the element pointers and index bases are not
  /// looked at, so iterators over different arrays still compare.
  constexpr bool operator<(const dense_iterator& other) const noexcept { return pos < other.pos; }

  // The three fields are public: an iterator is a plain value with no
  // invariant of its own.
  Pointer data_ptr = nullptr;  ///< first element of the view it was taken from
  SizeType pos = 0;            ///< position, in elements from `data_ptr`
  SizeType index_base = 0;     ///< the view's index base, carried along

#if defined(ZELT_CHECKED)
 private:
  template <class, int, class>
  friend class dense_iterator;
  // Number of elements of the view it came from; unknown (no check) for an
  // iterator built from a bare pointer.
  SizeType checked_bound = std::numeric_limits<SizeType>::max();
#endif
};

// The remaining comparisons and the distance, between any two flavours. Like
// operator<, they look at positions only.
template <class P, class Q, class S>
constexpr bool operator<(const dense_iterator<P, 0, S>& a, const dense_iterator<Q, 0, S>& b) noexcept {
  return a.pos < b.pos;
}
template <class P, class Q, class S>
constexpr bool operator==(const dense_iterator<P, 0, S>& a, const dense_iterator<Q, 0, S>& b) noexcept {
  return a.pos == b.pos;
}
template <class P, class Q, class S>
constexpr bool operator!=(const dense_iterator<P, 0, S>& a, const dense_iterator<Q, 0, S>& b) noexcept {
  return !(a == b);
}
template <class P, class Q, class S>
constexpr bool operator>(const dense_iterator<P, 0, S>& a, const dense_iterator<Q, 0, S>& b) noexcept {
  return b < a;
}
template <class P, class Q, class S>
constexpr bool operator<=(const dense_iterator<P, 0, S>& a, const dense_iterator<Q, 0, S>& b) noexcept {
  return !(b < a);
}
template <class P, class Q, class S>
constexpr bool operator>=(const dense_iterator<P, 0, S>& a, const dense_iterator<Q, 0, S>& b) noexcept {
  return !(a < b);
}
/// Signed distance in elements from `b` to `a`.
template <class P, class Q, class S>
constexpr std::ptrdiff_t operator-(const dense_iterator<P, 0, S>& a,
                                   const dense_iterator<Q, 0, S>& b) noexcept {
  return static_cast<std::ptrdiff_t>(a.pos) - static_cast<std::ptrdiff_t>(b.pos);
}

/// True while `a` has not yet reached `b`. Dispatches on the iterator category:
/// random-access positions use `a < b`, so an iterator that overshoots the end
/// still ends the loop; weaker categories use `a != b`.
template <class Iter1, class Iter2>
constexpr bool not_at(const Iter1& a, const Iter2& b, std::random_access_iterator_tag) {
  return a < b;
}

template <class Iter1, class Iter2>
constexpr bool not_at(const Iter1& a, const Iter2& b, std::input_iterator_tag) {
  return a != b;
}

template <class Iter1, class Iter2>
constexpr bool not_at(const Iter1& a, const Iter2& b) {
  using category = typename std::iterator_traits<Iter1>::iterator_category;
  return not_at(a, b, category());
}

/// Non-owning view of `size()` elements of a caller-owned array. Copies alias
/// the same elements; the caller keeps the array alive. `StaticSize` fixes the
/// length at compile time, 0 means it is given at run time. `operator[]`
/// counts indices from `index_base`.
template <class T, int StaticSize, class SizeType>
class external_vec {
  static_assert(StaticSize >= 0, "the static length of an external_vec cannot be negative");

 public:
  using element_type = T;
  using value_type = std::remove_cv_t<T>;
  using size_type = SizeType;
  using difference_type = std::ptrdiff_t;
  using pointer = T*;
  using reference = T&;
  using const_reference = const T&;
  using iterator = dense_iterator<T*, 0, SizeType>;
  using const_iterator = dense_iterator<const T*, 0, SizeType>;

  /// An empty view: no elements, null data, index base 0.
  template <int N = StaticSize, std::enable_if_t<N == 0, int> = 0>
  constexpr external_vec() noexcept : data_ptr(nullptr), length(0), index_base(0) {}

  /// View of `len` elements from `first`, whose first element has index `base`.
  template <int N = StaticSize, std::enable_if_t<N == 0, int> = 0>
  constexpr external_vec(T* first, SizeType len, SizeType base) noexcept
      : data_ptr(first), length(len), index_base(base) {
    ZELT_EXPECTS(first != nullptr || len == 0, "external_vec: null data with length %llu", detail::ull(len));
  }

  /// View of the `StaticSize` elements from `first`, indexed from 0.
  template <int N = StaticSize, std::enable_if_t<N != 0, int> = 0>
  constexpr explicit external_vec(T* first) noexcept
      : data_ptr(first), length(static_cast<SizeType>(N)), index_base(0) {
    ZELT_EXPECTS(first != nullptr, "external_vec: null data with length %d", N);
  }

#if ZELT_HAS_SPAN
  /// View of the elements of `s`, indexed from 0. The length is narrowed to
  /// `SizeType`; the caller keeps `s.size()` within its range.
  template <int N = StaticSize, std::enable_if_t<N == 0, int> = 0>
  constexpr explicit external_vec(std::span<T> s) noexcept
      : data_ptr(s.data()), length(static_cast<SizeType>(s.size())), index_base(0) {
    ZELT_EXPECTS(s.size() <= std::numeric_limits<SizeType>::max(),
                 "external_vec: span of %llu elements does not fit the size type", detail::ull(s.size()));
  }
#endif

  /// The number of elements; a compile-time constant for a static length.
  constexpr SizeType size() const noexcept {
    if constexpr (StaticSize != 0) {
      return static_cast<SizeType>(StaticSize);
    } else {
      return length;
    }
  }

  /// Element with index `i`, that is `data_ptr[i - index_base]`. Unchecked.
  constexpr T& operator[](SizeType i) noexcept { return data_ptr[offset_of(i)]; }
  constexpr const T& operator[](SizeType i) const noexcept { return data_ptr[offset_of(i)]; }

  /// The first stored element, whatever the index base.
  constexpr T* data() noexcept { return data_ptr; }
  constexpr const T* data() const noexcept { return data_ptr; }

  constexpr iterator begin() noexcept { return make_iterator<iterator>(0); }
  constexpr iterator end() noexcept { return make_iterator<iterator>(size()); }
  constexpr const_iterator begin() const noexcept { return make_iterator<const_iterator>(0); }
  constexpr const_iterator end() const noexcept { return make_iterator<const_iterator>(size()); }

  // The three fields are public, like the iterator's: a view is a plain value
  // whose only obligations are the caller's.
  T* data_ptr;          ///< first element of the caller's array
  SizeType length;      ///< number of elements (the static length, if fixed)
  SizeType index_base;  ///< index that operator[] maps to `data_ptr[0]`

 private:
  // i - index_base in the size type, so an index below the base wraps around.
  constexpr SizeType offset_of(SizeType i) const noexcept {
    const auto offset = static_cast<SizeType>(i - index_base);
    ZELT_EXPECTS(offset < size(), "external_vec::operator[]: index %llu outside [%llu, %llu)", detail::ull(i),
                 detail::ull(index_base), detail::ull(index_base) + detail::ull(size()));
    return offset;
  }

  template <class Iterator>
  constexpr Iterator make_iterator(SizeType position) const noexcept {
#if defined(ZELT_CHECKED)
    return Iterator(data_ptr, position, index_base, size());
#else
    return Iterator(data_ptr, position, index_base);
#endif
  }
};

/// Stateless function object that wraps a pointer as a view of static length `N`.
template <int N>
struct __make_external {
  static_assert(N > 0, "__make_external makes views of a fixed, nonzero length");

  template <class T>
  constexpr external_vec<T, N, unsigned int> operator()(T* first) const noexcept {
    return external_vec<T, N, unsigned int>(first);
  }
};

namespace detail {

// The vector text form without its end of line: "[", each element followed by
// ",", then "]". `end()` is asked afresh at every test. The stream's precision
// and format flags apply to every element; a field width is not applied.
template <class Vector>
void write_vector(Vector& v, std::ostream& os) {
  os.width(0);
  auto it = v.begin();
  os << "[";
  while (not_at(it, v.end())) {
    (os << *it) << ",";
    ++it;
  }
  os << "]";
}

}  // namespace detail

/// Writes `v` to `os` as "[e0,e1,...,]": every element is followed by a comma,
/// then the line ends with std::endl. Elements use the stream's precision and
/// format flags.
template <class Vector>
void print_vector(Vector v, std::ostream& os) {
  detail::write_vector(v, os);
  os << std::endl;
}

/// Writes `v` to std::cout in the form of print_vector(v, os).
template <class Vector>
void print_vector(Vector v) {
  print_vector(v, std::cout);
}

/// Writes `v` in the form of print_vector, without the end of line.
template <class T, int StaticSize, class SizeType>
std::ostream& operator<<(std::ostream& os, const external_vec<T, StaticSize, SizeType>& v) {
  external_vec<T, StaticSize, SizeType> view = v;
  detail::write_vector(view, os);
  return os;
}

}  // namespace zelt

#if ZELT_HAS_RANGES
// A view owns nothing: it is a std::ranges::view, and its iterators stay valid
// after the view itself is gone.
namespace std::ranges {
template <class T, int StaticSize, class SizeType>
inline constexpr bool enable_view<zelt::external_vec<T, StaticSize, SizeType>> = true;
template <class T, int StaticSize, class SizeType>
inline constexpr bool enable_borrowed_range<zelt::external_vec<T, StaticSize, SizeType>> = true;
}  // namespace std::ranges
#endif

#endif  // ZELT_VECTOR_HPP_
