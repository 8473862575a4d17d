#ifndef ZELT_DETAIL_COMPLEX_LEVEL2_HPP_
#define ZELT_DETAIL_COMPLEX_LEVEL2_HPP_

// The complex Level 2 kernels: the reference's loops, one element at a time,
// with its complex arithmetic (detail/complex.hpp).
//
// The triangular and Hermitian kernels take a triangle: an object whose
// column(j)[i] is element (i, j), whose column(j)[j] is the diagonal, and
// whose rows beside the diagonal in column j are [first(j), last(j)). A full
// triangle (full_triangle below), a band's triangle and a packed triangle
// all have that form, and the reference's full, band and packed routines
// run the same loops over them.

#include <cstddef>      // std::size_t
#include <type_traits>  // std::remove_reference_t

#include "zelt/detail/complex.hpp"
#include "zelt/detail/exact.hpp"

namespace zelt::detail {

/// The triangle of a square matrix of order n, full storage or packed:
/// `Access` has column(j).
template <class Access>
struct full_triangle {
  Access a;
  std::size_t n;
  bool upper;

  auto column(std::size_t j) const noexcept { return a.column(j); }
  std::size_t first(std::size_t j) const noexcept { return upper ? 0 : j + 1; }
  std::size_t last(std::size_t j) const noexcept { return upper ? j : n; }
};

/// Element i of x conjugated.
template <class X>
struct conjugated_access {
  X x;
  auto operator[](std::size_t i) const noexcept { return conjugate(x[i]); }
};

template <class X>
conjugated_access<X> conjugated_elements(X x) noexcept {
  return {x};
}

template <class Y>
void conjugate_in_place(Y y, std::size_t n) {
  for (std::size_t i = 0; i < n; ++i) y[i] = conjugate(y[i]);
}

/// Index k of [first, last) counted upward when `forward`, else downward.
inline std::size_t nth(std::size_t first, std::size_t last, bool forward, std::size_t k) noexcept {
  return forward ? first + k : last - 1 - k;
}

template <class T>
T conjugate_if(bool conjugate_it, T x) noexcept {
  return conjugate_it ? conjugate(x) : x;
}

// y = beta y as the reference's gemv and hemv start: zero when beta == 0,
// untouched when beta == 1.
template <class T, class Y>
ZELT_EXACT_LOOP void complex_scale_by_beta(T beta, Y y, std::size_t n) {
  ZELT_EXACT_ARITHMETIC
  if (beta == T(1)) return;
  for (std::size_t i = 0; i < n; ++i) y[i] = beta == T(0) ? T(0) : mul(beta, y[i]);
}

/// The columns of a full m x n matrix: `Access` has column(j); every row is
/// in every column. A band's columns (reference_band) have the same form.
template <class Access>
struct full_columns {
  Access a;
  std::size_t m;

