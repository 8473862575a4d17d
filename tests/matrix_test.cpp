#include "zelt/matrix.hpp"

#include <gtest/gtest.h>

#include <iomanip>
#include <memory>
#include <sstream>
#include <string>
#include <type_traits>
#include <vector>

#include "flush_counter.hpp"

namespace {

using matrix = zelt::row_matrix<zelt::gen_external2D<double, zelt::gen_rect_offset<0, 0>, 0, 0>,
                                zelt::gen_rect_indexer<zelt::row_orien, 0, 0, unsigned int>>;
using storage = zelt::external2D<double, zelt::gen_rect_offset<0, 0>, 0, 0>;
using vec = zelt::external_vec<double, 0, unsigned int>;

static_assert(std::is_same_v<zelt::gen_external2D<double, zelt::gen_rect_offset<0, 0>, 0, 0>::type, storage>);
static_assert(
    std::is_base_of_v<zelt::generic_dense2D<vec, vec*, zelt::gen_rect_offset<0, 0>, 0, 0>, storage>);
static_assert(std::is_same_v<decltype(matrix::twod), storage>);
static_assert(
    std::is_same_v<decltype(matrix::indexer), zelt::rect_indexer<unsigned int, zelt::row_orien, 0, 0>>);
static_assert(std::is_same_v<decltype(std::declval<matrix&>()(0, 0)), double&>);
static_assert(std::is_same_v<decltype(std::declval<const matrix&>()(0, 0)), const double&>);

std::string text_of(const matrix& A) {
  std::ostringstream os;
  zelt::print_all_matrix(A, os);
  return os.str();
}

std::vector<double> one_to(unsigned n) {
  std::vector<double> v(n);
  for (unsigned k = 0; k < n; ++k) v[k] = k + 1.0;
  return v;
}

TEST(RowMatrix, ElementIJIsArrayElementITimesColumnsPlusJ) {
  for (unsigned m : {1u, 2u, 3u, 5u}) {
    for (unsigned n : {1u, 2u, 4u, 7u}) {
      std::vector<double> d = one_to(m * n);
      const matrix A(d.data(), m, n);
      ASSERT_EQ(A.nrows(), m);
      ASSERT_EQ(A.ncols(), n);
      for (unsigned i = 0; i < m; ++i)
        for (unsigned j = 0; j < n; ++j) ASSERT_EQ(&A(i, j), &d[i * n + j]) << m << "x" << n;
    }
  }
  std::vector<double> d = one_to(6);
  const matrix A(d.data(), 2, 3);
  EXPECT_EQ(A(1, 0), 4);
  EXPECT_EQ(A(0, 2), 3);
}

TEST(RowMatrix, LayersHoldTheShapeTheyWereBuiltWith) {
  double d[12] = {};
  const matrix A(d, 3, 4);
  EXPECT_EQ(A.indexer.extents.first(), 3u);
  EXPECT_EQ(A.indexer.extents.second(), 4u);
  EXPECT_EQ(A.twod.offset.extents.first(), 3u);
  EXPECT_EQ(A.twod.offset.extents.second(), 4u);
  EXPECT_EQ(A.twod.offset.ld, 4u);
  EXPECT_EQ(A.twod.ld, 4u);
  EXPECT_EQ(A.twod.starts.first, 0u);
  EXPECT_EQ(A.twod.starts.second, 0u);
  EXPECT_EQ(A.twod.elements.data_ptr, d);
  EXPECT_EQ(A.twod.elements.length, 12u);
  EXPECT_EQ(A.twod.elements.index_base, 0u);
  EXPECT_EQ(A.twod.rep, &A.twod.elements);
  EXPECT_EQ(A.twod.data(), d);
}

TEST(RowMatrix, ReadsTheArrayAtTheMomentOfAccess) {
  double d[4];
  matrix A(d, 2, 2);  // built before the array holds anything
  for (unsigned k = 0; k < 4; ++k) d[k] = 10.0 * k;
  EXPECT_EQ(A(1, 1), 30);
  d[1] = -1;
  EXPECT_EQ(A(0, 1), -1);
  A(1, 0) = 99;  // and writes reach the array
  EXPECT_EQ(d[2], 99);
  EXPECT_EQ(text_of(A), "2x2\n[\n[0,-1],\n[99,30]\n]\n");
}

TEST(RowMatrix, CopiesViewTheSameArrayAfterTheSourceIsGone) {
  std::vector<double> d = one_to(6);
  auto source = std::make_unique<matrix>(d.data(), 2, 3);
  const matrix copy(*source);
  double other[1] = {0};
  matrix assigned(other, 1, 1);
  assigned = *source;
  source.reset();  // a copy that still used the source's storage would now read freed memory
  for (const matrix* A : {&copy, static_cast<const matrix*>(&assigned)}) {
    EXPECT_EQ(A->twod.rep, &A->twod.elements);
    EXPECT_EQ(A->nrows(), 2u);
    EXPECT_EQ(A->ncols(), 3u);
    EXPECT_EQ((*A)(1, 2), 6);
    EXPECT_EQ(text_of(*A), "2x3\n[\n[1,2,3],\n[4,5,6]\n]\n");
  }
  d[0] = 42;
  EXPECT_EQ(copy(0, 0), 42);
  EXPECT_EQ(assigned(0, 0), 42);
}

TEST(External2D, CopiesRepointAtTheirOwnElements) {
  double d[4] = {1, 2, 3, 4};
  auto source = std::make_unique<storage>(d, zelt::dimension<unsigned, 0, 0>(2, 2));
  storage copy(*source);
  double e[1] = {};
  storage assigned(e, zelt::dimension<unsigned, 0, 0>(1, 1));
  assigned = *source;
  source.reset();
  EXPECT_EQ(copy.rep, &copy.elements);
  EXPECT_EQ(assigned.rep, &assigned.elements);
  EXPECT_EQ(copy(1, 0), 3);
  EXPECT_EQ(assigned(1, 1), 4);
  storage& self = assigned;
  assigned = self;  // self-assignment keeps it intact
  EXPECT_EQ(assigned.rep, &assigned.elements);
  EXPECT_EQ(assigned(0, 1), 2);
}

TEST(PrintAllMatrix, CommasOnlyBetweenElementsAndAfterAllButTheLastRow) {
  std::vector<double> d = one_to(16);
  EXPECT_EQ(text_of(matrix(d.data(), 4, 4)),
            "4x4\n[\n[1,2,3,4],\n[5,6,7,8],\n[9,10,11,12],\n[13,14,15,16]\n]\n");
  EXPECT_EQ(text_of(matrix(d.data(), 2, 3)), "2x3\n[\n[1,2,3],\n[4,5,6]\n]\n");
  double one = 2.5;
  EXPECT_EQ(text_of(matrix(&one, 1, 1)), "1x1\n[\n[2.5]\n]\n");
}

TEST(PrintAllMatrix, EmptyShapes) {
  EXPECT_EQ(text_of(matrix(nullptr, 0, 3)), "0x3\n[\n]\n");
  EXPECT_EQ(text_of(matrix(nullptr, 2, 0)), "2x0\n[\n[],\n[]\n]\n");
  EXPECT_EQ(text_of(matrix(nullptr, 0, 0)), "0x0\n[\n]\n");
}

TEST(PrintAllMatrix, HonoursPrecisionAndFlagsButNotWidth) {
  double d[2] = {1.0 / 3.0, 2};
  std::ostringstream os;
  os << std::setprecision(2) << std::fixed << std::setw(12);
  zelt::print_all_matrix(matrix(d, 2, 1), os);
  EXPECT_EQ(os.str(), "2x1\n[\n[0.33],\n[2.00]\n]\n");
}

TEST(StreamInsertion, WritesTheMatrixFormWithoutTheFinalEndOfLine) {
  std::vector<double> d = one_to(6);
  std::ostringstream os;
  os << matrix(d.data(), 2, 3) << "|" << matrix(nullptr, 0, 0);
  EXPECT_EQ(os.str(), "2x3\n[\n[1,2,3],\n[4,5,6]\n]|0x0\n[\n]");
}

TEST(PrintAllMatrix, EndsEveryLineWithAFlush) {
  double d[6] = {1, 2, 3, 4, 5, 6};
  zelt_test::flush_counter out;
  zelt::print_all_matrix(matrix(d, 2, 3), out.stream());
  EXPECT_EQ(out.text(), "2x3\n[\n[1,2,3],\n[4,5,6]\n]\n");
  EXPECT_EQ(out.flushes(), 5);  // one per line
  out.stream() << matrix(d, 2, 3);
  EXPECT_EQ(out.flushes(), 5);  // the stream form ends its lines without flushing
}

TEST(PrintAllMatrix, DefaultsToStandardOutput) {
  double d[2] = {0.1 + 0.2, 1e-5};
  testing::internal::CaptureStdout();
  zelt::print_all_matrix(matrix(d, 1, 2));
  EXPECT_EQ(testing::internal::GetCapturedStdout(), "1x2\n[\n[0.3,1e-05]\n]\n");
}

}  // namespace
