#ifndef ZELT_TESTS_BLAS_IMPLS_HPP_
#define ZELT_TESTS_BLAS_IMPLS_HPP_

// The implementations the harness compares, all behind blas_api:
//   reference_cblas   a library's cblas_* functions (libblas3: the oracle)
//   fortran_symbols   a library's Fortran symbols (ddot_, dgemv_, ...),
//                     column-major only
//   zelt_cpp          zelt's C++ interface over views built from the
//                     arguments: external_vec or strided_vec, row- or
//                     column-major matrices, transposed views
#include <cstddef>
#include <string>

#include "blas_api.hpp"
#include "kernel_set_env.hpp"
#include "zelt/blas1.hpp"
#include "zelt/blas2.hpp"
#include "zelt/blas2_band.hpp"
#include "zelt/blas2_packed.hpp"
#include "zelt/blas3.hpp"
#include "zelt/matrix_views.hpp"

namespace zelt_test {

class reference_cblas : public blas_api {
 public:
  explicit reference_cblas(const shared_library& lib)
      : dot_(lib.symbol<decltype(dot_)>("cblas_ddot")),
        axpy_(lib.symbol<decltype(axpy_)>("cblas_daxpy")),
        scal_(lib.symbol<decltype(scal_)>("cblas_dscal")),
        copy_(lib.symbol<decltype(copy_)>("cblas_dcopy")),
        swap_(lib.symbol<decltype(swap_)>("cblas_dswap")),
        iamax_(lib.symbol<decltype(iamax_)>("cblas_idamax")),
        asum_(lib.symbol<decltype(asum_)>("cblas_dasum")),
        nrm2_(lib.symbol<decltype(nrm2_)>("cblas_dnrm2")),
        rot_(lib.symbol<decltype(rot_)>("cblas_drot")),
        rotg_(lib.symbol<decltype(rotg_)>("cblas_drotg")),
        rotm_(lib.symbol<decltype(rotm_)>("cblas_drotm")),
        rotmg_(lib.symbol<decltype(rotmg_)>("cblas_drotmg")),
        gemv_(lib.symbol<decltype(gemv_)>("cblas_dgemv")),
        ger_(lib.symbol<decltype(ger_)>("cblas_dger")),
        symv_(lib.symbol<decltype(symv_)>("cblas_dsymv")),
        syr_(lib.symbol<decltype(syr_)>("cblas_dsyr")),
        syr2_(lib.symbol<decltype(syr2_)>("cblas_dsyr2")),
        trmv_(lib.symbol<decltype(trmv_)>("cblas_dtrmv")),
        trsv_(lib.symbol<decltype(trsv_)>("cblas_dtrsv")),
        dsdot_(lib.symbol<decltype(dsdot_)>("cblas_dsdot")),
        gbmv_(lib.symbol<decltype(gbmv_)>("cblas_dgbmv")),
        sbmv_(lib.symbol<decltype(sbmv_)>("cblas_dsbmv")),
        spmv_(lib.symbol<decltype(spmv_)>("cblas_dspmv")),
        spr_(lib.symbol<decltype(spr_)>("cblas_dspr")),
        spr2_(lib.symbol<decltype(spr2_)>("cblas_dspr2")),
        tbmv_(lib.symbol<decltype(tbmv_)>("cblas_dtbmv")),
        tbsv_(lib.symbol<decltype(tbsv_)>("cblas_dtbsv")),
        tpmv_(lib.symbol<decltype(tpmv_)>("cblas_dtpmv")),
        tpsv_(lib.symbol<decltype(tpsv_)>("cblas_dtpsv")),
        gemm_(lib.symbol<decltype(gemm_)>("cblas_dgemm")),
        symm_(lib.symbol<decltype(symm_)>("cblas_dsymm")),
        syrk_(lib.symbol<decltype(syrk_)>("cblas_dsyrk")),
        syr2k_(lib.symbol<decltype(syr2k_)>("cblas_dsyr2k")),
        trmm_(lib.symbol<decltype(trmm_)>("cblas_dtrmm")),
        trsm_(lib.symbol<decltype(trsm_)>("cblas_dtrsm")) {}

  bool complete() const {
    return dot_ && axpy_ && scal_ && copy_ && swap_ && iamax_ && asum_ && nrm2_ && rot_ && rotg_ && rotm_ &&
           rotmg_ && gemv_ && ger_ && symv_ && syr_ && syr2_ && trmv_ && trsv_ && gemm_ && symm_ && syrk_ &&
           syr2k_ && trmm_ && trsm_ && dsdot_ && gbmv_ && sbmv_ && spmv_ && spr_ && spr2_ && tbmv_ && tbsv_ &&
           tpmv_ && tpsv_;
  }

  double dsdot(int n, const float* x, int incx, const float* y, int incy) const override {
    return dsdot_(n, x, incx, y, incy);
  }
  void gbmv(layout o, transpose t, int m, int n, int kl, int ku, double alpha, const double* a, int lda,
            const double* x, int incx, double beta, double* y, int incy) const override {
    gbmv_(o, t, m, n, kl, ku, alpha, a, lda, x, incx, beta, y, incy);
  }
  void sbmv(layout o, triangle u, int n, int k, double alpha, const double* a, int lda, const double* x,
            int incx, double beta, double* y, int incy) const override {
    sbmv_(o, u, n, k, alpha, a, lda, x, incx, beta, y, incy);
  }
  void spmv(layout o, triangle u, int n, double alpha, const double* ap, const double* x, int incx,
            double beta, double* y, int incy) const override {
    spmv_(o, u, n, alpha, ap, x, incx, beta, y, incy);
  }
  void spr(layout o, triangle u, int n, double alpha, const double* x, int incx, double* ap) const override {
    spr_(o, u, n, alpha, x, incx, ap);
  }
  void spr2(layout o, triangle u, int n, double alpha, const double* x, int incx, const double* y, int incy,
            double* ap) const override {
    spr2_(o, u, n, alpha, x, incx, y, incy, ap);
  }
  void tbmv(layout o, triangle u, transpose t, diagonal d, int n, int k, const double* a, int lda, double* x,
            int incx) const override {
    tbmv_(o, u, t, d, n, k, a, lda, x, incx);
  }
  void tbsv(layout o, triangle u, transpose t, diagonal d, int n, int k, const double* a, int lda, double* x,
            int incx) const override {
    tbsv_(o, u, t, d, n, k, a, lda, x, incx);
  }
  void tpmv(layout o, triangle u, transpose t, diagonal d, int n, const double* ap, double* x,
            int incx) const override {
    tpmv_(o, u, t, d, n, ap, x, incx);
  }
  void tpsv(layout o, triangle u, transpose t, diagonal d, int n, const double* ap, double* x,
            int incx) const override {
    tpsv_(o, u, t, d, n, ap, x, incx);
  }

