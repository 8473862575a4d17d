// zelt's complex operations against the reference BLAS (libblas3, loaded by
// path), through the C++ interface and, where the library is built, through
// libzelt_blas.so's Fortran symbols: every bit must agree.
#include <gtest/gtest.h>

#include <cctype>
#include <complex>
#include <cstddef>
#include <cstdint>
#include <limits>
#include <random>

#include "complex_harness.hpp"
#include "kernel_set_env.hpp"
#include "zelt/blas1.hpp"
#include "zelt/blas2.hpp"
#include "zelt/blas2_band.hpp"
#include "zelt/blas2_packed.hpp"
#include "zelt/blas3.hpp"
#include "zelt/matrix_views.hpp"

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

// geru or gerc through the C++ interface.
template <class R, bool Strided>
void ger(bool conjugate_y, const int* m, const int* n, const std::complex<R>* alpha, const std::complex<R>* x,
         const int* incx, const std::complex<R>* y, const int* incy, std::complex<R>* a, const int* lda) {
  if (*m == 0 || *n == 0) return;
  const zelt::col_major_matrix<std::complex<R>> A(a, static_cast<unsigned>(*m), static_cast<unsigned>(*n),
                                                  static_cast<unsigned>(*lda));
  with_vector(*m, x, *incx, Strided, [&](auto vx) {
    with_vector(*n, y, *incy, Strided, [&](auto vy) {
      if (conjugate_y) {
        zelt::gerc(*alpha, vx, vy, A);
      } else {
        zelt::geru(*alpha, vx, vy, A);
      }
    });
  });
}

template <class R>
void cblas_ger(bool conjugate_y, int layout, int m, int n, const std::complex<R>* alpha,
               const std::complex<R>* x, int incx, const std::complex<R>* y, int incy, std::complex<R>* a,
               int lda) {
  if (m == 0 || n == 0) return;
  const auto run = [&](const auto& A) {
    with_vector(m, x, incx, false, [&](auto vx) {
      with_vector(n, y, incy, false, [&](auto vy) {
        if (conjugate_y) {
          zelt::gerc(*alpha, vx, vy, A);
        } else {
          zelt::geru(*alpha, vx, vy, A);
        }
      });
    });
  };
  const auto rows = static_cast<unsigned>(m), cols = static_cast<unsigned>(n),
             ld = static_cast<unsigned>(lda);
  if (layout == 102) {
    run(zelt::col_major_matrix<std::complex<R>>(a, rows, cols, ld));
  } else {
    run(zelt::row_major_matrix<std::complex<R>>(a, rows, cols, ld));
  }
}

// op(A) for the CBLAS's flag.
template <class Matrix, class F>
void with_op(int t, const Matrix& A, F f) {
  if (t == 111) {
    f(A);
  } else if (t == 112) {
    f(zelt::transposed(A));
  } else {
    f(zelt::adjoint(A));
  }
}

// The CBLAS routines through the C++ interface: the m x n matrix A in the
// layout given, op(A) as the view for the flag.
template <class R, class F>
void with_matrix_op(int layout, int t, const std::complex<R>* a, int m, int n, int lda, F f) {
  using C = std::complex<R>;
  const auto rows = static_cast<unsigned>(m), cols = static_cast<unsigned>(n),
             ld = static_cast<unsigned>(lda);
  if (layout == 102) {
    with_op(t, zelt::col_major_matrix<const C>(a, rows, cols, ld), f);
  } else {
    with_op(t, zelt::row_major_matrix<const C>(a, rows, cols, ld), f);
  }
}

// The n x n matrix at a in the given layout (101 row-major, 102
// column-major), given to f.
template <class E, class F>
void with_layout(int layout, E* a, int n, int lda, F f) {
  const auto order = static_cast<unsigned>(n), ld = static_cast<unsigned>(lda);
  if (layout == 102) {
    f(zelt::col_major_matrix<E>(a, order, order, ld));
  } else {
    f(zelt::row_major_matrix<E>(a, order, order, ld));
  }
}

template <class F>
void with_uplo(bool upper, F f) {
  if (upper) {
    f(zelt::upper);
  } else {
    f(zelt::lower);
  }
}

