#include "zelt/givens.hpp"

#include <gtest/gtest.h>

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <limits>
#include <random>
#include <vector>

#include "bits.hpp"
#include "givens_oracle.hpp"
#include "zelt/strided.hpp"

namespace {

using zelt_test::same_bits;
using rotation = zelt::givens_rotation<double>;
using vec = zelt::external_vec<double, 0, unsigned int>;
constexpr double inf = std::numeric_limits<double>::infinity();
constexpr double nan = std::numeric_limits<double>::quiet_NaN();
constexpr double eps = std::numeric_limits<double>::epsilon();

static_assert(sizeof(rotation) == 4 * sizeof(double));

struct row {
  double a_in, b_in, r, z, c, s;
};

// Each construction with the exact bits that one rounding per operation
// gives; the decimal comments show them to six digits.
const row table[] = {
    // 32.3883, 6.47765, 0.154377, 0.988012
    {5, 32, 0x1.031b2d07a54bep+5, 0x1.9e91e1a5d5463p+2, 0x1.3c29f22044efep-3, 0x1.f9dcb69a07e63p-1},
    // r is 4.999999999999999 and c 0.6000000000000001, not round numbers
    {3, 4, 0x1.3ffffffffffffp+2, 0x1.aaaaaaaaaaaaap+0, 0x1.3333333333334p-1, 0x1.999999999999bp-1},
    {4, 3, 0x1.3ffffffffffffp+2, 0x1.3333333333334p-1, 0x1.999999999999bp-1, 0x1.3333333333334p-1},
    {3, -4, -0x1.3ffffffffffffp+2, -0x1.aaaaaaaaaaaaap+0, -0x1.3333333333334p-1, 0x1.999999999999bp-1},
    {-4, 3, -0x1.3ffffffffffffp+2, -0x1.3333333333334p-1, 0x1.999999999999bp-1, -0x1.3333333333334p-1},
    // ties take the sign of the second argument
    {1, -1, -0x1.6a09e667f3bcdp+0, -0x1.6a09e667f3bcdp+0, -0x1.6a09e667f3bccp-1, 0x1.6a09e667f3bccp-1},
    {-1, 1, 0x1.6a09e667f3bcdp+0, -0x1.6a09e667f3bcdp+0, -0x1.6a09e667f3bccp-1, 0x1.6a09e667f3bccp-1},
    {0, 5, 5, 1, 0, 1},
    {0, -5, -5, 1, -0.0, 1},
    {5, 0, 5, 0, 1, 0},
    {-5, 0, -5, -0.0, 1, -0.0},
    {0, 0, 0, 0, 1, 0},
    {-0.0, 0, 0, 0, 1, 0},
    {0, -0.0, 0, 0, 1, 0},
    // scaling keeps far-out magnitudes exact
    {1e300, 1e300, 0x1.0e4d50f99b211p+997, 0x1.6a09e667f3bcdp+0, 0x1.6a09e667f3bccp-1, 0x1.6a09e667f3bccp-1},
    {1e-300, 1e-300, 0x1.e4e8d12762226p-997, 0x1.6a09e667f3bcdp+0, 0x1.6a09e667f3bccp-1,
     0x1.6a09e667f3bccp-1},
    {1e-300, 1e300, 1e300, 1, 0, 1},
    {1e-310, 0, 1e-310, 0, 1, 0},
};

TEST(GivensConstruction, MatchesTheTableBitForBit) {
  for (const row& t : table) {
    SCOPED_TRACE(testing::Message() << "a_in=" << t.a_in << " b_in=" << t.b_in);
    const rotation g(t.a_in, t.b_in);
    EXPECT_TRUE(same_bits(g.r(), t.r));
    EXPECT_TRUE(same_bits(g.z(), t.z));
    EXPECT_TRUE(same_bits(g.cosine(), t.c));
    EXPECT_TRUE(same_bits(g.sine(), t.s));
  }
}

TEST(GivensConstruction, NaNArgumentGivesNaNAndZOne) {
  for (const rotation& g : {rotation(nan, 1), rotation(1, nan), rotation(nan, nan), rotation(nan, inf)}) {
    EXPECT_TRUE(std::isnan(g.r()));
    EXPECT_TRUE(std::isnan(g.cosine()));
    EXPECT_TRUE(std::isnan(g.sine()));
    EXPECT_TRUE(same_bits(g.z(), 1.0));
  }
}

TEST(GivensConstruction, InfiniteArgumentGivesNaNEverywhere) {
  for (const rotation& g : {rotation(inf, 1), rotation(1, -inf), rotation(-inf, inf), rotation(inf, 1e308)}) {
    EXPECT_TRUE(std::isnan(g.r()));
    EXPECT_TRUE(std::isnan(g.z()));
    EXPECT_TRUE(std::isnan(g.cosine()));
    EXPECT_TRUE(std::isnan(g.sine()));
  }
}

// Two finite arguments whose magnitudes sum past the largest double, or whose
// r falls into the subnormals, are scaled by the larger magnitude instead.
TEST(GivensConstruction, OverflowingSumStillGivesTheRotation) {
  const double half_sqrt2 = 0x1.6a09e667f3bccp-1;  // 0.7071067811865475
  const rotation g(1e308, 1e308);
  EXPECT_TRUE(same_bits(g.cosine(), half_sqrt2));
  EXPECT_TRUE(same_bits(g.sine(), half_sqrt2));
  EXPECT_TRUE(same_bits(g.r(), 0x1.92c80954c51f5p+1023));  // 1.41421e308
  EXPECT_TRUE(same_bits(g.z(), 0x1.6a09e667f3bcdp+0));

  const rotation h(1.7e308, 1.7e308);  // r itself overflows; c and s are right
  EXPECT_TRUE(same_bits(h.r(), inf));
  EXPECT_TRUE(same_bits(h.cosine(), half_sqrt2));
  EXPECT_TRUE(same_bits(h.sine(), half_sqrt2));

  const rotation k(-1.5e308, 1e308);  // |a| dominates and is negative
  EXPECT_TRUE(same_bits(k.r(), -inf));
  EXPECT_TRUE(same_bits(k.cosine(), 0x1.aa027f059dce1p-1));
  EXPECT_TRUE(same_bits(k.sine(), -0x1.1c01aa03be895p-1));
  EXPECT_TRUE(same_bits(k.z(), k.sine()));
}

TEST(GivensConstruction, SubnormalLengthStillGivesTheRotation) {
  const double tiny = std::numeric_limits<double>::denorm_min();
  const rotation g(tiny, tiny);
  EXPECT_TRUE(same_bits(g.cosine(), 0x1.6a09e667f3bccp-1));
  EXPECT_TRUE(same_bits(g.sine(), 0x1.6a09e667f3bccp-1));
  EXPECT_TRUE(same_bits(g.r(), tiny));

  const rotation h(2e-320, -3e-320);
  EXPECT_TRUE(same_bits(h.cosine(), -0x1.1c01aa03be895p-1));
  EXPECT_TRUE(same_bits(h.sine(), 0x1.aa027f059dce1p-1));
  EXPECT_LT(h.r(), 0);
}

TEST(GivensConstruction, ALengthOfExactlyTheSmallestNormalIsNotRescued) {
  // r comes out as exactly 2^-1022, which is normal: c and s are a / r and
  // b / r. Rescaling by the larger magnitude would give each one ulp lower.
  const rotation g(0x0.390736e1b93p-1022, 0x0.f99133eb38c4bp-1022);
  EXPECT_TRUE(same_bits(g.r(), 0x1p-1022));
  EXPECT_TRUE(same_bits(g.cosine(), 0x1.c839b70dc98p-3));
  EXPECT_TRUE(same_bits(g.sine(), 0x1.f32267d671896p-1));
}

// Magnitudes spread over the whole exponent range, both signs.
double random_double(std::mt19937_64& gen) {
  std::uniform_real_distribution<double> mantissa(1, 2);
  std::uniform_int_distribution<int> exponent(-1074, 1023);
  const double m = std::ldexp(mantissa(gen), exponent(gen));
  return gen() & 1 ? -m : m;
}

bool is_normal_rotation_input(double a, double b) {
  const double big = std::fmax(std::fabs(a), std::fabs(b));
  return big >= 0x1p-900 && big <= 0x1p+900;
}

TEST(GivensConstruction, IsARotationThatZeroesTheSecondArgument) {
  std::mt19937_64 gen(20261208);
  int checked = 0;
  for (int i = 0; i < 20000; ++i) {
    const double a = random_double(gen);
    const double b = random_double(gen);
    if (!is_normal_rotation_input(a, b)) continue;
    ++checked;
    SCOPED_TRACE(testing::Message() << zelt_test::hex(a) << ", " << zelt_test::hex(b));
    const rotation g(a, b);
    const double c = g.cosine(), s = g.sine(), r = g.r();
    ASSERT_NEAR(c * c + s * s, 1.0, 4 * eps);
    // r carries the sign of the argument of larger magnitude (b's on a tie)
    const double dominant = std::fabs(a) > std::fabs(b) ? a : b;
    ASSERT_EQ(std::signbit(r), std::signbit(dominant));
    // |r| = hypot(a, b) within a few ulps
    ASSERT_NEAR(std::fabs(r) / std::hypot(a, b), 1.0, 4 * eps);
    double x = a, y = b;
    g.scalar_apply(x, y);
    ASSERT_NEAR(x / r, 1.0, 4 * eps);
    ASSERT_LE(std::fabs(y), 4 * eps * std::fabs(r));
  }
  EXPECT_GT(checked, 1000);
}

TEST(GivensConstruction, AgreesWithOneRoundingPerOperationEverywhere) {
  std::mt19937_64 gen(7);
  for (int i = 0; i < 20000; ++i) {
    const double a = random_double(gen);
    const double b = i % 3 == 0 ? a * 0.75 : random_double(gen);  // some near ties
    const rotation g(a, b);
    const zelt_test::rotation_values want = zelt_test::oracle_rotation(a, b);
    ASSERT_TRUE(same_bits(g.r(), want.r)) << zelt_test::hex(a) << ", " << zelt_test::hex(b);
    ASSERT_TRUE(same_bits(g.z(), want.z)) << zelt_test::hex(a) << ", " << zelt_test::hex(b);
    ASSERT_TRUE(same_bits(g.cosine(), want.c)) << zelt_test::hex(a) << ", " << zelt_test::hex(b);
    ASSERT_TRUE(same_bits(g.sine(), want.s)) << zelt_test::hex(a) << ", " << zelt_test::hex(b);
  }
}

TEST(GivensScalarApply, ZeroesTheLastPairOfTheDemo) {
  const rotation g(5, 32);
  double x = 5, y = 32;
  g.scalar_apply(x, y);
  EXPECT_NEAR(x / g.r(), 1.0, 2 * eps);
  EXPECT_TRUE(same_bits(y, 0.0));
}

TEST(GivensScalarApply, BothFromTheValuesOnEntryEvenWhenAliased) {
  const rotation g(3, 4);  // c = 0.6000000000000001, s = 0.8000000000000002
  double v = 2;
  g.scalar_apply(v, v);  // y is stored first, then x = c v + s v
  double want = 2, other = 2;
  zelt_test::oracle_rotate(g.cosine(), g.sine(), want, other);
  EXPECT_TRUE(same_bits(v, want));
  double x = 1, y = 0;
  g.scalar_apply(x, y);
  EXPECT_TRUE(same_bits(x, g.cosine()));
  EXPECT_TRUE(same_bits(y, -g.sine()));
}

TEST(GivensApply, RotatesEveryPairOfTheFirstVectorsLength) {
  double x[3] = {1, 2, 3};
  double y[5] = {4, 5, 6, 7, 8};
  const rotation g(3, 4);
  const vec X(x, 3, 0), Y(y, 5, 0);  // const views: the elements still change
  g.apply(X, Y);
  for (int k = 0; k < 3; ++k) {
    double ex = k + 1.0, ey = k + 4.0;
    zelt_test::oracle_rotate(g.cosine(), g.sine(), ex, ey);
    EXPECT_TRUE(same_bits(x[k], ex));
    EXPECT_TRUE(same_bits(y[k], ey));
  }
  EXPECT_EQ(y[3], 7);  // beyond the first vector's length: untouched
  EXPECT_EQ(y[4], 8);
}

TEST(GivensApply, EmptyFirstVectorChangesNothing) {
  double y[2] = {1, 2};
  const rotation g(1, 1);
  g.apply(vec(nullptr, 0, 0), vec(y, 2, 0));
  EXPECT_EQ(y[0], 1);
  EXPECT_EQ(y[1], 2);
}

#if !defined(ZELT_CHECKED)  // checked builds compare the two lengths
TEST(GivensApply, NeverReadsTheSecondVectorsLength) {
  double x[2] = {1, 2}, y[2] = {3, 4};
  const rotation g(5, 32);
  g.apply(vec(x, 2, 0), vec(y, 0, 0));  // the declared length 0 is not consulted
  EXPECT_NE(y[0], 3);
  EXPECT_NE(y[1], 4);
}
#endif

TEST(GivensApply, SameRotationTwiceRotatesTwice) {
  double x[1] = {1}, y[1] = {0};
  const rotation g(1, 1);  // 45 degrees, negative sense for the second row
  const vec X(x, 1, 0), Y(y, 1, 0);
  g.apply(X, Y);
  g.apply(X, Y);
  EXPECT_NEAR(x[0], 0, 4 * eps);
  EXPECT_NEAR(y[0], -1, 4 * eps);
  EXPECT_TRUE(same_bits(g.cosine(), 0x1.6a09e667f3bccp-1));  // the rotation itself is unchanged
}

TEST(GivensApply, WorksOnStaticLengthViews) {
  double x[4] = {1, 2, 3, 4}, y[4] = {4, 3, 2, 1};
  const rotation g(0, 1);  // c = 0, s = 1: (x, y) -> (y, -x)
  g.apply(zelt::__make_external<4>()(x), zelt::__make_external<4>()(y));
  EXPECT_EQ(x[0], 4);
  EXPECT_EQ(x[3], 1);
  EXPECT_EQ(y[0], -1);
  EXPECT_EQ(y[3], -4);
}

TEST(GivensApply, OverStridedViewsRotatesTheSamePairsToTheSameBits) {
  using svec = zelt::strided_vec<double, unsigned int>;
  std::mt19937_64 gen(7);
  std::uniform_real_distribution<double> value(-10, 10);
  const rotation g(0.3, -1.7);
  for (std::ptrdiff_t sx : {1, 2, -3}) {
    for (std::ptrdiff_t sy : {1, -1, 4}) {
      const unsigned n = 21;
      std::vector<double> x(std::size_t{n} * 3), y(std::size_t{n} * 4);
      for (double& e : x) e = value(gen);
      for (double& e : y) e = value(gen);
      double* fx = sx < 0 ? &x[std::size_t{n - 1} * 3] : x.data();
      double* fy = sy < 0 ? &y[n - 1] : y.data();
      std::vector<double> ex(n), ey(n);
      for (unsigned i = 0; i < n; ++i) {
        ex[i] = fx[static_cast<std::ptrdiff_t>(i) * sx];
        ey[i] = fy[static_cast<std::ptrdiff_t>(i) * sy];
      }
      const std::vector<double> untouched = x;
      g.apply(svec(fx, n, sx), svec(fy, n, sy));
      g.apply(vec(ex.data(), n, 0), vec(ey.data(), n, 0));
      for (unsigned i = 0; i < n; ++i) {
        ASSERT_TRUE(same_bits(fx[static_cast<std::ptrdiff_t>(i) * sx], ex[i])) << sx << " " << sy << " " << i;
        ASSERT_TRUE(same_bits(fy[static_cast<std::ptrdiff_t>(i) * sy], ey[i])) << sx << " " << sy << " " << i;
      }
      if (sx == 2) {
        EXPECT_EQ(x[1], untouched[1]);  // between the strided elements: untouched
      }
    }
  }
  // a contiguous view and a strided one together
  double a[3] = {1, 2, 3}, b[6] = {4, 0, 5, 0, 6, 0};
  rotation(0, 1).apply(vec(a, 3, 0), svec(b, 3, 2));  // (x, y) -> (y, -x)
  EXPECT_EQ(a[2], 6);
  EXPECT_EQ(b[4], -3);
  EXPECT_EQ(b[5], 0);
}

}  // namespace
