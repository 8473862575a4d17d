#ifndef ZELT_TESTS_BLAS_HARNESS_HPP_
#define ZELT_TESTS_BLAS_HARNESS_HPP_

// The differential harness: every Level 1 and Level 2 operation run by two
// implementations on the same random inputs (sizes 0, 1, small, odd, large;
// positive, negative and zero increments; both layouts; padded leading
// dimensions; every flag; alpha and beta in {0, 1, -1, other}; zeros, signed
// zeros, infinities, NaN and subnormals planted in some runs), in one element
// type T, double or float. Every output buffer, padding and the gaps between
// strided elements included, and every returned value must agree in every
// bit; a NaN matches any NaN.
#include <cmath>
#include <cstdint>
#include <cstring>
#include <limits>
#include <random>
#include <string>
#include <type_traits>
#include <vector>

#include "blas_api.hpp"

namespace zelt_test {

struct harness_options {
  bool row_major = true;         // also the row-major layout (CBLAS-capable implementations)
  bool nonpositive_inc = false;  // scal, asum, iamax with increments <= 0 (the Fortran quick returns)
  std::uint64_t seed = 1;
};

// The edges of rotmg's rescaling window [rgamsq, gamsq], d1 and d2 being
// scaled by gam^2 = 4096^2 = 2^24 while outside it. The double reference's
// rgamsq is the decimal 5.9604645e-8, just above 2^-24, and its gamsq 2^24;
// the single-precision reference's are 5.96046e-8 and 1.67772e7 as floats,
// just below 2^-24 and 2^24.
template <class T>
struct rotmg_window;
template <>
struct rotmg_window<double> {
  static constexpr double edges[] = {0x1p-24, 5.9604645e-8, 0x1p+24};
};
template <>
struct rotmg_window<float> {
  static constexpr float edges[] = {0x1p-24f, 5.96046e-8f, 1.67772e7f, 0x1p+24f};
};

template <class T>
class harness {
 public:
  harness(const blas_api<T>& ref, const blas_api<T>& impl, harness_options options)
      : ref_(ref), impl_(impl), opt_(options), gen_(options.seed) {}

  tally run() {
    level1();
    rotations();
    level2();
    band_and_packed();
    return t_;
  }
  /// The Level 3 operations only, `trials` random calls of each per layout.
  tally run_level3(int trials) {
    level3(trials);
    return t_;
  }

 private:
  static bool same(T a, T b) { return same_part(a, b); }
  static bool same(const std::vector<T>& a, const std::vector<T>& b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i)
      if (!same(a[i], b[i])) return false;
    return true;
  }

  // The exponents of T's finite values, from the smallest subnormal's to the
  // largest finite value's: -1074..1023 for double, -149..127 for float.
  static constexpr int min_exponent = std::numeric_limits<T>::min_exponent - std::numeric_limits<T>::digits;
  static constexpr int max_exponent = std::numeric_limits<T>::max_exponent - 1;

  // m * 2^e in T for a mantissa m in [1, 2) (or (-2, 2)): m cut to T's
  // precision first, towards zero, so that it stays below 2 and the top
  // exponent gives no infinity; below T's normal range the result rounds to
  // a subnormal or zero.
  static T scaled(double m, int e) {
    auto t = static_cast<T>(m);
    if (std::abs(static_cast<double>(t)) > std::abs(m)) t = std::nextafter(t, T(0));
    return std::ldexp(t, e);
  }

