// The complex engine behind gemm, symm, hemm, syrk, herk, syr2k, her2k and
// trmm against the reference routines (libblas3, loaded by path):
// every pair of flags, sizes on both sides of the register tile and of the
// blocks, alpha and beta at their shortcuts, zeros, infinities and NaNs in
// real and imaginary parts (NaNs also where the reference reads nothing: the
// other triangle, hemm's imaginary diagonal), outputs whose rows are not
// contiguous, one to three threads and a workspace the allocator refuses.
// Built twice: with the real blocks and with tiny ones, which small matrices
// cross. The interfaces on top (views, flags, layouts, the library's
// symbols) are the complex harness's.
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

// The reference's complex Level 3 routines, by their Fortran types.
template <class R>
struct reference {
  using C = std::complex<R>;
  using ch = const char*;
  using ci = const int*;
  using cc = const C*;
  using gemm_t = void (*)(ch, ch, ci, ci, ci, cc, cc, ci, cc, ci, cc, C*, ci, std::size_t, std::size_t);
  using symm_t = void (*)(ch, ch, ci, ci, cc, cc, ci, cc, ci, cc, C*, ci, std::size_t, std::size_t);
  using syrk_t = void (*)(ch, ch, ci, ci, cc, cc, ci, cc, C*, ci, std::size_t, std::size_t);
  using herk_t = void (*)(ch, ch, ci, ci, const R*, cc, ci, const R*, C*, ci, std::size_t, std::size_t);
  using syr2k_t = void (*)(ch, ch, ci, ci, cc, cc, ci, cc, ci, cc, C*, ci, std::size_t, std::size_t);
  using her2k_t = void (*)(ch, ch, ci, ci, cc, cc, ci, cc, ci, const R*, C*, ci, std::size_t, std::size_t);
  using trmm_t = void (*)(ch, ch, ch, ch, ci, ci, cc, cc, ci, C*, ci, std::size_t, std::size_t, std::size_t,
                          std::size_t);

  template <class F>
  static F get(const char* name) {
    static const zelt_test::shared_library lib(ZELT_REFERENCE_BLAS);
    return lib.symbol<F>(std::string(sizeof(R) == 4 ? "c" : "z") + name + "_");
  }
};

enum class operation { gemm, symm, hemm, syrk, herk, syr2k, her2k, trmm };
constexpr operation operations[] = {operation::gemm, operation::symm,  operation::hemm,  operation::syrk,
                                    operation::herk, operation::syr2k, operation::her2k, operation::trmm};
const char* const operation_names[] = {"gemm", "symm", "hemm", "syrk", "herk", "syr2k", "her2k", "trmm"};

template <class R>
class engine_trials {
 public:
  using C = std::complex<R>;
  using ref = reference<R>;
  explicit engine_trials(std::uint64_t seed) : gen_(seed) {}

  /// `trials` calls of `op` with sizes drawn from `sizes` on `threads`
  /// threads; returns the first difference, or "" when every output is the
  /// reference's.
  std::string run(operation op, const std::vector<int>& sizes, int trials, unsigned threads) {
    for (int trial = 0; trial < trials; ++trial) {
      std::string what = trial_of(op, sizes, threads);
      if (!what.empty()) return what;
    }
    return "";
  }

 private:
  using conj_ref = zelt::detail::conj_ref<C>;
  using mref = zelt::detail::mref<C>;

