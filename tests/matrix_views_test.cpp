#include "zelt/matrix_views.hpp"

#include <gtest/gtest.h>

#include <cstddef>
#include <sstream>
#include <string>
#include <type_traits>
#include <vector>

namespace {

using rmat = zelt::row_major_matrix<double>;
using cmat = zelt::col_major_matrix<double>;
using vec = zelt::external_vec<double, 0, unsigned int>;
using svec = zelt::strided_vec<double, unsigned int>;

// The short names are the full generator forms.
static_assert(
    std::is_same_v<rmat, zelt::row_matrix<zelt::gen_external2D<double, zelt::gen_rect_offset<0, 0>, 0, 0>,
                                          zelt::gen_rect_indexer<zelt::row_orien, 0, 0, unsigned int>>>);
static_assert(
    std::is_same_v<cmat, zelt::col_matrix<zelt::gen_external2D<double, zelt::gen_rect_offset<0, 0>, 0, 0>,
                                          zelt::gen_rect_indexer<zelt::col_orien, 0, 0, unsigned int>>>);
static_assert(std::is_same_v<cmat::orientation, zelt::col_orien> &&
              std::is_same_v<rmat::orientation, zelt::row_orien>);
// Transposing swaps the orientation and transposing back restores the type.
static_assert(std::is_same_v<decltype(zelt::transposed(std::declval<rmat>())), cmat>);
static_assert(std::is_same_v<decltype(zelt::transposed(zelt::transposed(std::declval<cmat>()))), cmat>);
static_assert(std::is_same_v<decltype(zelt::sub_matrix(std::declval<cmat>(), 0, 0, 0, 0)), cmat>);
// Lines along storage are contiguous views, lines across it strided ones.
static_assert(std::is_same_v<decltype(zelt::row(std::declval<rmat>(), 0)), vec>);
static_assert(std::is_same_v<decltype(zelt::column(std::declval<rmat>(), 0)), svec>);
static_assert(std::is_same_v<decltype(zelt::row(std::declval<cmat>(), 0)), svec>);
static_assert(std::is_same_v<decltype(zelt::column(std::declval<cmat>(), 0)), vec>);
static_assert(std::is_same_v<decltype(zelt::diagonal(std::declval<cmat>())), svec>);
// Read-only views: writable ones convert to them, never the reverse.
static_assert(std::is_convertible_v<rmat, zelt::row_major_matrix<const double>>);
static_assert(!std::is_convertible_v<zelt::row_major_matrix<const double>, rmat>);
static_assert(std::is_convertible_v<cmat, zelt::col_major_matrix<const double>>);
static_assert(!std::is_convertible_v<rmat, cmat>);
static_assert(std::is_same_v<decltype(zelt::row(std::declval<zelt::col_major_matrix<const double>>(), 0)),
                             zelt::strided_vec<const double, unsigned int>>);

// Where element (i, j) of a matrix lies in its array, written out
// independently of the library: rows ld apart (row-major) or columns ld apart
// (column-major), starting at `base`.
struct layout {
  bool column_major;
  std::size_t ld;
  std::size_t base;
  std::size_t at(std::size_t i, std::size_t j) const {
    return base + (column_major ? j * ld + i : i * ld + j);
  }
};

template <class Matrix>
Matrix make(std::vector<double>& d, unsigned m, unsigned n, unsigned ld) {
  return Matrix(d.data(), m, n, ld);
}

// The whole grid of cases for one matrix type: shapes, packed and padded
// leading dimensions, every block position of a few block shapes, the
// transpose of each, the rows, columns and diagonal of each. Every address
// is compared with the independent formula above.
template <class Matrix>
void check_every_view(bool column_major) {
  for (unsigned m : {0u, 1u, 3u, 4u}) {
    for (unsigned n : {0u, 1u, 2u, 5u}) {
      const unsigned line = column_major ? m : n;
      for (unsigned pad : {0u, 3u}) {
        const unsigned ld = line + pad;
        std::vector<double> d(std::size_t{ld} * (column_major ? n : m) + 1);
        const auto A = make<Matrix>(d, m, n, ld);
        const layout L{column_major, ld, 0};
        SCOPED_TRACE(::testing::Message() << m << "x" << n << " ld " << ld);
        ASSERT_EQ(A.nrows(), m);
        ASSERT_EQ(A.ncols(), n);
        ASSERT_EQ(A.ld(), ld);
        ASSERT_EQ(A.data(), d.data());
        for (unsigned i = 0; i < m; ++i)
          for (unsigned j = 0; j < n; ++j) ASSERT_EQ(&A(i, j), &d[L.at(i, j)]);

        const auto T = zelt::transposed(A);
        ASSERT_EQ(T.nrows(), n);
        ASSERT_EQ(T.ncols(), m);
        ASSERT_EQ(T.ld(), ld);
        for (unsigned i = 0; i < n; ++i)
          for (unsigned j = 0; j < m; ++j) ASSERT_EQ(&T(i, j), &d[L.at(j, i)]);

        for (unsigned i = 0; i < m; ++i) {
          const auto r = zelt::row(A, i);
          ASSERT_EQ(r.size(), n);
          for (unsigned j = 0; j < n; ++j) ASSERT_EQ(&r[j], &d[L.at(i, j)]);
        }
        for (unsigned j = 0; j < n; ++j) {
          const auto c = zelt::column(A, j);
          ASSERT_EQ(c.size(), m);
          for (unsigned i = 0; i < m; ++i) ASSERT_EQ(&c[i], &d[L.at(i, j)]);
        }
        const auto diag = zelt::diagonal(A);
        ASSERT_EQ(diag.size(), m < n ? m : n);
        for (unsigned k = 0; k < diag.size(); ++k) ASSERT_EQ(&diag[k], &d[L.at(k, k)]);

        for (unsigned bm = 0; bm <= m; bm += 2) {
          for (unsigned bn = 0; bn <= n; bn += 2) {
            for (unsigned i0 = 0; i0 + bm <= m; ++i0) {
              for (unsigned j0 = 0; j0 + bn <= n; ++j0) {
                const Matrix B = zelt::sub_matrix(A, i0, j0, bm, bn);
                ASSERT_EQ(B.nrows(), bm);
                ASSERT_EQ(B.ncols(), bn);
                ASSERT_EQ(B.ld(), ld);
                const layout LB{column_major, ld, L.at(i0, j0)};
                const auto BT = zelt::transposed(B);
                for (unsigned i = 0; i < bm; ++i) {
                  for (unsigned j = 0; j < bn; ++j) {
                    ASSERT_EQ(&B(i, j), &d[LB.at(i, j)]) << "block at " << i0 << "," << j0;
                    ASSERT_EQ(&BT(j, i), &d[LB.at(i, j)]);
                  }
                }
                // a block of the transpose is the transpose of the block
                const auto TB = zelt::sub_matrix(T, j0, i0, bn, bm);
                for (unsigned i = 0; i < bn; ++i)
                  for (unsigned j = 0; j < bm; ++j) ASSERT_EQ(&TB(i, j), &BT(i, j));
              }
            }
          }
        }
      }
    }
  }
}

TEST(MatrixViews, RowMajorEveryViewAgreesWithTheLayoutFormula) { check_every_view<rmat>(false); }
TEST(MatrixViews, ColumnMajorEveryViewAgreesWithTheLayoutFormula) { check_every_view<cmat>(true); }

TEST(MatrixViews, TheThreeArgumentConstructorsArePacked) {
  std::vector<double> d(12);
  const cmat C(d.data(), 3, 4);
  EXPECT_EQ(C.ld(), 3u);
  EXPECT_EQ(&C(2, 3), &d[11]);
  EXPECT_EQ(&C(1, 0), &d[1]);
  const rmat R(d.data(), 3, 4);
  EXPECT_EQ(R.ld(), 4u);
  EXPECT_EQ(&R(1, 0), &d[4]);
  // the storage view spans exactly the elements the matrix can reach
  EXPECT_EQ(C.twod.elements.length, 12u);
  EXPECT_EQ(cmat(d.data(), 3, 3, 4).twod.elements.length, 11u);
  EXPECT_EQ(rmat(d.data(), 0, 3, 5).twod.elements.length, 0u);
  EXPECT_EQ(rmat(d.data(), 3, 0, 5).twod.elements.length, 10u);  // (major - 1) * ld + minor
  EXPECT_EQ(cmat(d.data(), 3, 4, 5).twod.elements.length, 18u);  // four columns of three, 5 apart
  EXPECT_EQ(C.indexer.extents.first(), 4u);                      // storage order: (columns, rows)
  EXPECT_EQ(C.indexer.extents.second(), 3u);
}

TEST(MatrixViews, ViewsOfViewsComposeLikeIndexArithmetic) {
  std::vector<double> d(80);  // 7 x 9, ld 8
  for (std::size_t k = 0; k < d.size(); ++k) d[k] = static_cast<double>(k);
  const cmat A(d.data(), 7, 9, 8);
  const cmat B = zelt::sub_matrix(zelt::sub_matrix(A, 1, 2, 5, 6), 2, 1, 3, 4);
  EXPECT_EQ(&B(0, 0), &A(3, 3));
  EXPECT_EQ(&B(2, 3), &A(5, 6));
  const rmat BT = zelt::transposed(B);
  EXPECT_EQ(&BT(3, 2), &A(5, 6));
  EXPECT_EQ(&zelt::row(BT, 1)[2], &A(5, 4));
  EXPECT_EQ(&zelt::column(zelt::transposed(BT), 2)[1], &A(4, 5));
  EXPECT_EQ(&zelt::diagonal(zelt::sub_matrix(A, 2, 0, 3, 3))[2], &A(4, 2));
  // twice transposed: A's own type, shape, leading dimension and data
  const cmat TT = zelt::transposed(zelt::transposed(A));
  EXPECT_EQ(TT.data(), A.data());
  EXPECT_EQ(TT.ld(), A.ld());
  EXPECT_EQ(TT.nrows(), A.nrows());
  EXPECT_EQ(TT.ncols(), A.ncols());
}

TEST(MatrixViews, WritesThroughAnyViewShowInEveryOther) {
  double d[6] = {1, 2, 3, 4, 5, 6};
  const cmat A(d, 2, 3);  // columns (1, 2), (3, 4), (5, 6)
  auto T = zelt::transposed(A);
  T(2, 1) = 60;  // A(1, 2)
  EXPECT_EQ(d[5], 60);
  zelt::row(A, 0)[1] = 30;  // A(0, 1): views of a const matrix still name its elements
  EXPECT_EQ(d[2], 30);
  zelt::column(T, 0)[2] = 50;  // T(2, 0) = A(0, 2)
  EXPECT_EQ(A(0, 2), 50);
  d[0] = 10;
  EXPECT_EQ(zelt::diagonal(A)[0], 10);
  // a matrix copied from a view stays valid after the view is gone
  rmat copy = [&] { return zelt::transposed(zelt::sub_matrix(A, 0, 1, 2, 2)); }();
  EXPECT_EQ(copy(1, 0), 50);
  EXPECT_EQ(copy.twod.rep, &copy.twod.elements);
}

TEST(MatrixViews, PrintsInTheMatrixAndVectorTextForms) {
  double d[8] = {1, 2, 3, 4, 5, 6, 7, 8};
  const cmat A(d, 2, 3, 3);  // columns (1, 2), (4, 5), (7, 8); 3, 6 are padding
  std::ostringstream os;
  zelt::print_all_matrix(A, os);
  EXPECT_EQ(os.str(), "2x3\n[\n[1,4,7],\n[2,5,8]\n]\n");
  std::ostringstream os2;
  os2 << zelt::transposed(A) << '|' << zelt::row(A, 1) << '|' << zelt::column(A, 2) << '|'
      << zelt::diagonal(A);
  EXPECT_EQ(os2.str(), "3x2\n[\n[1,2],\n[4,5],\n[7,8]\n]|[2,5,8,]|[7,8,]|[1,5,]");
  std::ostringstream os3;
  os3 << zelt::sub_matrix(A, 0, 1, 2, 0) << '|' << zelt::sub_matrix(A, 2, 0, 0, 3);
  EXPECT_EQ(os3.str(), "2x0\n[\n[],\n[]\n]|0x3\n[\n]");
}

TEST(MatrixViews, OffsetsOfLargeMatricesDoNotWrapInTheSizeType) {
  // Element (0, 2) of a column-major matrix whose columns are 2^31 apart lies
  // 2^32 elements in: beyond unsigned int, so the offset is computed wider.
  // (Only the offset is computed; no element is touched.)
  if constexpr (sizeof(std::size_t) > 4) {
    double d[1] = {};
    const cmat A(d, 1, 3, 1u << 31);
    EXPECT_EQ(zelt::detail::offset_of(A, 0, 2), std::size_t{1} << 32);
  }
}

TEST(MatrixViews, ReadOnlyConversionsKeepShapeLayoutAndData) {
  std::vector<double> d(20);
  const zelt::row_major_matrix<const double> R = rmat(d.data(), 2, 3, 5);
  EXPECT_EQ(R.nrows(), 2u);
  EXPECT_EQ(R.ncols(), 3u);
  EXPECT_EQ(R.ld(), 5u);
  EXPECT_EQ(&R(1, 2), &d[7]);
  const zelt::col_major_matrix<const double> C = cmat(d.data(), 2, 3, 4);
  EXPECT_EQ(C.nrows(), 2u);
  EXPECT_EQ(C.ncols(), 3u);
  EXPECT_EQ(C.ld(), 4u);
  EXPECT_EQ(&C(1, 2), &d[9]);
}

TEST(MatrixViews, ReadOnlyMatricesOverConstData) {
  const double d[4] = {1, 2, 3, 4};
  const zelt::row_major_matrix<const double> A(d, 2, 2);
  EXPECT_EQ(zelt::transposed(A)(0, 1), 3);
  EXPECT_EQ(zelt::column(A, 1)[1], 4);
  double w[4] = {1, 2, 3, 4};
  const zelt::col_major_matrix<const double> B = cmat(w, 2, 2);
  w[3] = 40;
  EXPECT_EQ(B(1, 1), 40);
}

}  // namespace
