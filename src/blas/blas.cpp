// libzelt_blas: the Fortran-ABI symbols of the BLAS routines zelt implements
// (ddot_, dgemv_, cdotc_, ...), LP64 integers, character
// flags with their hidden lengths, and xerbla_. Each routine checks its
// arguments as the reference BLAS does, reports the first bad one through
// xerbla_ and returns untouched, takes the reference's quick returns, and
// otherwise runs zelt's operation on views of its arguments, which gives the
// reference's bits.
#include <cctype>   // std::toupper
#include <complex>  // std::complex
#include <cstddef>  // std::size_t, std::ptrdiff_t
#include <cstdio>   // std::fprintf, stderr
#include <cstdlib>  // std::getenv, std::strtol
#include <utility>  // std::pair

#include "checks.hpp"
#include "zelt/blas1.hpp"
#include "zelt/blas2.hpp"
#include "zelt/blas2_band.hpp"
#include "zelt/blas2_packed.hpp"
#include "zelt/blas3.hpp"
#include "zelt/kernel_set.hpp"
#include "zelt/matrix_views.hpp"
#include "zelt/zelt_cblas.h"

#define ZELT_BLAS_EXPORT extern "C" __attribute__((visibility("default")))

using len_t = std::size_t;  // a hidden Fortran string length

/// The reference's error handler, except that it returns: it prints the
/// reference's message to stderr. A program's own xerbla_ takes its place.
ZELT_BLAS_EXPORT __attribute__((weak)) void xerbla_(const char* srname, const int* info, len_t srname_len) {
  len_t n = srname_len;
  while (n > 0 && srname[n - 1] == ' ') --n;
  std::fprintf(stderr, " ** On entry to %.*s parameter number %2d had an illegal value\n",
               static_cast<int>(n), srname, *info);
}

ZELT_BLAS_EXPORT const char* zelt_blas_get_config() { return zelt::config(); }

namespace {

using vec = zelt::external_vec<double, 0, unsigned int>;
using cvec = zelt::external_vec<const double, 0, unsigned int>;

void report(const char* name, int info) {
  // names are blank-padded to six characters, as the reference passes them
  xerbla_(name, &info, 6);
}

bool same_letter(const char* flag, char letter) {
  return std::toupper(static_cast<unsigned char>(*flag)) == letter;
}

// Calls f with the view of the n elements of x with increment inc: contiguous
// for increment 1, otherwise strided, from the far end when inc < 0.
template <class T, class F>
auto with_vector(int n, T* x, int inc, F f) {
  const auto length = static_cast<unsigned>(n < 0 ? 0 : n);
  if (inc == 1) return f(zelt::external_vec<T, 0, unsigned int>(x, length, 0));
  T* first = inc < 0 && n > 0 ? x + static_cast<std::ptrdiff_t>(n - 1) * -inc : x;
  return f(zelt::strided_vec<T, unsigned int>(first, length, inc));
}

template <class T>
zelt::col_major_matrix<T> matrix(T* a, int m, int n, int lda) {
  return zelt::col_major_matrix<T>(a, static_cast<unsigned>(m), static_cast<unsigned>(n),
                                   static_cast<unsigned>(lda));
}

using zelt_blas::at_least_one;
using zelt_blas::first_bad;
using zelt_blas::in;
using zelt_blas::out;

template <class F>
void with_triangle(bool upper, F f) {
  if (upper) {
    f(zelt::upper);
  } else {
    f(zelt::lower);
  }
}

template <class F>
void with_diagonal(bool unit, F f) {
  if (unit) {
    f(zelt::unit_diagonal);
  } else {
    f(zelt::non_unit_diagonal);
  }
}

}  // namespace

// ---- Level 1 ---------------------------------------------------------------
// Each routine once over its element type; the exported symbols of both
// precisions follow.

namespace {

template <class T>
T dot(const int* n, const T* x, const int* incx, const T* y, const int* incy) {
  if (*n <= 0) return 0;
  return with_vector(*n, x, *incx, [&](auto vx) {
    return with_vector(*n, y, *incy, [&](auto vy) { return zelt::dot(vx, vy); });
  });
}

template <class T>
void axpy(const int* n, const T* alpha, const T* x, const int* incx, T* y, const int* incy) {
  if (*n <= 0) return;
  with_vector(*n, x, *incx,
              [&](auto vx) { with_vector(*n, y, *incy, [&](auto vy) { zelt::axpy(*alpha, vx, vy); }); });
}

template <class T>
void scal(const int* n, const T* alpha, T* x, const int* incx) {
  if (*n <= 0 || *incx <= 0) return;
  with_vector(*n, x, *incx, [&](auto vx) { zelt::scal(*alpha, vx); });
}

template <class T>
void copy(const int* n, const T* x, const int* incx, T* y, const int* incy) {
  if (*n <= 0) return;
  with_vector(*n, x, *incx,
              [&](auto vx) { with_vector(*n, y, *incy, [&](auto vy) { zelt::copy(vx, vy); }); });
}

template <class T>
void swap(const int* n, T* x, const int* incx, T* y, const int* incy) {
  if (*n <= 0) return;
  with_vector(*n, x, *incx,
              [&](auto vx) { with_vector(*n, y, *incy, [&](auto vy) { zelt::swap_elements(vx, vy); }); });
}

template <class T>
int iamax(const int* n, const T* x, const int* incx) {
  if (*n < 1 || *incx <= 0) return 0;
  return with_vector(*n, x, *incx, [&](auto vx) { return static_cast<int>(zelt::iamax(vx)) + 1; });
}

template <class T>
T asum(const int* n, const T* x, const int* incx) {
  if (*n <= 0 || *incx <= 0) return 0;
  return with_vector(*n, x, *incx, [&](auto vx) { return zelt::asum(vx); });
}

template <class T>
T nrm2(const int* n, const T* x, const int* incx) {
  if (*n <= 0) return 0;
  return with_vector(*n, x, *incx, [&](auto vx) { return zelt::nrm2(vx); });
}

template <class T>
void rot(const int* n, T* x, const int* incx, T* y, const int* incy, const T* c, const T* s) {
  if (*n <= 0) return;
  with_vector(*n, x, *incx,
              [&](auto vx) { with_vector(*n, y, *incy, [&](auto vy) { zelt::rot(vx, vy, *c, *s); }); });
}

template <class T>
void rotm(const int* n, T* x, const int* incx, T* y, const int* incy, const T* param) {
  if (*n <= 0) return;
  with_vector(*n, x, *incx,
              [&](auto vx) { with_vector(*n, y, *incy, [&](auto vy) { zelt::rotm(vx, vy, param); }); });
}

}  // namespace

// T names a type, which takes no parentheses.
// NOLINTBEGIN(bugprone-macro-parentheses)
#define ZELT_LEVEL1(p, T)                                                                                   \
  ZELT_BLAS_EXPORT T p##dot_(const int* n, const T* x, const int* incx, const T* y, const int* incy) {      \
    return dot(n, x, incx, y, incy);                                                                        \
  }                                                                                                         \
  ZELT_BLAS_EXPORT void p##axpy_(const int* n, const T* alpha, const T* x, const int* incx, T* y,           \
                                 const int* incy) {                                                         \
    axpy(n, alpha, x, incx, y, incy);                                                                       \
  }                                                                                                         \
  ZELT_BLAS_EXPORT void p##scal_(const int* n, const T* alpha, T* x, const int* incx) {                     \
    scal(n, alpha, x, incx);                                                                                \
  }                                                                                                         \
  ZELT_BLAS_EXPORT void p##copy_(const int* n, const T* x, const int* incx, T* y, const int* incy) {        \
    copy(n, x, incx, y, incy);                                                                              \
  }                                                                                                         \
  ZELT_BLAS_EXPORT void p##swap_(const int* n, T* x, const int* incx, T* y, const int* incy) {              \
    swap(n, x, incx, y, incy);                                                                              \
  }                                                                                                         \
  ZELT_BLAS_EXPORT int i##p##amax_(const int* n, const T* x, const int* incx) { return iamax(n, x, incx); } \
  ZELT_BLAS_EXPORT T p##asum_(const int* n, const T* x, const int* incx) { return asum(n, x, incx); }       \
  ZELT_BLAS_EXPORT T p##nrm2_(const int* n, const T* x, const int* incx) { return nrm2(n, x, incx); }       \
  ZELT_BLAS_EXPORT void p##rot_(const int* n, T* x, const int* incx, T* y, const int* incy, const T* c,     \
                                const T* s) {                                                               \
    rot(n, x, incx, y, incy, c, s);                                                                         \
  }                                                                                                         \
  ZELT_BLAS_EXPORT void p##rotg_(T* a, T* b, T* c, T* s) { zelt::rotg(*a, *b, *c, *s); }                    \
  ZELT_BLAS_EXPORT void p##rotm_(const int* n, T* x, const int* incx, T* y, const int* incy,                \
                                 const T* param) {                                                          \
    rotm(n, x, incx, y, incy, param);                                                                       \
  }                                                                                                         \
  ZELT_BLAS_EXPORT void p##rotmg_(T* d1, T* d2, T* x1, const T* y1, T* param) {                             \
    zelt::rotmg(*d1, *d2, *x1, *y1, param);                                                                 \
  }