// The Hermitian and triangular routines through the C++ interface, with the
// CBLAS's signatures: the triangle tag names the triangle of the matrix as
// passed, so that of op(A) when A is transposed.
template <class R, bool Strided>
struct cpp_hermitian {
  using C = std::complex<R>;
  static void hemv(int layout, int uplo, int n, const C* alpha, const C* a, int lda, const C* x, int incx,
                   const C* beta, C* y, int incy) {
    if (n == 0) return;
    with_layout(layout, a, n, lda, [&](const auto& A) {
      with_vector(n, x, incx, Strided, [&](auto vx) {
        with_vector(n, y, incy, Strided, [&](auto vy) {
          with_uplo(uplo == 121, [&](auto tri) { zelt::hemv(tri, *alpha, A, vx, *beta, vy); });
        });
      });
    });
  }
  static void her(int layout, int uplo, int n, R alpha, const C* x, int incx, C* a, int lda) {
    if (n == 0) return;
    with_layout(layout, a, n, lda, [&](const auto& A) {
      with_vector(n, x, incx, Strided,
                  [&](auto vx) { with_uplo(uplo == 121, [&](auto tri) { zelt::her(tri, alpha, vx, A); }); });
    });
  }
  static void her2(int layout, int uplo, int n, const C* alpha, const C* x, int incx, const C* y, int incy,
                   C* a, int lda) {
    if (n == 0) return;
    with_layout(layout, a, n, lda, [&](const auto& A) {
      with_vector(n, x, incx, Strided, [&](auto vx) {
        with_vector(n, y, incy, Strided, [&](auto vy) {
          with_uplo(uplo == 121, [&](auto tri) { zelt::her2(tri, *alpha, vx, vy, A); });
        });
      });
    });
  }
  template <bool Solve>
  static void triangular(int layout, int uplo, int t, int diag, int n, const C* a, int lda, C* x, int incx) {
    if (n == 0) return;
    with_matrix_op<R>(layout, t, a, n, n, lda, [&](const auto& A) {
      with_vector(n, x, incx, Strided, [&](auto vx) {
        with_uplo((uplo == 121) == (t == 111), [&](auto tri) {
          const auto run = [&](auto dg) {
            if constexpr (Solve) {
              zelt::trsv(tri, dg, A, vx);
            } else {
              zelt::trmv(tri, dg, A, vx);
            }
          };
          if (diag == 132) {
            run(zelt::unit_diagonal);
          } else {
            run(zelt::non_unit_diagonal);
          }
        });
      });
    });
  }
};

// The band and packed routines through the C++ interface, with the CBLAS's
// signatures.
template <class R, bool Strided>
struct cpp_band_packed {
  using C = std::complex<R>;
  template <class F>
  static void with_triangle_band(int layout, int uplo, const C* a, int n, int k, int lda, F f) {
    const auto order = static_cast<std::size_t>(n), width = static_cast<std::size_t>(k),
               ld = static_cast<std::size_t>(lda);
    with_uplo(uplo == 121, [&](auto tri) {
      using Tri = decltype(tri);
      if (layout == 102) {
        f(zelt::triangle_band<const C, Tri, zelt::col_orien>(a, order, width, ld));
      } else {
        f(zelt::triangle_band<const C, Tri, zelt::row_orien>(a, order, width, ld));
      }
    });
  }
  template <class E, class F>
  static void with_packed(int layout, int uplo, E* ap, int n, F f) {
    with_uplo(uplo == 121, [&](auto tri) {
      using Tri = decltype(tri);
      if (layout == 102) {
        f(zelt::packed_matrix<E, Tri, zelt::col_orien>(ap, static_cast<std::size_t>(n)));
      } else {
        f(zelt::packed_matrix<E, Tri, zelt::row_orien>(ap, static_cast<std::size_t>(n)));
      }
    });
  }
  template <class F>
  static void with_diag(int diag, F f) {
    if (diag == 132) {
      f(zelt::unit_diagonal);
    } else {
      f(zelt::non_unit_diagonal);
    }
  }