  // A value of a few binades, so that products and sums round visibly; in
  // special runs now and then a zero of either sign, an infinity, a NaN, a
  // subnormal (a small multiple of the smallest, or just below the smallest
  // normal number).
  T value(bool specials) {
    std::uniform_real_distribution<double> mantissa(-2, 2);
    std::uniform_int_distribution<int> exponent(-3, 3);
    std::uniform_int_distribution<int> pick(0, 26);
    if (specials) {
      switch (pick(gen_)) {
        case 0:
          return T(0);
        case 1:
          return -T(0);
        case 2:
          return std::numeric_limits<T>::infinity();
        case 3:
          return -std::numeric_limits<T>::infinity();
        case 4:
          return std::numeric_limits<T>::quiet_NaN();
        case 5:
          return (coin(2) ? -1 : 1) * std::numeric_limits<T>::denorm_min() *
                 static_cast<T>(std::uniform_int_distribution<int>(1, 5)(gen_));
        case 6:
          return (coin(2) ? -1 : 1) * (std::numeric_limits<T>::min() -
                                       std::numeric_limits<T>::denorm_min() *
                                           static_cast<T>(std::uniform_int_distribution<int>(1, 3)(gen_)));
        default:
          break;
      }
    }
    return scaled(mantissa(gen_), exponent(gen_));
  }
  std::vector<T> buffer(std::size_t n, bool specials) {
    std::vector<T> b(n);
    for (T& x : b) x = value(specials);
    return b;
  }
  T scalar() {
    static const T choices[] = {T(0), T(1), T(-1), T(0.7), T(-2.5)};
    std::uniform_int_distribution<int> pick(0, 5);
    const int k = pick(gen_);
    return k < 5 ? choices[k] : value(false);
  }
  bool coin(int one_in) { return std::uniform_int_distribution<int>(0, one_in - 1)(gen_) == 0; }

  void level1() {
    const int sizes[] = {0, 1, 2, 3, 4, 5, 6, 7, 8, 11, 16, 17, 31, 100, 257};
    const int incs[] = {1, 1, 2, -1, -3, 0};
    for (int n : sizes) {
      for (int incx : incs) {
        for (int incy : incs) {
          for (int run = 0; run < 3; ++run) {
            const bool specials = run == 2;
            const T alpha = scalar();
            std::vector<T> x = buffer(span(n, incx), specials), y = buffer(span(n, incy), specials);
            const T* xp = x.data() + 2;
            auto yr = y, yi = y, xr = x, xi = x;
            t_.record(same(ref_.dot(n, xp, incx, y.data() + 2, incy),
                           impl_.dot(n, xi.data() + 2, incx, yi.data() + 2, incy)),
                      describe("dot", n, incx, incy, run));
            {
              // dsdot, or sdsdot with an sb of any kind, the specials included
              std::vector<float> fx(x.size()), fy(y.size());
              for (std::size_t k = 0; k < x.size(); ++k) fx[k] = static_cast<float>(x[k]);
              for (std::size_t k = 0; k < y.size(); ++k) fy[k] = static_cast<float>(y[k] * 3.0);
              T sb = 0;
              if constexpr (is_single<T>) sb = value(true);
              t_.record(same(ref_.mixed_dot(n, sb, fx.data() + 2, incx, fy.data() + 2, incy),
                             impl_.mixed_dot(n, sb, fx.data() + 2, incx, fy.data() + 2, incy)),
                        describe(mixed_dot_name<T>().c_str(), n, sb, incx, incy, run));
            }
            if (incy != 0) {
              ref_.axpy(n, alpha, xp, incx, yr.data() + 2, incy);
              impl_.axpy(n, alpha, xp, incx, yi.data() + 2, incy);
              t_.record(same(yr, yi), describe("axpy", n, alpha, incx, incy, run));
              yr = y, yi = y;
              ref_.copy(n, xp, incx, yr.data() + 2, incy);
              impl_.copy(n, xp, incx, yi.data() + 2, incy);
              t_.record(same(yr, yi), describe("copy", n, incx, incy, run));
            }
            if (incx != 0 && incy != 0) {
              yr = y, yi = y;
              ref_.swap(n, xr.data() + 2, incx, yr.data() + 2, incy);
              impl_.swap(n, xi.data() + 2, incx, yi.data() + 2, incy);
              t_.record(same(xr, xi) && same(yr, yi), describe("swap", n, incx, incy, run));
              xr = x, xi = x, yr = y, yi = y;
              const T c = value(specials), s = value(specials);
              ref_.rot(n, xr.data() + 2, incx, yr.data() + 2, incy, c, s);
              impl_.rot(n, xi.data() + 2, incx, yi.data() + 2, incy, c, s);
              t_.record(same(xr, xi) && same(yr, yi), describe("rot", n, incx, incy, c, s, run));
              for (T flag : {T(-2), T(-1), T(0), T(1)}) {
                xr = x, xi = x, yr = y, yi = y;
                const T param[5] = {flag, value(specials), value(specials), value(specials), value(specials)};
                ref_.rotm(n, xr.data() + 2, incx, yr.data() + 2, incy, param);
                impl_.rotm(n, xi.data() + 2, incx, yi.data() + 2, incy, param);
                t_.record(same(xr, xi) && same(yr, yi), describe("rotm", n, incx, incy, flag, run));
              }
            }
            if (incy == incs[0] && (incx > 0 || opt_.nonpositive_inc)) {
              xr = x, xi = x;
              ref_.scal(n, alpha, xr.data() + 2, incx);
              impl_.scal(n, alpha, xi.data() + 2, incx);
              t_.record(same(xr, xi), describe("scal", n, alpha, incx, run));
              t_.record(same(ref_.asum(n, xp, incx), impl_.asum(n, xp, incx)),
                        describe("asum", n, incx, run));
              t_.record(ref_.iamax(n, xp, incx) == impl_.iamax(n, xp, incx), describe("iamax", n, incx, run));
            }
            if (incy == incs[0]) {
              t_.record(same(ref_.nrm2(n, xp, incx), impl_.nrm2(n, xp, incx)),
                        describe("nrm2", n, incx, run));
            }
          }
        }
      }
    }
    // nrm2 across the whole exponent range, where its three accumulators and
    // their combinations all come into play
    std::uniform_int_distribution<int> exponent(min_exponent, max_exponent);
    std::uniform_real_distribution<double> mantissa(1, 2);
    for (int trial = 0; trial < 3000; ++trial) {
      const int n = 1 + trial % 9;
      std::vector<T> x(static_cast<std::size_t>(n));
      const int centre = exponent(gen_);
      for (T& e : x) {
        const int k = centre + std::uniform_int_distribution<int>(-60, 60)(gen_);
        e = (coin(2) ? -1 : 1) *
            scaled(mantissa(gen_), k < min_exponent ? min_exponent : (k > max_exponent ? max_exponent : k));
        if (coin(15)) e = value(true);
      }
      t_.record(same(ref_.nrm2(n, x.data(), 1), impl_.nrm2(n, x.data(), 1)),
                describe("nrm2 range", n, centre));
    }
  }