ZELT_LEVEL1(s, float)
ZELT_LEVEL1(d, double)
#undef ZELT_LEVEL1
// NOLINTEND(bugprone-macro-parentheses)

ZELT_BLAS_EXPORT double dsdot_(const int* n, const float* sx, const int* incx, const float* sy,
                               const int* incy) {
  if (*n <= 0) return 0.0;
  return with_vector(*n, sx, *incx, [&](auto vx) {
    return with_vector(*n, sy, *incy, [&](auto vy) { return zelt::dsdot(vx, vy); });
  });
}

ZELT_BLAS_EXPORT float sdsdot_(const int* n, const float* sb, const float* sx, const int* incx,
                               const float* sy, const int* incy) {
  if (*n <= 0) return *sb;
  return with_vector(*n, sx, *incx, [&](auto vx) {
    return with_vector(*n, sy, *incy, [&](auto vy) { return zelt::sdsdot(*sb, vx, vy); });
  });
}

// ---- Level 1, complex ----------------------------------------------------------
// The same routines over complex elements, the dot products' values returned
// as gfortran returns a COMPLEX function's, and the ones with a real scalar:
// csscal and zdscal, csrot and zdrot.

namespace {

template <class T>
T dotc(const int* n, const T* x, const int* incx, const T* y, const int* incy) {
  if (*n <= 0) return 0;
  return with_vector(*n, x, *incx, [&](auto vx) {
    return with_vector(*n, y, *incy, [&](auto vy) { return zelt::dotc(vx, vy); });
  });
}

template <class R>
void real_scal(const int* n, const R* alpha, std::complex<R>* x, const int* incx) {
  if (*n <= 0 || *incx <= 0) return;
  with_vector(*n, x, *incx, [&](auto vx) { zelt::scal(*alpha, vx); });
}

template <class Result, class R>
Result fortran_value(std::complex<R> z) {
  return {z.real(), z.imag()};
}

}  // namespace

// Their untyped arguments reach a caller through pointers of any complex
// type (from dlsym, say): the same call. The function-type sanitizer, which
// tells those C++ types apart, is left out of them.
#if defined(__clang__)
#pragma clang attribute push(__attribute__((no_sanitize("function"))), apply_to = function)
#endif

// p: the type letter; R: the real type; rs: the letters of the routines with
// a real scalar (cs, zd); Complex: the C type of a complex function value.
// NOLINTBEGIN(bugprone-macro-parentheses)
#define ZELT_COMPLEX_LEVEL1(p, R, rs, Complex)                                                             \
  ZELT_BLAS_EXPORT Complex p##dotu_(const int* n, const void* x, const int* incx, const void* y,           \
                                    const int* incy) {                                                     \
    return fortran_value<Complex>(dot(n, in<R>(x), incx, in<R>(y), incy));                                 \
  }                                                                                                        \
  ZELT_BLAS_EXPORT Complex p##dotc_(const int* n, const void* x, const int* incx, const void* y,           \
                                    const int* incy) {                                                     \
    return fortran_value<Complex>(dotc(n, in<R>(x), incx, in<R>(y), incy));                                \
  }                                                                                                        \
  ZELT_BLAS_EXPORT void p##axpy_(const int* n, const void* alpha, const void* x, const int* incx, void* y, \
                                 const int* incy) {                                                        \
    axpy(n, in<R>(alpha), in<R>(x), incx, out<R>(y), incy);                                                \
  }                                                                                                        \
  ZELT_BLAS_EXPORT void p##scal_(const int* n, const void* alpha, void* x, const int* incx) {              \
    scal(n, in<R>(alpha), out<R>(x), incx);                                                                \
  }                                                                                                        \
  ZELT_BLAS_EXPORT void rs##scal_(const int* n, const R* alpha, void* x, const int* incx) {                \
    real_scal(n, alpha, out<R>(x), incx);                                                                  \
  }                                                                                                        \
  ZELT_BLAS_EXPORT void p##copy_(const int* n, const void* x, const int* incx, void* y, const int* incy) { \
    copy(n, in<R>(x), incx, out<R>(y), incy);                                                              \
  }                                                                                                        \
  ZELT_BLAS_EXPORT void p##swap_(const int* n, void* x, const int* incx, void* y, const int* incy) {       \
    swap(n, out<R>(x), incx, out<R>(y), incy);                                                             \
  }                                                                                                        \
  ZELT_BLAS_EXPORT int i##p##amax_(const int* n, const void* x, const int* incx) {                         \
    return iamax(n, in<R>(x), incx);                                                                       \
  }                                                                                                        \
  ZELT_BLAS_EXPORT void rs##rot_(const int* n, void* x, const int* incx, void* y, const int* incy,         \
                                 const R* c, const R* s) {                                                 \
    if (*n <= 0) return;                                                                                   \
    with_vector(*n, out<R>(x), *incx, [&](auto vx) {                                                       \
      with_vector(*n, out<R>(y), *incy, [&](auto vy) { zelt::rot(vx, vy, *c, *s); });                      \
    });                                                                                                    \
  }                                                                                                        \
  ZELT_BLAS_EXPORT void p##rotg_(void* a, const void* b, R* c, void* s) {                                  \
    zelt::rotg(*out<R>(a), *in<R>(b), *c, *out<R>(s));                                                     \
  }

ZELT_COMPLEX_LEVEL1(c, float, cs, zelt_complex_float)
ZELT_COMPLEX_LEVEL1(z, double, zd, zelt_complex_double)
#undef ZELT_COMPLEX_LEVEL1
// NOLINTEND(bugprone-macro-parentheses)

#if defined(__clang__)
#pragma clang attribute pop
#endif

// ---- Level 2 ---------------------------------------------------------------
// Each routine once over its element type, with the name it reports errors
// under; the exported symbols of both precisions follow.

