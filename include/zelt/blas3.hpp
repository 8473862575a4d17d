#ifndef ZELT_BLAS3_HPP_
#define ZELT_BLAS3_HPP_

// Level 3 BLAS over row- and column-major matrices, their blocks, their
// transposes and, for complex elements, their adjoints and conjugates. Each
// operation gives the bits of the reference BLAS 3.11.0 routine of the same
// name (dgemm, dsymm, dsyrk, dsyr2k, dtrmm, dtrsm, their single-precision and
// complex twins, and zhemm, zherk, zher2k), the reference's shortcuts and
// zero skips included, on any number of threads. Complex gemm, symm, hemm,
// syrk, herk, syr2k, her2k and trmm run on the complex engine
// (detail/complex_engine.hpp); complex trsm is the reference's loops
// (detail/complex_level3.hpp).
//
// The output's layout decides which reference call is meant. A column-major
// output is the reference's own layout; the operands' layouts become the
// `trans` flags and triangles of that call. A row-major output C is the
// column-major C^T, so the operation is the transposed problem, as the
// reference CBLAS computes row-major data: gemm on row-major C runs dgemm on
// C^T = B^T A^T, a side and a triangle flip. transposed(A) takes the place of
// a `trans` flag.

#include <cstddef>      // std::size_t
#include <type_traits>  // std::is_same_v

#include "zelt/blas_tags.hpp"
#include "zelt/detail/blas_access.hpp"
#include "zelt/detail/complex_engine.hpp"
#include "zelt/detail/complex_level3.hpp"
#include "zelt/detail/contract.hpp"
#include "zelt/detail/level3.hpp"
#include "zelt/kernel_set.hpp"
#include "zelt/matrix.hpp"
#include "zelt/matrix_views.hpp"
#include "zelt/shape.hpp"
#include "zelt/threads.hpp"