  double dot(int n, const double* x, int incx, const double* y, int incy) const override {
    return dot_(n, x, incx, y, incy);
  }
  void axpy(int n, double alpha, const double* x, int incx, double* y, int incy) const override {
    axpy_(n, alpha, x, incx, y, incy);
  }
  void scal(int n, double alpha, double* x, int incx) const override { scal_(n, alpha, x, incx); }
  void copy(int n, const double* x, int incx, double* y, int incy) const override {
    copy_(n, x, incx, y, incy);
  }
  void swap(int n, double* x, int incx, double* y, int incy) const override { swap_(n, x, incx, y, incy); }
  int iamax(int n, const double* x, int incx) const override { return static_cast<int>(iamax_(n, x, incx)); }
  double asum(int n, const double* x, int incx) const override { return asum_(n, x, incx); }
  double nrm2(int n, const double* x, int incx) const override { return nrm2_(n, x, incx); }
  void rot(int n, double* x, int incx, double* y, int incy, double c, double s) const override {
    rot_(n, x, incx, y, incy, c, s);
  }
  void rotg(double* a, double* b, double* c, double* s) const override { rotg_(a, b, c, s); }
  void rotm(int n, double* x, int incx, double* y, int incy, const double* param) const override {
    rotm_(n, x, incx, y, incy, param);
  }
  void rotmg(double* d1, double* d2, double* x1, double y1, double* param) const override {
    rotmg_(d1, d2, x1, y1, param);
  }
  void gemv(layout o, transpose t, int m, int n, double alpha, const double* a, int lda, const double* x,
            int incx, double beta, double* y, int incy) const override {
    gemv_(o, t, m, n, alpha, a, lda, x, incx, beta, y, incy);
  }
  void ger(layout o, int m, int n, double alpha, const double* x, int incx, const double* y, int incy,
           double* a, int lda) const override {
    ger_(o, m, n, alpha, x, incx, y, incy, a, lda);
  }
  void symv(layout o, triangle u, int n, double alpha, const double* a, int lda, const double* x, int incx,
            double beta, double* y, int incy) const override {
    symv_(o, u, n, alpha, a, lda, x, incx, beta, y, incy);
  }
  void syr(layout o, triangle u, int n, double alpha, const double* x, int incx, double* a,
           int lda) const override {
    syr_(o, u, n, alpha, x, incx, a, lda);
  }
  void syr2(layout o, triangle u, int n, double alpha, const double* x, int incx, const double* y, int incy,
            double* a, int lda) const override {
    syr2_(o, u, n, alpha, x, incx, y, incy, a, lda);
  }
  void trmv(layout o, triangle u, transpose t, diagonal d, int n, const double* a, int lda, double* x,
            int incx) const override {
    trmv_(o, u, t, d, n, a, lda, x, incx);
  }
  void trsv(layout o, triangle u, transpose t, diagonal d, int n, const double* a, int lda, double* x,
            int incx) const override {
    trsv_(o, u, t, d, n, a, lda, x, incx);
  }
  void gemm(layout o, transpose ta, transpose tb, int m, int n, int k, double alpha, const double* a, int lda,
            const double* b, int ldb, double beta, double* c, int ldc) const override {
    gemm_(o, ta, tb, m, n, k, alpha, a, lda, b, ldb, beta, c, ldc);
  }
  void symm(layout o, side s, triangle u, int m, int n, double alpha, const double* a, int lda,
            const double* b, int ldb, double beta, double* c, int ldc) const override {
    symm_(o, s, u, m, n, alpha, a, lda, b, ldb, beta, c, ldc);
  }
  void syrk(layout o, triangle u, transpose t, int n, int k, double alpha, const double* a, int lda,
            double beta, double* c, int ldc) const override {
    syrk_(o, u, t, n, k, alpha, a, lda, beta, c, ldc);
  }
  void syr2k(layout o, triangle u, transpose t, int n, int k, double alpha, const double* a, int lda,
             const double* b, int ldb, double beta, double* c, int ldc) const override {
    syr2k_(o, u, t, n, k, alpha, a, lda, b, ldb, beta, c, ldc);
  }
  void trmm(layout o, side s, triangle u, transpose t, diagonal d, int m, int n, double alpha,
            const double* a, int lda, double* b, int ldb) const override {
    trmm_(o, s, u, t, d, m, n, alpha, a, lda, b, ldb);
  }
  void trsm(layout o, side s, triangle u, transpose t, diagonal d, int m, int n, double alpha,
            const double* a, int lda, double* b, int ldb) const override {
    trsm_(o, s, u, t, d, m, n, alpha, a, lda, b, ldb);
  }

