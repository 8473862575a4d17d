#ifndef ZELT_TESTS_COMPLEX_HARNESS_HPP_
#define ZELT_TESTS_COMPLEX_HARNESS_HPP_

// The differential harness over complex elements: the complex routines of two
// implementations, each a table of Fortran-ABI functions (a library's c* or z*
// symbols, or zelt's C++ interface behind the same signatures), run on the same
// random inputs, every output buffer (guards and the gaps between strided
// elements included) and every returned value compared bit for bit, a NaN
// matching any NaN. Zeros of either sign, infinities, NaNs and subnormals are
// planted in real and imaginary parts separately.
#include <dlfcn.h>

#include <cmath>
#include <complex>
#include <cstdint>
#include <cstring>
#include <limits>
#include <random>
#include <string>
#include <tuple>
#include <type_traits>
#include <utility>
#include <vector>

#include "blas_api.hpp"

namespace zelt_test {

/// The complex routines of one implementation, with the reference's Fortran
/// signatures, over std::complex<R>.
template <class R>
struct complex_routines {
  using C = std::complex<R>;
  C (*dotu)(const int*, const C*, const int*, const C*, const int*) = nullptr;
  C (*dotc)(const int*, const C*, const int*, const C*, const int*) = nullptr;
  void (*axpy)(const int*, const C*, const C*, const int*, C*, const int*) = nullptr;
  void (*scal)(const int*, const C*, C*, const int*) = nullptr;
  void (*real_scal)(const int*, const R*, C*, const int*) = nullptr;  // csscal, zdscal
  void (*copy)(const int*, const C*, const int*, C*, const int*) = nullptr;
  void (*swap)(const int*, C*, const int*, C*, const int*) = nullptr;
  int (*iamax)(const int*, const C*, const int*) = nullptr;
  R (*asum)(const int*, const C*, const int*) = nullptr;                                  // scasum, dzasum
  R (*nrm2)(const int*, const C*, const int*) = nullptr;                                  // scnrm2, dznrm2
  void (*rot)(const int*, C*, const int*, C*, const int*, const R*, const R*) = nullptr;  // csrot, zdrot
  void (*rotg)(C*, const C*, R*, C*) = nullptr;

  using len = std::size_t;  // a hidden Fortran string length
  void (*gemv)(const char*, const int*, const int*, const C*, const C*, const int*, const C*, const int*,
               const C*, C*, const int*, len) = nullptr;
  void (*geru)(const int*, const int*, const C*, const C*, const int*, const C*, const int*, C*,
               const int*) = nullptr;
  void (*gerc)(const int*, const int*, const C*, const C*, const int*, const C*, const int*, C*,
               const int*) = nullptr;
  void (*hemv)(const char*, const int*, const C*, const C*, const int*, const C*, const int*, const C*, C*,
               const int*, len) = nullptr;
  void (*her)(const char*, const int*, const R*, const C*, const int*, C*, const int*, len) = nullptr;
  void (*her2)(const char*, const int*, const C*, const C*, const int*, const C*, const int*, C*, const int*,
               len) = nullptr;
  using triangular = void (*)(const char*, const char*, const char*, const int*, const C*, const int*, C*,
                              const int*, len, len, len);
  triangular trmv = nullptr, trsv = nullptr;
  void (*gbmv)(const char*, const int*, const int*, const int*, const int*, const C*, const C*, const int*,
               const C*, const int*, const C*, C*, const int*, len) = nullptr;
  void (*hbmv)(const char*, const int*, const int*, const C*, const C*, const int*, const C*, const int*,
               const C*, C*, const int*, len) = nullptr;
  void (*hpmv)(const char*, const int*, const C*, const C*, const C*, const int*, const C*, C*, const int*,
               len) = nullptr;
  void (*hpr)(const char*, const int*, const R*, const C*, const int*, C*, len) = nullptr;
  void (*hpr2)(const char*, const int*, const C*, const C*, const int*, const C*, const int*, C*,
               len) = nullptr;
  using triangular_band = void (*)(const char*, const char*, const char*, const int*, const int*, const C*,
                                   const int*, C*, const int*, len, len, len);
  triangular_band tbmv = nullptr, tbsv = nullptr;
  using triangular_packed = void (*)(const char*, const char*, const char*, const int*, const C*, C*,
                                     const int*, len, len, len);
  triangular_packed tpmv = nullptr, tpsv = nullptr;

  void (*gemm)(const char*, const char*, const int*, const int*, const int*, const C*, const C*, const int*,
               const C*, const int*, const C*, C*, const int*, len, len) = nullptr;
  using symmetric = void (*)(const char*, const char*, const int*, const int*, const C*, const C*, const int*,
                             const C*, const int*, const C*, C*, const int*, len, len);
  symmetric symm = nullptr, hemm = nullptr;
  void (*syrk)(const char*, const char*, const int*, const int*, const C*, const C*, const int*, const C*, C*,
               const int*, len, len) = nullptr;
  void (*herk)(const char*, const char*, const int*, const int*, const R*, const C*, const int*, const R*, C*,
               const int*, len, len) = nullptr;
  void (*syr2k)(const char*, const char*, const int*, const int*, const C*, const C*, const int*, const C*,
                const int*, const C*, C*, const int*, len, len) = nullptr;
  void (*her2k)(const char*, const char*, const int*, const int*, const C*, const C*, const int*, const C*,
                const int*, const R*, C*, const int*, len, len) = nullptr;
  using triangular3 = void (*)(const char*, const char*, const char*, const char*, const int*, const int*,
                               const C*, const C*, const int*, C*, const int*, len, len, len, len);
  triangular3 trmm = nullptr, trsm = nullptr;

