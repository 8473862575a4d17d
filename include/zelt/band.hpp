#ifndef ZELT_BAND_HPP_
#define ZELT_BAND_HPP_

// Band matrices over a caller's array, in the BLAS band layout.
//
// band_matrix<T, col_orien> is an m x n matrix with kl sub- and ku
// super-diagonals stored column by column, each column's band in one line of
// the array: element (i, j) is d[(ku + i - j) + j * ld] for j - ku <= i <= j + kl,
// so the diagonal is line ku of every column (dgbmv's A). The row-oriented
// form stores the band row by row, element (i, j) at d[(kl + j - i) + i * ld]:
// the band layout of row-major callers, and the transpose of the column form.
//
// triangle_band<T, Triangle, Orientation> is the n x n triangle of a
// symmetric or triangular band matrix with k diagonals beside the main one,
// as dsbmv, dtbmv and dtbsv store it: a band_matrix with no sub-diagonals
// (upper) or no super-diagonals (lower).
//
// Elements outside the band are zero and have no storage: operator() reaches
// only stored elements, value() reads any element.

#include <cstddef>      // std::size_t
#include <ostream>      // std::ostream
#include <type_traits>  // std::enable_if_t, std::is_convertible_v, std::is_same_v, std::remove_const_t

#include "zelt/blas_tags.hpp"
#include "zelt/detail/contract.hpp"
#include "zelt/matrix.hpp"
#include "zelt/shape.hpp"

namespace zelt {

/// Non-owning view of an m x n band matrix with kl sub- and ku
/// super-diagonals in the BLAS band layout (see above). ld >= kl + ku + 1;
/// the caller keeps the lines of the band alive while the view is used.
template <class T, class Orientation = col_orien>
class band_matrix {
  static_assert(std::is_same_v<Orientation, col_orien> || std::is_same_v<Orientation, row_orien>,
                "a band matrix is stored by columns or by rows");

 public:
  using element_type = T;
  using value_type = std::remove_const_t<T>;
  using size_type = std::size_t;
  using orientation = Orientation;

  /// The band of `rows` x `cols` with `kl` sub- and `ku` super-diagonals
  /// over `d`, lines `ld` elements apart.
  band_matrix(T* d, size_type rows, size_type cols, size_type kl, size_type ku, size_type ld) noexcept
      : data_(d), rows_(rows), cols_(cols), kl_(kl), ku_(ku), ld_(ld) {
    ZELT_EXPECTS(!(ld < kl + ku + 1), "band_matrix: leading dimension %llu shorter than the band of %llu",
                 detail::ull(ld), detail::ull(kl + ku + 1));
  }
  /// The same with the lines next to each other (ld = kl + ku + 1).
  band_matrix(T* d, size_type rows, size_type cols, size_type kl, size_type ku) noexcept
      : band_matrix(d, rows, cols, kl, ku, kl + ku + 1) {}

  /// A view of writable elements converts to one of read-only elements.
  template <class U, std::enable_if_t<!std::is_same_v<U, T> && std::is_convertible_v<U*, T*>, int> = 0>
  band_matrix(const band_matrix<U, Orientation>& other) noexcept  // NOLINT(google-explicit-constructor)
      : band_matrix(other.data(), other.nrows(), other.ncols(), other.lower_bandwidth(),
                    other.upper_bandwidth(), other.ld()) {}

  size_type nrows() const noexcept { return rows_; }
  size_type ncols() const noexcept { return cols_; }
  /// kl, the number of diagonals below the main one.
  size_type lower_bandwidth() const noexcept { return kl_; }
  /// ku, the number of diagonals above the main one.
  size_type upper_bandwidth() const noexcept { return ku_; }
  /// The distance in elements between the starts of consecutive lines.
  size_type ld() const noexcept { return ld_; }
  /// The start of the storage: element 0 of the first line.
  T* data() const noexcept { return data_; }

  /// Whether (i, j) lies in the matrix and in its band.
  bool in_band(size_type i, size_type j) const noexcept {
    return i < rows_ && j < cols_ && i <= j + kl_ && j <= i + ku_;
  }
  /// Element (i, j), which must lie in the band.
  T& operator()(size_type i, size_type j) const noexcept {
    ZELT_EXPECTS(in_band(i, j),
                 "band_matrix: element (%llu, %llu) outside the %llux%llu band (kl %llu, ku %llu)",
                 detail::ull(i), detail::ull(j), detail::ull(rows_), detail::ull(cols_), detail::ull(kl_),
                 detail::ull(ku_));
    if constexpr (std::is_same_v<Orientation, col_orien>) {
      return data_[(ku_ + i - j) + j * ld_];
    } else {
      return data_[(kl_ + j - i) + i * ld_];
    }
  }
  /// Element (i, j) of the matrix: its stored value in the band, 0 outside.
  value_type value(size_type i, size_type j) const noexcept { return in_band(i, j) ? (*this)(i, j) : 0; }