  static void gbmv(int layout, int t, int m, int n, int kl, int ku, const C* alpha, const C* a, int lda,
                   const C* x, int incx, const C* beta, C* y, int incy) {
    if (m == 0 || n == 0) return;
    const int lenx = t == 111 ? n : m, leny = t == 111 ? m : n;
    const auto rows = static_cast<std::size_t>(m), cols = static_cast<std::size_t>(n),
               lower = static_cast<std::size_t>(kl), upper = static_cast<std::size_t>(ku),
               ld = static_cast<std::size_t>(lda);
    const auto run = [&](const auto& A) {
      with_op(t, A, [&](const auto& opA) {
        with_vector(lenx, x, incx, Strided, [&](auto vx) {
          with_vector(leny, y, incy, Strided, [&](auto vy) { zelt::gbmv(*alpha, opA, vx, *beta, vy); });
        });
      });
    };
    if (layout == 102) {
      run(zelt::col_major_band<const C>(a, rows, cols, lower, upper, ld));
    } else {
      run(zelt::row_major_band<const C>(a, rows, cols, lower, upper, ld));
    }
  }
  static void hbmv(int layout, int uplo, int n, int k, const C* alpha, const C* a, int lda, const C* x,
                   int incx, const C* beta, C* y, int incy) {
    if (n == 0) return;
    with_triangle_band(layout, uplo, a, n, k, lda, [&](const auto& A) {
      with_vector(n, x, incx, Strided, [&](auto vx) {
        with_vector(n, y, incy, Strided, [&](auto vy) { zelt::hbmv(*alpha, A, vx, *beta, vy); });
      });
    });
  }
  static void hpmv(int layout, int uplo, int n, const C* alpha, const C* ap, const C* x, int incx,
                   const C* beta, C* y, int incy) {
    if (n == 0) return;
    with_packed(layout, uplo, ap, n, [&](const auto& A) {
      with_vector(n, x, incx, Strided, [&](auto vx) {
        with_vector(n, y, incy, Strided, [&](auto vy) { zelt::hpmv(*alpha, A, vx, *beta, vy); });
      });
    });
  }
  static void hpr(int layout, int uplo, int n, R alpha, const C* x, int incx, C* ap) {
    if (n == 0) return;
    with_packed(layout, uplo, ap, n, [&](const auto& A) {
      with_vector(n, x, incx, Strided, [&](auto vx) { zelt::hpr(alpha, vx, A); });
    });
  }
  static void hpr2(int layout, int uplo, int n, const C* alpha, const C* x, int incx, const C* y, int incy,
                   C* ap) {
    if (n == 0) return;
    with_packed(layout, uplo, ap, n, [&](const auto& A) {
      with_vector(n, x, incx, Strided, [&](auto vx) {
        with_vector(n, y, incy, Strided, [&](auto vy) { zelt::hpr2(*alpha, vx, vy, A); });
      });
    });
  }
  template <bool Solve>
  static void tb(int layout, int uplo, int t, int diag, int n, int k, const C* a, int lda, C* x, int incx) {
    if (n == 0) return;
    with_triangle_band(layout, uplo, a, n, k, lda, [&](const auto& A) {
      with_op(t, A, [&](const auto& opA) {
        with_vector(n, x, incx, Strided, [&](auto vx) {
          with_diag(diag, [&](auto dg) {
            if constexpr (Solve) {
              zelt::tbsv(dg, opA, vx);
            } else {
              zelt::tbmv(dg, opA, vx);
            }
          });
        });
      });
    });
  }
  template <bool Solve>
  static void tp(int layout, int uplo, int t, int diag, int n, const C* ap, C* x, int incx) {
    if (n == 0) return;
    with_packed(layout, uplo, ap, n, [&](const auto& A) {
      with_op(t, A, [&](const auto& opA) {
        with_vector(n, x, incx, Strided, [&](auto vx) {
          with_diag(diag, [&](auto dg) {
            if constexpr (Solve) {
              zelt::tpsv(dg, opA, vx);
            } else {
              zelt::tpmv(dg, opA, vx);
            }
          });
        });
      });
    });
  }
};

// A Fortran flag as the CBLAS's enum.
int uplo_enum(const char* uplo) { return std::toupper(static_cast<unsigned char>(*uplo)) == 'U' ? 121 : 122; }
int trans_enum(const char* t) {
  const int flag = std::toupper(static_cast<unsigned char>(*t));
  return flag == 'N' ? 111 : flag == 'T' ? 112 : 113;
}
int diag_enum(const char* diag) { return std::toupper(static_cast<unsigned char>(*diag)) == 'U' ? 132 : 131; }

