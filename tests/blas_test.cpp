// zelt's Level 1 and Level 2 operations, through the C++ interface, against
// the reference BLAS (libblas3, loaded by path): every bit must agree.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <random>
#include <vector>

#include "bits.hpp"
#include "blas_harness.hpp"
#include "blas_impls.hpp"

namespace {

using zelt_test::same_bits;

const zelt_test::shared_library& reference_library() {
  static const zelt_test::shared_library lib(ZELT_REFERENCE_BLAS);
  return lib;
}

void expect_no_differences(const zelt_test::tally& t) {
  EXPECT_GT(t.calls, 100000);
  EXPECT_EQ(t.differing, 0) << "of " << t.calls << " calls";
  for (const auto& what : t.first) ADD_FAILURE() << "differs: " << what;
}

// The harness on zelt's C++ interface over views of T; `strided_unit`
// builds increment 1 as a strided_vec too.
template <class T>
void expect_reference_bits(bool strided_unit, std::uint64_t seed) {
  ASSERT_TRUE(reference_library().loaded()) << "reference BLAS not found at " << ZELT_REFERENCE_BLAS;
  const zelt_test::reference_cblas<T> ref(reference_library());
  ASSERT_TRUE(ref.complete());
  zelt_test::harness_options options;
  options.seed = seed;
  expect_no_differences(zelt_test::harness<T>(ref, zelt_test::zelt_cpp<T>(strided_unit), options).run());
}

TEST(ReferenceBlas, CppInterfaceGivesTheReferenceBitsInBothLayouts) {
  expect_reference_bits<double>(false, 11);
}
TEST(ReferenceBlas, StridedViewsOfStrideOneGiveTheSameBits) { expect_reference_bits<double>(true, 12); }
TEST(ReferenceBlas, SingleCppInterfaceGivesTheReferenceBitsInBothLayouts) {
  expect_reference_bits<float>(false, 11);
}
TEST(ReferenceBlas, SingleStridedViewsOfStrideOneGiveTheSameBits) { expect_reference_bits<float>(true, 12); }

template <class T>
void blocks_of_a_larger_matrix() {
  ASSERT_TRUE(reference_library().loaded());
  const zelt_test::reference_cblas<T> ref(reference_library());
  std::mt19937_64 gen(5);
  std::uniform_real_distribution<double> dist(-2, 2);
  auto draw = [&] { return static_cast<T>(dist(gen)); };
  std::vector<T> big(120);  // 12 x 10
  for (T& e : big) e = draw();
  const zelt::col_major_matrix<T> B(big.data(), 12, 10);
  for (unsigned i0 : {0u, 1u, 5u}) {
    for (unsigned j0 : {0u, 2u}) {
      const auto block = zelt::sub_matrix(B, i0, j0, 6, 7);
      std::vector<T> x(7), yr(6), yz(6);
      for (T& e : x) e = draw();
      for (std::size_t k = 0; k < 6; ++k) yr[k] = yz[k] = draw();
      ref.gemv(zelt_test::col_major, zelt_test::no_trans, 6, 7, T(0.5), block.data(), 12, x.data(), 1,
               T(-1.5), yr.data(), 1);
      zelt::gemv(T(0.5), block, zelt::external_vec<T, 0, unsigned>(x.data(), 7, 0), T(-1.5),
                 zelt::external_vec<T, 0, unsigned>(yz.data(), 6, 0));
      for (std::size_t k = 0; k < 6; ++k)
        ASSERT_TRUE(same_bits(yz[k], yr[k])) << i0 << "," << j0 << ": " << k;
      // the lower triangle of the transposed block is the upper of the block
      std::vector<T> tr(x.begin(), x.begin() + 6), tz = tr;
      ref.trsv(zelt_test::col_major, zelt_test::upper, zelt_test::trans, zelt_test::non_unit, 6, block.data(),
               12, tr.data(), 1);
      zelt::trsv(zelt::lower, zelt::non_unit_diagonal, zelt::transposed(zelt::sub_matrix(block, 0, 0, 6, 6)),
                 zelt::external_vec<T, 0, unsigned>(tz.data(), 6, 0));
      for (std::size_t k = 0; k < 6; ++k) ASSERT_TRUE(same_bits(tz[k], tr[k])) << k;
    }
  }
}

TEST(ReferenceBlas, BlocksOfALargerMatrixAreTheReferenceCallOnTheBlock) {
  blocks_of_a_larger_matrix<double>();
}
TEST(ReferenceBlas, SingleBlocksOfALargerMatrixAreTheReferenceCallOnTheBlock) {
  blocks_of_a_larger_matrix<float>();
}

// Signed zeros survive the vector paths: with alpha = -1 and x = +0 every
// update of y is a -0, so y = -0 must stay -0 in every element.
template <class T>
void signed_zeros_survive() {
  ASSERT_TRUE(reference_library().loaded());
  const zelt_test::reference_cblas<T> ref(reference_library());
  const int n = 37;
  const T zero = 0, one = 1;
  std::vector<T> a(static_cast<std::size_t>(n) * n, T(0.75)), x(n, zero);
  for (bool upper : {true, false}) {
    for (bool transposed : {false, true}) {
      std::vector<T> yr(n, -zero), yz(n, -zero);
      const zelt::col_major_matrix<const T> A(a.data(), n, n);
      const zelt::external_vec<const T, 0, unsigned> vx(x.data(), n, 0);
      const zelt::external_vec<T, 0, unsigned> vy(yz.data(), n, 0);
      if (transposed) {
        ref.gemv(zelt_test::col_major, zelt_test::trans, n, n, -one, a.data(), n, x.data(), 1, one, yr.data(),
                 1);
        zelt::gemv(-one, zelt::transposed(A), vx, one, vy);
      } else if (upper) {
        ref.symv(zelt_test::col_major, zelt_test::upper, n, -one, a.data(), n, x.data(), 1, one, yr.data(),
                 1);
        zelt::symv(zelt::upper, -one, A, vx, one, vy);
      } else {
        ref.symv(zelt_test::col_major, zelt_test::lower, n, -one, a.data(), n, x.data(), 1, one, yr.data(),
                 1);
        zelt::symv(zelt::lower, -one, A, vx, one, vy);
      }
      for (std::size_t i = 0; i < yz.size(); ++i) {
        ASSERT_TRUE(same_bits(yz[i], yr[i])) << upper << transposed << " " << i;
      }
    }
  }
  // and through the contiguous Level 1 loops
  std::vector<T> xr(n, T(3)), yr(n, -zero), xz = xr, yz = yr;
  ref.rot(n, xr.data(), 1, yr.data(), 1, -zero, zero);
  zelt::rot(zelt::external_vec<T, 0, unsigned>(xz.data(), n, 0),
            zelt::external_vec<T, 0, unsigned>(yz.data(), n, 0), -zero, zero);
  for (std::size_t i = 0; i < yz.size(); ++i)
    ASSERT_TRUE(same_bits(yz[i], yr[i]) && same_bits(xz[i], xr[i])) << i;
}

TEST(ReferenceBlas, SignedZerosSurviveTheVectorKernels) { signed_zeros_survive<double>(); }
TEST(ReferenceBlas, SingleSignedZerosSurviveTheVectorKernels) { signed_zeros_survive<float>(); }

// dot(x, y, lanes): 16 lanes of products in index order, combined pairwise,
// then the tail; written out independently here.
TEST(DotLanes, FollowsTheDocumentedLaneOrder) {
  std::mt19937_64 gen(3);
  std::uniform_real_distribution<double> dist(-2, 2);
  for (unsigned n = 0; n < 70; ++n) {
    std::vector<double> x(n), y(2 * n + 1);
    for (double& e : x) e = dist(gen);
    for (double& e : y) e = dist(gen);
    std::vector<double> lane(16, 0.0);
    const unsigned blocked = n / 16 * 16;
    for (unsigned i = 0; i < blocked; ++i)
      lane[i % 16] = lane[i % 16] + zelt::detail::mul(x[i], y[2 * std::size_t{i}]);
    for (std::size_t width = 8; width > 0; width /= 2)
      for (std::size_t l = 0; l < width; ++l) lane[l] = lane[2 * l] + lane[2 * l + 1];
    double want = lane[0];
    for (unsigned i = blocked; i < n; ++i) want = want + zelt::detail::mul(x[i], y[2 * std::size_t{i}]);
    const double got = zelt::dot(zelt::external_vec<double, 0, unsigned>(x.data(), n, 0),
                                 zelt::strided_vec<double, unsigned>(y.data(), n, 2), zelt::lanes);
    ASSERT_TRUE(same_bits(got, want)) << n;
    if (n < 16) {
      ASSERT_TRUE(same_bits(got, zelt::dot(zelt::external_vec<double, 0, unsigned>(x.data(), n, 0),
                                           zelt::strided_vec<double, unsigned>(y.data(), n, 2))));
    }
  }
}

}  // namespace