namespace {

template <class T>
void gemv(const char* name, const char* trans, const int* m, const int* n, const T* alpha, const T* a,
          const int* lda, const T* x, const int* incx, const T* beta, T* y, const int* incy, len_t) {
  const bool no_trans = same_letter(trans, 'N');
  const int info = first_bad({{!no_trans && !same_letter(trans, 'T') && !same_letter(trans, 'C'), 1},
                              {*m < 0, 2},
                              {*n < 0, 3},
                              {*lda < at_least_one(*m), 6},
                              {*incx == 0, 8},
                              {*incy == 0, 11}});
  if (info != 0) return report(name, info);
  if (*m == 0 || *n == 0) return;
  const auto A = matrix(a, *m, *n, *lda);
  const int lenx = no_trans ? *n : *m, leny = no_trans ? *m : *n;
  with_vector(lenx, x, *incx, [&](auto vx) {
    with_vector(leny, y, *incy, [&](auto vy) {
      if (no_trans) {
        zelt::gemv(*alpha, A, vx, *beta, vy);
      } else if (same_letter(trans, 'C')) {
        zelt::gemv(*alpha, zelt::adjoint(A), vx, *beta, vy);
      } else {
        zelt::gemv(*alpha, zelt::transposed(A), vx, *beta, vy);
      }
    });
  });
}

// ger, geru (conjugate_y false) and gerc (true).
template <class T>
void ger(const char* name, const int* m, const int* n, const T* alpha, const T* x, const int* incx,
         const T* y, const int* incy, T* a, const int* lda, bool conjugate_y = false) {
  const int info =
      first_bad({{*m < 0, 1}, {*n < 0, 2}, {*incx == 0, 5}, {*incy == 0, 7}, {*lda < at_least_one(*m), 9}});
  if (info != 0) return report(name, info);
  if (*m == 0 || *n == 0) return;
  const auto A = matrix(a, *m, *n, *lda);
  with_vector(*m, x, *incx, [&](auto vx) {
    with_vector(*n, y, *incy, [&](auto vy) {
      if (conjugate_y) {
        zelt::gerc(*alpha, vx, vy, A);
      } else {
        zelt::geru(*alpha, vx, vy, A);
      }
    });
  });
}

template <class T>
void symv(const char* name, const char* uplo, const int* n, const T* alpha, const T* a, const int* lda,
          const T* x, const int* incx, const T* beta, T* y, const int* incy, len_t) {
  const bool upper = same_letter(uplo, 'U');
  const int info = first_bad({{!upper && !same_letter(uplo, 'L'), 1},
                              {*n < 0, 2},
                              {*lda < at_least_one(*n), 5},
                              {*incx == 0, 7},
                              {*incy == 0, 10}});
  if (info != 0) return report(name, info);
  if (*n == 0) return;
  const auto A = matrix(a, *n, *n, *lda);
  with_vector(*n, x, *incx, [&](auto vx) {
    with_vector(*n, y, *incy, [&](auto vy) {
      with_triangle(upper, [&](auto tri) { zelt::hemv(tri, *alpha, A, vx, *beta, vy); });
    });
  });
}

// syr, and her with its real alpha.
template <class T, class S>
void syr(const char* name, const char* uplo, const int* n, const S* alpha, const T* x, const int* incx, T* a,
         const int* lda, len_t) {
  const bool upper = same_letter(uplo, 'U');
  const int info = first_bad(
      {{!upper && !same_letter(uplo, 'L'), 1}, {*n < 0, 2}, {*incx == 0, 5}, {*lda < at_least_one(*n), 7}});
  if (info != 0) return report(name, info);
  if (*n == 0) return;
  const auto A = matrix(a, *n, *n, *lda);
  with_vector(*n, x, *incx,
              [&](auto vx) { with_triangle(upper, [&](auto tri) { zelt::her(tri, *alpha, vx, A); }); });
}

template <class T>
void syr2(const char* name, const char* uplo, const int* n, const T* alpha, const T* x, const int* incx,
          const T* y, const int* incy, T* a, const int* lda, len_t) {
  const bool upper = same_letter(uplo, 'U');
  const int info = first_bad({{!upper && !same_letter(uplo, 'L'), 1},
                              {*n < 0, 2},
                              {*incx == 0, 5},
                              {*incy == 0, 7},
                              {*lda < at_least_one(*n), 9}});
  if (info != 0) return report(name, info);
  if (*n == 0) return;
  const auto A = matrix(a, *n, *n, *lda);
  with_vector(*n, x, *incx, [&](auto vx) {
    with_vector(*n, y, *incy, [&](auto vy) {
      with_triangle(upper, [&](auto tri) { zelt::her2(tri, *alpha, vx, vy, A); });
    });
  });
}

// trmv and trsv share their checks and their mapping: op(A) = A,
// transposed(A) or adjoint(A), whose triangle as passed is the other one of
// A's storage.
template <class T, class Operation>
void triangular(const char* name, const char* uplo, const char* trans, const char* diag, const int* n,
                const T* a, const int* lda, T* x, const int* incx, Operation operation) {
  const bool upper = same_letter(uplo, 'U');
  const bool no_trans = same_letter(trans, 'N');
  const bool unit = same_letter(diag, 'U');
  const int info = first_bad({{!upper && !same_letter(uplo, 'L'), 1},
                              {!no_trans && !same_letter(trans, 'T') && !same_letter(trans, 'C'), 2},
                              {!unit && !same_letter(diag, 'N'), 3},
                              {*n < 0, 4},
                              {*lda < at_least_one(*n), 6},
                              {*incx == 0, 8}});
  if (info != 0) return report(name, info);
  if (*n == 0) return;
  const auto A = matrix(a, *n, *n, *lda);
  with_vector(*n, x, *incx, [&](auto vx) {
    with_diagonal(unit, [&](auto dg) {
      if (no_trans) {
        with_triangle(upper, [&](auto tri) { operation(tri, dg, A, vx); });
      } else if (same_letter(trans, 'C')) {
        with_triangle(!upper, [&](auto tri) { operation(tri, dg, zelt::adjoint(A), vx); });
      } else {
        with_triangle(!upper, [&](auto tri) { operation(tri, dg, zelt::transposed(A), vx); });
      }
    });
  });
}

template <class T>
void trmv(const char* name, const char* uplo, const char* trans, const char* diag, const int* n, const T* a,
          const int* lda, T* x, const int* incx, len_t, len_t, len_t) {
  triangular(name, uplo, trans, diag, n, a, lda, x, incx,
             [](auto tri, auto dg, const auto& A, const auto& vx) { zelt::trmv(tri, dg, A, vx); });
}

template <class T>
void trsv(const char* name, const char* uplo, const char* trans, const char* diag, const int* n, const T* a,
          const int* lda, T* x, const int* incx, len_t, len_t, len_t) {
  triangular(name, uplo, trans, diag, n, a, lda, x, incx,
             [](auto tri, auto dg, const auto& A, const auto& vx) { zelt::trsv(tri, dg, A, vx); });
}

// ---- Level 2: band and packed storage --------------------------------------

template <class T>
zelt::col_major_band<const T> band(const T* a, int m, int n, int kl, int ku, int lda) {
  return {a,
          static_cast<std::size_t>(m),
          static_cast<std::size_t>(n),
          static_cast<std::size_t>(kl),
          static_cast<std::size_t>(ku),
          static_cast<std::size_t>(lda)};
}

// Calls f with the triangle `upper` of a band of k diagonals, or of a packed
// triangle of order n, as its view type.
template <class T, class F>
void with_band_triangle(bool upper, const T* a, int n, int k, int lda, F f) {
  const auto order = static_cast<std::size_t>(n), width = static_cast<std::size_t>(k),
             ld = static_cast<std::size_t>(lda);
  if (upper) {
    f(zelt::triangle_band<const T, zelt::upper_t>(a, order, width, ld));
  } else {
    f(zelt::triangle_band<const T, zelt::lower_t>(a, order, width, ld));
  }
}

template <class T, class F>
void with_packed(bool upper, T* ap, int n, F f) {
  if (upper) {
    f(zelt::col_major_packed<T, zelt::upper_t>(ap, static_cast<std::size_t>(n)));
  } else {
    f(zelt::col_major_packed<T, zelt::lower_t>(ap, static_cast<std::size_t>(n)));
  }
}

// Calls f with op(A) for the flag: A, transposed(A) or adjoint(A).
template <class Matrix, class F>
void with_op(const char* trans, const Matrix& A, F f) {
  if (same_letter(trans, 'N')) {
    f(A);
  } else if (same_letter(trans, 'C')) {
    f(zelt::adjoint(A));
  } else {
    f(zelt::transposed(A));
  }
}

bool is_trans(const char* flag) { return same_letter(flag, 'T') || same_letter(flag, 'C'); }

// The checks of dtbmv, dtbsv (band: k and lda, numbers 5 and 7, incx 9) and
// dtpmv, dtpsv (packed: incx 7). 0 when all pass.
int triangular_flags_bad(const char* uplo, const char* trans, const char* diag) {
  return first_bad({{!same_letter(uplo, 'U') && !same_letter(uplo, 'L'), 1},
                    {!same_letter(trans, 'N') && !is_trans(trans), 2},
                    {!same_letter(diag, 'U') && !same_letter(diag, 'N'), 3}});
}

template <class T>
void gbmv(const char* name, const char* trans, const int* m, const int* n, const int* kl, const int* ku,
          const T* alpha, const T* a, const int* lda, const T* x, const int* incx, const T* beta, T* y,
          const int* incy, len_t) {
  const bool no_trans = same_letter(trans, 'N');
  const int info = first_bad({{!no_trans && !is_trans(trans), 1},
                              {*m < 0, 2},
                              {*n < 0, 3},
                              {*kl < 0, 4},
                              {*ku < 0, 5},
                              {*lda < *kl + *ku + 1, 8},
                              {*incx == 0, 10},
                              {*incy == 0, 13}});
  if (info != 0) return report(name, info);
  if (*m == 0 || *n == 0) return;
  const auto A = band(a, *m, *n, *kl, *ku, *lda);
  const int lenx = no_trans ? *n : *m, leny = no_trans ? *m : *n;
  with_vector(lenx, x, *incx, [&](auto vx) {
    with_vector(leny, y, *incy, [&](auto vy) {
      with_op(trans, A, [&](const auto& opA) { zelt::gbmv(*alpha, opA, vx, *beta, vy); });
    });
  });
}

template <class T>
void sbmv(const char* name, const char* uplo, const int* n, const int* k, const T* alpha, const T* a,
          const int* lda, const T* x, const int* incx, const T* beta, T* y, const int* incy, len_t) {
  const bool upper = same_letter(uplo, 'U');
  const int info = first_bad({{!upper && !same_letter(uplo, 'L'), 1},
                              {*n < 0, 2},
                              {*k < 0, 3},
                              {*lda < *k + 1, 6},
                              {*incx == 0, 8},
                              {*incy == 0, 11}});
  if (info != 0) return report(name, info);
  if (*n == 0) return;
  with_vector(*n, x, *incx, [&](auto vx) {
    with_vector(*n, y, *incy, [&](auto vy) {
      with_band_triangle(upper, a, *n, *k, *lda,
                         [&](const auto& A) { zelt::hbmv(*alpha, A, vx, *beta, vy); });
    });
  });
}

template <class T>
void spmv(const char* name, const char* uplo, const int* n, const T* alpha, const T* ap, const T* x,
          const int* incx, const T* beta, T* y, const int* incy, len_t) {
  const bool upper = same_letter(uplo, 'U');
  const int info =
      first_bad({{!upper && !same_letter(uplo, 'L'), 1}, {*n < 0, 2}, {*incx == 0, 6}, {*incy == 0, 9}});
  if (info != 0) return report(name, info);
  if (*n == 0) return;
  with_vector(*n, x, *incx, [&](auto vx) {
    with_vector(*n, y, *incy, [&](auto vy) {
      with_packed(upper, ap, *n, [&](const auto& A) { zelt::hpmv(*alpha, A, vx, *beta, vy); });
    });
  });
}

// spr, and hpr with its real alpha.
template <class T, class S>
void spr(const char* name, const char* uplo, const int* n, const S* alpha, const T* x, const int* incx, T* ap,
         len_t) {
  const bool upper = same_letter(uplo, 'U');
  const int info = first_bad({{!upper && !same_letter(uplo, 'L'), 1}, {*n < 0, 2}, {*incx == 0, 5}});
  if (info != 0) return report(name, info);
  if (*n == 0) return;
  with_vector(*n, x, *incx,
              [&](auto vx) { with_packed(upper, ap, *n, [&](const auto& A) { zelt::hpr(*alpha, vx, A); }); });
}

template <class T>
void spr2(const char* name, const char* uplo, const int* n, const T* alpha, const T* x, const int* incx,
          const T* y, const int* incy, T* ap, len_t) {
  const bool upper = same_letter(uplo, 'U');
  const int info =
      first_bad({{!upper && !same_letter(uplo, 'L'), 1}, {*n < 0, 2}, {*incx == 0, 5}, {*incy == 0, 7}});
  if (info != 0) return report(name, info);
  if (*n == 0) return;
  with_vector(*n, x, *incx, [&](auto vx) {
    with_vector(*n, y, *incy, [&](auto vy) {
      with_packed(upper, ap, *n, [&](const auto& A) { zelt::hpr2(*alpha, vx, vy, A); });
    });
  });
}

// tbmv and tbsv: op(A) = A, transposed(A) or adjoint(A), the latter two
// the other triangle stored the other way.
template <class T, class Operation>
void triangular_band(const char* name, const char* uplo, const char* trans, const char* diag, const int* n,
                     const int* k, const T* a, const int* lda, T* x, const int* incx, Operation operation) {
  int info = triangular_flags_bad(uplo, trans, diag);
  if (info == 0) info = first_bad({{*n < 0, 4}, {*k < 0, 5}, {*lda < *k + 1, 7}, {*incx == 0, 9}});
  if (info != 0) return report(name, info);
  if (*n == 0) return;
  with_vector(*n, x, *incx, [&](auto vx) {
    with_diagonal(same_letter(diag, 'U'), [&](auto dg) {
      with_band_triangle(same_letter(uplo, 'U'), a, *n, *k, *lda, [&](const auto& A) {
        with_op(trans, A, [&](const auto& opA) { operation(dg, opA, vx); });
      });
    });
  });
}

template <class T, class Operation>
void triangular_packed(const char* name, const char* uplo, const char* trans, const char* diag, const int* n,
                       const T* ap, T* x, const int* incx, Operation operation) {
  int info = triangular_flags_bad(uplo, trans, diag);
  if (info == 0) info = first_bad({{*n < 0, 4}, {*incx == 0, 7}});
  if (info != 0) return report(name, info);
  if (*n == 0) return;
  with_vector(*n, x, *incx, [&](auto vx) {
    with_diagonal(same_letter(diag, 'U'), [&](auto dg) {
      with_packed(same_letter(uplo, 'U'), ap, *n, [&](const auto& A) {
        with_op(trans, A, [&](const auto& opA) { operation(dg, opA, vx); });
      });
    });
  });
}

template <class T>
void tbmv(const char* name, const char* uplo, const char* trans, const char* diag, const int* n, const int* k,
          const T* a, const int* lda, T* x, const int* incx, len_t, len_t, len_t) {
  triangular_band(name, uplo, trans, diag, n, k, a, lda, x, incx,
                  [](auto dg, const auto& A, const auto& vx) { zelt::tbmv(dg, A, vx); });
}

template <class T>
void tbsv(const char* name, const char* uplo, const char* trans, const char* diag, const int* n, const int* k,
          const T* a, const int* lda, T* x, const int* incx, len_t, len_t, len_t) {
  triangular_band(name, uplo, trans, diag, n, k, a, lda, x, incx,
                  [](auto dg, const auto& A, const auto& vx) { zelt::tbsv(dg, A, vx); });
}

template <class T>
void tpmv(const char* name, const char* uplo, const char* trans, const char* diag, const int* n, const T* ap,
          T* x, const int* incx, len_t, len_t, len_t) {
  triangular_packed(name, uplo, trans, diag, n, ap, x, incx,
                    [](auto dg, const auto& A, const auto& vx) { zelt::tpmv(dg, A, vx); });
}

template <class T>
void tpsv(const char* name, const char* uplo, const char* trans, const char* diag, const int* n, const T* ap,
          T* x, const int* incx, len_t, len_t, len_t) {
  triangular_packed(name, uplo, trans, diag, n, ap, x, incx,
                    [](auto dg, const auto& A, const auto& vx) { zelt::tpsv(dg, A, vx); });
}

}  // namespace

