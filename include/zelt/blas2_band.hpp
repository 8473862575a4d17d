#ifndef ZELT_BLAS2_BAND_HPP_
#define ZELT_BLAS2_BAND_HPP_

// Level 2 BLAS over band matrices: gbmv, sbmv, hbmv, tbmv and tbsv, each
// with the bits of the reference BLAS 3.11.0 routine of the same name for
// the element type (dgbmv, dsbmv, zhbmv, ...), its shortcuts included. The
// complex ones run the loops of detail/complex_level2.hpp over the band's
// columns.
//
// A column-stored band is the reference's own layout. A row-stored band is
// the column-stored band of the transpose, so it gets the reference call the
// reference CBLAS makes for row-major data: gbmv runs dgbmv('T'), a triangle
// is the other triangle of the transpose, tbmv and tbsv run their 'T' form.
//
// Speed comes from computing independent outputs side by side (several
// columns' chains at once, vectors across the rows of one column); each
// output's own chain keeps the reference's order.

#include <cstddef>      // std::size_t
#include <type_traits>  // std::remove_const_t

#include "zelt/band.hpp"
#include "zelt/blas2.hpp"
#include "zelt/blas_tags.hpp"
#include "zelt/detail/blas_access.hpp"
#include "zelt/detail/contract.hpp"
#include "zelt/detail/exact.hpp"
#include "zelt/detail/simd.hpp"
#include "zelt/kernel_set.hpp"
#include "zelt/matrix_views.hpp"

namespace zelt {

namespace detail {

// A band seen the reference's way: column-stored, rows x cols with kl sub-
// and ku super-diagonals, and whether the operation's matrix is its
// transpose. column(j)[i] is element (i, j) for every i in column j's band.
template <class T>
struct reference_band {
  using value_type = T;
  const T* p;
  std::size_t ld, rows, cols, kl, ku;
  bool transposed;

  const T* column(std::size_t j) const noexcept { return p + (j * ld + ku - j); }
  /// The first row of column j's band and one past its last.
  std::size_t first(std::size_t j) const noexcept { return j > ku ? j - ku : 0; }
  std::size_t last(std::size_t j) const noexcept { return j + kl + 1 < rows ? j + kl + 1 : rows; }
};

template <class T, class Orientation>
reference_band<std::remove_const_t<T>> as_reference(const band_matrix<T, Orientation>& A) noexcept {
  if constexpr (!stored_by_rows<Orientation>) {
    return {A.data(), A.ld(), A.nrows(), A.ncols(), A.lower_bandwidth(), A.upper_bandwidth(), false};
  } else {
    return {A.data(), A.ld(), A.ncols(), A.nrows(), A.upper_bandwidth(), A.lower_bandwidth(), true};
  }
}

// The part of column j strictly beside the diagonal, as a band of its own:
// rows [j - k, j) for the upper triangle, (j, j + k] for the lower, clipped
// to the matrix.
template <class T>
struct off_diagonal_band {
  using value_type = T;
  const T* p;
  std::size_t ld, rows, k;
  bool upper;

  // element (i, j) of the triangle's storage, upper: p[(k + i - j) + j ld],
  // lower: p[(i - j) + j ld]
  const T* column(std::size_t j) const noexcept { return p + (j * ld + (upper ? k : 0) - j); }
  std::size_t first(std::size_t j) const noexcept { return upper ? (j > k ? j - k : 0) : j + 1; }
  std::size_t last(std::size_t j) const noexcept { return upper ? j : (j + k + 1 < rows ? j + k + 1 : rows); }
};

template <class T, class Triangle, class Orientation>
off_diagonal_band<std::remove_const_t<T>> off_diagonal(
    const triangle_band<T, Triangle, Orientation>& A) noexcept {
  return {A.data(), A.ld(), A.nrows(), A.bandwidth(), Triangle::is_upper != stored_by_rows<Orientation>};
}

}  // namespace detail

}  // namespace zelt