// The Level 3 routines through the C++ interface, with the Fortran
// signatures and quick returns.
template <class R>
struct cpp_level3 {
  using C = std::complex<R>;
  using len = std::size_t;
  // op(A) of the column-major rows x cols matrix A for the Fortran flag.
  template <class F>
  static void with_op_of(const char* t, const C* a, int rows, int cols, int lda, F f) {
    const auto m = static_cast<unsigned>(rows), n = static_cast<unsigned>(cols),
               ld = static_cast<unsigned>(lda);
    with_op(trans_enum(t), zelt::col_major_matrix<const C>(a, m, n, ld), f);
  }
  static zelt::col_major_matrix<C> output(C* c, int m, int n, int ldc) {
    return {c, static_cast<unsigned>(m), static_cast<unsigned>(n), static_cast<unsigned>(ldc)};
  }
  static bool no_trans(const char* t) { return trans_enum(t) == 111; }
  template <class F>
  static void with_side(const char* side, F f) {
    if (std::toupper(static_cast<unsigned char>(*side)) == 'L') {
      f(zelt::left);
    } else {
      f(zelt::right);
    }
  }

  static void gemm(const char* ta, const char* tb, const int* m, const int* n, const int* k, const C* alpha,
                   const C* a, const int* lda, const C* b, const int* ldb, const C* beta, C* c,
                   const int* ldc, len, len) {
    if (*m == 0 || *n == 0) return;
    with_op_of(ta, a, no_trans(ta) ? *m : *k, no_trans(ta) ? *k : *m, *lda, [&](const auto& A) {
      with_op_of(tb, b, no_trans(tb) ? *k : *n, no_trans(tb) ? *n : *k, *ldb,
                 [&](const auto& B) { zelt::gemm(*alpha, A, B, *beta, output(c, *m, *n, *ldc)); });
    });
  }
  template <bool Hermitian>
  static void symm(const char* side, const char* uplo, const int* m, const int* n, const C* alpha, const C* a,
                   const int* lda, const C* b, const int* ldb, const C* beta, C* c, const int* ldc, len,
                   len) {
    if (*m == 0 || *n == 0) return;
    const int order = std::toupper(static_cast<unsigned char>(*side)) == 'L' ? *m : *n;
    with_op_of("N", a, order, order, *lda, [&](const auto& A) {
      with_op_of("N", b, *m, *n, *ldb, [&](const auto& B) {
        with_side(side, [&](auto sd) {
          with_uplo(uplo_enum(uplo) == 121, [&](auto tri) {
            if constexpr (Hermitian) {
              zelt::hemm(sd, tri, *alpha, A, B, *beta, output(c, *m, *n, *ldc));
            } else {
              zelt::symm(sd, tri, *alpha, A, B, *beta, output(c, *m, *n, *ldc));
            }
          });
        });
      });
    });
  }
  template <bool Hermitian, class S>
  static void syrk(const char* uplo, const char* t, const int* n, const int* k, const S* alpha, const C* a,
                   const int* lda, const S* beta, C* c, const int* ldc, len, len) {
    if (*n == 0) return;
    with_op_of(t, a, no_trans(t) ? *n : *k, no_trans(t) ? *k : *n, *lda, [&](const auto& A) {
      with_uplo(uplo_enum(uplo) == 121, [&](auto tri) {
        if constexpr (Hermitian) {
          zelt::herk(tri, *alpha, A, *beta, output(c, *n, *n, *ldc));
        } else {
          zelt::syrk(tri, *alpha, A, *beta, output(c, *n, *n, *ldc));
        }
      });
    });
  }
  template <bool Hermitian, class S>
  static void syr2k(const char* uplo, const char* t, const int* n, const int* k, const C* alpha, const C* a,
                    const int* lda, const C* b, const int* ldb, const S* beta, C* c, const int* ldc, len,
                    len) {
    if (*n == 0) return;
    const int rows = no_trans(t) ? *n : *k, cols = no_trans(t) ? *k : *n;
    with_op_of(t, a, rows, cols, *lda, [&](const auto& A) {
      with_op_of(t, b, rows, cols, *ldb, [&](const auto& B) {
        with_uplo(uplo_enum(uplo) == 121, [&](auto tri) {
          if constexpr (Hermitian) {
            zelt::her2k(tri, *alpha, A, B, *beta, output(c, *n, *n, *ldc));
          } else {
            zelt::syr2k(tri, *alpha, A, B, *beta, output(c, *n, *n, *ldc));
          }
        });
      });
    });
  }
  template <bool Solve>
  static void triangular(const char* side, const char* uplo, const char* t, const char* diag, const int* m,
                         const int* n, const C* alpha, const C* a, const int* lda, C* b, const int* ldb, len,
                         len, len, len) {
    if (*m == 0 || *n == 0) return;
    const int order = std::toupper(static_cast<unsigned char>(*side)) == 'L' ? *m : *n;
    with_op_of(t, a, order, order, *lda, [&](const auto& A) {
      with_side(side, [&](auto sd) {
        // the triangle of op(A)
        with_uplo((uplo_enum(uplo) == 121) == no_trans(t), [&](auto tri) {
          const auto run = [&](auto dg) {
            if constexpr (Solve) {
              zelt::trsm(sd, tri, dg, *alpha, A, output(b, *m, *n, *ldb));
            } else {
              zelt::trmm(sd, tri, dg, *alpha, A, output(b, *m, *n, *ldb));
            }
          };
          if (diag_enum(diag) == 132) {
            run(zelt::unit_diagonal);
          } else {
            run(zelt::non_unit_diagonal);
          }
        });
      });
    });
  }
};

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
  r.gemv = [](const char* t, const int* m, const int* n, const C* alpha, const C* a, const int* lda,
              const C* x, const int* incx, const C* beta, C* y, const int* incy, std::size_t) {
    if (*m == 0 || *n == 0) return;
    const zelt::col_major_matrix<const C> A(a, static_cast<unsigned>(*m), static_cast<unsigned>(*n),
                                            static_cast<unsigned>(*lda));
    const char flag = static_cast<char>(std::toupper(static_cast<unsigned char>(*t)));
    const int lenx = flag == 'N' ? *n : *m, leny = flag == 'N' ? *m : *n;
    with_vector(lenx, x, *incx, Strided, [&](auto vx) {
      with_vector(leny, y, *incy, Strided, [&](auto vy) {
        if (flag == 'N') {
          zelt::gemv(*alpha, A, vx, *beta, vy);
        } else if (flag == 'T') {
          zelt::gemv(*alpha, zelt::transposed(A), vx, *beta, vy);
        } else {
          zelt::gemv(*alpha, zelt::adjoint(A), vx, *beta, vy);
        }
      });
    });
  };
  r.geru = [](const int* m, const int* n, const C* alpha, const C* x, const int* incx, const C* y,
              const int* incy, C* a,
              const int* lda) { ger<R, Strided>(false, m, n, alpha, x, incx, y, incy, a, lda); };
  r.gerc = [](const int* m, const int* n, const C* alpha, const C* x, const int* incx, const C* y,
              const int* incy, C* a,
              const int* lda) { ger<R, Strided>(true, m, n, alpha, x, incx, y, incy, a, lda); };
  using H = cpp_hermitian<R, Strided>;
  r.hemv = [](const char* uplo, const int* n, const C* alpha, const C* a, const int* lda, const C* x,
              const int* incx, const C* beta, C* y, const int* incy,
              std::size_t) { H::hemv(102, uplo_enum(uplo), *n, alpha, a, *lda, x, *incx, beta, y, *incy); };
  r.her = [](const char* uplo, const int* n, const R* alpha, const C* x, const int* incx, C* a,
             const int* lda, std::size_t) {
    if (*alpha != 0) H::her(102, uplo_enum(uplo), *n, *alpha, x, *incx, a, *lda);
  };
  r.her2 = [](const char* uplo, const int* n, const C* alpha, const C* x, const int* incx, const C* y,
              const int* incy, C* a, const int* lda,
              std::size_t) { H::her2(102, uplo_enum(uplo), *n, alpha, x, *incx, y, *incy, a, *lda); };
  r.trmv = [](const char* uplo, const char* t, const char* diag, const int* n, const C* a, const int* lda,
              C* x, const int* incx, std::size_t, std::size_t, std::size_t) {
    H::template triangular<false>(102, uplo_enum(uplo), trans_enum(t), diag_enum(diag), *n, a, *lda, x,
                                  *incx);
  };
  r.trsv = [](const char* uplo, const char* t, const char* diag, const int* n, const C* a, const int* lda,
              C* x, const int* incx, std::size_t, std::size_t, std::size_t) {
    H::template triangular<true>(102, uplo_enum(uplo), trans_enum(t), diag_enum(diag), *n, a, *lda, x, *incx);
  };
  using B = cpp_band_packed<R, Strided>;
  r.gbmv = [](const char* t, const int* m, const int* n, const int* kl, const int* ku, const C* alpha,
              const C* a, const int* lda, const C* x, const int* incx, const C* beta, C* y, const int* incy,
              std::size_t) {
    B::gbmv(102, trans_enum(t), *m, *n, *kl, *ku, alpha, a, *lda, x, *incx, beta, y, *incy);
  };
  r.hbmv = [](const char* uplo, const int* n, const int* k, const C* alpha, const C* a, const int* lda,
              const C* x, const int* incx, const C* beta, C* y, const int* incy, std::size_t) {
    B::hbmv(102, uplo_enum(uplo), *n, *k, alpha, a, *lda, x, *incx, beta, y, *incy);
  };
  r.hpmv = [](const char* uplo, const int* n, const C* alpha, const C* ap, const C* x, const int* incx,
              const C* beta, C* y, const int* incy,
              std::size_t) { B::hpmv(102, uplo_enum(uplo), *n, alpha, ap, x, *incx, beta, y, *incy); };
  r.hpr = [](const char* uplo, const int* n, const R* alpha, const C* x, const int* incx, C* ap,
             std::size_t) {
    if (*alpha != 0) B::hpr(102, uplo_enum(uplo), *n, *alpha, x, *incx, ap);
  };
  r.hpr2 = [](const char* uplo, const int* n, const C* alpha, const C* x, const int* incx, const C* y,
              const int* incy, C* ap,
              std::size_t) { B::hpr2(102, uplo_enum(uplo), *n, alpha, x, *incx, y, *incy, ap); };
  r.tbmv = [](const char* uplo, const char* t, const char* diag, const int* n, const int* k, const C* a,
              const int* lda, C* x, const int* incx, std::size_t, std::size_t, std::size_t) {
    B::template tb<false>(102, uplo_enum(uplo), trans_enum(t), diag_enum(diag), *n, *k, a, *lda, x, *incx);
  };
  r.tbsv = [](const char* uplo, const char* t, const char* diag, const int* n, const int* k, const C* a,
              const int* lda, C* x, const int* incx, std::size_t, std::size_t, std::size_t) {
    B::template tb<true>(102, uplo_enum(uplo), trans_enum(t), diag_enum(diag), *n, *k, a, *lda, x, *incx);
  };
  r.tpmv = [](const char* uplo, const char* t, const char* diag, const int* n, const C* ap, C* x,
              const int* incx, std::size_t, std::size_t, std::size_t) {
    B::template tp<false>(102, uplo_enum(uplo), trans_enum(t), diag_enum(diag), *n, ap, x, *incx);
  };
  r.tpsv = [](const char* uplo, const char* t, const char* diag, const int* n, const C* ap, C* x,
              const int* incx, std::size_t, std::size_t, std::size_t) {
    B::template tp<true>(102, uplo_enum(uplo), trans_enum(t), diag_enum(diag), *n, ap, x, *incx);
  };
  using L3 = cpp_level3<R>;
  r.gemm = L3::gemm;
  r.symm = L3::template symm<false>;
  r.hemm = L3::template symm<true>;
  r.syrk = L3::template syrk<false, C>;
  r.herk = L3::template syrk<true, R>;
  r.syr2k = L3::template syr2k<false, C>;
  r.her2k = L3::template syr2k<true, R>;
  r.trmm = L3::template triangular<false>;
  r.trsm = L3::template triangular<true>;
  return r;
}

