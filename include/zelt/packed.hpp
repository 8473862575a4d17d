#ifndef ZELT_PACKED_HPP_
#define ZELT_PACKED_HPP_

// Packed triangles over a caller's array, as the BLAS stores them.
//
// packed_matrix<T, Triangle, col_orien> is the triangle `Triangle` of an
// n x n symmetric or triangular matrix, its columns one after the other with
// nothing in between (dspmv's AP): the upper triangle's column j holds rows
// 0 .. j, so (i, j) is d[i + j (j + 1) / 2]; the lower triangle's column j
// holds rows j .. n - 1, so (i, j) is d[i + j (2n - j - 1) / 2]. The
// row-oriented form stores the triangle row by row, which is the column form
// of the transpose: the packed layout of row-major callers.
//
// The other triangle has no storage: operator() reaches only stored
// elements, value() reads any element (0 outside the triangle).

#include <cstddef>      // std::size_t
#include <ostream>      // std::ostream
#include <type_traits>  // std::enable_if_t, std::is_convertible_v, std::is_same_v, std::remove_const_t

#include "zelt/band.hpp"
#include "zelt/blas_tags.hpp"
#include "zelt/detail/contract.hpp"
#include "zelt/matrix.hpp"
#include "zelt/shape.hpp"

namespace zelt {

/// Non-owning view of the packed triangle `Triangle` of an n x n matrix
/// (see above); the caller keeps its n (n + 1) / 2 elements alive while the
/// view is used.
template <class T, class Triangle, class Orientation = col_orien>
class packed_matrix {
  static_assert(std::is_same_v<Orientation, col_orien> || std::is_same_v<Orientation, row_orien>,
                "a packed triangle is stored by columns or by rows");

 public:
  using element_type = T;
  using value_type = std::remove_const_t<T>;
  using size_type = std::size_t;
  using orientation = Orientation;
  using triangle = Triangle;

  packed_matrix(T* d, size_type n) noexcept : data_(d), n_(n) {}

  /// A view of writable elements converts to one of read-only elements.
  template <class U, std::enable_if_t<!std::is_same_v<U, T> && std::is_convertible_v<U*, T*>, int> = 0>
  packed_matrix(
      const packed_matrix<U, Triangle, Orientation>& other) noexcept  // NOLINT(google-explicit-constructor)
      : packed_matrix(other.data(), other.nrows()) {}

  size_type nrows() const noexcept { return n_; }
  size_type ncols() const noexcept { return n_; }
  /// The number of stored elements, n (n + 1) / 2.
  size_type size() const noexcept { return n_ * (n_ + 1) / 2; }
  T* data() const noexcept { return data_; }

  /// Whether (i, j) lies in the matrix and in its stored triangle.
  bool stored(size_type i, size_type j) const noexcept {
    return i < n_ && j < n_ && (Triangle::is_upper ? i <= j : j <= i);
  }
  /// Element (i, j), which must be stored.
  T& operator()(size_type i, size_type j) const noexcept {
    ZELT_EXPECTS(stored(i, j), "packed_matrix: element (%llu, %llu) outside the stored triangle of %llux%llu",
                 detail::ull(i), detail::ull(j), detail::ull(n_), detail::ull(n_));
    // The row form of a triangle is the column form of the other triangle
    // of the transpose.
    constexpr bool by_columns = std::is_same_v<Orientation, col_orien>;
    constexpr bool upper_columns = by_columns == Triangle::is_upper;
    const size_type r = by_columns ? i : j, c = by_columns ? j : i;
    return data_[upper_columns ? r + c * (c + 1) / 2 : r + c * (2 * n_ - c - 1) / 2];
  }
  /// Element (i, j) of the stored triangle: its value when stored, 0 otherwise.
  value_type value(size_type i, size_type j) const noexcept { return stored(i, j) ? (*this)(i, j) : 0; }

 private:
  T* data_;
  size_type n_;
};

/// The column-packed triangle, the BLAS's own layout.
template <class T, class Triangle>
using col_major_packed = packed_matrix<T, Triangle, col_orien>;
/// The row-packed triangle.
template <class T, class Triangle>
using row_major_packed = packed_matrix<T, Triangle, row_orien>;

/// The transpose: the same storage, the other triangle in the other orientation.
template <class T, class Triangle, class Orientation>
packed_matrix<T, detail::other_triangle_t<Triangle>, detail::other_orientation_t<Orientation>> transposed(
    const packed_matrix<T, Triangle, Orientation>& A) noexcept {
  return {A.data(), A.nrows()};
}

/// Writes the stored triangle, zeros elsewhere, in the form of
/// print_all_matrix, its lines ended by '\n' and without the final end of line.
template <class T, class Triangle, class Orientation>
std::ostream& operator<<(std::ostream& os, const packed_matrix<T, Triangle, Orientation>& A) {
  detail::write_matrix(detail::valued<packed_matrix<T, Triangle, Orientation>>{A}, os,
                       [](std::ostream& out) { out << '\n'; });
  return os;
}

}  // namespace zelt

#endif  // ZELT_PACKED_HPP_