  bool complete() const {
    return dotu && dotc && axpy && scal && real_scal && copy && swap && iamax && asum && nrm2 && rot &&
           rotg && gemv && geru && gerc && hemv && her && her2 && trmv && trsv && gbmv && hbmv && hpmv &&
           hpr && hpr2 && tbmv && tbsv && tpmv && tpsv && gemm && symm && hemm && syrk && herk && syr2k &&
           her2k && trmm && trsm;
  }
};

/// Fills the Level 2 and 3 entries of a table, Fortran's or the CBLAS's,
/// which share their names: routine "gemv" is the symbol prefix + "gemv" +
/// suffix.
template <class Table>
void get_levels_2_and_3(Table& r, const shared_library& lib, const std::string& prefix,
                        const std::string& suffix) {
  const auto get = [&](auto& f, const char* routine) {
    f = lib.symbol<std::decay_t<decltype(f)>>(prefix + routine + suffix);
  };
  get(r.gemv, "gemv");
  get(r.geru, "geru");
  get(r.gerc, "gerc");
  get(r.hemv, "hemv");
  get(r.her, "her");
  get(r.her2, "her2");
  get(r.trmv, "trmv");
  get(r.trsv, "trsv");
  get(r.gbmv, "gbmv");
  get(r.hbmv, "hbmv");
  get(r.hpmv, "hpmv");
  get(r.hpr, "hpr");
  get(r.hpr2, "hpr2");
  get(r.tbmv, "tbmv");
  get(r.tbsv, "tbsv");
  get(r.tpmv, "tpmv");
  get(r.tpsv, "tpsv");
  get(r.gemm, "gemm");
  get(r.symm, "symm");
  get(r.hemm, "hemm");
  get(r.syrk, "syrk");
  get(r.herk, "herk");
  get(r.syr2k, "syr2k");
  get(r.her2k, "her2k");
  get(r.trmm, "trmm");
  get(r.trsm, "trsm");
}

/// The table of a library's Fortran symbols: c* for float, z* for double.
template <class R>
complex_routines<R> library_routines(const shared_library& lib) {
  const bool single = std::is_same_v<R, float>;
  const std::string p = single ? "c" : "z", rs = single ? "cs" : "zd", rp = single ? "sc" : "dz";
  complex_routines<R> r;
  const auto get = [&](auto& f, const std::string& name) { f = lib.symbol<std::decay_t<decltype(f)>>(name); };
  get(r.dotu, p + "dotu_");
  get(r.dotc, p + "dotc_");
  get(r.axpy, p + "axpy_");
  get(r.scal, p + "scal_");
  get(r.real_scal, rs + "scal_");
  get(r.copy, p + "copy_");
  get(r.swap, p + "swap_");
  get(r.iamax, "i" + p + "amax_");
  get(r.asum, rp + "asum_");
  get(r.nrm2, rp + "nrm2_");
  get(r.rot, rs + "rot_");
  get(r.rotg, p + "rotg_");
  get_levels_2_and_3(r, lib, p, "_");
  return r;
}

/// The complex routines of one implementation with the CBLAS's signatures
/// (layout and flags as their int values, scalars by address), over
/// std::complex<R>: a library's cblas_c* or cblas_z* functions, or zelt's
/// C++ interface over row- and column-major views.
template <class R>
struct complex_cblas_routines {
  using C = std::complex<R>;
  void (*gemv)(int, int, int, int, const C*, const C*, int, const C*, int, const C*, C*, int) = nullptr;
  void (*geru)(int, int, int, const C*, const C*, int, const C*, int, C*, int) = nullptr;
  void (*gerc)(int, int, int, const C*, const C*, int, const C*, int, C*, int) = nullptr;
  void (*hemv)(int, int, int, const C*, const C*, int, const C*, int, const C*, C*, int) = nullptr;
  void (*her)(int, int, int, R, const C*, int, C*, int) = nullptr;
  void (*her2)(int, int, int, const C*, const C*, int, const C*, int, C*, int) = nullptr;
  using triangular = void (*)(int, int, int, int, int, const C*, int, C*, int);
  triangular trmv = nullptr, trsv = nullptr;
  void (*gbmv)(int, int, int, int, int, int, const C*, const C*, int, const C*, int, const C*, C*,
               int) = nullptr;
  void (*hbmv)(int, int, int, int, const C*, const C*, int, const C*, int, const C*, C*, int) = nullptr;
  void (*hpmv)(int, int, int, const C*, const C*, const C*, int, const C*, C*, int) = nullptr;
  void (*hpr)(int, int, int, R, const C*, int, C*) = nullptr;
  void (*hpr2)(int, int, int, const C*, const C*, int, const C*, int, C*) = nullptr;
  using triangular_band = void (*)(int, int, int, int, int, int, const C*, int, C*, int);
  triangular_band tbmv = nullptr, tbsv = nullptr;
  using triangular_packed = void (*)(int, int, int, int, int, const C*, C*, int);
  triangular_packed tpmv = nullptr, tpsv = nullptr;

  void (*gemm)(int, int, int, int, int, int, const C*, const C*, int, const C*, int, const C*, C*,
               int) = nullptr;
  using symmetric = void (*)(int, int, int, int, int, const C*, const C*, int, const C*, int, const C*, C*,
                             int);
  symmetric symm = nullptr, hemm = nullptr;
  void (*syrk)(int, int, int, int, int, const C*, const C*, int, const C*, C*, int) = nullptr;
  void (*herk)(int, int, int, int, int, R, const C*, int, R, C*, int) = nullptr;
  void (*syr2k)(int, int, int, int, int, const C*, const C*, int, const C*, int, const C*, C*, int) = nullptr;
  void (*her2k)(int, int, int, int, int, const C*, const C*, int, const C*, int, R, C*, int) = nullptr;
  using triangular3 = void (*)(int, int, int, int, int, int, int, const C*, const C*, int, C*, int);
  triangular3 trmm = nullptr, trsm = nullptr;

  bool complete() const {
    return gemv && geru && gerc && hemv && her && her2 && trmv && trsv && gbmv && hbmv && hpmv && hpr &&
           hpr2 && tbmv && tbsv && tpmv && tpsv && gemm && symm && hemm && syrk && herk && syr2k && her2k &&
           trmm && trsm;
  }
};

template <class R>
complex_cblas_routines<R> library_cblas_routines(const shared_library& lib) {
  const std::string p = std::is_same_v<R, float> ? "cblas_c" : "cblas_z";
  complex_cblas_routines<R> r;
  get_levels_2_and_3(r, lib, p, "");
  return r;
}

template <class R>
class complex_harness {
 public:
  using C = std::complex<R>;

  complex_harness(const complex_routines<R>& ref, const complex_routines<R>& impl, std::uint64_t seed)
      : ref_(ref), impl_(impl), gen_(seed) {}

