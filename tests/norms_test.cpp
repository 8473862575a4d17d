#include "zelt/norms.hpp"

#include <gtest/gtest.h>

#include <cmath>
#include <cstddef>
#include <iterator>
#include <limits>
#include <random>
#include <type_traits>
#include <vector>

#include "bits.hpp"

namespace {

using zelt_test::same_bits;
using vec = zelt::external_vec<double, 0, unsigned int>;
using vec4 = zelt::external_vec<double, 4, unsigned int>;
using svec = zelt::strided_vec<double, unsigned int>;
constexpr double inf = std::numeric_limits<double>::infinity();
constexpr double nan = std::numeric_limits<double>::quiet_NaN();

static_assert(std::is_same_v<zelt::linalg_traits<vec>::magnitude_type, double>);
static_assert(std::is_same_v<zelt::linalg_traits<vec4>::magnitude_type, double>);
static_assert(std::is_same_v<
              zelt::linalg_traits<zelt::external_vec<const double, 0, unsigned>>::magnitude_type, double>);
static_assert(std::is_same_v<zelt::linalg_traits<svec>::magnitude_type, double>);
static_assert(
    std::is_same_v<zelt::linalg_traits<zelt::strided_vec<const double, unsigned>>::magnitude_type, double>);

template <unsigned N>
double one(const double (&a)[N]) {
  return zelt::one_norm(vec(const_cast<double*>(a), N, 0));
}
template <unsigned N>
double two(const double (&a)[N]) {
  return zelt::two_norm(vec(const_cast<double*>(a), N, 0));
}

TEST(Norms, KnownValues) {
  EXPECT_TRUE(same_bits(one({1, 2, 3, 4}), 10));
  EXPECT_TRUE(same_bits(one({-1, 2, -3}), 6));
  EXPECT_TRUE(same_bits(two({1, 5, 3, 1}), 6));
  EXPECT_TRUE(same_bits(two({3, 4}), 5));
  EXPECT_TRUE(same_bits(two({-3, 4}), 5));
}

TEST(Norms, EmptyAndNegativeZeroGivePositiveZero) {
  const vec empty(nullptr, 0, 0);
  EXPECT_TRUE(same_bits(zelt::one_norm(empty), 0.0));
  EXPECT_TRUE(same_bits(zelt::two_norm(empty), 0.0));
  EXPECT_TRUE(same_bits(one({-0.0}), 0.0));
  EXPECT_TRUE(same_bits(two({-0.0}), 0.0));
}

TEST(Norms, FoldLeftToRightInDouble) {
  EXPECT_TRUE(same_bits(one({1e16, 1, 1}), 1e16));
  EXPECT_TRUE(same_bits(one({1, 1, 1e16}), 1e16 + 2));
}

TEST(Norms, TwoNormDoesNotScale) {
  EXPECT_TRUE(same_bits(two({1e200}), inf));
  EXPECT_TRUE(same_bits(two({-1e200, 1}), inf));
  EXPECT_TRUE(same_bits(two({1e-200}), 0.0));
  EXPECT_TRUE(same_bits(two({3e-200, 4e-200}), 0.0));
  EXPECT_TRUE(same_bits(one({1e200, -1e200}), 2e200));
  EXPECT_TRUE(same_bits(one({1e-200}), 1e-200));
}

TEST(Norms, NaNAndInfinityPropagate) {
  EXPECT_TRUE(std::isnan(one({1, nan, 2})));
  EXPECT_TRUE(std::isnan(two({1, nan, 2})));
  EXPECT_TRUE(std::isnan(one({inf, -inf, nan})));
  EXPECT_TRUE(same_bits(one({1, -inf, 2}), inf));
  EXPECT_TRUE(same_bits(two({1, -inf, 2}), inf));
  EXPECT_TRUE(std::isnan(one({inf, nan})));
}

TEST(Norms, StaticAndRunTimeLengthsAgree) {
  double a[4] = {0.1, -2.5, 1e-3, 7.75};
  const vec4 s = zelt::__make_external<4>()(a);
  const vec d(a, 4, 0);
  EXPECT_TRUE(same_bits(zelt::one_norm(s), zelt::one_norm(d)));
  EXPECT_TRUE(same_bits(zelt::two_norm(s), zelt::two_norm(d)));
  EXPECT_TRUE(same_bits(zelt::one_norm(d, zelt::oned_tag()), zelt::one_norm(d)));
  EXPECT_TRUE(same_bits(zelt::oned_two_norm(s, nubo::count<0>()), zelt::two_norm(s)));
}

TEST(FoldSteps, FirstArgumentIsTheRunningValue) {
  zelt::abs_add abs_add;
  zelt::sqr_add sqr_add;
  EXPECT_EQ(abs_add(1.0, -3.0), 4.0);
  EXPECT_EQ(sqr_add(1.0, -3.0), 10.0);
  EXPECT_EQ(abs_add(-3.0, 1.0), -2.0);
  EXPECT_EQ(sqr_add(-3.0, 1.0), -2.0);
}

TEST(Accumulate, FoldsFromTheStartingValue) {
  double a[2] = {1, -2};
  const vec v(a, 2, 0);
  EXPECT_EQ(zelt_algo::accumulate(v.begin(), v.end(), 5.0, zelt::abs_add()), 8.0);
}

TEST(Accumulate, VisitsEachElementOnceInIndexOrder) {
  double a[4] = {1, 2, 3, 4};
  const vec v(a, 4, 0);
  // acc * 10 + x spells the visiting order as decimal digits
  auto digits = [](double acc, double x) { return acc * 10 + x; };
  EXPECT_EQ(zelt_algo::accumulate(v.begin(), v.end(), 0.0, digits), 1234.0);
}

TEST(Accumulate, EmptyOrReversedRangeReturnsTheStartingValueUntouched) {
  double a[3] = {1, 2, 3};
  const vec v(a, 3, 0);
  int calls = 0;
  auto counting = [&calls](double acc, double) {
    ++calls;
    return acc;
  };
  EXPECT_EQ(zelt_algo::accumulate(v.end(), v.begin(), -7.0, counting), -7.0);
  EXPECT_EQ(zelt_algo::accumulate(v.begin(), v.begin(), -7.0, counting), -7.0);
  EXPECT_EQ(calls, 0);
}

TEST(Accumulate, WorksOnRawPointers) {
  const double a[3] = {1, -2, 3};
  EXPECT_EQ(zelt_algo::accumulate(a, a + 3, 0.0, zelt::abs_add()), 6.0);
}

TEST(LaneNorms, EmptyAndSpecialValues) {
  const vec empty;
  EXPECT_TRUE(same_bits(zelt::one_norm(empty, zelt::lanes), 0.0));
  EXPECT_TRUE(same_bits(zelt::two_norm(empty, zelt::lanes), 0.0));
  std::vector<double> v(37, 1.0);
  const vec view(v.data(), 37, 0);
  EXPECT_TRUE(same_bits(zelt::one_norm(view, zelt::lanes), 37));
  EXPECT_TRUE(same_bits(zelt::two_norm(view, zelt::lanes), std::sqrt(37.0)));
  for (std::size_t k : {std::size_t{0}, std::size_t{15}, std::size_t{16}, std::size_t{36}}) {
    std::vector<double> w = v;
    w[k] = nan;  // in a lane or in the tail
    EXPECT_TRUE(std::isnan(zelt::one_norm(vec(w.data(), 37, 0), zelt::lanes))) << k;
    EXPECT_TRUE(std::isnan(zelt::two_norm(vec(w.data(), 37, 0), zelt::lanes))) << k;
    w[k] = -inf;
    EXPECT_TRUE(same_bits(zelt::one_norm(vec(w.data(), 37, 0), zelt::lanes), inf)) << k;
    EXPECT_TRUE(same_bits(zelt::two_norm(vec(w.data(), 37, 0), zelt::lanes), inf)) << k;
  }
  double four[4] = {1, -2, 3, -4};  // static length views work too
  EXPECT_TRUE(same_bits(zelt::one_norm(zelt::__make_external<4>()(four), zelt::lanes), 10));
}

TEST(StableTwoNorm, NeitherOverflowsNorUnderflows) {
  constexpr double eps = std::numeric_limits<double>::epsilon();
  EXPECT_NEAR(zelt::stable_two_norm(vec(std::vector<double>{1e200}.data(), 1, 0)) / 1e200, 1, eps);
  double small[2] = {3e-200, 4e-200};
  EXPECT_NEAR(zelt::stable_two_norm(vec(small, 2, 0)) / 5e-200, 1, eps);
  double huge[2] = {-1.5e308, 1e308};  // the norm itself overflows
  EXPECT_TRUE(same_bits(zelt::stable_two_norm(vec(huge, 2, 0)), inf));
  double near_max[2] = {0x1.fffffffffffffp+1023, 0};
  EXPECT_TRUE(same_bits(zelt::stable_two_norm(vec(near_max, 2, 0)), 0x1.fffffffffffffp+1023));
  double tiny[3] = {std::numeric_limits<double>::denorm_min(), 0, -std::numeric_limits<double>::denorm_min()};
  EXPECT_NEAR(zelt::stable_two_norm(vec(tiny, 3, 0)) / (std::sqrt(2.0) * tiny[0]), 1,
              0.5);  // subnormal result
  double mixed[3] = {1e-300, 3e-300, 4e-300};
  EXPECT_NEAR(zelt::stable_two_norm(vec(mixed, 3, 0)) / std::hypot(1e-300, std::hypot(3e-300, 4e-300)), 1,
              2 * eps);
}

TEST(StableTwoNorm, IsTwoNormWheneverTheLargestMagnitudeIsInRange) {
  std::vector<double> v = {0x1p-480, -3, 0x1p+480, 1e-300};  // 1e-300 squares to 0 in both
  EXPECT_TRUE(same_bits(zelt::stable_two_norm(vec(v.data(), 4, 0)), zelt::two_norm(vec(v.data(), 4, 0))));
  for (double scale : {1.0, 0x1p-400, 0x1p+400, 1e-140}) {
    std::vector<double> w = {0.3 * scale, -1.7 * scale, 2.9 * scale, 1e-3 * scale};
    EXPECT_TRUE(same_bits(zelt::stable_two_norm(vec(w.data(), 4, 0)), zelt::two_norm(vec(w.data(), 4, 0))));
  }
  const vec empty;
  EXPECT_TRUE(same_bits(zelt::stable_two_norm(empty), 0.0));
  double zeros[2] = {-0.0, 0.0};
  EXPECT_TRUE(same_bits(zelt::stable_two_norm(vec(zeros, 2, 0)), 0.0));
}

TEST(StableTwoNorm, NaNAndInfinityPropagateAsInTwoNorm) {
  double with_nan[3] = {1e300, nan, 1};
  EXPECT_TRUE(std::isnan(zelt::stable_two_norm(vec(with_nan, 3, 0))));
  double with_inf[3] = {1e-300, -inf, 1};
  EXPECT_TRUE(same_bits(zelt::stable_two_norm(vec(with_inf, 3, 0)), inf));
  double both[2] = {inf, nan};
  EXPECT_TRUE(std::isnan(zelt::stable_two_norm(vec(both, 2, 0))));
}

// Random elements with an exponent spread wide enough that the order of
// every fold shows in the last bits, and now and then a special value.
std::vector<double> random_elements(std::size_t n, std::mt19937_64& gen, bool specials) {
  std::uniform_real_distribution<double> mantissa(-2, 2);
  std::uniform_int_distribution<int> exponent(-30, 30);
  std::uniform_int_distribution<int> pick(0, 40);
  std::vector<double> v(n);
  for (double& x : v) {
    x = std::ldexp(mantissa(gen), exponent(gen));
    const int p = pick(gen);
    if (specials && p == 0) x = -0.0;
    if (specials && p == 1) x = std::numeric_limits<double>::denorm_min();
    if (specials && p == 2) x = 1e200;  // squares overflow
  }
  return v;
}

// Every vector algorithm over a strided view gives exactly the bits it gives
// over the same elements gathered into a contiguous array: the order of an
// operation is that of the logical indices, never of the memory layout.
TEST(StridedNorms, EveryAlgorithmGivesTheBitsOfTheGatheredElements) {
  std::mt19937_64 gen(2026);
  for (std::size_t n : {0u, 1u, 2u, 15u, 16u, 17u, 33u, 64u, 100u}) {
    for (std::ptrdiff_t stride : {1, 2, 3, -1, -4, 0}) {
      for (bool specials : {false, true}) {
        const std::size_t span = n == 0 ? 1 : (n - 1) * static_cast<std::size_t>(std::abs(stride)) + 1;
        std::vector<double> memory = random_elements(span, gen, specials);
        double* first = stride < 0 ? &memory[span - 1] : memory.data();
        const svec s(first, static_cast<unsigned>(n), stride);
        std::vector<double> gathered(n);
        for (std::size_t i = 0; i < n; ++i) gathered[i] = first[static_cast<std::ptrdiff_t>(i) * stride];
        const vec g(gathered.data(), static_cast<unsigned>(n), 0);
        SCOPED_TRACE(::testing::Message() << "n " << n << ", stride " << stride << ", specials " << specials);

        EXPECT_TRUE(same_bits(zelt::one_norm(s), zelt::one_norm(g)));
        EXPECT_TRUE(same_bits(zelt::two_norm(s), zelt::two_norm(g)));
        EXPECT_TRUE(same_bits(zelt::stable_two_norm(s), zelt::stable_two_norm(g)));
        EXPECT_TRUE(same_bits(zelt::one_norm(s, zelt::lanes), zelt::one_norm(g, zelt::lanes)));
        EXPECT_TRUE(same_bits(zelt::two_norm(s, zelt::lanes), zelt::two_norm(g, zelt::lanes)));
        const auto minus = [](double acc, double x) { return acc - x; };  // not commutative
        EXPECT_TRUE(same_bits(zelt_algo::accumulate(s.begin(), s.end(), 0.5, minus),
                              zelt_algo::accumulate(g.begin(), g.end(), 0.5, minus)));
      }
    }
  }
}

// An independent statement of the lane order: lane l folds elements l, l+16,
// ... of the whole blocks, lanes combine pairwise as ((l0+l1)+(l2+l3))+...,
// the tail folds in one at a time.
template <class Step>
double lane_oracle(const std::vector<double>& x, Step step) {
  const std::size_t blocked = x.size() / 16 * 16;
  std::vector<double> lane(16, 0.0);
  for (std::size_t i = 0; i < blocked; ++i) lane[i % 16] = step(lane[i % 16], x[i]);
  while (lane.size() > 1) {
    std::vector<double> next;
    for (std::size_t l = 0; l < lane.size(); l += 2) next.push_back(lane[l] + lane[l + 1]);
    lane = next;
  }
  double sum = lane[0];
  for (std::size_t i = blocked; i < x.size(); ++i) sum = step(sum, x[i]);
  return sum;
}

TEST(LaneNorms, FollowTheDocumentedLaneOrderAndTreeOnRandomVectors) {
  std::mt19937_64 gen(16);
  for (std::size_t n = 16; n <= 80; ++n) {
    for (int trial = 0; trial < 20; ++trial) {
      const std::vector<double> x = random_elements(n, gen, false);
      const vec v(const_cast<double*>(x.data()), static_cast<unsigned>(n), 0);
      ASSERT_TRUE(same_bits(zelt::one_norm(v, zelt::lanes), lane_oracle(x, zelt::abs_add()))) << n;
      ASSERT_TRUE(same_bits(zelt::two_norm(v, zelt::lanes), std::sqrt(lane_oracle(x, zelt::sqr_add())))) << n;
    }
  }
}

TEST(StableTwoNorm, ExactOnTheSubnormalPath) {
  // A subnormal largest magnitude needs the two-step scaling; powers of two
  // and the 3-4-5 triangle come out exactly.
  double one[1] = {0x1p-1050};
  EXPECT_TRUE(same_bits(zelt::stable_two_norm(vec(one, 1, 0)), 0x1p-1050));
  double triangle[2] = {-3 * 0x1p-1070, 4 * 0x1p-1070};
  EXPECT_TRUE(same_bits(zelt::stable_two_norm(vec(triangle, 2, 0)), 5 * 0x1p-1070));
  double smallest[1] = {std::numeric_limits<double>::denorm_min()};
  EXPECT_TRUE(same_bits(zelt::stable_two_norm(vec(smallest, 1, 0)), smallest[0]));
  double large[2] = {3 * 0x1p+1000, -4 * 0x1p+1000};
  EXPECT_TRUE(same_bits(zelt::stable_two_norm(vec(large, 2, 0)), 5 * 0x1p+1000));
}

// A vector whose iterator counts the elements read, so the number of passes
// stable_two_norm makes is visible: one when its fold alone proves the
// largest magnitude in range, two when it must look for the largest, three
// when it also scales.
struct counting_vec {
  const std::vector<double>* elements;
  int* reads;