// T names a type, which takes no parentheses.
// NOLINTBEGIN(bugprone-macro-parentheses)
#define ZELT_LEVEL2(p, P, T)                                                                                 \
  ZELT_BLAS_EXPORT void p##gemv_(const char* trans, const int* m, const int* n, const T* alpha, const T* a,  \
                                 const int* lda, const T* x, const int* incx, const T* beta, T* y,           \
                                 const int* incy, len_t trans_len) {                                         \
    gemv<T>(P "GEMV ", trans, m, n, alpha, a, lda, x, incx, beta, y, incy, trans_len);                       \
  }                                                                                                          \
  ZELT_BLAS_EXPORT void p##ger_(const int* m, const int* n, const T* alpha, const T* x, const int* incx,     \
                                const T* y, const int* incy, T* a, const int* lda) {                         \
    ger<T>(P "GER  ", m, n, alpha, x, incx, y, incy, a, lda);                                                \
  }                                                                                                          \
  ZELT_BLAS_EXPORT void p##symv_(const char* uplo, const int* n, const T* alpha, const T* a, const int* lda, \
                                 const T* x, const int* incx, const T* beta, T* y, const int* incy,          \
                                 len_t uplo_len) {                                                           \
    symv<T>(P "SYMV ", uplo, n, alpha, a, lda, x, incx, beta, y, incy, uplo_len);                            \
  }                                                                                                          \
  ZELT_BLAS_EXPORT void p##syr_(const char* uplo, const int* n, const T* alpha, const T* x, const int* incx, \
                                T* a, const int* lda, len_t uplo_len) {                                      \
    syr<T>(P "SYR  ", uplo, n, alpha, x, incx, a, lda, uplo_len);                                            \
  }                                                                                                          \
  ZELT_BLAS_EXPORT void p##syr2_(const char* uplo, const int* n, const T* alpha, const T* x,                 \
                                 const int* incx, const T* y, const int* incy, T* a, const int* lda,         \
                                 len_t uplo_len) {                                                           \
    syr2<T>(P "SYR2 ", uplo, n, alpha, x, incx, y, incy, a, lda, uplo_len);                                  \
  }                                                                                                          \
  ZELT_BLAS_EXPORT void p##trmv_(const char* uplo, const char* trans, const char* diag, const int* n,        \
                                 const T* a, const int* lda, T* x, const int* incx, len_t uplo_len,          \
                                 len_t trans_len, len_t diag_len) {                                          \
    trmv<T>(P "TRMV ", uplo, trans, diag, n, a, lda, x, incx, uplo_len, trans_len, diag_len);                \
  }                                                                                                          \
  ZELT_BLAS_EXPORT void p##trsv_(const char* uplo, const char* trans, const char* diag, const int* n,        \
                                 const T* a, const int* lda, T* x, const int* incx, len_t uplo_len,          \
                                 len_t trans_len, len_t diag_len) {                                          \
    trsv<T>(P "TRSV ", uplo, trans, diag, n, a, lda, x, incx, uplo_len, trans_len, diag_len);                \
  }                                                                                                          \
  ZELT_BLAS_EXPORT void p##gbmv_(const char* trans, const int* m, const int* n, const int* kl,               \
                                 const int* ku, const T* alpha, const T* a, const int* lda, const T* x,      \
                                 const int* incx, const T* beta, T* y, const int* incy, len_t trans_len) {   \
    gbmv<T>(P "GBMV ", trans, m, n, kl, ku, alpha, a, lda, x, incx, beta, y, incy, trans_len);               \
  }                                                                                                          \
  ZELT_BLAS_EXPORT void p##sbmv_(const char* uplo, const int* n, const int* k, const T* alpha, const T* a,   \
                                 const int* lda, const T* x, const int* incx, const T* beta, T* y,           \
                                 const int* incy, len_t uplo_len) {                                          \
    sbmv<T>(P "SBMV ", uplo, n, k, alpha, a, lda, x, incx, beta, y, incy, uplo_len);                         \
  }                                                                                                          \
  ZELT_BLAS_EXPORT void p##spmv_(const char* uplo, const int* n, const T* alpha, const T* ap, const T* x,    \
                                 const int* incx, const T* beta, T* y, const int* incy, len_t uplo_len) {    \
    spmv<T>(P "SPMV ", uplo, n, alpha, ap, x, incx, beta, y, incy, uplo_len);                                \
  }                                                                                                          \
  ZELT_BLAS_EXPORT void p##spr_(const char* uplo, const int* n, const T* alpha, const T* x, const int* incx, \
                                T* ap, len_t uplo_len) {                                                     \
    spr<T>(P "SPR  ", uplo, n, alpha, x, incx, ap, uplo_len);                                                \
  }                                                                                                          \
  ZELT_BLAS_EXPORT void p##spr2_(const char* uplo, const int* n, const T* alpha, const T* x,                 \
                                 const int* incx, const T* y, const int* incy, T* ap, len_t uplo_len) {      \
    spr2<T>(P "SPR2 ", uplo, n, alpha, x, incx, y, incy, ap, uplo_len);                                      \
  }                                                                                                          \
  ZELT_BLAS_EXPORT void p##tbmv_(const char* uplo, const char* trans, const char* diag, const int* n,        \
                                 const int* k, const T* a, const int* lda, T* x, const int* incx,            \
                                 len_t uplo_len, len_t trans_len, len_t diag_len) {                          \
    tbmv<T>(P "TBMV ", uplo, trans, diag, n, k, a, lda, x, incx, uplo_len, trans_len, diag_len);             \
  }                                                                                                          \
  ZELT_BLAS_EXPORT void p##tbsv_(const char* uplo, const char* trans, const char* diag, const int* n,        \
                                 const int* k, const T* a, const int* lda, T* x, const int* incx,            \
                                 len_t uplo_len, len_t trans_len, len_t diag_len) {                          \
    tbsv<T>(P "TBSV ", uplo, trans, diag, n, k, a, lda, x, incx, uplo_len, trans_len, diag_len);             \
  }                                                                                                          \
  ZELT_BLAS_EXPORT void p##tpmv_(const char* uplo, const char* trans, const char* diag, const int* n,        \
                                 const T* ap, T* x, const int* incx, len_t uplo_len, len_t trans_len,        \
                                 len_t diag_len) {                                                           \
    tpmv<T>(P "TPMV ", uplo, trans, diag, n, ap, x, incx, uplo_len, trans_len, diag_len);                    \
  }                                                                                                          \
  ZELT_BLAS_EXPORT void p##tpsv_(const char* uplo, const char* trans, const char* diag, const int* n,        \
                                 const T* ap, T* x, const int* incx, len_t uplo_len, len_t trans_len,        \
                                 len_t diag_len) {                                                           \
    tpsv<T>(P "TPSV ", uplo, trans, diag, n, ap, x, incx, uplo_len, trans_len, diag_len);                    \
  }

