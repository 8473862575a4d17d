#ifndef ZELT_TESTS_BLAS_IMPLS_HPP_
#define ZELT_TESTS_BLAS_IMPLS_HPP_

// The implementations the harness compares, all behind blas_api<T>, T the
// element type (double: the d routines; float: the s routines):
//   reference_cblas   a library's cblas_* functions (libblas3: the oracle)
//   fortran_symbols   a library's Fortran symbols (ddot_ or sdot_, ...),
//                     column-major only
//   zelt_cpp          zelt's C++ interface over views of T built from the
//                     arguments: external_vec or strided_vec, row- or
//                     column-major matrices, transposed views
#include <cstddef>
#include <string>
#include <type_traits>

#include "blas_api.hpp"
#include "kernel_set_env.hpp"
#include "zelt/blas1.hpp"
#include "zelt/blas2.hpp"
#include "zelt/blas2_band.hpp"
#include "zelt/blas2_packed.hpp"
#include "zelt/blas3.hpp"
#include "zelt/matrix_views.hpp"

namespace zelt_test {

template <class T>
class reference_cblas : public blas_api<T> {
 public:
  explicit reference_cblas(const shared_library& lib)
      : dot_(lib.symbol<decltype(dot_)>(blas_name<T>("cblas_?dot"))),
        axpy_(lib.symbol<decltype(axpy_)>(blas_name<T>("cblas_?axpy"))),
        scal_(lib.symbol<decltype(scal_)>(blas_name<T>("cblas_?scal"))),
        copy_(lib.symbol<decltype(copy_)>(blas_name<T>("cblas_?copy"))),
        swap_(lib.symbol<decltype(swap_)>(blas_name<T>("cblas_?swap"))),
        iamax_(lib.symbol<decltype(iamax_)>(blas_name<T>("cblas_i?amax"))),
        asum_(lib.symbol<decltype(asum_)>(blas_name<T>("cblas_?asum"))),
        nrm2_(lib.symbol<decltype(nrm2_)>(blas_name<T>("cblas_?nrm2"))),
        rot_(lib.symbol<decltype(rot_)>(blas_name<T>("cblas_?rot"))),
        rotg_(lib.symbol<decltype(rotg_)>(blas_name<T>("cblas_?rotg"))),
        rotm_(lib.symbol<decltype(rotm_)>(blas_name<T>("cblas_?rotm"))),
        rotmg_(lib.symbol<decltype(rotmg_)>(blas_name<T>("cblas_?rotmg"))),
        gemv_(lib.symbol<decltype(gemv_)>(blas_name<T>("cblas_?gemv"))),
        ger_(lib.symbol<decltype(ger_)>(blas_name<T>("cblas_?ger"))),
        symv_(lib.symbol<decltype(symv_)>(blas_name<T>("cblas_?symv"))),
        syr_(lib.symbol<decltype(syr_)>(blas_name<T>("cblas_?syr"))),
        syr2_(lib.symbol<decltype(syr2_)>(blas_name<T>("cblas_?syr2"))),
        trmv_(lib.symbol<decltype(trmv_)>(blas_name<T>("cblas_?trmv"))),
        trsv_(lib.symbol<decltype(trsv_)>(blas_name<T>("cblas_?trsv"))),
        mixed_(lib.symbol<decltype(mixed_)>(mixed_dot_name<T>("cblas_"))),
        gbmv_(lib.symbol<decltype(gbmv_)>(blas_name<T>("cblas_?gbmv"))),
        sbmv_(lib.symbol<decltype(sbmv_)>(blas_name<T>("cblas_?sbmv"))),
        spmv_(lib.symbol<decltype(spmv_)>(blas_name<T>("cblas_?spmv"))),
        spr_(lib.symbol<decltype(spr_)>(blas_name<T>("cblas_?spr"))),
        spr2_(lib.symbol<decltype(spr2_)>(blas_name<T>("cblas_?spr2"))),
        tbmv_(lib.symbol<decltype(tbmv_)>(blas_name<T>("cblas_?tbmv"))),
        tbsv_(lib.symbol<decltype(tbsv_)>(blas_name<T>("cblas_?tbsv"))),
        tpmv_(lib.symbol<decltype(tpmv_)>(blas_name<T>("cblas_?tpmv"))),
        tpsv_(lib.symbol<decltype(tpsv_)>(blas_name<T>("cblas_?tpsv"))),
        gemm_(lib.symbol<decltype(gemm_)>(blas_name<T>("cblas_?gemm"))),
        symm_(lib.symbol<decltype(symm_)>(blas_name<T>("cblas_?symm"))),
        syrk_(lib.symbol<decltype(syrk_)>(blas_name<T>("cblas_?syrk"))),
        syr2k_(lib.symbol<decltype(syr2k_)>(blas_name<T>("cblas_?syr2k"))),
        trmm_(lib.symbol<decltype(trmm_)>(blas_name<T>("cblas_?trmm"))),
        trsm_(lib.symbol<decltype(trsm_)>(blas_name<T>("cblas_?trsm"))) {}

  /// Every routine found.
  bool complete() const {
    return dot_ && axpy_ && scal_ && copy_ && swap_ && iamax_ && asum_ && nrm2_ && rot_ && rotg_ && rotm_ &&
           rotmg_ && gemv_ && ger_ && symv_ && syr_ && syr2_ && trmv_ && trsv_ && mixed_ && gbmv_ && sbmv_ &&
           spmv_ && spr_ && spr2_ && tbmv_ && tbsv_ && tpmv_ && tpsv_ && gemm_ && symm_ && syrk_ && syr2k_ &&
           trmm_ && trsm_;
  }