  // Inputs of any magnitude, both signs, and the specials.
  T wide(bool specials) {
    std::uniform_int_distribution<int> exponent(min_exponent, max_exponent);
    std::uniform_real_distribution<double> mantissa(1, 2);
    if (specials && coin(4)) return value(true);
    if (coin(3)) return value(false);
    return (coin(2) ? -1 : 1) * scaled(mantissa(gen_), exponent(gen_));
  }

  // Zero, or a value within about a fifth of T's exponent range (2^+-200
  // for double, 2^+-25 for float).
  T moderate() {
    constexpr int bound = std::numeric_limits<T>::max_exponent * 25 / 128;
    if (coin(10)) return coin(2) ? T(0) : -T(0);
    std::uniform_int_distribution<int> exponent(-bound, bound);
    std::uniform_real_distribution<double> mantissa(1, 2);
    return (coin(2) ? -1 : 1) * scaled(mantissa(gen_), exponent(gen_));
  }

  void rotmg_case(T d1, T d2, T x1, T y1) {
    T r[3] = {d1, d2, x1}, z[3] = {d1, d2, x1}, pr[5] = {9, 9, 9, 9, 9}, pz[5] = {9, 9, 9, 9, 9};
    ref_.rotmg(&r[0], &r[1], &r[2], y1, pr);
    impl_.rotmg(&z[0], &z[1], &z[2], y1, pz);
    bool ok = true;
    for (int k = 0; k < 3; ++k) ok = ok && same(r[k], z[k]);
    for (int k = 0; k < 5; ++k) ok = ok && same(pr[k], pz[k]);
    t_.record(ok, describe("rotmg", d1, d2, x1, y1));
  }

