#ifndef ZELT_TESTS_BLAS_API_HPP_
#define ZELT_TESTS_BLAS_API_HPP_

// One calling convention for every BLAS implementation the differential
// harness compares: the CBLAS one (layout, flags as enums, int sizes and
// increments, increments < 0 walking backwards from the far end). The
// reference is libblas3's CBLAS, loaded by path; zelt is reached through its
// C++ interface (blas_cpp.hpp) or through libzelt_blas.so's Fortran symbols.
#include <dlfcn.h>

#include <string>

namespace zelt_test {

enum layout { row_major = 101, col_major = 102 };
enum transpose { no_trans = 111, trans = 112 };
enum triangle { upper = 121, lower = 122 };
enum diagonal { non_unit = 131, unit = 132 };
enum side { left_side = 141, right_side = 142 };

struct blas_api {
  virtual ~blas_api() = default;
  /// False when the implementation cannot take row-major data.
  virtual bool has_row_major() const { return true; }

  virtual double dot(int n, const double* x, int incx, const double* y, int incy) const = 0;
  virtual void axpy(int n, double alpha, const double* x, int incx, double* y, int incy) const = 0;
  virtual void scal(int n, double alpha, double* x, int incx) const = 0;
  virtual void copy(int n, const double* x, int incx, double* y, int incy) const = 0;
  virtual void swap(int n, double* x, int incx, double* y, int incy) const = 0;
  virtual int iamax(int n, const double* x, int incx) const = 0;  // 0-based, "none" 0, as CBLAS
  virtual double asum(int n, const double* x, int incx) const = 0;
  virtual double nrm2(int n, const double* x, int incx) const = 0;
  virtual void rot(int n, double* x, int incx, double* y, int incy, double c, double s) const = 0;
  virtual void rotg(double* a, double* b, double* c, double* s) const = 0;
  virtual void rotm(int n, double* x, int incx, double* y, int incy, const double* param) const = 0;
  virtual void rotmg(double* d1, double* d2, double* x1, double y1, double* param) const = 0;
  virtual double dsdot(int n, const float* x, int incx, const float* y, int incy) const = 0;

  virtual void gemv(layout o, transpose t, int m, int n, double alpha, const double* a, int lda,
                    const double* x, int incx, double beta, double* y, int incy) const = 0;
  virtual void ger(layout o, int m, int n, double alpha, const double* x, int incx, const double* y, int incy,
                   double* a, int lda) const = 0;
  virtual void symv(layout o, triangle u, int n, double alpha, const double* a, int lda, const double* x,
                    int incx, double beta, double* y, int incy) const = 0;
  virtual void syr(layout o, triangle u, int n, double alpha, const double* x, int incx, double* a,
                   int lda) const = 0;
  virtual void syr2(layout o, triangle u, int n, double alpha, const double* x, int incx, const double* y,
                    int incy, double* a, int lda) const = 0;
  virtual void trmv(layout o, triangle u, transpose t, diagonal d, int n, const double* a, int lda, double* x,
                    int incx) const = 0;
  virtual void trsv(layout o, triangle u, transpose t, diagonal d, int n, const double* a, int lda, double* x,
                    int incx) const = 0;

  // band and packed storage
  virtual void gbmv(layout o, transpose t, int m, int n, int kl, int ku, double alpha, const double* a,
                    int lda, const double* x, int incx, double beta, double* y, int incy) const = 0;
  virtual void sbmv(layout o, triangle u, int n, int k, double alpha, const double* a, int lda,
                    const double* x, int incx, double beta, double* y, int incy) const = 0;
  virtual void spmv(layout o, triangle u, int n, double alpha, const double* ap, const double* x, int incx,
                    double beta, double* y, int incy) const = 0;
  virtual void spr(layout o, triangle u, int n, double alpha, const double* x, int incx,
                   double* ap) const = 0;
  virtual void spr2(layout o, triangle u, int n, double alpha, const double* x, int incx, const double* y,
                    int incy, double* ap) const = 0;
  virtual void tbmv(layout o, triangle u, transpose t, diagonal d, int n, int k, const double* a, int lda,
                    double* x, int incx) const = 0;
  virtual void tbsv(layout o, triangle u, transpose t, diagonal d, int n, int k, const double* a, int lda,
                    double* x, int incx) const = 0;
  virtual void tpmv(layout o, triangle u, transpose t, diagonal d, int n, const double* ap, double* x,
                    int incx) const = 0;
  virtual void tpsv(layout o, triangle u, transpose t, diagonal d, int n, const double* ap, double* x,
                    int incx) const = 0;

  virtual void gemm(layout o, transpose ta, transpose tb, int m, int n, int k, double alpha, const double* a,
                    int lda, const double* b, int ldb, double beta, double* c, int ldc) const = 0;
  virtual void symm(layout o, side s, triangle u, int m, int n, double alpha, const double* a, int lda,
                    const double* b, int ldb, double beta, double* c, int ldc) const = 0;
  virtual void syrk(layout o, triangle u, transpose t, int n, int k, double alpha, const double* a, int lda,
                    double beta, double* c, int ldc) const = 0;
  virtual void syr2k(layout o, triangle u, transpose t, int n, int k, double alpha, const double* a, int lda,
                     const double* b, int ldb, double beta, double* c, int ldc) const = 0;
  virtual void trmm(layout o, side s, triangle u, transpose t, diagonal d, int m, int n, double alpha,
                    const double* a, int lda, double* b, int ldb) const = 0;
  virtual void trsm(layout o, side s, triangle u, transpose t, diagonal d, int m, int n, double alpha,
                    const double* a, int lda, double* b, int ldb) const = 0;
};

/// A shared library opened by path, with its own symbol scope, so that two
/// libraries exporting the same names can be compared in one process.
class shared_library {
 public:
  explicit shared_library(const std::string& path)
      : handle_(path.empty() ? nullptr : dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL)) {}
  ~shared_library() {
    if (handle_ != nullptr) dlclose(handle_);
  }
  shared_library(const shared_library&) = delete;
  shared_library& operator=(const shared_library&) = delete;

  bool loaded() const { return handle_ != nullptr; }
  template <class F>
  F symbol(const char* name) const {
    return handle_ == nullptr ? nullptr : reinterpret_cast<F>(dlsym(handle_, name));
  }

 private:
  void* handle_;
};

}  // namespace zelt_test

#endif  // ZELT_TESTS_BLAS_API_HPP_