 private:
  T* data_;
  size_type rows_, cols_, kl_, ku_, ld_;
};

/// The column-stored band, the BLAS's own layout.
template <class T>
using col_major_band = band_matrix<T, col_orien>;
/// The row-stored band.
template <class T>
using row_major_band = band_matrix<T, row_orien>;

/// The transpose: the same storage read as the other orientation, n x m,
/// with the bandwidths exchanged.
template <class T>
row_major_band<T> transposed(const col_major_band<T>& A) noexcept {
  return row_major_band<T>(A.data(), A.ncols(), A.nrows(), A.upper_bandwidth(), A.lower_bandwidth(), A.ld());
}
template <class T>
col_major_band<T> transposed(const row_major_band<T>& A) noexcept {
  return col_major_band<T>(A.data(), A.ncols(), A.nrows(), A.upper_bandwidth(), A.lower_bandwidth(), A.ld());
}

/// Non-owning view of the triangle `Triangle` of an n x n symmetric or
/// triangular band matrix with k diagonals beside the main one, in the BLAS
/// band layout (ld >= k + 1). For the upper triangle stored by columns the
/// diagonal is line k of every column; for the lower, line 0.
template <class T, class Triangle, class Orientation = col_orien>
class triangle_band {
 public:
  using element_type = T;
  using value_type = std::remove_const_t<T>;
  using size_type = std::size_t;
  using orientation = Orientation;
  using triangle = Triangle;

  triangle_band(T* d, size_type n, size_type k, size_type ld) noexcept
      : band_(d, n, n, Triangle::is_upper ? 0 : k, Triangle::is_upper ? k : 0, ld) {}
  /// The same with the lines next to each other (ld = k + 1).
  triangle_band(T* d, size_type n, size_type k) noexcept : triangle_band(d, n, k, k + 1) {}

  /// A view of writable elements converts to one of read-only elements.
  template <class U, std::enable_if_t<!std::is_same_v<U, T> && std::is_convertible_v<U*, T*>, int> = 0>
  triangle_band(
      const triangle_band<U, Triangle, Orientation>& other) noexcept  // NOLINT(google-explicit-constructor)
      : triangle_band(other.data(), other.nrows(), other.bandwidth(), other.ld()) {}

  size_type nrows() const noexcept { return band_.nrows(); }
  size_type ncols() const noexcept { return band_.ncols(); }
  /// k, the number of diagonals beside the main one.
  size_type bandwidth() const noexcept {
    return Triangle::is_upper ? band_.upper_bandwidth() : band_.lower_bandwidth();
  }
  size_type ld() const noexcept { return band_.ld(); }
  T* data() const noexcept { return band_.data(); }
  /// The stored triangle as a general band.
  const band_matrix<T, Orientation>& band() const noexcept { return band_; }

  /// Whether (i, j) is stored: in the matrix, in the triangle and in the band.
  bool in_band(size_type i, size_type j) const noexcept { return band_.in_band(i, j); }
  /// Element (i, j), which must be stored.
  T& operator()(size_type i, size_type j) const noexcept { return band_(i, j); }
  /// Element (i, j) of the stored triangle: its value when stored, 0 otherwise.
  value_type value(size_type i, size_type j) const noexcept { return band_.value(i, j); }

 private:
  band_matrix<T, Orientation> band_;
};

namespace detail {
template <class Triangle>
using other_triangle_t = std::conditional_t<Triangle::is_upper, lower_t, upper_t>;
template <class Orientation>
using other_orientation_t = std::conditional_t<std::is_same_v<Orientation, col_orien>, row_orien, col_orien>;
// A row-stored view is the reference's storage of the transpose.
template <class Orientation>
inline constexpr bool stored_by_rows = !std::is_same_v<Orientation, col_orien>;

// Reads any element through value(), for the matrix printer.
template <class View>
struct valued {
  const View& view;
  auto nrows() const noexcept { return view.nrows(); }
  auto ncols() const noexcept { return view.ncols(); }
  auto operator()(std::size_t i, std::size_t j) const noexcept { return view.value(i, j); }
};
}  // namespace detail

/// The transpose: the other triangle, stored in the other orientation.
template <class T, class Triangle, class Orientation>
triangle_band<T, detail::other_triangle_t<Triangle>, detail::other_orientation_t<Orientation>> transposed(
    const triangle_band<T, Triangle, Orientation>& A) noexcept {
  return {A.data(), A.nrows(), A.bandwidth(), A.ld()};
}

/// Writes every element, zeros outside the band, in the form of
/// print_all_matrix, its lines ended by '\n' and without the final end of line.
template <class T, class Orientation>
std::ostream& operator<<(std::ostream& os, const band_matrix<T, Orientation>& A) {
  detail::write_matrix(detail::valued<band_matrix<T, Orientation>>{A}, os,
                       [](std::ostream& out) { out << '\n'; });
  return os;
}
/// Writes the stored triangle, zeros elsewhere, in the same form.
template <class T, class Triangle, class Orientation>
std::ostream& operator<<(std::ostream& os, const triangle_band<T, Triangle, Orientation>& A) {
  return os << A.band();
}

}  // namespace zelt

#endif  // ZELT_BAND_HPP_