#define ZELT_KERNELS_FILE "zelt/detail/kernels/band.hpp"
#include "zelt/detail/for_each_kernel_set.hpp"

namespace zelt {

namespace detail {

template <class T, class Orientation, class VectorX, class VectorY>
void gbmv_with(std::remove_const_t<T> alpha, const band_matrix<T, Orientation>& A, bool conjugated,
               const VectorX& x, std::remove_const_t<T> beta, const VectorY& y) {
  using U = std::remove_const_t<T>;
  expect_one_scalar_type<band_matrix<T, Orientation>, VectorX, VectorY>();
  expect_length("gbmv", "x", x, A.ncols(), "columns");
  expect_length("gbmv", "y", y, A.nrows(), "rows");
  const auto R = as_reference(A);
  if (R.rows == 0 || R.cols == 0 || (alpha == U(0) && beta == U(1))) return;
  const auto ey = access(y);
  if constexpr (is_complex_v<U>) {
    gemv_on(R, R.cols, R.transposed, conjugated, alpha, read_access(x), beta, ey,
            static_cast<std::size_t>(y.size()));
  } else {
    ZELT_KERNEL_CALL(scale_by_beta(beta, ey, static_cast<std::size_t>(y.size())));
    if (alpha == 0) return;
    if (R.transposed) {
      ZELT_KERNEL_CALL(gbmv_t(R, alpha, read_access(x), ey));
    } else {
      ZELT_KERNEL_CALL(gbmv_n(R, alpha, read_access(x), ey));
    }
  }
}

// tbmv (solve false) and tbsv (true); `conjugated`: the operation's matrix
// is conj of A.
template <class Diagonal, class T, class Triangle, class Orientation, class VectorX>
void triangular_band(bool solve, const triangle_band<T, Triangle, Orientation>& A, bool conjugated,
                     const VectorX& x) {
  expect_one_scalar_type<triangle_band<T, Triangle, Orientation>, VectorX>();
  expect_length(solve ? "tbsv" : "tbmv", "x", x, A.ncols(), "columns");
  const auto b = off_diagonal(A);
  if (b.rows == 0) return;
  constexpr bool by_rows = stored_by_rows<Orientation>;
  if constexpr (is_complex_v<std::remove_const_t<T>>) {
    triangular_on(solve, b, b.rows, by_rows, conjugated, Diagonal::is_unit, access(x));
  } else if (solve) {
    ZELT_KERNEL_CALL(tbsv_kernel(b, by_rows, Diagonal::is_unit, access(x)));
  } else {
    ZELT_KERNEL_CALL(tbmv_kernel(b, by_rows, Diagonal::is_unit, access(x)));
  }
}

}  // namespace detail

/// y = alpha A x + beta y for the band matrix A (sgbmv, dgbmv, cgbmv, zgbmv).
/// beta == 0 sets y without reading it; alpha == 0 with beta == 1 touches
/// nothing. x has A.ncols() elements, y A.nrows(). A column-stored A gives
/// dgbmv('N'), a row-stored one dgbmv('T') on the column-stored band of its
/// transpose; transposed(A) takes the place of the `trans` flag, adjoint(A)
/// of its 'C'.
template <class T, class Orientation, class VectorX, class VectorY>
void gbmv(std::remove_const_t<T> alpha, const band_matrix<T, Orientation>& A, const VectorX& x,
          std::remove_const_t<T> beta, const VectorY& y) {
  detail::gbmv_with(alpha, A, false, x, beta, y);
}

/// The same for conj(A), as adjoint gives it: cgbmv('C') and zgbmv('C') for
/// a row-stored A.
template <class T, class Orientation, class VectorX, class VectorY>
void gbmv(std::remove_const_t<T> alpha, const conjugated_matrix<band_matrix<T, Orientation>>& A,
          const VectorX& x, std::remove_const_t<T> beta, const VectorY& y) {
  detail::gbmv_with(alpha, A.base(), true, x, beta, y);
}

/// y = alpha A x + beta y for the symmetric band matrix A given by its
/// stored triangle (ssbmv, dsbmv).
template <class T, class Triangle, class Orientation, class VectorX, class VectorY>
void sbmv(std::remove_const_t<T> alpha, const triangle_band<T, Triangle, Orientation>& A, const VectorX& x,
          std::remove_const_t<T> beta, const VectorY& y) {
  detail::expect_one_element_type<triangle_band<T, Triangle, Orientation>, VectorX, VectorY>();
  detail::expect_length("sbmv", "x", x, A.ncols(), "columns");
  detail::expect_length("sbmv", "y", y, A.nrows(), "rows");
  const auto b = detail::off_diagonal(A);
  if (b.rows == 0 || (alpha == 0 && beta == 1)) return;
  const auto ey = detail::access(y);
  ZELT_KERNEL_CALL(scale_by_beta(beta, ey, b.rows));
  if (alpha == 0) return;
  ZELT_KERNEL_CALL(sbmv_kernel(b, alpha, detail::read_access(x), ey));
}

/// y = alpha A x + beta y for the Hermitian band matrix A given by its
/// stored triangle (chbmv, zhbmv; over real views sbmv); the imaginary parts
/// of the diagonal are never read.
template <class T, class Triangle, class Orientation, class VectorX, class VectorY>
void hbmv(std::remove_const_t<T> alpha, const triangle_band<T, Triangle, Orientation>& A, const VectorX& x,
          std::remove_const_t<T> beta, const VectorY& y) {
  using U = std::remove_const_t<T>;
  if constexpr (!detail::is_complex_v<U>) {
    sbmv(alpha, A, x, beta, y);
  } else {
    detail::expect_one_scalar_type<triangle_band<T, Triangle, Orientation>, VectorX, VectorY>();
    detail::expect_length("hbmv", "x", x, A.ncols(), "columns");
    detail::expect_length("hbmv", "y", y, A.nrows(), "rows");
    const auto b = detail::off_diagonal(A);
    if (b.rows == 0 || (alpha == U(0) && beta == U(1))) return;
    detail::hemv_on(b, b.rows, detail::stored_by_rows<Orientation>, alpha, detail::read_access(x), beta,
                    detail::access(y));
  }
}

/// x = A x for the triangular band matrix A given by its stored triangle and
/// `Diagonal` (stbmv, dtbmv, ctbmv, ztbmv); the diagonal is never read when
/// it is unit. transposed(A) takes the place of the `trans` flag, adjoint(A)
/// of its 'C'.
template <class Diagonal, class T, class Triangle, class Orientation, class VectorX>
void tbmv(Diagonal, const triangle_band<T, Triangle, Orientation>& A, const VectorX& x) {
  detail::triangular_band<Diagonal>(false, A, false, x);
}
template <class Diagonal, class T, class Triangle, class Orientation, class VectorX>
void tbmv(Diagonal, const conjugated_matrix<triangle_band<T, Triangle, Orientation>>& A, const VectorX& x) {
  detail::triangular_band<Diagonal>(false, A.base(), true, x);
}

/// Solves A x = b in place (b on entry in x) for the triangular band matrix
/// A given by its stored triangle and `Diagonal` (stbsv, dtbsv, ctbsv,
/// ztbsv). No test for singularity: a zero on the diagonal gives infinities
/// or NaN, as in the reference.
template <class Diagonal, class T, class Triangle, class Orientation, class VectorX>
void tbsv(Diagonal, const triangle_band<T, Triangle, Orientation>& A, const VectorX& x) {
  detail::triangular_band<Diagonal>(true, A, false, x);
}
template <class Diagonal, class T, class Triangle, class Orientation, class VectorX>
void tbsv(Diagonal, const conjugated_matrix<triangle_band<T, Triangle, Orientation>>& A, const VectorX& x) {
  detail::triangular_band<Diagonal>(true, A.base(), true, x);
}

}  // namespace zelt

#endif  // ZELT_BLAS2_BAND_HPP_