  // One call: the reference's and zelt's on the same operands, compared.
  std::string trial_of(operation op, const std::vector<int>& sizes, unsigned threads) {
    const char flags[] = {'N', 'T', 'C'};
    const bool rank =
        op == operation::syrk || op == operation::herk || op == operation::syr2k || op == operation::her2k;
    const bool hermitian = op == operation::hemm || op == operation::herk || op == operation::her2k;
    const bool symmetric = op == operation::symm || op == operation::hemm;
    const bool triangular = op == operation::trmm;
    int m = pick(sizes), n = pick(sizes), k = pick(sizes);
    char ta = flags[draw(3)], tb = flags[draw(3)];
    const char uplo = draw(2) == 0 ? 'U' : 'L', side = draw(2) == 0 ? 'L' : 'R';
    if (rank) {
      m = n;
      ta = draw(2) == 0 ? 'N' : (hermitian ? 'C' : 'T');
    }
    if (symmetric || triangular) k = side == 'L' ? m : n;
    const char diag = draw(2) == 0 ? 'N' : 'U';
    // one trial in four with specials, planted sparsely enough that most
    // outputs stay finite
    const int specials = draw(4) == 0 ? 1 + draw(3) : 0;
    // and one in four with many zeros in the operands, which the reference
    // skips as multipliers (an infinity beside them shows a term not skipped)
    const int zeros = specials > 0 && draw(2) == 0 ? 40 : 0;
    const C alpha = scalar(), beta = hermitian && op != operation::hemm ? C(scalar().real()) : scalar();
    const int rs = draw(3) == 0 ? 2 : 1;  // the output's row step
    // a (b) is ra x ca (rb x cb) as stored
    const bool square = symmetric || triangular, a_rows_k = !square && ta != 'N';
    const int ra = square ? k : (a_rows_k ? k : m), ca = square ? k : (a_rows_k ? m : k);
    const int rb = symmetric || rank ? (rank && ta != 'N' ? k : m) : (tb == 'N' ? k : n);
    const int cb = symmetric ? n : (rank ? (ta != 'N' ? n : k) : (tb == 'N' ? n : k));
    const int lda = std::max(1, ra) + draw(2), ldb = std::max(1, rb) + draw(2), ldc = std::max(1, m);
    std::vector<C> a = values(std::size_t(lda) * std::size_t(ca), specials, zeros),
                   b = values(std::size_t(ldb) * std::size_t(cb), specials, zeros);
    if (square) {
      // the triangle that is not read is NaN, as are hemm's diagonal's
      // imaginary parts and a unit diagonal
      const auto at = [&](int i, int j) -> C& {
        return a[std::size_t(i) + std::size_t(j) * std::size_t(lda)];
      };
      for (int j = 0; j < k; ++j)
        for (int i = 0; i < k; ++i)
          if (uplo == 'U' ? i > j : i < j) at(i, j) = C(nan, nan);
      for (int j = 0; j < k; ++j) {
        if (hermitian) at(j, j).imag(nan);
        if (triangular && diag == 'U') at(j, j) = C(nan, nan);
      }
    }
    std::vector<C> want = values(std::size_t(ldc) * std::size_t(n), specials, zeros);
    // zelt's output: C(i, j) at got[i rs + j ldc rs], the gaps filled
    std::vector<C> got(want.size() * std::size_t(rs), C(-7, 7));
    for (std::size_t e = 0; e < want.size(); ++e) got[e * std::size_t(rs)] = want[e];
    const std::vector<C> before = got;

    const C *pa = a.data(), *pb = b.data();
    C* pw = want.data();
    const R ar = alpha.real(), br = beta.real();
    const mref sa{a.data(), 1, lda}, sb{b.data(), 1, ldb};
    const mref c{got.data(), rs, std::ptrdiff_t{ldc} * rs};
    // the logical operand of a rank-k update: n x k, conjugated for 'C'
    const conj_ref la{ta == 'N' ? sa : sa.t(), ta == 'C'}, lb{ta == 'N' ? sb : sb.t(), ta == 'C'};
    const auto um = std::size_t(m), un = std::size_t(n), uk = std::size_t(k);
    const zelt::threads policy(threads);
    const bool upper = uplo == 'U', trans = ta != 'N';
    switch (op) {
      case operation::gemm: {
        ref::template get<typename ref::gemm_t>("gemm")(&ta, &tb, &m, &n, &k, &alpha, pa, &lda, pb, &ldb,
                                                        &beta, pw, &ldc, 1, 1);
        const auto of = [](char t, mref x) { return conj_ref{t == 'N' ? x : x.t(), t == 'C'}; };
        ZELT_KERNEL_CALL(complex_gemm_ref(policy, trans, um, un, uk, alpha, of(ta, sa), of(tb, sb), beta, c));
        break;
      }
      case operation::symm:
      case operation::hemm:
        ref::template get<typename ref::symm_t>(hermitian ? "hemm" : "symm")(
            &side, &uplo, &m, &n, &alpha, pa, &lda, pb, &ldb, &beta, pw, &ldc, 1, 1);
        ZELT_KERNEL_CALL(complex_symm_ref(policy, hermitian, side == 'L', upper, um, un, alpha,
                                          conj_ref{sa, false}, conj_ref{sb, false}, beta, c));
        break;
      case operation::syrk:
        ref::template get<typename ref::syrk_t>("syrk")(&uplo, &ta, &n, &k, &alpha, pa, &lda, &beta, pw, &ldc,
                                                        1, 1);
        ZELT_KERNEL_CALL(complex_rank_k_ref(policy, false, upper, trans, un, uk, alpha, la, beta, c));
        break;
      case operation::herk:
        ref::template get<typename ref::herk_t>("herk")(&uplo, &ta, &n, &k, &ar, pa, &lda, &br, pw, &ldc, 1,
                                                        1);
        ZELT_KERNEL_CALL(complex_rank_k_ref(policy, true, upper, trans, un, uk, C(ar), la, C(br), c));
        break;
      case operation::syr2k:
        ref::template get<typename ref::syr2k_t>("syr2k")(&uplo, &ta, &n, &k, &alpha, pa, &lda, pb, &ldb,
                                                          &beta, pw, &ldc, 1, 1);
        ZELT_KERNEL_CALL(complex_rank_2k_ref(policy, false, upper, trans, un, uk, alpha, la, lb, beta, c));
        break;
      case operation::her2k:
        ref::template get<typename ref::her2k_t>("her2k")(&uplo, &ta, &n, &k, &alpha, pa, &lda, pb, &ldb, &br,
                                                          pw, &ldc, 1, 1);
        ZELT_KERNEL_CALL(complex_rank_2k_ref(policy, true, upper, trans, un, uk, alpha, la, lb, C(br), c));
        break;
      case operation::trmm:
        ref::template get<typename ref::trmm_t>("trmm")(&side, &uplo, &ta, &diag, &m, &n, &alpha, pa, &lda,
                                                        pw, &ldc, 1, 1, 1, 1);
        ZELT_KERNEL_CALL(complex_trmm_ref(policy, side == 'L', upper, trans, diag == 'U', um, un, alpha,
                                          conj_ref{sa, ta == 'C'}, c));
        break;
    }
    for (std::size_t e = 0; e < got.size(); ++e) {
      const bool output = e % std::size_t(rs) == 0;
      const C expected = output ? want[e / std::size_t(rs)] : before[e];
      if (!same(got[e], expected))
        return zelt_test::describe(operation_names[int(op)], ta, tb, side, uplo, diag, m, n, k, alpha, beta,
                                   rs, threads, specials, e, got[e], expected);
    }
    return "";
  }

