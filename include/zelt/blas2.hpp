#ifndef ZELT_BLAS2_HPP_
#define ZELT_BLAS2_HPP_

// Level 2 BLAS over row- and column-major matrices, their blocks, their
// transposes and adjoints, with every vector view, of float, double,
// std::complex<float> or std::complex<double>. Each operation gives the bits
// of the reference BLAS 3.11.0 routine of the same name for the element type
// (sgemv, dgemv, cgemv or zgemv, ..., ztrsv), the reference's shortcuts
// included; the scalars take the element type (her's alpha its real type).
//
// A column-major matrix is the reference's own layout and is passed to the
// reference order as it is. A row-major matrix A is the column-major matrix
// B = transposed(A), so it gets the order of the call the reference CBLAS
// makes for row-major data: gemv on A runs dgemv('T') on B, a triangle of A is
// the other triangle of B, ger swaps x and y. transposed(A) takes the place
// of the `trans` flag, adjoint(A) of its 'C'. For a Hermitian or conjugated
// operand that B does not give directly, the reference CBLAS runs the
// column-major routine on conjugated vectors and scalars and conjugates the
// result; so does zelt (see detail/complex_level2.hpp).
//
// The complex operations are the reference's loops, one element at a time.
//
// Speed comes only from computing independent outputs side by side (several
// columns of a matrix-vector product at once); every output's own chain of
// operations keeps the reference's order.

#include <cstddef>      // std::size_t
#include <type_traits>  // std::is_same_v

#include "zelt/blas_tags.hpp"
#include "zelt/detail/blas_access.hpp"
#include "zelt/detail/complex_level2.hpp"
#include "zelt/detail/contract.hpp"
#include "zelt/detail/exact.hpp"
#include "zelt/detail/simd.hpp"
#include "zelt/kernel_set.hpp"
#include "zelt/matrix.hpp"
#include "zelt/matrix_views.hpp"
#include "zelt/shape.hpp"

namespace zelt {

namespace detail {

// A matrix seen the reference's way: column-major storage of rows x cols
// elements, and whether the operation's matrix is that storage transposed.
template <class T>
struct reference_matrix {
  col_access<T> a;
  std::size_t rows, cols;
  bool transposed;
  bool conjugated = false;  // the operation's elements are conj of the stored ones
};

template <class Matrix>
auto as_reference(const Matrix& A) noexcept {
  using T = typename Matrix::element_type;
  T* p = const_cast<T*>(A.data());
  const std::size_t ld = A.ld();
  if constexpr (std::is_same_v<typename Matrix::orientation, col_orien>) {
    return reference_matrix<T>{{p, ld}, A.nrows(), A.ncols(), false};
  } else {
    static_assert(std::is_same_v<typename Matrix::orientation, row_orien>, "a row- or column-major matrix");
    return reference_matrix<T>{{p, ld}, A.ncols(), A.nrows(), true};
  }
}

template <class Matrix>
auto as_reference(const conjugated_matrix<Matrix>& A) noexcept {
  auto R = as_reference(A.base());
  R.conjugated = true;
  return R;
}

template <class Matrix>
void expect_square(const char* operation, const Matrix& A) noexcept {
  ZELT_EXPECTS(A.nrows() == A.ncols(), "%s: A is %llux%llu, not square", operation, ull(A.nrows()),
               ull(A.ncols()));
  (void)operation;
  (void)A;
}

template <class Vector>
void expect_length(const char* operation, const char* name, const Vector& v, std::size_t n,
                   const char* what) noexcept {
  ZELT_EXPECTS(static_cast<std::size_t>(v.size()) == n, "%s: %s has %llu elements, A has %llu %s", operation,
               name, ull(v.size()), ull(n), what);
  (void)operation;
  (void)name;
  (void)v;
  (void)n;
  (void)what;
}

}  // namespace detail

}  // namespace zelt

#define ZELT_KERNELS_FILE "zelt/detail/kernels/blas2.hpp"
#include "zelt/detail/for_each_kernel_set.hpp"

