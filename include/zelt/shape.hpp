#ifndef ZELT_SHAPE_HPP_
#define ZELT_SHAPE_HPP_

// Shapes and positions of rectangular matrices. Two orders are told apart:
// matrix order is (row, column), storage order is (major, minor), where a
// major line is a run of elements adjacent in memory and the minor index counts
// along it. An orientation policy translates between them: under row_orien
// they coincide, under col_orien the pair is swapped (a column is the major
// line).
//
// Static extents (the int template arguments) are reserved: 0 means "given at
// run time", and only 0 is supported so far.

namespace zelt {

/// An ordered pair of sizes: a shape (rows, columns) or a position (row,
/// column), in matrix or storage order.
template <class SizeType, int StaticFirst, int StaticSecond>
class dimension {
  static_assert(StaticFirst == 0 && StaticSecond == 0, "only run-time extents (0) are supported");

 public:
  using size_type = SizeType;

  constexpr dimension(SizeType first, SizeType second) noexcept : first_value(first), second_value(second) {}

  constexpr SizeType first() const noexcept { return first_value; }
  constexpr SizeType second() const noexcept { return second_value; }

  SizeType first_value;
  SizeType second_value;
};

/// Row orientation: matrix order and storage order are the same, the row
/// index is the major index.
struct row_orien {
  /// (row, column) to (major, minor): unchanged.
  template <class Dim>
  static constexpr Dim map(Dim d) noexcept {
    return d;
  }
  /// The row part of a storage-order pair.
  template <class Dim>
  static constexpr typename Dim::size_type row(Dim d) noexcept {
    return d.first();
  }
  /// The column part of a storage-order pair.
  template <class Dim>
  static constexpr typename Dim::size_type column(Dim d) noexcept {
    return d.second();
  }
};

/// Column orientation: storage order is matrix order swapped, the column index
/// is the major index.
struct col_orien {
  /// (row, column) to (major, minor) = (column, row), and back: the swap is
  /// its own inverse.
  template <class Dim>
  static constexpr Dim map(Dim d) noexcept {
    return Dim(d.second(), d.first());
  }
  /// The row part of a storage-order pair: its minor, second value.
  template <class Dim>
  static constexpr typename Dim::size_type row(Dim d) noexcept {
    return d.second();
  }
  /// The column part of a storage-order pair: its major, first value.
  template <class Dim>
  static constexpr typename Dim::size_type column(Dim d) noexcept {
    return d.first();
  }
};

/// Offset rule of a dense rectangular block with leading dimension `ld`:
/// element (i, j) in storage order lies at i * ld + j. Unchecked.
template <class SizeType, int StaticMajor, int StaticMinor>
class rect_offset {
  static_assert(StaticMajor == 0 && StaticMinor == 0, "only run-time extents (0) are supported");

 public:
  using size_type = SizeType;

  constexpr rect_offset(SizeType major, SizeType minor, SizeType leading) noexcept
      : extents(major, minor), ld(leading) {}

  /// i * ld + j, computed in the size type: with an unsigned size type it wraps
  /// modulo 2^bits, and neither index is compared with anything.
  constexpr SizeType elt(SizeType i, SizeType j) const noexcept {
    // Small unsigned types promote to int, whose overflow is undefined; do the
    // arithmetic in at least unsigned int and reduce at the end.
    using wide = decltype(SizeType() + 0u);
    return static_cast<SizeType>(static_cast<wide>(i) * static_cast<wide>(ld) + static_cast<wide>(j));
  }

  dimension<SizeType, 0, 0> extents;  ///< (major, minor) extent; not used by elt
  SizeType ld;                        ///< distance between starts of major lines
};

/// Names `rect_offset<SizeType, StaticMajor, StaticMinor>` for the size type
/// that the storage supplies: `gen_rect_offset<M, N>::type<S>`.
template <int StaticMajor, int StaticMinor>
struct gen_rect_offset {
  template <class SizeType>
  using type = rect_offset<SizeType, StaticMajor, StaticMinor>;
};

/// What a matrix keeps to report its shape and translate (row, column)
/// positions into storage order. `extents` holds the shape in storage order.
template <class SizeType, class Orientation, int StaticFirst, int StaticSecond>
class rect_indexer {
  static_assert(StaticFirst == 0 && StaticSecond == 0, "only run-time extents (0) are supported");

 public:
  using size_type = SizeType;
  using orientation = Orientation;

  /// `storage_shape` is the shape already mapped into storage order.
  constexpr explicit rect_indexer(dimension<SizeType, 0, 0> storage_shape) noexcept
      : extents(storage_shape) {}

  constexpr SizeType nrows() const noexcept { return Orientation::row(extents); }
  constexpr SizeType ncols() const noexcept { return Orientation::column(extents); }

  /// The storage position of matrix position `p`. Tests nothing.
  template <class Position>
  constexpr Position at(Position p) const noexcept {
    return Orientation::map(p);
  }

  dimension<SizeType, 0, 0> extents;
};

/// Names `rect_indexer<SizeType, Orientation, First, Second>`: the size type
/// moves from the last place to the first.
template <class Orientation, int StaticFirst, int StaticSecond, class SizeType>
struct gen_rect_indexer {
  using type = rect_indexer<SizeType, Orientation, StaticFirst, StaticSecond>;
};

}  // namespace zelt

#endif  // ZELT_SHAPE_HPP_