  T mixed_dot(int n, [[maybe_unused]] T sb, const float* x, int incx, const float* y,
              int incy) const override {
    if constexpr (is_single<T>) {
      return mixed_(n, sb, x, incx, y, incy);
    } else {
      return mixed_(n, x, incx, y, incy);
    }
  }
  void gbmv(layout o, transpose t, int m, int n, int kl, int ku, T alpha, const T* a, int lda, const T* x,
            int incx, T beta, T* y, int incy) const override {
    gbmv_(o, t, m, n, kl, ku, alpha, a, lda, x, incx, beta, y, incy);
  }
  void sbmv(layout o, triangle u, int n, int k, T alpha, const T* a, int lda, const T* x, int incx, T beta,
            T* y, int incy) const override {
    sbmv_(o, u, n, k, alpha, a, lda, x, incx, beta, y, incy);
  }
  void spmv(layout o, triangle u, int n, T alpha, const T* ap, const T* x, int incx, T beta, T* y,
            int incy) const override {
    spmv_(o, u, n, alpha, ap, x, incx, beta, y, incy);
  }
  void spr(layout o, triangle u, int n, T alpha, const T* x, int incx, T* ap) const override {
    spr_(o, u, n, alpha, x, incx, ap);
  }
  void spr2(layout o, triangle u, int n, T alpha, const T* x, int incx, const T* y, int incy,
            T* ap) const override {
    spr2_(o, u, n, alpha, x, incx, y, incy, ap);
  }
  void tbmv(layout o, triangle u, transpose t, diagonal d, int n, int k, const T* a, int lda, T* x,
            int incx) const override {
    tbmv_(o, u, t, d, n, k, a, lda, x, incx);
  }
  void tbsv(layout o, triangle u, transpose t, diagonal d, int n, int k, const T* a, int lda, T* x,
            int incx) const override {
    tbsv_(o, u, t, d, n, k, a, lda, x, incx);
  }
  void tpmv(layout o, triangle u, transpose t, diagonal d, int n, const T* ap, T* x,
            int incx) const override {
    tpmv_(o, u, t, d, n, ap, x, incx);
  }
  void tpsv(layout o, triangle u, transpose t, diagonal d, int n, const T* ap, T* x,
            int incx) const override {
    tpsv_(o, u, t, d, n, ap, x, incx);
  }

  T dot(int n, const T* x, int incx, const T* y, int incy) const override {
    return dot_(n, x, incx, y, incy);
  }
  void axpy(int n, T alpha, const T* x, int incx, T* y, int incy) const override {
    axpy_(n, alpha, x, incx, y, incy);
  }
  void scal(int n, T alpha, T* x, int incx) const override { scal_(n, alpha, x, incx); }
  void copy(int n, const T* x, int incx, T* y, int incy) const override { copy_(n, x, incx, y, incy); }
  void swap(int n, T* x, int incx, T* y, int incy) const override { swap_(n, x, incx, y, incy); }
  int iamax(int n, const T* x, int incx) const override { return static_cast<int>(iamax_(n, x, incx)); }
  T asum(int n, const T* x, int incx) const override { return asum_(n, x, incx); }
  T nrm2(int n, const T* x, int incx) const override { return nrm2_(n, x, incx); }
  void rot(int n, T* x, int incx, T* y, int incy, T c, T s) const override {
    rot_(n, x, incx, y, incy, c, s);
  }
  void rotg(T* a, T* b, T* c, T* s) const override { rotg_(a, b, c, s); }
  void rotm(int n, T* x, int incx, T* y, int incy, const T* param) const override {
    rotm_(n, x, incx, y, incy, param);
  }
  void rotmg(T* d1, T* d2, T* x1, T y1, T* param) const override { rotmg_(d1, d2, x1, y1, param); }
  void gemv(layout o, transpose t, int m, int n, T alpha, const T* a, int lda, const T* x, int incx, T beta,
            T* y, int incy) const override {
    gemv_(o, t, m, n, alpha, a, lda, x, incx, beta, y, incy);
  }
  void ger(layout o, int m, int n, T alpha, const T* x, int incx, const T* y, int incy, T* a,
           int lda) const override {
    ger_(o, m, n, alpha, x, incx, y, incy, a, lda);
  }
  void symv(layout o, triangle u, int n, T alpha, const T* a, int lda, const T* x, int incx, T beta, T* y,
            int incy) const override {
    symv_(o, u, n, alpha, a, lda, x, incx, beta, y, incy);
  }
  void syr(layout o, triangle u, int n, T alpha, const T* x, int incx, T* a, int lda) const override {
    syr_(o, u, n, alpha, x, incx, a, lda);
  }
  void syr2(layout o, triangle u, int n, T alpha, const T* x, int incx, const T* y, int incy, T* a,
            int lda) const override {
    syr2_(o, u, n, alpha, x, incx, y, incy, a, lda);
  }
  void trmv(layout o, triangle u, transpose t, diagonal d, int n, const T* a, int lda, T* x,
            int incx) const override {
    trmv_(o, u, t, d, n, a, lda, x, incx);
  }
  void trsv(layout o, triangle u, transpose t, diagonal d, int n, const T* a, int lda, T* x,
            int incx) const override {
    trsv_(o, u, t, d, n, a, lda, x, incx);
  }
  void gemm(layout o, transpose ta, transpose tb, int m, int n, int k, T alpha, const T* a, int lda,
            const T* b, int ldb, T beta, T* c, int ldc) const override {
    gemm_(o, ta, tb, m, n, k, alpha, a, lda, b, ldb, beta, c, ldc);
  }
  void symm(layout o, side s, triangle u, int m, int n, T alpha, const T* a, int lda, const T* b, int ldb,
            T beta, T* c, int ldc) const override {
    symm_(o, s, u, m, n, alpha, a, lda, b, ldb, beta, c, ldc);
  }
  void syrk(layout o, triangle u, transpose t, int n, int k, T alpha, const T* a, int lda, T beta, T* c,
            int ldc) const override {
    syrk_(o, u, t, n, k, alpha, a, lda, beta, c, ldc);
  }
  void syr2k(layout o, triangle u, transpose t, int n, int k, T alpha, const T* a, int lda, const T* b,
             int ldb, T beta, T* c, int ldc) const override {
    syr2k_(o, u, t, n, k, alpha, a, lda, b, ldb, beta, c, ldc);
  }
  void trmm(layout o, side s, triangle u, transpose t, diagonal d, int m, int n, T alpha, const T* a, int lda,
            T* b, int ldb) const override {
    trmm_(o, s, u, t, d, m, n, alpha, a, lda, b, ldb);
  }
  void trsm(layout o, side s, triangle u, transpose t, diagonal d, int m, int n, T alpha, const T* a, int lda,
            T* b, int ldb) const override {
    trsm_(o, s, u, t, d, m, n, alpha, a, lda, b, ldb);
  }

