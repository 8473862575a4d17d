// Golden bits of results whose last bit depends on the evaluation: a fused
// multiply-add or a reordered fold changes them. The values were computed
// once, one rounding per operation, and are written here as hex floats, so
// this file fails on any toolchain or flag set that evaluates differently.
// It is built twice: through zelt::zelt, and as a consumer who includes the
// headers at full optimisation with none of zelt's flags.
#include <gtest/gtest.h>

#include <cmath>
#include <random>
#include <vector>

#include "bits.hpp"
#include "givens_oracle.hpp"
#include "zelt/givens.hpp"
#include "zelt/norms.hpp"
#include "zelt/strided.hpp"
#include "zelt/vector.hpp"

namespace {

using zelt_test::opaque;
using zelt_test::same_bits;

// A view whose elements and length the optimiser cannot see through, so the
// norms run as the general loops a caller's code would get.
template <unsigned N>
zelt::external_vec<double, 0, unsigned int> view(double (&a)[N]) {
  unsigned n[1] = {N};
  return {opaque(a), *opaque(n), 0};
}

// Every square here has a rounding error that shows in the two-norm if that
// square is fused into the sum: fusing any suffix or any prefix of the steps
// (the shapes of scalar, vectorised and peeled loops) changes the result, and
// so does folding right to left.
// Nineteen elements, so that a vectorised loop of any width leaves a scalar
// remainder.
double sensitive[19] = {
    -0x1.d49439210efdep-1, 0x1.7c957721a3052p+0,  0x1.8f6e08de8140ap+0,  0x1.17728641f949ap+0,
    -0x1.caade94243dd5p+0, 0x1.cc61336e26dbep+0,  -0x1.f67fad96d054dp+0, 0x1.e810dd0ba133cp+0,
    0x1.7a2c7fc259a2ap+0,  -0x1.aa0a23b6a3c7p+0,  -0x1.74ffd400caa81p+0, -0x1.877aaeae3f56bp+0,
    -0x1.f0b231b50de52p-1, -0x1.981b0a5701c63p+0, 0x1.9300e6a68a97ap+0,  0x1.f074f666c3616p-1,
    -0x1.61d4fd7146f54p+0, 0x1.d48066f025926p+0,  -0x1.8b18129a6b2efp+0};

TEST(ExactBits, OneNormAddsLeftToRight) {
  double small_last[17], small_first[17];
  small_last[0] = 1;
  small_first[16] = 1;
  for (int i = 0; i < 16; ++i) {
    small_last[i + 1] = 0x1p-53;  // each one rounds away against 1
    small_first[i] = 0x1p-53;     // together they reach 2^-49 first
  }
  EXPECT_TRUE(same_bits(zelt::one_norm(view(small_last)), 1.0));
  EXPECT_TRUE(same_bits(zelt::one_norm(view(small_first)), 0x1.0000000000008p+0));
  EXPECT_TRUE(same_bits(zelt::one_norm(view(sensitive)), 0x1.c812dec54d571p+4));
}

TEST(ExactBits, TwoNormRoundsEverySquare) {
  EXPECT_TRUE(same_bits(zelt::two_norm(view(sensitive)), 0x1.ab3a4a2877856p+2));
}

TEST(ExactBits, SquareIsRoundedBeforeTheSum) {
  // x = 1 + 2^-27, x*x = 1 + 2^-26 + 2^-54 exactly; rounding the square first drops 2^-54,
  // so adding -1 leaves 2^-26; a fused step would keep 2^-26 + 2^-54.
  double x[1] = {0x1.0000002p+0};
  EXPECT_TRUE(same_bits(zelt::sqr_add()(-1.0, *opaque(x)), 0x1p-26));
}

// Random values of one binade, so that products and their sums overlap and
// every rounding shows.
std::vector<double> random_values(std::size_t n, std::uint64_t seed) {
  std::mt19937_64 gen(seed);
  std::uniform_real_distribution<double> dist(-2, 2);
  std::vector<double> v(n);
  for (double& x : v) x = dist(gen);
  return v;
}

TEST(ExactBits, GivensConstructionRoundsEveryOperation) {
  const std::vector<double> args = random_values(20000, 1);
  const double* p = opaque(args.data());
  int fusion_would_show = 0;
  for (std::size_t i = 0; i + 1 < args.size(); i += 2) {
    const double a = p[i], b = p[i + 1];
    const zelt::givens_rotation<double> g(a, b);
    const zelt_test::rotation_values want = zelt_test::oracle_rotation(a, b);
    ASSERT_TRUE(same_bits(g.r(), want.r)) << zelt_test::hex(a) << ", " << zelt_test::hex(b);
    ASSERT_TRUE(same_bits(g.cosine(), want.c)) << zelt_test::hex(a) << ", " << zelt_test::hex(b);
    ASSERT_TRUE(same_bits(g.sine(), want.s)) << zelt_test::hex(a) << ", " << zelt_test::hex(b);
    ASSERT_TRUE(same_bits(g.z(), want.z)) << zelt_test::hex(a) << ", " << zelt_test::hex(b);
    // the data can tell: a fused sum of squares would change r here
    const double scale = std::fabs(a) + std::fabs(b), qa = a / scale, qb = b / scale;
    if (std::sqrt(std::fma(qa, qa, zelt_test::sum_of_squares(0, qb))) !=
        std::sqrt(zelt_test::sum_of_squares(qa, qb)))
      ++fusion_would_show;
  }
  EXPECT_GT(fusion_would_show, 100);
}

TEST(ExactBits, GivensApplyRoundsEveryOperation) {
  const std::size_t n = 1001;  // odd, so vectorised loops leave a remainder
  std::vector<double> x = random_values(n, 2), y = random_values(n, 3);
  const std::vector<double> x0 = x, y0 = y;
  const zelt::givens_rotation<double> g(0.3, -0.7);
  g.apply(zelt::external_vec<double, 0, unsigned int>(opaque(x.data()), static_cast<unsigned>(n), 0),
          zelt::external_vec<double, 0, unsigned int>(opaque(y.data()), static_cast<unsigned>(n), 0));
  const double c = g.cosine(), s = g.sine();
  int fusion_would_show = 0;
  for (std::size_t k = 0; k < n; ++k) {
    double ex = x0[k], ey = y0[k];
    zelt_test::oracle_rotate(c, s, ex, ey);
    ASSERT_TRUE(same_bits(x[k], ex)) << "x[" << k << "]";
    ASSERT_TRUE(same_bits(y[k], ey)) << "y[" << k << "]";
    volatile double sx = s * x0[k], sy = s * y0[k];
    if (std::fma(c, x0[k], sy) != ex || std::fma(c, y0[k], -sx) != ey) ++fusion_would_show;
  }
  EXPECT_GT(fusion_would_show, 100);
}

// The fixed-order reductions: golden values from an independent
// implementation of the lane order. Shorter than 16 elements they equal the
// strict norms; from 16 on, the lane order and the pairwise combining tree
// show in the bits.
double lane_data[40] = {
    0x1.5b7bec1eaba6ap+0,  0x1.78862b6947afep-3,  0x1.d79b1edcd976fp+1,  0x1.acd0bcab7bb9cp+1,
    0x1.aa3430f4de99ep+0,  -0x1.613958652c2cep-2, 0x1.3dfeeb2aa176p-2,   0x1.2caade608d2ccp+3,
    -0x1.3c4525b09c54dp-1, 0x1.c1297d01600ap-2,   0x1.ffde3213ce7a7p+1,  0x1.95acccb056c4cp-3,
    -0x1.e0597f5b9c1aep-1, 0x1.7799ee91ca738p+2,  -0x1.12fff1d163645p+1, -0x1.310d45f444356p-3,
    0x1.60ea677a9d11dp+0,  0x1.235ec7a84e22ep+3,  -0x1.6676a4fa05538p+0, -0x1.497775dc6a35ep+3,
    0x1.e3ac6baf260dap+0,  -0x1.b52fbda137d26p+1, 0x1.631234ce8a6abp-4,  -0x1.48ea477a914d2p+2,
    -0x1.6ef788449c959p+0, 0x1.d392d4eafd0eep+3,  0x1.70a437b1a24aap+0,  -0x1.92607ffc9d431p+1,
    0x1.1a661a8025efbp-1,  -0x1.786539381757ap+2, -0x1.d3a0fb734b233p+0, -0x1.bf6d655ce9e9ep-3,
    0x1.7bc44d0a56873p+1,  -0x1.b48fe0d91941fp+0, -0x1.9979aa18f879ep+1, -0x1.445391d4cd402p+3,
    0x1.26be7eeac6b6ap+2,  -0x1.bf423b9dec5eap-1, 0x1.b7c52514b8d1cp+0,  -0x1.ad78e68e2fc12p+1};

struct lane_golden {
  unsigned n;
  double one_norm, two_norm;
};

const lane_golden lane_goldens[] = {
    {0, 0.0, 0.0},
    {1, 0x1.5b7bec1eaba6ap+0, 0x1.5b7bec1eaba6ap+0},
    {15, 0x1.140187573e382p+5, 0x1.a6b314b60f17ap+3},
    {16, 0x1.1532949d327c6p+5, 0x1.a6b9f5d7abc08p+3},
    {17, 0x1.2039e7d90764fp+5, 0x1.a905a1d037ef8p+3},
    {31, 0x1.80fea02512568p+6, 0x1.9f97c8da74abfp+4},
    {32, 0x1.81de56d7c0cb6p+6, 0x1.9f9b8c3ca112fp+4},
    {33, 0x1.8dbc7940137fap+6, 0x1.a24f5518ae6e7p+4},
    {40, 0x1.f41a407d85f5fp+6, 0x1.ce802823a4456p+4},
};

TEST(ExactBits, LaneReductionsHaveOneDefinedResult) {
  for (const lane_golden& g : lane_goldens) {
    unsigned n[1] = {g.n};
    const zelt::external_vec<double, 0, unsigned int> v(opaque(lane_data), *opaque(n), 0);
    EXPECT_TRUE(same_bits(zelt::one_norm(v, zelt::lanes), g.one_norm)) << "n = " << g.n;
    EXPECT_TRUE(same_bits(zelt::two_norm(v, zelt::lanes), g.two_norm)) << "n = " << g.n;
    if (g.n < 16) {  // no full block: the lanes order is the strict one
      EXPECT_TRUE(same_bits(zelt::one_norm(v), g.one_norm)) << "n = " << g.n;
      EXPECT_TRUE(same_bits(zelt::two_norm(v), g.two_norm)) << "n = " << g.n;
    }
  }
}

TEST(ExactBits, StableTwoNormMatchesTwoNormInRange) {
  EXPECT_TRUE(same_bits(zelt::stable_two_norm(view(sensitive)), 0x1.ab3a4a2877856p+2));
  EXPECT_TRUE(same_bits(zelt::stable_two_norm(view(lane_data)), zelt::two_norm(view(lane_data))));
}

// The same golden bits through strided views, whose loops compilers treat
// differently: backwards (stride -1 over a reversed copy) and every second
// element of an interleaved copy.
template <unsigned N>
struct strided_copies {
  double reversed[N];
  double interleaved[2 * N];
  explicit strided_copies(const double (&a)[N]) {
    for (unsigned i = 0; i < N; ++i) {
      reversed[N - 1 - i] = a[i];
      interleaved[2 * i] = a[i];
      interleaved[2 * i + 1] = 1e300;  // must never be read
    }
  }
  zelt::strided_vec<double, unsigned int> backwards(unsigned n) {
    return {opaque(reversed) + (N - 1), n, *opaque(&minus_one)};
  }
  zelt::strided_vec<double, unsigned int> every_second(unsigned n) {
    return {opaque(interleaved), n, *opaque(&two)};
  }
  std::ptrdiff_t minus_one = -1, two = 2;
};

TEST(ExactBits, StridedViewsGiveTheGoldenBits) {
  strided_copies<19> s(sensitive);
  EXPECT_TRUE(same_bits(zelt::two_norm(s.backwards(19)), 0x1.ab3a4a2877856p+2));
  EXPECT_TRUE(same_bits(zelt::two_norm(s.every_second(19)), 0x1.ab3a4a2877856p+2));
  EXPECT_TRUE(same_bits(zelt::one_norm(s.every_second(19)), 0x1.c812dec54d571p+4));
  EXPECT_TRUE(same_bits(zelt::stable_two_norm(s.backwards(19)), 0x1.ab3a4a2877856p+2));
  strided_copies<40> l(lane_data);
  for (const lane_golden& g : lane_goldens) {
    EXPECT_TRUE(same_bits(zelt::one_norm(l.every_second(g.n), zelt::lanes), g.one_norm)) << "n = " << g.n;
    EXPECT_TRUE(same_bits(zelt::two_norm(l.every_second(g.n), zelt::lanes), g.two_norm)) << "n = " << g.n;
    EXPECT_TRUE(same_bits(zelt::one_norm(l.backwards(g.n), zelt::lanes), g.one_norm)) << "n = " << g.n;
    EXPECT_TRUE(same_bits(zelt::two_norm(l.backwards(g.n), zelt::lanes), g.two_norm)) << "n = " << g.n;
  }
}

}  // namespace