// The Level 3 routines through the C++ interface, with the CBLAS's
// signatures: every matrix in the layout given.
template <class R>
struct cpp_cblas_level3 {
  using C = std::complex<R>;
  // f(C) with the m x n output in the layout given.
  template <class F>
  static void with_output(int layout, C* c, int m, int n, int ldc, F f) {
    const auto rows = static_cast<unsigned>(m), cols = static_cast<unsigned>(n),
               ld = static_cast<unsigned>(ldc);
    if (layout == 102) {
      f(zelt::col_major_matrix<C>(c, rows, cols, ld));
    } else {
      f(zelt::row_major_matrix<C>(c, rows, cols, ld));
    }
  }
  template <class F>
  static void with_side(int side, F f) {
    if (side == 141) {
      f(zelt::left);
    } else {
      f(zelt::right);
    }
  }

  static void gemm(int layout, int ta, int tb, int m, int n, int k, const C* alpha, const C* a, int lda,
                   const C* b, int ldb, const C* beta, C* c, int ldc) {
    if (m == 0 || n == 0) return;
    with_matrix_op<R>(layout, ta, a, ta == 111 ? m : k, ta == 111 ? k : m, lda, [&](const auto& A) {
      with_matrix_op<R>(layout, tb, b, tb == 111 ? k : n, tb == 111 ? n : k, ldb, [&](const auto& B) {
        with_output(layout, c, m, n, ldc, [&](const auto& Cm) { zelt::gemm(*alpha, A, B, *beta, Cm); });
      });
    });
  }
  template <bool Hermitian>
  static void symm(int layout, int side, int uplo, int m, int n, const C* alpha, const C* a, int lda,
                   const C* b, int ldb, const C* beta, C* c, int ldc) {
    if (m == 0 || n == 0) return;
    const int order = side == 141 ? m : n;
    with_matrix_op<R>(layout, 111, a, order, order, lda, [&](const auto& A) {
      with_matrix_op<R>(layout, 111, b, m, n, ldb, [&](const auto& B) {
        with_output(layout, c, m, n, ldc, [&](const auto& Cm) {
          with_side(side, [&](auto sd) {
            with_uplo(uplo == 121, [&](auto tri) {
              if constexpr (Hermitian) {
                zelt::hemm(sd, tri, *alpha, A, B, *beta, Cm);
              } else {
                zelt::symm(sd, tri, *alpha, A, B, *beta, Cm);
              }
            });
          });
        });
      });
    });
  }
  // syrk, herk, and, with B (`Two`), syr2k and her2k.
  template <bool Hermitian, bool Two, class Alpha, class Beta>
  static void rank_k(int layout, int uplo, int t, int n, int k, Alpha alpha, const C* a, int lda, const C* b,
                     int ldb, Beta beta, C* c, int ldc) {
    if (n == 0) return;
    const int rows = t == 111 ? n : k, cols = t == 111 ? k : n;
    with_matrix_op<R>(layout, t, a, rows, cols, lda, [&](const auto& A) {
      with_matrix_op<R>(layout, t, Two ? b : a, rows, cols, Two ? ldb : lda, [&](const auto& B) {
        with_output(layout, c, n, n, ldc, [&](const auto& Cm) {
          with_uplo(uplo == 121, [&](auto tri) {
            if constexpr (Two && Hermitian) {
              zelt::her2k(tri, alpha, A, B, beta, Cm);
            } else if constexpr (Two) {
              zelt::syr2k(tri, alpha, A, B, beta, Cm);
            } else if constexpr (Hermitian) {
              (void)B;
              zelt::herk(tri, alpha, A, beta, Cm);
            } else {
              (void)B;
              zelt::syrk(tri, alpha, A, beta, Cm);
            }
          });
        });
      });
    });
  }
  template <bool Solve>
  static void triangular(int layout, int side, int uplo, int t, int diag, int m, int n, const C* alpha,
                         const C* a, int lda, C* b, int ldb) {
    if (m == 0 || n == 0) return;
    const int order = side == 141 ? m : n;
    with_matrix_op<R>(layout, t, a, order, order, lda, [&](const auto& A) {
      with_output(layout, b, m, n, ldb, [&](const auto& B) {
        with_side(side, [&](auto sd) {
          with_uplo((uplo == 121) == (t == 111), [&](auto tri) {
            const auto run = [&](auto dg) {
              if constexpr (Solve) {
                zelt::trsm(sd, tri, dg, *alpha, A, B);
              } else {
                zelt::trmm(sd, tri, dg, *alpha, A, B);
              }
            };
            if (diag == 132) {
              run(zelt::unit_diagonal);
            } else {
              run(zelt::non_unit_diagonal);
            }
          });
        });
      });
    });
  }
};

