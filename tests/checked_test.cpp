// Checked mode: every caller obligation becomes a one-line message on stderr
// and an abort. This file is built with ZELT_CHECKED defined.
#include <gtest/gtest.h>

#include "zelt/zelt.hpp"

#if !defined(ZELT_CHECKED)
#error "checked_test must be built with ZELT_CHECKED"
#endif

namespace {

using vec = zelt::external_vec<double, 0, unsigned int>;
using matrix = zelt::row_matrix<zelt::gen_external2D<double, zelt::gen_rect_offset<0, 0>, 0, 0>,
                                zelt::gen_rect_indexer<zelt::row_orien, 0, 0, unsigned int>>;

TEST(CheckedDeathTest, SubscriptOutsideTheView) {
  double a[4] = {1, 2, 3, 4};
  vec v(a, 4, 0);
  EXPECT_DEATH(v[7], "^zelt: external_vec::operator\\[\\]: index 7 outside \\[0, 4\\)\n$");
  vec based(a, 4, 10);
  EXPECT_DEATH(based[9], "index 9 outside \\[10, 14\\)");
  EXPECT_DEATH(based[14], "index 14 outside \\[10, 14\\)");
  const vec& cv = v;
  EXPECT_DEATH(cv[4], "index 4 outside \\[0, 4\\)");
  EXPECT_EQ(based[13], 4);  // inside: no effect
}

TEST(CheckedDeathTest, NullDataWithALength) {
  EXPECT_DEATH(vec(nullptr, 3, 0), "^zelt: external_vec: null data with length 3\n$");
  EXPECT_DEATH(zelt::__make_external<4>()(static_cast<double*>(nullptr)),
               "^zelt: external_vec: null data with length 4\n$");
  EXPECT_EQ(vec(nullptr, 0, 0).size(), 0u);  // an empty view may be null
}

TEST(CheckedDeathTest, IteratorOutsideItsView) {
  double a[3] = {1, 2, 3};
  vec v(a, 3, 0);
  EXPECT_DEATH(*v.end(), "^zelt: dense_iterator::operator\\*: position 3 outside \\[0, 3\\)\n$");
  EXPECT_DEATH(v.begin()[5], "position 5 outside \\[0, 3\\)");
  EXPECT_DEATH(*(v.begin() - 1), "position 4294967295 outside \\[0, 3\\)");
  const vec& cv = v;
  zelt::dense_iterator<const double*, 0, unsigned int> it = v.end();  // the bound survives conversion
  EXPECT_DEATH(*it, "position 3 outside \\[0, 3\\)");
  EXPECT_DEATH(*cv.end(), "position 3 outside \\[0, 3\\)");
  EXPECT_EQ(*(v.end() - 1), 3);
}

TEST(CheckedDeathTest, ApplyWithAShorterSecondVector) {
  double x[5] = {}, y[3] = {};
  const zelt::givens_rotation<double> g(3, 4);
  EXPECT_DEATH(g.apply(vec(x, 5, 0), vec(y, 3, 0)),
               "^zelt: givens_rotation::apply: second vector has 3 elements, fewer than the first's 5\n$");
  g.apply(vec(y, 3, 0), vec(x, 5, 0));  // a longer second vector is fine
}

TEST(CheckedDeathTest, MatrixElementOutsideTheShape) {
  double d[6] = {};
  matrix A(d, 2, 3);
  EXPECT_DEATH(A(2, 0), "^zelt: matrix::operator\\(\\): element \\(2, 0\\) outside 2x3\n$");
  EXPECT_DEATH(A(0, 3), "element \\(0, 3\\) outside 2x3");
  const matrix& cA = A;
  EXPECT_DEATH(cA(5, 5), "element \\(5, 5\\) outside 2x3");
  EXPECT_EQ(cA(1, 2), 0);
}

}  // namespace