 private:
  using gemm_fn = void (*)(int, int, int, int, int, int, double, const double*, int, const double*, int,
                           double, double*, int);
  using symm_fn = void (*)(int, int, int, int, int, double, const double*, int, const double*, int, double,
                           double*, int);
  using syrk_fn = void (*)(int, int, int, int, int, double, const double*, int, double, double*, int);
  using syr2k_fn = void (*)(int, int, int, int, int, double, const double*, int, const double*, int, double,
                            double*, int);
  using trmm_fn = void (*)(int, int, int, int, int, int, int, double, const double*, int, double*, int);
  double (*dot_)(int, const double*, int, const double*, int);
  void (*axpy_)(int, double, const double*, int, double*, int);
  void (*scal_)(int, double, double*, int);
  void (*copy_)(int, const double*, int, double*, int);
  void (*swap_)(int, double*, int, double*, int);
  std::size_t (*iamax_)(int, const double*, int);
  double (*asum_)(int, const double*, int);
  double (*nrm2_)(int, const double*, int);
  void (*rot_)(int, double*, int, double*, int, double, double);
  void (*rotg_)(double*, double*, double*, double*);
  void (*rotm_)(int, double*, int, double*, int, const double*);
  void (*rotmg_)(double*, double*, double*, double, double*);
  void (*gemv_)(int, int, int, int, double, const double*, int, const double*, int, double, double*, int);
  void (*ger_)(int, int, int, double, const double*, int, const double*, int, double*, int);
  void (*symv_)(int, int, int, double, const double*, int, const double*, int, double, double*, int);
  void (*syr_)(int, int, int, double, const double*, int, double*, int);
  void (*syr2_)(int, int, int, double, const double*, int, const double*, int, double*, int);
  void (*trmv_)(int, int, int, int, int, const double*, int, double*, int);
  void (*trsv_)(int, int, int, int, int, const double*, int, double*, int);
  double (*dsdot_)(int, const float*, int, const float*, int);
  void (*gbmv_)(int, int, int, int, int, int, double, const double*, int, const double*, int, double, double*,
                int);
  void (*sbmv_)(int, int, int, int, double, const double*, int, const double*, int, double, double*, int);
  void (*spmv_)(int, int, int, double, const double*, const double*, int, double, double*, int);
  void (*spr_)(int, int, int, double, const double*, int, double*);
  void (*spr2_)(int, int, int, double, const double*, int, const double*, int, double*);
  void (*tbmv_)(int, int, int, int, int, int, const double*, int, double*, int);
  void (*tbsv_)(int, int, int, int, int, int, const double*, int, double*, int);
  void (*tpmv_)(int, int, int, int, int, const double*, double*, int);
  void (*tpsv_)(int, int, int, int, int, const double*, double*, int);
  gemm_fn gemm_;
  symm_fn symm_;
  syrk_fn syrk_;
  syr2k_fn syr2k_;
  trmm_fn trmm_, trsm_;
};

/// Fortran symbols: LP64 integers by address, character flags with their
/// hidden lengths. Column-major only.
class fortran_symbols : public blas_api {
 public:
  explicit fortran_symbols(const shared_library& lib)
      : dot_(lib.symbol<decltype(dot_)>("ddot_")),
        axpy_(lib.symbol<decltype(axpy_)>("daxpy_")),
        scal_(lib.symbol<decltype(scal_)>("dscal_")),
        copy_(lib.symbol<decltype(copy_)>("dcopy_")),
        swap_(lib.symbol<decltype(swap_)>("dswap_")),
        iamax_(lib.symbol<decltype(iamax_)>("idamax_")),
        asum_(lib.symbol<decltype(asum_)>("dasum_")),
        nrm2_(lib.symbol<decltype(nrm2_)>("dnrm2_")),
        rot_(lib.symbol<decltype(rot_)>("drot_")),
        rotg_(lib.symbol<decltype(rotg_)>("drotg_")),
        rotm_(lib.symbol<decltype(rotm_)>("drotm_")),
        rotmg_(lib.symbol<decltype(rotmg_)>("drotmg_")),
        gemv_(lib.symbol<decltype(gemv_)>("dgemv_")),
        ger_(lib.symbol<decltype(ger_)>("dger_")),
        symv_(lib.symbol<decltype(symv_)>("dsymv_")),
        syr_(lib.symbol<decltype(syr_)>("dsyr_")),
        syr2_(lib.symbol<decltype(syr2_)>("dsyr2_")),
        trmv_(lib.symbol<decltype(trmv_)>("dtrmv_")),
        trsv_(lib.symbol<decltype(trsv_)>("dtrsv_")),
        dsdot_(lib.symbol<decltype(dsdot_)>("dsdot_")),
        gbmv_(lib.symbol<decltype(gbmv_)>("dgbmv_")),
        sbmv_(lib.symbol<decltype(sbmv_)>("dsbmv_")),
        spmv_(lib.symbol<decltype(spmv_)>("dspmv_")),
        spr_(lib.symbol<decltype(spr_)>("dspr_")),
        spr2_(lib.symbol<decltype(spr2_)>("dspr2_")),
        tbmv_(lib.symbol<decltype(tbmv_)>("dtbmv_")),
        tbsv_(lib.symbol<decltype(tbsv_)>("dtbsv_")),
        tpmv_(lib.symbol<decltype(tpmv_)>("dtpmv_")),
        tpsv_(lib.symbol<decltype(tpsv_)>("dtpsv_")),
        gemm_(lib.symbol<decltype(gemm_)>("dgemm_")),
        symm_(lib.symbol<decltype(symm_)>("dsymm_")),
        syrk_(lib.symbol<decltype(syrk_)>("dsyrk_")),
        syr2k_(lib.symbol<decltype(syr2k_)>("dsyr2k_")),
        trmm_(lib.symbol<decltype(trmm_)>("dtrmm_")),
        trsm_(lib.symbol<decltype(trsm_)>("dtrsm_")) {}