ZELT_LEVEL2(s, "S", float)
ZELT_LEVEL2(d, "D", double)
#undef ZELT_LEVEL2

// NOLINTEND(bugprone-macro-parentheses)

// The complex routines of Level 2.
// NOLINTBEGIN(bugprone-macro-parentheses)
#define ZELT_COMPLEX_LEVEL2(p, P, R)                                                                         \
  ZELT_BLAS_EXPORT void p##gemv_(const char* trans, const int* m, const int* n, const void* alpha,           \
                                 const void* a, const int* lda, const void* x, const int* incx,              \
                                 const void* beta, void* y, const int* incy, len_t trans_len) {              \
    gemv<std::complex<R>>(P "GEMV ", trans, m, n, in<R>(alpha), in<R>(a), lda, in<R>(x), incx, in<R>(beta),  \
                          out<R>(y), incy, trans_len);                                                       \
  }                                                                                                          \
  ZELT_BLAS_EXPORT void p##geru_(const int* m, const int* n, const void* alpha, const void* x,               \
                                 const int* incx, const void* y, const int* incy, void* a, const int* lda) { \
    ger<std::complex<R>>(P "GERU ", m, n, in<R>(alpha), in<R>(x), incx, in<R>(y), incy, out<R>(a), lda);     \
  }                                                                                                          \
  ZELT_BLAS_EXPORT void p##gerc_(const int* m, const int* n, const void* alpha, const void* x,               \
                                 const int* incx, const void* y, const int* incy, void* a, const int* lda) { \
    ger<std::complex<R>>(P "GERC ", m, n, in<R>(alpha), in<R>(x), incx, in<R>(y), incy, out<R>(a), lda,      \
                         true);                                                                              \
  }                                                                                                          \
  ZELT_BLAS_EXPORT void p##hemv_(const char* uplo, const int* n, const void* alpha, const void* a,           \
                                 const int* lda, const void* x, const int* incx, const void* beta, void* y,  \
                                 const int* incy, len_t uplo_len) {                                          \
    symv<std::complex<R>>(P "HEMV ", uplo, n, in<R>(alpha), in<R>(a), lda, in<R>(x), incx, in<R>(beta),      \
                          out<R>(y), incy, uplo_len);                                                        \
  }                                                                                                          \
  ZELT_BLAS_EXPORT void p##her_(const char* uplo, const int* n, const R* alpha, const void* x,               \
                                const int* incx, void* a, const int* lda, len_t uplo_len) {                  \
    syr<std::complex<R>>(P "HER  ", uplo, n, alpha, in<R>(x), incx, out<R>(a), lda, uplo_len);               \
  }                                                                                                          \
  ZELT_BLAS_EXPORT void p##her2_(const char* uplo, const int* n, const void* alpha, const void* x,           \
                                 const int* incx, const void* y, const int* incy, void* a, const int* lda,   \
                                 len_t uplo_len) {                                                           \
    syr2<std::complex<R>>(P "HER2 ", uplo, n, in<R>(alpha), in<R>(x), incx, in<R>(y), incy, out<R>(a), lda,  \
                          uplo_len);                                                                         \
  }                                                                                                          \
  ZELT_BLAS_EXPORT void p##trmv_(const char* uplo, const char* trans, const char* diag, const int* n,        \
                                 const void* a, const int* lda, void* x, const int* incx, len_t uplo_len,    \
                                 len_t trans_len, len_t diag_len) {                                          \
    trmv<std::complex<R>>(P "TRMV ", uplo, trans, diag, n, in<R>(a), lda, out<R>(x), incx, uplo_len,         \
                          trans_len, diag_len);                                                              \
  }                                                                                                          \
  ZELT_BLAS_EXPORT void p##trsv_(const char* uplo, const char* trans, const char* diag, const int* n,        \
                                 const void* a, const int* lda, void* x, const int* incx, len_t uplo_len,    \
                                 len_t trans_len, len_t diag_len) {                                          \
    trsv<std::complex<R>>(P "TRSV ", uplo, trans, diag, n, in<R>(a), lda, out<R>(x), incx, uplo_len,         \
                          trans_len, diag_len);                                                              \
  }                                                                                                          \
  ZELT_BLAS_EXPORT void p##gbmv_(const char* trans, const int* m, const int* n, const int* kl,               \
                                 const int* ku, const void* alpha, const void* a, const int* lda,            \
                                 const void* x, const int* incx, const void* beta, void* y, const int* incy, \
                                 len_t trans_len) {                                                          \
    gbmv<std::complex<R>>(P "GBMV ", trans, m, n, kl, ku, in<R>(alpha), in<R>(a), lda, in<R>(x), incx,       \
                          in<R>(beta), out<R>(y), incy, trans_len);                                          \
  }                                                                                                          \
  ZELT_BLAS_EXPORT void p##hbmv_(const char* uplo, const int* n, const int* k, const void* alpha,            \
                                 const void* a, const int* lda, const void* x, const int* incx,              \
                                 const void* beta, void* y, const int* incy, len_t uplo_len) {               \
    sbmv<std::complex<R>>(P "HBMV ", uplo, n, k, in<R>(alpha), in<R>(a), lda, in<R>(x), incx, in<R>(beta),   \
                          out<R>(y), incy, uplo_len);                                                        \
  }                                                                                                          \
  ZELT_BLAS_EXPORT void p##hpmv_(const char* uplo, const int* n, const void* alpha, const void* ap,          \
                                 const void* x, const int* incx, const void* beta, void* y, const int* incy, \
                                 len_t uplo_len) {                                                           \
    spmv<std::complex<R>>(P "HPMV ", uplo, n, in<R>(alpha), in<R>(ap), in<R>(x), incx, in<R>(beta),          \
                          out<R>(y), incy, uplo_len);                                                        \
  }                                                                                                          \
  ZELT_BLAS_EXPORT void p##hpr_(const char* uplo, const int* n, const R* alpha, const void* x,               \
                                const int* incx, void* ap, len_t uplo_len) {                                 \
    spr<std::complex<R>>(P "HPR  ", uplo, n, alpha, in<R>(x), incx, out<R>(ap), uplo_len);                   \
  }                                                                                                          \
  ZELT_BLAS_EXPORT void p##hpr2_(const char* uplo, const int* n, const void* alpha, const void* x,           \
                                 const int* incx, const void* y, const int* incy, void* ap,                  \
                                 len_t uplo_len) {                                                           \
    spr2<std::complex<R>>(P "HPR2 ", uplo, n, in<R>(alpha), in<R>(x), incx, in<R>(y), incy, out<R>(ap),      \
                          uplo_len);                                                                         \
  }                                                                                                          \
  ZELT_BLAS_EXPORT void p##tbmv_(const char* uplo, const char* trans, const char* diag, const int* n,        \
                                 const int* k, const void* a, const int* lda, void* x, const int* incx,      \
                                 len_t uplo_len, len_t trans_len, len_t diag_len) {                          \
    tbmv<std::complex<R>>(P "TBMV ", uplo, trans, diag, n, k, in<R>(a), lda, out<R>(x), incx, uplo_len,      \
                          trans_len, diag_len);                                                              \
  }                                                                                                          \
  ZELT_BLAS_EXPORT void p##tbsv_(const char* uplo, const char* trans, const char* diag, const int* n,        \
                                 const int* k, const void* a, const int* lda, void* x, const int* incx,      \
                                 len_t uplo_len, len_t trans_len, len_t diag_len) {                          \
    tbsv<std::complex<R>>(P "TBSV ", uplo, trans, diag, n, k, in<R>(a), lda, out<R>(x), incx, uplo_len,      \
                          trans_len, diag_len);                                                              \
  }                                                                                                          \
  ZELT_BLAS_EXPORT void p##tpmv_(const char* uplo, const char* trans, const char* diag, const int* n,        \
                                 const void* ap, void* x, const int* incx, len_t uplo_len, len_t trans_len,  \
                                 len_t diag_len) {                                                           \
    tpmv<std::complex<R>>(P "TPMV ", uplo, trans, diag, n, in<R>(ap), out<R>(x), incx, uplo_len, trans_len,  \
                          diag_len);                                                                         \
  }                                                                                                          \
  ZELT_BLAS_EXPORT void p##tpsv_(const char* uplo, const char* trans, const char* diag, const int* n,        \
                                 const void* ap, void* x, const int* incx, len_t uplo_len, len_t trans_len,  \
                                 len_t diag_len) {                                                           \
    tpsv<std::complex<R>>(P "TPSV ", uplo, trans, diag, n, in<R>(ap), out<R>(x), incx, uplo_len, trans_len,  \
                          diag_len);                                                                         \
  }
