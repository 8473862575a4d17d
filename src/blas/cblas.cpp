// libzelt_blas's C interface (cblas_s*, cblas_d*, cblas_isamax,
// cblas_idamax, cblas_xerbla) over the library's Fortran symbols, and the
// Fortran helpers the reference library also exports: sdotsub_, ddotsub_ and
// the other *sub_ subroutines, dzasum_, dznrm2_, dcabs1_, lsame_,
// xerbla_array_.
//
// Each cblas_ function makes the very Fortran call the reference CBLAS makes:
// a row-major matrix is the column-major storage of its transpose, so the
// call is mapped onto the same Fortran routine with its flags flipped and its
// dimensions (and for dgemm and dger its operands) exchanged, exactly as the
// reference does it; the bits are then the Fortran routine's.
//
// Argument errors: the reference CBLAS checks the layout and the enums
// itself, and leaves the rest to the Fortran routine, whose xerbla_ passes
// the routine's info + 1 (the C call has the layout in front) to
// cblas_xerbla, which renumbers the info of a row-major call back to the C
// arguments (RowMajorStrg tells it the call was row-major). Here every check
// is made before the Fortran call, the Fortran ones on the mapped arguments
// in the Fortran routine's order, and reported with the number the Fortran
// routine would have given, + 1, with RowMajorStrg set: the same numbers
// reach cblas_xerbla as in the reference, and the Fortran routine is only
// called with good arguments. cblas_xerbla and xerbla_ are always reached
// through their dynamic symbols (both are weak here), so that a program's
// own definitions, such as the reference testers', take their place.
#include <cmath>    // std::abs
#include <complex>  // std::complex, std::conj
#include <cstdarg>  // va_list
#include <cstddef>  // std::size_t
#include <cstdio>   // std::fprintf, std::vfprintf
#include <cstring>  // std::strstr
#include <utility>  // std::pair
#include <vector>   // std::vector

#include "zelt/blas1.hpp"  // detail::nrm2_kernel

// Everything the header declares is exported; the rest of the library stays
// hidden.
#pragma GCC visibility push(default)
#include "zelt/zelt_cblas.h"
#pragma GCC visibility pop

#include "checks.hpp"

// The reference CBLAS's two flags, read by cblas_xerbla and xerbla_: the call
// being reported was row-major; a C call is under way. A program that defines
// them (the reference testers do) shares its own with the library.
extern "C" {
__attribute__((weak, visibility("default"))) int RowMajorStrg = 0;
__attribute__((weak, visibility("default"))) int CBLAS_CallFromC = 0;
}

using len_t = std::size_t;  // a hidden Fortran string length

/// The reference's message, the info of a row-major call renumbered as the
/// reference renumbers it, and then the routine's own text; unlike the
/// reference it returns instead of ending the program.
extern "C" __attribute__((weak)) void cblas_xerbla(int p, const char* rout, const char* form, ...) {
  int info = p;
  if (RowMajorStrg != 0) {
    // The Fortran call of a row-major gemm has A and B, M and N exchanged;
    // symm, trmm and trsm have M and N exchanged; gemv and gbmv M and N, KL
    // and KU; ger M and N, X and Y.
    auto exchange = [&info](int a, int b) {
      if (info == a) {
        info = b;
      } else if (info == b) {
        info = a;
      }
    };
    if (std::strstr(rout, "gemm") != nullptr) {
      exchange(4, 5);
      exchange(9, 11);
    } else if (std::strstr(rout, "symm") != nullptr || std::strstr(rout, "hemm") != nullptr) {
      exchange(4, 5);
    } else if (std::strstr(rout, "trmm") != nullptr || std::strstr(rout, "trsm") != nullptr) {
      exchange(6, 7);
    } else if (std::strstr(rout, "gemv") != nullptr) {
      exchange(3, 4);
    } else if (std::strstr(rout, "gbmv") != nullptr) {
      exchange(3, 4);
      exchange(5, 6);
    } else if (std::strstr(rout, "ger") != nullptr) {
      exchange(2, 3);
      exchange(6, 8);
    } else if ((std::strstr(rout, "her2") != nullptr || std::strstr(rout, "hpr2") != nullptr) &&
               std::strstr(rout, "her2k") == nullptr) {
      exchange(6, 8);
    }
  }
  if (info != 0) std::fprintf(stderr, "Parameter %d to routine %s was incorrect\n", info, rout);
  va_list args;
  va_start(args, form);
  std::vfprintf(stderr, form, args);
  va_end(args);
}

namespace {

// ---- Reporting -------------------------------------------------------------

using zelt_blas::at_least_one;
using zelt_blas::first_bad;
using zelt_blas::in;
using zelt_blas::out;

/// One C call: its routine name and layout, and its error reports.
class c_call {
 public:
  c_call(const char* name, CBLAS_LAYOUT layout)
      : name_(name), layout_(static_cast<int>(layout)), row_(layout_ == CblasRowMajor) {}

  /// False, after reporting argument 1, unless the layout is one of the two.
  bool layout_ok() const {
    if (row_ || layout_ == CblasColMajor) return true;
    report(1, false, "Illegal layout setting, %d\n", layout_);
    return false;
  }
  bool row_major() const { return row_; }

  /// Reports bad enum argument `number`, whose value is `value`.
  void bad_enum(int number, const char* form, int value) const { report(number, row_, form, value); }

  /// True, after reporting it, when `info` (the Fortran routine's number of
  /// the first bad argument of the mapped call) is not 0.
  bool fortran_bad(int info) const {
    if (info == 0) return false;
    report(info + 1, row_, "");
    return true;
  }

 private:
  template <class... Args>
  void report(int number, bool row, const char* form, Args... args) const {
    RowMajorStrg = row ? 1 : 0;
    CBLAS_CallFromC = 1;
    cblas_xerbla(number, name_, form, args...);
    CBLAS_CallFromC = 0;
    RowMajorStrg = 0;
  }

  const char* name_;
  int layout_;
  bool row_;
};

// ---- Flags -----------------------------------------------------------------
// Each returns the Fortran letter, or 0 for a value that is none of the enum's.

// op(A) for a matrix whose row-major storage is, to Fortran, its transpose:
// no transpose becomes 'T', a transpose (conjugate or not) 'N'.
char trans_flipped(CBLAS_TRANSPOSE t, bool row) {
  switch (static_cast<int>(t)) {
    case CblasNoTrans:
      return row ? 'T' : 'N';
    case CblasTrans:
      return row ? 'N' : 'T';
    case CblasConjTrans:
      return row ? 'N' : 'C';
    default:
      return 0;
  }
}

// op(A) of gemm, trmm and trsm, which the row-major mapping keeps.
char trans_kept(CBLAS_TRANSPOSE t) {
  switch (static_cast<int>(t)) {
    case CblasNoTrans:
      return 'N';
    case CblasTrans:
      return 'T';
    case CblasConjTrans:
      return 'C';
    default:
      return 0;
  }
}

// The triangle of a row-major matrix is the other one of its transpose.
char uplo_letter(CBLAS_UPLO u, bool row) {
  switch (static_cast<int>(u)) {
    case CblasUpper:
      return row ? 'L' : 'U';
    case CblasLower:
      return row ? 'U' : 'L';
    default:
      return 0;
  }
}

// A row-major B = A * op(T) is, transposed, B^T = op(T)^T * A^T: the side flips.
char side_letter(CBLAS_SIDE s, bool row) {
  switch (static_cast<int>(s)) {
    case CblasLeft:
      return row ? 'R' : 'L';
    case CblasRight:
      return row ? 'L' : 'R';
    default:
      return 0;
  }
}

char diag_letter(CBLAS_DIAG d) {
  switch (static_cast<int>(d)) {
    case CblasUnit:
      return 'U';
    case CblasNonUnit:
      return 'N';
    default:
      return 0;
  }
}

// ---- Shared Level 2 shapes ---------------------------------------------------

// The three flags of the triangular Level 2 routines, checked in the
// reference's order: uplo (2), trans (3), diag (4). False after a report.
struct triangular_flags {
  char ul = 0, ta = 0, di = 0;
};
bool triangular_letters(const c_call& c, CBLAS_UPLO uplo, CBLAS_TRANSPOSE trans, CBLAS_DIAG diag,
                        triangular_flags& f) {
  f.ul = uplo_letter(uplo, c.row_major());
  if (f.ul == 0) {
    c.bad_enum(2, "Illegal Uplo setting, %d\n", static_cast<int>(uplo));
    return false;
  }
  f.ta = trans_flipped(trans, c.row_major());
  if (f.ta == 0) {
    c.bad_enum(3, "Illegal TransA setting, %d\n", static_cast<int>(trans));
    return false;
  }
  f.di = diag_letter(diag);
  if (f.di == 0) {
    c.bad_enum(4, "Illegal Diag setting, %d\n", static_cast<int>(diag));
    return false;
  }
  return true;
}

// The uplo of the symmetric Level 2 routines (argument 2). 0 after a report.
char symmetric_letter(const c_call& c, CBLAS_UPLO uplo) {
  const char ul = uplo_letter(uplo, c.row_major());
  if (ul == 0) c.bad_enum(2, "Illegal Uplo setting, %d\n", static_cast<int>(uplo));
  return ul;
}

}  // namespace

// The C functions take their enums as the ints they are to a C caller, and to
// a caller through an int-typed pointer (from dlsym, say): the same call. The
// function-type sanitizer, which tells the C++ types apart, is left out of them.
#if defined(__clang__)
#pragma clang attribute push(__attribute__((no_sanitize("function"))), apply_to = function)
#endif

// ---- Level 1 ---------------------------------------------------------------
// No argument is ever bad; the increments and sizes are the Fortran ones.

