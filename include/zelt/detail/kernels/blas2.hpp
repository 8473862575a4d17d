// The Level 2 kernels: independent outputs side by side in vector lanes,
// each output's own chain in the reference's order. Included once per kernel
// set by zelt/blas2.hpp (see detail/for_each_kernel_set.hpp).

namespace zelt::detail::ZELT_KERNEL_SET {

// y = beta * y, or 0 when beta == 0 (y is then not read), as the reference
// does before the product when beta != 1.
template <class T, class Y>
ZELT_EXACT_LOOP void scale_by_beta(T beta, Y y, std::size_t n) {
  ZELT_EXACT_ARITHMETIC
  if (beta == 1) return;
  if (beta == 0) {
    for (std::size_t i = 0; i < n; ++i) y[i] = 0;
  } else {
    for (std::size_t i = 0; i < n; ++i) y[i] = beta * y[i];
  }
}

// dgemv('N'): for each column j in order, y[i] = y[i] + (alpha x[j]) a(i, j).
// Eight columns at a time keep each y[i]'s chain in order while it stays in a
// register, and read y once per eight columns.
template <class T, class A, class X, class Y>
ZELT_EXACT_LOOP void gemv_n(std::size_t m, std::size_t n, T alpha, A a, X x, Y y) {
  ZELT_EXACT_ARITHMETIC
  constexpr std::size_t W = 8;
  std::size_t j = 0;
  for (; j + W <= n; j += W) {
    T t[W];
    const T* c[W];
    for (std::size_t k = 0; k < W; ++k) {
      t[k] = alpha * x[j + k];
      c[k] = a.column(j + k);
    }
    for (std::size_t i = 0; i < m; ++i) {
      T yi = y[i];
      for (std::size_t k = 0; k < W; ++k) yi = yi + mul(t[k], c[k][i]);
      y[i] = yi;
    }
  }
  for (; j < n; ++j) {
    const T t = alpha * x[j];
    const T* aj = a.column(j);
    for (std::size_t i = 0; i < m; ++i) y[i] = y[i] + mul(t, aj[i]);
  }
}

// dgemv('T'): y[j] = y[j] + alpha (0 + a(0, j) x[0] + a(1, j) x[1] + ...).
// Each y[j] is one chain over i, bound by the latency of an addition, so
// several columns run side by side to keep the adder busy: two vectors' worth
// but no more than 16 (eight without vectors), then one vector's worth (four),
// then one.
#if ZELT_HAVE_VECTORS
// Lane l of s[g] is the chain of column c[g L + l]: adds, or subtracts,
// c[.][i] x[i] for the rows i of [first, last), in ascending order or, when
// Descending, descending. The chains run in local copies: through the
// pointer, every step would store its sum, since the matrix might lie under
// it.
template <std::size_t B, bool Descending, bool Subtract, class T, class X>
ZELT_EXACT_LOOP void column_chains(const T* const* c, std::size_t first, std::size_t last, X x,
                                   vec<T>* sums) {
  ZELT_EXACT_ARITHMETIC
  constexpr std::size_t L = lanes<T>;
  vec<T> s[B];
  for (std::size_t g = 0; g < B; ++g) s[g] = sums[g];
  if (!Descending) {
    std::size_t i = first;
    for (; i + L <= last; i += L) {
      for (std::size_t g = 0; g < B; ++g) {
        vec<T> r[L];
        for (std::size_t k = 0; k < L; ++k) r[k] = load(c[g * L + k] + i);
        transpose(r);
        for (std::size_t u = 0; u < L; ++u)
          s[g] = Subtract ? s[g] - r[u] * broadcast(x[i + u]) : s[g] + r[u] * broadcast(x[i + u]);
      }
    }
    for (; i < last; ++i) {
      const vec<T> xi = broadcast(x[i]);
      for (std::size_t g = 0; g < B; ++g) {
        vec<T> v;
        for (std::size_t k = 0; k < L; ++k) v[k] = c[g * L + k][i];
        s[g] = Subtract ? s[g] - v * xi : s[g] + v * xi;
      }
    }
  } else {
    std::size_t i = last;  // rows [first, i) remain
    for (; i >= first + L; i -= L) {
      for (std::size_t g = 0; g < B; ++g) {
        vec<T> r[L];
        for (std::size_t k = 0; k < L; ++k) r[k] = load(c[g * L + k] + (i - L));
        transpose(r);
        for (std::size_t u = L; u-- > 0;)
          s[g] = Subtract ? s[g] - r[u] * broadcast(x[i - L + u]) : s[g] + r[u] * broadcast(x[i - L + u]);
      }
    }
    for (; i > first; --i) {
      const vec<T> xi = broadcast(x[i - 1]);
      for (std::size_t g = 0; g < B; ++g) {
        vec<T> v;
        for (std::size_t k = 0; k < L; ++k) v[k] = c[g * L + k][i - 1];
        s[g] = Subtract ? s[g] - v * xi : s[g] + v * xi;
      }
    }
  }
  for (std::size_t g = 0; g < B; ++g) sums[g] = s[g];
}

// The chains of columns j .. j + B L - 1 of dgemv('T'), one per vector lane:
// each block of L rows is loaded column by column, transposed so that a
// vector holds one row across L columns, and added row after row. B groups
// of L columns run side by side so that the adder's latency is hidden.
template <std::size_t B, class T, class A, class X>
void gemv_t_lanes(std::size_t m, std::size_t j, A a, X x, T* sums) {
  const T* c[B * lanes<T>];
  for (std::size_t k = 0; k < B * lanes<T>; ++k) c[k] = a.column(j + k);
  vec<T> s[B] = {};
  column_chains<B, false, false>(c, 0, m, x, s);
  for (std::size_t g = 0; g < B; ++g) store(sums + g * lanes<T>, s[g]);
}
#endif

// The same W chains in scalar registers, for builds without vectors and for
// the last columns.
template <std::size_t W, class T, class A, class X>
ZELT_EXACT_LOOP void gemv_t_scalar(std::size_t m, std::size_t j, A a, X x, T* sums) {
  ZELT_EXACT_ARITHMETIC
  const T* c[W];
  T s[W];
  for (std::size_t k = 0; k < W; ++k) {
    c[k] = a.column(j + k);
    s[k] = 0;
  }
  for (std::size_t i = 0; i < m; ++i) {
    const T xi = x[i];
    for (std::size_t k = 0; k < W; ++k) s[k] = s[k] + mul(c[k][i], xi);
  }
  for (std::size_t k = 0; k < W; ++k) sums[k] = s[k];
}

// Columns j .. j + W - 1 of dgemv('T'): y[j + k] = y[j + k] + alpha s_k.
template <std::size_t W, class T, class A, class X, class Y>
ZELT_EXACT_LOOP void gemv_t_columns(std::size_t m, std::size_t j, T alpha, A a, X x, Y y) {
  ZELT_EXACT_ARITHMETIC
  T s[W];
#if ZELT_HAVE_VECTORS
  if constexpr (W % lanes<T> == 0) {
    gemv_t_lanes<W / lanes<T>>(m, j, a, x, s);
  } else {
    gemv_t_scalar<W>(m, j, a, x, s);
  }
#else
  gemv_t_scalar<W>(m, j, a, x, s);
#endif
  for (std::size_t k = 0; k < W; ++k) y[j + k] = y[j + k] + mul(alpha, s[k]);
}

template <class T, class A, class X, class Y>
void gemv_t(std::size_t m, std::size_t n, T alpha, A a, X x, Y y) {
#if ZELT_HAVE_VECTORS
  // more than 16 columns are more streams from memory than the prefetchers
  // follow: 32 columns of float ran at half the speed of 16 from memory
  constexpr std::size_t wide = std::min<std::size_t>(2 * lanes<T>, 16), narrow = lanes<T>;
#else
  constexpr std::size_t wide = 8, narrow = 4;
#endif
  std::size_t j = 0;
  for (; j + wide <= n; j += wide) gemv_t_columns<wide>(m, j, alpha, a, x, y);
  for (; j + narrow <= n; j += narrow) gemv_t_columns<narrow>(m, j, alpha, a, x, y);
  for (; j < n; ++j) gemv_t_columns<1>(m, j, alpha, a, x, y);
}

// dger: for each column j with y[j] != 0, a(i, j) = a(i, j) + x[i] (alpha y[j]).
template <class T, class A, class X, class Y>
ZELT_EXACT_LOOP void ger_kernel(std::size_t m, std::size_t n, T alpha, X x, Y y, A a) {
  ZELT_EXACT_ARITHMETIC
  for (std::size_t j = 0; j < n; ++j) {
    if (y[j] == 0) continue;
    const T t = alpha * y[j];
    T* aj = a.column(j);
    for (std::size_t i = 0; i < m; ++i) aj[i] = aj[i] + mul(x[i], t);
  }
}

// dsymv, from the triangle `upper` of the column-major storage. Column j
// adds t1 = alpha x[j] times its off-diagonal part to y and folds that part
// against x into its own chain t2, which it adds to y[j] at the end:
//   upper: y[i] += t1 a(i, j) and t2 += a(i, j) x[i] for i < j, then
//          y[j] = (y[j] + t1 a(j, j)) + alpha t2;
//   lower: y[j] += t1 a(j, j), then the same for i > j, then y[j] += alpha t2.
// Columns go in blocks of `width`: the rows outside the block's triangle see
// the block's columns in order, and its triangle is done column by column,
// so every y[i] and every t2 gets its terms in the reference's order, while
// `width` chains t2 run side by side.
// The rows [first, last) outside a block of W columns: every y[i] takes the
// block's columns in order, every column's chain t2 takes the rows in order.
template <std::size_t W, class T, class X, class Y>
ZELT_EXACT_LOOP void symv_rows(std::size_t first, std::size_t last, const T* t1, T* t2, const T* const* c,
                               X x, Y y) {
  ZELT_EXACT_ARITHMETIC
  std::size_t i = first;
#if ZELT_HAVE_VECTORS
  if constexpr (W == lanes<T>) {
    // L rows at a time: lane l of yv is row i + l's chain; after a transpose,
    // lane k of t2v is column k's chain.
    constexpr std::size_t L = lanes<T>;
    vec<T> t2v;
    for (std::size_t k = 0; k < L; ++k) t2v[k] = t2[k];  // the chains so far (the triangle's, for lower)
    for (; i + L <= last; i += L) {
      vec<T> r[L], yv;
      for (std::size_t l = 0; l < L; ++l) yv[l] = y[i + l];
      for (std::size_t k = 0; k < L; ++k) {
        r[k] = load(c[k] + i);
        yv = yv + broadcast(t1[k]) * r[k];  // from memory: 2 L registers would not fit
      }
      transpose(r);
      // x from memory too, read before y is written: a broadcast from a
      // register takes a shuffle, and the transpose keeps the shuffles busy
      for (std::size_t l = 0; l < L; ++l) t2v = t2v + r[l] * broadcast(x[i + l]);
      for (std::size_t l = 0; l < L; ++l) y[i + l] = yv[l];
    }
    for (std::size_t k = 0; k < L; ++k) t2[k] = t2v[k];
  }
#endif
  for (; i < last; ++i) {
    const T xi = x[i];
    T yi = y[i];
    for (std::size_t k = 0; k < W; ++k) {
      yi = yi + mul(t1[k], c[k][i]);
      t2[k] = t2[k] + mul(c[k][i], xi);
    }
    y[i] = yi;
  }
}

template <std::size_t W, class T, class A, class X, class Y>
ZELT_EXACT_LOOP void symv_block(bool upper, std::size_t n, std::size_t j0, T alpha, A a, X x, Y y) {
  ZELT_EXACT_ARITHMETIC
  T t1[W], t2[W];
  const T* c[W];
  for (std::size_t k = 0; k < W; ++k) {
    t1[k] = alpha * x[j0 + k];
    t2[k] = 0;
    c[k] = a.column(j0 + k);
  }
  if (upper) {
    symv_rows<W>(0, j0, t1, t2, c, x, y);  // the rows above the block
    for (std::size_t k = 0; k < W; ++k) {  // the block's triangle
      const std::size_t j = j0 + k;
      for (std::size_t i = j0; i < j; ++i) {
        y[i] = y[i] + mul(t1[k], c[k][i]);
        t2[k] = t2[k] + mul(c[k][i], x[i]);
      }
      y[j] = (y[j] + mul(t1[k], c[k][j])) + mul(alpha, t2[k]);
    }
  } else {
    for (std::size_t k = 0; k < W; ++k) {  // the block's triangle
      const std::size_t j = j0 + k;
      y[j] = y[j] + mul(t1[k], c[k][j]);
      for (std::size_t i = j + 1; i < j0 + W; ++i) {
        y[i] = y[i] + mul(t1[k], c[k][i]);
        t2[k] = t2[k] + mul(c[k][i], x[i]);
      }
    }
    symv_rows<W>(j0 + W, n, t1, t2, c, x, y);  // the rows below the block
    for (std::size_t k = 0; k < W; ++k) y[j0 + k] = y[j0 + k] + mul(alpha, t2[k]);
  }
}

template <class T, class A, class X, class Y>
void symv_kernel(bool upper, std::size_t n, T alpha, A a, X x, Y y) {
#if ZELT_HAVE_VECTORS
  constexpr std::size_t width = lanes<T>;
#else
  constexpr std::size_t width = 8;
#endif
  std::size_t j0 = 0;
  for (; j0 + width <= n; j0 += width) symv_block<width>(upper, n, j0, alpha, a, x, y);
  for (; j0 < n; ++j0) symv_block<1>(upper, n, j0, alpha, a, x, y);
}

// dsyr: for each column j with x[j] != 0, the triangle's part of it gets
// x[i] (alpha x[j]) added.
template <class T, class A, class X>
ZELT_EXACT_LOOP void syr_kernel(bool upper, std::size_t n, T alpha, X x, A a) {
  ZELT_EXACT_ARITHMETIC
  for (std::size_t j = 0; j < n; ++j) {
    if (x[j] == 0) continue;
    const T t = alpha * x[j];
    T* aj = a.column(j);
    const std::size_t first = upper ? 0 : j, last = upper ? j + 1 : n;
    for (std::size_t i = first; i < last; ++i) aj[i] = aj[i] + mul(x[i], t);
  }
}

// dsyr2: for each column j with x[j] != 0 or y[j] != 0,
// a(i, j) = (a(i, j) + x[i] (alpha y[j])) + y[i] (alpha x[j]).
template <class T, class A, class X, class Y>
ZELT_EXACT_LOOP void syr2_kernel(bool upper, std::size_t n, T alpha, X x, Y y, A a) {
  ZELT_EXACT_ARITHMETIC
  for (std::size_t j = 0; j < n; ++j) {
    if (x[j] == 0 && y[j] == 0) continue;
    const T t1 = alpha * y[j], t2 = alpha * x[j];
    T* aj = a.column(j);
    const std::size_t first = upper ? 0 : j, last = upper ? j + 1 : n;
    for (std::size_t i = first; i < last; ++i) aj[i] = (aj[i] + mul(x[i], t1)) + mul(y[i], t2);
  }
}

// x[i] = x[i] + t[k] c[k][i] (minus, for a solve) for the rows [first, last)
// and the columns c[0], c[1], ... in that order: the order in which the
// reference's column loop reaches each of these x[i].
template <bool Solve, std::size_t W, class T, class X>
ZELT_EXACT_LOOP void update_rows(std::size_t first, std::size_t last, const T* const* c, const T* t, X x) {
  ZELT_EXACT_ARITHMETIC
  for (std::size_t i = first; i < last; ++i) {
    T xi = x[i];
    for (std::size_t k = 0; k < W; ++k) xi = Solve ? xi - mul(t[k], c[k][i]) : xi + mul(t[k], c[k][i]);
    x[i] = xi;
  }
}

template <bool Solve, class T, class X>
void update_rows(std::size_t count, std::size_t first, std::size_t last, const T* const* c, const T* t, X x) {
  switch (count) {
    case 4:
      return update_rows<Solve, 4>(first, last, c, t, x);
    case 3:
      return update_rows<Solve, 3>(first, last, c, t, x);
    case 2:
      return update_rows<Solve, 2>(first, last, c, t, x);
    case 1:
      return update_rows<Solve, 1>(first, last, c, t, x);
    default:
      return;
  }
}

// One column of dtrmv('N') or dtrsv('N'): unless x[j] is exactly 0 (then the
// reference skips the column and this returns false), the diagonal step and
// the rows [first, last) of the column's off-diagonal part; `t` gets the
// multiplier the other rows need.
template <bool Solve, class T, class X>
ZELT_EXACT_LOOP bool triangular_column(bool unit, std::size_t j, const T* aj, std::size_t first,
                                       std::size_t last, X x, T& t) {
  ZELT_EXACT_ARITHMETIC
  if (x[j] == 0) return false;
  if (Solve) {
    if (!unit) x[j] = x[j] / aj[j];
    t = x[j];
    for (std::size_t i = first; i < last; ++i) x[i] = x[i] - mul(t, aj[i]);
  } else {
    t = x[j];
    for (std::size_t i = first; i < last; ++i) x[i] = x[i] + mul(t, aj[i]);
    if (!unit) x[j] = x[j] * aj[j];
  }
  return true;
}

// The column loop of dtrmv('N') (Solve false) and dtrsv('N') (Solve true),
// in the reference's order (up for trmv upper and trsv lower, down otherwise),
// four columns at a time. A block's own triangle goes column by column; the
// rows outside it, which its columns only update, then see the block's
// columns in the same order, in one pass. Skipped columns stay out.
template <bool Solve, class A, class X>
void triangular_block(bool upper, bool unit, std::size_t n, std::size_t j0, std::size_t w, bool ascending,
                      A a, X x) {
  using T = typename A::value_type;
  constexpr std::size_t W = 4;  // w <= W: the block is columns [j0, j0 + w)
  T t[W];
  const T* c[W];
  std::size_t active = 0;
  for (std::size_t k = 0; k < w; ++k) {
    const std::size_t j = ascending ? j0 + k : j0 + w - 1 - k;
    const T* aj = a.column(j);
    const std::size_t first = upper ? j0 : j + 1, last = upper ? j : j0 + w;
    if (triangular_column<Solve>(unit, j, aj, first, last, x, t[active])) c[active++] = aj;
  }
  if (upper) {
    update_rows<Solve>(active, 0, j0, c, t, x);
  } else {
    update_rows<Solve>(active, j0 + w, n, c, t, x);
  }
}

template <bool Solve, class A, class X>
void triangular_n(bool upper, bool unit, std::size_t n, A a, X x) {
  constexpr std::size_t W = 4;
  const bool ascending = Solve != upper;
  for (std::size_t done = 0; done < n;) {
    const std::size_t remaining = n - done;
    const std::size_t w = remaining < W ? remaining : W;
    triangular_block<Solve>(upper, unit, n, ascending ? done : remaining - w, w, ascending, a, x);
    done += w;
  }
}

// The 'T' forms of dtrmv and dtrsv: x[j] becomes one chain over its column,
//   trmv upper: x[j] a(j, j) + a(j - 1, j) x[j - 1] + ... + a(0, j) x[0]
//   trmv lower: x[j] a(j, j) + a(j + 1, j) x[j + 1] + ... + a(n - 1, j) x[n - 1]
//   trsv upper: (x[j] - a(0, j) x[0] - ... - a(j - 1, j) x[j - 1]) / a(j, j)
//   trsv lower: (x[j] - a(n - 1, j) x[n - 1] - ... - a(j + 1, j) x[j + 1]) / a(j, j)
// (no diagonal step when it is unit), columns in the reference's order: down
// for trmv upper and trsv lower, up otherwise. trmv's chains read only
// elements of x not yet rewritten, trsv's only finished ones.
//
// W = B L neighbouring columns run side by side, one chain per vector lane:
// the rows all of them share (below the block for upper, above it for lower)
// go in lockstep, L rows of the W columns loaded and transposed at a time;
// the rows inside the block, where the columns' triangles differ, go column
// by column: before the shared rows for trmv, whose chains start at the
// diagonal, after them for trsv, whose chains end there and need the block's
// own results one after the other.
#if ZELT_HAVE_VECTORS
// Columns [j, j + B L) of dtrmv('T') (Solve false) or dtrsv('T') (Solve
// true). trmv: every chain from its diagonal through the block's rows, then
// the shared rows in lockstep. trsv: the shared rows, all finished, in
// lockstep, then the block's own rows column by column, each column's result
// finished before the next one needs it. The shared rows lie below the block
// for upper, above it for lower, and are visited from the diagonal outwards
// for trmv, towards it for trsv.
template <bool Solve, std::size_t B, class A, class X>
ZELT_EXACT_LOOP void triangular_t_block(bool upper, bool unit, std::size_t n, std::size_t j, A a, X x) {
  ZELT_EXACT_ARITHMETIC
  using T = typename A::value_type;
  constexpr std::size_t L = lanes<T>, W = B * L;
  const T* c[W];
  alignas(64) T t[W];
  for (std::size_t w = 0; w < W; ++w) {
    c[w] = a.column(j + w);
    t[w] = x[j + w];
    if (Solve) continue;
    if (!unit) t[w] = t[w] * c[w][j + w];
    if (upper) {
      for (std::size_t i = j + w; i-- > j;) t[w] = t[w] + mul(c[w][i], x[i]);
    } else {
      for (std::size_t i = j + w + 1; i < j + W; ++i) t[w] = t[w] + mul(c[w][i], x[i]);
    }
  }
  vec<T> s[B];
  for (std::size_t g = 0; g < B; ++g) s[g] = load(t + g * L);
  constexpr bool up_descending = !Solve;  // the shared rows of an upper block
  if (upper) {
    column_chains<B, up_descending, Solve>(c, 0, j, x, s);
  } else {
    column_chains<B, !up_descending, Solve>(c, j + W, n, x, s);
  }
  for (std::size_t g = 0; g < B; ++g) store(t + g * L, s[g]);
  for (std::size_t step = 0; step < W; ++step) {
    const std::size_t w = upper ? step : W - 1 - step;
    T r = t[w];
    if (Solve) {
      if (upper) {
        for (std::size_t i = j; i < j + w; ++i) r = r - mul(c[w][i], x[i]);
      } else {
        for (std::size_t i = j + W; --i > j + w;) r = r - mul(c[w][i], x[i]);
      }
      if (!unit) r = r / c[w][j + w];
    }
    x[j + w] = r;
  }
}
#endif

// One column of the 'T' forms, for the columns outside the blocks.
template <bool Solve, class A, class X>
ZELT_EXACT_LOOP void triangular_t_column(bool upper, bool unit, std::size_t n, std::size_t j, A a, X x) {
  ZELT_EXACT_ARITHMETIC
  using T = typename A::value_type;
  const T* aj = a.column(j);
  T t = x[j];
  if (Solve) {
    if (upper) {
      for (std::size_t i = 0; i < j; ++i) t = t - mul(aj[i], x[i]);
    } else {
      for (std::size_t i = n; --i > j;) t = t - mul(aj[i], x[i]);
    }
    if (!unit) t = t / aj[j];
  } else {
    if (!unit) t = t * aj[j];
    if (upper) {
      for (std::size_t i = j; i-- > 0;) t = t + mul(aj[i], x[i]);
    } else {
      for (std::size_t i = j + 1; i < n; ++i) t = t + mul(aj[i], x[i]);
    }
  }
  x[j] = t;
}

// The column order of the 'T' forms: blocks of W columns taken from the end
// the reference starts at, the columns left over last, one by one, still in
// the reference's direction. Either direction only ever reads values of x
// that the reference reads at that point.
template <bool Solve, class A, class X>
void triangular_t(bool upper, bool unit, std::size_t n, A a, X x) {
  const bool ascending = Solve == upper;
  std::size_t done = 0;
#if ZELT_HAVE_VECTORS
  using T = typename A::value_type;
  constexpr std::size_t W = 2 * lanes<T>;
  for (; done + W <= n; done += W) {
    const std::size_t j = ascending ? done : n - done - W;
    triangular_t_block<Solve, 2>(upper, unit, n, j, a, x);
  }
#endif
  for (; done < n; ++done) triangular_t_column<Solve>(upper, unit, n, ascending ? done : n - 1 - done, a, x);
}

// dtrmv: x = op(a) x for the triangle `upper` of the storage, op = transpose
// when `trans`.
template <class A, class X>
void trmv_kernel(bool upper, bool trans, bool unit, std::size_t n, A a, X x) {
  if (trans) {
    triangular_t<false>(upper, unit, n, a, x);
  } else {
    triangular_n<false>(upper, unit, n, a, x);
  }
}

// dtrsv: solves op(a) x = b in place, b on entry in x.
template <class A, class X>
void trsv_kernel(bool upper, bool trans, bool unit, std::size_t n, A a, X x) {
  if (trans) {
    triangular_t<true>(upper, unit, n, a, x);
  } else {
    triangular_n<true>(upper, unit, n, a, x);
  }
}

}  // namespace zelt::detail::ZELT_KERNEL_SET