namespace zelt {

namespace detail {

template <class Matrix>
constexpr bool is_row_major = std::is_same_v<typename Matrix::orientation, row_orien>;

/// Element (i, j) of the matrix as the caller sees it.
template <class Matrix>
mref<element_t<Matrix>> logical(const Matrix& A) noexcept {
  static_assert(is_row_major<Matrix> || std::is_same_v<typename Matrix::orientation, col_orien>,
                "a row- or column-major matrix");
  auto* p = const_cast<element_t<Matrix>*>(A.data());
  const auto ld = static_cast<std::ptrdiff_t>(A.ld());
  if constexpr (is_row_major<Matrix>) {
    return {p, ld, 1};
  } else {
    return {p, 1, ld};
  }
}

/// The column-major storage of A, and whether A is that storage transposed.
template <class T>
struct stored {
  mref<T> s;
  bool transposed;
};
template <class Matrix>
stored<element_t<Matrix>> storage_of(const Matrix& A) noexcept {
  const auto m = logical(A);
  if constexpr (is_row_major<Matrix>) {
    return stored<element_t<Matrix>>{m.t(), true};
  } else {
    return stored<element_t<Matrix>>{m, false};
  }
}

/// The elements of A as an operation reads them: conj(A)'s for a conjugated
/// view, over A's storage.
template <class Matrix>
conj_ref<element_t<Matrix>> operand_of(const Matrix& A) noexcept {
  if constexpr (is_conjugated<Matrix>::value) {
    return {logical(A.base()), true};
  } else {
    return {logical(A), false};
  }
}

/// One element type for all operands: float or double, or their complex.
template <class... Matrices>
constexpr void expect_operand_types() noexcept {
  if constexpr ((is_complex_v<element_t<Matrices>> || ...)) {
    expect_one_scalar_type<Matrices...>();
  } else {
    expect_one_element_type<Matrices...>();
  }
}

inline void expect_shape(const char* operation, const char* what, std::size_t got,
                         std::size_t want) noexcept {
  ZELT_EXPECTS(got == want, "%s: %s is %llu, expected %llu", operation, what, ull(got), ull(want));
  (void)operation;
  (void)what;
  (void)got;
  (void)want;
}

}  // namespace detail

/// C = alpha A B + beta C (dgemm). beta == 0 sets C without reading it;
/// alpha == 0 or an empty sum with beta == 1 touches nothing. A transposed
/// (row-major, or a transposed view) operand is the reference's 'T'.
template <class MatrixA, class MatrixB, class MatrixC>
void gemm(const threads& policy, detail::element_t<MatrixC> alpha, const MatrixA& A, const MatrixB& B,
          detail::element_t<MatrixC> beta, const MatrixC& C) {
  detail::expect_operand_types<MatrixA, MatrixB, MatrixC>();
  detail::expect_shape("gemm", "A's row count", A.nrows(), C.nrows());
  detail::expect_shape("gemm", "B's column count", B.ncols(), C.ncols());
  detail::expect_shape("gemm", "B's row count", B.nrows(), A.ncols());
  const auto a = detail::storage_of(A), b = detail::storage_of(B);
  const auto c = detail::logical(C);
  const std::size_t m = C.nrows(), n = C.ncols(), k = A.ncols();
  if constexpr (detail::is_complex_v<detail::element_t<MatrixC>>) {
    const auto oa = detail::operand_of(A), ob = detail::operand_of(B);
    if constexpr (!detail::is_row_major<MatrixC>) {
      ZELT_KERNEL_CALL(complex_gemm_ref(policy, a.transposed, m, n, k, alpha, oa, ob, beta, c));
    } else {
      ZELT_KERNEL_CALL(complex_gemm_ref(policy, !b.transposed, n, m, k, alpha, ob.t(), oa.t(), beta, c.t()));
    }
  } else if constexpr (!detail::is_row_major<MatrixC>) {
    ZELT_KERNEL_CALL(
        gemm_ref(policy, a.transposed, m, n, k, alpha, detail::logical(A), detail::logical(B), beta, c));
  } else {
    ZELT_KERNEL_CALL(gemm_ref(policy, !b.transposed, n, m, k, alpha, detail::logical(B).t(),
                              detail::logical(A).t(), beta, c.t()));
  }
}
template <class MatrixA, class MatrixB, class MatrixC>
void gemm(detail::element_t<MatrixC> alpha, const MatrixA& A, const MatrixB& B,
          detail::element_t<MatrixC> beta, const MatrixC& C) {
  gemm(threads(1), alpha, A, B, beta, C);
}

/// C = alpha A A^T + beta C on the triangle `Triangle` of C (dsyrk); the other
/// triangle is never touched. A transposed A is dsyrk('T'): C = alpha A^T A
/// in the reference's terms. Pairs whose A(j, l) is exactly 0 are skipped in
/// the 'N' form, as in the reference.
template <class Triangle, class MatrixA, class MatrixC>
void syrk(const threads& policy, Triangle, detail::element_t<MatrixC> alpha, const MatrixA& A,
          detail::element_t<MatrixC> beta, const MatrixC& C) {
  detail::expect_operand_types<MatrixA, MatrixC>();
  detail::expect_shape("syrk", "C's column count", C.ncols(), C.nrows());
  detail::expect_shape("syrk", "A's row count", A.nrows(), C.nrows());
  const bool upper_ref = Triangle::is_upper != detail::is_row_major<MatrixC>;
  const auto c = detail::logical(C);
  if constexpr (detail::is_complex_v<detail::element_t<MatrixC>>) {
    ZELT_KERNEL_CALL(complex_rank_k_ref(policy, false, upper_ref, detail::is_row_major<MatrixA>, C.nrows(),
                                        A.ncols(), alpha, detail::operand_of(A), beta,
                                        detail::is_row_major<MatrixC> ? c.t() : c));
  } else {
    ZELT_KERNEL_CALL(syrk_ref(policy, upper_ref, detail::storage_of(A).transposed, C.nrows(), A.ncols(),
                              alpha, detail::logical(A), beta, detail::is_row_major<MatrixC> ? c.t() : c));
  }
}
template <class Triangle, class MatrixA, class MatrixC>
void syrk(Triangle tri, detail::element_t<MatrixC> alpha, const MatrixA& A, detail::element_t<MatrixC> beta,
          const MatrixC& C) {
  syrk(threads(1), tri, alpha, A, beta, C);
}

/// C = alpha (A B^T + B A^T) + beta C on the triangle `Triangle` of C
/// (dsyr2k). A's layout picks the reference's 'N' or 'T' form.
template <class Triangle, class MatrixA, class MatrixB, class MatrixC>
void syr2k(const threads& policy, Triangle, detail::element_t<MatrixC> alpha, const MatrixA& A,
           const MatrixB& B, detail::element_t<MatrixC> beta, const MatrixC& C) {
  detail::expect_operand_types<MatrixA, MatrixB, MatrixC>();
  detail::expect_shape("syr2k", "C's column count", C.ncols(), C.nrows());
  detail::expect_shape("syr2k", "A's row count", A.nrows(), C.nrows());
  detail::expect_shape("syr2k", "B's row count", B.nrows(), C.nrows());
  detail::expect_shape("syr2k", "B's column count", B.ncols(), A.ncols());
  const bool upper_ref = Triangle::is_upper != detail::is_row_major<MatrixC>;
  const auto c = detail::logical(C);
  if constexpr (detail::is_complex_v<detail::element_t<MatrixC>>) {
    ZELT_KERNEL_CALL(complex_rank_2k_ref(policy, false, upper_ref, detail::is_row_major<MatrixA>, C.nrows(),
                                         A.ncols(), alpha, detail::operand_of(A), detail::operand_of(B), beta,
                                         detail::is_row_major<MatrixC> ? c.t() : c));
  } else {
    ZELT_KERNEL_CALL(syr2k_ref(policy, upper_ref, detail::storage_of(A).transposed, C.nrows(), A.ncols(),
                               alpha, detail::logical(A), detail::logical(B), beta,
                               detail::is_row_major<MatrixC> ? c.t() : c));
  }
}
template <class Triangle, class MatrixA, class MatrixB, class MatrixC>
void syr2k(Triangle tri, detail::element_t<MatrixC> alpha, const MatrixA& A, const MatrixB& B,
           detail::element_t<MatrixC> beta, const MatrixC& C) {
  syr2k(threads(1), tri, alpha, A, B, beta, C);
}

namespace detail {

// symm, and hemm (Hermitian). A complex column-major C takes A's elements as
// the operand gives them; a complex row-major C is the transposed problem on
// A^T, B^T and C^T, the side and the triangle flipped, as the reference CBLAS
// runs it.
template <bool Hermitian, class Side, class Triangle, class MatrixA, class MatrixB, class MatrixC>
void symmetric_product(const char* operation, const threads& policy, element_t<MatrixC> alpha,
                       const MatrixA& A, const MatrixB& B, element_t<MatrixC> beta, const MatrixC& C) {
  expect_operand_types<MatrixA, MatrixB, MatrixC>();
  expect_shape(operation, "A's column count", A.ncols(), A.nrows());
  expect_shape(operation, "A's order", A.nrows(), Side::is_left ? C.nrows() : C.ncols());
  expect_shape(operation, "B's row count", B.nrows(), C.nrows());
  expect_shape(operation, "B's column count", B.ncols(), C.ncols());
  const auto c = logical(C);
  if constexpr (is_complex_v<element_t<MatrixC>>) {
    const auto a = operand_of(A), b = operand_of(B);
    if constexpr (!is_row_major<MatrixC>) {
      ZELT_KERNEL_CALL(complex_symm_ref(policy, Hermitian, Side::is_left, Triangle::is_upper, C.nrows(),
                                        C.ncols(), alpha, a, b, beta, c));
    } else {
      ZELT_KERNEL_CALL(complex_symm_ref(policy, Hermitian, !Side::is_left, !Triangle::is_upper, C.ncols(),
                                        C.nrows(), alpha, a.t(), b.t(), beta, c.t()));
    }
  } else {
    const auto a = storage_of(A);
    const bool upper_ref = Triangle::is_upper != a.transposed;
    const symmetric<element_t<MatrixA>> s{a.s, upper_ref};
    const auto b = logical(B);
    if constexpr (!is_row_major<MatrixC>) {
      ZELT_KERNEL_CALL(
          symm_ref(policy, Side::is_left, upper_ref, C.nrows(), C.ncols(), alpha, s, b, beta, c));
    } else {
      ZELT_KERNEL_CALL(
          symm_ref(policy, !Side::is_left, upper_ref, C.ncols(), C.nrows(), alpha, s, b.t(), beta, c.t()));
    }
  }
}

}  // namespace detail

/// C = alpha A B + beta C (`left`) or alpha B A + beta C (`right`) for the
/// symmetric A stored in its triangle `Triangle` (dsymm, zsymm); the result
/// never depends on the other triangle, whatever it holds (packing may copy
/// some of it into lanes whose sums are not kept).
template <class Side, class Triangle, class MatrixA, class MatrixB, class MatrixC>
void symm(const threads& policy, Side, Triangle, detail::element_t<MatrixC> alpha, const MatrixA& A,
          const MatrixB& B, detail::element_t<MatrixC> beta, const MatrixC& C) {
  detail::symmetric_product<false, Side, Triangle>("symm", policy, alpha, A, B, beta, C);
}
template <class Side, class Triangle, class MatrixA, class MatrixB, class MatrixC>
void symm(Side side, Triangle tri, detail::element_t<MatrixC> alpha, const MatrixA& A, const MatrixB& B,
          detail::element_t<MatrixC> beta, const MatrixC& C) {
  symm(threads(1), side, tri, alpha, A, B, beta, C);
}

/// symm for the Hermitian A stored in its triangle `Triangle` (chemm, zhemm;
/// over real views symm): the other triangle and the imaginary parts of the
/// diagonal are never read.
template <class Side, class Triangle, class MatrixA, class MatrixB, class MatrixC>
void hemm(const threads& policy, Side, Triangle, detail::element_t<MatrixC> alpha, const MatrixA& A,
          const MatrixB& B, detail::element_t<MatrixC> beta, const MatrixC& C) {
  detail::symmetric_product<true, Side, Triangle>("hemm", policy, alpha, A, B, beta, C);
}
template <class Side, class Triangle, class MatrixA, class MatrixB, class MatrixC>
void hemm(Side side, Triangle tri, detail::element_t<MatrixC> alpha, const MatrixA& A, const MatrixB& B,
          detail::element_t<MatrixC> beta, const MatrixC& C) {
  hemm(threads(1), side, tri, alpha, A, B, beta, C);
}

/// C = alpha A A^H + beta C on the triangle `Triangle` of the Hermitian C,
/// alpha and beta real (cherk, zherk; over real views syrk). adjoint(A) is
/// the reference's 'C' form: C = alpha A^H A. The diagonal's imaginary parts
/// are never read and become +0.
template <class Triangle, class MatrixA, class MatrixC>
void herk(const threads& policy, Triangle tri, detail::real_t<detail::element_t<MatrixC>> alpha,
          const MatrixA& A, detail::real_t<detail::element_t<MatrixC>> beta, const MatrixC& C) {
  if constexpr (!detail::is_complex_v<detail::element_t<MatrixC>>) {
    syrk(policy, tri, alpha, A, beta, C);
  } else {
    detail::expect_operand_types<MatrixA, MatrixC>();
    detail::expect_shape("herk", "C's column count", C.ncols(), C.nrows());
    detail::expect_shape("herk", "A's row count", A.nrows(), C.nrows());
    // row-major C: C^T = alpha conj(A) conj(A)^H + beta C^T
    const auto a = detail::operand_of(A);
    const auto c = detail::logical(C);
    constexpr bool row_output = detail::is_row_major<MatrixC>;
    using T = detail::element_t<MatrixC>;
    ZELT_KERNEL_CALL(complex_rank_k_ref(policy, true, Triangle::is_upper != row_output,
                                        detail::is_row_major<MatrixA>, C.nrows(), A.ncols(), T(alpha),
                                        row_output ? a.conjugated() : a, T(beta), row_output ? c.t() : c));
  }
}
template <class Triangle, class MatrixA, class MatrixC>
void herk(Triangle tri, detail::real_t<detail::element_t<MatrixC>> alpha, const MatrixA& A,
          detail::real_t<detail::element_t<MatrixC>> beta, const MatrixC& C) {
  herk(threads(1), tri, alpha, A, beta, C);
}

/// C = alpha A B^H + conj(alpha) B A^H + beta C on the triangle `Triangle` of
/// the Hermitian C, beta real (cher2k, zher2k; over real views syr2k). A's
/// layout picks the reference's 'N' or 'C' form, adjoint(A) and adjoint(B)
/// the 'C' one.
template <class Triangle, class MatrixA, class MatrixB, class MatrixC>
void her2k(const threads& policy, Triangle tri, detail::element_t<MatrixC> alpha, const MatrixA& A,
           const MatrixB& B, detail::real_t<detail::element_t<MatrixC>> beta, const MatrixC& C) {
  using T = detail::element_t<MatrixC>;
  if constexpr (!detail::is_complex_v<T>) {
    syr2k(policy, tri, alpha, A, B, beta, C);
  } else {
    detail::expect_operand_types<MatrixA, MatrixB, MatrixC>();
    detail::expect_shape("her2k", "C's column count", C.ncols(), C.nrows());
    detail::expect_shape("her2k", "A's row count", A.nrows(), C.nrows());
    detail::expect_shape("her2k", "B's row count", B.nrows(), C.nrows());
    detail::expect_shape("her2k", "B's column count", B.ncols(), A.ncols());
    // row-major C: C^T = conj(alpha) conj(A) conj(B)^H + alpha conj(B) conj(A)^H + beta C^T
    const auto a = detail::operand_of(A), b = detail::operand_of(B);
    const auto c = detail::logical(C);
    constexpr bool row_output = detail::is_row_major<MatrixC>;
    ZELT_KERNEL_CALL(complex_rank_2k_ref(
        policy, true, Triangle::is_upper != row_output, detail::is_row_major<MatrixA>, C.nrows(), A.ncols(),
        row_output ? detail::conjugate(alpha) : alpha, row_output ? a.conjugated() : a,
        row_output ? b.conjugated() : b, T(beta), row_output ? c.t() : c));
  }
}
template <class Triangle, class MatrixA, class MatrixB, class MatrixC>
void her2k(Triangle tri, detail::element_t<MatrixC> alpha, const MatrixA& A, const MatrixB& B,
           detail::real_t<detail::element_t<MatrixC>> beta, const MatrixC& C) {
  her2k(threads(1), tri, alpha, A, B, beta, C);
}

namespace detail {

template <bool Solve, class Side, class Triangle, class Diagonal, class MatrixA, class MatrixB>
void triangular3(const char* operation, const threads& policy, element_t<MatrixB> alpha, const MatrixA& A,
                 const MatrixB& B) {
  expect_operand_types<MatrixA, MatrixB>();
  expect_shape(operation, "A's column count", A.ncols(), A.nrows());
  expect_shape(operation, "A's order", A.nrows(), Side::is_left ? B.nrows() : B.ncols());
  const auto a = storage_of(A);
  const bool upper_ref = Triangle::is_upper != a.transposed;
  const auto b = logical(B);
  const bool row_output = is_row_major<MatrixB>;
  const bool on_left = Side::is_left != row_output, trans = a.transposed != row_output;
  const std::size_t m = row_output ? B.ncols() : B.nrows(), n = row_output ? B.nrows() : B.ncols();
  if constexpr (is_complex_v<element_t<MatrixB>>) {
    const conj_ref<element_t<MatrixB>> s{a.s, is_conjugated<MatrixA>::value};
    if constexpr (Solve) {
      complex_trsm(on_left, upper_ref, trans, Diagonal::is_unit, m, n, alpha, s, row_output ? b.t() : b);
    } else {
      ZELT_KERNEL_CALL(complex_trmm_ref(policy, on_left, upper_ref, trans, Diagonal::is_unit, m, n, alpha, s,
                                        row_output ? b.t() : b));
    }
  } else if constexpr (Solve) {
    ZELT_KERNEL_CALL(trsm_ref(policy, on_left, upper_ref, trans, Diagonal::is_unit, m, n, alpha, a.s,
                              row_output ? b.t() : b));
  } else {
    ZELT_KERNEL_CALL(trmm_ref(policy, on_left, upper_ref, trans, Diagonal::is_unit, m, n, alpha, a.s,
                              row_output ? b.t() : b));
  }
}

}  // namespace detail

/// B = alpha A B (`left`) or alpha B A (`right`) for the triangular A given by
/// its triangle `Triangle` and `Diagonal` (dtrmm); the result never depends
/// on the other triangle or on a unit diagonal, whatever they hold.
template <class Side, class Triangle, class Diagonal, class MatrixA, class MatrixB>
void trmm(const threads& policy, Side, Triangle, Diagonal, detail::element_t<MatrixB> alpha, const MatrixA& A,
          const MatrixB& B) {
  detail::triangular3<false, Side, Triangle, Diagonal>("trmm", policy, alpha, A, B);
}
template <class Side, class Triangle, class Diagonal, class MatrixA, class MatrixB>
void trmm(Side side, Triangle tri, Diagonal diag, detail::element_t<MatrixB> alpha, const MatrixA& A,
          const MatrixB& B) {
  trmm(threads(1), side, tri, diag, alpha, A, B);
}

/// Solves A X = alpha B (`left`) or X A = alpha B (`right`) for the triangular
/// A given by its triangle `Triangle` and `Diagonal`, X over B (dtrsm). No
/// test for singularity: a zero on the diagonal gives infinities or NaN, as in
/// the reference.
template <class Side, class Triangle, class Diagonal, class MatrixA, class MatrixB>
void trsm(const threads& policy, Side, Triangle, Diagonal, detail::element_t<MatrixB> alpha, const MatrixA& A,
          const MatrixB& B) {
  detail::triangular3<true, Side, Triangle, Diagonal>("trsm", policy, alpha, A, B);
}
template <class Side, class Triangle, class Diagonal, class MatrixA, class MatrixB>
void trsm(Side side, Triangle tri, Diagonal diag, detail::element_t<MatrixB> alpha, const MatrixA& A,
          const MatrixB& B) {
  trsm(threads(1), side, tri, diag, alpha, A, B);
}

}  // namespace zelt

#endif  // ZELT_BLAS3_HPP_
