#ifndef ZELT_MATRIX_HPP_
#define ZELT_MATRIX_HPP_

// Row- and column-major matrix views over a caller's array, in four layers:
//   generic_dense2D       addressing through an offset rule, over a container
//                         reached through a pointer
//   external2D            a generic_dense2D whose container is an external_vec
//                         over the caller's array, held inside the object
//   matrix_implementation storage plus an indexer for shape and orientation
//   row_matrix            the row-oriented matrix, built from (array, rows,
//   col_matrix            columns[, ld]), and the column-oriented one
// Element (i, j) of an m x n row_matrix over d is d[i * ld + j], of a
// col_matrix d[j * ld + i], read at the moment of access; ld defaults to the
// length of a major line (n, or m). Nothing is copied, owned or checked.

#include <iostream>     // std::cout, std::ostream, std::endl
#include <type_traits>  // std::is_same_v, std::is_convertible_v, std::enable_if_t
#include <utility>      // std::pair

#include "zelt/detail/contract.hpp"
#include "zelt/shape.hpp"
#include "zelt/vector.hpp"

namespace zelt {

/// Dense two-dimensional addressing: element (i, j) in storage order is
/// element offset.elt(i, j) after element 0 of the container `*rep`.
template <class Container, class ContainerPtr, class OffsetGen, int StaticMajor, int StaticMinor>
class generic_dense2D {
 public:
  using size_type = typename Container::size_type;
  using value_type = typename Container::value_type;
  using element_type = typename Container::element_type;
  using offset_type = typename OffsetGen::template type<size_type>;

  /// Stores `container` (not yet read) and the offset rule of an
  /// `major` x `minor` block with leading dimension `leading`.
  generic_dense2D(ContainerPtr container, size_type major, size_type minor, size_type leading) noexcept
      : ld(leading), rep(container), starts(0, 0), offset(major, minor, leading) {}

  /// The container's first element. Through the container's data(), not its
  /// operator[], so that an empty block (whose container holds nothing) has
  /// an address too.
  element_type* data() noexcept { return rep->data(); }
  const element_type* data() const noexcept { return rep->data(); }

  /// Element (i, j) in storage order. Unchecked.
  element_type& operator()(size_type i, size_type j) noexcept { return data()[offset.elt(i, j)]; }
  const element_type& operator()(size_type i, size_type j) const noexcept { return data()[offset.elt(i, j)]; }

  size_type ld;                            ///< leading dimension
  ContainerPtr rep;                        ///< the container of the elements
  std::pair<size_type, size_type> starts;  ///< starting indices, (0, 0)
  offset_type offset;                      ///< the offset rule
};

/// Storage over a caller's array: a generic_dense2D whose container is the
/// `elements` view held in this object. Copies view the same array through
/// their own `elements`.
template <class T, class OffsetGen, int StaticMajor, int StaticMinor>
class external2D : public generic_dense2D<external_vec<T, 0, unsigned int>, external_vec<T, 0, unsigned int>*,
                                          OffsetGen, StaticMajor, StaticMinor> {
  using base = generic_dense2D<external_vec<T, 0, unsigned int>, external_vec<T, 0, unsigned int>*, OffsetGen,
                               StaticMajor, StaticMinor>;

 public:
  using size_type = unsigned int;

  /// Views `d` as a block of `shape.first()` major lines of `shape.second()`
  /// elements each, lying next to each other (leading dimension = minor extent).
  external2D(T* d, dimension<size_type, 0, 0> shape) noexcept : external2D(d, shape, shape.second()) {}

  /// The same with major line k starting at d[k * leading]. `elements` spans
  /// from the first element of the first line to the last of the last:
  /// (major - 1) * leading + minor elements, major * minor when packed.
  external2D(T* d, dimension<size_type, 0, 0> shape, size_type leading) noexcept
      : base(&elements, shape.first(), shape.second(), leading),
        elements(d, spanned(shape.first(), shape.second(), leading), 0) {}

  // `rep` points into the object itself, so a member-wise copy would leave it
  // pointing at the source's `elements`; copies re-point it at their own.
  external2D(const external2D& other) noexcept : base(other), elements(other.elements) {
    this->rep = &elements;
  }
  external2D& operator=(const external2D& other) noexcept {
    base::operator=(other);
    elements = other.elements;
    this->rep = &elements;
    return *this;
  }

  external_vec<T, 0, unsigned int> elements;  ///< all the matrix's elements

 private:
  static constexpr size_type spanned(size_type major, size_type minor, size_type leading) noexcept {
    return major == 0 ? 0 : static_cast<size_type>((major - 1) * leading + minor);
  }
};

/// Names `external2D<T, OffsetGen, StaticMajor, StaticMinor>`.
template <class T, class OffsetGen, int StaticMajor, int StaticMinor>
struct gen_external2D {
  using type = external2D<T, OffsetGen, StaticMajor, StaticMinor>;
};

/// Storage plus indexer: reports the shape and reaches element (i, j) through
/// the orientation's mapping into storage order.
template <class StorageGen, class IndexerGen>
class matrix_implementation {
 public:
  using storage_type = typename StorageGen::type;
  using indexer_type = typename IndexerGen::type;
  using orientation = typename indexer_type::orientation;
  using size_type = typename indexer_type::size_type;
  using value_type = typename storage_type::value_type;
  using element_type = typename storage_type::element_type;
  using dimension_type = dimension<size_type, 0, 0>;

