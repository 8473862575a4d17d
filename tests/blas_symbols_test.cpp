// libzelt_blas.so's Fortran symbols against the reference BLAS's (libblas3),
// both opened by path: every bit must agree, the Fortran conventions
// included (increments <= 0 in dscal, dasum and idamax, 1-based idamax).
// Then the reference's argument checks through xerbla_.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "blas_harness.hpp"
#include "blas_impls.hpp"

namespace {

// The harness on libzelt_blas.so's Fortran symbols of element type T against
// libblas3's: run(h) runs some of it and returns the tally, which must have
// no difference.
template <class T, class Run>
void expect_reference_bits(std::uint64_t seed, bool nonpositive_inc, long at_least, Run run) {
  const zelt_test::shared_library reference(ZELT_REFERENCE_BLAS), zelt_blas(ZELT_BLAS_LIBRARY);
  ASSERT_TRUE(reference.loaded() && zelt_blas.loaded());
  const zelt_test::fortran_symbols<T> ref(reference), impl(zelt_blas);
  ASSERT_TRUE(ref.complete() && impl.complete());
  zelt_test::harness_options options;
  options.row_major = false;
  options.nonpositive_inc = nonpositive_inc;
  options.seed = seed;
  zelt_test::harness<T> h(ref, impl, options);
  const zelt_test::tally t = run(h);
  EXPECT_GT(t.calls, at_least);
  EXPECT_EQ(t.differing, 0) << "of " << t.calls << " calls";
  for (const auto& what : t.first) ADD_FAILURE() << "differs: " << what;
}

TEST(BlasLibrary, FortranSymbolsGiveTheReferenceBits) {
  expect_reference_bits<double>(21, true, 50000, [](auto& h) { return h.run(); });
}
TEST(BlasLibrary, SingleFortranSymbolsGiveTheReferenceBits) {
  expect_reference_bits<float>(21, true, 50000, [](auto& h) { return h.run(); });
}

using gemv_fn = void (*)(const char*, const int*, const int*, const double*, const double*, const int*,
                         const double*, const int*, const double*, double*, const int*, std::size_t);
using trsv_fn = void (*)(const char*, const char*, const char*, const int*, const double*, const int*,
                         double*, const int*, std::size_t, std::size_t, std::size_t);

TEST(BlasLibrary, IllegalArgumentsAreReportedAsTheReferenceDoesAndChangeNothing) {
  const zelt_test::shared_library zelt_blas(ZELT_BLAS_LIBRARY);
  const auto dgemv = zelt_blas.symbol<gemv_fn>("dgemv_");
  const auto dtrsv = zelt_blas.symbol<trsv_fn>("dtrsv_");
  ASSERT_TRUE(dgemv && dtrsv);
  const double a[4] = {1, 2, 3, 4}, x[2] = {1, 1}, alpha = 1, beta = 0;
  double y[2] = {7, 8};
  const int two = 2, one = 1, zero = 0, minus = -1;
  struct bad_call {
    const char* trans;
    const int *m, *n, *lda, *incx, *incy;
    const char* message;
  };
  const bad_call calls[] = {
      {"X", &two, &two, &two, &one, &one, " ** On entry to DGEMV parameter number  1 had an illegal value\n"},
      {"N", &minus, &two, &two, &one, &one,
       " ** On entry to DGEMV parameter number  2 had an illegal value\n"},
      {"t", &two, &minus, &two, &one, &one,
       " ** On entry to DGEMV parameter number  3 had an illegal value\n"},
      {"N", &two, &two, &one, &one, &one, " ** On entry to DGEMV parameter number  6 had an illegal value\n"},
      {"N", &two, &two, &two, &zero, &one,
       " ** On entry to DGEMV parameter number  8 had an illegal value\n"},
      {"C", &two, &two, &two, &one, &zero,
       " ** On entry to DGEMV parameter number 11 had an illegal value\n"},
  };
  for (const bad_call& c : calls) {
    testing::internal::CaptureStderr();
    dgemv(c.trans, c.m, c.n, &alpha, a, c.lda, x, c.incx, &beta, y, c.incy, 1);
    EXPECT_EQ(testing::internal::GetCapturedStderr(), c.message);
    EXPECT_EQ(y[0], 7);  // untouched, even with beta = 0
    EXPECT_EQ(y[1], 8);
  }
  testing::internal::CaptureStderr();
  double b[2] = {1, 2};
  dtrsv("U", "N", "Q", &two, a, &two, b, &one, 1, 1, 1);
  EXPECT_EQ(testing::internal::GetCapturedStderr(),
            " ** On entry to DTRSV parameter number  3 had an illegal value\n");
  EXPECT_EQ(b[0], 1);
  // lower-case flags are accepted, as LSAME does
  dgemv("n", &two, &two, &alpha, a, &two, x, &one, &beta, y, &one, 1);
  EXPECT_EQ(y[0], 4);
  EXPECT_EQ(y[1], 6);
}
}  // namespace