// Called through complex-typed pointers too, as the complex Level 1 symbols
// above: no function-type sanitizer.
#if defined(__clang__)
#pragma clang attribute push(__attribute__((no_sanitize("function"))), apply_to = function)
#endif
ZELT_COMPLEX_LEVEL2(c, "C", float)
ZELT_COMPLEX_LEVEL2(z, "Z", double)
#if defined(__clang__)
#pragma clang attribute pop
#endif
#undef ZELT_COMPLEX_LEVEL2
// NOLINTEND(bugprone-macro-parentheses)

// ---------------------------------------------------------------------------
// Level 3. The thread count comes from ZELT_NUM_THREADS, read once; absent or
// not a positive number, it is every core. Any count gives the same bits.
// Each routine once over its element type, then the exported symbols.

namespace {

zelt::threads library_threads() {
  static const zelt::threads policy = [] {
    const char* text = std::getenv("ZELT_NUM_THREADS");
    char* end = nullptr;
    const long n = text == nullptr ? 0 : std::strtol(text, &end, 10);
    if (text == nullptr || end == text || *end != '\0' || n <= 0 || n > 4096) return zelt::threads::all();
    return zelt::threads(static_cast<unsigned>(n));
  }();
  return policy;
}

template <class F>
void with_side(bool left, F f) {
  if (left) {
    f(zelt::left);
  } else {
    f(zelt::right);
  }
}

template <class T>
void gemm(const char* name, const char* transa, const char* transb, const int* m, const int* n, const int* k,
          const T* alpha, const T* a, const int* lda, const T* b, const int* ldb, const T* beta, T* c,
          const int* ldc, len_t, len_t) {
  const bool ta = is_trans(transa), tb = is_trans(transb);
  const int info = first_bad({{!ta && !same_letter(transa, 'N'), 1},
                              {!tb && !same_letter(transb, 'N'), 2},
                              {*m < 0, 3},
                              {*n < 0, 4},
                              {*k < 0, 5},
                              {*lda < at_least_one(ta ? *k : *m), 8},
                              {*ldb < at_least_one(tb ? *n : *k), 10},
                              {*ldc < at_least_one(*m), 13}});
  if (info != 0) return report(name, info);
  const auto A = matrix(a, ta ? *k : *m, ta ? *m : *k, *lda);
  const auto B = matrix(b, tb ? *n : *k, tb ? *k : *n, *ldb);
  const auto C = matrix(c, *m, *n, *ldc);
  with_op(transa, A, [&](const auto& opa) {
    with_op(transb, B, [&](const auto& opb) { zelt::gemm(library_threads(), *alpha, opa, opb, *beta, C); });
  });
}

// dsymm, and zhemm (hermitian).
template <class T, bool Hermitian = false>
void symm(const char* name, const char* side, const char* uplo, const int* m, const int* n, const T* alpha,
          const T* a, const int* lda, const T* b, const int* ldb, const T* beta, T* c, const int* ldc, len_t,
          len_t) {
  const bool left = same_letter(side, 'L'), upper = same_letter(uplo, 'U');
  const int order = left ? *m : *n;
  const int info = first_bad({{!left && !same_letter(side, 'R'), 1},
                              {!upper && !same_letter(uplo, 'L'), 2},
                              {*m < 0, 3},
                              {*n < 0, 4},
                              {*lda < at_least_one(order), 7},
                              {*ldb < at_least_one(*m), 9},
                              {*ldc < at_least_one(*m), 12}});
  if (info != 0) return report(name, info);
  const auto A = matrix(a, order, order, *lda);
  const auto B = matrix(b, *m, *n, *ldb);
  const auto C = matrix(c, *m, *n, *ldc);
  with_side(left, [&](auto sd) {
    with_triangle(upper, [&](auto tri) {
      if constexpr (Hermitian) {
        zelt::hemm(library_threads(), sd, tri, *alpha, A, B, *beta, C);
      } else {
        zelt::symm(library_threads(), sd, tri, *alpha, A, B, *beta, C);
      }
    });
  });
}

// dsyrk, dsyr2k, zherk and zher2k share their checks; `b` is null for the
// rank-k updates. `form` is the letter besides 'N' the routine takes: the
// real ones take 'T' and 'C' (0), zsyrk only 'T', zherk only 'C'.
template <class Operation>
void rank_k(const char* name, char form, const char* uplo, const char* trans, const int* n, const int* k,
            const int* lda, const int* ldb, const int* ldc, Operation operation) {
  const bool upper = same_letter(uplo, 'U'), t = !same_letter(trans, 'N');
  const bool known = !t || (form == 0 ? is_trans(trans) : same_letter(trans, form));
  const int rows = at_least_one(t ? *k : *n);
  const int info = first_bad({{!upper && !same_letter(uplo, 'L'), 1},
                              {!known, 2},
                              {*n < 0, 3},
                              {*k < 0, 4},
                              {*lda < rows, 7},
                              {ldb != nullptr && *ldb < rows, 9},
                              {*ldc < at_least_one(*n), ldb != nullptr ? 12 : 10}});
  if (info != 0) return report(name, info);
  with_triangle(upper, [&](auto tri) { operation(tri, t); });
}

// dsyrk and zsyrk; zherk (Hermitian) with real alpha and beta, S.
template <class T, bool Hermitian = false, class S = T>
void syrk(const char* name, const char* uplo, const char* trans, const int* n, const int* k, const S* alpha,
          const T* a, const int* lda, const S* beta, T* c, const int* ldc, len_t, len_t) {
  const char form = !zelt::detail::is_complex_v<T> ? 0 : Hermitian ? 'C' : 'T';
  rank_k(name, form, uplo, trans, n, k, lda, nullptr, ldc, [&](auto tri, bool t) {
    const auto A = matrix(a, t ? *k : *n, t ? *n : *k, *lda);
    const auto C = matrix(c, *n, *n, *ldc);
    with_op(trans, A, [&](const auto& opa) {
      if constexpr (Hermitian) {
        zelt::herk(library_threads(), tri, *alpha, opa, *beta, C);
      } else {
        zelt::syrk(library_threads(), tri, *alpha, opa, *beta, C);
      }
    });
  });
}

// dsyr2k and zsyr2k; zher2k (Hermitian) with a real beta, S.
template <class T, bool Hermitian = false, class S = T>
void syr2k(const char* name, const char* uplo, const char* trans, const int* n, const int* k, const T* alpha,
           const T* a, const int* lda, const T* b, const int* ldb, const S* beta, T* c, const int* ldc, len_t,
           len_t) {
  const char form = !zelt::detail::is_complex_v<T> ? 0 : Hermitian ? 'C' : 'T';
  rank_k(name, form, uplo, trans, n, k, lda, ldb, ldc, [&](auto tri, bool t) {
    const auto A = matrix(a, t ? *k : *n, t ? *n : *k, *lda);
    const auto B = matrix(b, t ? *k : *n, t ? *n : *k, *ldb);
    const auto C = matrix(c, *n, *n, *ldc);
    with_op(trans, A, [&](const auto& opa) {
      with_op(trans, B, [&](const auto& opb) {
        if constexpr (Hermitian) {
          zelt::her2k(library_threads(), tri, *alpha, opa, opb, *beta, C);
        } else {
          zelt::syr2k(library_threads(), tri, *alpha, opa, opb, *beta, C);
        }
      });
    });
  });
}

// dtrmm and dtrsm share their checks and their mapping; as for dtrmv, the
// triangle of transposed(A) as passed is the other one of A's storage.
template <class T, class Operation>
void triangular3(const char* name, const char* side, const char* uplo, const char* transa, const char* diag,
                 const int* m, const int* n, const T* a, const int* lda, T* b, const int* ldb,
                 Operation operation) {
  const bool left = same_letter(side, 'L'), upper = same_letter(uplo, 'U'), t = is_trans(transa),
             unit = same_letter(diag, 'U');
  const int order = left ? *m : *n;
  const int info = first_bad({{!left && !same_letter(side, 'R'), 1},
                              {!upper && !same_letter(uplo, 'L'), 2},
                              {!t && !same_letter(transa, 'N'), 3},
                              {!unit && !same_letter(diag, 'N'), 4},
                              {*m < 0, 5},
                              {*n < 0, 6},
                              {*lda < at_least_one(order), 9},
                              {*ldb < at_least_one(*m), 11}});
  if (info != 0) return report(name, info);
  const auto A = matrix(a, order, order, *lda);
  const auto B = matrix(b, *m, *n, *ldb);
  with_side(left, [&](auto sd) {
    with_diagonal(unit, [&](auto dg) {
      with_triangle(upper != t, [&](auto tri) {
        with_op(transa, A, [&](const auto& opa) { operation(sd, tri, dg, opa, B); });
      });
    });
  });
}

template <class T>
void trmm(const char* name, const char* side, const char* uplo, const char* transa, const char* diag,
          const int* m, const int* n, const T* alpha, const T* a, const int* lda, T* b, const int* ldb, len_t,
          len_t, len_t, len_t) {
  triangular3(name, side, uplo, transa, diag, m, n, a, lda, b, ldb,
              [&](auto sd, auto tri, auto dg, const auto& opa, const auto& B) {
                zelt::trmm(library_threads(), sd, tri, dg, *alpha, opa, B);
              });
}

template <class T>
void trsm(const char* name, const char* side, const char* uplo, const char* transa, const char* diag,
          const int* m, const int* n, const T* alpha, const T* a, const int* lda, T* b, const int* ldb, len_t,
          len_t, len_t, len_t) {
  triangular3(name, side, uplo, transa, diag, m, n, a, lda, b, ldb,
              [&](auto sd, auto tri, auto dg, const auto& opa, const auto& B) {
                zelt::trsm(library_threads(), sd, tri, dg, *alpha, opa, B);
              });
}
}  // namespace