  void rotations() {
    // d1 and d2 at the edges of the rescaling window [rgamsq, gamsq] and
    // next to them; a tiny y1 keeps the update factor exactly 1, so the edge
    // values reach the window test.
    for (T edge : rotmg_window<T>::edges) {
      for (T d : {std::nextafter(edge, T(0)), edge, std::nextafter(edge, std::numeric_limits<T>::max())}) {
        rotmg_case(d, T(1), T(1), T(0x1p-40));  // |q1| > |q2|: d1 and d2 divided by u = 1
        rotmg_case(T(1), d, T(0x1p-40), T(1));  // |q1| <= |q2|: d1 and d2 exchange
      }
    }
    for (int trial = 0; trial < 20000; ++trial) {
      const bool specials = trial % 4 == 0;
      T a[2], b[2], c[2] = {7, 7}, s[2] = {7, 7};
      a[0] = a[1] = wide(specials);
      b[0] = b[1] = wide(specials);
      const T a0 = a[0], b0 = b[0];
      ref_.rotg(&a[0], &b[0], &c[0], &s[0]);
      impl_.rotg(&a[1], &b[1], &c[1], &s[1]);
      t_.record(same(a[0], a[1]) && same(b[0], b[1]) && same(c[0], c[1]) && same(s[0], s[1]),
                describe("rotg", a0, b0));

      // Finite and moderate, or zero: the reference's rescaling loop never
      // ends on an infinite d1 or d2, which larger inputs can produce.
      T d1[2], d2[2], x1[2], p[2][5];
      d1[0] = d1[1] = coin(5) ? -moderate() : std::abs(moderate());
      d2[0] = d2[1] = coin(8) ? -moderate() : std::abs(moderate());
      x1[0] = x1[1] = moderate();
      const T y1 = moderate();
      for (auto& row : p)
        for (T& e : row) e = 99;
      const T in1 = d1[0], in2 = d2[0], inx = x1[0];
      ref_.rotmg(&d1[0], &d2[0], &x1[0], y1, p[0]);
      impl_.rotmg(&d1[1], &d2[1], &x1[1], y1, p[1]);
      bool ok = same(d1[0], d1[1]) && same(d2[0], d2[1]) && same(x1[0], x1[1]);
      for (int k = 0; k < 5; ++k) ok = ok && same(p[0][k], p[1][k]);
      t_.record(ok, describe("rotmg", in1, in2, inx, y1));
    }
  }

