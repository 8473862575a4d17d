// Golden bits of results whose last bit depends on the evaluation: a fused
// multiply-add or a reordered fold changes them. The values were computed
// once, one rounding per operation, and are written here as hex floats, so
// this file fails on any toolchain or flag set that evaluates differently.
// It is built twice: through zelt::zelt, and as a consumer who includes the
// headers at full optimisation with none of zelt's flags.
#include <gtest/gtest.h>

#include "bits.hpp"
#include "zelt/norms.hpp"
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

}  // namespace