  bool complete() const {
    return dot_ && axpy_ && scal_ && copy_ && swap_ && iamax_ && asum_ && nrm2_ && rot_ && rotg_ && rotm_ &&
           rotmg_ && gemv_ && ger_ && symv_ && syr_ && syr2_ && trmv_ && trsv_ && gemm_ && symm_ && syrk_ &&
           syr2k_ && trmm_ && trsm_ && dsdot_ && gbmv_ && sbmv_ && spmv_ && spr_ && spr2_ && tbmv_ && tbsv_ &&
           tpmv_ && tpsv_;
  }
  bool has_row_major() const override { return false; }

  double dsdot(int n, const float* x, int incx, const float* y, int incy) const override {
    return dsdot_(&n, x, &incx, y, &incy);
  }
  void gbmv(layout, transpose t, int m, int n, int kl, int ku, double alpha, const double* a, int lda,
            const double* x, int incx, double beta, double* y, int incy) const override {
    gbmv_(flag(t == trans ? "TtCc" : "Nn", m + kl), &m, &n, &kl, &ku, &alpha, a, &lda, x, &incx, &beta, y,
          &incy, 1);
  }
  void sbmv(layout, triangle u, int n, int k, double alpha, const double* a, int lda, const double* x,
            int incx, double beta, double* y, int incy) const override {
    sbmv_(flag(u == upper ? "Uu" : "Ll", n + k), &n, &k, &alpha, a, &lda, x, &incx, &beta, y, &incy, 1);
  }
  void spmv(layout, triangle u, int n, double alpha, const double* ap, const double* x, int incx, double beta,
            double* y, int incy) const override {
    spmv_(flag(u == upper ? "Uu" : "Ll", n), &n, &alpha, ap, x, &incx, &beta, y, &incy, 1);
  }
  void spr(layout, triangle u, int n, double alpha, const double* x, int incx, double* ap) const override {
    spr_(flag(u == upper ? "Uu" : "Ll", n), &n, &alpha, x, &incx, ap, 1);
  }
  void spr2(layout, triangle u, int n, double alpha, const double* x, int incx, const double* y, int incy,
            double* ap) const override {
    spr2_(flag(u == upper ? "Uu" : "Ll", n), &n, &alpha, x, &incx, y, &incy, ap, 1);
  }
  void tbmv(layout, triangle u, transpose t, diagonal d, int n, int k, const double* a, int lda, double* x,
            int incx) const override {
    tbmv_(flag(u == upper ? "Uu" : "Ll", n), flag(t == trans ? "TcT" : "nN", n + k),
          flag(d == unit ? "Uu" : "nN", k), &n, &k, a, &lda, x, &incx, 1, 1, 1);
  }
  void tbsv(layout, triangle u, transpose t, diagonal d, int n, int k, const double* a, int lda, double* x,
            int incx) const override {
    tbsv_(flag(u == upper ? "Uu" : "Ll", n), flag(t == trans ? "TcT" : "nN", n + k),
          flag(d == unit ? "Uu" : "nN", k), &n, &k, a, &lda, x, &incx, 1, 1, 1);
  }
  void tpmv(layout, triangle u, transpose t, diagonal d, int n, const double* ap, double* x,
            int incx) const override {
    tpmv_(flag(u == upper ? "Uu" : "Ll", n), flag(t == trans ? "TcT" : "nN", n + 1),
          flag(d == unit ? "Uu" : "nN", n), &n, ap, x, &incx, 1, 1, 1);
  }
  void tpsv(layout, triangle u, transpose t, diagonal d, int n, const double* ap, double* x,
            int incx) const override {
    tpsv_(flag(u == upper ? "Uu" : "Ll", n), flag(t == trans ? "TcT" : "nN", n + 1),
          flag(d == unit ? "Uu" : "nN", n), &n, ap, x, &incx, 1, 1, 1);
  }