  void level2() {
    const int sizes[] = {0, 1, 2, 3, 4, 5, 7, 8, 9, 13, 33};
    const int incs[] = {1, 1, 2, -1, -2};
    std::vector<layout> layouts = {col_major};
    if (opt_.row_major && ref_.has_row_major() && impl_.has_row_major()) layouts.push_back(row_major);
    std::uniform_int_distribution<int> pick_size(0, static_cast<int>(std::size(sizes)) - 1);
    std::uniform_int_distribution<int> pick_inc(0, static_cast<int>(std::size(incs)) - 1);
    for (layout o : layouts) {
      for (int trial = 0; trial < 4000; ++trial) {
        const int m = sizes[pick_size(gen_)], n = sizes[pick_size(gen_)];
        const int incx = incs[pick_inc(gen_)], incy = incs[pick_inc(gen_)];
        const bool specials = trial % 3 == 2;
        const T alpha = scalar(), beta = scalar();
        const transpose t = coin(2) ? trans : no_trans;
        const triangle u = coin(2) ? upper : lower;
        const diagonal d = coin(2) ? unit : non_unit;
        const int pad = coin(2) ? 0 : 3;

        // general m x n
        {
          const int lda = (o == col_major ? (m > 1 ? m : 1) : (n > 1 ? n : 1)) + pad;
          const std::vector<T> a = buffer(
              static_cast<std::size_t>(lda) * static_cast<std::size_t>(o == col_major ? n : m) + 1, specials);
          const int lenx = t == trans ? m : n, leny = t == trans ? n : m;
          const std::vector<T> x = buffer(span(lenx, incx), specials), y = buffer(span(leny, incy), specials);
          auto yr = y, yi = y;
          ref_.gemv(o, t, m, n, alpha, a.data(), lda, x.data() + 2, incx, beta, yr.data() + 2, incy);
          impl_.gemv(o, t, m, n, alpha, a.data(), lda, x.data() + 2, incx, beta, yi.data() + 2, incy);
          t_.record(same(yr, yi), describe("gemv", o, t, m, n, alpha, lda, incx, beta, incy, specials));

          const std::vector<T> gx = buffer(span(m, incx), specials), gy = buffer(span(n, incy), specials);
          auto ar = a, ai = a;
          ref_.ger(o, m, n, alpha, gx.data() + 2, incx, gy.data() + 2, incy, ar.data(), lda);
          impl_.ger(o, m, n, alpha, gx.data() + 2, incx, gy.data() + 2, incy, ai.data(), lda);
          t_.record(same(ar, ai), describe("ger", o, m, n, alpha, incx, incy, lda, specials));
        }
        // square n x n
        {
          const int lda = (n > 1 ? n : 1) + pad;
          const std::vector<T> a =
              buffer(static_cast<std::size_t>(lda) * static_cast<std::size_t>(n) + 1, specials);
          const std::vector<T> x = buffer(span(n, incx), specials), y = buffer(span(n, incy), specials);
          auto yr = y, yi = y;
          ref_.symv(o, u, n, alpha, a.data(), lda, x.data() + 2, incx, beta, yr.data() + 2, incy);
          impl_.symv(o, u, n, alpha, a.data(), lda, x.data() + 2, incx, beta, yi.data() + 2, incy);
          t_.record(same(yr, yi), describe("symv", o, u, n, alpha, lda, incx, beta, incy, specials));

          auto ar = a, ai = a;
          ref_.syr(o, u, n, alpha, x.data() + 2, incx, ar.data(), lda);
          impl_.syr(o, u, n, alpha, x.data() + 2, incx, ai.data(), lda);
          t_.record(same(ar, ai), describe("syr", o, u, n, alpha, incx, lda, specials));

          ar = a, ai = a;
          ref_.syr2(o, u, n, alpha, x.data() + 2, incx, y.data() + 2, incy, ar.data(), lda);
          impl_.syr2(o, u, n, alpha, x.data() + 2, incx, y.data() + 2, incy, ai.data(), lda);
          t_.record(same(ar, ai), describe("syr2", o, u, n, alpha, incx, incy, lda, specials));

          // a well-conditioned triangle for the solves, so that most results
          // are finite and every rounding shows
          std::vector<T> tri = a;
          if (!specials) {
            for (int k = 0; k < n; ++k)
              tri[static_cast<std::size_t>(k) * static_cast<std::size_t>(lda + 1)] += 4;
          }
          auto xr = x, xi = x;
          ref_.trmv(o, u, t, d, n, tri.data(), lda, xr.data() + 2, incx);
          impl_.trmv(o, u, t, d, n, tri.data(), lda, xi.data() + 2, incx);
          t_.record(same(xr, xi), describe("trmv", o, u, t, d, n, lda, incx, specials));
          xr = x, xi = x;
          ref_.trsv(o, u, t, d, n, tri.data(), lda, xr.data() + 2, incx);
          impl_.trsv(o, u, t, d, n, tri.data(), lda, xi.data() + 2, incx);
          t_.record(same(xr, xi), describe("trsv", o, u, t, d, n, lda, incx, specials));
        }
      }
    }
  }

  // The position of diagonal element j in band storage of k diagonals
  // beside the main one, or of a packed triangle of order n: the lower
  // triangle stored by rows is the upper stored by columns, and the reverse.
  static std::size_t band_diagonal(layout o, triangle u, int j, int k, int lda) {
    const bool line_k = (o == col_major) == (u == upper);
    const auto row = static_cast<std::size_t>(j);
    return static_cast<std::size_t>(line_k ? k : 0) + row * static_cast<std::size_t>(lda);
  }
  static std::size_t packed_diagonal(layout o, triangle u, int j, int n) {
    const bool upper_columns = (o == col_major) == (u == upper);
    const auto c = static_cast<std::size_t>(j), order = static_cast<std::size_t>(n);
    return upper_columns ? c * (c + 1) / 2 + c : c * (2 * order - c + 1) / 2;
  }