  /// The CBLAS routines of two implementations, both layouts.
  tally run_cblas(const complex_cblas_routines<R>& ref, const complex_cblas_routines<R>& impl) {
    const int sizes[] = {0, 1, 2, 3, 4, 5, 7, 8, 9, 13, 33};
    const int incs[] = {1, 1, 2, -1, -2};
    const auto pick = [&](int count) { return std::uniform_int_distribution<int>(0, count - 1)(gen_); };
    for (int layout : {102, 101}) {
      const bool row = layout == 101;
      for (int trial = 0; trial < 3000; ++trial) {
        const int m = sizes[pick(11)], n = sizes[pick(11)], incx = incs[pick(5)], incy = incs[pick(5)];
        const bool specials = trial % 3 == 2;
        const C alpha = scalar(specials), beta = scalar(specials);
        const int pad = coin(2) ? 0 : 3;
        const stored_matrix a = row ? matrix(n, m, pad, specials) : matrix(m, n, pad, specials);
        {
          // NoTrans, Trans, ConjTrans. The reference's row-major ConjTrans
          // reads uninitialised locals when M is 0, so it is not asked.
          const int t = row && m == 0 ? 111 + pick(2) : 111 + pick(3);
          const int lenx = t == 111 ? n : m, leny = t == 111 ? m : n;
          const std::vector<C> x = buffer(span(lenx, incx), specials), y = buffer(span(leny, incy), specials);
          auto yr = y, yi = y;
          ref.gemv(layout, t, m, n, &alpha, a.v.data(), a.ld, x.data() + 2, incx, &beta, yr.data() + 2, incy);
          impl.gemv(layout, t, m, n, &alpha, a.v.data(), a.ld, x.data() + 2, incx, &beta, yi.data() + 2,
                    incy);
          t_.record(same(yr, yi), describe("cblas gemv", layout, t, m, n, alpha, beta, incx, incy, specials));
        }
        {
          const std::vector<C> x = buffer(span(m, incx), specials), y = buffer(span(n, incy), specials);
          auto ar = a.v, ai = a.v;
          ref.geru(layout, m, n, &alpha, x.data() + 2, incx, y.data() + 2, incy, ar.data(), a.ld);
          impl.geru(layout, m, n, &alpha, x.data() + 2, incx, y.data() + 2, incy, ai.data(), a.ld);
          t_.record(same(ar, ai), describe("cblas geru", layout, m, n, alpha, incx, incy, specials));
          ar = a.v, ai = a.v;
          ref.gerc(layout, m, n, &alpha, x.data() + 2, incx, y.data() + 2, incy, ar.data(), a.ld);
          impl.gerc(layout, m, n, &alpha, x.data() + 2, incx, y.data() + 2, incy, ai.data(), a.ld);
          t_.record(same(ar, ai), describe("cblas gerc", layout, m, n, alpha, incx, incy, specials));
        }
        {
          const stored_matrix s = matrix(n, n, pad, specials);
          const int uplo = 121 + pick(2), t = 111 + pick(3), diag = 131 + pick(2);
          const std::vector<C> x = buffer(span(n, incx), specials), y = buffer(span(n, incy), specials);
          auto yr = y, yi = y;
          ref.hemv(layout, uplo, n, &alpha, s.v.data(), s.ld, x.data() + 2, incx, &beta, yr.data() + 2, incy);
          impl.hemv(layout, uplo, n, &alpha, s.v.data(), s.ld, x.data() + 2, incx, &beta, yi.data() + 2,
                    incy);
          t_.record(same(yr, yi), describe("cblas hemv", layout, uplo, n, alpha, beta, incx, incy, specials));
          auto ar = s.v, ai = s.v;
          ref.her(layout, uplo, n, alpha.real(), x.data() + 2, incx, ar.data(), s.ld);
          impl.her(layout, uplo, n, alpha.real(), x.data() + 2, incx, ai.data(), s.ld);
          t_.record(same(ar, ai), describe("cblas her", layout, uplo, n, alpha, incx, specials));
          ar = s.v, ai = s.v;
          ref.her2(layout, uplo, n, &alpha, x.data() + 2, incx, y.data() + 2, incy, ar.data(), s.ld);
          impl.her2(layout, uplo, n, &alpha, x.data() + 2, incx, y.data() + 2, incy, ai.data(), s.ld);
          t_.record(same(ar, ai), describe("cblas her2", layout, uplo, n, alpha, incx, incy, specials));
          for (const auto& [name, r, i] : {std::tuple{"cblas trmv", ref.trmv, impl.trmv},
                                           std::tuple{"cblas trsv", ref.trsv, impl.trsv}}) {
            auto xr = x, xi = x;
            r(layout, uplo, t, diag, n, s.v.data(), s.ld, xr.data() + 2, incx);
            i(layout, uplo, t, diag, n, s.v.data(), s.ld, xi.data() + 2, incx);
            t_.record(same(xr, xi), describe(name, layout, uplo, t, diag, n, incx, specials));
          }
        }
        {
          // band and packed storage; a row-major band of m x n is stored as
          // the band of its n x m transpose
          const int t = row && m == 0 ? 111 + pick(2) : 111 + pick(3);
          const int uplo = 121 + pick(2), diag = 131 + pick(2);
          const int kl = pick(4), ku = pick(4), k = pick(4), lda = kl + ku + 1 + pad, ldt = k + 1 + pad;
          const std::vector<C> band =
              buffer(static_cast<std::size_t>(lda) * static_cast<std::size_t>(row ? m : n) + 1, specials);
          const std::vector<C> tri =
              buffer(static_cast<std::size_t>(ldt) * static_cast<std::size_t>(n) + 1, specials);
          const std::vector<C> packed =
              buffer(static_cast<std::size_t>(n) * static_cast<std::size_t>(n + 1) / 2 + 1, specials);
          const int lenx = t == 111 ? n : m, leny = t == 111 ? m : n;
          const std::vector<C> x = buffer(span(lenx, incx), specials), y = buffer(span(leny, incy), specials);
          auto yr = y, yi = y;
          ref.gbmv(layout, t, m, n, kl, ku, &alpha, band.data(), lda, x.data() + 2, incx, &beta,
                   yr.data() + 2, incy);
          impl.gbmv(layout, t, m, n, kl, ku, &alpha, band.data(), lda, x.data() + 2, incx, &beta,
                    yi.data() + 2, incy);
          t_.record(same(yr, yi),
                    describe("cblas gbmv", layout, t, m, n, kl, ku, alpha, beta, incx, incy, specials));
          const std::vector<C> u = buffer(span(n, incx), specials), v = buffer(span(n, incy), specials);
          yr = v, yi = v;
          ref.hbmv(layout, uplo, n, k, &alpha, tri.data(), ldt, u.data() + 2, incx, &beta, yr.data() + 2,
                   incy);
          impl.hbmv(layout, uplo, n, k, &alpha, tri.data(), ldt, u.data() + 2, incx, &beta, yi.data() + 2,
                    incy);
          t_.record(same(yr, yi),
                    describe("cblas hbmv", layout, uplo, n, k, alpha, beta, incx, incy, specials));
          yr = v, yi = v;
          ref.hpmv(layout, uplo, n, &alpha, packed.data(), u.data() + 2, incx, &beta, yr.data() + 2, incy);
          impl.hpmv(layout, uplo, n, &alpha, packed.data(), u.data() + 2, incx, &beta, yi.data() + 2, incy);
          t_.record(same(yr, yi), describe("cblas hpmv", layout, uplo, n, alpha, beta, incx, incy, specials));
          auto pr = packed, pi = packed;
          ref.hpr(layout, uplo, n, alpha.real(), u.data() + 2, incx, pr.data());
          impl.hpr(layout, uplo, n, alpha.real(), u.data() + 2, incx, pi.data());
          t_.record(same(pr, pi), describe("cblas hpr", layout, uplo, n, alpha, incx, specials));
          pr = packed, pi = packed;
          ref.hpr2(layout, uplo, n, &alpha, u.data() + 2, incx, v.data() + 2, incy, pr.data());
          impl.hpr2(layout, uplo, n, &alpha, u.data() + 2, incx, v.data() + 2, incy, pi.data());
          t_.record(same(pr, pi), describe("cblas hpr2", layout, uplo, n, alpha, incx, incy, specials));
          for (const auto& [name, r, i] : {std::tuple{"cblas tbmv", ref.tbmv, impl.tbmv},
                                           std::tuple{"cblas tbsv", ref.tbsv, impl.tbsv}}) {
            auto xr = u, xi = u;
            r(layout, uplo, t, diag, n, k, tri.data(), ldt, xr.data() + 2, incx);
            i(layout, uplo, t, diag, n, k, tri.data(), ldt, xi.data() + 2, incx);
            t_.record(same(xr, xi), describe(name, layout, uplo, t, diag, n, k, incx, specials));
          }
          for (const auto& [name, r, i] : {std::tuple{"cblas tpmv", ref.tpmv, impl.tpmv},
                                           std::tuple{"cblas tpsv", ref.tpsv, impl.tpsv}}) {
            auto xr = u, xi = u;
            r(layout, uplo, t, diag, n, packed.data(), xr.data() + 2, incx);
            i(layout, uplo, t, diag, n, packed.data(), xi.data() + 2, incx);
            t_.record(same(xr, xi), describe(name, layout, uplo, t, diag, n, incx, specials));
          }
        }
      }
      cblas_level3(layout, ref, impl);
    }
    return t_;
  }

