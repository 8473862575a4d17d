#ifndef ZELT_BLAS2_HPP_
#define ZELT_BLAS2_HPP_

// Level 2 BLAS over row- and column-major matrices, their blocks and their
// transposes, with every vector view, of float or double. Each operation
// gives the bits of the reference BLAS 3.11.0 routine of the same name for
// the element type (sgemv or dgemv, sger or dger, ..., strsv or dtrsv), the
// reference's shortcuts included; the scalars take the element type.
//
// A column-major matrix is the reference's own layout and is passed to the
// reference order as it is. A row-major matrix A is the column-major matrix
// B = transposed(A), so it gets the order of the call the reference CBLAS
// makes for row-major data: gemv on A runs dgemv('T') on B, a triangle of A is
// the other triangle of B, ger swaps x and y. transposed(A) takes the place
// of the `trans` flag.
//
// Speed comes only from computing independent outputs side by side (several
// columns of a matrix-vector product at once); every output's own chain of
// operations keeps the reference's order.

#include <cstddef>      // std::size_t
#include <type_traits>  // std::is_same_v

#include "zelt/blas_tags.hpp"
#include "zelt/detail/blas_access.hpp"
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

// The complex Level 2 routines in the reference's order, one element at a
// time, with its complex arithmetic (detail/complex.hpp).

// y = beta y as the reference's gemv and hemv start: zero when beta == 0,
// untouched when beta == 1.
template <class T, class Y>
ZELT_EXACT_LOOP void complex_scale_by_beta(T beta, Y y, std::size_t n) {
  ZELT_EXACT_ARITHMETIC
  if (beta == T(1)) return;
  for (std::size_t i = 0; i < n; ++i) y[i] = beta == T(0) ? T(0) : mul(beta, y[i]);
}

// gemv('N'): column by column, y(i) = y(i) + (alpha x(j)) a(i, j).
template <class T, class A, class X, class Y>
ZELT_EXACT_LOOP void complex_gemv_n(std::size_t m, std::size_t n, T alpha, A a, X x, Y y) {
  ZELT_EXACT_ARITHMETIC
  for (std::size_t j = 0; j < n; ++j) {
    const T temp = mul(alpha, x[j]);
    for (std::size_t i = 0; i < m; ++i) y[i] = y[i] + mul(temp, a(i, j));
  }
}

// gemv('T') and gemv('C'): y(j) = y(j) + alpha (sum over i of op(a(i, j)) x(i)).
template <class T, class A, class X, class Y>
ZELT_EXACT_LOOP void complex_gemv_t(std::size_t m, std::size_t n, T alpha, A a, X x, Y y, bool conjugate_a) {
  ZELT_EXACT_ARITHMETIC
  for (std::size_t j = 0; j < n; ++j) {
    T temp = 0;
    if (conjugate_a) {
      for (std::size_t i = 0; i < m; ++i) temp = temp + mul(conjugate(a(i, j)), x[i]);
    } else {
      for (std::size_t i = 0; i < m; ++i) temp = temp + mul(a(i, j), x[i]);
    }
    y[j] = y[j] + mul(alpha, temp);
  }
}

// Element i of x conjugated.
template <class X>
struct conjugated_access {
  X x;
  auto operator[](std::size_t i) const noexcept { return conjugate(x[i]); }
};

template <class Y>
void conjugate_in_place(Y y, std::size_t n) {
  for (std::size_t i = 0; i < n; ++i) y[i] = conjugate(y[i]);
}

