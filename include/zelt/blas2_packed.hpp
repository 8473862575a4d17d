#ifndef ZELT_BLAS2_PACKED_HPP_
#define ZELT_BLAS2_PACKED_HPP_

// Level 2 BLAS over packed triangles: spmv, spr, spr2, tpmv and tpsv, each
// with the bits of the reference BLAS 3.11.0 routine of the same name
// (dspmv, dspr, dspr2, dtpmv, dtpsv), its shortcuts included.
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

/// x = A x for the triangular A given by its packed triangle and `Diagonal`
/// (stpmv, dtpmv); the diagonal is never read when it is unit.
template <class Diagonal, class T, class Triangle, class Orientation, class VectorX>
void tpmv(Diagonal, const packed_matrix<T, Triangle, Orientation>& A, const VectorX& x) {
  detail::expect_one_element_type<packed_matrix<T, Triangle, Orientation>, VectorX>();
  detail::expect_length("tpmv", "x", x, A.ncols(), "columns");
  const auto R = detail::as_reference(A);
  if (A.nrows() == 0) return;
  ZELT_KERNEL_CALL(
      trmv_kernel(R.a.upper, R.transposed, Diagonal::is_unit, A.nrows(), R.a, detail::access(x)));
}

/// Solves A x = b in place (b on entry in x) for the triangular A given by
/// its packed triangle and `Diagonal` (stpsv, dtpsv). No test for singularity, as in
/// the reference.
template <class Diagonal, class T, class Triangle, class Orientation, class VectorX>
void tpsv(Diagonal, const packed_matrix<T, Triangle, Orientation>& A, const VectorX& x) {
  detail::expect_one_element_type<packed_matrix<T, Triangle, Orientation>, VectorX>();
  detail::expect_length("tpsv", "x", x, A.ncols(), "columns");
  const auto R = detail::as_reference(A);
  if (A.nrows() == 0) return;
  ZELT_KERNEL_CALL(
      trsv_kernel(R.a.upper, R.transposed, Diagonal::is_unit, A.nrows(), R.a, detail::access(x)));
}

}  // namespace zelt

#endif  // ZELT_BLAS2_PACKED_HPP_
