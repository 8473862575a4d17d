#ifndef ZELT_MATRIX_VIEWS_HPP_
#define ZELT_MATRIX_VIEWS_HPP_

// Views of a matrix's elements: one row, one column, the diagonal, a block,
// the transpose. Each is O(1) and allocation-free, and refers to the same
// caller's array as the matrix it was taken from, so writes through either
// show in both.
//
// A line along storage (a row of a row-major matrix, a column of a
// column-major one) is contiguous and comes back as an external_vec; a line
// across it is a strided_vec whose stride is the leading dimension.

#include <complex>      // std::conj
#include <cstddef>      // std::ptrdiff_t, std::size_t
#include <type_traits>  // std::is_same_v, std::remove_const_t
#include <utility>      // std::move

#include "zelt/detail/complex.hpp"
#include "zelt/detail/contract.hpp"
#include "zelt/matrix.hpp"
#include "zelt/shape.hpp"
#include "zelt/strided.hpp"
#include "zelt/vector.hpp"

namespace zelt {

/// The type of the transpose of a matrix type: the same storage under the
/// other orientation, `transposed_matrix_t<row_major_matrix<T>>` is
/// `col_major_matrix<T>` and back.
template <class Matrix>
struct transposed_matrix;

template <class StorageGen, int First, int Second, class SizeType>
struct transposed_matrix<row_matrix<StorageGen, gen_rect_indexer<row_orien, First, Second, SizeType>>> {
  using type = col_matrix<StorageGen, gen_rect_indexer<col_orien, First, Second, SizeType>>;
};

template <class StorageGen, int First, int Second, class SizeType>
struct transposed_matrix<col_matrix<StorageGen, gen_rect_indexer<col_orien, First, Second, SizeType>>> {
  using type = row_matrix<StorageGen, gen_rect_indexer<row_orien, First, Second, SizeType>>;
};

template <class Matrix>
using transposed_matrix_t = typename transposed_matrix<Matrix>::type;

namespace detail {

template <class Matrix>
constexpr bool is_row_oriented = std::is_same_v<typename Matrix::orientation, row_orien>;

// Where element (i, j) lies relative to A.data(), in elements: major * ld +
// minor, in std::size_t so that no size type wraps.
template <class Matrix>
std::size_t offset_of(const Matrix& A, typename Matrix::size_type i, typename Matrix::size_type j) noexcept {
  const auto p = Matrix::orientation::map(typename Matrix::dimension_type(i, j));
  return static_cast<std::size_t>(p.first()) * A.ld() + p.second();
}

}  // namespace detail

/// Row `i` of `A`, `A.ncols()` elements: an external_vec (index base 0) for a
/// row-major matrix, a strided_vec of stride `A.ld()` for a column-major one.
template <class Matrix>
auto row(Matrix A, typename Matrix::size_type i) noexcept {
  using size_type = typename Matrix::size_type;
  using T = typename Matrix::element_type;
  ZELT_EXPECTS(i < A.nrows(), "row: row %llu outside %llux%llu", detail::ull(i), detail::ull(A.nrows()),
               detail::ull(A.ncols()));
  T* first = A.data() + detail::offset_of(A, i, 0);
  if constexpr (detail::is_row_oriented<Matrix>) {
    return external_vec<T, 0, size_type>(first, A.ncols(), 0);
  } else {
    return strided_vec<T, size_type>(first, A.ncols(), static_cast<std::ptrdiff_t>(A.ld()));
  }
}

/// Column `j` of `A`, `A.nrows()` elements: an external_vec (index base 0) for
/// a column-major matrix, a strided_vec of stride `A.ld()` for a row-major one.
template <class Matrix>
auto column(Matrix A, typename Matrix::size_type j) noexcept {
  using size_type = typename Matrix::size_type;
  using T = typename Matrix::element_type;
  ZELT_EXPECTS(j < A.ncols(), "column: column %llu outside %llux%llu", detail::ull(j), detail::ull(A.nrows()),
               detail::ull(A.ncols()));
  T* first = A.data() + detail::offset_of(A, 0, j);
  if constexpr (detail::is_row_oriented<Matrix>) {
    return strided_vec<T, size_type>(first, A.nrows(), static_cast<std::ptrdiff_t>(A.ld()));
  } else {
    return external_vec<T, 0, size_type>(first, A.nrows(), 0);
  }
}

/// The elements (k, k), k below min(nrows, ncols), as a strided_vec of
/// stride `A.ld() + 1`.
template <class Matrix>
auto diagonal(Matrix A) noexcept {
  using size_type = typename Matrix::size_type;
  const size_type n = A.nrows() < A.ncols() ? A.nrows() : A.ncols();
  return strided_vec<typename Matrix::element_type, size_type>(A.data(), n,
                                                               static_cast<std::ptrdiff_t>(A.ld()) + 1);
}

/// The m x n block of `A` whose element (0, 0) is A(i0, j0): a matrix of A's
/// type, orientation and leading dimension over the same array. The block
/// lies inside A: i0 + m <= A.nrows(), j0 + n <= A.ncols().
template <class Matrix>
Matrix sub_matrix(Matrix A, typename Matrix::size_type i0, typename Matrix::size_type j0,
                  typename Matrix::size_type m, typename Matrix::size_type n) noexcept {
  ZELT_EXPECTS(m <= A.nrows() && i0 <= A.nrows() - m && n <= A.ncols() && j0 <= A.ncols() - n,
               "sub_matrix: block %llux%llu at (%llu, %llu) outside %llux%llu", detail::ull(m),
               detail::ull(n), detail::ull(i0), detail::ull(j0), detail::ull(A.nrows()),
               detail::ull(A.ncols()));
  return Matrix(A.data() + detail::offset_of(A, i0, j0), m, n, A.ld());
}

/// The n x m transpose of the m x n matrix `A`: element (i, j) is A(j, i),
/// the same storage seen under the other orientation. Transposing twice gives
/// a matrix of A's own type and layout.
template <class Matrix>
transposed_matrix_t<Matrix> transposed(Matrix A) noexcept {
  return transposed_matrix_t<Matrix>(A.data(), A.ncols(), A.nrows(), A.ld());
}

/// A matrix whose elements the operations take conjugated: the view of
/// conj(A) over A's storage, for the BLAS's conjugate transpose (see
/// adjoint). It has A's shape, orientation and storage; `base()` is A.
/// Nothing is written through it: it is an operand only.
template <class Matrix>
class conjugated_matrix {
 public:
  using base_type = Matrix;
  using orientation = typename Matrix::orientation;
  using size_type = typename Matrix::size_type;
  using element_type = const typename Matrix::element_type;
  using value_type = typename Matrix::value_type;