// geru and gerc: a(i, j) = a(i, j) + u(i) (alpha v(j)), columns with v(j) == 0
// untouched; U and V may read their vectors conjugated.
template <class T, class U, class V>
ZELT_EXACT_LOOP void complex_ger(std::size_t m, std::size_t n, T alpha, U u, V v, col_access<T> a) {
  ZELT_EXACT_ARITHMETIC
  for (std::size_t j = 0; j < n; ++j) {
    if (v[j] == T(0)) continue;
    const T temp = mul(alpha, v[j]);
    for (std::size_t i = 0; i < m; ++i) a(i, j) = a(i, j) + mul(u[i], temp);
  }
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
    const auto ey = detail::access(y);
    const auto n = static_cast<std::size_t>(y.size());
    if (R.transposed) {
      // zgemv('T') or zgemv('C') on the storage
      detail::complex_scale_by_beta(beta, ey, n);
      if (alpha == T(0)) return;
      detail::complex_gemv_t(R.rows, R.cols, alpha, R.a, detail::read_access(x), ey, R.conjugated);
    } else if (!R.conjugated) {
      detail::complex_scale_by_beta(beta, ey, n);
      if (alpha == T(0)) return;
      detail::complex_gemv_n(R.rows, R.cols, alpha, R.a, detail::read_access(x), ey);
    } else {
      // The conjugate of the stored matrix, not transposed: the adjoint of a
      // row-major matrix. The reference CBLAS computes conj(y) = conj(beta)
      // conj(y) + conj(alpha) B conj(x) by zgemv('N') on the storage B and
      // conjugates y before and after; so does this.
      detail::conjugate_in_place(ey, n);
      detail::complex_scale_by_beta(detail::conjugate(beta), ey, n);
      if (alpha != T(0)) {
        detail::complex_gemv_n(
            R.rows, R.cols, detail::conjugate(alpha), R.a,
            detail::conjugated_access<decltype(detail::read_access(x))>{detail::read_access(x)}, ey);
      }
      detail::conjugate_in_place(ey, n);
    }
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
  using conj_y = conjugated_access<decltype(ey)>;
  if (!R.transposed) {
    if (conjugate_y) {
      complex_ger(R.rows, R.cols, alpha, ex, conj_y{ey}, R.a);
    } else {
      complex_ger(R.rows, R.cols, alpha, ex, ey, R.a);
    }
  } else if (conjugate_y) {
    // the reference CBLAS's row-major gerc: geru on the storage with
    // conj(y) and x exchanged
    complex_ger(R.rows, R.cols, alpha, conj_y{ey}, ex, R.a);
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

/// x = A x for the triangular A given by its triangle `Triangle` and
/// `Diagonal` (strmv, dtrmv); the other triangle, and the diagonal when it is unit,
/// are never read.
template <class Triangle, class Diagonal, class Matrix, class VectorX>
void trmv(Triangle, Diagonal, const Matrix& A, const VectorX& x) {
  detail::expect_one_element_type<Matrix, VectorX>();
  detail::expect_square("trmv", A);
  detail::expect_length("trmv", "x", x, A.ncols(), "columns");
  const auto R = detail::as_reference(A);
  if (R.rows == 0) return;
  ZELT_KERNEL_CALL(trmv_kernel(Triangle::is_upper != R.transposed, R.transposed, Diagonal::is_unit, R.rows,
                               R.a, detail::access(x)));
}

/// Solves A x = b in place (b on entry in x) for the triangular A given by
/// its triangle `Triangle` and `Diagonal` (strsv, dtrsv). No test for singularity:
/// a zero on the diagonal gives infinities or NaN, as in the reference.
template <class Triangle, class Diagonal, class Matrix, class VectorX>
void trsv(Triangle, Diagonal, const Matrix& A, const VectorX& x) {
  detail::expect_one_element_type<Matrix, VectorX>();
  detail::expect_square("trsv", A);
  detail::expect_length("trsv", "x", x, A.ncols(), "columns");
  const auto R = detail::as_reference(A);
  if (R.rows == 0) return;
  ZELT_KERNEL_CALL(trsv_kernel(Triangle::is_upper != R.transposed, R.transposed, Diagonal::is_unit, R.rows,
                               R.a, detail::access(x)));
}

}  // namespace zelt

#endif  // ZELT_BLAS2_HPP_