// T names a type, which takes no parentheses.
// NOLINTBEGIN(bugprone-macro-parentheses)
#define ZELT_CBLAS_LEVEL1(p, T)                                                                              \
  T cblas_##p##dot(const int N, const T* X, const int incX, const T* Y, const int incY) {                    \
    return p##dot_(&N, X, &incX, Y, &incY);                                                                  \
  }                                                                                                          \
  T cblas_##p##nrm2(const int N, const T* X, const int incX) { return p##nrm2_(&N, X, &incX); }              \
  T cblas_##p##asum(const int N, const T* X, const int incX) { return p##asum_(&N, X, &incX); }              \
  size_t cblas_i##p##amax(const int N, const T* X, const int incX) {                                         \
    const int i = i##p##amax_(&N, X, &incX);                                                                 \
    return i > 0 ? static_cast<size_t>(i - 1) : 0;                                                           \
  }                                                                                                          \
  void cblas_##p##swap(const int N, T* X, const int incX, T* Y, const int incY) {                            \
    p##swap_(&N, X, &incX, Y, &incY);                                                                        \
  }                                                                                                          \
  void cblas_##p##copy(const int N, const T* X, const int incX, T* Y, const int incY) {                      \
    p##copy_(&N, X, &incX, Y, &incY);                                                                        \
  }                                                                                                          \
  void cblas_##p##axpy(const int N, const T alpha, const T* X, const int incX, T* Y, const int incY) {       \
    p##axpy_(&N, &alpha, X, &incX, Y, &incY);                                                                \
  }                                                                                                          \
  void cblas_##p##rotg(T* a, T* b, T* c, T* s) { p##rotg_(a, b, c, s); }                                     \
  void cblas_##p##rotmg(T* d1, T* d2, T* b1, const T b2, T* P) { p##rotmg_(d1, d2, b1, &b2, P); }            \
  void cblas_##p##rot(const int N, T* X, const int incX, T* Y, const int incY, const T c, const T s) {       \
    p##rot_(&N, X, &incX, Y, &incY, &c, &s);                                                                 \
  }                                                                                                          \
  void cblas_##p##rotm(const int N, T* X, const int incX, T* Y, const int incY, const T* P) {                \
    p##rotm_(&N, X, &incX, Y, &incY, P);                                                                     \
  }                                                                                                          \
  void cblas_##p##scal(const int N, const T alpha, T* X, const int incX) { p##scal_(&N, &alpha, X, &incX); } \
  /* the reference CBLAS's Fortran helpers: the function's value through an argument */                      \
  void p##dotsub_(const int* n, const T* x, const int* incx, const T* y, const int* incy, T* dot) {          \
    *dot = p##dot_(n, x, incx, y, incy);                                                                     \
  }                                                                                                          \
  void p##nrm2sub_(const int* n, const T* x, const int* incx, T* nrm2) { *nrm2 = p##nrm2_(n, x, incx); }     \
  void p##asumsub_(const int* n, const T* x, const int* incx, T* asum) { *asum = p##asum_(n, x, incx); }     \
  void i##p##amaxsub_(const int* n, const T* x, const int* incx, int* iamax) {                               \
    *iamax = i##p##amax_(n, x, incx);                                                                        \
  }

ZELT_CBLAS_LEVEL1(s, float)
ZELT_CBLAS_LEVEL1(d, double)
#undef ZELT_CBLAS_LEVEL1
// NOLINTEND(bugprone-macro-parentheses)

double cblas_dsdot(const int N, const float* X, const int incX, const float* Y, const int incY) {
  return dsdot_(&N, X, &incX, Y, &incY);
}

float cblas_sdsdot(const int N, const float alpha, const float* X, const int incX, const float* Y,
                   const int incY) {
  return sdsdot_(&N, &alpha, X, &incX, Y, &incY);
}

void dsdotsub_(const int* n, const float* x, const int* incx, const float* y, const int* incy, double* dot) {
  *dot = dsdot_(n, x, incx, y, incy);
}

void sdsdotsub_(const int* n, const float* sb, const float* x, const int* incx, const float* y,
                const int* incy, float* dot) {
  *dot = sdsdot_(n, sb, x, incx, y, incy);
}

float cblas_scnrm2(const int N, const void* X, const int incX) { return scnrm2_(&N, X, &incX); }

float cblas_scasum(const int N, const void* X, const int incX) { return scasum_(&N, X, &incX); }

float cblas_scabs1(const void* z) { return scabs1_(z); }

double cblas_dznrm2(const int N, const void* X, const int incX) { return dznrm2_(&N, X, &incX); }

double cblas_dzasum(const int N, const void* X, const int incX) { return dzasum_(&N, X, &incX); }

double cblas_dcabs1(const void* z) { return dcabs1_(z); }

// p: the type letter; R: the real type; rs: the letters of the routines with
// a real scalar (cs, zd).
// NOLINTBEGIN(bugprone-macro-parentheses)
#define ZELT_CBLAS_COMPLEX_LEVEL1(p, R, rs)                                                           \
  void p##dotusub_(const int* n, const void* x, const int* incx, const void* y, const int* incy,      \
                   void* dot) {                                                                       \
    const auto z = p##dotu_(n, x, incx, y, incy);                                                     \
    static_cast<R*>(dot)[0] = z.real;                                                                 \
    static_cast<R*>(dot)[1] = z.imag;                                                                 \
  }                                                                                                   \
  void p##dotcsub_(const int* n, const void* x, const int* incx, const void* y, const int* incy,      \
                   void* dot) {                                                                       \
    const auto z = p##dotc_(n, x, incx, y, incy);                                                     \
    static_cast<R*>(dot)[0] = z.real;                                                                 \
    static_cast<R*>(dot)[1] = z.imag;                                                                 \
  }                                                                                                   \
  void i##p##amaxsub_(const int* n, const void* x, const int* incx, int* iamax) {                     \
    *iamax = i##p##amax_(n, x, incx);                                                                 \
  }                                                                                                   \
  void cblas_##p##dotu_sub(const int N, const void* X, const int incX, const void* Y, const int incY, \
                           void* dotu) {                                                              \
    p##dotusub_(&N, X, &incX, Y, &incY, dotu);                                                        \
  }                                                                                                   \
  void cblas_##p##dotc_sub(const int N, const void* X, const int incX, const void* Y, const int incY, \
                           void* dotc) {                                                              \
    p##dotcsub_(&N, X, &incX, Y, &incY, dotc);                                                        \
  }                                                                                                   \
  size_t cblas_i##p##amax(const int N, const void* X, const int incX) {                               \
    const int i = i##p##amax_(&N, X, &incX);                                                          \
    return i > 0 ? static_cast<size_t>(i - 1) : 0;                                                    \
  }                                                                                                   \
  void cblas_##p##swap(const int N, void* X, const int incX, void* Y, const int incY) {               \
    p##swap_(&N, X, &incX, Y, &incY);                                                                 \
  }                                                                                                   \
  void cblas_##p##copy(const int N, const void* X, const int incX, void* Y, const int incY) {         \
    p##copy_(&N, X, &incX, Y, &incY);                                                                 \
  }                                                                                                   \
  void cblas_##p##axpy(const int N, const void* alpha, const void* X, const int incX, void* Y,        \
                       const int incY) {                                                              \
    p##axpy_(&N, alpha, X, &incX, Y, &incY);                                                          \
  }                                                                                                   \
  void cblas_##p##rotg(void* a, void* b, R* c, void* s) { p##rotg_(a, b, c, s); }                     \
  void cblas_##rs##rot(const int N, void* X, const int incX, void* Y, const int incY, const R c,      \
                       const R s) {                                                                   \
    rs##rot_(&N, X, &incX, Y, &incY, &c, &s);                                                         \
  }                                                                                                   \
  void cblas_##p##scal(const int N, const void* alpha, void* X, const int incX) {                     \
    p##scal_(&N, alpha, X, &incX);                                                                    \
  }                                                                                                   \
  void cblas_##rs##scal(const int N, const R alpha, void* X, const int incX) {                        \
    rs##scal_(&N, &alpha, X, &incX);                                                                  \
  }

ZELT_CBLAS_COMPLEX_LEVEL1(c, float, cs)
ZELT_CBLAS_COMPLEX_LEVEL1(z, double, zd)
#undef ZELT_CBLAS_COMPLEX_LEVEL1
// NOLINTEND(bugprone-macro-parentheses)

// ---- Level 2 ---------------------------------------------------------------
// Row-major: A is, to Fortran, the column-major N x M matrix A^T. Each
// function once over its element type, then the exported ones of both
// precisions.

namespace {

// The n elements of x with increment inc (from the far end when inc < 0, the
// same element n times when inc == 0), conjugated, one after another: the
// copy the reference CBLAS makes for its row-major conjugated operands.
template <class C>
std::vector<C> conjugated_copy(const C* x, int n, int inc) {
  std::vector<C> copy(static_cast<std::size_t>(n));
  const std::ptrdiff_t step = inc < 0 ? -inc : inc;
  for (int k = 0; k < n; ++k) {
    const std::size_t to = inc < 0 ? static_cast<std::size_t>(n - 1 - k) : static_cast<std::size_t>(k);
    copy[to] = zelt::detail::conjugate(x[static_cast<std::ptrdiff_t>(k) * step]);
  }
  return copy;
}

// A complex scalar the C functions take by address.
template <class R>
std::complex<R> scalar(const void* p) {
  return *in<R>(p);
}

// Conjugates the n elements of x with increment inc in place.
template <class T>
void conjugate_vector(T* x, int n, int inc) {
  if constexpr (zelt::detail::is_complex_v<T>) {
    for (int k = 0; k < n; ++k) {
      T& e = x[static_cast<std::ptrdiff_t>(k) * std::abs(inc)];
      e = std::conj(e);
    }
  }
}

// Whether a Hermitian routine runs on conjugates: complex data in row-major
// storage, which holds the conjugate of the matrix (N > 0: nothing is
// computed otherwise).
template <class T>
bool hermitian_row_major(const c_call& c, int N) {
  return zelt::detail::is_complex_v<T> && c.row_major() && N > 0;
}

// The x and y the Fortran syr2, spr2, her2 and hpr2 receive. For complex
// data in row-major storage, which holds the conjugate of the matrix, the
// reference CBLAS passes y and x exchanged: conjugated contiguous copies
// (increment 1) when N > 0, else as they are; so the checks of the
// increments are exchanged too.
template <class T>
struct rank2_operands {
  std::vector<T> x_copy, y_copy;
  const T* x;
  const T* y;
  int incx, incy;