  explicit conjugated_matrix(Matrix A) noexcept : base_(std::move(A)) {}

  const Matrix& base() const noexcept { return base_; }
  size_type nrows() const noexcept { return base_.nrows(); }
  size_type ncols() const noexcept { return base_.ncols(); }
  size_type ld() const noexcept { return base_.ld(); }
  element_type* data() const noexcept { return base_.data(); }
  /// conj(A(i, j)), by value.
  value_type operator()(size_type i, size_type j) const noexcept { return std::conj(base_(i, j)); }

 private:
  Matrix base_;
};

namespace detail {
template <class Matrix>
struct is_conjugated : std::false_type {};
template <class Matrix>
struct is_conjugated<conjugated_matrix<Matrix>> : std::true_type {};
}  // namespace detail

/// conj(A): A's elements conjugated, as an operand. A matrix of real
/// elements is its own conjugate; conjugating twice gives A back.
template <class Matrix>
auto conjugated(Matrix A) noexcept {
  if constexpr (detail::is_conjugated<Matrix>::value) {
    return A.base();
  } else if constexpr (detail::is_complex_v<std::remove_const_t<typename Matrix::element_type>>) {
    return conjugated_matrix<Matrix>(A);
  } else {
    return A;
  }
}

/// The transpose of conj(A) is conj of A's transpose.
template <class Matrix>
conjugated_matrix<transposed_matrix_t<Matrix>> transposed(conjugated_matrix<Matrix> A) noexcept {
  return conjugated_matrix<transposed_matrix_t<Matrix>>(transposed(A.base()));
}

/// The conjugate transpose A^H of `A`: the operand that takes the place of
/// the BLAS's 'C' flag (zgemv('C', ...) is gemv over adjoint(A)). Over real
/// elements it is transposed(A).
template <class Matrix>
auto adjoint(Matrix A) noexcept {
  return conjugated(transposed(A));
}

}  // namespace zelt

#endif  // ZELT_MATRIX_VIEWS_HPP_