  /// The Level 3 CBLAS routines in one layout: a matrix of r x c elements is
  /// stored as the layout has it, its leading dimension padded.
  void cblas_level3(int layout, const complex_cblas_routines<R>& ref, const complex_cblas_routines<R>& impl) {
    const int sizes[] = {0, 1, 2, 3, 4, 5, 7, 9, 16};
    const auto pick = [&](int count) { return std::uniform_int_distribution<int>(0, count - 1)(gen_); };
    const bool row = layout == 101;
    const auto stored = [&](int r, int c, int pad, bool specials) {
      return row ? matrix(c, r, pad, specials) : matrix(r, c, pad, specials);
    };
    for (int trial = 0; trial < 600; ++trial) {
      const int m = sizes[pick(9)], n = sizes[pick(9)], k = sizes[pick(9)];
      const bool specials = trial % 3 == 2;
      const C alpha = scalar(specials), beta = scalar(specials);
      const R real_alpha = pick(4) == 0 ? R(0) : alpha.real(), real_beta = pick(4) == 0 ? R(1) : beta.real();
      const int pad = coin(2) ? 0 : 2, uplo = 121 + pick(2), side = 141 + pick(2), diag = 131 + pick(2);
      const stored_matrix c = stored(m, n, pad, specials);
      const auto compare = [&](const std::vector<C>& r, const std::vector<C>& i, const std::string& what) {
        t_.record(same(r, i), what + (specials ? " specials" : ""));
      };
      {
        const int ta = 111 + pick(3), tb = 111 + pick(3);
        const stored_matrix a = ta == 111 ? stored(m, k, pad, specials) : stored(k, m, pad, specials);
        const stored_matrix b = tb == 111 ? stored(k, n, pad, specials) : stored(n, k, pad, specials);
        auto cr = c.v, ci = c.v;
        ref.gemm(layout, ta, tb, m, n, k, &alpha, a.v.data(), a.ld, b.v.data(), b.ld, &beta, cr.data(), c.ld);
        impl.gemm(layout, ta, tb, m, n, k, &alpha, a.v.data(), a.ld, b.v.data(), b.ld, &beta, ci.data(),
                  c.ld);
        compare(cr, ci, describe("cblas gemm", layout, ta, tb, m, n, k, alpha, beta));
      }
      {
        const int order = side == 141 ? m : n;
        const stored_matrix a = stored(order, order, pad, specials), b = stored(m, n, pad, specials);
        for (const auto& [name, r, i] :
             {std::tuple{"cblas symm", ref.symm, impl.symm}, std::tuple{"cblas hemm", ref.hemm, impl.hemm}}) {
          auto cr = c.v, ci = c.v;
          r(layout, side, uplo, m, n, &alpha, a.v.data(), a.ld, b.v.data(), b.ld, &beta, cr.data(), c.ld);
          i(layout, side, uplo, m, n, &alpha, a.v.data(), a.ld, b.v.data(), b.ld, &beta, ci.data(), c.ld);
          compare(cr, ci, describe(name, layout, side, uplo, m, n, alpha, beta));
        }
        for (const auto& [name, r, i] :
             {std::tuple{"cblas trmm", ref.trmm, impl.trmm}, std::tuple{"cblas trsm", ref.trsm, impl.trsm}}) {
          const int t = 111 + pick(3);
          auto br = b.v;
          auto bi = br;
          r(layout, side, uplo, t, diag, m, n, &alpha, a.v.data(), a.ld, br.data(), b.ld);
          i(layout, side, uplo, t, diag, m, n, &alpha, a.v.data(), a.ld, bi.data(), b.ld);
          compare(br, bi, describe(name, layout, side, uplo, t, diag, m, n, alpha));
        }
      }
      {
        const stored_matrix s = stored(n, n, pad, specials);
        const bool no_trans = coin(2);
        const stored_matrix a = no_trans ? stored(n, k, pad, specials) : stored(k, n, pad, specials);
        const stored_matrix b = no_trans ? stored(n, k, pad, specials) : stored(k, n, pad, specials);
        const int t = no_trans ? 111 : 112, h = no_trans ? 111 : 113;
        auto cr = s.v, ci = s.v;
        ref.syrk(layout, uplo, t, n, k, &alpha, a.v.data(), a.ld, &beta, cr.data(), s.ld);
        impl.syrk(layout, uplo, t, n, k, &alpha, a.v.data(), a.ld, &beta, ci.data(), s.ld);
        compare(cr, ci, describe("cblas syrk", layout, uplo, t, n, k, alpha, beta));
        cr = s.v, ci = s.v;
        ref.herk(layout, uplo, h, n, k, real_alpha, a.v.data(), a.ld, real_beta, cr.data(), s.ld);
        impl.herk(layout, uplo, h, n, k, real_alpha, a.v.data(), a.ld, real_beta, ci.data(), s.ld);
        compare(cr, ci, describe("cblas herk", layout, uplo, h, n, k, real_alpha, real_beta));
        cr = s.v, ci = s.v;
        ref.syr2k(layout, uplo, t, n, k, &alpha, a.v.data(), a.ld, b.v.data(), b.ld, &beta, cr.data(), s.ld);
        impl.syr2k(layout, uplo, t, n, k, &alpha, a.v.data(), a.ld, b.v.data(), b.ld, &beta, ci.data(), s.ld);
        compare(cr, ci, describe("cblas syr2k", layout, uplo, t, n, k, alpha, beta));
        cr = s.v, ci = s.v;
        ref.her2k(layout, uplo, h, n, k, &alpha, a.v.data(), a.ld, b.v.data(), b.ld, real_beta, cr.data(),
                  s.ld);
        impl.her2k(layout, uplo, h, n, k, &alpha, a.v.data(), a.ld, b.v.data(), b.ld, real_beta, ci.data(),
                   s.ld);
        compare(cr, ci, describe("cblas her2k", layout, uplo, h, n, k, alpha, real_beta));
      }
    }
  }