 private:
  using gemm_fn = void (*)(int, int, int, int, int, int, T, const T*, int, const T*, int, T, T*, int);
  using symm_fn = void (*)(int, int, int, int, int, T, const T*, int, const T*, int, T, T*, int);
  using syrk_fn = void (*)(int, int, int, int, int, T, const T*, int, T, T*, int);
  using syr2k_fn = void (*)(int, int, int, int, int, T, const T*, int, const T*, int, T, T*, int);
  using trmm_fn = void (*)(int, int, int, int, int, int, int, T, const T*, int, T*, int);
  T (*dot_)(int, const T*, int, const T*, int);
  void (*axpy_)(int, T, const T*, int, T*, int);
  void (*scal_)(int, T, T*, int);
  void (*copy_)(int, const T*, int, T*, int);
  void (*swap_)(int, T*, int, T*, int);
  std::size_t (*iamax_)(int, const T*, int);
  T (*asum_)(int, const T*, int);
  T (*nrm2_)(int, const T*, int);
  void (*rot_)(int, T*, int, T*, int, T, T);
  void (*rotg_)(T*, T*, T*, T*);
  void (*rotm_)(int, T*, int, T*, int, const T*);
  void (*rotmg_)(T*, T*, T*, T, T*);
  void (*gemv_)(int, int, int, int, T, const T*, int, const T*, int, T, T*, int);
  void (*ger_)(int, int, int, T, const T*, int, const T*, int, T*, int);
  void (*symv_)(int, int, int, T, const T*, int, const T*, int, T, T*, int);
  void (*syr_)(int, int, int, T, const T*, int, T*, int);
  void (*syr2_)(int, int, int, T, const T*, int, const T*, int, T*, int);
  void (*trmv_)(int, int, int, int, int, const T*, int, T*, int);
  void (*trsv_)(int, int, int, int, int, const T*, int, T*, int);
  std::conditional_t<is_single<T>, float (*)(int, float, const float*, int, const float*, int),
                     T (*)(int, const float*, int, const float*, int)>
      mixed_;
  void (*gbmv_)(int, int, int, int, int, int, T, const T*, int, const T*, int, T, T*, int);
  void (*sbmv_)(int, int, int, int, T, const T*, int, const T*, int, T, T*, int);
  void (*spmv_)(int, int, int, T, const T*, const T*, int, T, T*, int);
  void (*spr_)(int, int, int, T, const T*, int, T*);
  void (*spr2_)(int, int, int, T, const T*, int, const T*, int, T*);
  void (*tbmv_)(int, int, int, int, int, int, const T*, int, T*, int);
  void (*tbsv_)(int, int, int, int, int, int, const T*, int, T*, int);
  void (*tpmv_)(int, int, int, int, int, const T*, T*, int);
  void (*tpsv_)(int, int, int, int, int, const T*, T*, int);
  gemm_fn gemm_;
  symm_fn symm_;
  syrk_fn syrk_;
  syr2k_fn syr2k_;
  trmm_fn trmm_, trsm_;
};

/// Fortran symbols: LP64 integers by address, character flags with their
/// hidden lengths; the REAL functions (sdot_, sasum_, snrm2_, sdsdot_) return
/// a float, as gfortran returns them. Column-major only.
template <class T>
class fortran_symbols : public blas_api<T> {
 public:
  explicit fortran_symbols(const shared_library& lib)
      : dot_(lib.symbol<decltype(dot_)>(blas_name<T>("?dot_"))),
        axpy_(lib.symbol<decltype(axpy_)>(blas_name<T>("?axpy_"))),
        scal_(lib.symbol<decltype(scal_)>(blas_name<T>("?scal_"))),
        copy_(lib.symbol<decltype(copy_)>(blas_name<T>("?copy_"))),
        swap_(lib.symbol<decltype(swap_)>(blas_name<T>("?swap_"))),
        iamax_(lib.symbol<decltype(iamax_)>(blas_name<T>("i?amax_"))),
        asum_(lib.symbol<decltype(asum_)>(blas_name<T>("?asum_"))),
        nrm2_(lib.symbol<decltype(nrm2_)>(blas_name<T>("?nrm2_"))),
        rot_(lib.symbol<decltype(rot_)>(blas_name<T>("?rot_"))),
        rotg_(lib.symbol<decltype(rotg_)>(blas_name<T>("?rotg_"))),
        rotm_(lib.symbol<decltype(rotm_)>(blas_name<T>("?rotm_"))),
        rotmg_(lib.symbol<decltype(rotmg_)>(blas_name<T>("?rotmg_"))),
        gemv_(lib.symbol<decltype(gemv_)>(blas_name<T>("?gemv_"))),
        ger_(lib.symbol<decltype(ger_)>(blas_name<T>("?ger_"))),
        symv_(lib.symbol<decltype(symv_)>(blas_name<T>("?symv_"))),
        syr_(lib.symbol<decltype(syr_)>(blas_name<T>("?syr_"))),
        syr2_(lib.symbol<decltype(syr2_)>(blas_name<T>("?syr2_"))),
        trmv_(lib.symbol<decltype(trmv_)>(blas_name<T>("?trmv_"))),
        trsv_(lib.symbol<decltype(trsv_)>(blas_name<T>("?trsv_"))),
        mixed_(lib.symbol<decltype(mixed_)>(mixed_dot_name<T>("", "_"))),
        gbmv_(lib.symbol<decltype(gbmv_)>(blas_name<T>("?gbmv_"))),
        sbmv_(lib.symbol<decltype(sbmv_)>(blas_name<T>("?sbmv_"))),
        spmv_(lib.symbol<decltype(spmv_)>(blas_name<T>("?spmv_"))),
        spr_(lib.symbol<decltype(spr_)>(blas_name<T>("?spr_"))),
        spr2_(lib.symbol<decltype(spr2_)>(blas_name<T>("?spr2_"))),
        tbmv_(lib.symbol<decltype(tbmv_)>(blas_name<T>("?tbmv_"))),
        tbsv_(lib.symbol<decltype(tbsv_)>(blas_name<T>("?tbsv_"))),
        tpmv_(lib.symbol<decltype(tpmv_)>(blas_name<T>("?tpmv_"))),
        tpsv_(lib.symbol<decltype(tpsv_)>(blas_name<T>("?tpsv_"))),
        gemm_(lib.symbol<decltype(gemm_)>(blas_name<T>("?gemm_"))),
        symm_(lib.symbol<decltype(symm_)>(blas_name<T>("?symm_"))),
        syrk_(lib.symbol<decltype(syrk_)>(blas_name<T>("?syrk_"))),
        syr2k_(lib.symbol<decltype(syr2k_)>(blas_name<T>("?syr2k_"))),
        trmm_(lib.symbol<decltype(trmm_)>(blas_name<T>("?trmm_"))),
        trsm_(lib.symbol<decltype(trsm_)>(blas_name<T>("?trsm_"))) {}

  /// Every routine found.
  bool complete() const {
    return dot_ && axpy_ && scal_ && copy_ && swap_ && iamax_ && asum_ && nrm2_ && rot_ && rotg_ && rotm_ &&
           rotmg_ && gemv_ && ger_ && symv_ && syr_ && syr2_ && trmv_ && trsv_ && mixed_ && gbmv_ && sbmv_ &&
           spmv_ && spr_ && spr2_ && tbmv_ && tbsv_ && tpmv_ && tpsv_ && gemm_ && symm_ && syrk_ && syr2k_ &&
           trmm_ && trsm_;
  }
  bool has_row_major() const override { return false; }

