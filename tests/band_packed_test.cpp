// Band and packed views: each element sits where the BLAS layout puts it,
// transposed() is the same storage read the other way, the read-only
// conversions keep the shape, and the printer shows the whole matrix.
#include <gtest/gtest.h>

#include <cstddef>
#include <numeric>
#include <sstream>
#include <vector>

#include "zelt/band.hpp"
#include "zelt/packed.hpp"

namespace {

using std::size_t;

std::vector<double> iota(size_t n) {
  std::vector<double> v(n);
  std::iota(v.begin(), v.end(), 1.0);
  return v;
}

// Every element of A against the offset the BLAS layout gives it, written
// out independently of the view: `offset(i, j)` for stored elements, and
// stored exactly where `stored(i, j)` says.
template <class View, class Stored, class Offset>
void expect_layout(const View& A, const double* d, Stored stored, Offset offset) {
  for (size_t i = 0; i < A.nrows(); ++i) {
    for (size_t j = 0; j < A.ncols(); ++j) {
      if (stored(i, j)) {
        EXPECT_EQ(&A(i, j), d + offset(i, j)) << i << "," << j;
        EXPECT_EQ(A.value(i, j), d[offset(i, j)]);
      } else {
        EXPECT_EQ(A.value(i, j), 0.0) << i << "," << j;
      }
    }
  }
}

TEST(BandMatrix, ElementsSitWhereTheBandLayoutPutsThem) {
  const size_t m = 6, n = 5, kl = 2, ku = 1, ld = 5;  // one line of padding
  std::vector<double> d = iota(ld * m);               // m lines when stored by rows
  const zelt::col_major_band<double> A(d.data(), m, n, kl, ku, ld);
  auto in_band = [&](size_t i, size_t j) { return i <= j + kl && j <= i + ku; };
  expect_layout(A, d.data(), in_band, [&](size_t i, size_t j) { return ku + i - j + j * ld; });
  for (size_t i = 0; i < m; ++i)
    for (size_t j = 0; j < n; ++j) EXPECT_EQ(A.in_band(i, j), in_band(i, j));
  EXPECT_FALSE(A.in_band(m, 0));
  EXPECT_FALSE(A.in_band(0, n));

  // the row-stored band: row i's band on line i
  const zelt::row_major_band<double> R(d.data(), m, n, kl, ku, ld);
  expect_layout(R, d.data(), in_band, [&](size_t i, size_t j) { return kl + j - i + i * ld; });
  EXPECT_EQ(R.ld(), ld);
  EXPECT_EQ(R.lower_bandwidth(), kl);
  EXPECT_EQ(R.upper_bandwidth(), ku);
}

TEST(BandMatrix, TransposedIsTheSameStorageReadTheOtherWay) {
  std::vector<double> d = iota(28);  // 7 lines of 4
  const zelt::col_major_band<double> A(d.data(), 5, 7, 1, 2, 4);
  const zelt::row_major_band<double> T = zelt::transposed(A);
  ASSERT_EQ(T.nrows(), 7u);
  ASSERT_EQ(T.ncols(), 5u);
  EXPECT_EQ(T.lower_bandwidth(), 2u);
  EXPECT_EQ(T.upper_bandwidth(), 1u);
  for (size_t i = 0; i < 5; ++i)
    for (size_t j = 0; j < 7; ++j) {
      EXPECT_EQ(T.in_band(j, i), A.in_band(i, j));
      if (A.in_band(i, j)) {
        EXPECT_EQ(&T(j, i), &A(i, j));
      }
    }
  const zelt::col_major_band<double> back = zelt::transposed(T);
  EXPECT_EQ(&back(3, 4), &A(3, 4));

  // read-only views keep shape, bandwidths and leading dimension
  const zelt::col_major_band<const double> C = A;
  EXPECT_EQ(C.nrows(), 5u);
  EXPECT_EQ(C.ncols(), 7u);
  EXPECT_EQ(C.lower_bandwidth(), 1u);
  EXPECT_EQ(C.upper_bandwidth(), 2u);
  EXPECT_EQ(C.ld(), 4u);
  EXPECT_EQ(&C(2, 3), &A(2, 3));
}

TEST(TriangleBand, IsTheBandWithoutTheOtherTriangle) {
  const size_t n = 5, k = 2, ld = 3;
  std::vector<double> d = iota(ld * n);
  const zelt::triangle_band<double, zelt::upper_t> U(d.data(), n, k);
  expect_layout(
      U, d.data(), [&](size_t i, size_t j) { return i <= j && j <= i + k; },
      [&](size_t i, size_t j) { return k + i - j + j * ld; });
  EXPECT_EQ(U.bandwidth(), k);
  EXPECT_EQ(U.ld(), ld);
  const zelt::triangle_band<double, zelt::lower_t> L(d.data(), n, k);
  expect_layout(
      L, d.data(), [&](size_t i, size_t j) { return j <= i && i <= j + k; },
      [&](size_t i, size_t j) { return i - j + j * ld; });

  // the transpose: the other triangle, stored by rows
  const zelt::triangle_band<double, zelt::lower_t, zelt::row_orien> T = zelt::transposed(U);
  EXPECT_EQ(T.bandwidth(), k);
  for (size_t i = 0; i < n; ++i)
    for (size_t j = 0; j < n; ++j)
      if (U.in_band(i, j)) {
        EXPECT_EQ(&T(j, i), &U(i, j));
      }
  const zelt::triangle_band<const double, zelt::upper_t> C = U;
  EXPECT_EQ(C.bandwidth(), k);
  EXPECT_EQ(C.ld(), ld);
  EXPECT_EQ(&C(1, 3), &U(1, 3));

  // lines with padding between them: the conversion and the transpose keep
  // the bandwidth apart from the leading dimension
  const zelt::triangle_band<double, zelt::lower_t> P(d.data(), 4, 1, ld);
  const zelt::triangle_band<const double, zelt::lower_t> PC = P;
  EXPECT_EQ(PC.bandwidth(), 1u);
  EXPECT_EQ(PC.ld(), ld);
  EXPECT_FALSE(PC.in_band(3, 1));
  EXPECT_EQ(&PC(3, 2), &P(3, 2));
  const zelt::triangle_band<double, zelt::upper_t, zelt::row_orien> PT = zelt::transposed(P);
  EXPECT_EQ(PT.bandwidth(), 1u);
  EXPECT_EQ(PT.ld(), ld);
  EXPECT_FALSE(PT.in_band(1, 3));
  EXPECT_EQ(&PT(2, 3), &P(3, 2));
}

TEST(PackedMatrix, ColumnsFollowEachOtherWithNothingBetween) {
  const size_t n = 5;
  std::vector<double> d = iota(n * (n + 1) / 2);
  const zelt::col_major_packed<double, zelt::upper_t> U(d.data(), n);
  const zelt::col_major_packed<double, zelt::lower_t> L(d.data(), n);
  // columns counted out one after the other
  std::vector<size_t> upper_start(n), lower_start(n);
  for (size_t j = 0, u = 0, l = 0; j < n; ++j) {
    upper_start[j] = u;
    lower_start[j] = l;
    u += j + 1;
    l += n - j;
  }
  auto upper = [](size_t i, size_t j) { return i <= j; };
  auto lower = [](size_t i, size_t j) { return j <= i; };
  expect_layout(U, d.data(), upper, [&](size_t i, size_t j) { return upper_start[j] + i; });
  expect_layout(L, d.data(), lower, [&](size_t i, size_t j) { return lower_start[j] + i - j; });
  EXPECT_EQ(U.size(), 15u);
  EXPECT_EQ(&U(4, 4), d.data() + 14);
  EXPECT_EQ(&L(4, 4), d.data() + 14);

  // stored by rows: the upper triangle's rows are the lower's columns of the transpose
  const zelt::row_major_packed<double, zelt::upper_t> RU(d.data(), n);
  const zelt::row_major_packed<double, zelt::lower_t> RL(d.data(), n);
  expect_layout(RU, d.data(), upper, [&](size_t i, size_t j) { return lower_start[i] + j - i; });
  expect_layout(RL, d.data(), lower, [&](size_t i, size_t j) { return upper_start[i] + j; });

  const zelt::row_major_packed<double, zelt::lower_t> T = zelt::transposed(U);
  const zelt::col_major_packed<double, zelt::upper_t> back = zelt::transposed(T);
  for (size_t i = 0; i < n; ++i)
    for (size_t j = i; j < n; ++j) {
      EXPECT_EQ(&T(j, i), &U(i, j));
      EXPECT_EQ(&back(i, j), &U(i, j));
    }
  const zelt::col_major_packed<const double, zelt::lower_t> C = L;
  EXPECT_EQ(C.nrows(), n);
  EXPECT_EQ(&C(3, 1), &L(3, 1));
}

TEST(BandAndPacked, PrintEveryElementWithZerosOutsideTheStorage) {
  std::vector<double> d = iota(12);
  std::ostringstream band;
  band << zelt::col_major_band<double>(d.data(), 3, 4, 1, 1);  // lines of 3
  EXPECT_EQ(band.str(), "3x4\n[\n[2,4,0,0],\n[3,5,7,0],\n[0,6,8,10]\n]");

  std::ostringstream packed;
  packed << zelt::col_major_packed<double, zelt::lower_t>(d.data(), 3) << ' '
         << zelt::triangle_band<double, zelt::upper_t>(d.data(), 3, 1);
  EXPECT_EQ(packed.str(), "3x3\n[\n[1,0,0],\n[2,4,0],\n[3,5,6]\n] 3x3\n[\n[2,3,0],\n[0,4,5],\n[0,0,6]\n]");

  std::ostringstream empty;
  empty << zelt::col_major_packed<double, zelt::upper_t>(nullptr, 0);
  EXPECT_EQ(empty.str(), "0x0\n[\n]");
}

}  // namespace