// T names a type, which takes no parentheses.
// NOLINTBEGIN(bugprone-macro-parentheses)
#define ZELT_LEVEL3(p, P, T)                                                                               \
  ZELT_BLAS_EXPORT void p##gemm_(const char* transa, const char* transb, const int* m, const int* n,       \
                                 const int* k, const T* alpha, const T* a, const int* lda, const T* b,     \
                                 const int* ldb, const T* beta, T* c, const int* ldc, len_t transa_len,    \
                                 len_t transb_len) {                                                       \
    gemm<T>(P "GEMM ", transa, transb, m, n, k, alpha, a, lda, b, ldb, beta, c, ldc, transa_len,           \
            transb_len);                                                                                   \
  }                                                                                                        \
  ZELT_BLAS_EXPORT void p##symm_(const char* side, const char* uplo, const int* m, const int* n,           \
                                 const T* alpha, const T* a, const int* lda, const T* b, const int* ldb,   \
                                 const T* beta, T* c, const int* ldc, len_t side_len, len_t uplo_len) {    \
    symm<T>(P "SYMM ", side, uplo, m, n, alpha, a, lda, b, ldb, beta, c, ldc, side_len, uplo_len);         \
  }                                                                                                        \
  ZELT_BLAS_EXPORT void p##syrk_(const char* uplo, const char* trans, const int* n, const int* k,          \
                                 const T* alpha, const T* a, const int* lda, const T* beta, T* c,          \
                                 const int* ldc, len_t uplo_len, len_t trans_len) {                        \
    syrk<T>(P "SYRK ", uplo, trans, n, k, alpha, a, lda, beta, c, ldc, uplo_len, trans_len);               \
  }                                                                                                        \
  ZELT_BLAS_EXPORT void p##syr2k_(const char* uplo, const char* trans, const int* n, const int* k,         \
                                  const T* alpha, const T* a, const int* lda, const T* b, const int* ldb,  \
                                  const T* beta, T* c, const int* ldc, len_t uplo_len, len_t trans_len) {  \
    syr2k<T>(P "SYR2K", uplo, trans, n, k, alpha, a, lda, b, ldb, beta, c, ldc, uplo_len, trans_len);      \
  }                                                                                                        \
  ZELT_BLAS_EXPORT void p##trmm_(const char* side, const char* uplo, const char* transa, const char* diag, \
                                 const int* m, const int* n, const T* alpha, const T* a, const int* lda,   \
                                 T* b, const int* ldb, len_t side_len, len_t uplo_len, len_t transa_len,   \
                                 len_t diag_len) {                                                         \
    trmm<T>(P "TRMM ", side, uplo, transa, diag, m, n, alpha, a, lda, b, ldb, side_len, uplo_len,          \
            transa_len, diag_len);                                                                         \
  }                                                                                                        \
  ZELT_BLAS_EXPORT void p##trsm_(const char* side, const char* uplo, const char* transa, const char* diag, \
                                 const int* m, const int* n, const T* alpha, const T* a, const int* lda,   \
                                 T* b, const int* ldb, len_t side_len, len_t uplo_len, len_t transa_len,   \
                                 len_t diag_len) {                                                         \
    trsm<T>(P "TRSM ", side, uplo, transa, diag, m, n, alpha, a, lda, b, ldb, side_len, uplo_len,          \
            transa_len, diag_len);                                                                         \
  }