  rank2_operands(const c_call& c, int N, const T* X, int incX, const T* Y, int incY)
      : x(X), y(Y), incx(incX), incy(incY) {
    if (!zelt::detail::is_complex_v<T> || !c.row_major()) return;
    if (N <= 0) {
      x = Y, incx = incY, y = X, incy = incX;
      return;
    }
    x_copy = conjugated_copy(Y, N, incY), y_copy = conjugated_copy(X, N, incX);
    x = x_copy.data(), y = y_copy.data(), incx = incy = 1;
  }
};

// A row-major product that is conj of a column-major one on the storage, as
// the reference CBLAS runs it: y (n elements) conjugated before and after,
// and in between `call(alpha, x, incx, beta)` with conj(alpha), conj(beta)
// and a conjugated contiguous copy of x's nx elements, whose increment, 1,
// is the one the Fortran routine checks.
template <class C, class Call>
void on_conjugates(const void* alpha, const void* X, int nx, int incX, const void* beta, void* Y, int n,
                   int incY, Call call) {
  const std::vector<C> x = conjugated_copy(static_cast<const C*>(X), nx, incX);
  const C a = std::conj(*static_cast<const C*>(alpha)), b = std::conj(*static_cast<const C*>(beta));
  conjugate_vector(static_cast<C*>(Y), n, incY);
  call(&a, x.data(), 1, &b);
  conjugate_vector(static_cast<C*>(Y), n, incY);
}

template <class T, class F>
void gemv(const char* name, F fortran, const CBLAS_LAYOUT layout, const CBLAS_TRANSPOSE TransA, const int M,
          const int N, const T alpha, const T* A, const int lda, const T* X, const int incX, const T beta,
          T* Y, const int incY) {
  const c_call c(name, layout);
  if (!c.layout_ok()) return;
  const char ta = trans_flipped(TransA, c.row_major());
  if (ta == 0) return c.bad_enum(2, "Illegal TransA setting, %d\n", static_cast<int>(TransA));
  const int m = c.row_major() ? N : M, n = c.row_major() ? M : N;
  // complex row-major ConjTrans: zgemv('N') on the storage, on conjugates
  const bool conjugate = zelt::detail::is_complex_v<T> && c.row_major() && TransA == CblasConjTrans && M > 0;
  if (c.fortran_bad(first_bad({{m < 0, 2},
                               {n < 0, 3},
                               {lda < at_least_one(m), 6},
                               {!conjugate && incX == 0, 8},
                               {incY == 0, 11}})))
    return;
  if constexpr (zelt::detail::is_complex_v<T>) {
    if (conjugate) {
      return on_conjugates<T>(&alpha, X, M, incX, &beta, Y, N, incY,
                              [&](const void* a, const void* x, int incx, const void* b) {
                                fortran(&ta, &m, &n, a, A, &lda, x, &incx, b, Y, &incY, 1);
                              });
    }
  }
  fortran(&ta, &m, &n, &alpha, A, &lda, X, &incX, &beta, Y, &incY, 1);
}

template <class T, class F>
void gbmv(const char* name, F fortran, const CBLAS_LAYOUT layout, const CBLAS_TRANSPOSE TransA, const int M,
          const int N, const int KL, const int KU, const T alpha, const T* A, const int lda, const T* X,
          const int incX, const T beta, T* Y, const int incY) {
  const c_call c(name, layout);
  if (!c.layout_ok()) return;
  const char ta = trans_flipped(TransA, c.row_major());
  if (ta == 0) return c.bad_enum(2, "Illegal TransA setting, %d\n", static_cast<int>(TransA));
  // the band of A^T has A's sub- and superdiagonals exchanged
  const int m = c.row_major() ? N : M, n = c.row_major() ? M : N;
  const int kl = c.row_major() ? KU : KL, ku = c.row_major() ? KL : KU;
  // complex row-major ConjTrans: the 'N' product on conjugates, as gemv
  const bool conjugate = zelt::detail::is_complex_v<T> && c.row_major() && TransA == CblasConjTrans && M > 0;
  if (c.fortran_bad(first_bad({{m < 0, 2},
                               {n < 0, 3},
                               {kl < 0, 4},
                               {ku < 0, 5},
                               {static_cast<long long>(lda) < static_cast<long long>(kl) + ku + 1, 8},
                               {!conjugate && incX == 0, 10},
                               {incY == 0, 13}})))
    return;
  if constexpr (zelt::detail::is_complex_v<T>) {
    if (conjugate) {
      return on_conjugates<T>(&alpha, X, M, incX, &beta, Y, N, incY,
                              [&](const void* a, const void* x, int incx, const void* b) {
                                fortran(&ta, &m, &n, &kl, &ku, a, A, &lda, x, &incx, b, Y, &incY, 1);
                              });
    }
  }
  fortran(&ta, &m, &n, &kl, &ku, &alpha, A, &lda, X, &incX, &beta, Y, &incY, 1);
}

// Runs `call`, for complex data in row-major ConjTrans with x conjugated
// before and after: the reference CBLAS's mapping, to the column-major 'N'
// operation on the storage. (The reference conjugates x before it checks
// Diag, and returns with x conjugated when Diag is bad; here the checks come
// first.)
template <class T, class Call>
void with_conjugated_x(const c_call& c, CBLAS_TRANSPOSE TransA, int N, T* X, int incX, Call call) {
  const bool conjugate = zelt::detail::is_complex_v<T> && c.row_major() && TransA == CblasConjTrans;
  if (conjugate) conjugate_vector(X, N, incX);
  call();
  if (conjugate) conjugate_vector(X, N, incX);
}

template <class T, class F>
void trmv(const char* name, F fortran, const CBLAS_LAYOUT layout, const CBLAS_UPLO Uplo,
          const CBLAS_TRANSPOSE TransA, const CBLAS_DIAG Diag, const int N, const T* A, const int lda, T* X,
          const int incX) {
  const c_call c(name, layout);
  triangular_flags f;
  if (!c.layout_ok() || !triangular_letters(c, Uplo, TransA, Diag, f)) return;
  if (c.fortran_bad(first_bad({{N < 0, 4}, {lda < at_least_one(N), 6}, {incX == 0, 8}}))) return;
  with_conjugated_x(c, TransA, N, X, incX,
                    [&] { fortran(&f.ul, &f.ta, &f.di, &N, A, &lda, X, &incX, 1, 1, 1); });
}

template <class T, class F>
void tbmv(const char* name, F fortran, const CBLAS_LAYOUT layout, const CBLAS_UPLO Uplo,
          const CBLAS_TRANSPOSE TransA, const CBLAS_DIAG Diag, const int N, const int K, const T* A,
          const int lda, T* X, const int incX) {
  const c_call c(name, layout);
  triangular_flags f;
  if (!c.layout_ok() || !triangular_letters(c, Uplo, TransA, Diag, f)) return;
  if (c.fortran_bad(first_bad({{N < 0, 4}, {K < 0, 5}, {lda <= K, 7}, {incX == 0, 9}}))) return;
  with_conjugated_x(c, TransA, N, X, incX,
                    [&] { fortran(&f.ul, &f.ta, &f.di, &N, &K, A, &lda, X, &incX, 1, 1, 1); });
}

template <class T, class F>
void tpmv(const char* name, F fortran, const CBLAS_LAYOUT layout, const CBLAS_UPLO Uplo,
          const CBLAS_TRANSPOSE TransA, const CBLAS_DIAG Diag, const int N, const T* Ap, T* X,
          const int incX) {
  const c_call c(name, layout);
  triangular_flags f;
  if (!c.layout_ok() || !triangular_letters(c, Uplo, TransA, Diag, f)) return;
  if (c.fortran_bad(first_bad({{N < 0, 4}, {incX == 0, 7}}))) return;
  with_conjugated_x(c, TransA, N, X, incX, [&] { fortran(&f.ul, &f.ta, &f.di, &N, Ap, X, &incX, 1, 1, 1); });
}

template <class T, class F>
void trsv(const char* name, F fortran, const CBLAS_LAYOUT layout, const CBLAS_UPLO Uplo,
          const CBLAS_TRANSPOSE TransA, const CBLAS_DIAG Diag, const int N, const T* A, const int lda, T* X,
          const int incX) {
  const c_call c(name, layout);
  triangular_flags f;
  if (!c.layout_ok() || !triangular_letters(c, Uplo, TransA, Diag, f)) return;
  if (c.fortran_bad(first_bad({{N < 0, 4}, {lda < at_least_one(N), 6}, {incX == 0, 8}}))) return;
  with_conjugated_x(c, TransA, N, X, incX,
                    [&] { fortran(&f.ul, &f.ta, &f.di, &N, A, &lda, X, &incX, 1, 1, 1); });
}

template <class T, class F>
void tbsv(const char* name, F fortran, const CBLAS_LAYOUT layout, const CBLAS_UPLO Uplo,
          const CBLAS_TRANSPOSE TransA, const CBLAS_DIAG Diag, const int N, const int K, const T* A,
          const int lda, T* X, const int incX) {
  const c_call c(name, layout);
  triangular_flags f;
  if (!c.layout_ok() || !triangular_letters(c, Uplo, TransA, Diag, f)) return;
  if (c.fortran_bad(first_bad({{N < 0, 4}, {K < 0, 5}, {lda <= K, 7}, {incX == 0, 9}}))) return;
  with_conjugated_x(c, TransA, N, X, incX,
                    [&] { fortran(&f.ul, &f.ta, &f.di, &N, &K, A, &lda, X, &incX, 1, 1, 1); });
}

template <class T, class F>
void tpsv(const char* name, F fortran, const CBLAS_LAYOUT layout, const CBLAS_UPLO Uplo,
          const CBLAS_TRANSPOSE TransA, const CBLAS_DIAG Diag, const int N, const T* Ap, T* X,
          const int incX) {
  const c_call c(name, layout);
  triangular_flags f;
  if (!c.layout_ok() || !triangular_letters(c, Uplo, TransA, Diag, f)) return;
  if (c.fortran_bad(first_bad({{N < 0, 4}, {incX == 0, 7}}))) return;
  with_conjugated_x(c, TransA, N, X, incX, [&] { fortran(&f.ul, &f.ta, &f.di, &N, Ap, X, &incX, 1, 1, 1); });
}

template <class T, class F>
void symv(const char* name, F fortran, const CBLAS_LAYOUT layout, const CBLAS_UPLO Uplo, const int N,
          const T alpha, const T* A, const int lda, const T* X, const int incX, const T beta, T* Y,
          const int incY) {
  const c_call c(name, layout);
  if (!c.layout_ok()) return;
  const char ul = symmetric_letter(c, Uplo);
  if (ul == 0) return;
  const bool conjugate = hermitian_row_major<T>(c, N);
  if (c.fortran_bad(
          first_bad({{N < 0, 2}, {lda < at_least_one(N), 5}, {!conjugate && incX == 0, 7}, {incY == 0, 10}})))
    return;
  if constexpr (zelt::detail::is_complex_v<T>) {
    if (conjugate) {
      return on_conjugates<T>(&alpha, X, N, incX, &beta, Y, N, incY,
                              [&](const void* a, const void* x, int incx, const void* b) {
                                fortran(&ul, &N, a, A, &lda, x, &incx, b, Y, &incY, 1);
                              });
    }
  }
  fortran(&ul, &N, &alpha, A, &lda, X, &incX, &beta, Y, &incY, 1);
}

template <class T, class F>
void sbmv(const char* name, F fortran, const CBLAS_LAYOUT layout, const CBLAS_UPLO Uplo, const int N,
          const int K, const T alpha, const T* A, const int lda, const T* X, const int incX, const T beta,
          T* Y, const int incY) {
  const c_call c(name, layout);
  if (!c.layout_ok()) return;
  const char ul = symmetric_letter(c, Uplo);
  if (ul == 0) return;
  const bool conjugate = hermitian_row_major<T>(c, N);
  if (c.fortran_bad(
          first_bad({{N < 0, 2}, {K < 0, 3}, {lda <= K, 6}, {!conjugate && incX == 0, 8}, {incY == 0, 11}})))
    return;
  if constexpr (zelt::detail::is_complex_v<T>) {
    if (conjugate) {
      return on_conjugates<T>(&alpha, X, N, incX, &beta, Y, N, incY,
                              [&](const void* a, const void* x, int incx, const void* b) {
                                fortran(&ul, &N, &K, a, A, &lda, x, &incx, b, Y, &incY, 1);
                              });
    }
  }
  fortran(&ul, &N, &K, &alpha, A, &lda, X, &incX, &beta, Y, &incY, 1);
}

template <class T, class F>
void spmv(const char* name, F fortran, const CBLAS_LAYOUT layout, const CBLAS_UPLO Uplo, const int N,
          const T alpha, const T* Ap, const T* X, const int incX, const T beta, T* Y, const int incY) {
  const c_call c(name, layout);
  if (!c.layout_ok()) return;
  const char ul = symmetric_letter(c, Uplo);
  if (ul == 0) return;
  const bool conjugate = hermitian_row_major<T>(c, N);
  if (c.fortran_bad(first_bad({{N < 0, 2}, {!conjugate && incX == 0, 6}, {incY == 0, 9}}))) return;
  if constexpr (zelt::detail::is_complex_v<T>) {
    if (conjugate) {
      return on_conjugates<T>(&alpha, X, N, incX, &beta, Y, N, incY,
                              [&](const void* a, const void* x, int incx, const void* b) {
                                fortran(&ul, &N, a, Ap, x, &incx, b, Y, &incY, 1);
                              });
    }
  }
  fortran(&ul, &N, &alpha, Ap, X, &incX, &beta, Y, &incY, 1);
}

template <class T, class F>
void ger(const char* name, F fortran, const CBLAS_LAYOUT layout, const int M, const int N, const T alpha,
         const T* X, const int incX, const T* Y, const int incY, T* A, const int lda) {
  const c_call c(name, layout);
  if (!c.layout_ok()) return;
  // row-major: A^T += alpha y x^T
  const bool row = c.row_major();
  const int m = row ? N : M, n = row ? M : N, incx = row ? incY : incX, incy = row ? incX : incY;
  const T *x = row ? Y : X, *y = row ? X : Y;
  if (c.fortran_bad(
          first_bad({{m < 0, 1}, {n < 0, 2}, {incx == 0, 5}, {incy == 0, 7}, {lda < at_least_one(m), 9}})))
    return;
  fortran(&m, &n, &alpha, x, &incx, y, &incy, A, &lda);
}

// cgeru, zgeru and cgerc, zgerc. Row-major: A^T += alpha y x^T, and for
// gerc, as in the reference CBLAS, geru with a conjugated contiguous copy of
// y in the place of x.
template <class R, class F>
void complex_ger(const char* name, F fortran, F unconjugated, bool conjugate_y, const CBLAS_LAYOUT layout,
                 const int M, const int N, const void* alpha, const void* X, const int incX, const void* Y,
                 const int incY, void* A, const int lda) {
  using C = std::complex<R>;
  const c_call c(name, layout);
  if (!c.layout_ok()) return;
  const bool row = c.row_major();
  const bool copy = row && conjugate_y && N > 0;
  std::vector<C> y_copy;
  if (copy) y_copy = conjugated_copy(static_cast<const C*>(Y), N, incY);
  const int m = row ? N : M, n = row ? M : N;
  const int incx = row ? (copy ? 1 : incY) : incX, incy = row ? incX : incY;
  const void* x = row ? (copy ? static_cast<const void*>(y_copy.data()) : Y) : X;
  const void* y = row ? X : Y;
  if (c.fortran_bad(
          first_bad({{m < 0, 1}, {n < 0, 2}, {incx == 0, 5}, {incy == 0, 7}, {lda < at_least_one(m), 9}})))
    return;
  (row ? unconjugated : fortran)(&m, &n, alpha, x, &incx, y, &incy, A, &lda);
}

// syr, and her with its real alpha: row-major, the other triangle with a
// conjugated contiguous copy of x.
template <class T, class S, class F>
void syr(const char* name, F fortran, const CBLAS_LAYOUT layout, const CBLAS_UPLO Uplo, const int N,
         const S alpha, const T* X, const int incX, T* A, const int lda) {
  const c_call c(name, layout);
  if (!c.layout_ok()) return;
  const char ul = symmetric_letter(c, Uplo);
  if (ul == 0) return;
  const bool conjugate = hermitian_row_major<T>(c, N);
  if (c.fortran_bad(first_bad({{N < 0, 2}, {!conjugate && incX == 0, 5}, {lda < at_least_one(N), 7}})))
    return;
  if (conjugate) {
    const std::vector<T> x = conjugated_copy(X, N, incX);
    const int one = 1;
    return fortran(&ul, &N, &alpha, x.data(), &one, A, &lda, 1);
  }
  fortran(&ul, &N, &alpha, X, &incX, A, &lda, 1);
}

// spr, and hpr with its real alpha: row-major, as her, on a conjugated
// contiguous copy of x.
template <class T, class S, class F>
void spr(const char* name, F fortran, const CBLAS_LAYOUT layout, const CBLAS_UPLO Uplo, const int N,
         const S alpha, const T* X, const int incX, T* Ap) {
  const c_call c(name, layout);
  if (!c.layout_ok()) return;
  const char ul = symmetric_letter(c, Uplo);
  if (ul == 0) return;
  const bool conjugate = hermitian_row_major<T>(c, N);
  if (c.fortran_bad(first_bad({{N < 0, 2}, {!conjugate && incX == 0, 5}}))) return;
  if (conjugate) {
    const std::vector<T> x = conjugated_copy(X, N, incX);
    const int one = 1;
    return fortran(&ul, &N, &alpha, x.data(), &one, Ap, 1);
  }
  fortran(&ul, &N, &alpha, X, &incX, Ap, 1);
}

template <class T, class F>
void syr2(const char* name, F fortran, const CBLAS_LAYOUT layout, const CBLAS_UPLO Uplo, const int N,
          const T alpha, const T* X, const int incX, const T* Y, const int incY, T* A, const int lda) {
  const c_call c(name, layout);
  if (!c.layout_ok()) return;
  const char ul = symmetric_letter(c, Uplo);
  if (ul == 0) return;
  const rank2_operands<T> o(c, N, X, incX, Y, incY);
  if (c.fortran_bad(first_bad({{N < 0, 2}, {o.incx == 0, 5}, {o.incy == 0, 7}, {lda < at_least_one(N), 9}})))
    return;
  fortran(&ul, &N, &alpha, o.x, &o.incx, o.y, &o.incy, A, &lda, 1);
}

template <class T, class F>
void spr2(const char* name, F fortran, const CBLAS_LAYOUT layout, const CBLAS_UPLO Uplo, const int N,
          const T alpha, const T* X, const int incX, const T* Y, const int incY, T* A) {
  const c_call c(name, layout);
  if (!c.layout_ok()) return;
  const char ul = symmetric_letter(c, Uplo);
  if (ul == 0) return;
  const rank2_operands<T> o(c, N, X, incX, Y, incY);
  if (c.fortran_bad(first_bad({{N < 0, 2}, {o.incx == 0, 5}, {o.incy == 0, 7}}))) return;
  fortran(&ul, &N, &alpha, o.x, &o.incx, o.y, &o.incy, A, 1);
}

}  // namespace

