#ifndef ZELT_BLAS2_PACKED_HPP_
#define ZELT_BLAS2_PACKED_HPP_

// Level 2 BLAS over packed triangles: spmv, spr, spr2, hpmv, hpr, hpr2, tpmv
// and tpsv, each with the bits of the reference BLAS 3.11.0 routine of the
// same name for the element type (dspmv, zhpmv, ...), its shortcuts
// included.
//
// The reference's packed routines run the loops of their full-storage
// counterparts (dsymv, dsyr, dsyr2, dtrmv, dtrsv) in the same order and
// only address the elements differently, so these run zelt's kernels for
// those, which reach column j of the triangle as one contiguous line. A
// row-packed triangle is the column-packed other triangle of the transpose,
// which gives the reference CBLAS's call for row-major data.

#include <cstddef>      // std::size_t
#include <type_traits>  // std::is_same_v

#include "zelt/blas2.hpp"
#include "zelt/blas_tags.hpp"
#include "zelt/detail/blas_access.hpp"
#include "zelt/matrix_views.hpp"
#include "zelt/packed.hpp"

namespace zelt {

namespace detail {

/// Column j of a column-packed triangle of order n, as a pointer whose
/// element i is (i, j) for every stored i: the upper triangle's column holds
/// rows 0 .. j, the lower's rows j .. n - 1.
template <class T>
struct packed_access {
  using value_type = std::remove_const_t<T>;
  T* p;
  std::size_t n;
  bool upper;
  T* column(std::size_t j) const noexcept { return p + (upper ? j * (j + 1) / 2 : j * (2 * n - j - 1) / 2); }
};

/// The reference's view of a packed triangle: its column-packed storage,
/// which triangle that storage holds, and whether the operation's matrix is
/// the transpose of it.
template <class T>
struct reference_packed {
  packed_access<T> a;
  bool transposed;
};

template <class T, class Triangle, class Orientation>
auto as_reference(const packed_matrix<T, Triangle, Orientation>& A) noexcept {
  using U = std::remove_const_t<T>;
  constexpr bool by_rows = stored_by_rows<Orientation>;
  return reference_packed<U>{{const_cast<U*>(A.data()), A.nrows(), Triangle::is_upper != by_rows}, by_rows};
}

/// The packed triangle in the form of detail/complex_level2.hpp.
template <class T>
full_triangle<packed_access<T>> triangle_of(const reference_packed<T>& R) noexcept {
  return {R.a, R.a.n, R.a.upper};
}

}  // namespace detail

/// y = alpha A x + beta y for the symmetric A given by its packed triangle
/// (sspmv, dspmv). beta == 0 sets y without reading it; alpha == 0 with beta == 1
/// touches nothing.
template <class T, class Triangle, class Orientation, class VectorX, class VectorY>
void spmv(std::remove_const_t<T> alpha, const packed_matrix<T, Triangle, Orientation>& A, const VectorX& x,
          std::remove_const_t<T> beta, const VectorY& y) {
  detail::expect_one_element_type<packed_matrix<T, Triangle, Orientation>, VectorX, VectorY>();
  detail::expect_length("spmv", "x", x, A.ncols(), "columns");
  detail::expect_length("spmv", "y", y, A.nrows(), "rows");
  const auto R = detail::as_reference(A);
  const std::size_t n = A.nrows();
  if (n == 0 || (alpha == 0 && beta == 1)) return;
  const auto ey = detail::access(y);
  ZELT_KERNEL_CALL(scale_by_beta(beta, ey, n));
  if (alpha == 0) return;
  ZELT_KERNEL_CALL(symv_kernel(R.a.upper, n, alpha, R.a, detail::read_access(x), ey));
}

/// A = alpha x x^T + A on the packed triangle of the symmetric A (sspr, dspr);
/// columns whose x element is exactly 0 are not touched.
template <class VectorX, class T, class Triangle, class Orientation>
void spr(std::remove_const_t<T> alpha, const VectorX& x, const packed_matrix<T, Triangle, Orientation>& A) {
  static_assert(!std::is_const_v<T>, "spr writes A");
  detail::expect_one_element_type<packed_matrix<T, Triangle, Orientation>, VectorX>();
  detail::expect_length("spr", "x", x, A.ncols(), "columns");
  const auto R = detail::as_reference(A);
  if (A.nrows() == 0 || alpha == 0) return;
  ZELT_KERNEL_CALL(syr_kernel(R.a.upper, A.nrows(), alpha, detail::read_access(x), R.a));
}

/// A = alpha x y^T + alpha y x^T + A on the packed triangle of the symmetric
/// A (sspr2, dspr2); columns where both x and y are exactly 0 are not touched.
template <class VectorX, class VectorY, class T, class Triangle, class Orientation>
void spr2(std::remove_const_t<T> alpha, const VectorX& x, const VectorY& y,
          const packed_matrix<T, Triangle, Orientation>& A) {
  static_assert(!std::is_const_v<T>, "spr2 writes A");
  detail::expect_one_element_type<packed_matrix<T, Triangle, Orientation>, VectorX, VectorY>();
  detail::expect_length("spr2", "x", x, A.ncols(), "columns");
  detail::expect_length("spr2", "y", y, A.ncols(), "columns");
  const auto R = detail::as_reference(A);
  if (A.nrows() == 0 || alpha == 0) return;
  ZELT_KERNEL_CALL(
      syr2_kernel(R.a.upper, A.nrows(), alpha, detail::read_access(x), detail::read_access(y), R.a));
}

/// y = alpha A x + beta y for the Hermitian A given by its packed triangle
/// (chpmv, zhpmv; over real views spmv); the imaginary parts of the
/// diagonal are never read.
template <class T, class Triangle, class Orientation, class VectorX, class VectorY>
void hpmv(std::remove_const_t<T> alpha, const packed_matrix<T, Triangle, Orientation>& A, const VectorX& x,
          std::remove_const_t<T> beta, const VectorY& y) {
  using U = std::remove_const_t<T>;
  if constexpr (!detail::is_complex_v<U>) {
    spmv(alpha, A, x, beta, y);
  } else {
    detail::expect_one_scalar_type<packed_matrix<T, Triangle, Orientation>, VectorX, VectorY>();
    detail::expect_length("hpmv", "x", x, A.ncols(), "columns");
    detail::expect_length("hpmv", "y", y, A.nrows(), "rows");
    const auto R = detail::as_reference(A);
    const std::size_t n = A.nrows();
    if (n == 0 || (alpha == U(0) && beta == U(1))) return;
    detail::hemv_on(detail::triangle_of(R), n, R.transposed, alpha, detail::read_access(x), beta,
                    detail::access(y));
  }
}

/// A = alpha x x^H + A on the packed triangle of the Hermitian A, alpha real
/// (chpr, zhpr; over real views spr). A column whose x element is exactly 0
/// is not touched but for the imaginary part of its diagonal element, which
/// becomes +0.
template <class VectorX, class T, class Triangle, class Orientation>
void hpr(detail::real_t<std::remove_const_t<T>> alpha, const VectorX& x,
         const packed_matrix<T, Triangle, Orientation>& A) {
  if constexpr (!detail::is_complex_v<std::remove_const_t<T>>) {
    spr(alpha, x, A);
  } else {
    static_assert(!std::is_const_v<T>, "hpr writes A");
    detail::expect_one_scalar_type<packed_matrix<T, Triangle, Orientation>, VectorX>();
    detail::expect_length("hpr", "x", x, A.ncols(), "columns");
    const auto R = detail::as_reference(A);
    if (A.nrows() == 0 || alpha == 0) return;
    detail::her_on<T>(detail::triangle_of(R), A.nrows(), R.transposed, alpha, detail::read_access(x));
  }
}

/// A = alpha x y^H + conj(alpha) y x^H + A on the packed triangle of the
/// Hermitian A (chpr2, zhpr2; over real views spr2). A column where both x
/// and y are exactly 0 is not touched but for the imaginary part of its
/// diagonal element, which becomes +0.
template <class VectorX, class VectorY, class T, class Triangle, class Orientation>
void hpr2(std::remove_const_t<T> alpha, const VectorX& x, const VectorY& y,
          const packed_matrix<T, Triangle, Orientation>& A) {
  if constexpr (!detail::is_complex_v<std::remove_const_t<T>>) {
    spr2(alpha, x, y, A);
  } else {
    static_assert(!std::is_const_v<T>, "hpr2 writes A");
    detail::expect_one_scalar_type<packed_matrix<T, Triangle, Orientation>, VectorX, VectorY>();
    detail::expect_length("hpr2", "x", x, A.ncols(), "columns");
    detail::expect_length("hpr2", "y", y, A.ncols(), "columns");
    const auto R = detail::as_reference(A);
    if (A.nrows() == 0 || alpha == T(0)) return;
    detail::her2_on(detail::triangle_of(R), A.nrows(), R.transposed, alpha, detail::read_access(x),
                    detail::read_access(y));
  }
}

namespace detail {

// tpmv (solve false) and tpsv (true); `conjugated`: the operation's matrix
// is conj of A.
template <class Diagonal, class T, class Triangle, class Orientation, class VectorX>
void triangular_packed(bool solve, const packed_matrix<T, Triangle, Orientation>& A, bool conjugated,
                       const VectorX& x) {
  expect_one_scalar_type<packed_matrix<T, Triangle, Orientation>, VectorX>();
  expect_length(solve ? "tpsv" : "tpmv", "x", x, A.ncols(), "columns");
  const auto R = as_reference(A);
  const std::size_t n = A.nrows();
  if (n == 0) return;
  if constexpr (is_complex_v<std::remove_const_t<T>>) {
    triangular_on(solve, triangle_of(R), n, R.transposed, conjugated, Diagonal::is_unit, access(x));
  } else if (solve) {
    ZELT_KERNEL_CALL(trsv_kernel(R.a.upper, R.transposed, Diagonal::is_unit, n, R.a, access(x)));
  } else {
    ZELT_KERNEL_CALL(trmv_kernel(R.a.upper, R.transposed, Diagonal::is_unit, n, R.a, access(x)));
  }
}

}  // namespace detail

/// x = A x for the triangular A given by its packed triangle and `Diagonal`
/// (stpmv, dtpmv, ctpmv, ztpmv); the diagonal is never read when it is unit.
/// transposed(A) takes the place of the `trans` flag, adjoint(A) of its 'C'.
template <class Diagonal, class T, class Triangle, class Orientation, class VectorX>
void tpmv(Diagonal, const packed_matrix<T, Triangle, Orientation>& A, const VectorX& x) {
  detail::triangular_packed<Diagonal>(false, A, false, x);
}
template <class Diagonal, class T, class Triangle, class Orientation, class VectorX>
void tpmv(Diagonal, const conjugated_matrix<packed_matrix<T, Triangle, Orientation>>& A, const VectorX& x) {
  detail::triangular_packed<Diagonal>(false, A.base(), true, x);
}

/// Solves A x = b in place (b on entry in x) for the triangular A given by
/// its packed triangle and `Diagonal` (stpsv, dtpsv, ctpsv, ztpsv). No test
/// for singularity, as in the reference.
template <class Diagonal, class T, class Triangle, class Orientation, class VectorX>
void tpsv(Diagonal, const packed_matrix<T, Triangle, Orientation>& A, const VectorX& x) {
  detail::triangular_packed<Diagonal>(true, A, false, x);
}
template <class Diagonal, class T, class Triangle, class Orientation, class VectorX>
void tpsv(Diagonal, const conjugated_matrix<packed_matrix<T, Triangle, Orientation>>& A, const VectorX& x) {
  detail::triangular_packed<Diagonal>(true, A.base(), true, x);
}

}  // namespace zelt

#endif  // ZELT_BLAS2_PACKED_HPP_