  T mixed_dot(int n, [[maybe_unused]] T sb, const float* x, int incx, const float* y,
              int incy) const override {
    if constexpr (is_single<T>) {
      return mixed_(&n, &sb, x, &incx, y, &incy);
    } else {
      return mixed_(&n, x, &incx, y, &incy);
    }
  }
  void gbmv(layout, transpose t, int m, int n, int kl, int ku, T alpha, const T* a, int lda, const T* x,
            int incx, T beta, T* y, int incy) const override {
    gbmv_(flag(t == trans ? "TtCc" : "Nn", m + kl), &m, &n, &kl, &ku, &alpha, a, &lda, x, &incx, &beta, y,
          &incy, 1);
  }
  void sbmv(layout, triangle u, int n, int k, T alpha, const T* a, int lda, const T* x, int incx, T beta,
            T* y, int incy) const override {
    sbmv_(flag(u == upper ? "Uu" : "Ll", n + k), &n, &k, &alpha, a, &lda, x, &incx, &beta, y, &incy, 1);
  }
  void spmv(layout, triangle u, int n, T alpha, const T* ap, const T* x, int incx, T beta, T* y,
            int incy) const override {
    spmv_(flag(u == upper ? "Uu" : "Ll", n), &n, &alpha, ap, x, &incx, &beta, y, &incy, 1);
  }
  void spr(layout, triangle u, int n, T alpha, const T* x, int incx, T* ap) const override {
    spr_(flag(u == upper ? "Uu" : "Ll", n), &n, &alpha, x, &incx, ap, 1);
  }
  void spr2(layout, triangle u, int n, T alpha, const T* x, int incx, const T* y, int incy,
            T* ap) const override {
    spr2_(flag(u == upper ? "Uu" : "Ll", n), &n, &alpha, x, &incx, y, &incy, ap, 1);
  }
  void tbmv(layout, triangle u, transpose t, diagonal d, int n, int k, const T* a, int lda, T* x,
            int incx) const override {
    tbmv_(flag(u == upper ? "Uu" : "Ll", n), flag(t == trans ? "TcT" : "nN", n + k),
          flag(d == unit ? "Uu" : "nN", k), &n, &k, a, &lda, x, &incx, 1, 1, 1);
  }
  void tbsv(layout, triangle u, transpose t, diagonal d, int n, int k, const T* a, int lda, T* x,
            int incx) const override {
    tbsv_(flag(u == upper ? "Uu" : "Ll", n), flag(t == trans ? "TcT" : "nN", n + k),
          flag(d == unit ? "Uu" : "nN", k), &n, &k, a, &lda, x, &incx, 1, 1, 1);
  }
  void tpmv(layout, triangle u, transpose t, diagonal d, int n, const T* ap, T* x, int incx) const override {
    tpmv_(flag(u == upper ? "Uu" : "Ll", n), flag(t == trans ? "TcT" : "nN", n + 1),
          flag(d == unit ? "Uu" : "nN", n), &n, ap, x, &incx, 1, 1, 1);
  }
  void tpsv(layout, triangle u, transpose t, diagonal d, int n, const T* ap, T* x, int incx) const override {
    tpsv_(flag(u == upper ? "Uu" : "Ll", n), flag(t == trans ? "TcT" : "nN", n + 1),
          flag(d == unit ? "Uu" : "nN", n), &n, ap, x, &incx, 1, 1, 1);
  }