  /// A matrix of `shape` (rows, columns) over `d`. The `char` carries nothing.
  matrix_implementation(element_type* d, dimension_type shape, char) noexcept
      : twod(d, orientation::map(shape)), indexer(orientation::map(shape)) {}

  /// The same with leading dimension `ld`: major line k starts at d[k * ld].
  matrix_implementation(element_type* d, dimension_type shape, char, size_type ld) noexcept
      : twod(d, orientation::map(shape), ld), indexer(orientation::map(shape)) {}

  size_type nrows() const noexcept { return indexer.nrows(); }
  size_type ncols() const noexcept { return indexer.ncols(); }

  /// Distance in elements between the starts of consecutive major lines.
  size_type ld() const noexcept { return twod.ld; }
  /// The address of element (0, 0).
  element_type* data() noexcept { return twod.data(); }
  const element_type* data() const noexcept { return twod.data(); }

  /// Element (i, j): row i, column j. Unchecked.
  element_type& operator()(size_type i, size_type j) noexcept {
    const dimension_type p = storage_position(i, j);
    return twod(p.first(), p.second());
  }
  const element_type& operator()(size_type i, size_type j) const noexcept {
    const dimension_type p = storage_position(i, j);
    return twod(p.first(), p.second());
  }

  storage_type twod;     ///< the element storage
  indexer_type indexer;  ///< shape and orientation

 private:
  dimension_type storage_position(size_type i, size_type j) const noexcept {
    ZELT_EXPECTS(i < nrows() && j < ncols(), "matrix::operator(): element (%llu, %llu) outside %llux%llu",
                 detail::ull(i), detail::ull(j), detail::ull(nrows()), detail::ull(ncols()));
    return indexer.at(dimension_type(i, j));
  }
};

/// Non-owning row-major matrix view: element (i, j) of an m x n matrix over `d`
/// is d[i * ld + j], ld = n unless given. The caller keeps the elements from
/// d[0] to d[(m - 1) * ld + n - 1] alive for as long as the matrix and its
/// copies are used.
template <class StorageGen, class IndexerGen>
class row_matrix : public matrix_implementation<StorageGen, IndexerGen> {
  using base = matrix_implementation<StorageGen, IndexerGen>;
  static_assert(std::is_same_v<typename base::orientation, row_orien>, "a row_matrix is row-oriented");

 public:
  using typename base::element_type;
  using typename base::size_type;

  row_matrix(element_type* d, size_type rows, size_type columns) noexcept
      : base(d, typename base::dimension_type(rows, columns), char(0)) {}

  /// Rows `ld` elements apart; `ld` is at least `columns`.
  row_matrix(element_type* d, size_type rows, size_type columns, size_type ld) noexcept
      : base(d, typename base::dimension_type(rows, columns), char(0), ld) {
    ZELT_EXPECTS(!(ld < columns), "row_matrix: leading dimension %llu shorter than a row of %llu",
                 detail::ull(ld), detail::ull(columns));
  }