ZELT_LEVEL3(s, "S", float)
ZELT_LEVEL3(d, "D", double)
#undef ZELT_LEVEL3

// The complex routines of Level 3.
#define ZELT_COMPLEX_LEVEL3(p, P, R)                                                                         \
  ZELT_BLAS_EXPORT void p##gemm_(const char* transa, const char* transb, const int* m, const int* n,         \
                                 const int* k, const void* alpha, const void* a, const int* lda,             \
                                 const void* b, const int* ldb, const void* beta, void* c, const int* ldc,   \
                                 len_t transa_len, len_t transb_len) {                                       \
    gemm<std::complex<R>>(P "GEMM ", transa, transb, m, n, k, in<R>(alpha), in<R>(a), lda, in<R>(b), ldb,    \
                          in<R>(beta), out<R>(c), ldc, transa_len, transb_len);                              \
  }                                                                                                          \
  ZELT_BLAS_EXPORT void p##symm_(const char* side, const char* uplo, const int* m, const int* n,             \
                                 const void* alpha, const void* a, const int* lda, const void* b,            \
                                 const int* ldb, const void* beta, void* c, const int* ldc, len_t side_len,  \
                                 len_t uplo_len) {                                                           \
    symm<std::complex<R>>(P "SYMM ", side, uplo, m, n, in<R>(alpha), in<R>(a), lda, in<R>(b), ldb,           \
                          in<R>(beta), out<R>(c), ldc, side_len, uplo_len);                                  \
  }                                                                                                          \
  ZELT_BLAS_EXPORT void p##hemm_(const char* side, const char* uplo, const int* m, const int* n,             \
                                 const void* alpha, const void* a, const int* lda, const void* b,            \
                                 const int* ldb, const void* beta, void* c, const int* ldc, len_t side_len,  \
                                 len_t uplo_len) {                                                           \
    symm<std::complex<R>, true>(P "HEMM ", side, uplo, m, n, in<R>(alpha), in<R>(a), lda, in<R>(b), ldb,     \
                                in<R>(beta), out<R>(c), ldc, side_len, uplo_len);                            \
  }                                                                                                          \
  ZELT_BLAS_EXPORT void p##syrk_(const char* uplo, const char* trans, const int* n, const int* k,            \
                                 const void* alpha, const void* a, const int* lda, const void* beta,         \
                                 void* c, const int* ldc, len_t uplo_len, len_t trans_len) {                 \
    syrk<std::complex<R>>(P "SYRK ", uplo, trans, n, k, in<R>(alpha), in<R>(a), lda, in<R>(beta), out<R>(c), \
                          ldc, uplo_len, trans_len);                                                         \
  }                                                                                                          \
  ZELT_BLAS_EXPORT void p##herk_(const char* uplo, const char* trans, const int* n, const int* k,            \
                                 const R* alpha, const void* a, const int* lda, const R* beta, void* c,      \
                                 const int* ldc, len_t uplo_len, len_t trans_len) {                          \
    syrk<std::complex<R>, true>(P "HERK ", uplo, trans, n, k, alpha, in<R>(a), lda, beta, out<R>(c), ldc,    \
                                uplo_len, trans_len);                                                        \
  }                                                                                                          \
  ZELT_BLAS_EXPORT void p##syr2k_(const char* uplo, const char* trans, const int* n, const int* k,           \
                                  const void* alpha, const void* a, const int* lda, const void* b,           \
                                  const int* ldb, const void* beta, void* c, const int* ldc, len_t uplo_len, \
                                  len_t trans_len) {                                                         \
    syr2k<std::complex<R>>(P "SYR2K", uplo, trans, n, k, in<R>(alpha), in<R>(a), lda, in<R>(b), ldb,         \
                           in<R>(beta), out<R>(c), ldc, uplo_len, trans_len);                                \
  }                                                                                                          \
  ZELT_BLAS_EXPORT void p##her2k_(const char* uplo, const char* trans, const int* n, const int* k,           \
                                  const void* alpha, const void* a, const int* lda, const void* b,           \
                                  const int* ldb, const R* beta, void* c, const int* ldc, len_t uplo_len,    \
                                  len_t trans_len) {                                                         \
    syr2k<std::complex<R>, true>(P "HER2K", uplo, trans, n, k, in<R>(alpha), in<R>(a), lda, in<R>(b), ldb,   \
                                 beta, out<R>(c), ldc, uplo_len, trans_len);                                 \
  }                                                                                                          \
  ZELT_BLAS_EXPORT void p##trmm_(const char* side, const char* uplo, const char* transa, const char* diag,   \
                                 const int* m, const int* n, const void* alpha, const void* a,               \
                                 const int* lda, void* b, const int* ldb, len_t side_len, len_t uplo_len,    \
                                 len_t transa_len, len_t diag_len) {                                         \
    trmm<std::complex<R>>(P "TRMM ", side, uplo, transa, diag, m, n, in<R>(alpha), in<R>(a), lda, out<R>(b), \
                          ldb, side_len, uplo_len, transa_len, diag_len);                                    \
  }                                                                                                          \
  ZELT_BLAS_EXPORT void p##trsm_(const char* side, const char* uplo, const char* transa, const char* diag,   \
                                 const int* m, const int* n, const void* alpha, const void* a,               \
                                 const int* lda, void* b, const int* ldb, len_t side_len, len_t uplo_len,    \
                                 len_t transa_len, len_t diag_len) {                                         \
    trsm<std::complex<R>>(P "TRSM ", side, uplo, transa, diag, m, n, in<R>(alpha), in<R>(a), lda, out<R>(b), \
                          ldb, side_len, uplo_len, transa_len, diag_len);                                    \
  }

// Called through complex-typed pointers too: no function-type sanitizer.
#if defined(__clang__)
#pragma clang attribute push(__attribute__((no_sanitize("function"))), apply_to = function)
#endif
ZELT_COMPLEX_LEVEL3(c, "C", float)
ZELT_COMPLEX_LEVEL3(z, "Z", double)
#if defined(__clang__)
#pragma clang attribute pop
#endif
#undef ZELT_COMPLEX_LEVEL3
// NOLINTEND(bugprone-macro-parentheses)