// T names a type, which takes no parentheses.
// NOLINTBEGIN(bugprone-macro-parentheses)
#define ZELT_CBLAS_LEVEL2(p, T)                                                                            \
  void cblas_##p##gemv(const CBLAS_LAYOUT layout, const CBLAS_TRANSPOSE TransA, const int M, const int N,  \
                       const T alpha, const T* A, const int lda, const T* X, const int incX, const T beta, \
                       T* Y, const int incY) {                                                             \
    gemv<T>("cblas_" #p "gemv", p##gemv_, layout, TransA, M, N, alpha, A, lda, X, incX, beta, Y, incY);    \
  }                                                                                                        \
  void cblas_##p##gbmv(const CBLAS_LAYOUT layout, const CBLAS_TRANSPOSE TransA, const int M, const int N,  \
                       const int KL, const int KU, const T alpha, const T* A, const int lda, const T* X,   \
                       const int incX, const T beta, T* Y, const int incY) {                               \
    gbmv<T>("cblas_" #p "gbmv", p##gbmv_, layout, TransA, M, N, KL, KU, alpha, A, lda, X, incX, beta, Y,   \
            incY);                                                                                         \
  }                                                                                                        \
  void cblas_##p##trmv(const CBLAS_LAYOUT layout, const CBLAS_UPLO Uplo, const CBLAS_TRANSPOSE TransA,     \
                       const CBLAS_DIAG Diag, const int N, const T* A, const int lda, T* X,                \
                       const int incX) {                                                                   \
    trmv<T>("cblas_" #p "trmv", p##trmv_, layout, Uplo, TransA, Diag, N, A, lda, X, incX);                 \
  }                                                                                                        \
  void cblas_##p##tbmv(const CBLAS_LAYOUT layout, const CBLAS_UPLO Uplo, const CBLAS_TRANSPOSE TransA,     \
                       const CBLAS_DIAG Diag, const int N, const int K, const T* A, const int lda, T* X,   \
                       const int incX) {                                                                   \
    tbmv<T>("cblas_" #p "tbmv", p##tbmv_, layout, Uplo, TransA, Diag, N, K, A, lda, X, incX);              \
  }                                                                                                        \
  void cblas_##p##tpmv(const CBLAS_LAYOUT layout, const CBLAS_UPLO Uplo, const CBLAS_TRANSPOSE TransA,     \
                       const CBLAS_DIAG Diag, const int N, const T* Ap, T* X, const int incX) {            \
    tpmv<T>("cblas_" #p "tpmv", p##tpmv_, layout, Uplo, TransA, Diag, N, Ap, X, incX);                     \
  }                                                                                                        \
  void cblas_##p##trsv(const CBLAS_LAYOUT layout, const CBLAS_UPLO Uplo, const CBLAS_TRANSPOSE TransA,     \
                       const CBLAS_DIAG Diag, const int N, const T* A, const int lda, T* X,                \
                       const int incX) {                                                                   \
    trsv<T>("cblas_" #p "trsv", p##trsv_, layout, Uplo, TransA, Diag, N, A, lda, X, incX);                 \
  }                                                                                                        \
  void cblas_##p##tbsv(const CBLAS_LAYOUT layout, const CBLAS_UPLO Uplo, const CBLAS_TRANSPOSE TransA,     \
                       const CBLAS_DIAG Diag, const int N, const int K, const T* A, const int lda, T* X,   \
                       const int incX) {                                                                   \
    tbsv<T>("cblas_" #p "tbsv", p##tbsv_, layout, Uplo, TransA, Diag, N, K, A, lda, X, incX);              \
  }                                                                                                        \
  void cblas_##p##tpsv(const CBLAS_LAYOUT layout, const CBLAS_UPLO Uplo, const CBLAS_TRANSPOSE TransA,     \
                       const CBLAS_DIAG Diag, const int N, const T* Ap, T* X, const int incX) {            \
    tpsv<T>("cblas_" #p "tpsv", p##tpsv_, layout, Uplo, TransA, Diag, N, Ap, X, incX);                     \
  }                                                                                                        \
  void cblas_##p##symv(const CBLAS_LAYOUT layout, const CBLAS_UPLO Uplo, const int N, const T alpha,       \
                       const T* A, const int lda, const T* X, const int incX, const T beta, T* Y,          \
                       const int incY) {                                                                   \
    symv<T>("cblas_" #p "symv", p##symv_, layout, Uplo, N, alpha, A, lda, X, incX, beta, Y, incY);         \
  }                                                                                                        \
  void cblas_##p##sbmv(const CBLAS_LAYOUT layout, const CBLAS_UPLO Uplo, const int N, const int K,         \
                       const T alpha, const T* A, const int lda, const T* X, const int incX, const T beta, \
                       T* Y, const int incY) {                                                             \
    sbmv<T>("cblas_" #p "sbmv", p##sbmv_, layout, Uplo, N, K, alpha, A, lda, X, incX, beta, Y, incY);      \
  }                                                                                                        \
  void cblas_##p##spmv(const CBLAS_LAYOUT layout, const CBLAS_UPLO Uplo, const int N, const T alpha,       \
                       const T* Ap, const T* X, const int incX, const T beta, T* Y, const int incY) {      \
    spmv<T>("cblas_" #p "spmv", p##spmv_, layout, Uplo, N, alpha, Ap, X, incX, beta, Y, incY);             \
  }                                                                                                        \
  void cblas_##p##ger(const CBLAS_LAYOUT layout, const int M, const int N, const T alpha, const T* X,      \
                      const int incX, const T* Y, const int incY, T* A, const int lda) {                   \
    ger<T>("cblas_" #p "ger", p##ger_, layout, M, N, alpha, X, incX, Y, incY, A, lda);                     \
  }                                                                                                        \
  void cblas_##p##syr(const CBLAS_LAYOUT layout, const CBLAS_UPLO Uplo, const int N, const T alpha,        \
                      const T* X, const int incX, T* A, const int lda) {                                   \
    syr<T>("cblas_" #p "syr", p##syr_, layout, Uplo, N, alpha, X, incX, A, lda);                           \
  }                                                                                                        \
  void cblas_##p##spr(const CBLAS_LAYOUT layout, const CBLAS_UPLO Uplo, const int N, const T alpha,        \
                      const T* X, const int incX, T* Ap) {                                                 \
    spr<T>("cblas_" #p "spr", p##spr_, layout, Uplo, N, alpha, X, incX, Ap);                               \
  }                                                                                                        \
  void cblas_##p##syr2(const CBLAS_LAYOUT layout, const CBLAS_UPLO Uplo, const int N, const T alpha,       \
                       const T* X, const int incX, const T* Y, const int incY, T* A, const int lda) {      \
    syr2<T>("cblas_" #p "syr2", p##syr2_, layout, Uplo, N, alpha, X, incX, Y, incY, A, lda);               \
  }                                                                                                        \
  void cblas_##p##spr2(const CBLAS_LAYOUT layout, const CBLAS_UPLO Uplo, const int N, const T alpha,       \
                       const T* X, const int incX, const T* Y, const int incY, T* A) {                     \
    spr2<T>("cblas_" #p "spr2", p##spr2_, layout, Uplo, N, alpha, X, incX, Y, incY, A);                    \
  }

ZELT_CBLAS_LEVEL2(s, float)
ZELT_CBLAS_LEVEL2(d, double)
#undef ZELT_CBLAS_LEVEL2
// NOLINTEND(bugprone-macro-parentheses)

// ---- Level 3 ---------------------------------------------------------------
// Each function once over its element type, then the exported ones of both
// precisions.

namespace {

template <class T, class F>
void gemm(const char* name, F fortran, const CBLAS_LAYOUT layout, const CBLAS_TRANSPOSE TransA,
          const CBLAS_TRANSPOSE TransB, const int M, const int N, const int K, const T alpha, const T* A,
          const int lda, const T* B, const int ldb, const T beta, T* C, const int ldc) {
  const c_call c(name, layout);
  if (!c.layout_ok()) return;
  const char ta = trans_kept(TransA);
  if (ta == 0) return c.bad_enum(2, "Illegal TransA setting, %d\n", static_cast<int>(TransA));
  const char tb = trans_kept(TransB);
  if (tb == 0) return c.bad_enum(3, "Illegal TransB setting, %d\n", static_cast<int>(TransB));
  // row-major: C^T = op(B)^T op(A)^T, the column-major product of B and A
  const bool row = c.row_major();
  const char t1 = row ? tb : ta, t2 = row ? ta : tb;
  const int m = row ? N : M, n = row ? M : N, ld1 = row ? ldb : lda, ld2 = row ? lda : ldb;
  const T *a = row ? B : A, *b = row ? A : B;
  const int rows1 = t1 == 'N' ? m : K, rows2 = t2 == 'N' ? K : n;
  if (c.fortran_bad(first_bad({{m < 0, 3},
                               {n < 0, 4},
                               {K < 0, 5},
                               {ld1 < at_least_one(rows1), 8},
                               {ld2 < at_least_one(rows2), 10},
                               {ldc < at_least_one(m), 13}})))
    return;
  fortran(&t1, &t2, &m, &n, &K, &alpha, a, &ld1, b, &ld2, &beta, C, &ldc, 1, 1);
}

template <class T, class F>
void symm(const char* name, F fortran, const CBLAS_LAYOUT layout, const CBLAS_SIDE Side,
          const CBLAS_UPLO Uplo, const int M, const int N, const T alpha, const T* A, const int lda,
          const T* B, const int ldb, const T beta, T* C, const int ldc) {
  const c_call c(name, layout);
  if (!c.layout_ok()) return;
  const char sd = side_letter(Side, c.row_major());
  if (sd == 0) return c.bad_enum(2, "Illegal Side setting, %d\n", static_cast<int>(Side));
  const char ul = uplo_letter(Uplo, c.row_major());
  if (ul == 0) return c.bad_enum(3, "Illegal Uplo setting, %d\n", static_cast<int>(Uplo));
  const int m = c.row_major() ? N : M, n = c.row_major() ? M : N;
  if (c.fortran_bad(first_bad({{m < 0, 3},
                               {n < 0, 4},
                               {lda < at_least_one(sd == 'L' ? m : n), 7},
                               {ldb < at_least_one(m), 9},
                               {ldc < at_least_one(m), 12}})))
    return;
  fortran(&sd, &ul, &m, &n, &alpha, A, &lda, B, &ldb, &beta, C, &ldc, 1, 1);
}

// The two flags of the rank-k updates: uplo (2) and trans (3), both flipped
// in row-major, where C^T = op(A)^T op(A); for zherk and zher2k
// (`hermitian`) the transpose of 'N' is 'C'. 0 after a report.
bool rank_k_letters(const c_call& c, CBLAS_UPLO uplo, CBLAS_TRANSPOSE trans, bool hermitian, char& ul,
                    char& tr) {
  ul = uplo_letter(uplo, c.row_major());
  if (ul == 0) {
    c.bad_enum(2, "Illegal Uplo setting, %d\n", static_cast<int>(uplo));
    return false;
  }
  tr = trans_flipped(trans, c.row_major());
  if (tr == 0) {
    c.bad_enum(3, "Illegal Trans setting, %d\n", static_cast<int>(trans));
    return false;
  }
  if (hermitian && tr == 'T' && c.row_major()) tr = 'C';
  return true;
}

// Whether a complex rank-k update rejects the letter: zsyrk and zsyr2k take
// 'N' and 'T', zherk and zher2k 'N' and 'C' (the reference CBLAS passes the
// others on, for the Fortran routine to report).
template <class T>
bool form_rejected(char tr, bool hermitian) {
  return zelt::detail::is_complex_v<T> && tr != 'N' && tr != (hermitian ? 'C' : 'T');
}

// dsyrk and zsyrk; zherk (`hermitian`) with real scalars S.
template <class T, class S, class F>
void syrk(const char* name, F fortran, const CBLAS_LAYOUT layout, const CBLAS_UPLO Uplo,
          const CBLAS_TRANSPOSE Trans, const int N, const int K, const S alpha, const T* A, const int lda,
          const S beta, T* C, const int ldc, bool hermitian = false) {
  const c_call c(name, layout);
  char ul = 0, tr = 0;
  if (!c.layout_ok() || !rank_k_letters(c, Uplo, Trans, hermitian, ul, tr)) return;
  const int rows = at_least_one(tr == 'N' ? N : K);
  if (c.fortran_bad(first_bad({{form_rejected<T>(tr, hermitian), 2},
                               {N < 0, 3},
                               {K < 0, 4},
                               {lda < rows, 7},
                               {ldc < at_least_one(N), 10}})))
    return;
  fortran(&ul, &tr, &N, &K, &alpha, A, &lda, &beta, C, &ldc, 1, 1);
}

// dsyr2k and zsyr2k; zher2k (`hermitian`) with a real beta S, whose
// row-major form, as the reference CBLAS's, takes conj(alpha).
template <class T, class S, class F>
void syr2k(const char* name, F fortran, const CBLAS_LAYOUT layout, const CBLAS_UPLO Uplo,
           const CBLAS_TRANSPOSE Trans, const int N, const int K, const T alpha, const T* A, const int lda,
           const T* B, const int ldb, const S beta, T* C, const int ldc, bool hermitian = false) {
  const c_call c(name, layout);
  char ul = 0, tr = 0;
  if (!c.layout_ok() || !rank_k_letters(c, Uplo, Trans, hermitian, ul, tr)) return;
  const int rows = at_least_one(tr == 'N' ? N : K);
  if (c.fortran_bad(first_bad({{form_rejected<T>(tr, hermitian), 2},
                               {N < 0, 3},
                               {K < 0, 4},
                               {lda < rows, 7},
                               {ldb < rows, 9},
                               {ldc < at_least_one(N), 12}})))
    return;
  const T a = hermitian && c.row_major() ? zelt::detail::conjugate(alpha) : alpha;
  fortran(&ul, &tr, &N, &K, &a, A, &lda, B, &ldb, &beta, C, &ldc, 1, 1);
}

// dtrmm and dtrsm: side (2), uplo (3), trans (4), diag (5); row-major,
// B^T = op(A)^T B^T on the other side, with the other triangle, op kept.
template <class T, class F>
void triangular3(const char* name, F fortran, CBLAS_LAYOUT layout, CBLAS_SIDE Side, CBLAS_UPLO Uplo,
                 CBLAS_TRANSPOSE TransA, CBLAS_DIAG Diag, int M, int N, T alpha, const T* A, int lda, T* B,
                 int ldb) {
  const c_call c(name, layout);
  if (!c.layout_ok()) return;
  const char sd = side_letter(Side, c.row_major());
  if (sd == 0) return c.bad_enum(2, "Illegal Side setting, %d\n", static_cast<int>(Side));
  const char ul = uplo_letter(Uplo, c.row_major());
  if (ul == 0) return c.bad_enum(3, "Illegal Uplo setting, %d\n", static_cast<int>(Uplo));
  const char ta = trans_kept(TransA);
  if (ta == 0) return c.bad_enum(4, "Illegal Trans setting, %d\n", static_cast<int>(TransA));
  const char di = diag_letter(Diag);
  if (di == 0) return c.bad_enum(5, "Illegal Diag setting, %d\n", static_cast<int>(Diag));
  const int m = c.row_major() ? N : M, n = c.row_major() ? M : N;
  if (c.fortran_bad(first_bad(
          {{m < 0, 5}, {n < 0, 6}, {lda < at_least_one(sd == 'L' ? m : n), 9}, {ldb < at_least_one(m), 11}})))
    return;
  fortran(&sd, &ul, &ta, &di, &m, &n, &alpha, A, &lda, B, &ldb, 1, 1, 1, 1);
}

template <class T, class F>
void trmm(const char* name, F fortran, const CBLAS_LAYOUT layout, const CBLAS_SIDE Side,
          const CBLAS_UPLO Uplo, const CBLAS_TRANSPOSE TransA, const CBLAS_DIAG Diag, const int M,
          const int N, const T alpha, const T* A, const int lda, T* B, const int ldb) {
  triangular3(name, fortran, layout, Side, Uplo, TransA, Diag, M, N, alpha, A, lda, B, ldb);
}

template <class T, class F>
void trsm(const char* name, F fortran, const CBLAS_LAYOUT layout, const CBLAS_SIDE Side,
          const CBLAS_UPLO Uplo, const CBLAS_TRANSPOSE TransA, const CBLAS_DIAG Diag, const int M,
          const int N, const T alpha, const T* A, const int lda, T* B, const int ldb) {
  triangular3(name, fortran, layout, Side, Uplo, TransA, Diag, M, N, alpha, A, lda, B, ldb);
}

}  // namespace

// T names a type, which takes no parentheses.
// NOLINTBEGIN(bugprone-macro-parentheses)
#define ZELT_CBLAS_LEVEL3(p, T)                                                                              \
  void cblas_##p##gemm(const CBLAS_LAYOUT layout, const CBLAS_TRANSPOSE TransA,                              \
                       const CBLAS_TRANSPOSE TransB, const int M, const int N, const int K, const T alpha,   \
                       const T* A, const int lda, const T* B, const int ldb, const T beta, T* C,             \
                       const int ldc) {                                                                      \
    gemm<T>("cblas_" #p "gemm", p##gemm_, layout, TransA, TransB, M, N, K, alpha, A, lda, B, ldb, beta, C,   \
            ldc);                                                                                            \
  }                                                                                                          \
  void cblas_##p##symm(const CBLAS_LAYOUT layout, const CBLAS_SIDE Side, const CBLAS_UPLO Uplo, const int M, \
                       const int N, const T alpha, const T* A, const int lda, const T* B, const int ldb,     \
                       const T beta, T* C, const int ldc) {                                                  \
    symm<T>("cblas_" #p "symm", p##symm_, layout, Side, Uplo, M, N, alpha, A, lda, B, ldb, beta, C, ldc);    \
  }                                                                                                          \
  void cblas_##p##syrk(const CBLAS_LAYOUT layout, const CBLAS_UPLO Uplo, const CBLAS_TRANSPOSE Trans,        \
                       const int N, const int K, const T alpha, const T* A, const int lda, const T beta,     \
                       T* C, const int ldc) {                                                                \
    syrk<T>("cblas_" #p "syrk", p##syrk_, layout, Uplo, Trans, N, K, alpha, A, lda, beta, C, ldc);           \
  }                                                                                                          \
  void cblas_##p##syr2k(const CBLAS_LAYOUT layout, const CBLAS_UPLO Uplo, const CBLAS_TRANSPOSE Trans,       \
                        const int N, const int K, const T alpha, const T* A, const int lda, const T* B,      \
                        const int ldb, const T beta, T* C, const int ldc) {                                  \
    syr2k<T>("cblas_" #p "syr2k", p##syr2k_, layout, Uplo, Trans, N, K, alpha, A, lda, B, ldb, beta, C,      \
             ldc);                                                                                           \
  }                                                                                                          \
  void cblas_##p##trmm(const CBLAS_LAYOUT layout, const CBLAS_SIDE Side, const CBLAS_UPLO Uplo,              \
                       const CBLAS_TRANSPOSE TransA, const CBLAS_DIAG Diag, const int M, const int N,        \
                       const T alpha, const T* A, const int lda, T* B, const int ldb) {                      \
    trmm<T>("cblas_" #p "trmm", p##trmm_, layout, Side, Uplo, TransA, Diag, M, N, alpha, A, lda, B, ldb);    \
  }                                                                                                          \
  void cblas_##p##trsm(const CBLAS_LAYOUT layout, const CBLAS_SIDE Side, const CBLAS_UPLO Uplo,              \
                       const CBLAS_TRANSPOSE TransA, const CBLAS_DIAG Diag, const int M, const int N,        \
                       const T alpha, const T* A, const int lda, T* B, const int ldb) {                      \
    trsm<T>("cblas_" #p "trsm", p##trsm_, layout, Side, Uplo, TransA, Diag, M, N, alpha, A, lda, B, ldb);    \
  }

ZELT_CBLAS_LEVEL3(s, float)
ZELT_CBLAS_LEVEL3(d, double)
#undef ZELT_CBLAS_LEVEL3
// NOLINTEND(bugprone-macro-parentheses)

// ---- Complex Level 2 -----------------------------------------------------------

// NOLINTBEGIN(bugprone-macro-parentheses)
#define ZELT_CBLAS_COMPLEX_LEVEL2(p, R)                                                                     \
  void cblas_##p##gemv(const CBLAS_LAYOUT layout, const CBLAS_TRANSPOSE TransA, const int M, const int N,   \
                       const void* alpha, const void* A, const int lda, const void* X, const int incX,      \
                       const void* beta, void* Y, const int incY) {                                         \
    gemv("cblas_" #p "gemv", p##gemv_, layout, TransA, M, N, scalar<R>(alpha), in<R>(A), lda, in<R>(X),     \
         incX, scalar<R>(beta), out<R>(Y), incY);                                                           \
  }                                                                                                         \
  void cblas_##p##geru(const CBLAS_LAYOUT layout, const int M, const int N, const void* alpha,              \
                       const void* X, const int incX, const void* Y, const int incY, void* A,               \
                       const int lda) {                                                                     \
    complex_ger<R>("cblas_" #p "geru", p##geru_, p##geru_, false, layout, M, N, alpha, X, incX, Y, incY, A, \
                   lda);                                                                                    \
  }                                                                                                         \
  void cblas_##p##gerc(const CBLAS_LAYOUT layout, const int M, const int N, const void* alpha,              \
                       const void* X, const int incX, const void* Y, const int incY, void* A,               \
                       const int lda) {                                                                     \
    complex_ger<R>("cblas_" #p "gerc", p##gerc_, p##geru_, true, layout, M, N, alpha, X, incX, Y, incY, A,  \
                   lda);                                                                                    \
  }                                                                                                         \
  void cblas_##p##hemv(const CBLAS_LAYOUT layout, const CBLAS_UPLO Uplo, const int N, const void* alpha,    \
                       const void* A, const int lda, const void* X, const int incX, const void* beta,       \
                       void* Y, const int incY) {                                                           \
    symv("cblas_" #p "hemv", p##hemv_, layout, Uplo, N, scalar<R>(alpha), in<R>(A), lda, in<R>(X), incX,    \
         scalar<R>(beta), out<R>(Y), incY);                                                                 \
  }                                                                                                         \
  void cblas_##p##hbmv(const CBLAS_LAYOUT layout, const CBLAS_UPLO Uplo, const int N, const int K,          \
                       const void* alpha, const void* A, const int lda, const void* X, const int incX,      \
                       const void* beta, void* Y, const int incY) {                                         \
    sbmv("cblas_" #p "hbmv", p##hbmv_, layout, Uplo, N, K, scalar<R>(alpha), in<R>(A), lda, in<R>(X), incX, \
         scalar<R>(beta), out<R>(Y), incY);                                                                 \
  }                                                                                                         \
  void cblas_##p##hpmv(const CBLAS_LAYOUT layout, const CBLAS_UPLO Uplo, const int N, const void* alpha,    \
                       const void* Ap, const void* X, const int incX, const void* beta, void* Y,            \
                       const int incY) {                                                                    \
    spmv("cblas_" #p "hpmv", p##hpmv_, layout, Uplo, N, scalar<R>(alpha), in<R>(Ap), in<R>(X), incX,        \
         scalar<R>(beta), out<R>(Y), incY);                                                                 \
  }                                                                                                         \
  void cblas_##p##her(const CBLAS_LAYOUT layout, const CBLAS_UPLO Uplo, const int N, const R alpha,         \
                      const void* X, const int incX, void* A, const int lda) {                              \
    syr("cblas_" #p "her", p##her_, layout, Uplo, N, alpha, in<R>(X), incX, out<R>(A), lda);                \
  }                                                                                                         \
  void cblas_##p##hpr(const CBLAS_LAYOUT layout, const CBLAS_UPLO Uplo, const int N, const R alpha,         \
                      const void* X, const int incX, void* Ap) {                                            \
    spr("cblas_" #p "hpr", p##hpr_, layout, Uplo, N, alpha, in<R>(X), incX, out<R>(Ap));                    \
  }                                                                                                         \
  void cblas_##p##her2(const CBLAS_LAYOUT layout, const CBLAS_UPLO Uplo, const int N, const void* alpha,    \
                       const void* X, const int incX, const void* Y, const int incY, void* A,               \
                       const int lda) {                                                                     \
    syr2("cblas_" #p "her2", p##her2_, layout, Uplo, N, scalar<R>(alpha), in<R>(X), incX, in<R>(Y), incY,   \
         out<R>(A), lda);                                                                                   \
  }                                                                                                         \
  void cblas_##p##hpr2(const CBLAS_LAYOUT layout, const CBLAS_UPLO Uplo, const int N, const void* alpha,    \
                       const void* X, const int incX, const void* Y, const int incY, void* Ap) {            \
    spr2("cblas_" #p "hpr2", p##hpr2_, layout, Uplo, N, scalar<R>(alpha), in<R>(X), incX, in<R>(Y), incY,   \
         out<R>(Ap));                                                                                       \
  }                                                                                                         \
  void cblas_##p##gbmv(const CBLAS_LAYOUT layout, const CBLAS_TRANSPOSE TransA, const int M, const int N,   \
                       const int KL, const int KU, const void* alpha, const void* A, const int lda,         \
                       const void* X, const int incX, const void* beta, void* Y, const int incY) {          \
    gbmv("cblas_" #p "gbmv", p##gbmv_, layout, TransA, M, N, KL, KU, scalar<R>(alpha), in<R>(A), lda,       \
         in<R>(X), incX, scalar<R>(beta), out<R>(Y), incY);                                                 \
  }                                                                                                         \
  void cblas_##p##trmv(const CBLAS_LAYOUT layout, const CBLAS_UPLO Uplo, const CBLAS_TRANSPOSE TransA,      \
                       const CBLAS_DIAG Diag, const int N, const void* A, const int lda, void* X,           \
                       const int incX) {                                                                    \
    trmv("cblas_" #p "trmv", p##trmv_, layout, Uplo, TransA, Diag, N, in<R>(A), lda, out<R>(X), incX);      \
  }                                                                                                         \
  void cblas_##p##trsv(const CBLAS_LAYOUT layout, const CBLAS_UPLO Uplo, const CBLAS_TRANSPOSE TransA,      \
                       const CBLAS_DIAG Diag, const int N, const void* A, const int lda, void* X,           \
                       const int incX) {                                                                    \
    trsv("cblas_" #p "trsv", p##trsv_, layout, Uplo, TransA, Diag, N, in<R>(A), lda, out<R>(X), incX);      \
  }                                                                                                         \
  void cblas_##p##tbmv(const CBLAS_LAYOUT layout, const CBLAS_UPLO Uplo, const CBLAS_TRANSPOSE TransA,      \
                       const CBLAS_DIAG Diag, const int N, const int K, const void* A, const int lda,       \
                       void* X, const int incX) {                                                           \
    tbmv("cblas_" #p "tbmv", p##tbmv_, layout, Uplo, TransA, Diag, N, K, in<R>(A), lda, out<R>(X), incX);   \
  }                                                                                                         \
  void cblas_##p##tbsv(const CBLAS_LAYOUT layout, const CBLAS_UPLO Uplo, const CBLAS_TRANSPOSE TransA,      \
                       const CBLAS_DIAG Diag, const int N, const int K, const void* A, const int lda,       \
                       void* X, const int incX) {                                                           \
    tbsv("cblas_" #p "tbsv", p##tbsv_, layout, Uplo, TransA, Diag, N, K, in<R>(A), lda, out<R>(X), incX);   \
  }                                                                                                         \
  void cblas_##p##tpmv(const CBLAS_LAYOUT layout, const CBLAS_UPLO Uplo, const CBLAS_TRANSPOSE TransA,      \
                       const CBLAS_DIAG Diag, const int N, const void* Ap, void* X, const int incX) {       \
    tpmv("cblas_" #p "tpmv", p##tpmv_, layout, Uplo, TransA, Diag, N, in<R>(Ap), out<R>(X), incX);          \
  }                                                                                                         \
  void cblas_##p##tpsv(const CBLAS_LAYOUT layout, const CBLAS_UPLO Uplo, const CBLAS_TRANSPOSE TransA,      \
                       const CBLAS_DIAG Diag, const int N, const void* Ap, void* X, const int incX) {       \
    tpsv("cblas_" #p "tpsv", p##tpsv_, layout, Uplo, TransA, Diag, N, in<R>(Ap), out<R>(X), incX);          \
  }

ZELT_CBLAS_COMPLEX_LEVEL2(c, float)
ZELT_CBLAS_COMPLEX_LEVEL2(z, double)
#undef ZELT_CBLAS_COMPLEX_LEVEL2

// ---- Complex Level 3 -----------------------------------------------------------

#define ZELT_CBLAS_COMPLEX_LEVEL3(p, R)                                                                      \
  void cblas_##p##gemm(const CBLAS_LAYOUT layout, const CBLAS_TRANSPOSE TransA,                              \
                       const CBLAS_TRANSPOSE TransB, const int M, const int N, const int K,                  \
                       const void* alpha, const void* A, const int lda, const void* B, const int ldb,        \
                       const void* beta, void* C, const int ldc) {                                           \
    gemm("cblas_" #p "gemm", p##gemm_, layout, TransA, TransB, M, N, K, scalar<R>(alpha), in<R>(A), lda,     \
         in<R>(B), ldb, scalar<R>(beta), out<R>(C), ldc);                                                    \
  }                                                                                                          \
  void cblas_##p##symm(const CBLAS_LAYOUT layout, const CBLAS_SIDE Side, const CBLAS_UPLO Uplo, const int M, \
                       const int N, const void* alpha, const void* A, const int lda, const void* B,          \
                       const int ldb, const void* beta, void* C, const int ldc) {                            \
    symm("cblas_" #p "symm", p##symm_, layout, Side, Uplo, M, N, scalar<R>(alpha), in<R>(A), lda, in<R>(B),  \
         ldb, scalar<R>(beta), out<R>(C), ldc);                                                              \
  }                                                                                                          \
  void cblas_##p##hemm(const CBLAS_LAYOUT layout, const CBLAS_SIDE Side, const CBLAS_UPLO Uplo, const int M, \
                       const int N, const void* alpha, const void* A, const int lda, const void* B,          \
                       const int ldb, const void* beta, void* C, const int ldc) {                            \
    symm("cblas_" #p "hemm", p##hemm_, layout, Side, Uplo, M, N, scalar<R>(alpha), in<R>(A), lda, in<R>(B),  \
         ldb, scalar<R>(beta), out<R>(C), ldc);                                                              \
  }                                                                                                          \
  void cblas_##p##syrk(const CBLAS_LAYOUT layout, const CBLAS_UPLO Uplo, const CBLAS_TRANSPOSE Trans,        \
                       const int N, const int K, const void* alpha, const void* A, const int lda,            \
                       const void* beta, void* C, const int ldc) {                                           \
    syrk("cblas_" #p "syrk", p##syrk_, layout, Uplo, Trans, N, K, scalar<R>(alpha), in<R>(A), lda,           \
         scalar<R>(beta), out<R>(C), ldc);                                                                   \
  }                                                                                                          \
  void cblas_##p##herk(const CBLAS_LAYOUT layout, const CBLAS_UPLO Uplo, const CBLAS_TRANSPOSE Trans,        \
                       const int N, const int K, const R alpha, const void* A, const int lda, const R beta,  \
                       void* C, const int ldc) {                                                             \
    syrk("cblas_" #p "herk", p##herk_, layout, Uplo, Trans, N, K, alpha, in<R>(A), lda, beta, out<R>(C),     \
         ldc, true);                                                                                         \
  }                                                                                                          \
  void cblas_##p##syr2k(const CBLAS_LAYOUT layout, const CBLAS_UPLO Uplo, const CBLAS_TRANSPOSE Trans,       \
                        const int N, const int K, const void* alpha, const void* A, const int lda,           \
                        const void* B, const int ldb, const void* beta, void* C, const int ldc) {            \
    syr2k("cblas_" #p "syr2k", p##syr2k_, layout, Uplo, Trans, N, K, scalar<R>(alpha), in<R>(A), lda,        \
          in<R>(B), ldb, scalar<R>(beta), out<R>(C), ldc);                                                   \
  }                                                                                                          \
  void cblas_##p##her2k(const CBLAS_LAYOUT layout, const CBLAS_UPLO Uplo, const CBLAS_TRANSPOSE Trans,       \
                        const int N, const int K, const void* alpha, const void* A, const int lda,           \
                        const void* B, const int ldb, const R beta, void* C, const int ldc) {                \
    syr2k("cblas_" #p "her2k", p##her2k_, layout, Uplo, Trans, N, K, scalar<R>(alpha), in<R>(A), lda,        \
          in<R>(B), ldb, beta, out<R>(C), ldc, true);                                                        \
  }                                                                                                          \
  void cblas_##p##trmm(const CBLAS_LAYOUT layout, const CBLAS_SIDE Side, const CBLAS_UPLO Uplo,              \
                       const CBLAS_TRANSPOSE TransA, const CBLAS_DIAG Diag, const int M, const int N,        \
                       const void* alpha, const void* A, const int lda, void* B, const int ldb) {            \
    triangular3("cblas_" #p "trmm", p##trmm_, layout, Side, Uplo, TransA, Diag, M, N, scalar<R>(alpha),      \
                in<R>(A), lda, out<R>(B), ldb);                                                              \
  }                                                                                                          \
  void cblas_##p##trsm(const CBLAS_LAYOUT layout, const CBLAS_SIDE Side, const CBLAS_UPLO Uplo,              \
                       const CBLAS_TRANSPOSE TransA, const CBLAS_DIAG Diag, const int M, const int N,        \
                       const void* alpha, const void* A, const int lda, void* B, const int ldb) {            \
    triangular3("cblas_" #p "trsm", p##trsm_, layout, Side, Uplo, TransA, Diag, M, N, scalar<R>(alpha),      \
                in<R>(A), lda, out<R>(B), ldb);                                                              \
  }