  auto column(std::size_t j) const noexcept { return a.column(j); }
  std::size_t first(std::size_t) const noexcept { return 0; }
  std::size_t last(std::size_t) const noexcept { return m; }
};

// gemv('N'), gbmv('N'): column by column, y(i) = y(i) + (alpha x(j)) a(i, j).
template <class T, class Columns, class X, class Y>
ZELT_EXACT_LOOP void complex_gemv_n(const Columns& a, std::size_t n, T alpha, X x, Y y) {
  ZELT_EXACT_ARITHMETIC
  for (std::size_t j = 0; j < n; ++j) {
    const auto aj = a.column(j);
    const T temp = mul(alpha, x[j]);
    for (std::size_t i = a.first(j); i < a.last(j); ++i) y[i] = y[i] + mul(temp, aj[i]);
  }
}

// gemv('T'), gemv('C') and gbmv's: y(j) = y(j) + alpha (sum over i of op(a(i, j)) x(i)).
template <class T, class Columns, class X, class Y>
ZELT_EXACT_LOOP void complex_gemv_t(const Columns& a, std::size_t n, T alpha, X x, Y y, bool conjugate_a) {
  ZELT_EXACT_ARITHMETIC
  for (std::size_t j = 0; j < n; ++j) {
    const auto aj = a.column(j);
    T temp = 0;
    for (std::size_t i = a.first(j); i < a.last(j); ++i)
      temp = temp + mul(conjugate_if(conjugate_a, aj[i]), x[i]);
    y[j] = y[j] + mul(alpha, temp);
  }
}

// geru and gerc: a(i, j) = a(i, j) + u(i) (alpha v(j)), columns with v(j) == 0
// untouched; U and V may read their vectors conjugated.
template <class T, class U, class V, class A>
ZELT_EXACT_LOOP void complex_ger(std::size_t m, std::size_t n, T alpha, U u, V v, A a) {
  ZELT_EXACT_ARITHMETIC
  for (std::size_t j = 0; j < n; ++j) {
    if (v[j] == T(0)) continue;
    const T temp = mul(alpha, v[j]);
    for (std::size_t i = 0; i < m; ++i) a(i, j) = a(i, j) + mul(u[i], temp);
  }
}

// hemv (after the scaling by beta): for each column j, with t1 = alpha x(j),
// y(i) += t1 a(i, j) and t2 += conj(a(i, j)) x(i) beside the diagonal, then
// y(j) = (y(j) + t1 re(a(j, j))) + alpha t2.
template <class T, class Triangle, class X, class Y>
ZELT_EXACT_LOOP void complex_hemv(const Triangle& a, std::size_t n, T alpha, X x, Y y) {
  ZELT_EXACT_ARITHMETIC
  for (std::size_t j = 0; j < n; ++j) {
    const auto aj = a.column(j);
    const T temp1 = mul(alpha, x[j]);
    T temp2 = 0;
    for (std::size_t i = a.first(j); i < a.last(j); ++i) {
      y[i] = y[i] + mul(temp1, aj[i]);
      temp2 = temp2 + mul(conjugate(aj[i]), x[i]);
    }
    y[j] = y[j] + mul(temp1, real_of(aj[j])) + mul(alpha, temp2);
  }
}

// her and her2 leave a column whose x(j) (and y(j)) are zero alone but for
// its diagonal, whose imaginary part becomes +0.
template <class T, class Triangle, class X>
ZELT_EXACT_LOOP void complex_her(const Triangle& a, std::size_t n, real_t<T> alpha, X x) {
  ZELT_EXACT_ARITHMETIC
  for (std::size_t j = 0; j < n; ++j) {
    const auto aj = a.column(j);
    if (x[j] != T(0)) {
      const T temp = mul(alpha, conjugate(x[j]));
      for (std::size_t i = a.first(j); i < a.last(j); ++i) aj[i] = aj[i] + mul(x[i], temp);
      aj[j] = T(real_of(aj[j]) + real_of(mul(x[j], temp)));
    } else {
      aj[j] = T(real_of(aj[j]));
    }
  }
}

template <class T, class Triangle, class X, class Y>
ZELT_EXACT_LOOP void complex_her2(const Triangle& a, std::size_t n, T alpha, X x, Y y) {
  ZELT_EXACT_ARITHMETIC
  for (std::size_t j = 0; j < n; ++j) {
    const auto aj = a.column(j);
    if (x[j] != T(0) || y[j] != T(0)) {
      const T temp1 = mul(alpha, conjugate(y[j])), temp2 = conjugate(mul(alpha, x[j]));
      for (std::size_t i = a.first(j); i < a.last(j); ++i)
        aj[i] = aj[i] + mul(x[i], temp1) + mul(y[i], temp2);
      aj[j] = T(real_of(aj[j]) + real_of(mul(x[j], temp1) + mul(y[j], temp2)));
    } else {
      aj[j] = T(real_of(aj[j]));
    }
  }
}

// op(a) x and the solve of op(a) x = b in place, op(a) = a ('N'), its
// transpose ('T') or its conjugate transpose ('C': transposed and
// conjugate_a). The columns run upward for the upper triangle's 'N' product
// and the lower triangle's 'T' one, downward for the others, and the rows
// beside the diagonal of a column the same way; the solves run the other
// way round. 'N' skips a column whose x(j) is zero.
template <class Triangle, class X>
ZELT_EXACT_LOOP void complex_trmv(const Triangle& a, std::size_t n, bool transposed, bool conjugate_a,
                                  bool unit, X x) {
  ZELT_EXACT_ARITHMETIC
  using T = std::remove_reference_t<decltype(x[0])>;
  const bool forward = a.upper != transposed;
  for (std::size_t jk = 0; jk < n; ++jk) {
    const std::size_t j = nth(0, n, forward, jk), first = a.first(j), last = a.last(j);
    const auto aj = a.column(j);
    if (!transposed) {
      if (x[j] == T(0)) continue;
      const T temp = x[j];
      for (std::size_t k = 0; k < last - first; ++k) {
        const std::size_t i = nth(first, last, forward, k);
        x[i] = x[i] + mul(temp, aj[i]);
      }
      if (!unit) x[j] = mul(x[j], aj[j]);
    } else {
      T temp = x[j];
      if (!unit) temp = mul(temp, conjugate_if(conjugate_a, aj[j]));
      for (std::size_t k = 0; k < last - first; ++k) {
        const std::size_t i = nth(first, last, forward, k);
        temp = temp + mul(conjugate_if(conjugate_a, aj[i]), x[i]);
      }
      x[j] = temp;
    }
  }
}

template <class Triangle, class X>
ZELT_EXACT_LOOP void complex_trsv(const Triangle& a, std::size_t n, bool transposed, bool conjugate_a,
                                  bool unit, X x) {
  ZELT_EXACT_ARITHMETIC
  using T = std::remove_reference_t<decltype(x[0])>;
  const bool forward = a.upper == transposed;
  for (std::size_t jk = 0; jk < n; ++jk) {
    const std::size_t j = nth(0, n, forward, jk), first = a.first(j), last = a.last(j);
    const auto aj = a.column(j);
    if (!transposed) {
      if (x[j] == T(0)) continue;
      if (!unit) x[j] = div(x[j], aj[j]);
      const T temp = x[j];
      for (std::size_t k = 0; k < last - first; ++k) {
        const std::size_t i = nth(first, last, forward, k);
        x[i] = x[i] - mul(temp, aj[i]);
      }
    } else {
      T temp = x[j];
      for (std::size_t k = 0; k < last - first; ++k) {
        const std::size_t i = nth(first, last, forward, k);
        temp = temp - mul(conjugate_if(conjugate_a, aj[i]), x[i]);
      }
      if (!unit) temp = div(temp, conjugate_if(conjugate_a, aj[j]));
      x[j] = temp;
    }
  }
}

// The operations on a stored triangle `s` of order n. `conjugated_storage`:
// the operation's Hermitian matrix is conj of the one s holds, as for
// row-major storage. The reference CBLAS then runs the column-major routine
// on the storage with conjugated operands, and so do these: hemv computes
// conj(y) = conj(beta) conj(y) + conj(alpha) s conj(x), her and her2 add the
// update of conj(x) (her2: conj(y) and conj(x), exchanged) to s.
template <class T, class Triangle, class X, class Y>
void hemv_on(const Triangle& s, std::size_t n, bool conjugated_storage, T alpha, X x, T beta, Y y) {
  if (!conjugated_storage) {
    complex_scale_by_beta(beta, y, n);
    if (alpha != T(0)) complex_hemv(s, n, alpha, x, y);
    return;
  }
  conjugate_in_place(y, n);
  complex_scale_by_beta(conjugate(beta), y, n);
  if (alpha != T(0)) complex_hemv(s, n, conjugate(alpha), conjugated_elements(x), y);
  conjugate_in_place(y, n);
}

template <class T, class Triangle, class X>
void her_on(const Triangle& s, std::size_t n, bool conjugated_storage, real_t<T> alpha, X x) {
  if (conjugated_storage) {
    complex_her<T>(s, n, alpha, conjugated_elements(x));
  } else {
    complex_her<T>(s, n, alpha, x);
  }
}

template <class T, class Triangle, class X, class Y>
void her2_on(const Triangle& s, std::size_t n, bool conjugated_storage, T alpha, X x, Y y) {
  if (conjugated_storage) {
    complex_her2(s, n, alpha, conjugated_elements(y), conjugated_elements(x));
  } else {
    complex_her2(s, n, alpha, x, y);
  }
}

// gemv and gbmv of op(a) for the storage a of n columns, op(a) = a, its
// transpose, its conjugate transpose, or its conjugate. The conjugate, the
// adjoint of row-major storage, is, as in the reference CBLAS, the 'N'
// product on conjugates: conj(y) = conj(beta) conj(y) + conj(alpha) a conj(x).
template <class T, class Columns, class X, class Y>
void gemv_on(const Columns& a, std::size_t n, bool transposed, bool conjugated, T alpha, X x, T beta, Y y,
             std::size_t leny) {
  if (transposed || !conjugated) {
    complex_scale_by_beta(beta, y, leny);
    if (alpha == T(0)) return;
    if (transposed) {
      complex_gemv_t(a, n, alpha, x, y, conjugated);
    } else {
      complex_gemv_n(a, n, alpha, x, y);
    }
    return;
  }
  conjugate_in_place(y, leny);
  complex_scale_by_beta(conjugate(beta), y, leny);
  if (alpha != T(0)) complex_gemv_n(a, n, conjugate(alpha), conjugated_elements(x), y);
  conjugate_in_place(y, leny);
}

// trmv (solve false) and trsv (true) of op(s), op(s) = s, its transpose, its
// conjugate transpose (transposed and conjugated), or its conjugate. The
// conjugate, the adjoint of row-major storage, is, as in the reference CBLAS,
// the 'N' operation on conj(x), whose result is conjugated.
template <class Triangle, class X>
void triangular_on(bool solve, const Triangle& s, std::size_t n, bool transposed, bool conjugated, bool unit,
                   X x) {
  const bool conjugate_x = conjugated && !transposed;
  if (conjugate_x) conjugate_in_place(x, n);
  if (solve) {
    complex_trsv(s, n, transposed, conjugated, unit, x);
  } else {
    complex_trmv(s, n, transposed, conjugated, unit, x);
  }
  if (conjugate_x) conjugate_in_place(x, n);
}

}  // namespace zelt::detail

#endif  // ZELT_DETAIL_COMPLEX_LEVEL2_HPP_
