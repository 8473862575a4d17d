#ifndef ZELT_DETAIL_COMPLEX_LEVEL3_HPP_
#define ZELT_DETAIL_COMPLEX_LEVEL3_HPP_

// The complex Level 3 kernels in the reference's loops, one element at a
// time, with its complex arithmetic (detail/complex.hpp), on a column-major
// output: trsm, and the others where the engine (detail/complex_engine.hpp)
// cannot take the output (rows that are not contiguous).
//
// The operands come as `conj_ref`s: the elements of a matrix as the operation
// reads them, conjugated or not. A kernel reads an operand where the
// reference reads its argument, so that a conjugated operand gives the bits
// of the reference routine called on a conjugated copy. Flags name the
// reference's loop forms: `trans` (syrk, syr2k, herk,
// her2k: the 'T' or 'C' form over the logical n x k operand; trmm, trsm:
// 'T' or 'C' over the stored triangle, the conjugate being the operand's).

#include <cstddef>  // std::size_t

#include "zelt/detail/complex.hpp"
#include "zelt/detail/complex_level2.hpp"
#include "zelt/detail/exact.hpp"
#include "zelt/detail/gemm_engine.hpp"

namespace zelt::detail {

/// Element (i, j) of m, conjugated when `conj`.
template <class T>
struct conj_ref {
  mref<T> m;
  bool conj;