  void band_and_packed() {
    const int sizes[] = {0, 1, 2, 3, 4, 5, 7, 8, 9, 13, 33, 70};
    const int widths[] = {0, 1, 2, 3, 4, 7, 9, 17};
    const int incs[] = {1, 1, 2, -1, -2};
    std::vector<layout> layouts = {col_major};
    if (opt_.row_major && ref_.has_row_major() && impl_.has_row_major()) layouts.push_back(row_major);
    std::uniform_int_distribution<int> pick_size(0, static_cast<int>(std::size(sizes)) - 1);
    std::uniform_int_distribution<int> pick_width(0, static_cast<int>(std::size(widths)) - 1);
    std::uniform_int_distribution<int> pick_inc(0, static_cast<int>(std::size(incs)) - 1);
    for (layout o : layouts) {
      for (int trial = 0; trial < 3000; ++trial) {
        const int m = sizes[pick_size(gen_)], n = sizes[pick_size(gen_)];
        // now and then a band wider than the matrix
        const int kl = coin(8) ? m + 2 : widths[pick_width(gen_)],
                  ku = coin(8) ? n + 2 : widths[pick_width(gen_)];
        const int incx = incs[pick_inc(gen_)], incy = incs[pick_inc(gen_)];
        const bool specials = trial % 3 == 2;
        const T alpha = scalar(), beta = scalar();
        const transpose t = coin(2) ? trans : no_trans;
        const triangle u = coin(2) ? upper : lower;
        const diagonal d = coin(2) ? unit : non_unit;
        const int pad = coin(2) ? 0 : 2;

        // general band, m x n
        {
          const int lda = kl + ku + 1 + pad;
          const std::vector<T> a = buffer(
              static_cast<std::size_t>(lda) * static_cast<std::size_t>(o == col_major ? n : m) + 1, specials);
          const int lenx = t == trans ? m : n, leny = t == trans ? n : m;
          const std::vector<T> x = buffer(span(lenx, incx), specials), y = buffer(span(leny, incy), specials);
          auto yr = y, yi = y;
          ref_.gbmv(o, t, m, n, kl, ku, alpha, a.data(), lda, x.data() + 2, incx, beta, yr.data() + 2, incy);
          impl_.gbmv(o, t, m, n, kl, ku, alpha, a.data(), lda, x.data() + 2, incx, beta, yi.data() + 2, incy);
          t_.record(same(yr, yi),
                    describe("gbmv", o, t, m, n, kl, ku, alpha, lda, incx, beta, incy, specials));
        }
        // symmetric and triangular band, n x n with k = kl diagonals beside the main one
        {
          const int k = kl, lda = k + 1 + pad;
          std::vector<T> a =
              buffer(static_cast<std::size_t>(lda) * static_cast<std::size_t>(n) + 1, specials);
          const std::vector<T> x = buffer(span(n, incx), specials), y = buffer(span(n, incy), specials);
          auto yr = y, yi = y;
          ref_.sbmv(o, u, n, k, alpha, a.data(), lda, x.data() + 2, incx, beta, yr.data() + 2, incy);
          impl_.sbmv(o, u, n, k, alpha, a.data(), lda, x.data() + 2, incx, beta, yi.data() + 2, incy);
          t_.record(same(yr, yi), describe("sbmv", o, u, n, k, alpha, lda, incx, beta, incy, specials));

          // a well-conditioned triangle for the solves
          if (!specials) {
            for (int j = 0; j < n; ++j) a[band_diagonal(o, u, j, k, lda)] += 4;
          }
          auto xr = x, xi = x;
          ref_.tbmv(o, u, t, d, n, k, a.data(), lda, xr.data() + 2, incx);
          impl_.tbmv(o, u, t, d, n, k, a.data(), lda, xi.data() + 2, incx);
          t_.record(same(xr, xi), describe("tbmv", o, u, t, d, n, k, lda, incx, specials));
          xr = x, xi = x;
          ref_.tbsv(o, u, t, d, n, k, a.data(), lda, xr.data() + 2, incx);
          impl_.tbsv(o, u, t, d, n, k, a.data(), lda, xi.data() + 2, incx);
          t_.record(same(xr, xi), describe("tbsv", o, u, t, d, n, k, lda, incx, specials));
        }
        // packed triangle of order n, with a guard element after it
        {
          const auto size = static_cast<std::size_t>(n) * static_cast<std::size_t>(n + 1) / 2;
          std::vector<T> ap = buffer(size + 1, specials);
          const std::vector<T> x = buffer(span(n, incx), specials), y = buffer(span(n, incy), specials);
          auto yr = y, yi = y;
          ref_.spmv(o, u, n, alpha, ap.data(), x.data() + 2, incx, beta, yr.data() + 2, incy);
          impl_.spmv(o, u, n, alpha, ap.data(), x.data() + 2, incx, beta, yi.data() + 2, incy);
          t_.record(same(yr, yi), describe("spmv", o, u, n, alpha, incx, beta, incy, specials));

          auto ar = ap, ai = ap;
          ref_.spr(o, u, n, alpha, x.data() + 2, incx, ar.data());
          impl_.spr(o, u, n, alpha, x.data() + 2, incx, ai.data());
          t_.record(same(ar, ai), describe("spr", o, u, n, alpha, incx, specials));
          ar = ap, ai = ap;
          ref_.spr2(o, u, n, alpha, x.data() + 2, incx, y.data() + 2, incy, ar.data());
          impl_.spr2(o, u, n, alpha, x.data() + 2, incx, y.data() + 2, incy, ai.data());
          t_.record(same(ar, ai), describe("spr2", o, u, n, alpha, incx, incy, specials));

          if (!specials) {
            for (int j = 0; j < n; ++j) ap[packed_diagonal(o, u, j, n)] += 4;
          }
          auto xr = x, xi = x;
          ref_.tpmv(o, u, t, d, n, ap.data(), xr.data() + 2, incx);
          impl_.tpmv(o, u, t, d, n, ap.data(), xi.data() + 2, incx);
          t_.record(same(xr, xi), describe("tpmv", o, u, t, d, n, incx, specials));
          xr = x, xi = x;
          ref_.tpsv(o, u, t, d, n, ap.data(), xr.data() + 2, incx);
          impl_.tpsv(o, u, t, d, n, ap.data(), xi.data() + 2, incx);
          t_.record(same(xr, xi), describe("tpsv", o, u, t, d, n, incx, specials));
        }
      }
    }
  }