  double dot(int n, const double* x, int incx, const double* y, int incy) const override {
    return dot_(&n, x, &incx, y, &incy);
  }
  void axpy(int n, double alpha, const double* x, int incx, double* y, int incy) const override {
    axpy_(&n, &alpha, x, &incx, y, &incy);
  }
  void scal(int n, double alpha, double* x, int incx) const override { scal_(&n, &alpha, x, &incx); }
  void copy(int n, const double* x, int incx, double* y, int incy) const override {
    copy_(&n, x, &incx, y, &incy);
  }
  void swap(int n, double* x, int incx, double* y, int incy) const override { swap_(&n, x, &incx, y, &incy); }
  int iamax(int n, const double* x, int incx) const override {
    const int one_based = iamax_(&n, x, &incx);
    return one_based == 0 ? 0 : one_based - 1;  // as CBLAS: "none" is 0
  }
  double asum(int n, const double* x, int incx) const override { return asum_(&n, x, &incx); }
  double nrm2(int n, const double* x, int incx) const override { return nrm2_(&n, x, &incx); }
  void rot(int n, double* x, int incx, double* y, int incy, double c, double s) const override {
    rot_(&n, x, &incx, y, &incy, &c, &s);
  }
  void rotg(double* a, double* b, double* c, double* s) const override { rotg_(a, b, c, s); }
  void rotm(int n, double* x, int incx, double* y, int incy, const double* param) const override {
    rotm_(&n, x, &incx, y, &incy, param);
  }
  void rotmg(double* d1, double* d2, double* x1, double y1, double* param) const override {
    rotmg_(d1, d2, x1, &y1, param);
  }
  void gemv(layout, transpose t, int m, int n, double alpha, const double* a, int lda, const double* x,
            int incx, double beta, double* y, int incy) const override {
    gemv_(t == trans ? "T" : "N", &m, &n, &alpha, a, &lda, x, &incx, &beta, y, &incy, 1);
  }
  void ger(layout, int m, int n, double alpha, const double* x, int incx, const double* y, int incy,
           double* a, int lda) const override {
    ger_(&m, &n, &alpha, x, &incx, y, &incy, a, &lda);
  }
  void symv(layout, triangle u, int n, double alpha, const double* a, int lda, const double* x, int incx,
            double beta, double* y, int incy) const override {
    symv_(u == upper ? "U" : "L", &n, &alpha, a, &lda, x, &incx, &beta, y, &incy, 1);
  }
  void syr(layout, triangle u, int n, double alpha, const double* x, int incx, double* a,
           int lda) const override {
    syr_(u == upper ? "U" : "L", &n, &alpha, x, &incx, a, &lda, 1);
  }
  void syr2(layout, triangle u, int n, double alpha, const double* x, int incx, const double* y, int incy,
            double* a, int lda) const override {
    syr2_(u == upper ? "U" : "L", &n, &alpha, x, &incx, y, &incy, a, &lda, 1);
  }
  void trmv(layout, triangle u, transpose t, diagonal d, int n, const double* a, int lda, double* x,
            int incx) const override {
    trmv_(u == upper ? "U" : "L", t == trans ? "T" : "N", d == unit ? "U" : "N", &n, a, &lda, x, &incx, 1, 1,
          1);
  }
  void trsv(layout, triangle u, transpose t, diagonal d, int n, const double* a, int lda, double* x,
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
  void gemm(layout, transpose ta, transpose tb, int m, int n, int k, double alpha, const double* a, int lda,
            const double* b, int ldb, double beta, double* c, int ldc) const override {
    gemm_(flag(ta == trans ? "TCt" : "Nn", m), flag(tb == trans ? "tCT" : "nN", n), &m, &n, &k, &alpha, a,
          &lda, b, &ldb, &beta, c, &ldc, 1, 1);
  }
  void symm(layout, side s, triangle u, int m, int n, double alpha, const double* a, int lda, const double* b,
            int ldb, double beta, double* c, int ldc) const override {
    symm_(flag(s == left_side ? "Ll" : "Rr", m), flag(u == upper ? "Uu" : "Ll", n), &m, &n, &alpha, a, &lda,
          b, &ldb, &beta, c, &ldc, 1, 1);
  }
  void syrk(layout, triangle u, transpose t, int n, int k, double alpha, const double* a, int lda,
            double beta, double* c, int ldc) const override {
    syrk_(flag(u == upper ? "Uu" : "lL", n), flag(t == trans ? "TCt" : "Nn", k), &n, &k, &alpha, a, &lda,
          &beta, c, &ldc, 1, 1);
  }
  void syr2k(layout, triangle u, transpose t, int n, int k, double alpha, const double* a, int lda,
             const double* b, int ldb, double beta, double* c, int ldc) const override {
    syr2k_(flag(u == upper ? "Uu" : "lL", n), flag(t == trans ? "TCt" : "Nn", k), &n, &k, &alpha, a, &lda, b,
           &ldb, &beta, c, &ldc, 1, 1);
  }
  void trmm(layout, side s, triangle u, transpose t, diagonal d, int m, int n, double alpha, const double* a,
            int lda, double* b, int ldb) const override {
    trmm_(flag(s == left_side ? "Ll" : "Rr", m), flag(u == upper ? "Uu" : "Ll", n),
          flag(t == trans ? "TcT" : "nN", m + n), flag(d == unit ? "Uu" : "nN", m), &m, &n, &alpha, a, &lda,
          b, &ldb, 1, 1, 1, 1);
  }
  void trsm(layout, side s, triangle u, transpose t, diagonal d, int m, int n, double alpha, const double* a,
            int lda, double* b, int ldb) const override {
    trsm_(flag(s == left_side ? "Ll" : "Rr", m), flag(u == upper ? "Uu" : "Ll", n),
          flag(t == trans ? "TcT" : "nN", m + n), flag(d == unit ? "Uu" : "nN", m), &m, &n, &alpha, a, &lda,
          b, &ldb, 1, 1, 1, 1);
  }

 private:
  using len = std::size_t;  // a hidden Fortran string length
  double (*dot_)(const int*, const double*, const int*, const double*, const int*);
  void (*axpy_)(const int*, const double*, const double*, const int*, double*, const int*);
  void (*scal_)(const int*, const double*, double*, const int*);
  void (*copy_)(const int*, const double*, const int*, double*, const int*);
  void (*swap_)(const int*, double*, const int*, double*, const int*);
  int (*iamax_)(const int*, const double*, const int*);
  double (*asum_)(const int*, const double*, const int*);
  double (*nrm2_)(const int*, const double*, const int*);
  void (*rot_)(const int*, double*, const int*, double*, const int*, const double*, const double*);
  void (*rotg_)(double*, double*, double*, double*);
  void (*rotm_)(const int*, double*, const int*, double*, const int*, const double*);
  void (*rotmg_)(double*, double*, double*, const double*, double*);
  void (*gemv_)(const char*, const int*, const int*, const double*, const double*, const int*, const double*,
                const int*, const double*, double*, const int*, len);
  void (*ger_)(const int*, const int*, const double*, const double*, const int*, const double*, const int*,
               double*, const int*);
  void (*symv_)(const char*, const int*, const double*, const double*, const int*, const double*, const int*,
                const double*, double*, const int*, len);
  void (*syr_)(const char*, const int*, const double*, const double*, const int*, double*, const int*, len);
  void (*syr2_)(const char*, const int*, const double*, const double*, const int*, const double*, const int*,
                double*, const int*, len);
  void (*trmv_)(const char*, const char*, const char*, const int*, const double*, const int*, double*,
                const int*, len, len, len);
  void (*trsv_)(const char*, const char*, const char*, const int*, const double*, const int*, double*,
                const int*, len, len, len);
  double (*dsdot_)(const int*, const float*, const int*, const float*, const int*);
  void (*gbmv_)(const char*, const int*, const int*, const int*, const int*, const double*, const double*,
                const int*, const double*, const int*, const double*, double*, const int*, len);
  void (*sbmv_)(const char*, const int*, const int*, const double*, const double*, const int*, const double*,
                const int*, const double*, double*, const int*, len);
  void (*spmv_)(const char*, const int*, const double*, const double*, const double*, const int*,
                const double*, double*, const int*, len);
  void (*spr_)(const char*, const int*, const double*, const double*, const int*, double*, len);
  void (*spr2_)(const char*, const int*, const double*, const double*, const int*, const double*, const int*,
                double*, len);
  using tbmv_fn = void (*)(const char*, const char*, const char*, const int*, const int*, const double*,
                           const int*, double*, const int*, len, len, len);
  tbmv_fn tbmv_, tbsv_;
  using tpmv_fn = void (*)(const char*, const char*, const char*, const int*, const double*, double*,
                           const int*, len, len, len);
  tpmv_fn tpmv_, tpsv_;
  void (*gemm_)(const char*, const char*, const int*, const int*, const int*, const double*, const double*,
                const int*, const double*, const int*, const double*, double*, const int*, len, len);
  void (*symm_)(const char*, const char*, const int*, const int*, const double*, const double*, const int*,
                const double*, const int*, const double*, double*, const int*, len, len);
  void (*syrk_)(const char*, const char*, const int*, const int*, const double*, const double*, const int*,
                const double*, double*, const int*, len, len);
  void (*syr2k_)(const char*, const char*, const int*, const int*, const double*, const double*, const int*,
                 const double*, const int*, const double*, double*, const int*, len, len);
  using trmm_fn = void (*)(const char*, const char*, const char*, const char*, const int*, const int*,
                           const double*, const double*, const int*, double*, const int*, len, len, len, len);
  trmm_fn trmm_, trsm_;
};

/// zelt's C++ interface. Vectors with increment 1 become external_vec, other
/// increments strided_vec (from the far end when negative); matrices become
/// col_major_matrix or row_major_matrix views, and a transposed operation is
/// the transposed() view.
class zelt_cpp : public blas_api {
 public:
  using vec = zelt::external_vec<double, 0, unsigned int>;
  using cvec = zelt::external_vec<const double, 0, unsigned int>;
  using svec = zelt::strided_vec<double, unsigned int>;
  using csvec = zelt::strided_vec<const double, unsigned int>;

