// The band kernels: several columns' chains side by side in vector lanes,
// each chain in the reference's order. Included once per kernel set by
// zelt/blas2_band.hpp (see detail/for_each_kernel_set.hpp).

namespace zelt::detail::ZELT_KERNEL_SET {

// dgbmv('N'): for each column j in order, y[i] = y[i] + (alpha x[j]) a(i, j)
// over the column's band.
template <class T, class X, class Y>
ZELT_EXACT_LOOP void gbmv_n(const reference_band<T>& a, T alpha, X x, Y y) {
  ZELT_EXACT_ARITHMETIC
  for (std::size_t j = 0; j < a.cols; ++j) {
    const T t = alpha * x[j];
    const T* c = a.column(j);
    const std::size_t last = a.last(j);
    for (std::size_t i = a.first(j); i < last; ++i) y[i] = y[i] + mul(t, c[i]);
  }
}

// One column's chain from `start`: + a(i, j) x[i] over the rows [first(j),
// last(j)), ascending, or descending.
template <bool Descending, class Band, class X, class T = typename Band::value_type>
ZELT_EXACT_LOOP T band_chain(const Band& a, std::size_t j, X x, T start) {
  ZELT_EXACT_ARITHMETIC
  const T* c = a.column(j);
  T s = start;
  const std::size_t first = a.first(j), last = a.last(j);
  if (Descending) {
    for (std::size_t i = last; i-- > first;) s = s + mul(c[i], x[i]);
  } else {
    for (std::size_t i = first; i < last; ++i) s = s + mul(c[i], x[i]);
  }
  return s;
}

#if ZELT_HAVE_VECTORS
// x[i], x[i + 1], ... in the lanes of a vector.
template <class X>
auto load_lanes(X x, std::size_t i) noexcept {
  using T = std::remove_const_t<std::remove_reference_t<decltype(x[i])>>;
  vec<T> v;
  for (std::size_t l = 0; l < lanes<T>; ++l) v[l] = x[i + l];
  return v;
}
template <class T>
auto load_lanes(unit_access<T> x, std::size_t i) noexcept {
  return load(x.p + i);
}
#endif

// The chains of the columns j in [j0, j1): chains[j - j0] holds the start of
// column j's chain on entry and its end on return (band_chain). Where W
// neighbouring columns have bands of one length, each starting a row below
// the one before (the inside of a band), their chains run in the lanes of
// vectors, two vectors side by side: term t of column j + w's chain lies
// on line first(j) - j + t of its storage column (ascending), so an L x L
// block of L columns is loaded and transposed, and the x elements the lanes
// need are L consecutive ones.
template <bool Descending, class Band, class X, class T>
ZELT_EXACT_LOOP void band_chains(const Band& a, std::size_t j0, std::size_t j1, X x, T* chains) {
  ZELT_EXACT_ARITHMETIC
  std::size_t j = j0;
#if ZELT_HAVE_VECTORS
  constexpr std::size_t L = lanes<T>, B = 2, W = B * L;
  for (; j + W <= j1; j += W) {
    const std::size_t first = a.first(j), last = a.last(j), length = last - first;
    bool inside = true;
    for (std::size_t w = 1; w < W; ++w)
      inside = inside && a.first(j + w) == first + w && a.last(j + w) == last + w;
    if (!inside) {
      for (std::size_t w = 0; w < W; ++w)
        chains[j + w - j0] = band_chain<Descending>(a, j + w, x, chains[j + w - j0]);
      continue;
    }
    if (length == 0) continue;  // no terms: every chain stays its start
    // lane w's term t is c[w][t] (ascending) or c[w][-t] (descending)
    const T* c[W];
    for (std::size_t w = 0; w < W; ++w) c[w] = a.column(j + w) + (Descending ? last - 1 + w : first + w);
    vec<T> s[B];
    for (std::size_t g = 0; g < B; ++g) s[g] = load(chains + (j - j0) + g * L);
    std::size_t t = 0;
    for (; t + L <= length; t += L) {
      for (std::size_t g = 0; g < B; ++g) {
        vec<T> r[L];
        for (std::size_t k = 0; k < L; ++k)
          r[k] = load(Descending ? c[g * L + k] - (t + L - 1) : c[g * L + k] + t);
        transpose(r);
        for (std::size_t u = 0; u < L; ++u) {
          const vec<T> xv = load_lanes(x, Descending ? last - 1 - t - u + g * L : first + t + u + g * L);
          s[g] = s[g] + (Descending ? r[L - 1 - u] : r[u]) * xv;
        }
      }
    }
    for (; t < length; ++t) {
      for (std::size_t g = 0; g < B; ++g) {
        vec<T> v;
        for (std::size_t k = 0; k < L; ++k) v[k] = Descending ? *(c[g * L + k] - t) : c[g * L + k][t];
        s[g] = s[g] + v * load_lanes(x, Descending ? last - 1 - t + g * L : first + t + g * L);
      }
    }
    for (std::size_t g = 0; g < B; ++g) store(chains + (j - j0) + g * L, s[g]);
  }
#endif
  for (; j < j1; ++j) chains[j - j0] = band_chain<Descending>(a, j, x, chains[j - j0]);
}

// Columns go through band_chains in chunks of this many, the sums of a chunk
// kept on the stack. (The kernels loop over the chunks themselves rather
// than hand a lambda the sums: a lambda is a function of its own, outside
// the kernel's guard against fused multiply-adds.)
inline constexpr std::size_t band_chunk = 256;

// dgbmv('T'): y[j] = y[j] + alpha (0 + a(f, j) x[f] + ... ) over column j's band.
template <class T, class X, class Y>
ZELT_EXACT_LOOP void gbmv_t(const reference_band<T>& a, T alpha, X x, Y y) {
  ZELT_EXACT_ARITHMETIC
  T sums[band_chunk];
  for (std::size_t j0 = 0; j0 < a.cols; j0 += band_chunk) {
    const std::size_t j1 = a.cols - j0 < band_chunk ? a.cols : j0 + band_chunk;
    for (std::size_t j = j0; j < j1; ++j) sums[j - j0] = 0;
    band_chains<false>(a, j0, j1, x, sums);
    for (std::size_t j = j0; j < j1; ++j) y[j] = y[j] + mul(alpha, sums[j - j0]);
  }
}

// dsbmv on the triangle `upper` of the storage (k diagonals beside the main
// one). Column j adds t1 = alpha x[j] times its off-diagonal part to y and
// folds that part against x into its own chain t2:
//   upper: y[i] += t1 a(i, j), t2 += a(i, j) x[i] for i in [j - k, j), then
//          y[j] = (y[j] + t1 a(j, j)) + alpha t2;
//   lower: y[j] += t1 a(j, j), then the same for i in (j, j + k], then
//          y[j] += alpha t2.
// The chains t2 read only A and x, so they are computed first, side by side;
// the column loop then applies them in the reference's order.
template <class T, class X, class Y>
ZELT_EXACT_LOOP void sbmv_kernel(const off_diagonal_band<T>& b, T alpha, X x, Y y) {
  ZELT_EXACT_ARITHMETIC
  const std::size_t n = b.rows;
  T sums[band_chunk];
  for (std::size_t j0 = 0; j0 < n; j0 += band_chunk) {
    const std::size_t j1 = n - j0 < band_chunk ? n : j0 + band_chunk;
    for (std::size_t j = j0; j < j1; ++j) sums[j - j0] = 0;
    band_chains<false>(b, j0, j1, x, sums);
    for (std::size_t j = j0; j < j1; ++j) {
      const T t1 = alpha * x[j], t2 = sums[j - j0];
      const T* c = b.column(j);
      const T diag = c[j];
      const std::size_t first = b.first(j), last = b.last(j);
      if (b.upper) {
        for (std::size_t i = first; i < last; ++i) y[i] = y[i] + mul(t1, c[i]);
        y[j] = (y[j] + mul(t1, diag)) + mul(alpha, t2);
      } else {
        y[j] = y[j] + mul(t1, diag);
        for (std::size_t i = first; i < last; ++i) y[i] = y[i] + mul(t1, c[i]);
        y[j] = y[j] + mul(alpha, t2);
      }
    }
  }
}

// dtbmv on the triangle `upper` of the storage; op = transpose when `trans`.
//   'N', upper: columns up, unless x[j] == 0: x[i] += x[j] a(i, j) for i in
//        [j - k, j), then x[j] *= a(j, j); lower: columns down, rows (j, j + k]
//        from the bottom, then the diagonal.
//   'T': x[j] = x[j] a(j, j) + a(i, j) x[i] + ... with i from the diagonal
//        outwards; upper: columns down, lower: columns up. Every chain reads
//        only elements of x that are not yet rewritten.
template <class T, class X>
ZELT_EXACT_LOOP void tbmv_kernel(const off_diagonal_band<T>& b, bool trans, bool unit, X x) {
  ZELT_EXACT_ARITHMETIC
  const std::size_t n = b.rows;
  if (!trans) {
    for (std::size_t step = 0; step < n; ++step) {
      const std::size_t j = b.upper ? step : n - 1 - step;
      if (x[j] == 0) continue;
      const T t = x[j];
      const T* c = b.column(j);
      const std::size_t first = b.first(j), last = b.last(j);
      for (std::size_t i = first; i < last; ++i) x[i] = x[i] + mul(t, c[i]);
      if (!unit) x[j] = x[j] * c[j];
    }
  } else {
    // Every chain reads only elements of x that the columns before it in
    // the reference's order have not rewritten, so a chunk's chains are all
    // computed before the chunk's x is.
    T chains[band_chunk];
    for (std::size_t done = 0; done < n; done += band_chunk) {
      const std::size_t count = n - done < band_chunk ? n - done : band_chunk;
      const std::size_t j0 = b.upper ? n - done - count : done;
      for (std::size_t j = j0; j < j0 + count; ++j) chains[j - j0] = unit ? x[j] : x[j] * b.column(j)[j];
      if (b.upper) {
        band_chains<true>(b, j0, j0 + count, x, chains);
      } else {
        band_chains<false>(b, j0, j0 + count, x, chains);
      }
      for (std::size_t j = j0; j < j0 + count; ++j) x[j] = chains[j - j0];
    }
  }
}

// dtbsv: solves op(a) x = b in place, b on entry in x.
//   'N', upper: columns down, unless x[j] == 0: x[j] /= a(j, j), then
//        x[i] -= x[j] a(i, j) for i in [j - k, j); lower: columns up.
//   'T': x[j] = (x[j] - a(i, j) x[i] - ...) / a(j, j), i towards the
//        diagonal; upper: columns up, lower: columns down.
template <class T, class X>
ZELT_EXACT_LOOP void tbsv_kernel(const off_diagonal_band<T>& b, bool trans, bool unit, X x) {
  ZELT_EXACT_ARITHMETIC
  const std::size_t n = b.rows;
  if (!trans) {
    for (std::size_t step = 0; step < n; ++step) {
      const std::size_t j = b.upper ? n - 1 - step : step;
      if (x[j] == 0) continue;
      const T* c = b.column(j);
      if (!unit) x[j] = x[j] / c[j];
      const T t = x[j];
      const std::size_t first = b.first(j), last = b.last(j);
      for (std::size_t i = first; i < last; ++i) x[i] = x[i] - mul(t, c[i]);
    }
  } else {
    for (std::size_t step = 0; step < n; ++step) {
      const std::size_t j = b.upper ? step : n - 1 - step;
      const T* c = b.column(j);
      T t = x[j];
      const std::size_t first = b.first(j), last = b.last(j);
      if (b.upper) {
        for (std::size_t i = first; i < last; ++i) t = t - mul(c[i], x[i]);
      } else {
        for (std::size_t i = last; i-- > first;) t = t - mul(c[i], x[i]);
      }
      if (!unit) t = t / c[j];
      x[j] = t;
    }
  }
}

}  // namespace zelt::detail::ZELT_KERNEL_SET
