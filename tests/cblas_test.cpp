// libzelt_blas.so's C interface against the reference CBLAS (libblas3), both
// opened by path: every bit in both layouts, every exported name, and every
// argument error reported with the reference's parameter number and routine
// name. The reference's error handler ends the program, so its reports are
// taken in death tests; the library's returns and leaves the outputs alone.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <limits>
#include <random>
#include <string>
#include <vector>

#include "blas_harness.hpp"
#include "blas_impls.hpp"
#include "zelt/zelt_cblas.h"

namespace {

using zelt_test::shared_library;

const shared_library& reference() {
  static const shared_library lib(ZELT_REFERENCE_BLAS);
  return lib;
}
const shared_library& zelt_blas() {
  static const shared_library lib(ZELT_BLAS_LIBRARY);
  return lib;
}

// Calls `name` of `lib` with the prototype the header gives it.
#define ZELT_CALL(lib, name, ...) ((lib).template symbol<decltype(&::name)>(#name)(__VA_ARGS__))

// The harness on libzelt_blas.so's cblas_ functions of element type T
// against libblas3's.
template <class T, class Run>
void expect_reference_bits(std::uint64_t seed, long at_least, Run run) {
  ASSERT_TRUE(reference().loaded() && zelt_blas().loaded());
  const zelt_test::reference_cblas<T> ref(reference()), impl(zelt_blas());
  ASSERT_TRUE(ref.complete() && impl.complete());
  zelt_test::harness_options options;
  options.row_major = true;
  options.nonpositive_inc = true;
  options.seed = seed;
  zelt_test::harness<T> h(ref, impl, options);
  const zelt_test::tally t = run(h);
  EXPECT_GT(t.calls, at_least);
  EXPECT_EQ(t.differing, 0) << "of " << t.calls << " calls";
  for (const auto& what : t.first) ADD_FAILURE() << "differs: " << what;
}

TEST(CblasLibrary, Level1And2GiveTheReferenceBitsInBothLayouts) {
  expect_reference_bits<double>(31, 100000, [](auto& h) { return h.run(); });
}
TEST(CblasLibrary, Level3GivesTheReferenceBitsInBothLayouts) {
  expect_reference_bits<double>(32, 2 * 600 * 6 - 1, [](auto& h) { return h.run_level3(600); });
}
TEST(CblasLibrary, SingleLevel1And2GiveTheReferenceBitsInBothLayouts) {
  expect_reference_bits<float>(31, 100000, [](auto& h) { return h.run(); });
}
TEST(CblasLibrary, SingleLevel3GivesTheReferenceBitsInBothLayouts) {
  expect_reference_bits<float>(32, 2 * 600 * 6 - 1, [](auto& h) { return h.run_level3(600); });
}

bool same_bits(double a, double b) {
  if (std::isnan(a) && std::isnan(b)) return true;
  std::uint64_t x, y;
  std::memcpy(&x, &a, sizeof x);
  std::memcpy(&y, &b, sizeof y);
  return x == y;
}

// dzasum, dznrm2 and dcabs1, Fortran and C, on complex vectors of every
// magnitude, with positive, negative and zero increments.
TEST(CblasLibrary, ComplexNormsGiveTheReferenceBits) {
  ASSERT_TRUE(reference().loaded() && zelt_blas().loaded());
  for (const char* name : {"dznrm2_", "dzasum_", "dcabs1_", "cblas_dznrm2", "cblas_dzasum", "cblas_dcabs1"}) {
    ASSERT_NE(zelt_blas().symbol<void*>(name), nullptr) << name;
  }
  std::mt19937_64 gen(33);
  std::uniform_int_distribution<int> exponent(-1074, 1023), near(-40, 40), size(0, 12), pick(0, 30);
  std::uniform_real_distribution<double> mantissa(1, 2);
  const int incs[] = {1, 2, 3, -1, -2, 0};
  long compared = 0;
  for (int trial = 0; trial < 6000; ++trial) {
    const int n = size(gen), inc = incs[trial % 6];
    const int centre = exponent(gen);
    std::vector<double> z(2 * static_cast<std::size_t>(n > 0 ? n : 1) * 3 + 2);
    for (double& e : z) {
      const int k = pick(gen);
      if (k == 0) {
        e = std::numeric_limits<double>::infinity();
      } else if (k == 1) {
        e = std::numeric_limits<double>::quiet_NaN();
      } else if (k == 2) {
        e = -0.0;
      } else {
        const int x = centre + near(gen);
        e = (k % 2 ? -1 : 1) * std::ldexp(mantissa(gen), x < -1074 ? -1074 : (x > 1023 ? 1023 : x));
      }
    }
    const double* p = z.data();
    EXPECT_TRUE(
        same_bits(ZELT_CALL(reference(), dznrm2_, &n, p, &inc), ZELT_CALL(zelt_blas(), dznrm2_, &n, p, &inc)))
        << "dznrm2_ n " << n << " inc " << inc << " centre " << centre;
    EXPECT_TRUE(
        same_bits(ZELT_CALL(reference(), dzasum_, &n, p, &inc), ZELT_CALL(zelt_blas(), dzasum_, &n, p, &inc)))
        << "dzasum_ n " << n << " inc " << inc;
    EXPECT_TRUE(same_bits(ZELT_CALL(reference(), cblas_dznrm2, n, p, inc),
                          ZELT_CALL(zelt_blas(), cblas_dznrm2, n, p, inc)));
    EXPECT_TRUE(same_bits(ZELT_CALL(reference(), cblas_dzasum, n, p, inc),
                          ZELT_CALL(zelt_blas(), cblas_dzasum, n, p, inc)));
    EXPECT_TRUE(same_bits(ZELT_CALL(reference(), dcabs1_, p + 1), ZELT_CALL(zelt_blas(), dcabs1_, p + 1)));
    EXPECT_TRUE(same_bits(ZELT_CALL(reference(), cblas_dcabs1, p), ZELT_CALL(zelt_blas(), cblas_dcabs1, p)));
    compared += 6;
  }
  EXPECT_EQ(compared, 36000);
}

// ---- Exported names ----------------------------------------------------------

// Every double-precision real cblas_ name of the reference 3.11.0 CBLAS,
// cblas_idamax and cblas_xerbla; the Fortran helpers; the two data symbols.
const char* const exported_names[] = {
    "cblas_dasum",  "cblas_daxpy",  "cblas_dcabs1",  "cblas_dcopy",  "cblas_ddot",     "cblas_dgbmv",
    "cblas_dgemm",  "cblas_dgemv",  "cblas_dger",    "cblas_dnrm2",  "cblas_drot",     "cblas_drotg",
    "cblas_drotm",  "cblas_drotmg", "cblas_dsbmv",   "cblas_dscal",  "cblas_dsdot",    "cblas_dspmv",
    "cblas_dspr",   "cblas_dspr2",  "cblas_dswap",   "cblas_dsymm",  "cblas_dsymv",    "cblas_dsyr",
    "cblas_dsyr2",  "cblas_dsyr2k", "cblas_dsyrk",   "cblas_dtbmv",  "cblas_dtbsv",    "cblas_dtpmv",
    "cblas_dtpsv",  "cblas_dtrmm",  "cblas_dtrmv",   "cblas_dtrsm",  "cblas_dtrsv",    "cblas_dzasum",
    "cblas_dznrm2", "cblas_idamax", "cblas_xerbla",  "dzasum_",      "dznrm2_",        "dcabs1_",
    "lsame_",       "xerbla_",      "xerbla_array_", "RowMajorStrg", "CBLAS_CallFromC"};

TEST(CblasLibrary, ExportsEveryNameTheReferenceDoes) {
  ASSERT_TRUE(reference().loaded() && zelt_blas().loaded());
  EXPECT_EQ(std::size(exported_names), 47u);
  for (const char* name : exported_names) {
    EXPECT_NE(reference().symbol<void*>(name), nullptr) << name << " is not the reference's";
    EXPECT_NE(zelt_blas().symbol<void*>(name), nullptr) << name << " is missing";
  }
}

TEST(CblasLibrary, FortranHelpersBehaveAsTheReferences) {
  ASSERT_TRUE(zelt_blas().loaded());
  for (const shared_library* lib : {&reference(), &zelt_blas()}) {
    EXPECT_TRUE(ZELT_CALL(*lib, lsame_, "u", "U", 1, 1));
    EXPECT_TRUE(ZELT_CALL(*lib, lsame_, "T", "t", 1, 1));
    EXPECT_TRUE(ZELT_CALL(*lib, lsame_, "N", "Nonsense", 1, 8));
    EXPECT_FALSE(ZELT_CALL(*lib, lsame_, "N", "T", 1, 1));
    EXPECT_FALSE(ZELT_CALL(*lib, lsame_, "[", "{", 1, 1));  // 32 apart, not letters
  }
  // the name cut or padded to 32 characters, reported through xerbla_
  const int info = 3, length = 5, long_length = 40;
  testing::internal::CaptureStderr();
  ZELT_CALL(zelt_blas(), xerbla_array_, "DGEMMX", &length, &info, 1);
  EXPECT_EQ(testing::internal::GetCapturedStderr(),
            " ** On entry to DGEMM parameter number  3 had an illegal value\n");
  const std::string long_name(40, 'Q');
  testing::internal::CaptureStderr();
  ZELT_CALL(zelt_blas(), xerbla_array_, long_name.c_str(), &long_length, &info, 1);
  EXPECT_EQ(testing::internal::GetCapturedStderr(),
            " ** On entry to " + std::string(32, 'Q') + " parameter number  3 had an illegal value\n");
}

TEST(CblasLibrary, IdamaxIsZeroBasedAndZeroForNone) {
  ASSERT_TRUE(zelt_blas().loaded());
  const double x[5] = {1, -7, 7, 2, -8};
  for (const shared_library* lib : {&reference(), &zelt_blas()}) {
    EXPECT_EQ(ZELT_CALL(*lib, cblas_idamax, 5, x, 1), 4u);
    EXPECT_EQ(ZELT_CALL(*lib, cblas_idamax, 4, x, 1), 1u);
    EXPECT_EQ(ZELT_CALL(*lib, cblas_idamax, 3, x, 2), 2u);
    EXPECT_EQ(ZELT_CALL(*lib, cblas_idamax, 0, x, 1), 0u);
    EXPECT_EQ(ZELT_CALL(*lib, cblas_idamax, 5, x, -1), 0u);
  }
}

// ---- Argument errors ---------------------------------------------------------

// A call with a bad argument, made on either library; every output buffer it
// could write is in `outputs`.
struct bad_call {
  std::string what;
  std::function<void(const shared_library&)> call;
};

constexpr int bad = 100;  // a value of no enum, within the range of each
const auto row = CblasRowMajor, col = CblasColMajor;
const auto bad_layout = static_cast<CBLAS_LAYOUT>(bad);
const auto bad_trans = static_cast<CBLAS_TRANSPOSE>(bad);
const auto bad_uplo = static_cast<CBLAS_UPLO>(bad);
const auto bad_diag = static_cast<CBLAS_DIAG>(bad);
const auto bad_side = static_cast<CBLAS_SIDE>(bad);
const auto N = CblasNoTrans, T = CblasTrans;
const auto U = CblasUpper, L = CblasLower;
const auto NU = CblasNonUnit;
const auto LS = CblasLeft, RS = CblasRight;

// Inputs for every call; the outputs start as 9s and must stay so.
std::vector<double> inputs(64, 1.0);
std::vector<double> outputs(64, 9.0);
const double* a() { return inputs.data(); }
double* out() { return outputs.data(); }

// Level 2 and 3 calls with one bad argument each (sometimes several: the
// first in the reference's order must be the one reported), in both layouts.
std::vector<bad_call> bad_calls() {
  std::vector<bad_call> v;
  auto add = [&v](std::string what, std::function<void(const shared_library&)> call) {
    v.push_back({std::move(what), std::move(call)});
  };
  for (const CBLAS_LAYOUT o : {bad_layout, col, row}) {
    const std::string in = o == row ? " row" : (o == col ? " col" : " bad layout");
    const bool r = o == row;
    // dgemv: M, N exchanged in the row-major Fortran call
    add("gemv trans" + in,
        [o](auto& l) { ZELT_CALL(l, cblas_dgemv, o, bad_trans, 2, 2, 1, a(), 2, a(), 1, 0, out(), 1); });
    add("gemv M" + in,
        [o](auto& l) { ZELT_CALL(l, cblas_dgemv, o, N, -1, 2, 1, a(), 2, a(), 1, 0, out(), 1); });
    add("gemv N" + in,
        [o](auto& l) { ZELT_CALL(l, cblas_dgemv, o, T, 2, -1, 1, a(), 2, a(), 1, 0, out(), 1); });
    add("gemv M N" + in,
        [o](auto& l) { ZELT_CALL(l, cblas_dgemv, o, T, -1, -1, 1, a(), 2, a(), 1, 0, out(), 1); });
    add("gemv lda" + in,
        [o](auto& l) { ZELT_CALL(l, cblas_dgemv, o, N, 3, 2, 1, a(), 2, a(), 1, 0, out(), 1); });
    add("gemv lda'" + in,
        [o](auto& l) { ZELT_CALL(l, cblas_dgemv, o, T, 2, 3, 1, a(), 2, a(), 1, 0, out(), 1); });
    add("gemv incx" + in,
        [o](auto& l) { ZELT_CALL(l, cblas_dgemv, o, N, 2, 2, 1, a(), 2, a(), 0, 0, out(), 1); });
    add("gemv incy" + in,
        [o](auto& l) { ZELT_CALL(l, cblas_dgemv, o, N, 2, 2, 1, a(), 2, a(), 1, 0, out(), 0); });
    // dgbmv: M, N and KL, KU exchanged
    add("gbmv trans" + in, [o](auto& l) {
      ZELT_CALL(l, cblas_dgbmv, o, bad_trans, 2, 2, 0, 0, 1, a(), 1, a(), 1, 0, out(), 1);
    });
    add("gbmv M" + in,
        [o](auto& l) { ZELT_CALL(l, cblas_dgbmv, o, N, -1, 2, 0, 0, 1, a(), 1, a(), 1, 0, out(), 1); });
    add("gbmv N" + in,
        [o](auto& l) { ZELT_CALL(l, cblas_dgbmv, o, N, 2, -1, 0, 0, 1, a(), 1, a(), 1, 0, out(), 1); });
    add("gbmv KL" + in,
        [o](auto& l) { ZELT_CALL(l, cblas_dgbmv, o, N, 2, 2, -1, 0, 1, a(), 1, a(), 1, 0, out(), 1); });
    add("gbmv KU" + in,
        [o](auto& l) { ZELT_CALL(l, cblas_dgbmv, o, N, 2, 2, 0, -1, 1, a(), 1, a(), 1, 0, out(), 1); });
    add("gbmv KL KU" + in,
        [o](auto& l) { ZELT_CALL(l, cblas_dgbmv, o, N, 2, 2, -1, -1, 1, a(), 1, a(), 1, 0, out(), 1); });
    add("gbmv lda" + in,
        [o](auto& l) { ZELT_CALL(l, cblas_dgbmv, o, N, 2, 2, 1, 1, 1, a(), 2, a(), 1, 0, out(), 1); });
    add("gbmv incx" + in,
        [o](auto& l) { ZELT_CALL(l, cblas_dgbmv, o, N, 2, 2, 0, 0, 1, a(), 1, a(), 0, 0, out(), 1); });
    add("gbmv incy" + in,
        [o](auto& l) { ZELT_CALL(l, cblas_dgbmv, o, N, 2, 2, 0, 0, 1, a(), 1, a(), 1, 0, out(), 0); });
    // symmetric
    add("symv uplo" + in,
        [o](auto& l) { ZELT_CALL(l, cblas_dsymv, o, bad_uplo, 2, 1, a(), 2, a(), 1, 0, out(), 1); });
    add("symv N" + in, [o](auto& l) { ZELT_CALL(l, cblas_dsymv, o, U, -1, 1, a(), 2, a(), 1, 0, out(), 1); });
    add("symv lda" + in,
        [o](auto& l) { ZELT_CALL(l, cblas_dsymv, o, L, 2, 1, a(), 1, a(), 1, 0, out(), 1); });
    add("symv incx" + in,
        [o](auto& l) { ZELT_CALL(l, cblas_dsymv, o, L, 2, 1, a(), 2, a(), 0, 0, out(), 1); });
    add("symv incy" + in,
        [o](auto& l) { ZELT_CALL(l, cblas_dsymv, o, L, 2, 1, a(), 2, a(), 1, 0, out(), 0); });
    add("sbmv uplo" + in,
        [o](auto& l) { ZELT_CALL(l, cblas_dsbmv, o, bad_uplo, 2, 0, 1, a(), 1, a(), 1, 0, out(), 1); });
    add("sbmv N" + in,
        [o](auto& l) { ZELT_CALL(l, cblas_dsbmv, o, U, -1, 0, 1, a(), 1, a(), 1, 0, out(), 1); });
    add("sbmv K" + in,
        [o](auto& l) { ZELT_CALL(l, cblas_dsbmv, o, U, 2, -1, 1, a(), 1, a(), 1, 0, out(), 1); });
    add("sbmv lda" + in,
        [o](auto& l) { ZELT_CALL(l, cblas_dsbmv, o, U, 2, 1, 1, a(), 1, a(), 1, 0, out(), 1); });
    add("sbmv incx" + in,
        [o](auto& l) { ZELT_CALL(l, cblas_dsbmv, o, U, 2, 1, 1, a(), 2, a(), 0, 0, out(), 1); });
    add("sbmv incy" + in,
        [o](auto& l) { ZELT_CALL(l, cblas_dsbmv, o, U, 2, 1, 1, a(), 2, a(), 1, 0, out(), 0); });
    add("spmv uplo" + in,
        [o](auto& l) { ZELT_CALL(l, cblas_dspmv, o, bad_uplo, 2, 1, a(), a(), 1, 0, out(), 1); });
    add("spmv N" + in, [o](auto& l) { ZELT_CALL(l, cblas_dspmv, o, L, -1, 1, a(), a(), 1, 0, out(), 1); });
    add("spmv incx" + in, [o](auto& l) { ZELT_CALL(l, cblas_dspmv, o, L, 2, 1, a(), a(), 0, 0, out(), 1); });
    add("spmv incy" + in, [o](auto& l) { ZELT_CALL(l, cblas_dspmv, o, L, 2, 1, a(), a(), 1, 0, out(), 0); });
    // triangular
    add("trmv uplo" + in,
        [o](auto& l) { ZELT_CALL(l, cblas_dtrmv, o, bad_uplo, bad_trans, NU, 2, a(), 2, out(), 1); });
    add("trmv trans" + in,
        [o](auto& l) { ZELT_CALL(l, cblas_dtrmv, o, U, bad_trans, bad_diag, 2, a(), 2, out(), 1); });
    add("trmv diag" + in,
        [o](auto& l) { ZELT_CALL(l, cblas_dtrmv, o, U, N, bad_diag, -1, a(), 2, out(), 1); });
    add("trmv N" + in, [o](auto& l) { ZELT_CALL(l, cblas_dtrmv, o, U, N, NU, -1, a(), 0, out(), 1); });
    add("trmv lda" + in, [o](auto& l) { ZELT_CALL(l, cblas_dtrmv, o, U, N, NU, 2, a(), 1, out(), 0); });
    add("trmv incx" + in, [o](auto& l) { ZELT_CALL(l, cblas_dtrmv, o, L, T, NU, 2, a(), 2, out(), 0); });
    add("trsv trans" + in,
        [o](auto& l) { ZELT_CALL(l, cblas_dtrsv, o, L, bad_trans, NU, 2, a(), 2, out(), 1); });
    add("trsv lda" + in, [o](auto& l) { ZELT_CALL(l, cblas_dtrsv, o, L, T, NU, 2, a(), 1, out(), 1); });
    add("trsv incx" + in, [o](auto& l) { ZELT_CALL(l, cblas_dtrsv, o, L, T, NU, 2, a(), 2, out(), 0); });
    if (!r) {  // the reference's row-major text names the Uplo; see below
      add("tbmv diag" + in,
          [o](auto& l) { ZELT_CALL(l, cblas_dtbmv, o, U, N, bad_diag, 2, 0, a(), 1, out(), 1); });
    }
    add("tbmv K" + in, [o](auto& l) { ZELT_CALL(l, cblas_dtbmv, o, U, N, NU, 2, -1, a(), 1, out(), 1); });
    add("tbmv lda" + in, [o](auto& l) { ZELT_CALL(l, cblas_dtbmv, o, U, N, NU, 2, 1, a(), 1, out(), 1); });
    add("tbmv incx" + in, [o](auto& l) { ZELT_CALL(l, cblas_dtbmv, o, U, N, NU, 2, 1, a(), 2, out(), 0); });
    add("tbsv N" + in, [o](auto& l) { ZELT_CALL(l, cblas_dtbsv, o, U, T, NU, -1, 0, a(), 1, out(), 1); });
    add("tbsv lda" + in, [o](auto& l) { ZELT_CALL(l, cblas_dtbsv, o, U, T, NU, 2, 2, a(), 2, out(), 1); });
    add("tpmv N" + in, [o](auto& l) { ZELT_CALL(l, cblas_dtpmv, o, U, N, NU, -1, a(), out(), 1); });
    add("tpmv incx" + in, [o](auto& l) { ZELT_CALL(l, cblas_dtpmv, o, U, N, NU, 2, a(), out(), 0); });
    add("tpsv diag" + in, [o](auto& l) { ZELT_CALL(l, cblas_dtpsv, o, U, N, bad_diag, 2, a(), out(), 1); });
    add("tpsv incx" + in, [o](auto& l) { ZELT_CALL(l, cblas_dtpsv, o, U, N, NU, 2, a(), out(), 0); });
    // rank 1 and 2: dger exchanges M, N and x, y
    add("ger M" + in, [o](auto& l) { ZELT_CALL(l, cblas_dger, o, -1, 2, 1, a(), 1, a(), 1, out(), 2); });
    add("ger N" + in, [o](auto& l) { ZELT_CALL(l, cblas_dger, o, 2, -1, 1, a(), 1, a(), 1, out(), 2); });
    add("ger incx" + in, [o](auto& l) { ZELT_CALL(l, cblas_dger, o, 2, 2, 1, a(), 0, a(), 1, out(), 2); });
    add("ger incy" + in, [o](auto& l) { ZELT_CALL(l, cblas_dger, o, 2, 2, 1, a(), 1, a(), 0, out(), 2); });
    add("ger incx incy" + in,
        [o](auto& l) { ZELT_CALL(l, cblas_dger, o, 2, 2, 1, a(), 0, a(), 0, out(), 2); });
    add("ger lda" + in, [o](auto& l) { ZELT_CALL(l, cblas_dger, o, 3, 2, 1, a(), 1, a(), 1, out(), 2); });
    add("ger lda'" + in, [o](auto& l) { ZELT_CALL(l, cblas_dger, o, 2, 3, 1, a(), 1, a(), 1, out(), 2); });
    add("syr uplo" + in, [o](auto& l) { ZELT_CALL(l, cblas_dsyr, o, bad_uplo, 2, 1, a(), 1, out(), 2); });
    add("syr N" + in, [o](auto& l) { ZELT_CALL(l, cblas_dsyr, o, U, -1, 1, a(), 1, out(), 2); });
    add("syr incx" + in, [o](auto& l) { ZELT_CALL(l, cblas_dsyr, o, U, 2, 1, a(), 0, out(), 2); });
    add("syr lda" + in, [o](auto& l) { ZELT_CALL(l, cblas_dsyr, o, U, 2, 1, a(), 1, out(), 1); });
    add("spr N" + in, [o](auto& l) { ZELT_CALL(l, cblas_dspr, o, L, -1, 1, a(), 1, out()); });
    add("spr incx" + in, [o](auto& l) { ZELT_CALL(l, cblas_dspr, o, L, 2, 1, a(), 0, out()); });
    add("syr2 uplo" + in,
        [o](auto& l) { ZELT_CALL(l, cblas_dsyr2, o, bad_uplo, 2, 1, a(), 1, a(), 1, out(), 2); });
    add("syr2 incy" + in, [o](auto& l) { ZELT_CALL(l, cblas_dsyr2, o, U, 2, 1, a(), 1, a(), 0, out(), 2); });
    add("syr2 lda" + in, [o](auto& l) { ZELT_CALL(l, cblas_dsyr2, o, U, 2, 1, a(), 1, a(), 1, out(), 1); });
    add("spr2 uplo" + in,
        [o](auto& l) { ZELT_CALL(l, cblas_dspr2, o, bad_uplo, 2, 1, a(), 1, a(), 1, out()); });
    add("spr2 incx" + in, [o](auto& l) { ZELT_CALL(l, cblas_dspr2, o, U, 2, 1, a(), 0, a(), 1, out()); });
    add("spr2 incy" + in, [o](auto& l) { ZELT_CALL(l, cblas_dspr2, o, U, 2, 1, a(), 1, a(), 0, out()); });
    // dgemm: A and B, M and N exchanged in the row-major Fortran call
    add("gemm transa" + in, [o](auto& l) {
      ZELT_CALL(l, cblas_dgemm, o, bad_trans, bad_trans, 2, 2, 2, 1, a(), 2, a(), 2, 0, out(), 2);
    });
    if (!r) {  // the reference numbers a bad TransB 2 in row-major; see below
      add("gemm transb" + in, [o](auto& l) {
        ZELT_CALL(l, cblas_dgemm, o, N, bad_trans, 2, 2, 2, 1, a(), 2, a(), 2, 0, out(), 2);
      });
    }
    add("gemm M" + in,
        [o](auto& l) { ZELT_CALL(l, cblas_dgemm, o, N, N, -1, 2, 2, 1, a(), 2, a(), 2, 0, out(), 2); });
    add("gemm N" + in,
        [o](auto& l) { ZELT_CALL(l, cblas_dgemm, o, N, N, 2, -1, 2, 1, a(), 2, a(), 2, 0, out(), 2); });
    add("gemm M N" + in,
        [o](auto& l) { ZELT_CALL(l, cblas_dgemm, o, N, T, -1, -1, 2, 1, a(), 2, a(), 2, 0, out(), 2); });
    add("gemm K" + in,
        [o](auto& l) { ZELT_CALL(l, cblas_dgemm, o, T, N, 2, 2, -1, 1, a(), 2, a(), 2, 0, out(), 2); });
    add("gemm lda" + in,
        [o](auto& l) { ZELT_CALL(l, cblas_dgemm, o, N, N, 3, 3, 3, 1, a(), 2, a(), 3, 0, out(), 3); });
    add("gemm lda'" + in,
        [o](auto& l) { ZELT_CALL(l, cblas_dgemm, o, T, N, 2, 2, 3, 1, a(), 2, a(), 3, 0, out(), 3); });
    add("gemm ldb" + in,
        [o](auto& l) { ZELT_CALL(l, cblas_dgemm, o, N, N, 3, 3, 3, 1, a(), 3, a(), 2, 0, out(), 3); });
    add("gemm ldb'" + in,
        [o](auto& l) { ZELT_CALL(l, cblas_dgemm, o, N, T, 2, 3, 2, 1, a(), 2, a(), 2, 0, out(), 3); });
    add("gemm lda ldb" + in,
        [o](auto& l) { ZELT_CALL(l, cblas_dgemm, o, N, N, 3, 3, 3, 1, a(), 2, a(), 2, 0, out(), 3); });
    add("gemm ldc" + in,
        [o](auto& l) { ZELT_CALL(l, cblas_dgemm, o, N, N, 3, 2, 2, 1, a(), 3, a(), 2, 0, out(), 2); });
    add("gemm ldc'" + in,
        [o](auto& l) { ZELT_CALL(l, cblas_dgemm, o, N, N, 2, 3, 2, 1, a(), 2, a(), 3, 0, out(), 2); });
    // dsymm, dtrmm, dtrsm: M and N exchanged
    add("symm side" + in, [o](auto& l) {
      ZELT_CALL(l, cblas_dsymm, o, bad_side, bad_uplo, 2, 2, 1, a(), 2, a(), 2, 0, out(), 2);
    });
    add("symm uplo" + in,
        [o](auto& l) { ZELT_CALL(l, cblas_dsymm, o, LS, bad_uplo, 2, 2, 1, a(), 2, a(), 2, 0, out(), 2); });
    add("symm M" + in,
        [o](auto& l) { ZELT_CALL(l, cblas_dsymm, o, LS, U, -1, 2, 1, a(), 2, a(), 2, 0, out(), 2); });
    add("symm N" + in,
        [o](auto& l) { ZELT_CALL(l, cblas_dsymm, o, RS, U, 2, -1, 1, a(), 2, a(), 2, 0, out(), 2); });
    add("symm lda" + in,
        [o](auto& l) { ZELT_CALL(l, cblas_dsymm, o, LS, U, 3, 2, 1, a(), 2, a(), 3, 0, out(), 3); });
    add("symm lda'" + in,
        [o](auto& l) { ZELT_CALL(l, cblas_dsymm, o, RS, L, 2, 3, 1, a(), 2, a(), 3, 0, out(), 3); });
    add("symm ldb" + in,
        [o](auto& l) { ZELT_CALL(l, cblas_dsymm, o, LS, U, 2, 2, 1, a(), 2, a(), 1, 0, out(), 2); });
    add("symm ldc" + in,
        [o](auto& l) { ZELT_CALL(l, cblas_dsymm, o, LS, U, 2, 2, 1, a(), 2, a(), 2, 0, out(), 1); });
    add("symm ldc'" + in,
        [o](auto& l) { ZELT_CALL(l, cblas_dsymm, o, RS, U, 2, 3, 1, a(), 3, a(), 3, 0, out(), 2); });
    if (!r) {  // the reference numbers a bad Uplo 3 in row-major; see below
      add("syrk uplo" + in,
          [o](auto& l) { ZELT_CALL(l, cblas_dsyrk, o, bad_uplo, bad_trans, 2, 2, 1, a(), 2, 0, out(), 2); });
      add("syr2k uplo" + in,
          [o](auto& l) { ZELT_CALL(l, cblas_dsyr2k, o, bad_uplo, N, 2, 2, 1, a(), 2, a(), 2, 0, out(), 2); });
    }
    add("syrk trans" + in,
        [o](auto& l) { ZELT_CALL(l, cblas_dsyrk, o, U, bad_trans, 2, 2, 1, a(), 2, 0, out(), 2); });
    add("syrk N" + in, [o](auto& l) { ZELT_CALL(l, cblas_dsyrk, o, U, N, -1, 2, 1, a(), 2, 0, out(), 2); });
    add("syrk K" + in, [o](auto& l) { ZELT_CALL(l, cblas_dsyrk, o, U, T, 2, -1, 1, a(), 2, 0, out(), 2); });
    add("syrk lda" + in, [o](auto& l) { ZELT_CALL(l, cblas_dsyrk, o, U, N, 3, 2, 1, a(), 2, 0, out(), 3); });
    add("syrk lda'" + in, [o](auto& l) { ZELT_CALL(l, cblas_dsyrk, o, L, T, 2, 3, 1, a(), 2, 0, out(), 3); });
    add("syrk ldc" + in, [o](auto& l) { ZELT_CALL(l, cblas_dsyrk, o, L, T, 3, 3, 1, a(), 3, 0, out(), 2); });
    add("syr2k trans" + in,
        [o](auto& l) { ZELT_CALL(l, cblas_dsyr2k, o, L, bad_trans, 2, 2, 1, a(), 2, a(), 2, 0, out(), 2); });
    add("syr2k lda" + in,
        [o](auto& l) { ZELT_CALL(l, cblas_dsyr2k, o, L, N, 3, 2, 1, a(), 2, a(), 3, 0, out(), 3); });
    add("syr2k ldb" + in,
        [o](auto& l) { ZELT_CALL(l, cblas_dsyr2k, o, L, T, 2, 3, 1, a(), 3, a(), 2, 0, out(), 3); });
    add("syr2k ldc" + in,
        [o](auto& l) { ZELT_CALL(l, cblas_dsyr2k, o, U, N, 3, 2, 1, a(), 3, a(), 3, 0, out(), 2); });
    add("syr2k K" + in,
        [o](auto& l) { ZELT_CALL(l, cblas_dsyr2k, o, U, N, 2, -1, 1, a(), 2, a(), 2, 0, out(), 2); });
    for (const char* name : {"cblas_dtrmm", "cblas_dtrsm"}) {
      // one prototype for both
      auto t = [name](const shared_library& l) { return l.symbol<decltype(&::cblas_dtrmm)>(name); };
      add(std::string(name) + " side" + in,
          [o, t](auto& l) { t(l)(o, bad_side, bad_uplo, N, NU, 2, 2, 1, a(), 2, out(), 2); });
      add(std::string(name) + " uplo" + in,
          [o, t](auto& l) { t(l)(o, LS, bad_uplo, N, NU, 2, 2, 1, a(), 2, out(), 2); });
      add(std::string(name) + " trans" + in,
          [o, t](auto& l) { t(l)(o, LS, U, bad_trans, bad_diag, 2, 2, 1, a(), 2, out(), 2); });
      add(std::string(name) + " diag" + in,
          [o, t](auto& l) { t(l)(o, RS, U, T, bad_diag, 2, 2, 1, a(), 2, out(), 2); });
      add(std::string(name) + " M" + in,
          [o, t](auto& l) { t(l)(o, LS, U, N, NU, -1, 2, 1, a(), 2, out(), 2); });
      add(std::string(name) + " N" + in,
          [o, t](auto& l) { t(l)(o, RS, U, N, NU, 2, -1, 1, a(), 2, out(), 2); });
      add(std::string(name) + " lda" + in,
          [o, t](auto& l) { t(l)(o, LS, L, N, NU, 3, 2, 1, a(), 2, out(), 3); });
      add(std::string(name) + " lda'" + in,
          [o, t](auto& l) { t(l)(o, RS, L, T, NU, 2, 3, 1, a(), 2, out(), 3); });
      add(std::string(name) + " ldb" + in,
          [o, t](auto& l) { t(l)(o, LS, U, N, NU, 2, 3, 1, a(), 3, out(), 2); });
      add(std::string(name) + " ldb'" + in,
          [o, t](auto& l) { t(l)(o, RS, U, N, NU, 3, 2, 1, a(), 3, out(), 2); });
    }
  }
  return v;
}

// The regular expression of a report: the reference passes the names the
// Fortran routines report with their blank padding, which the library drops.
std::string as_pattern(const std::string& report) {
  std::string p;
  for (const char ch : report) {
    if (ch == '\n') {
      p += "\\s*";
    } else {
      p += ch;
    }
  }
  const auto was = p.find(" was incorrect");
  if (was != std::string::npos) p.insert(was, " *");
  return p;
}

// Calls on the library: the report printed, and when there is one, nothing
// written.
std::string report_of(const bad_call& c) {
  std::fill(outputs.begin(), outputs.end(), 9.0);
  testing::internal::CaptureStderr();
  c.call(zelt_blas());
  std::string report = testing::internal::GetCapturedStderr();
  if (!report.empty()) {
    for (const double e : outputs) EXPECT_EQ(e, 9.0) << c.what << " wrote its output";
  }
  return report;
}

// Some calls are bad in one layout only (a leading dimension too small for
// the rows of one and the columns of the other): the reference must then
// accept the call too.
TEST(CblasLibraryDeathTest, ArgumentErrorsAreReportedAsTheReferenceDoes) {
  ASSERT_TRUE(reference().loaded() && zelt_blas().loaded());
  GTEST_FLAG_SET(death_test_style, "fast");
  const auto calls = bad_calls();
  std::size_t reports = 0;
  for (const bad_call& c : calls) {
    const std::string report = report_of(c);
    if (report.empty()) {
      EXPECT_EXIT((c.call(reference()), std::_Exit(0)), testing::ExitedWithCode(0), "") << c.what;
      continue;
    }
    ++reports;
    ASSERT_EQ(report.rfind("Parameter ", 0), 0u) << c.what << ": " << report;
    // the reference reports the same and ends the program
    EXPECT_EXIT(c.call(reference()), testing::ExitedWithCode(255), as_pattern(report)) << c.what;
  }
  EXPECT_GT(reports, 300u);
  EXPECT_LT(reports, calls.size());
}

// A few reports spelled out, the numbers of the C arguments in both layouts.
TEST(CblasLibrary, ReportsNameTheCArguments) {
  ASSERT_TRUE(zelt_blas().loaded());
  auto report = [](std::function<void(const shared_library&)> f) { return report_of({"", std::move(f)}); };
  for (const CBLAS_LAYOUT o : {col, row}) {
    EXPECT_EQ(
        report([o](auto& l) { ZELT_CALL(l, cblas_dgemv, o, N, 2, -1, 1, a(), 2, a(), 1, 0, out(), 1); }),
        "Parameter 4 to routine cblas_dgemv was incorrect\n");
    EXPECT_EQ(report([o](auto& l) {
                ZELT_CALL(l, cblas_dgbmv, o, N, 2, 2, 0, -1, 1, a(), 1, a(), 1, 0, out(), 1);
              }),
              "Parameter 6 to routine cblas_dgbmv was incorrect\n");
    EXPECT_EQ(report([o](auto& l) { ZELT_CALL(l, cblas_dger, o, 2, 2, 1, a(), 1, a(), 0, out(), 2); }),
              "Parameter 8 to routine cblas_dger was incorrect\n");
    EXPECT_EQ(
        report([o](auto& l) { ZELT_CALL(l, cblas_dgemm, o, N, N, 2, 2, 2, 1, a(), 2, a(), 1, 0, out(), 2); }),
        "Parameter 11 to routine cblas_dgemm was incorrect\n");
    EXPECT_EQ(
        report([o](auto& l) { ZELT_CALL(l, cblas_dtrsm, o, RS, U, N, NU, 2, -1, 1, a(), 2, out(), 2); }),
        "Parameter 7 to routine cblas_dtrsm was incorrect\n");
    EXPECT_EQ(report([o](auto& l) { ZELT_CALL(l, cblas_dtbsv, o, U, N, NU, 2, 1, a(), 1, out(), 1); }),
              "Parameter 8 to routine cblas_dtbsv was incorrect\n");
    // where the reference's row-major numbers are not the C argument's, the
    // library's are: TransB is argument 3, Uplo argument 2
    EXPECT_EQ(report([o](auto& l) {
                ZELT_CALL(l, cblas_dgemm, o, N, bad_trans, 2, 2, 2, 1, a(), 2, a(), 2, 0, out(), 2);
              }),
              "Parameter 3 to routine cblas_dgemm was incorrect\nIllegal TransB setting, 100\n");
    EXPECT_EQ(
        report([o](auto& l) { ZELT_CALL(l, cblas_dsyrk, o, bad_uplo, N, 2, 2, 1, a(), 2, 0, out(), 2); }),
        "Parameter 2 to routine cblas_dsyrk was incorrect\nIllegal Uplo setting, 100\n");
    EXPECT_EQ(report([o](auto& l) {
                ZELT_CALL(l, cblas_dsyr2k, o, bad_uplo, T, 2, 2, 1, a(), 2, a(), 2, 0, out(), 2);
              }),
              "Parameter 2 to routine cblas_dsyr2k was incorrect\nIllegal Uplo setting, 100\n");
    EXPECT_EQ(report([o](auto& l) { ZELT_CALL(l, cblas_dtbmv, o, U, N, bad_diag, 2, 0, a(), 1, out(), 1); }),
              "Parameter 4 to routine cblas_dtbmv was incorrect\nIllegal Diag setting, 100\n");
  }
  EXPECT_EQ(
      report([](auto& l) { ZELT_CALL(l, cblas_dsymv, bad_layout, U, 2, 1, a(), 2, a(), 1, 0, out(), 1); }),
      "Parameter 1 to routine cblas_dsymv was incorrect\nIllegal layout setting, 100\n");
  // the flags are left as they were found
  EXPECT_EQ(*zelt_blas().symbol<int*>("RowMajorStrg"), 0);
  EXPECT_EQ(*zelt_blas().symbol<int*>("CBLAS_CallFromC"), 0);
}

}  // namespace
