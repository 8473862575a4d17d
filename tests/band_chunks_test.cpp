// Cases the differential harness does not reach: band operations on more
// columns than one chunk of band_chains holds (gbmv('T'), sbmv and tbmv('T')
// go through their columns 256 at a time), against the reference BLAS
// (libblas3, loaded by path), every bit.
#include <gtest/gtest.h>

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <random>
#include <string>
#include <vector>

#include "blas_api.hpp"
#include "blas_impls.hpp"

namespace {

using namespace zelt_test;

const shared_library& reference_library() {
  static const shared_library lib(ZELT_REFERENCE_BLAS);
  return lib;
}

template <class T>
bool same(const std::vector<T>& a, const std::vector<T>& b) {
  return a.size() == b.size() && std::memcmp(a.data(), b.data(), a.size() * sizeof(T)) == 0;
}

template <class T>
class random_values {
 public:
  explicit random_values(std::uint64_t seed) : gen_(seed) {}
  std::vector<T> operator()(std::size_t n) {
    std::uniform_real_distribution<double> dist(-2, 2);
    std::vector<T> v(n);
    for (T& e : v) e = static_cast<T>(dist(gen_));
    return v;
  }

 private:
  std::mt19937_64 gen_;
};

// Orders of 1, 2 and 3 chunks and more, each with a short last chunk, and
// bands narrower and wider than the vector paths' column blocks.
const int orders[] = {257, 530, 801};
const int widths[] = {0, 3, 21};

template <class T>
void band_operations_on_several_chunks() {
  ASSERT_TRUE(reference_library().loaded()) << "reference BLAS not found at " << ZELT_REFERENCE_BLAS;
  const reference_cblas<T> ref(reference_library());
  ASSERT_TRUE(ref.complete());
  const zelt_cpp<T> impl;
  random_values<T> values(29);
  int calls = 0;
  for (layout o : {col_major, row_major}) {
    for (int n : orders) {
      for (int k : widths) {
        const int kl = k, ku = (k + 1) / 2, lda = kl + ku + 1;
        // a general band with n columns and fewer or more rows, for both transposes
        for (int m : {n, n - 2 * k - 5, n + k + 3}) {
          const std::vector<T> a =
              values(static_cast<std::size_t>(lda) * static_cast<std::size_t>(o == col_major ? n : m));
          for (transpose t : {no_trans, trans}) {
            const int lenx = t == trans ? m : n, leny = t == trans ? n : m;
            const std::vector<T> x = values(static_cast<std::size_t>(lenx));
            const std::vector<T> y = values(static_cast<std::size_t>(leny));
            auto yr = y, yi = y;
            ref.gbmv(o, t, m, n, kl, ku, T(0.75), a.data(), lda, x.data(), 1, T(-1.25), yr.data(), 1);
            impl.gbmv(o, t, m, n, kl, ku, T(0.75), a.data(), lda, x.data(), 1, T(-1.25), yi.data(), 1);
            EXPECT_TRUE(same(yr, yi)) << describe("gbmv", o, t, m, n, kl, ku);
            ++calls;
          }
        }
        // the triangles of band k, the diagonal kept away from zero for the solves
        for (triangle u : {upper, lower}) {
          const std::size_t ld = static_cast<std::size_t>(k) + 1;
          std::vector<T> a = values(ld * static_cast<std::size_t>(n));
          const bool line_k = (o == col_major) == (u == upper);
          for (std::size_t j = 0; j < static_cast<std::size_t>(n); ++j)
            a[(line_k ? ld - 1 : 0) + j * ld] += 4;
          const std::vector<T> x = values(static_cast<std::size_t>(n)),
                               y = values(static_cast<std::size_t>(n));
          auto yr = y, yi = y;
          ref.sbmv(o, u, n, k, T(-0.5), a.data(), k + 1, x.data(), 1, T(1.5), yr.data(), 1);
          impl.sbmv(o, u, n, k, T(-0.5), a.data(), k + 1, x.data(), 1, T(1.5), yi.data(), 1);
          EXPECT_TRUE(same(yr, yi)) << describe("sbmv", o, u, n, k);
          ++calls;
          for (transpose t : {no_trans, trans}) {
            for (diagonal d : {non_unit, unit}) {
              auto xr = x, xi = x;
              ref.tbmv(o, u, t, d, n, k, a.data(), k + 1, xr.data(), 1);
              impl.tbmv(o, u, t, d, n, k, a.data(), k + 1, xi.data(), 1);
              EXPECT_TRUE(same(xr, xi)) << describe("tbmv", o, u, t, d, n, k);
              xr = x, xi = x;
              ref.tbsv(o, u, t, d, n, k, a.data(), k + 1, xr.data(), 1);
              impl.tbsv(o, u, t, d, n, k, a.data(), k + 1, xi.data(), 1);
              EXPECT_TRUE(same(xr, xi)) << describe("tbsv", o, u, t, d, n, k);
              calls += 2;
            }
          }
        }
      }
    }
  }
  EXPECT_GT(calls, 300);
}

TEST(MutationGaps, BandOperationsOnSeveralChunksOfColumnsGiveTheReferenceBits) {
  band_operations_on_several_chunks<double>();
}
TEST(MutationGaps, SingleBandOperationsOnSeveralChunksOfColumnsGiveTheReferenceBits) {
  band_operations_on_several_chunks<float>();
}

}  // namespace