namespace zelt {

/// y = alpha A x + beta y (sgemv, dgemv). beta == 0 sets y without reading it;
/// alpha == 0 with beta == 1 touches nothing. x has A.ncols() elements, y
/// A.nrows(). Column-major A gives dgemv('N', A), row-major A dgemv('T') on
/// its column-major transpose.
template <class Matrix, class VectorX, class VectorY>
void gemv(detail::element_t<Matrix> alpha, const Matrix& A, const VectorX& x, detail::element_t<Matrix> beta,
          const VectorY& y) {
  using T = detail::element_t<Matrix>;
  if constexpr (detail::is_complex_v<T>) {
    detail::expect_one_scalar_type<Matrix, VectorX, VectorY>();
  } else {
    detail::expect_one_element_type<Matrix, VectorX, VectorY>();
  }
  detail::expect_length("gemv", "x", x, A.ncols(), "columns");
  detail::expect_length("gemv", "y", y, A.nrows(), "rows");
  const auto R = detail::as_reference(A);
  if (R.rows == 0 || R.cols == 0 || (alpha == T(0) && beta == T(1))) return;
  if constexpr (detail::is_complex_v<T>) {
    const detail::full_columns<decltype(R.a)> columns{R.a, R.rows};
    detail::gemv_on(columns, R.cols, R.transposed, R.conjugated, alpha, detail::read_access(x), beta,
                    detail::access(y), static_cast<std::size_t>(y.size()));
  } else {
    const auto ey = detail::access(y);
    ZELT_KERNEL_CALL(scale_by_beta(beta, ey, static_cast<std::size_t>(y.size())));
    if (alpha == 0) return;
    if (R.transposed) {
      ZELT_KERNEL_CALL(gemv_t(R.rows, R.cols, alpha, R.a, detail::read_access(x), ey));
    } else {
      ZELT_KERNEL_CALL(gemv_n(R.rows, R.cols, alpha, R.a, detail::read_access(x), ey));
    }
  }
}

/// A = alpha x y^T + A (sger, dger); columns whose y element is exactly 0 are not
/// touched. x has A.nrows() elements, y A.ncols(). Row-major A gives dger on
/// its column-major transpose with x and y exchanged.
template <class VectorX, class VectorY, class Matrix>
void ger(detail::element_t<Matrix> alpha, const VectorX& x, const VectorY& y, const Matrix& A) {
  detail::expect_one_element_type<Matrix, VectorX, VectorY>();
  detail::expect_length("ger", "x", x, A.nrows(), "rows");
  detail::expect_length("ger", "y", y, A.ncols(), "columns");
  const auto R = detail::as_reference(A);
  if (R.rows == 0 || R.cols == 0 || alpha == 0) return;
  if (R.transposed) {
    ZELT_KERNEL_CALL(ger_kernel(R.rows, R.cols, alpha, detail::read_access(y), detail::read_access(x), R.a));
  } else {
    ZELT_KERNEL_CALL(ger_kernel(R.rows, R.cols, alpha, detail::read_access(x), detail::read_access(y), R.a));
  }
}

namespace detail {

// geru (conjugate_y false) and gerc (true) on complex views.
template <class VectorX, class VectorY, class Matrix>
void complex_ger(const char* name, bool conjugate_y, element_t<Matrix> alpha, const VectorX& x,
                 const VectorY& y, const Matrix& A) {
  using T = element_t<Matrix>;
  expect_one_scalar_type<Matrix, VectorX, VectorY>();
  expect_length(name, "x", x, A.nrows(), "rows");
  expect_length(name, "y", y, A.ncols(), "columns");
  const auto R = as_reference(A);
  if (R.rows == 0 || R.cols == 0 || alpha == T(0)) return;
  const auto ex = read_access(x);
  const auto ey = read_access(y);
  if (!R.transposed) {
    if (conjugate_y) {
      complex_ger(R.rows, R.cols, alpha, ex, conjugated_elements(ey), R.a);
    } else {
      complex_ger(R.rows, R.cols, alpha, ex, ey, R.a);
    }
  } else if (conjugate_y) {
    // the reference CBLAS's row-major gerc: geru on the storage with
    // conj(y) and x exchanged
    complex_ger(R.rows, R.cols, alpha, conjugated_elements(ey), ex, R.a);
  } else {
    complex_ger(R.rows, R.cols, alpha, ey, ex, R.a);
  }
}

}  // namespace detail

/// A = alpha x y^T + A over complex (or real) views (cgeru, zgeru; over real
/// views sger, dger); columns whose y element is exactly 0 are not touched.
/// Row-major A gives geru on its column-major transpose with x and y
/// exchanged.
template <class VectorX, class VectorY, class Matrix>
void geru(detail::element_t<Matrix> alpha, const VectorX& x, const VectorY& y, const Matrix& A) {
  if constexpr (detail::is_complex_v<detail::element_t<Matrix>>) {
    detail::complex_ger("geru", false, alpha, x, y, A);
  } else {
    ger(alpha, x, y, A);
  }
}

/// A = alpha x y^H + A (cgerc, zgerc; over real views the same as geru).
/// Row-major A gives, as the reference CBLAS, geru on its column-major
/// transpose with conj(y) in the place of x and x in the place of y.
template <class VectorX, class VectorY, class Matrix>
void gerc(detail::element_t<Matrix> alpha, const VectorX& x, const VectorY& y, const Matrix& A) {
  if constexpr (detail::is_complex_v<detail::element_t<Matrix>>) {
    detail::complex_ger("gerc", true, alpha, x, y, A);
  } else {
    ger(alpha, x, y, A);
  }
}

/// y = alpha A x + beta y for the symmetric A stored in its triangle
/// `Triangle` (ssymv, dsymv); the other triangle is never read.
template <class Triangle, class Matrix, class VectorX, class VectorY>
void symv(Triangle, detail::element_t<Matrix> alpha, const Matrix& A, const VectorX& x,
          detail::element_t<Matrix> beta, const VectorY& y) {
  detail::expect_one_element_type<Matrix, VectorX, VectorY>();
  detail::expect_square("symv", A);
  detail::expect_length("symv", "x", x, A.ncols(), "columns");
  detail::expect_length("symv", "y", y, A.nrows(), "rows");
  const auto R = detail::as_reference(A);
  if (R.rows == 0 || (alpha == 0 && beta == 1)) return;
  const auto ey = detail::access(y);
  ZELT_KERNEL_CALL(scale_by_beta(beta, ey, R.rows));
  if (alpha == 0) return;
  ZELT_KERNEL_CALL(
      symv_kernel(Triangle::is_upper != R.transposed, R.rows, alpha, R.a, detail::read_access(x), ey));
}

/// A = alpha x x^T + A on the triangle `Triangle` of the symmetric A (ssyr, dsyr);
/// columns whose x element is exactly 0 are not touched.
template <class Triangle, class VectorX, class Matrix>
void syr(Triangle, detail::element_t<Matrix> alpha, const VectorX& x, const Matrix& A) {
  detail::expect_one_element_type<Matrix, VectorX>();
  detail::expect_square("syr", A);
  detail::expect_length("syr", "x", x, A.ncols(), "columns");
  const auto R = detail::as_reference(A);
  if (R.rows == 0 || alpha == 0) return;
  ZELT_KERNEL_CALL(
      syr_kernel(Triangle::is_upper != R.transposed, R.rows, alpha, detail::read_access(x), R.a));
}

/// A = alpha x y^T + alpha y x^T + A on the triangle `Triangle` of the
/// symmetric A (ssyr2, dsyr2); columns where both x and y are exactly 0 are not touched.
template <class Triangle, class VectorX, class VectorY, class Matrix>
void syr2(Triangle, detail::element_t<Matrix> alpha, const VectorX& x, const VectorY& y, const Matrix& A) {
  detail::expect_one_element_type<Matrix, VectorX, VectorY>();
  detail::expect_square("syr2", A);
  detail::expect_length("syr2", "x", x, A.ncols(), "columns");
  detail::expect_length("syr2", "y", y, A.ncols(), "columns");
  const auto R = detail::as_reference(A);
  if (R.rows == 0 || alpha == 0) return;
  ZELT_KERNEL_CALL(syr2_kernel(Triangle::is_upper != R.transposed, R.rows, alpha, detail::read_access(x),
                               detail::read_access(y), R.a));
}

/// y = alpha A x + beta y for the Hermitian A stored in its triangle
/// `Triangle` (chemv, zhemv; over real views symv): the other triangle and
/// the imaginary parts of the diagonal are never read.
template <class Triangle, class Matrix, class VectorX, class VectorY>
void hemv(Triangle triangle, detail::element_t<Matrix> alpha, const Matrix& A, const VectorX& x,
          detail::element_t<Matrix> beta, const VectorY& y) {
  using T = detail::element_t<Matrix>;
  if constexpr (!detail::is_complex_v<T>) {
    symv(triangle, alpha, A, x, beta, y);
  } else {
    detail::expect_one_scalar_type<Matrix, VectorX, VectorY>();
    detail::expect_square("hemv", A);
    detail::expect_length("hemv", "x", x, A.ncols(), "columns");
    detail::expect_length("hemv", "y", y, A.nrows(), "rows");
    const auto R = detail::as_reference(A);
    if (R.rows == 0 || (alpha == T(0) && beta == T(1))) return;
    const detail::full_triangle<decltype(R.a)> s{R.a, R.rows, Triangle::is_upper != R.transposed};
    detail::hemv_on(s, R.rows, R.transposed != R.conjugated, alpha, detail::read_access(x), beta,
                    detail::access(y));
  }
}

/// A = alpha x x^H + A on the triangle `Triangle` of the Hermitian A, alpha
/// real (cher, zher; over real views syr). A column whose x element is
/// exactly 0 is not touched but for the imaginary part of its diagonal
/// element, which, as everywhere on the diagonal, becomes +0.
template <class Triangle, class VectorX, class Matrix>
void her(Triangle triangle, detail::real_t<detail::element_t<Matrix>> alpha, const VectorX& x,
         const Matrix& A) {
  using T = detail::element_t<Matrix>;
  if constexpr (!detail::is_complex_v<T>) {
    syr(triangle, alpha, x, A);
  } else {
    detail::expect_one_scalar_type<Matrix, VectorX>();
    detail::expect_square("her", A);
    detail::expect_length("her", "x", x, A.ncols(), "columns");
    const auto R = detail::as_reference(A);
    if (R.rows == 0 || alpha == 0) return;
    const detail::full_triangle<decltype(R.a)> s{R.a, R.rows, Triangle::is_upper != R.transposed};
    detail::her_on<T>(s, R.rows, R.transposed != R.conjugated, alpha, detail::read_access(x));
  }
}

/// A = alpha x y^H + conj(alpha) y x^H + A on the triangle `Triangle` of the
/// Hermitian A (cher2, zher2; over real views syr2). A column where both x
/// and y are exactly 0 is not touched but for the imaginary part of its
/// diagonal element, which becomes +0.
template <class Triangle, class VectorX, class VectorY, class Matrix>
void her2(Triangle triangle, detail::element_t<Matrix> alpha, const VectorX& x, const VectorY& y,
          const Matrix& A) {
  using T = detail::element_t<Matrix>;
  if constexpr (!detail::is_complex_v<T>) {
    syr2(triangle, alpha, x, y, A);
  } else {
    detail::expect_one_scalar_type<Matrix, VectorX, VectorY>();
    detail::expect_square("her2", A);
    detail::expect_length("her2", "x", x, A.ncols(), "columns");
    detail::expect_length("her2", "y", y, A.ncols(), "columns");
    const auto R = detail::as_reference(A);
    if (R.rows == 0 || alpha == T(0)) return;
    const detail::full_triangle<decltype(R.a)> s{R.a, R.rows, Triangle::is_upper != R.transposed};
    detail::her2_on(s, R.rows, R.transposed != R.conjugated, alpha, detail::read_access(x),
                    detail::read_access(y));
  }
}

/// x = A x for the triangular A given by its triangle `Triangle` and
/// `Diagonal` (strmv, dtrmv, ctrmv, ztrmv); the other triangle, and the
/// diagonal when it is unit, are never read. adjoint(A) takes the place of
/// the 'C' flag.
template <class Triangle, class Diagonal, class Matrix, class VectorX>
void trmv(Triangle, Diagonal, const Matrix& A, const VectorX& x) {
  detail::expect_one_scalar_type<Matrix, VectorX>();
  detail::expect_square("trmv", A);
  detail::expect_length("trmv", "x", x, A.ncols(), "columns");
  const auto R = detail::as_reference(A);
  if (R.rows == 0) return;
  if constexpr (detail::is_complex_v<detail::element_t<Matrix>>) {
    const detail::full_triangle<decltype(R.a)> s{R.a, R.rows, Triangle::is_upper != R.transposed};
    detail::triangular_on(false, s, R.rows, R.transposed, R.conjugated, Diagonal::is_unit, detail::access(x));
  } else {
    ZELT_KERNEL_CALL(trmv_kernel(Triangle::is_upper != R.transposed, R.transposed, Diagonal::is_unit, R.rows,
                                 R.a, detail::access(x)));
  }
}

/// Solves A x = b in place (b on entry in x) for the triangular A given by
/// its triangle `Triangle` and `Diagonal` (strsv, dtrsv, ctrsv, ztrsv). No test for singularity:
/// a zero on the diagonal gives infinities or NaN, as in the reference.
template <class Triangle, class Diagonal, class Matrix, class VectorX>
void trsv(Triangle, Diagonal, const Matrix& A, const VectorX& x) {
  detail::expect_one_scalar_type<Matrix, VectorX>();
  detail::expect_square("trsv", A);
  detail::expect_length("trsv", "x", x, A.ncols(), "columns");
  const auto R = detail::as_reference(A);
  if (R.rows == 0) return;
  if constexpr (detail::is_complex_v<detail::element_t<Matrix>>) {
    const detail::full_triangle<decltype(R.a)> s{R.a, R.rows, Triangle::is_upper != R.transposed};
    detail::triangular_on(true, s, R.rows, R.transposed, R.conjugated, Diagonal::is_unit, detail::access(x));
  } else {
    ZELT_KERNEL_CALL(trsv_kernel(Triangle::is_upper != R.transposed, R.transposed, Diagonal::is_unit, R.rows,
                                 R.a, detail::access(x)));
  }
}

}  // namespace zelt

#endif  // ZELT_BLAS2_HPP_