  T operator()(std::size_t i, std::size_t j) const noexcept { return conj ? conjugate(m(i, j)) : m(i, j); }
  conj_ref t() const noexcept { return {m.t(), conj}; }
  conj_ref at(std::size_t i, std::size_t j) const noexcept { return {m.at(i, j), conj}; }
  conj_ref conjugated() const noexcept { return {m, !conj}; }
};

// Rows [first, last) of column j of c times beta, as the reference's
// products start: zero when beta == 0, untouched when beta == 1.
template <class T>
ZELT_EXACT_LOOP void complex_scale_column(T beta, mref<T> c, std::size_t j, std::size_t first,
                                          std::size_t last) {
  ZELT_EXACT_ARITHMETIC
  if (beta == T(1)) return;
  for (std::size_t i = first; i < last; ++i) c(i, j) = beta == T(0) ? T(0) : mul(beta, c(i, j));
}

// The same for column j of a Hermitian c, the diagonal (j, j) apart from the
// rows [first, last): the real beta scales it as a real, and even beta == 1
// sets its imaginary part to +0.
template <class T>
ZELT_EXACT_LOOP void hermitian_scale_column(real_t<T> beta, mref<T> c, std::size_t j, std::size_t first,
                                            std::size_t last) {
  ZELT_EXACT_ARITHMETIC
  if (beta != 1) complex_scale_column(T(beta), c, j, first, last);
  T& d = c(j, j);
  d = beta == 0 ? T(0) : T(beta == 1 ? real_of(d) : beta * real_of(d));
}

/// The diagonal element x of a symmetric matrix, or of a Hermitian one, whose
/// imaginary part is not read.
template <class T>
T diagonal_value(bool hermitian, T x) noexcept {
  return hermitian ? T(real_of(x)) : x;
}

/// symm and hemm: c = alpha a b + beta c (left) or alpha b a + beta c
/// (right), c m x n, for the symmetric or Hermitian a whose upper (or lower)
/// triangle is read.
template <class T>
ZELT_EXACT_LOOP void complex_symm(bool hermitian, bool left, bool upper, std::size_t m, std::size_t n,
                                  T alpha, conj_ref<T> a, conj_ref<T> b, T beta, mref<T> c) {
  ZELT_EXACT_ARITHMETIC
  if (m == 0 || n == 0 || (alpha == T(0) && beta == T(1))) return;
  for (std::size_t j = 0; j < n; ++j) {
    if (alpha == T(0)) {
      complex_scale_column(beta, c, j, 0, m);
    } else if (left) {
      for (std::size_t ik = 0; ik < m; ++ik) {
        const std::size_t i = upper ? ik : m - 1 - ik;
        const T temp1 = mul(alpha, b(i, j));
        T temp2 = 0;
        for (std::size_t k = upper ? 0 : i + 1; k < (upper ? i : m); ++k) {
          c(k, j) = c(k, j) + mul(temp1, a(k, i));
          temp2 = temp2 + mul(b(k, j), conjugate_if(hermitian, a(k, i)));
        }
        const T term = mul(temp1, diagonal_value(hermitian, a(i, i)));
        c(i, j) = beta == T(0) ? term + mul(alpha, temp2) : mul(beta, c(i, j)) + term + mul(alpha, temp2);
      }
    } else {
      const T temp1 = mul(alpha, diagonal_value(hermitian, a(j, j)));
      for (std::size_t i = 0; i < m; ++i)
        c(i, j) = beta == T(0) ? mul(temp1, b(i, j)) : mul(beta, c(i, j)) + mul(temp1, b(i, j));
      for (std::size_t k = 0; k < n; ++k) {
        if (k == j) continue;
        // a(k, j) from the stored triangle, or conj(a(j, k)) mirrored
        const bool stored = (k < j) == upper;
        const T temp = mul(alpha, stored ? a(k, j) : conjugate_if(hermitian, a(j, k)));
        for (std::size_t i = 0; i < m; ++i) c(i, j) = c(i, j) + mul(temp, b(i, k));
      }
    }
  }
}

/// syrk: c = alpha a a^T + beta c on the upper (or lower) triangle of the
/// n x n c, a n x k. The 'N' form skips a term whose a(j, l) is zero.
template <class T>
ZELT_EXACT_LOOP void complex_syrk(bool upper, bool trans, std::size_t n, std::size_t k, T alpha,
                                  conj_ref<T> a, T beta, mref<T> c) {
  ZELT_EXACT_ARITHMETIC
  if (n == 0 || ((alpha == T(0) || k == 0) && beta == T(1))) return;
  for (std::size_t j = 0; j < n; ++j) {
    const std::size_t first = upper ? 0 : j, last = upper ? j + 1 : n;
    if (alpha == T(0)) {
      complex_scale_column(beta, c, j, first, last);
    } else if (!trans) {
      complex_scale_column(beta, c, j, first, last);
      for (std::size_t l = 0; l < k; ++l) {
        if (a(j, l) == T(0)) continue;
        const T temp = mul(alpha, a(j, l));
        for (std::size_t i = first; i < last; ++i) c(i, j) = c(i, j) + mul(temp, a(i, l));
      }
    } else {
      for (std::size_t i = first; i < last; ++i) {
        T temp = 0;
        for (std::size_t l = 0; l < k; ++l) temp = temp + mul(a(i, l), a(j, l));
        c(i, j) = beta == T(0) ? mul(alpha, temp) : mul(alpha, temp) + mul(beta, c(i, j));
      }
    }
  }
}

/// herk: c = alpha a a^H + beta c on a triangle of the Hermitian c, alpha and
/// beta real; the diagonal is computed as a real.
template <class T>
ZELT_EXACT_LOOP void complex_herk(bool upper, bool trans, std::size_t n, std::size_t k, real_t<T> alpha,
                                  conj_ref<T> a, real_t<T> beta, mref<T> c) {
  ZELT_EXACT_ARITHMETIC
  using R = real_t<T>;
  if (n == 0 || ((alpha == 0 || k == 0) && beta == 1)) return;
  for (std::size_t j = 0; j < n; ++j) {
    const std::size_t first = upper ? 0 : j + 1, last = upper ? j : n;  // beside the diagonal
    if (alpha == 0) {
      hermitian_scale_column<T>(beta, c, j, first, last);
    } else if (!trans) {
      hermitian_scale_column<T>(beta, c, j, first, last);
      for (std::size_t l = 0; l < k; ++l) {
        if (a(j, l) == T(0)) continue;
        const T temp = mul(T(alpha), conjugate(a(j, l)));
        for (std::size_t i = first; i < last; ++i) c(i, j) = c(i, j) + mul(temp, a(i, l));
        c(j, j) = T(real_of(c(j, j)) + real_of(mul(temp, a(j, l))));
      }
    } else {
      for (std::size_t i = first; i < last; ++i) {
        T temp = 0;
        for (std::size_t l = 0; l < k; ++l) temp = temp + mul(a(i, l), conjugate(a(j, l)));
        c(i, j) = beta == 0 ? mul(T(alpha), temp) : mul(T(alpha), temp) + mul(T(beta), c(i, j));
      }
      R rtemp = 0;
      for (std::size_t l = 0; l < k; ++l) rtemp = rtemp + real_of(mul(a(j, l), conjugate(a(j, l))));
      c(j, j) = T(beta == 0 ? alpha * rtemp : alpha * rtemp + beta * real_of(c(j, j)));
    }
  }
}

/// syr2k: c = alpha a b^T + alpha b a^T + beta c on a triangle of c, a and b
/// n x k. The 'N' form skips a term whose a(j, l) and b(j, l) are both zero.
template <class T>
ZELT_EXACT_LOOP void complex_syr2k(bool upper, bool trans, std::size_t n, std::size_t k, T alpha,
                                   conj_ref<T> a, conj_ref<T> b, T beta, mref<T> c) {
  ZELT_EXACT_ARITHMETIC
  if (n == 0 || ((alpha == T(0) || k == 0) && beta == T(1))) return;
  for (std::size_t j = 0; j < n; ++j) {
    const std::size_t first = upper ? 0 : j, last = upper ? j + 1 : n;
    if (alpha == T(0)) {
      complex_scale_column(beta, c, j, first, last);
    } else if (!trans) {
      complex_scale_column(beta, c, j, first, last);
      for (std::size_t l = 0; l < k; ++l) {
        if (a(j, l) == T(0) && b(j, l) == T(0)) continue;
        const T temp1 = mul(alpha, b(j, l)), temp2 = mul(alpha, a(j, l));
        for (std::size_t i = first; i < last; ++i)
          c(i, j) = c(i, j) + mul(a(i, l), temp1) + mul(b(i, l), temp2);
      }
    } else {
      for (std::size_t i = first; i < last; ++i) {
        T temp1 = 0, temp2 = 0;
        for (std::size_t l = 0; l < k; ++l) {
          temp1 = temp1 + mul(a(i, l), b(j, l));
          temp2 = temp2 + mul(b(i, l), a(j, l));
        }
        c(i, j) = beta == T(0) ? mul(alpha, temp1) + mul(alpha, temp2)
                               : mul(beta, c(i, j)) + mul(alpha, temp1) + mul(alpha, temp2);
      }
    }
  }
}

/// her2k: c = alpha a b^H + conj(alpha) b a^H + beta c on a triangle of the
/// Hermitian c, beta real; the diagonal is computed as a real.
template <class T>
ZELT_EXACT_LOOP void complex_her2k(bool upper, bool trans, std::size_t n, std::size_t k, T alpha,
                                   conj_ref<T> a, conj_ref<T> b, real_t<T> beta, mref<T> c) {
  ZELT_EXACT_ARITHMETIC
  if (n == 0 || ((alpha == T(0) || k == 0) && beta == 1)) return;
  for (std::size_t j = 0; j < n; ++j) {
    const std::size_t first = upper ? 0 : j + 1, last = upper ? j : n;  // beside the diagonal
    if (alpha == T(0)) {
      hermitian_scale_column<T>(beta, c, j, first, last);
    } else if (!trans) {
      hermitian_scale_column<T>(beta, c, j, first, last);
      for (std::size_t l = 0; l < k; ++l) {
        if (a(j, l) == T(0) && b(j, l) == T(0)) continue;
        const T temp1 = mul(alpha, conjugate(b(j, l))), temp2 = conjugate(mul(alpha, a(j, l)));
        for (std::size_t i = first; i < last; ++i)
          c(i, j) = c(i, j) + mul(a(i, l), temp1) + mul(b(i, l), temp2);
        c(j, j) = T(real_of(c(j, j)) + real_of(mul(a(j, l), temp1) + mul(b(j, l), temp2)));
      }
    } else {
      for (std::size_t i = upper ? 0 : j; i < (upper ? j + 1 : n); ++i) {
        T temp1 = 0, temp2 = 0;
        for (std::size_t l = 0; l < k; ++l) {
          temp1 = temp1 + mul(a(i, l), conjugate(b(j, l)));
          temp2 = temp2 + mul(b(i, l), conjugate(a(j, l)));
        }
        const T sum = mul(alpha, temp1) + mul(conjugate(alpha), temp2);
        if (i == j) {
          c(j, j) = T(beta == 0 ? real_of(sum) : beta * real_of(c(j, j)) + real_of(sum));
        } else {
          c(i, j) =
              beta == 0 ? sum : mul(T(beta), c(i, j)) + mul(alpha, temp1) + mul(conjugate(alpha), temp2);
        }
      }
    }
  }
}

// How trmm and trsm start: nothing to do for an empty b, and alpha == 0
// sets b to zero without reading it. True when that is all.
template <class T>
bool triangular3_done(std::size_t m, std::size_t n, T alpha, mref<T> b) {
  if (m == 0 || n == 0) return true;
  if (alpha != T(0)) return false;
  for (std::size_t j = 0; j < n; ++j) complex_scale_column(T(0), b, j, 0, m);
  return true;
}

/// trmm: b = alpha op(a) b (left) or alpha b op(a) (right), b m x n, for the
/// triangular a stored in its upper (or lower) triangle; op(a) is a, or its
/// transpose (trans), with the operand's conjugation.
template <class T>
ZELT_EXACT_LOOP void complex_trmm(bool left, bool upper, bool trans, bool unit, std::size_t m, std::size_t n,
                                  T alpha, conj_ref<T> a, mref<T> b) {
  ZELT_EXACT_ARITHMETIC
  if (triangular3_done(m, n, alpha, b)) return;
  if (left) {
    // 'N' runs k upward for the upper triangle; 'T' runs i the other way
    const bool forward = upper != trans;
    for (std::size_t j = 0; j < n; ++j) {
      for (std::size_t kk = 0; kk < m; ++kk) {
        const std::size_t k = nth(0, m, forward, kk);
        const std::size_t first = upper ? 0 : k + 1, last = upper ? k : m;
        if (!trans) {
          if (b(k, j) == T(0)) continue;
          const T temp = mul(alpha, b(k, j));
          for (std::size_t i = first; i < last; ++i) b(i, j) = b(i, j) + mul(temp, a(i, k));
          b(k, j) = unit ? temp : mul(temp, a(k, k));
        } else {
          T temp = b(k, j);
          if (!unit) temp = mul(temp, a(k, k));
          for (std::size_t i = first; i < last; ++i) temp = temp + mul(a(i, k), b(i, j));
          b(k, j) = mul(alpha, temp);
        }
      }
    }
  } else if (!trans) {
    // column j from the columns k that its sum reads, before they change
    for (std::size_t jj = 0; jj < n; ++jj) {
      const std::size_t j = nth(0, n, !upper, jj);
      const T temp = unit ? alpha : mul(alpha, a(j, j));
      for (std::size_t i = 0; i < m; ++i) b(i, j) = mul(temp, b(i, j));
      for (std::size_t k = upper ? 0 : j + 1; k < (upper ? j : n); ++k) {
        if (a(k, j) == T(0)) continue;
        const T t = mul(alpha, a(k, j));
        for (std::size_t i = 0; i < m; ++i) b(i, j) = b(i, j) + mul(t, b(i, k));
      }
    }
  } else {
    for (std::size_t kk = 0; kk < n; ++kk) {
      const std::size_t k = nth(0, n, upper, kk);
      for (std::size_t j = upper ? 0 : k + 1; j < (upper ? k : n); ++j) {
        if (a(j, k) == T(0)) continue;
        const T t = mul(alpha, a(j, k));
        for (std::size_t i = 0; i < m; ++i) b(i, j) = b(i, j) + mul(t, b(i, k));
      }
      const T temp = unit ? alpha : mul(alpha, a(k, k));
      if (temp != T(1)) {
        for (std::size_t i = 0; i < m; ++i) b(i, k) = mul(temp, b(i, k));
      }
    }
  }
}

/// trsm: solves op(a) x = alpha b (left) or x op(a) = alpha b (right), x over
/// b, for the triangular a as in trmm. No test for singularity.
template <class T>
ZELT_EXACT_LOOP void complex_trsm(bool left, bool upper, bool trans, bool unit, std::size_t m, std::size_t n,
                                  T alpha, conj_ref<T> a, mref<T> b) {
  ZELT_EXACT_ARITHMETIC
  if (triangular3_done(m, n, alpha, b)) return;
  if (left) {
    const bool forward = upper == trans;
    for (std::size_t j = 0; j < n; ++j) {
      if (!trans) complex_scale_column(alpha, b, j, 0, m);
      for (std::size_t kk = 0; kk < m; ++kk) {
        const std::size_t k = nth(0, m, forward, kk);
        const std::size_t first = upper ? 0 : k + 1, last = upper ? k : m;
        if (!trans) {
          if (b(k, j) == T(0)) continue;
          if (!unit) b(k, j) = div(b(k, j), a(k, k));
          for (std::size_t i = first; i < last; ++i) b(i, j) = b(i, j) - mul(b(k, j), a(i, k));
        } else {
          T temp = mul(alpha, b(k, j));
          for (std::size_t i = first; i < last; ++i) temp = temp - mul(a(i, k), b(i, j));
          b(k, j) = unit ? temp : div(temp, a(k, k));
        }
      }
    }
  } else if (!trans) {
    for (std::size_t jj = 0; jj < n; ++jj) {
      const std::size_t j = nth(0, n, upper, jj);
      complex_scale_column(alpha, b, j, 0, m);
      for (std::size_t k = upper ? 0 : j + 1; k < (upper ? j : n); ++k) {
        if (a(k, j) == T(0)) continue;
        for (std::size_t i = 0; i < m; ++i) b(i, j) = b(i, j) - mul(a(k, j), b(i, k));
      }
      if (!unit) {
        const T temp = div(T(1), a(j, j));
        for (std::size_t i = 0; i < m; ++i) b(i, j) = mul(temp, b(i, j));
      }
    }
  } else {
    for (std::size_t kk = 0; kk < n; ++kk) {
      const std::size_t k = nth(0, n, !upper, kk);
      if (!unit) {
        const T temp = div(T(1), a(k, k));
        for (std::size_t i = 0; i < m; ++i) b(i, k) = mul(temp, b(i, k));
      }
      for (std::size_t j = upper ? 0 : k + 1; j < (upper ? k : n); ++j) {
        if (a(j, k) == T(0)) continue;
        const T temp = a(j, k);
        for (std::size_t i = 0; i < m; ++i) b(i, j) = b(i, j) - mul(temp, b(i, k));
      }
      complex_scale_column(alpha, b, k, 0, m);
    }
  }
}

}  // namespace zelt::detail

#endif  // ZELT_DETAIL_COMPLEX_LEVEL3_HPP_