  T dot(int n, const T* x, int incx, const T* y, int incy) const override {
    return dot_(&n, x, &incx, y, &incy);
  }
  void axpy(int n, T alpha, const T* x, int incx, T* y, int incy) const override {
    axpy_(&n, &alpha, x, &incx, y, &incy);
  }
  void scal(int n, T alpha, T* x, int incx) const override { scal_(&n, &alpha, x, &incx); }
  void copy(int n, const T* x, int incx, T* y, int incy) const override { copy_(&n, x, &incx, y, &incy); }
  void swap(int n, T* x, int incx, T* y, int incy) const override { swap_(&n, x, &incx, y, &incy); }
  int iamax(int n, const T* x, int incx) const override {
    const int one_based = iamax_(&n, x, &incx);
    return one_based == 0 ? 0 : one_based - 1;  // as CBLAS: "none" is 0
  }
  T asum(int n, const T* x, int incx) const override { return asum_(&n, x, &incx); }
  T nrm2(int n, const T* x, int incx) const override { return nrm2_(&n, x, &incx); }
  void rot(int n, T* x, int incx, T* y, int incy, T c, T s) const override {
    rot_(&n, x, &incx, y, &incy, &c, &s);
  }
  void rotg(T* a, T* b, T* c, T* s) const override { rotg_(a, b, c, s); }
  void rotm(int n, T* x, int incx, T* y, int incy, const T* param) const override {
    rotm_(&n, x, &incx, y, &incy, param);
  }
  void rotmg(T* d1, T* d2, T* x1, T y1, T* param) const override { rotmg_(d1, d2, x1, &y1, param); }
  void gemv(layout, transpose t, int m, int n, T alpha, const T* a, int lda, const T* x, int incx, T beta,
            T* y, int incy) const override {
    gemv_(t == trans ? "T" : "N", &m, &n, &alpha, a, &lda, x, &incx, &beta, y, &incy, 1);
  }
  void ger(layout, int m, int n, T alpha, const T* x, int incx, const T* y, int incy, T* a,
           int lda) const override {
    ger_(&m, &n, &alpha, x, &incx, y, &incy, a, &lda);
  }
  void symv(layout, triangle u, int n, T alpha, const T* a, int lda, const T* x, int incx, T beta, T* y,
            int incy) const override {
    symv_(u == upper ? "U" : "L", &n, &alpha, a, &lda, x, &incx, &beta, y, &incy, 1);
  }
  void syr(layout, triangle u, int n, T alpha, const T* x, int incx, T* a, int lda) const override {
    syr_(u == upper ? "U" : "L", &n, &alpha, x, &incx, a, &lda, 1);
  }
  void syr2(layout, triangle u, int n, T alpha, const T* x, int incx, const T* y, int incy, T* a,
            int lda) const override {
    syr2_(u == upper ? "U" : "L", &n, &alpha, x, &incx, y, &incy, a, &lda, 1);
  }
  void trmv(layout, triangle u, transpose t, diagonal d, int n, const T* a, int lda, T* x,
            int incx) const override {
    trmv_(u == upper ? "U" : "L", t == trans ? "T" : "N", d == unit ? "U" : "N", &n, a, &lda, x, &incx, 1, 1,
          1);
  }
  void trsv(layout, triangle u, transpose t, diagonal d, int n, const T* a, int lda, T* x,
            int incx) const override {
    trsv_(u == upper ? "U" : "L", t == trans ? "T" : "N", d == unit ? "U" : "N", &n, a, &lda, x, &incx, 1, 1,
          1);
  }
  // The Level 3 flags in every spelling the reference accepts ('C' for a
  // transpose, either case), picked by a size so that runs are repeatable.
  static const char* flag(const char* spellings, int pick) {
    static const char letters[] = "LlRrUuNnTtCc";
    const std::size_t count = std::char_traits<char>::length(spellings);
    const char wanted = spellings[static_cast<std::size_t>(pick < 0 ? -pick : pick) % count];
    return &letters[std::char_traits<char>::find(letters, sizeof letters - 1, wanted) - letters];
  }
  void gemm(layout, transpose ta, transpose tb, int m, int n, int k, T alpha, const T* a, int lda, const T* b,
            int ldb, T beta, T* c, int ldc) const override {
    gemm_(flag(ta == trans ? "TCt" : "Nn", m), flag(tb == trans ? "tCT" : "nN", n), &m, &n, &k, &alpha, a,
          &lda, b, &ldb, &beta, c, &ldc, 1, 1);
  }
  void symm(layout, side s, triangle u, int m, int n, T alpha, const T* a, int lda, const T* b, int ldb,
            T beta, T* c, int ldc) const override {
    symm_(flag(s == left_side ? "Ll" : "Rr", m), flag(u == upper ? "Uu" : "Ll", n), &m, &n, &alpha, a, &lda,
          b, &ldb, &beta, c, &ldc, 1, 1);
  }
  void syrk(layout, triangle u, transpose t, int n, int k, T alpha, const T* a, int lda, T beta, T* c,
            int ldc) const override {
    syrk_(flag(u == upper ? "Uu" : "lL", n), flag(t == trans ? "TCt" : "Nn", k), &n, &k, &alpha, a, &lda,
          &beta, c, &ldc, 1, 1);
  }
  void syr2k(layout, triangle u, transpose t, int n, int k, T alpha, const T* a, int lda, const T* b, int ldb,
             T beta, T* c, int ldc) const override {
    syr2k_(flag(u == upper ? "Uu" : "lL", n), flag(t == trans ? "TCt" : "Nn", k), &n, &k, &alpha, a, &lda, b,
           &ldb, &beta, c, &ldc, 1, 1);
  }
  void trmm(layout, side s, triangle u, transpose t, diagonal d, int m, int n, T alpha, const T* a, int lda,
            T* b, int ldb) const override {
    trmm_(flag(s == left_side ? "Ll" : "Rr", m), flag(u == upper ? "Uu" : "Ll", n),
          flag(t == trans ? "TcT" : "nN", m + n), flag(d == unit ? "Uu" : "nN", m), &m, &n, &alpha, a, &lda,
          b, &ldb, 1, 1, 1, 1);
  }
  void trsm(layout, side s, triangle u, transpose t, diagonal d, int m, int n, T alpha, const T* a, int lda,
            T* b, int ldb) const override {
    trsm_(flag(s == left_side ? "Ll" : "Rr", m), flag(u == upper ? "Uu" : "Ll", n),
          flag(t == trans ? "TcT" : "nN", m + n), flag(d == unit ? "Uu" : "nN", m), &m, &n, &alpha, a, &lda,
          b, &ldb, 1, 1, 1, 1);
  }

 private:
  using len = std::size_t;  // a hidden Fortran string length
  T (*dot_)(const int*, const T*, const int*, const T*, const int*);
  void (*axpy_)(const int*, const T*, const T*, const int*, T*, const int*);
  void (*scal_)(const int*, const T*, T*, const int*);
  void (*copy_)(const int*, const T*, const int*, T*, const int*);
  void (*swap_)(const int*, T*, const int*, T*, const int*);
  int (*iamax_)(const int*, const T*, const int*);
  T (*asum_)(const int*, const T*, const int*);
  T (*nrm2_)(const int*, const T*, const int*);
  void (*rot_)(const int*, T*, const int*, T*, const int*, const T*, const T*);
  void (*rotg_)(T*, T*, T*, T*);
  void (*rotm_)(const int*, T*, const int*, T*, const int*, const T*);
  void (*rotmg_)(T*, T*, T*, const T*, T*);
  void (*gemv_)(const char*, const int*, const int*, const T*, const T*, const int*, const T*, const int*,
                const T*, T*, const int*, len);
  void (*ger_)(const int*, const int*, const T*, const T*, const int*, const T*, const int*, T*, const int*);
  void (*symv_)(const char*, const int*, const T*, const T*, const int*, const T*, const int*, const T*, T*,
                const int*, len);
  void (*syr_)(const char*, const int*, const T*, const T*, const int*, T*, const int*, len);
  void (*syr2_)(const char*, const int*, const T*, const T*, const int*, const T*, const int*, T*, const int*,
                len);
  void (*trmv_)(const char*, const char*, const char*, const int*, const T*, const int*, T*, const int*, len,
                len, len);
  void (*trsv_)(const char*, const char*, const char*, const int*, const T*, const int*, T*, const int*, len,
                len, len);
  std::conditional_t<is_single<T>,
                     float (*)(const int*, const float*, const float*, const int*, const float*, const int*),
                     T (*)(const int*, const float*, const int*, const float*, const int*)>
      mixed_;
  void (*gbmv_)(const char*, const int*, const int*, const int*, const int*, const T*, const T*, const int*,
                const T*, const int*, const T*, T*, const int*, len);
  void (*sbmv_)(const char*, const int*, const int*, const T*, const T*, const int*, const T*, const int*,
                const T*, T*, const int*, len);
  void (*spmv_)(const char*, const int*, const T*, const T*, const T*, const int*, const T*, T*, const int*,
                len);
  void (*spr_)(const char*, const int*, const T*, const T*, const int*, T*, len);
  void (*spr2_)(const char*, const int*, const T*, const T*, const int*, const T*, const int*, T*, len);
  using tbmv_fn = void (*)(const char*, const char*, const char*, const int*, const int*, const T*,
                           const int*, T*, const int*, len, len, len);
  tbmv_fn tbmv_, tbsv_;
  using tpmv_fn = void (*)(const char*, const char*, const char*, const int*, const T*, T*, const int*, len,
                           len, len);
  tpmv_fn tpmv_, tpsv_;
  void (*gemm_)(const char*, const char*, const int*, const int*, const int*, const T*, const T*, const int*,
                const T*, const int*, const T*, T*, const int*, len, len);
  void (*symm_)(const char*, const char*, const int*, const int*, const T*, const T*, const int*, const T*,
                const int*, const T*, T*, const int*, len, len);
  void (*syrk_)(const char*, const char*, const int*, const int*, const T*, const T*, const int*, const T*,
                T*, const int*, len, len);
  void (*syr2k_)(const char*, const char*, const int*, const int*, const T*, const T*, const int*, const T*,
                 const int*, const T*, T*, const int*, len, len);
  using trmm_fn = void (*)(const char*, const char*, const char*, const char*, const int*, const int*,
                           const T*, const T*, const int*, T*, const int*, len, len, len, len);
  trmm_fn trmm_, trsm_;
};

// T's mixed-precision dot in zelt's C++ interface: zelt::dsdot(x, y) for
// double, zelt::sdsdot(sb, x, y) for float (named only where the float
// instantiations are compiled).
template <class X, class Y>
double zelt_mixed_dot(double, const X& x, const Y& y) {
  return zelt::dsdot(x, y);
}
template <class X, class Y>
float zelt_mixed_dot(float sb, const X& x, const Y& y) {
  return zelt::sdsdot(sb, x, y);
}

/// zelt's C++ interface. Vectors with increment 1 become external_vec, other
/// increments strided_vec (from the far end when negative); matrices become
/// col_major_matrix or row_major_matrix views, and a transposed operation is
/// the transposed() view.
template <class T>
class zelt_cpp : public blas_api<T> {
 public:
  using vec = zelt::external_vec<T, 0, unsigned int>;
  using cvec = zelt::external_vec<const T, 0, unsigned int>;
  using svec = zelt::strided_vec<T, unsigned int>;
  using csvec = zelt::strided_vec<const T, unsigned int>;