ZELT_CBLAS_COMPLEX_LEVEL3(c, float)
ZELT_CBLAS_COMPLEX_LEVEL3(z, double)
#undef ZELT_CBLAS_COMPLEX_LEVEL3
// NOLINTEND(bugprone-macro-parentheses)

// ---- The reference library's Fortran helpers --------------------------------

namespace {

// The parts of complex element i of x (increment inc, from the far end when
// inc < 0, as the reference walks it).
template <class T>
const T* complex_at(const T* x, int n, int inc, int i) {
  const long long first = inc < 0 ? static_cast<long long>(n - 1) * -inc : 0;
  return x + 2 * (first + static_cast<long long>(i) * inc);
}

// Part k of the 2n parts of x, each real part before its imaginary part.
template <class T>
struct complex_parts {
  const T* x;
  int n, inc;
  T operator[](std::size_t k) const noexcept { return complex_at(x, n, inc, static_cast<int>(k / 2))[k % 2]; }
};

// snrm2's and dnrm2's three accumulators over the 2n parts.
template <class T>
T complex_nrm2(const int* n, const void* x, const int* incx) {
  if (*n <= 0) return 0;
  return zelt::detail::nrm2_kernel<T>(complex_parts<T>{static_cast<const T*>(x), *n, *incx},
                                      2 * static_cast<std::size_t>(*n));
}

}  // namespace