  /// A view of writable elements converts to one of read-only elements.
  template <class OtherStorageGen,
            std::enable_if_t<
                !std::is_same_v<OtherStorageGen, StorageGen> &&
                    std::is_convertible_v<typename OtherStorageGen::type::element_type*, element_type*>,
                int> = 0>
  row_matrix(const row_matrix<OtherStorageGen, IndexerGen>& other) noexcept
      : row_matrix(other.data(), other.nrows(), other.ncols(), other.ld()) {}
};

/// Non-owning column-major matrix view, the layout of Fortran and the BLAS:
/// element (i, j) of an m x n matrix over `d` is d[j * ld + i], ld = m unless
/// given. The caller keeps the elements from d[0] to d[(n - 1) * ld + m - 1]
/// alive for as long as the matrix and its copies are used.
template <class StorageGen, class IndexerGen>
class col_matrix : public matrix_implementation<StorageGen, IndexerGen> {
  using base = matrix_implementation<StorageGen, IndexerGen>;
  static_assert(std::is_same_v<typename base::orientation, col_orien>, "a col_matrix is column-oriented");

 public:
  using typename base::element_type;
  using typename base::size_type;

  col_matrix(element_type* d, size_type rows, size_type columns) noexcept
      : base(d, typename base::dimension_type(rows, columns), char(0)) {}

  /// Columns `ld` elements apart; `ld` is at least `rows`.
  col_matrix(element_type* d, size_type rows, size_type columns, size_type ld) noexcept
      : base(d, typename base::dimension_type(rows, columns), char(0), ld) {
    ZELT_EXPECTS(!(ld < rows), "col_matrix: leading dimension %llu shorter than a column of %llu",
                 detail::ull(ld), detail::ull(rows));
  }

  /// A view of writable elements converts to one of read-only elements.
  template <class OtherStorageGen,
            std::enable_if_t<
                !std::is_same_v<OtherStorageGen, StorageGen> &&
                    std::is_convertible_v<typename OtherStorageGen::type::element_type*, element_type*>,
                int> = 0>
  col_matrix(const col_matrix<OtherStorageGen, IndexerGen>& other) noexcept
      : col_matrix(other.data(), other.nrows(), other.ncols(), other.ld()) {}
};

/// The row-major matrix of `T` everyone uses: `row_major_matrix<double>`, or
/// `row_major_matrix<const double>` for read-only elements.
template <class T>
using row_major_matrix = row_matrix<gen_external2D<T, gen_rect_offset<0, 0>, 0, 0>,
                                    gen_rect_indexer<row_orien, 0, 0, unsigned int>>;

/// The column-major matrix of `T`: `col_major_matrix<double>`.
template <class T>
using col_major_matrix = col_matrix<gen_external2D<T, gen_rect_offset<0, 0>, 0, 0>,
                                    gen_rect_indexer<col_orien, 0, 0, unsigned int>>;

namespace detail {

// The matrix text form up to its closing "]": the shape line, "[", one line
// per row, commas only between the elements of a row and after every row but
// the last. `end_line` ends each of those lines. The stream's precision and
// format flags apply to every element; a field width is not applied.
template <class Matrix, class EndLine>
void write_matrix(const Matrix& A, std::ostream& os, EndLine end_line) {
  using index = decltype(A.nrows());
  os.width(0);
  os << A.nrows() << "x" << A.ncols();
  end_line(os);
  os << "[";
  end_line(os);
  for (index i = 0; i < A.nrows(); ++i) {
    os << "[";
    for (index j = 0; j < A.ncols(); ++j) {
      os << A(i, j);
      if (j < A.ncols() - 1) os << ",";
    }
    os << "]";
    if (i < A.nrows() - 1) os << ",";
    end_line(os);
  }
  os << "]";
}

}  // namespace detail

/// Writes the shape line "<rows>x<columns>", then "[", one line per row as
/// "[a,b,c]" followed by "," on every row but the last, then "]"; every line
/// ends with std::endl. Elements use the stream's precision and format flags.
template <class Matrix>
void print_all_matrix(const Matrix& A, std::ostream& os) {
  detail::write_matrix(A, os, [](std::ostream& out) { out << std::endl; });
  os << std::endl;
}

/// Writes `A` to std::cout in the form of print_all_matrix(A, os).
template <class Matrix>
void print_all_matrix(const Matrix& A) {
  print_all_matrix(A, std::cout);
}

/// Writes `A` in the form of print_all_matrix, its lines ended by '\n' (no
/// flush) and without the final end of line.
template <class StorageGen, class IndexerGen>
std::ostream& operator<<(std::ostream& os, const matrix_implementation<StorageGen, IndexerGen>& A) {
  detail::write_matrix(A, os, [](std::ostream& out) { out << '\n'; });
  return os;
}

}  // namespace zelt

#endif  // ZELT_MATRIX_HPP_
