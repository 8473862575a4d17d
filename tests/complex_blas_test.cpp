// zelt's complex operations against the reference BLAS (libblas3, loaded by
// path), through the C++ interface and, where the library is built, through
// libzelt_blas.so's Fortran symbols: every bit must agree.
#include <gtest/gtest.h>

#include <complex>
#include <cstddef>
#include <cstdint>
#include <limits>
#include <random>

#include "complex_harness.hpp"
#include "kernel_set_env.hpp"
#include "zelt/blas1.hpp"

namespace {

using zelt_test::complex_routines;

const zelt_test::shared_library& reference_library() {
  static const zelt_test::shared_library lib(ZELT_REFERENCE_BLAS);
  return lib;
}

void expect_no_differences(const zelt_test::tally& t) {
  EXPECT_GT(t.calls, 10000);
  EXPECT_EQ(t.differing, 0) << "of " << t.calls << " calls";
  for (const auto& what : t.first) ADD_FAILURE() << "differs: " << what;
}

// Calls f with the view of the n elements of p with increment inc, from the
// far end when inc < 0; `strided_unit` makes increment 1 a strided_vec too.
template <class E, class F>
auto with_vector(int n, E* p, int inc, bool strided_unit, F f) {
  const auto length = static_cast<unsigned>(n < 0 ? 0 : n);
  if (inc == 1 && !strided_unit) return f(zelt::external_vec<E, 0, unsigned>(p, length, 0));
  E* first = inc < 0 && n > 0 ? p + static_cast<std::ptrdiff_t>(n - 1) * -inc : p;
  return f(zelt::strided_vec<E, unsigned>(first, length, inc));
}

// zelt's C++ interface behind the Fortran signatures, with the Fortran
// routines' quick returns (the views take no increment <= 0 where the
// routines return at once).
template <class R, bool Strided>
complex_routines<R> cpp_routines() {
  using C = std::complex<R>;
  complex_routines<R> r;
  r.dotu = [](const int* n, const C* x, const int* incx, const C* y, const int* incy) {
    if (*n <= 0) return C(0, 0);
    return with_vector(*n, x, *incx, Strided, [&](auto vx) {
      return with_vector(*n, y, *incy, Strided, [&](auto vy) { return zelt::dot(vx, vy); });
    });
  };
  r.dotc = [](const int* n, const C* x, const int* incx, const C* y, const int* incy) {
    if (*n <= 0) return C(0, 0);
    return with_vector(*n, x, *incx, Strided, [&](auto vx) {
      return with_vector(*n, y, *incy, Strided, [&](auto vy) { return zelt::dotc(vx, vy); });
    });
  };
  r.axpy = [](const int* n, const C* alpha, const C* x, const int* incx, C* y, const int* incy) {
    if (*n <= 0) return;
    with_vector(*n, x, *incx, Strided, [&](auto vx) {
      with_vector(*n, y, *incy, Strided, [&](auto vy) { zelt::axpy(*alpha, vx, vy); });
    });
  };
  r.scal = [](const int* n, const C* alpha, C* x, const int* incx) {
    if (*n <= 0 || *incx <= 0) return;
    with_vector(*n, x, *incx, Strided, [&](auto vx) { zelt::scal(*alpha, vx); });
  };
  r.real_scal = [](const int* n, const R* alpha, C* x, const int* incx) {
    if (*n <= 0 || *incx <= 0) return;
    with_vector(*n, x, *incx, Strided, [&](auto vx) { zelt::scal(*alpha, vx); });
  };
  r.copy = [](const int* n, const C* x, const int* incx, C* y, const int* incy) {
    if (*n <= 0) return;
    with_vector(*n, x, *incx, Strided,
                [&](auto vx) { with_vector(*n, y, *incy, Strided, [&](auto vy) { zelt::copy(vx, vy); }); });
  };
  r.swap = [](const int* n, C* x, const int* incx, C* y, const int* incy) {
    if (*n <= 0) return;
    with_vector(*n, x, *incx, Strided, [&](auto vx) {
      with_vector(*n, y, *incy, Strided, [&](auto vy) { zelt::swap_elements(vx, vy); });
    });
  };
  r.iamax = [](const int* n, const C* x, const int* incx) {
    if (*n < 1 || *incx <= 0) return 0;
    return with_vector(*n, x, *incx, Strided, [](auto vx) { return static_cast<int>(zelt::iamax(vx)) + 1; });
  };
  r.asum = [](const int* n, const C* x, const int* incx) {
    if (*n <= 0 || *incx <= 0) return R(0);
    return with_vector(*n, x, *incx, Strided, [](auto vx) { return zelt::asum(vx); });
  };
  r.nrm2 = [](const int* n, const C* x, const int* incx) {
    if (*n <= 0) return R(0);
    return with_vector(*n, x, *incx, Strided, [](auto vx) { return zelt::nrm2(vx); });
  };
  r.rot = [](const int* n, C* x, const int* incx, C* y, const int* incy, const R* c, const R* s) {
    if (*n <= 0) return;
    with_vector(*n, x, *incx, Strided, [&](auto vx) {
      with_vector(*n, y, *incy, Strided, [&](auto vy) { zelt::rot(vx, vy, *c, *s); });
    });
  };
  r.rotg = [](C* a, const C* b, R* c, C* s) { zelt::rotg(*a, *b, *c, *s); };
  return r;
}

template <class R>
complex_routines<R> reference_routines() {
  EXPECT_TRUE(reference_library().loaded()) << "reference BLAS not found at " << ZELT_REFERENCE_BLAS;
  const complex_routines<R> ref = zelt_test::library_routines<R>(reference_library());
  EXPECT_TRUE(ref.complete());
  return ref;
}

template <class R, bool Strided>
void expect_cpp_reference_bits(std::uint64_t seed) {
  const complex_routines<R> ref = reference_routines<R>();
  ASSERT_TRUE(ref.complete());
  expect_no_differences(zelt_test::complex_harness<R>(ref, cpp_routines<R, Strided>(), seed).run());
}

TEST(ComplexBlas, CppInterfaceGivesTheReferenceBits) { expect_cpp_reference_bits<double, false>(21); }
TEST(ComplexBlas, SingleCppInterfaceGivesTheReferenceBits) { expect_cpp_reference_bits<float, false>(21); }
TEST(ComplexBlas, StridedViewsOfStrideOneGiveTheSameBits) { expect_cpp_reference_bits<double, true>(22); }
TEST(ComplexBlas, SingleStridedViewsOfStrideOneGiveTheSameBits) {
  expect_cpp_reference_bits<float, true>(22);
}

#if defined(ZELT_BLAS_LIBRARY)
template <class R>
void expect_library_reference_bits(std::uint64_t seed) {
  const complex_routines<R> ref = reference_routines<R>();
  ASSERT_TRUE(ref.complete());
  const zelt_test::shared_library library(ZELT_BLAS_LIBRARY);
  ASSERT_TRUE(library.loaded()) << ZELT_BLAS_LIBRARY;
  const complex_routines<R> zelt = zelt_test::library_routines<R>(library);
  ASSERT_TRUE(zelt.complete());
  expect_no_differences(zelt_test::complex_harness<R>(ref, zelt, seed).run());
}

TEST(ComplexBlasLibrary, FortranSymbolsGiveTheReferenceBits) { expect_library_reference_bits<double>(23); }
TEST(ComplexBlasLibrary, SingleFortranSymbolsGiveTheReferenceBits) {
  expect_library_reference_bits<float>(23);
}
#endif

// The quotient against the reference's own: x / a is what trsv of order 1
// computes for a non-zero x. Parts of every magnitude, and the specials, in
// both parts of both operands.
template <class R>
void expect_reference_quotients() {
  using C = std::complex<R>;
  using trsv_fn = void (*)(const char*, const char*, const char*, const int*, const C*, const int*, C*,
                           const int*, std::size_t, std::size_t, std::size_t);
  const auto trsv = reference_library().symbol<trsv_fn>(std::is_same_v<R, float> ? "ctrsv_" : "ztrsv_");
  ASSERT_NE(trsv, nullptr);
  std::mt19937_64 gen(31);
  constexpr int lo = std::numeric_limits<R>::min_exponent - std::numeric_limits<R>::digits;
  constexpr int hi = std::numeric_limits<R>::max_exponent - 1;
  const R specials[] = {R(0),
                        -R(0),
                        std::numeric_limits<R>::infinity(),
                        -std::numeric_limits<R>::infinity(),
                        std::numeric_limits<R>::quiet_NaN(),
                        std::numeric_limits<R>::denorm_min()};
  const auto part = [&] {
    const int pick = std::uniform_int_distribution<int>(0, 19)(gen);
    if (pick < 6) return specials[pick];
    const auto m = static_cast<R>(std::uniform_real_distribution<double>(-2, 2)(gen));
    // half of them near 1, where few quotients overflow or underflow
    const int e = pick < 13 ? std::uniform_int_distribution<int>(-8, 8)(gen)
                            : std::uniform_int_distribution<int>(lo, hi)(gen);
    return std::ldexp(m, e);
  };
  const int one = 1;
  long differing = 0;
  for (int trial = 0; trial < 200000; ++trial) {
    C a(part(), part()), x(part(), part());
    // now and then parts of equal magnitude, where the two ways part: the
    // signs of zero quotients tell them apart
    if (trial % 8 == 0) a = C(a.real(), trial % 16 == 0 ? a.real() : -a.real());
    if (trial % 24 == 0) x = C(x.real(), x.real());
    if (x == C(0, 0)) continue;  // trsv leaves a zero x alone
    C ref = x;
    trsv("U", "N", "N", &one, &a, &one, &ref, &one, 1, 1, 1);
    const C q = zelt::detail::div(x, a);
    if (!zelt_test::same_part(ref.real(), q.real()) || !zelt_test::same_part(ref.imag(), q.imag())) {
      if (++differing <= 5) ADD_FAILURE() << x << " / " << a << ": reference " << ref << ", zelt " << q;
    }
  }
  EXPECT_EQ(differing, 0);
}

TEST(ComplexArithmetic, QuotientsAreTheReferences) { expect_reference_quotients<double>(); }
TEST(ComplexArithmetic, SingleQuotientsAreTheReferences) { expect_reference_quotients<float>(); }

}  // namespace