float scabs1_(const void* z) {
  const auto* p = static_cast<const float*>(z);
  return std::abs(p[0]) + std::abs(p[1]);
}

double dcabs1_(const void* z) {
  const auto* p = static_cast<const double*>(z);
  return std::abs(p[0]) + std::abs(p[1]);
}

// The sums of |re| and |im| over the elements, in order; like the real
// sums, nothing for an increment <= 0. In single precision each part is added
// on its own, in double precision each element's |re| + |im|.
float scasum_(const int* n, const void* cx, const int* incx) {
  if (*n <= 0 || *incx <= 0) return 0.0f;
  const complex_parts<float> parts{static_cast<const float*>(cx), *n, *incx};
  float sum = 0.0f;
  for (std::size_t k = 0; k < 2 * static_cast<std::size_t>(*n); ++k) sum = sum + std::abs(parts[k]);
  return sum;
}

double dzasum_(const int* n, const void* zx, const int* incx) {
  if (*n <= 0 || *incx <= 0) return 0.0;
  const auto* x = static_cast<const double*>(zx);
  double sum = 0.0;
  for (int i = 0; i < *n; ++i) sum = sum + dcabs1_(complex_at(x, *n, *incx, i));
  return sum;
}

float scnrm2_(const int* n, const void* x, const int* incx) { return complex_nrm2<float>(n, x, incx); }
double dznrm2_(const int* n, const void* x, const int* incx) { return complex_nrm2<double>(n, x, incx); }