  // Level 3 values: 0 plain, 1 with specials, 2 sparse (a third of the
  // elements zero of either sign, so that the reference's zero skips are hit
  // everywhere, and now and then the smallest subnormal, whose products
  // round to zero: a skip tested on the product instead of the element
  // shows), 3 sparse with specials.
  T value3(int mode) {
    constexpr T smallest = std::numeric_limits<T>::denorm_min();
    if (mode >= 2 && coin(3)) return coin(2) ? T(0) : -T(0);
    if (mode >= 2 && coin(20)) return coin(2) ? smallest : -smallest;
    return value(mode % 2 == 1);
  }
  // A rows x cols matrix in layout o, its leading dimension padded by pad,
  // with one guard element after it.
  struct stored_matrix {
    std::vector<T> v;
    int ld;
  };
  stored_matrix matrix(layout o, int rows, int cols, int pad, int mode) {
    const int lead = o == col_major ? rows : cols, other = o == col_major ? cols : rows;
    const int ld = (lead > 1 ? lead : 1) + pad;
    stored_matrix s{std::vector<T>(static_cast<std::size_t>(ld) * static_cast<std::size_t>(other) + 1), ld};
    for (T& e : s.v) e = value3(mode);
    return s;
  }
  // A triangle that keeps most solves finite: 4 added to the diagonal.
  stored_matrix triangle_matrix(layout o, int order, int pad, int mode) {
    stored_matrix s = matrix(o, order, order, pad, mode);
    if (mode % 2 == 0) {
      for (int k = 0; k < order; ++k)
        s.v[static_cast<std::size_t>(k) * static_cast<std::size_t>(s.ld + 1)] += 4;
    }
    return s;
  }