  tally run() {
    level1();
    rotations();
    level2();
    level3();
    return t_;
  }

 private:
  static bool same(R a, R b) { return same_part(a, b); }
  static bool same(C a, C b) { return same_part(a.real(), b.real()) && same_part(a.imag(), b.imag()); }
  static bool same(const std::vector<C>& a, const std::vector<C>& b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i)
      if (!same(a[i], b[i])) return false;
    return true;
  }

  bool coin(int one_in) { return std::uniform_int_distribution<int>(0, one_in - 1)(gen_) == 0; }

  // A part of a few binades, so that products and sums round visibly; in
  // special runs now and then a zero of either sign, an infinity, a NaN or a
  // subnormal.
  R part(bool specials) {
    if (specials) {
      switch (std::uniform_int_distribution<int>(0, 14)(gen_)) {
        case 0:
          return R(0);
        case 1:
          return -R(0);
        case 2:
          return coin(2) ? std::numeric_limits<R>::infinity() : -std::numeric_limits<R>::infinity();
        case 3:
          return std::numeric_limits<R>::quiet_NaN();
        case 4:
          return (coin(2) ? -1 : 1) * std::numeric_limits<R>::denorm_min() *
                 static_cast<R>(std::uniform_int_distribution<int>(1, 5)(gen_));
        default:
          break;
      }
    }
    const auto m = static_cast<R>(std::uniform_real_distribution<double>(-2, 2)(gen_));
    return std::ldexp(m, std::uniform_int_distribution<int>(-3, 3)(gen_));
  }
  // A part of any magnitude from the smallest subnormal to the largest finite
  // value, or, in special runs, a special one.
  R wide_part(bool specials) {
    if (specials && coin(4)) return part(true);
    if (coin(4)) return part(false);
    constexpr int lo = std::numeric_limits<R>::min_exponent - std::numeric_limits<R>::digits;
    constexpr int hi = std::numeric_limits<R>::max_exponent - 1;
    const auto m = static_cast<R>(std::uniform_real_distribution<double>(1, 2)(gen_));
    return (coin(2) ? -1 : 1) * std::ldexp(m, std::uniform_int_distribution<int>(lo, hi)(gen_));
  }
  C value(bool specials) { return {part(specials), part(specials)}; }
  std::vector<C> buffer(std::size_t n, bool specials) {
    std::vector<C> b(n);
    for (C& x : b) x = value(specials);
    return b;
  }
  // A scalar: 0, 1, -1, i, a real one, or any.
  C scalar(bool specials) {
    switch (std::uniform_int_distribution<int>(0, 6)(gen_)) {
      case 0:
        return C(0, coin(2) ? R(0) : -R(0));
      case 1:
        return C(1, 0);
      case 2:
        return C(-1, 0);
      case 3:
        return C(0, 1);
      case 4:
        return C(part(false), 0);
      default:
        return value(specials);
    }
  }
  void level1() {
    const int sizes[] = {0, 1, 2, 3, 4, 5, 7, 8, 9, 16, 17, 31, 100};
    const int incs[] = {1, 1, 2, -1, -3, 0};
    for (int n : sizes) {
      for (int incx : incs) {
        for (int incy : incs) {
          for (int run = 0; run < 3; ++run) {
            const bool specials = run == 2;
            const C alpha = scalar(specials);
            const R real_alpha = coin(3) ? R(1) : part(specials);
            const std::vector<C> x = buffer(span(n, incx), specials), y = buffer(span(n, incy), specials);
            const C* xp = x.data() + 2;
            const C* yp = y.data() + 2;
            t_.record(same(ref_.dotu(&n, xp, &incx, yp, &incy), impl_.dotu(&n, xp, &incx, yp, &incy)),
                      describe("dotu", n, incx, incy, run));
            t_.record(same(ref_.dotc(&n, xp, &incx, yp, &incy), impl_.dotc(&n, xp, &incx, yp, &incy)),
                      describe("dotc", n, incx, incy, run));
            auto xr = x, xi = x, yr = y, yi = y;
            if (incy != 0) {
              ref_.axpy(&n, &alpha, xp, &incx, yr.data() + 2, &incy);
              impl_.axpy(&n, &alpha, xp, &incx, yi.data() + 2, &incy);
              t_.record(same(yr, yi), describe("axpy", n, alpha, incx, incy, run));
              yr = y, yi = y;
              ref_.copy(&n, xp, &incx, yr.data() + 2, &incy);
              impl_.copy(&n, xp, &incx, yi.data() + 2, &incy);
              t_.record(same(yr, yi), describe("copy", n, incx, incy, run));
            }
            if (incx != 0 && incy != 0) {
              yr = y, yi = y;
              ref_.swap(&n, xr.data() + 2, &incx, yr.data() + 2, &incy);
              impl_.swap(&n, xi.data() + 2, &incx, yi.data() + 2, &incy);
              t_.record(same(xr, xi) && same(yr, yi), describe("swap", n, incx, incy, run));
              xr = x, xi = x, yr = y, yi = y;
              const R c = part(specials), s = part(specials);
              ref_.rot(&n, xr.data() + 2, &incx, yr.data() + 2, &incy, &c, &s);
              impl_.rot(&n, xi.data() + 2, &incx, yi.data() + 2, &incy, &c, &s);
              t_.record(same(xr, xi) && same(yr, yi), describe("rot", n, incx, incy, c, s, run));
            }
            if (incy == incs[0]) {
              // the Fortran routines' quick returns on increments <= 0 included
              xr = x, xi = x;
              ref_.scal(&n, &alpha, xr.data() + 2, &incx);
              impl_.scal(&n, &alpha, xi.data() + 2, &incx);
              t_.record(same(xr, xi), describe("scal", n, alpha, incx, run));
              xr = x, xi = x;
              ref_.real_scal(&n, &real_alpha, xr.data() + 2, &incx);
              impl_.real_scal(&n, &real_alpha, xi.data() + 2, &incx);
              t_.record(same(xr, xi), describe("real scal", n, real_alpha, incx, run));
              t_.record(same(ref_.asum(&n, xp, &incx), impl_.asum(&n, xp, &incx)),
                        describe("asum", n, incx, run));
              t_.record(same(ref_.nrm2(&n, xp, &incx), impl_.nrm2(&n, xp, &incx)),
                        describe("nrm2", n, incx, run));
              t_.record(ref_.iamax(&n, xp, &incx) == impl_.iamax(&n, xp, &incx),
                        describe("iamax", n, incx, run));
            }
          }
        }
      }
    }
  }