void scabs1sub_(const void* z, float* cabs1) { *cabs1 = scabs1_(z); }
void dcabs1sub_(const void* z, double* cabs1) { *cabs1 = dcabs1_(z); }
void scasumsub_(const int* n, const void* x, const int* incx, float* asum) { *asum = scasum_(n, x, incx); }
void dzasumsub_(const int* n, const void* x, const int* incx, double* asum) { *asum = dzasum_(n, x, incx); }
void scnrm2sub_(const int* n, const void* x, const int* incx, float* nrm2) { *nrm2 = scnrm2_(n, x, incx); }
void dznrm2sub_(const int* n, const void* x, const int* incx, double* nrm2) { *nrm2 = dznrm2_(n, x, incx); }

int lsame_(const char* ca, const char* cb, len_t, len_t) {
  // ASCII letters only, as the reference on an ASCII machine
  auto upper = [](char ch) { return ch >= 'a' && ch <= 'z' ? static_cast<char>(ch - 'a' + 'A') : ch; };
  return upper(*ca) == upper(*cb) ? 1 : 0;
}

void xerbla_array_(const char* srname_array, const int* srname_len, const int* info, len_t) {
  // the name blank-padded to 32 characters, as the reference passes it
  char name[32];
  for (int i = 0; i < 32; ++i) name[i] = i < *srname_len ? srname_array[i] : ' ';
  xerbla_(name, info, sizeof name);
}

#if defined(__clang__)
#pragma clang attribute pop
#endif