  /// `strided_unit`: build increment 1 as a strided_vec too; `threads`: the
  /// Level 3 operations' thread count.
  explicit zelt_cpp(bool strided_unit = false, unsigned threads = 1)
      : strided_unit_(strided_unit), threads_(threads) {}

  // Calls f with the view of the n elements of p with increment inc.
  template <class E, class F>
  auto with(int n, E* p, int inc, F f) const {
    const auto length = static_cast<unsigned>(n < 0 ? 0 : n);
    if (inc == 1 && !strided_unit_) return f(zelt::external_vec<E, 0, unsigned int>(p, length, 0));
    E* first = inc < 0 && n > 0 ? p + static_cast<std::ptrdiff_t>(n - 1) * -inc : p;
    return f(zelt::strided_vec<E, unsigned int>(first, length, inc));
  }
  // Calls f with the matrix op(A), A the m x n matrix at a in layout o.
  template <class E, class F>
  static void with_op(layout o, transpose t, E* a, int m, int n, int lda, F f) {
    const auto rows = static_cast<unsigned>(m), cols = static_cast<unsigned>(n),
               ld = static_cast<unsigned>(lda);
    if (o == col_major) {
      const zelt::col_major_matrix<E> A(a, rows, cols, ld);
      if (t == trans) {
        f(zelt::transposed(A));
      } else {
        f(A);
      }
    } else {
      const zelt::row_major_matrix<E> A(a, rows, cols, ld);
      if (t == trans) {
        f(zelt::transposed(A));
      } else {
        f(A);
      }
    }
  }
  template <class F>
  static void with_triangle(triangle u, F f) {
    if (u == upper) {
      f(zelt::upper);
    } else {
      f(zelt::lower);
    }
  }
  template <class F>
  static void with_side(side s, F f) {
    if (s == left_side) {
      f(zelt::left);
    } else {
      f(zelt::right);
    }
  }
  static triangle flipped(triangle u, transpose t) { return t == trans ? (u == upper ? lower : upper) : u; }
  template <class F>
  static void with_diagonal(diagonal d, F f) {
    if (d == unit) {
      f(zelt::unit_diagonal);
    } else {
      f(zelt::non_unit_diagonal);
    }
  }

  T dot(int n, const T* x, int incx, const T* y, int incy) const override {
    return with(n, x, incx,
                [&](auto vx) { return with(n, y, incy, [&](auto vy) { return zelt::dot(vx, vy); }); });
  }
  void axpy(int n, T alpha, const T* x, int incx, T* y, int incy) const override {
    with(n, x, incx, [&](auto vx) { with(n, y, incy, [&](auto vy) { zelt::axpy(alpha, vx, vy); }); });
  }
  void scal(int n, T alpha, T* x, int incx) const override {
    with(n, x, incx, [&](auto vx) { zelt::scal(alpha, vx); });
  }
  void copy(int n, const T* x, int incx, T* y, int incy) const override {
    with(n, x, incx, [&](auto vx) { with(n, y, incy, [&](auto vy) { zelt::copy(vx, vy); }); });
  }
  void swap(int n, T* x, int incx, T* y, int incy) const override {
    with(n, x, incx, [&](auto vx) { with(n, y, incy, [&](auto vy) { zelt::swap_elements(vx, vy); }); });
  }
  int iamax(int n, const T* x, int incx) const override {
    if (n <= 0) return 0;  // CBLAS reports "none" as 0
    return with(n, x, incx, [&](auto vx) { return static_cast<int>(zelt::iamax(vx)); });
  }
  T asum(int n, const T* x, int incx) const override {
    return with(n, x, incx, [&](auto vx) { return zelt::asum(vx); });
  }
  T nrm2(int n, const T* x, int incx) const override {
    return with(n, x, incx, [&](auto vx) { return zelt::nrm2(vx); });
  }
  void rot(int n, T* x, int incx, T* y, int incy, T c, T s) const override {
    with(n, x, incx, [&](auto vx) { with(n, y, incy, [&](auto vy) { zelt::rot(vx, vy, c, s); }); });
  }
  void rotg(T* a, T* b, T* c, T* s) const override { zelt::rotg(*a, *b, *c, *s); }
  void rotm(int n, T* x, int incx, T* y, int incy, const T* param) const override {
    with(n, x, incx, [&](auto vx) { with(n, y, incy, [&](auto vy) { zelt::rotm(vx, vy, param); }); });
  }
  void rotmg(T* d1, T* d2, T* x1, T y1, T* param) const override { zelt::rotmg(*d1, *d2, *x1, y1, param); }