  void rotations() {
    for (int trial = 0; trial < 40000; ++trial) {
      const bool specials = trial % 4 == 0;
      // now and then a zero part or a zero number, where rotg takes its
      // shortcuts
      C a(wide_part(specials), wide_part(specials)), b(wide_part(specials), wide_part(specials));
      if (coin(8)) a = C(coin(2) ? R(0) : a.real(), coin(2) ? R(0) : a.imag());
      if (coin(8)) b = C(coin(2) ? R(0) : b.real(), coin(2) ? R(0) : b.imag());
      C ar = a, ai = a, sr(7, 7), si(7, 7);
      R cr = 7, ci = 7;
      ref_.rotg(&ar, &b, &cr, &sr);
      impl_.rotg(&ai, &b, &ci, &si);
      t_.record(same(ar, ai) && same(cr, ci) && same(sr, si), describe("rotg", a, b));
    }
  }

  // An m x n column-major matrix, its leading dimension padded by pad, with
  // one guard element after it.
  struct stored_matrix {
    std::vector<C> v;
    int ld;
  };
  stored_matrix matrix(int m, int n, int pad, bool specials) {
    const int ld = (m > 1 ? m : 1) + pad;
    return {buffer(static_cast<std::size_t>(ld) * static_cast<std::size_t>(n) + 1, specials), ld};
  }

