#ifndef ZELT_MATRIX_HPP_
#define ZELT_MATRIX_HPP_

// A row-major matrix view over a caller's array, in four layers:
//   generic_dense2D       addressing through an offset rule, over a container
//                         reached through a pointer
//   external2D            a generic_dense2D whose container is an external_vec
//                         over the caller's array, held inside the object
//   matrix_implementation storage plus an indexer for shape and orientation
//   row_matrix            the row-oriented matrix, built from (array, rows, columns)
// Element (i, j) of an m x n row_matrix over d is d[i * n + j], read at the
// moment of access. Nothing is copied, owned or checked.

#include <iostream>  // std::cout, std::ostream, std::endl
#include <utility>   // std::pair

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

  /// Element 0 of the container.
  element_type* data() noexcept { return &(*rep)[0]; }
  const element_type* data() const noexcept { return &(*rep)[0]; }

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
  external2D(T* d, dimension<size_type, 0, 0> shape) noexcept
      : base(&elements, shape.first(), shape.second(), shape.second()),
        elements(d, shape.first() * shape.second(), 0) {}

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

  size_type nrows() const noexcept { return indexer.nrows(); }
  size_type ncols() const noexcept { return indexer.ncols(); }

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
/// is d[i * n + j]. The caller keeps at least m * n elements alive for as
/// long as the matrix and its copies are used.
template <class StorageGen, class IndexerGen>
class row_matrix : public matrix_implementation<StorageGen, IndexerGen> {
  using base = matrix_implementation<StorageGen, IndexerGen>;

 public:
  using typename base::element_type;
  using typename base::size_type;

  row_matrix(element_type* d, size_type rows, size_type columns) noexcept
      : base(d, typename base::dimension_type(rows, columns), char(0)) {}
};

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