  static constexpr R nan = std::numeric_limits<R>::quiet_NaN();
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
  // About `specials` parts in a hundred special, `zeros` elements in a
  // hundred zero.
  std::vector<C> values(std::size_t count, int specials, int zeros = 0) {
    std::vector<C> v(count);
    for (C& x : v) {
      if (zeros > draw(100)) {
        x = C(draw(2) == 0 ? R(0) : -R(0), draw(2) == 0 ? R(0) : -R(0));
        continue;
      }
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
const std::vector<int> trial_sizes = {0, 1, 2, 3, 7, 8, 9, 15, 16, 17, 33, 40};
constexpr int trials = 300;
#else
const std::vector<int> trial_sizes = {0, 1, 3, 8, 9, 16, 17, 129, 170};
constexpr int trials = 40;
#endif

template <class R>
void expect_reference_bits(unsigned threads, std::uint64_t seed,
                           const std::vector<int>& sizes = trial_sizes) {
  ASSERT_NE(reference<R>::template get<typename reference<R>::gemm_t>("gemm"), nullptr)
      << "reference BLAS not found at " << ZELT_REFERENCE_BLAS;
  for (const operation op : operations)
    EXPECT_EQ(engine_trials<R>(seed).run(op, sizes, op == operation::gemm ? trials : trials / 2, threads),
              "");
}

TEST(ComplexEngine, OneThreadGivesTheReferenceBits) { expect_reference_bits<double>(1, 1); }
TEST(ComplexEngine, SingleOneThreadGivesTheReferenceBits) { expect_reference_bits<float>(1, 1); }
TEST(ComplexEngine, TwoAndThreeThreadsGiveTheSameBits) {
  expect_reference_bits<double>(2, 2);
  expect_reference_bits<float>(3, 3);
}
// Short of memory, the engine packs into the workspace's own small buffers
// and sums its chains a few columns at a time: slower, the same bits. (The
// sizes leave room for one column of sums, below which a call throws.)
TEST(ComplexEngine, LittleMemoryGivesTheSameBits) {
  std::vector<int> small;
  for (const int size : trial_sizes)
    if (size <= 100) small.push_back(size);
  zelt_test::short_of_memory([&] {
    expect_reference_bits<double>(1, 4, small);
    expect_reference_bits<float>(2, 5, small);
  });
}

}  // namespace