  /// `strided_unit`: build increment 1 as a strided_vec too; `threads`: the
  /// Level 3 operations' thread count.
  explicit zelt_cpp(bool strided_unit = false, unsigned threads = 1)
      : strided_unit_(strided_unit), threads_(threads) {}

  // Calls f with the view of the n elements of p with increment inc.
  template <class T, class F>
  auto with(int n, T* p, int inc, F f) const {
    const auto length = static_cast<unsigned>(n < 0 ? 0 : n);
    if (inc == 1 && !strided_unit_) return f(zelt::external_vec<T, 0, unsigned int>(p, length, 0));
    T* first = inc < 0 && n > 0 ? p + static_cast<std::ptrdiff_t>(n - 1) * -inc : p;
    return f(zelt::strided_vec<T, unsigned int>(first, length, inc));
  }
  // Calls f with the matrix op(A), A the m x n matrix at a in layout o.
  template <class T, class F>
  static void with_op(layout o, transpose t, T* a, int m, int n, int lda, F f) {
    const auto rows = static_cast<unsigned>(m), cols = static_cast<unsigned>(n),
               ld = static_cast<unsigned>(lda);
    if (o == col_major) {
      const zelt::col_major_matrix<T> A(a, rows, cols, ld);
      if (t == trans) {
        f(zelt::transposed(A));
      } else {
        f(A);
      }
    } else {
      const zelt::row_major_matrix<T> A(a, rows, cols, ld);
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

  double dot(int n, const double* x, int incx, const double* y, int incy) const override {
    return with(n, x, incx,
                [&](auto vx) { return with(n, y, incy, [&](auto vy) { return zelt::dot(vx, vy); }); });
  }
  void axpy(int n, double alpha, const double* x, int incx, double* y, int incy) const override {
    with(n, x, incx, [&](auto vx) { with(n, y, incy, [&](auto vy) { zelt::axpy(alpha, vx, vy); }); });
  }
  void scal(int n, double alpha, double* x, int incx) const override {
    with(n, x, incx, [&](auto vx) { zelt::scal(alpha, vx); });
  }
  void copy(int n, const double* x, int incx, double* y, int incy) const override {
    with(n, x, incx, [&](auto vx) { with(n, y, incy, [&](auto vy) { zelt::copy(vx, vy); }); });
  }
  void swap(int n, double* x, int incx, double* y, int incy) const override {
    with(n, x, incx, [&](auto vx) { with(n, y, incy, [&](auto vy) { zelt::swap_elements(vx, vy); }); });
  }
  int iamax(int n, const double* x, int incx) const override {
    if (n <= 0) return 0;  // CBLAS reports "none" as 0
    return with(n, x, incx, [&](auto vx) { return static_cast<int>(zelt::iamax(vx)); });
  }
  double asum(int n, const double* x, int incx) const override {
    return with(n, x, incx, [&](auto vx) { return zelt::asum(vx); });
  }
  double nrm2(int n, const double* x, int incx) const override {
    return with(n, x, incx, [&](auto vx) { return zelt::nrm2(vx); });
  }
  void rot(int n, double* x, int incx, double* y, int incy, double c, double s) const override {
    with(n, x, incx, [&](auto vx) { with(n, y, incy, [&](auto vy) { zelt::rot(vx, vy, c, s); }); });
  }
  void rotg(double* a, double* b, double* c, double* s) const override { zelt::rotg(*a, *b, *c, *s); }
  void rotm(int n, double* x, int incx, double* y, int incy, const double* param) const override {
    with(n, x, incx, [&](auto vx) { with(n, y, incy, [&](auto vy) { zelt::rotm(vx, vy, param); }); });
  }
  void rotmg(double* d1, double* d2, double* x1, double y1, double* param) const override {
    zelt::rotmg(*d1, *d2, *x1, y1, param);
  }

  void gemv(layout o, transpose t, int m, int n, double alpha, const double* a, int lda, const double* x,
            int incx, double beta, double* y, int incy) const override {
    const int lenx = t == trans ? m : n, leny = t == trans ? n : m;
    with_op(o, t, a, m, n, lda, [&](auto A) {
      with(lenx, x, incx,
           [&](auto vx) { with(leny, y, incy, [&](auto vy) { zelt::gemv(alpha, A, vx, beta, vy); }); });
    });
  }
  void ger(layout o, int m, int n, double alpha, const double* x, int incx, const double* y, int incy,
           double* a, int lda) const override {
    with_op(o, no_trans, a, m, n, lda, [&](auto A) {
      with(m, x, incx, [&](auto vx) { with(n, y, incy, [&](auto vy) { zelt::ger(alpha, vx, vy, A); }); });
    });
  }
  void symv(layout o, triangle u, int n, double alpha, const double* a, int lda, const double* x, int incx,
            double beta, double* y, int incy) const override {
    with_op(o, no_trans, a, n, n, lda, [&](auto A) {
      with(n, x, incx, [&](auto vx) {
        with(n, y, incy,
             [&](auto vy) { with_triangle(u, [&](auto tri) { zelt::symv(tri, alpha, A, vx, beta, vy); }); });
      });
    });
  }
  void syr(layout o, triangle u, int n, double alpha, const double* x, int incx, double* a,
           int lda) const override {
    with_op(o, no_trans, a, n, n, lda, [&](auto A) {
      with(n, x, incx, [&](auto vx) { with_triangle(u, [&](auto tri) { zelt::syr(tri, alpha, vx, A); }); });
    });
  }
  void syr2(layout o, triangle u, int n, double alpha, const double* x, int incx, const double* y, int incy,
            double* a, int lda) const override {
    with_op(o, no_trans, a, n, n, lda, [&](auto A) {
      with(n, x, incx, [&](auto vx) {
        with(n, y, incy,
             [&](auto vy) { with_triangle(u, [&](auto tri) { zelt::syr2(tri, alpha, vx, vy, A); }); });
      });
    });
  }
  // A triangle of op(A) is named as passed: upper of transposed(A) is the
  // lower triangle of A, which is what the reference call's `uplo` names.
  void trmv(layout o, triangle u, transpose t, diagonal d, int n, const double* a, int lda, double* x,
            int incx) const override {
    const triangle as_passed = t == trans ? (u == upper ? lower : upper) : u;
    with_op(o, t, a, n, n, lda, [&](auto A) {
      with(n, x, incx, [&](auto vx) {
        with_triangle(as_passed,
                      [&](auto tri) { with_diagonal(d, [&](auto dg) { zelt::trmv(tri, dg, A, vx); }); });
      });
    });
  }
  void trsv(layout o, triangle u, transpose t, diagonal d, int n, const double* a, int lda, double* x,
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
  static void with_band(layout o, transpose t, const double* a, int m, int n, int kl, int ku, int lda, F f) {
    const auto rows = static_cast<std::size_t>(m), cols = static_cast<std::size_t>(n),
               l = static_cast<std::size_t>(kl), u = static_cast<std::size_t>(ku),
               ld = static_cast<std::size_t>(lda);
    if (o == col_major) {
      const zelt::col_major_band<const double> A(a, rows, cols, l, u, ld);
      if (t == trans) {
        f(zelt::transposed(A));
      } else {
        f(A);
      }
    } else {
      const zelt::row_major_band<const double> A(a, rows, cols, l, u, ld);
      if (t == trans) {
        f(zelt::transposed(A));
      } else {
        f(A);
      }
    }
  }
  template <class Triangle, class Orientation, class F>
  static void with_triangle_band(transpose t, const double* a, int n, int k, int lda, F f) {
    const zelt::triangle_band<const double, Triangle, Orientation> A(
        a, static_cast<std::size_t>(n), static_cast<std::size_t>(k), static_cast<std::size_t>(lda));
    if (t == trans) {
      f(zelt::transposed(A));
    } else {
      f(A);
    }
  }
  template <class F>
  static void with_triangle_band(layout o, triangle u, transpose t, const double* a, int n, int k, int lda,
                                 F f) {
    if (o == col_major) {
      if (u == upper) return with_triangle_band<zelt::upper_t, zelt::col_orien>(t, a, n, k, lda, f);
      return with_triangle_band<zelt::lower_t, zelt::col_orien>(t, a, n, k, lda, f);
    }
    if (u == upper) return with_triangle_band<zelt::upper_t, zelt::row_orien>(t, a, n, k, lda, f);
    return with_triangle_band<zelt::lower_t, zelt::row_orien>(t, a, n, k, lda, f);
  }
  template <class Triangle, class Orientation, class T, class F>
  static void with_packed(transpose t, T* ap, int n, F f) {
    const zelt::packed_matrix<T, Triangle, Orientation> A(ap, static_cast<std::size_t>(n));
    if (t == trans) {
      f(zelt::transposed(A));
    } else {
      f(A);
    }
  }
  template <class T, class F>
  static void with_packed(layout o, triangle u, transpose t, T* ap, int n, F f) {
    if (o == col_major) {
      if (u == upper) return with_packed<zelt::upper_t, zelt::col_orien>(t, ap, n, f);
      return with_packed<zelt::lower_t, zelt::col_orien>(t, ap, n, f);
    }
    if (u == upper) return with_packed<zelt::upper_t, zelt::row_orien>(t, ap, n, f);
    return with_packed<zelt::lower_t, zelt::row_orien>(t, ap, n, f);
  }

  double dsdot(int n, const float* x, int incx, const float* y, int incy) const override {
    return with(n, x, incx,
                [&](auto vx) { return with(n, y, incy, [&](auto vy) { return zelt::dsdot(vx, vy); }); });
  }
  void gbmv(layout o, transpose t, int m, int n, int kl, int ku, double alpha, const double* a, int lda,
            const double* x, int incx, double beta, double* y, int incy) const override {
    const int lenx = t == trans ? m : n, leny = t == trans ? n : m;
    with_band(o, t, a, m, n, kl, ku, lda, [&](const auto& A) {
      with(lenx, x, incx,
           [&](auto vx) { with(leny, y, incy, [&](auto vy) { zelt::gbmv(alpha, A, vx, beta, vy); }); });
    });
  }
  void sbmv(layout o, triangle u, int n, int k, double alpha, const double* a, int lda, const double* x,
            int incx, double beta, double* y, int incy) const override {
    with_triangle_band(o, u, no_trans, a, n, k, lda, [&](const auto& A) {
      with(n, x, incx,
           [&](auto vx) { with(n, y, incy, [&](auto vy) { zelt::sbmv(alpha, A, vx, beta, vy); }); });
    });
  }
  void spmv(layout o, triangle u, int n, double alpha, const double* ap, const double* x, int incx,
            double beta, double* y, int incy) const override {
    with_packed(o, u, no_trans, ap, n, [&](const auto& A) {
      with(n, x, incx,
           [&](auto vx) { with(n, y, incy, [&](auto vy) { zelt::spmv(alpha, A, vx, beta, vy); }); });
    });
  }
  void spr(layout o, triangle u, int n, double alpha, const double* x, int incx, double* ap) const override {
    with_packed(o, u, no_trans, ap, n,
                [&](const auto& A) { with(n, x, incx, [&](auto vx) { zelt::spr(alpha, vx, A); }); });
  }
  void spr2(layout o, triangle u, int n, double alpha, const double* x, int incx, const double* y, int incy,
            double* ap) const override {
    with_packed(o, u, no_trans, ap, n, [&](const auto& A) {
      with(n, x, incx, [&](auto vx) { with(n, y, incy, [&](auto vy) { zelt::spr2(alpha, vx, vy, A); }); });
    });
  }
  void tbmv(layout o, triangle u, transpose t, diagonal d, int n, int k, const double* a, int lda, double* x,
            int incx) const override {
    with_triangle_band(o, u, t, a, n, k, lda, [&](const auto& A) {
      with(n, x, incx, [&](auto vx) { with_diagonal(d, [&](auto dg) { zelt::tbmv(dg, A, vx); }); });
    });
  }
  void tbsv(layout o, triangle u, transpose t, diagonal d, int n, int k, const double* a, int lda, double* x,
            int incx) const override {
    with_triangle_band(o, u, t, a, n, k, lda, [&](const auto& A) {
      with(n, x, incx, [&](auto vx) { with_diagonal(d, [&](auto dg) { zelt::tbsv(dg, A, vx); }); });
    });
  }
  void tpmv(layout o, triangle u, transpose t, diagonal d, int n, const double* ap, double* x,
            int incx) const override {
    with_packed(o, u, t, ap, n, [&](const auto& A) {
      with(n, x, incx, [&](auto vx) { with_diagonal(d, [&](auto dg) { zelt::tpmv(dg, A, vx); }); });
    });
  }
  void tpsv(layout o, triangle u, transpose t, diagonal d, int n, const double* ap, double* x,
            int incx) const override {
    with_packed(o, u, t, ap, n, [&](const auto& A) {
      with(n, x, incx, [&](auto vx) { with_diagonal(d, [&](auto dg) { zelt::tpsv(dg, A, vx); }); });
    });
  }

  void gemm(layout o, transpose ta, transpose tb, int m, int n, int k, double alpha, const double* a, int lda,
            const double* b, int ldb, double beta, double* c, int ldc) const override {
    with_op(o, ta, a, ta == trans ? k : m, ta == trans ? m : k, lda, [&](auto A) {
      with_op(o, tb, b, tb == trans ? n : k, tb == trans ? k : n, ldb, [&](auto B) {
        with_op(o, no_trans, c, m, n, ldc,
                [&](auto C) { zelt::gemm(zelt::threads(threads_), alpha, A, B, beta, C); });
      });
    });
  }
  void symm(layout o, side s, triangle u, int m, int n, double alpha, const double* a, int lda,
            const double* b, int ldb, double beta, double* c, int ldc) const override {
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
  void syrk(layout o, triangle u, transpose t, int n, int k, double alpha, const double* a, int lda,
            double beta, double* c, int ldc) const override {
    with_op(o, t, a, t == trans ? k : n, t == trans ? n : k, lda, [&](auto A) {
      with_op(o, no_trans, c, n, n, ldc, [&](auto C) {
        with_triangle(u, [&](auto tri) { zelt::syrk(zelt::threads(threads_), tri, alpha, A, beta, C); });
      });
    });
  }
  void syr2k(layout o, triangle u, transpose t, int n, int k, double alpha, const double* a, int lda,
             const double* b, int ldb, double beta, double* c, int ldc) const override {
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
  void triangular(layout o, side s, triangle u, transpose t, diagonal d, int m, int n, double alpha,
                  const double* a, int lda, double* b, int ldb) const {
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
  void trmm(layout o, side s, triangle u, transpose t, diagonal d, int m, int n, double alpha,
            const double* a, int lda, double* b, int ldb) const override {
    triangular<false>(o, s, u, t, d, m, n, alpha, a, lda, b, ldb);
  }
  void trsm(layout o, side s, triangle u, transpose t, diagonal d, int m, int n, double alpha,
            const double* a, int lda, double* b, int ldb) const override {
    triangular<true>(o, s, u, t, d, m, n, alpha, a, lda, b, ldb);
  }

 private:
  bool strided_unit_;
  unsigned threads_;
};

}  // namespace zelt_test

#endif  // ZELT_TESTS_BLAS_IMPLS_HPP_