  void gemv(layout o, transpose t, int m, int n, T alpha, const T* a, int lda, const T* x, int incx, T beta,
            T* y, int incy) const override {
    const int lenx = t == trans ? m : n, leny = t == trans ? n : m;
    with_op(o, t, a, m, n, lda, [&](auto A) {
      with(lenx, x, incx,
           [&](auto vx) { with(leny, y, incy, [&](auto vy) { zelt::gemv(alpha, A, vx, beta, vy); }); });
    });
  }
  void ger(layout o, int m, int n, T alpha, const T* x, int incx, const T* y, int incy, T* a,
           int lda) const override {
    with_op(o, no_trans, a, m, n, lda, [&](auto A) {
      with(m, x, incx, [&](auto vx) { with(n, y, incy, [&](auto vy) { zelt::ger(alpha, vx, vy, A); }); });
    });
  }
  void symv(layout o, triangle u, int n, T alpha, const T* a, int lda, const T* x, int incx, T beta, T* y,
            int incy) const override {
    with_op(o, no_trans, a, n, n, lda, [&](auto A) {
      with(n, x, incx, [&](auto vx) {
        with(n, y, incy,
             [&](auto vy) { with_triangle(u, [&](auto tri) { zelt::symv(tri, alpha, A, vx, beta, vy); }); });
      });
    });
  }
  void syr(layout o, triangle u, int n, T alpha, const T* x, int incx, T* a, int lda) const override {
    with_op(o, no_trans, a, n, n, lda, [&](auto A) {
      with(n, x, incx, [&](auto vx) { with_triangle(u, [&](auto tri) { zelt::syr(tri, alpha, vx, A); }); });
    });
  }
  void syr2(layout o, triangle u, int n, T alpha, const T* x, int incx, const T* y, int incy, T* a,
            int lda) const override {
    with_op(o, no_trans, a, n, n, lda, [&](auto A) {
      with(n, x, incx, [&](auto vx) {
        with(n, y, incy,
             [&](auto vy) { with_triangle(u, [&](auto tri) { zelt::syr2(tri, alpha, vx, vy, A); }); });
      });
    });
  }
  // A triangle of op(A) is named as passed: upper of transposed(A) is the
  // lower triangle of A, which is what the reference call's `uplo` names.
  void trmv(layout o, triangle u, transpose t, diagonal d, int n, const T* a, int lda, T* x,
            int incx) const override {
    const triangle as_passed = t == trans ? (u == upper ? lower : upper) : u;
    with_op(o, t, a, n, n, lda, [&](auto A) {
      with(n, x, incx, [&](auto vx) {
        with_triangle(as_passed,
                      [&](auto tri) { with_diagonal(d, [&](auto dg) { zelt::trmv(tri, dg, A, vx); }); });
      });
    });
  }
  void trsv(layout o, triangle u, transpose t, diagonal d, int n, const T* a, int lda, T* x,
            int incx) const override {
    const triangle as_passed = t == trans ? (u == upper ? lower : upper) : u;
    with_op(o, t, a, n, n, lda, [&](auto A) {
      with(n, x, incx, [&](auto vx) {
        with_triangle(as_passed,
                      [&](auto tri) { with_diagonal(d, [&](auto dg) { zelt::trsv(tri, dg, A, vx); }); });
      });
    });
  }

  // Band and packed storage: the views in the caller's layout, transposed()
  // for a transposed operation.
  template <class F>
  static void with_band(layout o, transpose t, const T* a, int m, int n, int kl, int ku, int lda, F f) {
    const auto rows = static_cast<std::size_t>(m), cols = static_cast<std::size_t>(n),
               l = static_cast<std::size_t>(kl), u = static_cast<std::size_t>(ku),
               ld = static_cast<std::size_t>(lda);
    if (o == col_major) {
      const zelt::col_major_band<const T> A(a, rows, cols, l, u, ld);
      if (t == trans) {
        f(zelt::transposed(A));
      } else {
        f(A);
      }
    } else {
      const zelt::row_major_band<const T> A(a, rows, cols, l, u, ld);
      if (t == trans) {
        f(zelt::transposed(A));
      } else {
        f(A);
      }
    }
  }
  template <class Triangle, class Orientation, class F>
  static void with_triangle_band(transpose t, const T* a, int n, int k, int lda, F f) {
    const zelt::triangle_band<const T, Triangle, Orientation> A(
        a, static_cast<std::size_t>(n), static_cast<std::size_t>(k), static_cast<std::size_t>(lda));
    if (t == trans) {
      f(zelt::transposed(A));
    } else {
      f(A);
    }
  }
  template <class F>
  static void with_triangle_band(layout o, triangle u, transpose t, const T* a, int n, int k, int lda, F f) {
    if (o == col_major) {
      if (u == upper) return with_triangle_band<zelt::upper_t, zelt::col_orien>(t, a, n, k, lda, f);
      return with_triangle_band<zelt::lower_t, zelt::col_orien>(t, a, n, k, lda, f);
    }
    if (u == upper) return with_triangle_band<zelt::upper_t, zelt::row_orien>(t, a, n, k, lda, f);
    return with_triangle_band<zelt::lower_t, zelt::row_orien>(t, a, n, k, lda, f);
  }
  template <class Triangle, class Orientation, class E, class F>
  static void with_packed(transpose t, E* ap, int n, F f) {
    const zelt::packed_matrix<E, Triangle, Orientation> A(ap, static_cast<std::size_t>(n));
    if (t == trans) {
      f(zelt::transposed(A));
    } else {
      f(A);
    }
  }
  template <class E, class F>
  static void with_packed(layout o, triangle u, transpose t, E* ap, int n, F f) {
    if (o == col_major) {
      if (u == upper) return with_packed<zelt::upper_t, zelt::col_orien>(t, ap, n, f);
      return with_packed<zelt::lower_t, zelt::col_orien>(t, ap, n, f);
    }
    if (u == upper) return with_packed<zelt::upper_t, zelt::row_orien>(t, ap, n, f);
    return with_packed<zelt::lower_t, zelt::row_orien>(t, ap, n, f);
  }

