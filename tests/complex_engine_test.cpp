// The complex engine behind zgemm and cgemm against the reference routines
// (libblas3, loaded by path): every pair of flags, sizes on both sides of the
// register tile and of the blocks, alpha and beta at their shortcuts, zeros,
// infinities and NaNs in real and imaginary parts, outputs whose rows are
// not contiguous, one to three threads and a workspace the allocator
// refuses. Built twice: with the real blocks and with tiny ones, which small
// matrices cross. The interfaces on top (views, flags, layouts, the
// library's symbols) are the complex harness's.
#include <gtest/gtest.h>

#include <complex>
#include <cstdint>
#include <limits>
#include <random>
#include <string>
#include <vector>

#include "blas_api.hpp"
#include "kernel_set_env.hpp"
#include "refusing_allocator.hpp"
#include "zelt/blas3.hpp"

namespace {

template <class R>
using fortran_gemm = void (*)(const char*, const char*, const int*, const int*, const int*,
                              const std::complex<R>*, const std::complex<R>*, const int*,
                              const std::complex<R>*, const int*, const std::complex<R>*, std::complex<R>*,
                              const int*, std::size_t, std::size_t);

template <class R>
fortran_gemm<R> reference_gemm() {
  static const zelt_test::shared_library lib(ZELT_REFERENCE_BLAS);
  return lib.symbol<fortran_gemm<R>>(sizeof(R) == 4 ? "cgemm_" : "zgemm_");
}

template <class R>
class gemm_trials {
 public:
  using C = std::complex<R>;
  explicit gemm_trials(std::uint64_t seed) : gen_(seed) {}

  /// `trials` products of sizes drawn from `sizes` on `threads` threads;
  /// returns the first difference, or "" when every output is the
  /// reference's.
  std::string run(const std::vector<int>& sizes, int trials, unsigned threads) {
    const char flags[] = {'N', 'T', 'C'};
    for (int trial = 0; trial < trials; ++trial) {
      const int m = pick(sizes), n = pick(sizes), k = pick(sizes);
      const char ta = flags[draw(3)], tb = flags[draw(3)];
      // one trial in four with specials, planted sparsely enough that most
      // outputs stay finite
      const int specials = draw(4) == 0 ? 1 + draw(3) : 0;
      const C alpha = scalar(), beta = scalar();
      const int rs = draw(3) == 0 ? 2 : 1;  // the output's row step
      const int lda = std::max(1, ta == 'N' ? m : k) + draw(2),
                ldb = std::max(1, tb == 'N' ? k : n) + draw(2);
      const std::vector<C> a = values(std::size_t(lda) * std::size_t(ta == 'N' ? k : m), specials),
                           b = values(std::size_t(ldb) * std::size_t(tb == 'N' ? n : k), specials);
      const int ldc = std::max(1, m);
      std::vector<C> want = values(std::size_t(ldc) * std::size_t(n), specials);
      // zelt's output: C(i, j) at got[i rs + j ldc rs], the gaps filled
      std::vector<C> got(want.size() * std::size_t(rs), C(-7, 7));
      for (std::size_t e = 0; e < want.size(); ++e) got[e * std::size_t(rs)] = want[e];
      const std::vector<C> before = got;

      reference_gemm<R>()(&ta, &tb, &m, &n, &k, &alpha, a.data(), &lda, b.data(), &ldb, &beta, want.data(),
                          &ldc, 1, 1);
      using zelt::detail::conj_ref;
      using zelt::detail::mref;
      const auto op = [](char t, const std::vector<C>& x, int ld) {
        const mref<C> stored{const_cast<C*>(x.data()), 1, ld};
        return conj_ref<C>{t == 'N' ? stored : stored.t(), t == 'C'};
      };
      const mref<C> c{got.data(), rs, std::ptrdiff_t{ldc} * rs};
      ZELT_KERNEL_CALL(complex_gemm_ref(zelt::threads(threads), ta != 'N', std::size_t(m), std::size_t(n),
                                        std::size_t(k), alpha, op(ta, a, lda), op(tb, b, ldb), beta, c));

      for (std::size_t e = 0; e < got.size(); ++e) {
        const bool output = e % std::size_t(rs) == 0;
        const C expected = output ? want[e / std::size_t(rs)] : before[e];
        if (!same(got[e], expected))
          return zelt_test::describe("gemm", ta, tb, m, n, k, alpha, beta, rs, threads, specials, e, got[e],
                                     expected);
      }
    }
    return "";
  }

 private:
  int draw(int count) { return std::uniform_int_distribution<int>(0, count - 1)(gen_); }
  int pick(const std::vector<int>& sizes) { return sizes[std::size_t(draw(int(sizes.size())))]; }
  static bool same(C x, C y) {
    return zelt_test::same_part(x.real(), y.real()) && zelt_test::same_part(x.imag(), y.imag());
  }
  R part() { return std::ldexp(R(std::uniform_real_distribution<double>(-2, 2)(gen_)), draw(7) - 3); }
  R special() {
    constexpr R inf = std::numeric_limits<R>::infinity();
    const R all[] = {
        R(0), -R(0), inf, -inf, std::numeric_limits<R>::quiet_NaN(), std::numeric_limits<R>::denorm_min()};
    return all[draw(6)];
  }
  // About `specials` parts in a hundred special.
  std::vector<C> values(std::size_t count, int specials) {
    std::vector<C> v(count);
    for (C& x : v) {
      const R re = specials > draw(100) ? special() : part();
      x = C(re, specials > draw(100) ? special() : part());
    }
    return v;
  }
  // 0 (either sign of imaginary zero), 1, -1, i, real, or any
  C scalar() {
    switch (draw(7)) {
      case 0:
        return C(0, draw(2) == 0 ? R(0) : -R(0));
      case 1:
        return C(1, 0);
      case 2:
        return C(-1, 0);
      case 3:
        return C(0, 1);
      case 4:
        return C(part(), 0);
      default:
        return C(part(), part());
    }
  }

  std::mt19937_64 gen_;
};

// Sizes about the register tile (up to 16 rows and 8 columns), and beyond
// the real blocks (128 steps, 160 rows) or, built with tiny blocks, well
// beyond them.
#if defined(ZELT_TINY_BLOCKS)
const std::vector<int> sizes = {0, 1, 2, 3, 7, 8, 9, 15, 16, 17, 33, 40};
constexpr int trials = 300;
#else
const std::vector<int> sizes = {0, 1, 3, 8, 9, 16, 17, 129, 170};
constexpr int trials = 40;
#endif

template <class R>
void expect_reference_bits(unsigned threads, std::uint64_t seed) {
  ASSERT_NE(reference_gemm<R>(), nullptr) << "reference BLAS not found at " << ZELT_REFERENCE_BLAS;
  EXPECT_EQ(gemm_trials<R>(seed).run(sizes, trials, threads), "");
}

TEST(ComplexEngine, OneThreadGivesTheReferenceBits) { expect_reference_bits<double>(1, 1); }
TEST(ComplexEngine, SingleOneThreadGivesTheReferenceBits) { expect_reference_bits<float>(1, 1); }
TEST(ComplexEngine, TwoAndThreeThreadsGiveTheSameBits) {
  expect_reference_bits<double>(2, 2);
  expect_reference_bits<float>(3, 3);
}
// Short of memory, the engine packs into the workspace's own small buffers
// and sums its chains a few columns at a time: slower, the same bits.
TEST(ComplexEngine, LittleMemoryGivesTheSameBits) {
  zelt_test::short_of_memory([] {
    expect_reference_bits<double>(1, 4);
    expect_reference_bits<float>(2, 5);
  });
}

}  // namespace
