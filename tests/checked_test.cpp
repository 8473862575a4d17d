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
  double z[5] = {1, 2, 3, 4, 5};
  g.apply(vec(x, 5, 0), vec(z, 5, 0));  // and so is an equally long one, the usual case
  EXPECT_NE(z[0], 1);
  g.apply(vec(x, 0, 0), vec(nullptr, 0, 0));
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

using svec = zelt::strided_vec<double, unsigned int>;
using cmat = zelt::col_major_matrix<double>;
using rmat = zelt::row_major_matrix<double>;

TEST(CheckedDeathTest, StridedVecOutsideItsView) {
  double a[6] = {1, 2, 3, 4, 5, 6};
  svec v(a + 5, 3, -2);
  EXPECT_DEATH(v[3], "^zelt: strided_vec::operator\\[\\]: index 3 outside \\[0, 3\\)\n$");
  const svec& cv = v;
  EXPECT_DEATH(cv[7], "index 7 outside \\[0, 3\\)");
  EXPECT_DEATH(*v.end(), "^zelt: strided_iterator::operator\\*: position 3 outside \\[0, 3\\)\n$");
  EXPECT_DEATH(v.begin()[-1], "position 4294967295 outside \\[0, 3\\)");
  zelt::strided_iterator<const double*, unsigned int> it = v.end();  // the bound survives conversion
  EXPECT_DEATH(*it, "position 3 outside \\[0, 3\\)");
  EXPECT_DEATH(svec(nullptr, 2, 1), "^zelt: strided_vec: null data with length 2\n$");
  EXPECT_EQ(v[2], 2);  // inside: no effect
  EXPECT_EQ(*(v.end() - 1), 2);
  EXPECT_EQ(svec(nullptr, 0, 5).size(), 0u);
}

TEST(CheckedDeathTest, LeadingDimensionShorterThanAMajorLine) {
  double d[12] = {};
  EXPECT_DEATH(rmat(d, 3, 4, 3), "^zelt: row_matrix: leading dimension 3 shorter than a row of 4\n$");
  EXPECT_DEATH(cmat(d, 3, 4, 2), "^zelt: col_matrix: leading dimension 2 shorter than a column of 3\n$");
  EXPECT_EQ(cmat(d, 3, 4, 3).ld(), 3u);  // exactly a line: packed
  EXPECT_EQ(rmat(d, 2, 4, 6).ld(), 6u);
  EXPECT_EQ(cmat(d, 0, 4, 0).ncols(), 4u);
}

TEST(CheckedDeathTest, ElementOutsideAPaddedOrTransposedMatrix) {
  double d[12] = {};
  const cmat A(d, 3, 2, 4);
  EXPECT_DEATH(A(3, 0), "^zelt: matrix::operator\\(\\): element \\(3, 0\\) outside 3x2\n$");  // padding
  EXPECT_DEATH(zelt::transposed(A)(0, 3), "element \\(0, 3\\) outside 2x3");
  EXPECT_EQ(zelt::transposed(A)(1, 2), 0);
}

TEST(CheckedDeathTest, LineOrBlockOutsideTheMatrix) {
  double d[12] = {};
  const rmat A(d, 3, 4);
  EXPECT_DEATH(zelt::row(A, 3), "^zelt: row: row 3 outside 3x4\n$");
  EXPECT_DEATH(zelt::column(A, 4), "^zelt: column: column 4 outside 3x4\n$");
  EXPECT_DEATH(zelt::column(cmat(d, 3, 4), 7), "column 7 outside 3x4");
  EXPECT_DEATH(zelt::sub_matrix(A, 2, 0, 2, 1), "^zelt: sub_matrix: block 2x1 at \\(2, 0\\) outside 3x4\n$");
  EXPECT_DEATH(zelt::sub_matrix(A, 0, 1, 1, 4), "block 1x4 at \\(0, 1\\) outside 3x4");
  EXPECT_DEATH(zelt::sub_matrix(A, 0, 0, 4, 0), "block 4x0 at \\(0, 0\\) outside 3x4");
  EXPECT_DEATH(zelt::sub_matrix(A, 4294967295u, 0, 2, 0), "block 2x0 at \\(4294967295, 0\\)");  // no wrap
  EXPECT_DEATH(zelt::sub_matrix(A, 1, 1, 2, 2)(2, 0), "element \\(2, 0\\) outside 2x2");
  // the edges are inside
  EXPECT_EQ(zelt::row(A, 2).size(), 4u);
  EXPECT_EQ(zelt::column(A, 3).size(), 3u);
  EXPECT_EQ(zelt::sub_matrix(A, 3, 4, 0, 0).nrows(), 0u);
  EXPECT_EQ(zelt::sub_matrix(A, 0, 0, 3, 4).ncols(), 4u);
  EXPECT_EQ(zelt::diagonal(zelt::sub_matrix(A, 3, 0, 0, 4)).size(), 0u);
  // an empty matrix still has an address
  EXPECT_EQ(zelt::sub_matrix(A, 1, 2, 0, 0).data(), &d[6]);
  EXPECT_EQ(rmat(d, 0, 0).data(), d);
}