  T mixed_dot(int n, T sb, const float* x, int incx, const float* y, int incy) const override {
    return with(n, x, incx, [&](auto vx) {
      return with(n, y, incy, [&](auto vy) { return zelt_mixed_dot(sb, vx, vy); });
    });
  }
  void gbmv(layout o, transpose t, int m, int n, int kl, int ku, T alpha, const T* a, int lda, const T* x,
            int incx, T beta, T* y, int incy) const override {
    const int lenx = t == trans ? m : n, leny = t == trans ? n : m;
    with_band(o, t, a, m, n, kl, ku, lda, [&](const auto& A) {
      with(lenx, x, incx,
           [&](auto vx) { with(leny, y, incy, [&](auto vy) { zelt::gbmv(alpha, A, vx, beta, vy); }); });
    });
  }
  void sbmv(layout o, triangle u, int n, int k, T alpha, const T* a, int lda, const T* x, int incx, T beta,
            T* y, int incy) const override {
    with_triangle_band(o, u, no_trans, a, n, k, lda, [&](const auto& A) {
      with(n, x, incx,
           [&](auto vx) { with(n, y, incy, [&](auto vy) { zelt::sbmv(alpha, A, vx, beta, vy); }); });
    });
  }
  void spmv(layout o, triangle u, int n, T alpha, const T* ap, const T* x, int incx, T beta, T* y,
            int incy) const override {
    with_packed(o, u, no_trans, ap, n, [&](const auto& A) {
      with(n, x, incx,
           [&](auto vx) { with(n, y, incy, [&](auto vy) { zelt::spmv(alpha, A, vx, beta, vy); }); });
    });
  }
  void spr(layout o, triangle u, int n, T alpha, const T* x, int incx, T* ap) const override {
    with_packed(o, u, no_trans, ap, n,
                [&](const auto& A) { with(n, x, incx, [&](auto vx) { zelt::spr(alpha, vx, A); }); });
  }
  void spr2(layout o, triangle u, int n, T alpha, const T* x, int incx, const T* y, int incy,
            T* ap) const override {
    with_packed(o, u, no_trans, ap, n, [&](const auto& A) {
      with(n, x, incx, [&](auto vx) { with(n, y, incy, [&](auto vy) { zelt::spr2(alpha, vx, vy, A); }); });
    });
  }
  void tbmv(layout o, triangle u, transpose t, diagonal d, int n, int k, const T* a, int lda, T* x,
            int incx) const override {
    with_triangle_band(o, u, t, a, n, k, lda, [&](const auto& A) {
      with(n, x, incx, [&](auto vx) { with_diagonal(d, [&](auto dg) { zelt::tbmv(dg, A, vx); }); });
    });
  }
  void tbsv(layout o, triangle u, transpose t, diagonal d, int n, int k, const T* a, int lda, T* x,
            int incx) const override {
    with_triangle_band(o, u, t, a, n, k, lda, [&](const auto& A) {
      with(n, x, incx, [&](auto vx) { with_diagonal(d, [&](auto dg) { zelt::tbsv(dg, A, vx); }); });
    });
  }
  void tpmv(layout o, triangle u, transpose t, diagonal d, int n, const T* ap, T* x,
            int incx) const override {
    with_packed(o, u, t, ap, n, [&](const auto& A) {
      with(n, x, incx, [&](auto vx) { with_diagonal(d, [&](auto dg) { zelt::tpmv(dg, A, vx); }); });
    });
  }
  void tpsv(layout o, triangle u, transpose t, diagonal d, int n, const T* ap, T* x,
            int incx) const override {
    with_packed(o, u, t, ap, n, [&](const auto& A) {
      with(n, x, incx, [&](auto vx) { with_diagonal(d, [&](auto dg) { zelt::tpsv(dg, A, vx); }); });
    });
  }

  void gemm(layout o, transpose ta, transpose tb, int m, int n, int k, T alpha, const T* a, int lda,
            const T* b, int ldb, T beta, T* c, int ldc) const override {
    with_op(o, ta, a, ta == trans ? k : m, ta == trans ? m : k, lda, [&](auto A) {
      with_op(o, tb, b, tb == trans ? n : k, tb == trans ? k : n, ldb, [&](auto B) {
        with_op(o, no_trans, c, m, n, ldc,
                [&](auto C) { zelt::gemm(zelt::threads(threads_), alpha, A, B, beta, C); });
      });
    });
  }
  void symm(layout o, side s, triangle u, int m, int n, T alpha, const T* a, int lda, const T* b, int ldb,
            T beta, T* c, int ldc) const override {
    const int order = s == left_side ? m : n;
    with_op(o, no_trans, a, order, order, lda, [&](auto A) {
      with_op(o, no_trans, b, m, n, ldb, [&](auto B) {
        with_op(o, no_trans, c, m, n, ldc, [&](auto C) {
          with_side(s, [&](auto sd) {
            with_triangle(
                u, [&](auto tri) { zelt::symm(zelt::threads(threads_), sd, tri, alpha, A, B, beta, C); });
          });
        });
      });
    });
  }
  void syrk(layout o, triangle u, transpose t, int n, int k, T alpha, const T* a, int lda, T beta, T* c,
            int ldc) const override {
    with_op(o, t, a, t == trans ? k : n, t == trans ? n : k, lda, [&](auto A) {
      with_op(o, no_trans, c, n, n, ldc, [&](auto C) {
        with_triangle(u, [&](auto tri) { zelt::syrk(zelt::threads(threads_), tri, alpha, A, beta, C); });
      });
    });
  }
  void syr2k(layout o, triangle u, transpose t, int n, int k, T alpha, const T* a, int lda, const T* b,
             int ldb, T beta, T* c, int ldc) const override {
    with_op(o, t, a, t == trans ? k : n, t == trans ? n : k, lda, [&](auto A) {
      with_op(o, t, b, t == trans ? k : n, t == trans ? n : k, ldb, [&](auto B) {
        with_op(o, no_trans, c, n, n, ldc, [&](auto C) {
          with_triangle(u,
                        [&](auto tri) { zelt::syr2k(zelt::threads(threads_), tri, alpha, A, B, beta, C); });
        });
      });
    });
  }
  template <bool Solve>
  void triangular(layout o, side s, triangle u, transpose t, diagonal d, int m, int n, T alpha, const T* a,
                  int lda, T* b, int ldb) const {
    const int order = s == left_side ? m : n;
    with_op(o, t, a, order, order, lda, [&](auto A) {
      with_op(o, no_trans, b, m, n, ldb, [&](auto B) {
        with_side(s, [&](auto sd) {
          with_triangle(flipped(u, t), [&](auto tri) {
            with_diagonal(d, [&](auto dg) {
              if constexpr (Solve) {
                zelt::trsm(zelt::threads(threads_), sd, tri, dg, alpha, A, B);
              } else {
                zelt::trmm(zelt::threads(threads_), sd, tri, dg, alpha, A, B);
              }
            });
          });
        });
      });
    });
  }
  void trmm(layout o, side s, triangle u, transpose t, diagonal d, int m, int n, T alpha, const T* a, int lda,
            T* b, int ldb) const override {
    triangular<false>(o, s, u, t, d, m, n, alpha, a, lda, b, ldb);
  }
  void trsm(layout o, side s, triangle u, transpose t, diagonal d, int m, int n, T alpha, const T* a, int lda,
            T* b, int ldb) const override {
    triangular<true>(o, s, u, t, d, m, n, alpha, a, lda, b, ldb);
  }

 private:
  bool strided_unit_;
  unsigned threads_;
};

}  // namespace zelt_test

#endif  // ZELT_TESTS_BLAS_IMPLS_HPP_