template <class R>
zelt_test::complex_cblas_routines<R> cpp_cblas_routines() {
  using C = std::complex<R>;
  zelt_test::complex_cblas_routines<R> r;
  r.gemv = [](int layout, int t, int m, int n, const C* alpha, const C* a, int lda, const C* x, int incx,
              const C* beta, C* y, int incy) {
    if (m == 0 || n == 0) return;
    const int lenx = t == 111 ? n : m, leny = t == 111 ? m : n;
    with_matrix_op<R>(layout, t, a, m, n, lda, [&](const auto& A) {
      with_vector(lenx, x, incx, false, [&](auto vx) {
        with_vector(leny, y, incy, false, [&](auto vy) { zelt::gemv(*alpha, A, vx, *beta, vy); });
      });
    });
  };
  r.geru = [](int layout, int m, int n, const C* alpha, const C* x, int incx, const C* y, int incy, C* a,
              int lda) { cblas_ger<R>(false, layout, m, n, alpha, x, incx, y, incy, a, lda); };
  r.gerc = [](int layout, int m, int n, const C* alpha, const C* x, int incx, const C* y, int incy, C* a,
              int lda) { cblas_ger<R>(true, layout, m, n, alpha, x, incx, y, incy, a, lda); };
  using H = cpp_hermitian<R, false>;
  r.hemv = H::hemv;
  r.her = H::her;
  r.her2 = H::her2;
  r.trmv = H::template triangular<false>;
  r.trsv = H::template triangular<true>;
  using B = cpp_band_packed<R, false>;
  r.gbmv = B::gbmv;
  r.hbmv = B::hbmv;
  r.hpmv = B::hpmv;
  r.hpr = B::hpr;
  r.hpr2 = B::hpr2;
  r.tbmv = B::template tb<false>;
  r.tbsv = B::template tb<true>;
  r.tpmv = B::template tp<false>;
  r.tpsv = B::template tp<true>;
  using L = cpp_cblas_level3<R>;
  r.gemm = L::gemm;
  r.symm = L::template symm<false>;
  r.hemm = L::template symm<true>;
  r.syrk = [](int layout, int uplo, int t, int n, int k, const C* alpha, const C* a, int lda, const C* beta,
              C* c, int ldc) {
    L::template rank_k<false, false>(layout, uplo, t, n, k, *alpha, a, lda, a, lda, *beta, c, ldc);
  };
  r.herk = [](int layout, int uplo, int t, int n, int k, R alpha, const C* a, int lda, R beta, C* c,
              int ldc) {
    L::template rank_k<true, false>(layout, uplo, t, n, k, alpha, a, lda, a, lda, beta, c, ldc);
  };
  r.syr2k = [](int layout, int uplo, int t, int n, int k, const C* alpha, const C* a, int lda, const C* b,
               int ldb, const C* beta, C* c, int ldc) {
    L::template rank_k<false, true>(layout, uplo, t, n, k, *alpha, a, lda, b, ldb, *beta, c, ldc);
  };
  r.her2k = [](int layout, int uplo, int t, int n, int k, const C* alpha, const C* a, int lda, const C* b,
               int ldb, R beta, C* c, int ldc) {
    L::template rank_k<true, true>(layout, uplo, t, n, k, *alpha, a, lda, b, ldb, beta, c, ldc);
  };
  r.trmm = L::template triangular<false>;
  r.trsm = L::template triangular<true>;
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

template <class R>
void expect_cblas_reference_bits(bool through_library, std::uint64_t seed) {
  const auto ref = zelt_test::library_cblas_routines<R>(reference_library());
  ASSERT_TRUE(ref.complete());
  // the Fortran tables the harness keeps, unused by its CBLAS runs
  const complex_routines<R> fortran_ref = reference_routines<R>(), fortran_cpp = cpp_routines<R, false>();
  zelt_test::complex_harness<R> harness(fortran_ref, fortran_cpp, seed);
  if (!through_library) {
    expect_no_differences(harness.run_cblas(ref, cpp_cblas_routines<R>()));
    return;
  }
#if defined(ZELT_BLAS_LIBRARY)
  const zelt_test::shared_library library(ZELT_BLAS_LIBRARY);
  const auto zelt = zelt_test::library_cblas_routines<R>(library);
  ASSERT_TRUE(zelt.complete());
  expect_no_differences(harness.run_cblas(ref, zelt));
#endif
}

TEST(ComplexBlas, RowAndColumnMajorViewsGiveTheReferenceCblasBits) {
  expect_cblas_reference_bits<double>(false, 24);
}
TEST(ComplexBlas, SingleRowAndColumnMajorViewsGiveTheReferenceCblasBits) {
  expect_cblas_reference_bits<float>(false, 24);
}
#if defined(ZELT_BLAS_LIBRARY)
TEST(ComplexBlasLibrary, CblasGivesTheReferenceBitsInBothLayouts) {
  expect_cblas_reference_bits<double>(true, 25);
}
TEST(ComplexBlasLibrary, SingleCblasGivesTheReferenceBitsInBothLayouts) {
  expect_cblas_reference_bits<float>(true, 25);
}
#endif

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