  struct iterator {
    using iterator_category = std::input_iterator_tag;
    using value_type = double;
    using difference_type = std::ptrdiff_t;
    using pointer = const double*;
    using reference = const double&;
    const double* p;
    int* reads;
    const double& operator*() const {
      ++*reads;
      return *p;
    }
    iterator operator++(int) {
      iterator old = *this;
      ++p;
      return old;
    }
    bool operator!=(const iterator& other) const { return p != other.p; }
  };
  iterator begin() const { return {elements->data(), reads}; }
  iterator end() const { return {elements->data() + elements->size(), reads}; }
  unsigned size() const { return static_cast<unsigned>(elements->size()); }
};

}  // namespace

template <>
struct zelt::linalg_traits<counting_vec> {
  using magnitude_type = double;
};

namespace {

int passes_of(const std::vector<double>& x) {
  int reads = 0;
  const double result = zelt::stable_two_norm(counting_vec{&x, &reads});
  const vec v(const_cast<double*>(x.data()), static_cast<unsigned>(x.size()), 0);
  EXPECT_TRUE(same_bits(result, zelt::stable_two_norm(v)));
  return reads / static_cast<int>(x.size());
}

TEST(StableTwoNorm, ScalesExactlyWhenTheLargestMagnitudeLeavesTheRange) {
  const std::vector<double> sixteen_small(16, 0x1p-481), sixteen_edge(16, 0x1p-479);
  EXPECT_EQ(passes_of({1, 2, 3}), 1);
  EXPECT_EQ(passes_of(sixteen_edge), 1);   // the sum is exactly n * 2^-958
  EXPECT_EQ(passes_of(sixteen_small), 3);  // sum 2^-958, but below n * 2^-958
  EXPECT_EQ(passes_of({0x1p-480}), 2);     // the lower edge is in range
  EXPECT_EQ(passes_of({0x1.8p-480}), 2);   //   and so is the binade above it
  EXPECT_EQ(passes_of({0x1.fffffffffffffp-481}), 3);
  EXPECT_EQ(passes_of({0x1p+480, 1}), 2);  // the upper edge is in range
  EXPECT_EQ(passes_of({0x1.0000000000001p+480}), 3);
  EXPECT_EQ(passes_of({0x1p+479, -0x1p+479}), 1);  // sum 2^959
}

}  // namespace

// The norms reach their workers by unqualified, argument-dependent calls, so a
// vector type of another library can take over any step of the chain.
namespace other {

struct tagged_vec {};
struct counted_vec {};
double one_norm(const tagged_vec&, zelt::oned_tag) { return 41; }
double oned_one_norm(const counted_vec&, nubo::count<0>) { return 42; }
double oned_two_norm(const counted_vec&, nubo::count<0>) { return 43; }

}  // namespace other

template <>
struct zelt::linalg_traits<other::tagged_vec> {
  using magnitude_type = double;
};
template <>
struct zelt::linalg_traits<other::counted_vec> {
  using magnitude_type = double;
};

namespace {

TEST(Norms, DispatchChainsReachTheVectorsOwnWorkers) {
  EXPECT_EQ(zelt::one_norm(other::tagged_vec()), 41);
  EXPECT_EQ(zelt::one_norm(other::counted_vec()), 42);
  EXPECT_EQ(zelt::two_norm(other::counted_vec()), 43);
}

}  // namespace