namespace {

// Run once per thread count by CTest, with ZELT_NUM_THREADS set.
TEST(BlasLibrary3, Level3SymbolsGiveTheReferenceBits) {
  expect_reference_bits<double>(22, false, 1500L * 6 - 1, [](auto& h) { return h.run_level3(1500); });
}
TEST(BlasLibrary3, SingleLevel3SymbolsGiveTheReferenceBits) {
  expect_reference_bits<float>(22, false, 1500L * 6 - 1, [](auto& h) { return h.run_level3(1500); });
}

}  // namespace

namespace {

using gemm_fn = void (*)(const char*, const char*, const int*, const int*, const int*, const double*,
                         const double*, const int*, const double*, const int*, const double*, double*,
                         const int*, std::size_t, std::size_t);
using syr2k_fn = void (*)(const char*, const char*, const int*, const int*, const double*, const double*,
                          const int*, const double*, const int*, const double*, double*, const int*,
                          std::size_t, std::size_t);
using trsm_fn = void (*)(const char*, const char*, const char*, const char*, const int*, const int*,
                         const double*, const double*, const int*, double*, const int*, std::size_t,
                         std::size_t, std::size_t, std::size_t);

std::string message(const char* name, int number) {
  char text[96];
  std::snprintf(text, sizeof text, " ** On entry to %s parameter number %2d had an illegal value\n", name,
                number);
  return text;
}

// Several bad arguments at once: only the first, in the reference's order,
// is reported, and nothing is written (not even with beta = 0).
TEST(BlasLibrary3, TheFirstIllegalArgumentIsReportedAndNothingChanges) {
  const zelt_test::shared_library zelt_blas(ZELT_BLAS_LIBRARY);
  const auto dgemm = zelt_blas.symbol<gemm_fn>("dgemm_");
  const auto dsyr2k = zelt_blas.symbol<syr2k_fn>("dsyr2k_");
  const auto dtrsm = zelt_blas.symbol<trsm_fn>("dtrsm_");
  ASSERT_TRUE(dgemm && dsyr2k && dtrsm);
  const double a[9] = {1, 2, 3, 4, 5, 6, 7, 8, 9}, one = 1, zero = 0;
  double c[9] = {9, 9, 9, 9, 9, 9, 9, 9, 9};
  const int two = 2, three = 3, one_i = 1, minus = -1;
  auto expect = [&](const std::string& want, auto call) {
    testing::internal::CaptureStderr();
    call();
    EXPECT_EQ(testing::internal::GetCapturedStderr(), want);
    for (double e : c) EXPECT_EQ(e, 9);
  };
  expect(message("DGEMM", 1),
         [&] { dgemm("X", "Y", &minus, &two, &two, &one, a, &one_i, a, &two, &zero, c, &two, 1, 1); });
  expect(message("DGEMM", 2),
         [&] { dgemm("c", "Y", &two, &two, &two, &one, a, &two, a, &two, &zero, c, &two, 1, 1); });
  expect(message("DGEMM", 3),
         [&] { dgemm("N", "N", &minus, &minus, &two, &one, a, &two, a, &two, &zero, c, &two, 1, 1); });
  expect(message("DGEMM", 5),
         [&] { dgemm("N", "T", &two, &two, &minus, &one, a, &one_i, a, &two, &zero, c, &two, 1, 1); });
  expect(message("DGEMM", 8),
         [&] { dgemm("T", "N", &two, &two, &three, &one, a, &two, a, &one_i, &zero, c, &one_i, 1, 1); });
  expect(message("DGEMM", 10),
         [&] { dgemm("N", "t", &two, &three, &two, &one, a, &two, a, &two, &zero, c, &one_i, 1, 1); });
  expect(message("DSYR2K", 2),
         [&] { dsyr2k("U", "Q", &minus, &two, &one, a, &two, a, &two, &zero, c, &two, 1, 1); });
  expect(message("DSYR2K", 7),
         [&] { dsyr2k("l", "C", &two, &three, &one, a, &two, a, &one_i, &zero, c, &one_i, 1, 1); });
  expect(message("DSYR2K", 9),
         [&] { dsyr2k("L", "N", &two, &three, &one, a, &two, a, &one_i, &zero, c, &one_i, 1, 1); });
  expect(message("DSYR2K", 12),
         [&] { dsyr2k("U", "N", &two, &three, &one, a, &two, a, &two, &zero, c, &one_i, 1, 1); });
  expect(message("DTRSM", 4),
         [&] { dtrsm("L", "U", "N", "X", &minus, &two, &one, a, &one_i, c, &two, 1, 1, 1, 1); });
  expect(message("DTRSM", 6),
         [&] { dtrsm("R", "U", "C", "U", &two, &minus, &one, a, &one_i, c, &one_i, 1, 1, 1, 1); });
  expect(message("DTRSM", 9),
         [&] { dtrsm("R", "L", "T", "n", &two, &three, &one, a, &two, c, &one_i, 1, 1, 1, 1); });
  expect(message("DTRSM", 11),
         [&] { dtrsm("L", "L", "T", "n", &three, &two, &one, a, &three, c, &two, 1, 1, 1, 1); });
}

using gbmv_fn = void (*)(const char*, const int*, const int*, const int*, const int*, const double*,
                         const double*, const int*, const double*, const int*, const double*, double*,
                         const int*, std::size_t);
using tbsv_fn = void (*)(const char*, const char*, const char*, const int*, const int*, const double*,
                         const int*, double*, const int*, std::size_t, std::size_t, std::size_t);
using tpmv_fn = void (*)(const char*, const char*, const char*, const int*, const double*, double*,
                         const int*, std::size_t, std::size_t, std::size_t);
using spr2_fn = void (*)(const char*, const int*, const double*, const double*, const int*, const double*,
                         const int*, double*, std::size_t);

TEST(BlasLibrary, TheFirstIllegalBandOrPackedArgumentIsReportedAndNothingChanges) {
  const zelt_test::shared_library zelt_blas(ZELT_BLAS_LIBRARY);
  const auto dgbmv = zelt_blas.symbol<gbmv_fn>("dgbmv_");
  const auto dtbsv = zelt_blas.symbol<tbsv_fn>("dtbsv_");
  const auto dtpmv = zelt_blas.symbol<tpmv_fn>("dtpmv_");
  const auto dspr2 = zelt_blas.symbol<spr2_fn>("dspr2_");
  ASSERT_TRUE(dgbmv && dtbsv && dtpmv && dspr2);
  const double a[9] = {1, 2, 3, 4, 5, 6, 7, 8, 9}, one = 1;
  double y[9] = {9, 9, 9, 9, 9, 9, 9, 9, 9};
  const int two = 2, three = 3, one_i = 1, zero_i = 0, minus = -1;
  auto expect = [&](const std::string& want, auto call) {
    testing::internal::CaptureStderr();
    call();
    EXPECT_EQ(testing::internal::GetCapturedStderr(), want);
    for (double e : y) EXPECT_EQ(e, 9);
  };
  expect(message("DGBMV", 1),
         [&] { dgbmv("X", &minus, &two, &one_i, &one_i, &one, a, &three, a, &one_i, &one, y, &one_i, 1); });
  expect(message("DGBMV", 2),
         [&] { dgbmv("c", &minus, &minus, &one_i, &one_i, &one, a, &three, a, &one_i, &one, y, &one_i, 1); });
  expect(message("DGBMV", 4),
         [&] { dgbmv("n", &two, &two, &minus, &minus, &one, a, &three, a, &one_i, &one, y, &one_i, 1); });
  expect(message("DGBMV", 5),
         [&] { dgbmv("T", &two, &two, &one_i, &minus, &one, a, &one_i, a, &one_i, &one, y, &one_i, 1); });
  expect(message("DGBMV", 8),
         [&] { dgbmv("N", &two, &two, &one_i, &one_i, &one, a, &two, a, &zero_i, &one, y, &one_i, 1); });
  expect(message("DGBMV", 10),
         [&] { dgbmv("N", &two, &two, &one_i, &one_i, &one, a, &three, a, &zero_i, &one, y, &zero_i, 1); });
  expect(message("DGBMV", 13),
         [&] { dgbmv("N", &two, &two, &one_i, &one_i, &one, a, &three, a, &one_i, &one, y, &zero_i, 1); });
  expect(message("DTBSV", 3), [&] { dtbsv("U", "t", "X", &minus, &one_i, a, &two, y, &one_i, 1, 1, 1); });
  expect(message("DTBSV", 4), [&] { dtbsv("L", "N", "u", &minus, &minus, a, &two, y, &one_i, 1, 1, 1); });
  expect(message("DTBSV", 5), [&] { dtbsv("L", "N", "N", &two, &minus, a, &zero_i, y, &one_i, 1, 1, 1); });
  expect(message("DTBSV", 7), [&] { dtbsv("U", "C", "N", &two, &two, a, &two, y, &zero_i, 1, 1, 1); });
  expect(message("DTBSV", 9), [&] { dtbsv("U", "N", "N", &two, &one_i, a, &two, y, &zero_i, 1, 1, 1); });
  expect(message("DTPMV", 2), [&] { dtpmv("l", "Q", "Q", &minus, a, y, &zero_i, 1, 1, 1); });
  expect(message("DTPMV", 4), [&] { dtpmv("u", "n", "n", &minus, a, y, &zero_i, 1, 1, 1); });
  expect(message("DTPMV", 7), [&] { dtpmv("u", "T", "U", &two, a, y, &zero_i, 1, 1, 1); });
  expect(message("DSPR2", 1), [&] { dspr2("N", &minus, &one, a, &zero_i, a, &zero_i, y, 1); });
  expect(message("DSPR2", 5), [&] { dspr2("L", &two, &one, a, &zero_i, a, &zero_i, y, 1); });
  expect(message("DSPR2", 7), [&] { dspr2("U", &two, &one, a, &one_i, a, &zero_i, y, 1); });
}

}  // namespace
