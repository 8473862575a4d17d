#include "zelt/shape.hpp"

#include <gtest/gtest.h>

#include <cstdint>
#include <type_traits>

namespace {

using dim = zelt::dimension<unsigned int, 0, 0>;
using offset = zelt::rect_offset<unsigned int, 0, 0>;
using indexer = zelt::rect_indexer<unsigned int, zelt::row_orien, 0, 0>;

// Generators name their classes; the size type of gen_rect_indexer moves from
// the last place to the first.
static_assert(std::is_same_v<zelt::gen_rect_offset<0, 0>::type<unsigned int>, offset>);
static_assert(std::is_same_v<zelt::gen_rect_offset<0, 0>::type<unsigned short>,
                             zelt::rect_offset<unsigned short, 0, 0>>);
static_assert(std::is_same_v<zelt::gen_rect_indexer<zelt::row_orien, 0, 0, unsigned int>::type, indexer>);
static_assert(std::is_same_v<dim::size_type, unsigned int>);
static_assert(std::is_trivially_copyable_v<dim> && std::is_trivially_copyable_v<offset> &&
              std::is_trivially_copyable_v<indexer>);

// Usable in constant expressions.
static_assert(offset(4, 4, 4).elt(3, 3) == 15);
static_assert(indexer(dim(4, 7)).ncols() == 7);
// A small size type promotes to int; the offset must still be computed
// without signed overflow (undefined, so a compile error in a constant
// expression): 65535 * 65535 + 2 wraps modulo 2^16 to 3.
static_assert(zelt::rect_offset<unsigned short, 0, 0>(1, 1, 65535).elt(65535, 2) == 3);

TEST(Dimension, HoldsAnOrderedPair) {
  const dim d(3, 5);
  EXPECT_EQ(d.first(), 3u);
  EXPECT_EQ(d.second(), 5u);
  const dim copy = d;
  EXPECT_EQ(copy.first(), 3u);
  EXPECT_EQ(copy.second(), 5u);
  const dim zero(0, 0);
  EXPECT_EQ(zero.first() + zero.second(), 0u);
}

TEST(RowOrien, MatrixOrderIsStorageOrder) {
  const dim mapped = zelt::row_orien::map(dim(3, 5));
  EXPECT_EQ(mapped.first(), 3u);
  EXPECT_EQ(mapped.second(), 5u);
  EXPECT_EQ(zelt::row_orien::row(dim(3, 5)), 3u);
  EXPECT_EQ(zelt::row_orien::column(dim(3, 5)), 5u);
}

TEST(ColOrien, StoragePairIsTheMatrixPairSwapped) {
  const dim mapped = zelt::col_orien::map(dim(3, 5));
  EXPECT_EQ(mapped.first(), 5u);
  EXPECT_EQ(mapped.second(), 3u);
  // row and column read a storage-order pair (column, row)
  EXPECT_EQ(zelt::col_orien::row(dim(3, 5)), 5u);
  EXPECT_EQ(zelt::col_orien::column(dim(3, 5)), 3u);
  const zelt::rect_indexer<unsigned int, zelt::col_orien, 0, 0> idx(zelt::col_orien::map(dim(4, 7)));
  EXPECT_EQ(idx.nrows(), 4u);
  EXPECT_EQ(idx.ncols(), 7u);
  const dim p = idx.at(dim(2, 6));
  EXPECT_EQ(p.first(), 6u);
  EXPECT_EQ(p.second(), 2u);
}

// Offsets checked against i * ld + j reduced modulo 2^bits, written here
// independently in 64-bit arithmetic.
template <class Size>
class RectOffset : public testing::Test {};
using size_types = testing::Types<unsigned int, unsigned short, unsigned long long>;
TYPED_TEST_SUITE(RectOffset, size_types, testing::internal::DefaultNameGenerator);

TYPED_TEST(RectOffset, IsIMajorTimesLdPlusJWrapping) {
  using S = TypeParam;
  const std::uint64_t values[] = {0,   1,     2,     3,          4,          5,         255,
                                  256, 65535, 65536, 0x7fffffff, 0x80000001, 0xffffffff};
  const std::uint64_t modulus_bits = 8 * sizeof(S);
  for (std::uint64_t ld : values) {
    for (std::uint64_t i : values) {
      for (std::uint64_t j : values) {
        const zelt::rect_offset<S, 0, 0> off(S(7), S(9), static_cast<S>(ld));
        std::uint64_t want =
            static_cast<S>(i) * static_cast<std::uint64_t>(static_cast<S>(ld)) + static_cast<S>(j);
        if (modulus_bits < 64) want &= (std::uint64_t(1) << modulus_bits) - 1;
        ASSERT_EQ(static_cast<std::uint64_t>(off.elt(static_cast<S>(i), static_cast<S>(j))), want)
            << "ld=" << ld << " i=" << i << " j=" << j;
      }
    }
  }
}

TEST(RectOffset, RowMajorOffsetsRunIntoTheNextLine) {
  const offset off(4, 4, 4);
  EXPECT_EQ(off.elt(0, 0), 0u);
  EXPECT_EQ(off.elt(1, 0), 4u);
  EXPECT_EQ(off.elt(2, 1), 9u);
  EXPECT_EQ(off.elt(3, 3), 15u);
  EXPECT_EQ(off.elt(0, 5), off.elt(1, 1));  // no index is compared with the extents
  EXPECT_EQ(off.ld, 4u);
  EXPECT_EQ(off.extents.first(), 4u);
}

TEST(RectOffset, WrapsModulo2To32) {
  const offset off(1, 1, 1u << 16);
  EXPECT_EQ(off.elt(1u << 16, 3), 3u);  // 2^16 * 2^16 wraps to 0
}

TEST(RectIndexer, ReportsTheShapeAndTestsNothing) {
  const indexer idx(zelt::row_orien::map(dim(4, 7)));
  EXPECT_EQ(idx.nrows(), 4u);
  EXPECT_EQ(idx.ncols(), 7u);
  const dim inside = idx.at(dim(2, 6));
  EXPECT_EQ(inside.first(), 2u);
  EXPECT_EQ(inside.second(), 6u);
  const dim outside = idx.at(dim(9, 9));
  EXPECT_EQ(outside.first(), 9u);
  EXPECT_EQ(outside.second(), 9u);
  const indexer empty(dim(0, 0));
  EXPECT_EQ(empty.nrows(), 0u);
  EXPECT_EQ(empty.ncols(), 0u);
}

}  // namespace