  void level2() {
    const int sizes[] = {0, 1, 2, 3, 4, 5, 7, 8, 9, 13, 33};
    const int incs[] = {1, 1, 2, -1, -2};
    const char* const transposes[] = {"N", "T", "C", "n", "t", "c"};
    const auto pick = [&](int count) { return std::uniform_int_distribution<int>(0, count - 1)(gen_); };
    for (int trial = 0; trial < 4000; ++trial) {
      const int m = sizes[pick(11)], n = sizes[pick(11)], incx = incs[pick(5)], incy = incs[pick(5)];
      const bool specials = trial % 3 == 2;
      const C alpha = scalar(specials), beta = scalar(specials);
      const int pad = coin(2) ? 0 : 3;
      const stored_matrix a = matrix(m, n, pad, specials);
      {
        const char* t = transposes[pick(6)];
        const bool no_trans = *t == 'N' || *t == 'n';
        const int lenx = no_trans ? n : m, leny = no_trans ? m : n;
        const std::vector<C> x = buffer(span(lenx, incx), specials), y = buffer(span(leny, incy), specials);
        auto yr = y, yi = y;
        ref_.gemv(t, &m, &n, &alpha, a.v.data(), &a.ld, x.data() + 2, &incx, &beta, yr.data() + 2, &incy, 1);
        impl_.gemv(t, &m, &n, &alpha, a.v.data(), &a.ld, x.data() + 2, &incx, &beta, yi.data() + 2, &incy, 1);
        t_.record(same(yr, yi), describe("gemv", t, m, n, alpha, beta, incx, incy, a.ld, specials));
      }
      {
        const std::vector<C> x = buffer(span(m, incx), specials), y = buffer(span(n, incy), specials);
        auto ar = a.v, ai = a.v;
        ref_.geru(&m, &n, &alpha, x.data() + 2, &incx, y.data() + 2, &incy, ar.data(), &a.ld);
        impl_.geru(&m, &n, &alpha, x.data() + 2, &incx, y.data() + 2, &incy, ai.data(), &a.ld);
        t_.record(same(ar, ai), describe("geru", m, n, alpha, incx, incy, a.ld, specials));
        ar = a.v, ai = a.v;
        ref_.gerc(&m, &n, &alpha, x.data() + 2, &incx, y.data() + 2, &incy, ar.data(), &a.ld);
        impl_.gerc(&m, &n, &alpha, x.data() + 2, &incx, y.data() + 2, &incy, ai.data(), &a.ld);
        t_.record(same(ar, ai), describe("gerc", m, n, alpha, incx, incy, a.ld, specials));
      }
      {
        const stored_matrix s = matrix(n, n, pad, specials);
        const char* uplo = pick(2) ? "U" : "l";
        const char* t = transposes[pick(6)];
        const char* diag = pick(2) ? "N" : "u";
        const std::vector<C> x = buffer(span(n, incx), specials), y = buffer(span(n, incy), specials);
        auto yr = y, yi = y;
        ref_.hemv(uplo, &n, &alpha, s.v.data(), &s.ld, x.data() + 2, &incx, &beta, yr.data() + 2, &incy, 1);
        impl_.hemv(uplo, &n, &alpha, s.v.data(), &s.ld, x.data() + 2, &incx, &beta, yi.data() + 2, &incy, 1);
        t_.record(same(yr, yi), describe("hemv", uplo, n, alpha, beta, incx, incy, s.ld, specials));
        const R real_alpha = alpha.real();
        auto ar = s.v, ai = s.v;
        ref_.her(uplo, &n, &real_alpha, x.data() + 2, &incx, ar.data(), &s.ld, 1);
        impl_.her(uplo, &n, &real_alpha, x.data() + 2, &incx, ai.data(), &s.ld, 1);
        t_.record(same(ar, ai), describe("her", uplo, n, real_alpha, incx, s.ld, specials));
        ar = s.v, ai = s.v;
        ref_.her2(uplo, &n, &alpha, x.data() + 2, &incx, y.data() + 2, &incy, ar.data(), &s.ld, 1);
        impl_.her2(uplo, &n, &alpha, x.data() + 2, &incx, y.data() + 2, &incy, ai.data(), &s.ld, 1);
        t_.record(same(ar, ai), describe("her2", uplo, n, alpha, incx, incy, s.ld, specials));
        for (const auto& [name, r, i] :
             {std::tuple{"trmv", ref_.trmv, impl_.trmv}, std::tuple{"trsv", ref_.trsv, impl_.trsv}}) {
          auto xr = x, xi = x;
          r(uplo, t, diag, &n, s.v.data(), &s.ld, xr.data() + 2, &incx, 1, 1, 1);
          i(uplo, t, diag, &n, s.v.data(), &s.ld, xi.data() + 2, &incx, 1, 1, 1);
          t_.record(same(xr, xi), describe(name, uplo, t, diag, n, incx, s.ld, specials));
        }
      }
      {
        // band and packed storage
        const char* t = transposes[pick(6)];
        const char* uplo = pick(2) ? "u" : "L";
        const char* diag = pick(2) ? "n" : "U";
        const bool no_trans = *t == 'N' || *t == 'n';
        const int kl = pick(4), ku = pick(4), k = pick(4), lda = kl + ku + 1 + pad, ldt = k + 1 + pad;
        const std::vector<C> band =
            buffer(static_cast<std::size_t>(lda) * static_cast<std::size_t>(n) + 1, specials);
        const std::vector<C> tri =
            buffer(static_cast<std::size_t>(ldt) * static_cast<std::size_t>(n) + 1, specials);
        const std::vector<C> packed =
            buffer(static_cast<std::size_t>(n) * static_cast<std::size_t>(n + 1) / 2 + 1, specials);
        const int lenx = no_trans ? n : m, leny = no_trans ? m : n;
        const std::vector<C> x = buffer(span(lenx, incx), specials), y = buffer(span(leny, incy), specials);
        auto yr = y, yi = y;
        ref_.gbmv(t, &m, &n, &kl, &ku, &alpha, band.data(), &lda, x.data() + 2, &incx, &beta, yr.data() + 2,
                  &incy, 1);
        impl_.gbmv(t, &m, &n, &kl, &ku, &alpha, band.data(), &lda, x.data() + 2, &incx, &beta, yi.data() + 2,
                   &incy, 1);
        t_.record(same(yr, yi), describe("gbmv", t, m, n, kl, ku, alpha, beta, incx, incy, lda, specials));
        const std::vector<C> u = buffer(span(n, incx), specials), v = buffer(span(n, incy), specials);
        yr = v, yi = v;
        ref_.hbmv(uplo, &n, &k, &alpha, tri.data(), &ldt, u.data() + 2, &incx, &beta, yr.data() + 2, &incy,
                  1);
        impl_.hbmv(uplo, &n, &k, &alpha, tri.data(), &ldt, u.data() + 2, &incx, &beta, yi.data() + 2, &incy,
                   1);
        t_.record(same(yr, yi), describe("hbmv", uplo, n, k, alpha, beta, incx, incy, ldt, specials));
        yr = v, yi = v;
        ref_.hpmv(uplo, &n, &alpha, packed.data(), u.data() + 2, &incx, &beta, yr.data() + 2, &incy, 1);
        impl_.hpmv(uplo, &n, &alpha, packed.data(), u.data() + 2, &incx, &beta, yi.data() + 2, &incy, 1);
        t_.record(same(yr, yi), describe("hpmv", uplo, n, alpha, beta, incx, incy, specials));
        const R real_alpha = alpha.real();
        auto pr = packed, pi = packed;
        ref_.hpr(uplo, &n, &real_alpha, u.data() + 2, &incx, pr.data(), 1);
        impl_.hpr(uplo, &n, &real_alpha, u.data() + 2, &incx, pi.data(), 1);
        t_.record(same(pr, pi), describe("hpr", uplo, n, real_alpha, incx, specials));
        pr = packed, pi = packed;
        ref_.hpr2(uplo, &n, &alpha, u.data() + 2, &incx, v.data() + 2, &incy, pr.data(), 1);
        impl_.hpr2(uplo, &n, &alpha, u.data() + 2, &incx, v.data() + 2, &incy, pi.data(), 1);
        t_.record(same(pr, pi), describe("hpr2", uplo, n, alpha, incx, incy, specials));
        for (const auto& [name, r, i] :
             {std::tuple{"tbmv", ref_.tbmv, impl_.tbmv}, std::tuple{"tbsv", ref_.tbsv, impl_.tbsv}}) {
          auto xr = u, xi = u;
          r(uplo, t, diag, &n, &k, tri.data(), &ldt, xr.data() + 2, &incx, 1, 1, 1);
          i(uplo, t, diag, &n, &k, tri.data(), &ldt, xi.data() + 2, &incx, 1, 1, 1);
          t_.record(same(xr, xi), describe(name, uplo, t, diag, n, k, incx, ldt, specials));
        }
        for (const auto& [name, r, i] :
             {std::tuple{"tpmv", ref_.tpmv, impl_.tpmv}, std::tuple{"tpsv", ref_.tpsv, impl_.tpsv}}) {
          auto xr = u, xi = u;
          r(uplo, t, diag, &n, packed.data(), xr.data() + 2, &incx, 1, 1, 1);
          i(uplo, t, diag, &n, packed.data(), xi.data() + 2, &incx, 1, 1, 1);
          t_.record(same(xr, xi), describe(name, uplo, t, diag, n, incx, specials));
        }
      }
    }
  }