  void level3(int trials) {
    const int sizes[] = {0, 1, 2, 3, 4, 5, 7, 8, 9, 15, 16, 17, 24, 31, 32, 33, 40, 47, 63, 64, 65, 100};
    std::vector<layout> layouts = {col_major};
    if (opt_.row_major && ref_.has_row_major() && impl_.has_row_major()) layouts.push_back(row_major);
    std::uniform_int_distribution<int> pick_size(0, static_cast<int>(std::size(sizes)) - 1);
    for (layout o : layouts) {
      for (int trial = 0; trial < trials; ++trial) {
        const int m = sizes[pick_size(gen_)], n = sizes[pick_size(gen_)];
        const int k = coin(8) ? 0 : sizes[pick_size(gen_)];
        const int mode = trial % 4;
        const T alpha = scalar(), beta = scalar();
        const transpose ta = coin(2) ? trans : no_trans, tb = coin(2) ? trans : no_trans;
        const triangle u = coin(2) ? upper : lower;
        const diagonal d = coin(2) ? unit : non_unit;
        const side sd = coin(2) ? left_side : right_side;
        const int pad = coin(2) ? 0 : 3;
        {
          const stored_matrix a = matrix(o, ta == trans ? k : m, ta == trans ? m : k, pad, mode);
          const stored_matrix b = matrix(o, tb == trans ? n : k, tb == trans ? k : n, pad, mode);
          const stored_matrix c = matrix(o, m, n, pad, mode);
          auto cr = c.v;
          auto ci = cr;
          ref_.gemm(o, ta, tb, m, n, k, alpha, a.v.data(), a.ld, b.v.data(), b.ld, beta, cr.data(), c.ld);
          impl_.gemm(o, ta, tb, m, n, k, alpha, a.v.data(), a.ld, b.v.data(), b.ld, beta, ci.data(), c.ld);
          t_.record(same(cr, ci), describe("gemm", o, ta, tb, m, n, k, alpha, beta, pad, mode));
        }
        {
          const int order = sd == left_side ? m : n;
          const stored_matrix a = matrix(o, order, order, pad, mode);
          const stored_matrix b = matrix(o, m, n, pad, mode), c = matrix(o, m, n, pad, mode);
          auto cr = c.v;
          auto ci = cr;
          ref_.symm(o, sd, u, m, n, alpha, a.v.data(), a.ld, b.v.data(), b.ld, beta, cr.data(), c.ld);
          impl_.symm(o, sd, u, m, n, alpha, a.v.data(), a.ld, b.v.data(), b.ld, beta, ci.data(), c.ld);
          t_.record(same(cr, ci), describe("symm", o, sd, u, m, n, alpha, beta, pad, mode));
        }
        {
          const stored_matrix a = matrix(o, ta == trans ? k : n, ta == trans ? n : k, pad, mode);
          const stored_matrix b = matrix(o, ta == trans ? k : n, ta == trans ? n : k, pad, mode);
          const stored_matrix c = matrix(o, n, n, pad, mode);
          auto cr = c.v;
          auto ci = cr;
          ref_.syrk(o, u, ta, n, k, alpha, a.v.data(), a.ld, beta, cr.data(), c.ld);
          impl_.syrk(o, u, ta, n, k, alpha, a.v.data(), a.ld, beta, ci.data(), c.ld);
          t_.record(same(cr, ci), describe("syrk", o, u, ta, n, k, alpha, beta, pad, mode));
          cr = c.v, ci = c.v;
          ref_.syr2k(o, u, ta, n, k, alpha, a.v.data(), a.ld, b.v.data(), b.ld, beta, cr.data(), c.ld);
          impl_.syr2k(o, u, ta, n, k, alpha, a.v.data(), a.ld, b.v.data(), b.ld, beta, ci.data(), c.ld);
          t_.record(same(cr, ci), describe("syr2k", o, u, ta, n, k, alpha, beta, pad, mode));
        }
        {
          const stored_matrix a = triangle_matrix(o, sd == left_side ? m : n, pad, mode);
          const stored_matrix b = matrix(o, m, n, pad, mode);
          auto br = b.v, bi = b.v;
          ref_.trmm(o, sd, u, ta, d, m, n, alpha, a.v.data(), a.ld, br.data(), b.ld);
          impl_.trmm(o, sd, u, ta, d, m, n, alpha, a.v.data(), a.ld, bi.data(), b.ld);
          t_.record(same(br, bi), describe("trmm", o, sd, u, ta, d, m, n, alpha, pad, mode));
          br = b.v, bi = b.v;
          ref_.trsm(o, sd, u, ta, d, m, n, alpha, a.v.data(), a.ld, br.data(), b.ld);
          impl_.trsm(o, sd, u, ta, d, m, n, alpha, a.v.data(), a.ld, bi.data(), b.ld);
          t_.record(same(br, bi), describe("trsm", o, sd, u, ta, d, m, n, alpha, pad, mode));
        }
      }
    }
  }

  const blas_api<T>& ref_;
  const blas_api<T>& impl_;
  harness_options opt_;
  std::mt19937_64 gen_;
  tally t_;
};

}  // namespace zelt_test

#endif  // ZELT_TESTS_BLAS_HARNESS_HPP_