TEST(CheckedDeathTest, BandAndPackedElementsOutsideTheirStorage) {
  double d[24] = {};
  const zelt::col_major_band<double> A(d, 4, 5, 1, 2);
  EXPECT_DEATH(A(3, 0), "^zelt: band_matrix: element \\(3, 0\\) outside the 4x5 band \\(kl 1, ku 2\\)\n$");
  EXPECT_DEATH(A(0, 3), "element \\(0, 3\\) outside");
  EXPECT_DEATH(A(4, 4), "element \\(4, 4\\) outside");  // below the last row
  EXPECT_DEATH(zelt::transposed(A)(0, 3), "element \\(0, 3\\) outside the 5x4 band \\(kl 2, ku 1\\)");
  EXPECT_DEATH(zelt::col_major_band<double>(d, 4, 5, 1, 2, 3),
               "^zelt: band_matrix: leading dimension 3 shorter than the band of 4\n$");
  EXPECT_EQ(&A(1, 0), &d[3]);  // the edges of the band are inside
  EXPECT_EQ(&A(0, 2), &d[8]);
  EXPECT_EQ(A.value(3, 0), 0.0);  // value() reads anywhere in the matrix

  const zelt::triangle_band<double, zelt::lower_t> L(d, 4, 2);
  EXPECT_DEATH(L(0, 1), "outside the 4x4 band \\(kl 2, ku 0\\)");
  const zelt::col_major_packed<double, zelt::upper_t> P(d, 4);
  EXPECT_DEATH(P(1, 0), "^zelt: packed_matrix: element \\(1, 0\\) outside the stored triangle of 4x4\n$");
  EXPECT_DEATH(P(0, 4), "element \\(0, 4\\) outside");
  EXPECT_DEATH(zelt::transposed(P)(0, 1), "element \\(0, 1\\) outside");
  EXPECT_EQ(&P(0, 3), &d[6]);
}

TEST(CheckedDeathTest, BandAndPackedOperationsWithVectorsOfTheWrongLength) {
  double a[30] = {}, x[6] = {}, y[6] = {};
  const zelt::col_major_band<const double> A(a, 4, 5, 1, 1);
  EXPECT_DEATH(zelt::gbmv(1.0, A, vec(x, 4, 0), 0.0, vec(y, 4, 0)),
               "^zelt: gbmv: x has 4 elements, A has 5 columns\n$");
  EXPECT_DEATH(zelt::gbmv(1.0, zelt::transposed(A), vec(x, 4, 0), 0.0, vec(y, 4, 0)),
               "^zelt: gbmv: y has 4 elements, A has 5 rows\n$");
  const zelt::col_major_packed<double, zelt::lower_t> P(a, 5);
  EXPECT_DEATH(zelt::spr2(1.0, vec(x, 5, 0), vec(y, 6, 0), P),
               "^zelt: spr2: y has 6 elements, A has 5 columns\n$");
  EXPECT_DEATH(zelt::tpsv(zelt::unit_diagonal, P, vec(x, 4, 0)), "^zelt: tpsv: x has 4 elements");
  EXPECT_DEATH(zelt::tbmv(zelt::unit_diagonal, zelt::triangle_band<const double, zelt::upper_t>(a, 5, 2),
                          vec(x, 6, 0)),
               "^zelt: tbmv: x has 6 elements, A has 5 columns\n$");
}

}  // namespace