  void level3() {
    const int sizes[] = {0, 1, 2, 3, 4, 5, 7, 9, 16};
    const char* const transposes[] = {"N", "T", "C", "n", "t", "c"};
    const auto pick = [&](int count) { return std::uniform_int_distribution<int>(0, count - 1)(gen_); };
    for (int trial = 0; trial < 1500; ++trial) {
      const int m = sizes[pick(9)], n = sizes[pick(9)], k = sizes[pick(9)];
      const bool specials = trial % 3 == 2;
      const C alpha = scalar(specials), beta = scalar(specials);
      const R real_alpha = pick(4) == 0 ? R(0) : alpha.real(), real_beta = pick(4) == 0 ? R(1) : beta.real();
      const int pad = coin(2) ? 0 : 2;
      const char* uplo = pick(2) ? "U" : "l";
      const char* side = pick(2) ? "L" : "r";
      const char* diag = pick(2) ? "N" : "u";
      const bool left = *side == 'L';
      const stored_matrix c = matrix(m, n, pad, specials);
      const auto compare = [&](const std::vector<C>& r, const std::vector<C>& i, const std::string& what) {
        t_.record(same(r, i), what + (specials ? " specials" : ""));
      };
      {
        const char *ta = transposes[pick(6)], *tb = transposes[pick(6)];
        const bool na = *ta == 'N' || *ta == 'n', nb = *tb == 'N' || *tb == 'n';
        const stored_matrix a = na ? matrix(m, k, pad, specials) : matrix(k, m, pad, specials);
        const stored_matrix b = nb ? matrix(k, n, pad, specials) : matrix(n, k, pad, specials);
        auto cr = c.v, ci = c.v;
        ref_.gemm(ta, tb, &m, &n, &k, &alpha, a.v.data(), &a.ld, b.v.data(), &b.ld, &beta, cr.data(), &c.ld,
                  1, 1);
        impl_.gemm(ta, tb, &m, &n, &k, &alpha, a.v.data(), &a.ld, b.v.data(), &b.ld, &beta, ci.data(), &c.ld,
                   1, 1);
        compare(cr, ci, describe("gemm", ta, tb, m, n, k, alpha, beta, a.ld, b.ld, c.ld));
      }
      {
        const int order = left ? m : n;
        const stored_matrix a = matrix(order, order, pad, specials), b = matrix(m, n, pad, specials);
        for (const auto& [name, r, i] :
             {std::tuple{"symm", ref_.symm, impl_.symm}, std::tuple{"hemm", ref_.hemm, impl_.hemm}}) {
          auto cr = c.v, ci = c.v;
          r(side, uplo, &m, &n, &alpha, a.v.data(), &a.ld, b.v.data(), &b.ld, &beta, cr.data(), &c.ld, 1, 1);
          i(side, uplo, &m, &n, &alpha, a.v.data(), &a.ld, b.v.data(), &b.ld, &beta, ci.data(), &c.ld, 1, 1);
          compare(cr, ci, describe(name, side, uplo, m, n, alpha, beta, a.ld, b.ld, c.ld));
        }
        for (const auto& [name, r, i] :
             {std::tuple{"trmm", ref_.trmm, impl_.trmm}, std::tuple{"trsm", ref_.trsm, impl_.trsm}}) {
          const char* t = transposes[pick(6)];
          auto br = b.v;
          auto bi = br;
          r(side, uplo, t, diag, &m, &n, &alpha, a.v.data(), &a.ld, br.data(), &b.ld, 1, 1, 1, 1);
          i(side, uplo, t, diag, &m, &n, &alpha, a.v.data(), &a.ld, bi.data(), &b.ld, 1, 1, 1, 1);
          compare(br, bi, describe(name, side, uplo, t, diag, m, n, alpha, a.ld, b.ld));
        }
      }
      {
        // the rank-k updates of an n x n C: syrk and syr2k take 'N' and 'T',
        // herk and her2k 'N' and 'C'
        const stored_matrix s = matrix(n, n, pad, specials);
        const bool no_trans = coin(2);
        const stored_matrix a = no_trans ? matrix(n, k, pad, specials) : matrix(k, n, pad, specials);
        const stored_matrix b = no_trans ? matrix(n, k, pad, specials) : matrix(k, n, pad, specials);
        const char* t = no_trans ? "N" : "T";
        const char* h = no_trans ? "n" : "C";
        auto cr = s.v, ci = s.v;
        ref_.syrk(uplo, t, &n, &k, &alpha, a.v.data(), &a.ld, &beta, cr.data(), &s.ld, 1, 1);
        impl_.syrk(uplo, t, &n, &k, &alpha, a.v.data(), &a.ld, &beta, ci.data(), &s.ld, 1, 1);
        compare(cr, ci, describe("syrk", uplo, t, n, k, alpha, beta, a.ld, s.ld));
        cr = s.v, ci = s.v;
        ref_.herk(uplo, h, &n, &k, &real_alpha, a.v.data(), &a.ld, &real_beta, cr.data(), &s.ld, 1, 1);
        impl_.herk(uplo, h, &n, &k, &real_alpha, a.v.data(), &a.ld, &real_beta, ci.data(), &s.ld, 1, 1);
        compare(cr, ci, describe("herk", uplo, h, n, k, real_alpha, real_beta, a.ld, s.ld));
        cr = s.v, ci = s.v;
        ref_.syr2k(uplo, t, &n, &k, &alpha, a.v.data(), &a.ld, b.v.data(), &b.ld, &beta, cr.data(), &s.ld, 1,
                   1);
        impl_.syr2k(uplo, t, &n, &k, &alpha, a.v.data(), &a.ld, b.v.data(), &b.ld, &beta, ci.data(), &s.ld, 1,
                    1);
        compare(cr, ci, describe("syr2k", uplo, t, n, k, alpha, beta, a.ld, b.ld, s.ld));
        cr = s.v, ci = s.v;
        ref_.her2k(uplo, h, &n, &k, &alpha, a.v.data(), &a.ld, b.v.data(), &b.ld, &real_beta, cr.data(),
                   &s.ld, 1, 1);
        impl_.her2k(uplo, h, &n, &k, &alpha, a.v.data(), &a.ld, b.v.data(), &b.ld, &real_beta, ci.data(),
                    &s.ld, 1, 1);
        compare(cr, ci, describe("her2k", uplo, h, n, k, alpha, real_beta, a.ld, b.ld, s.ld));
      }
    }
  }

  const complex_routines<R>& ref_;
  const complex_routines<R>& impl_;
  std::mt19937_64 gen_;
  tally t_;
};

}  // namespace zelt_test

#endif  // ZELT_TESTS_COMPLEX_HARNESS_HPP_
