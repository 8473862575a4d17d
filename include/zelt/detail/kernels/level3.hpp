// The Level 3 operations in the reference BLAS's own terms, per kernel set.
// Included once per kernel set by detail/level3.hpp (see
// detail/for_each_kernel_set.hpp).

namespace zelt::detail::ZELT_KERNEL_SET {

// ---------------------------------------------------------------------------
// Elementwise passes. Each is one rounding per element, or two products and a
// sum, exactly as the reference writes them.

// Each pass is written over an accessor C, an mref<T> or a unit_rows_ref, and
// called on an mref<T> through with_unit_rows: contiguous columns vectorise.

/// c = 0 (beta == 0, c not read) or beta c (beta != 1) on rows [lo(j), hi(j)).
template <class Rows, class C, class T>
ZELT_EXACT_LOOP void scale_columns_of(T beta, std::size_t n, const Rows& rows, C c) {
  ZELT_EXACT_ARITHMETIC
  for (std::size_t j = 0; j < n; ++j) {
    const std::size_t lo = rows(j).first, hi = rows(j).second;
    if (lo >= hi) continue;
    const auto cj = c.column(lo, j);
    if (beta == 0.0) {
      for (std::size_t i = 0; i < hi - lo; ++i) cj[i] = 0.0;
    } else {
      for (std::size_t i = 0; i < hi - lo; ++i) cj[i] = beta * cj[i];
    }
  }
}
template <class Rows, class T>
void scale_columns(T beta, std::size_t n, const Rows& rows, mref<T> c) {
  if (beta != 1.0) with_unit_rows([&](auto cu) { scale_columns_of(beta, n, rows, cu); }, c);
}

struct all_rows {
  std::size_t m;
  std::pair<std::size_t, std::size_t> operator()(std::size_t) const noexcept { return {0, m}; }
};

/// c = alpha w (beta == 0) or alpha w + beta c, on rows [lo(j), hi(j)): the
/// end of a chain that was summed from zero into w.
template <class Rows, class C, class T>
ZELT_EXACT_LOOP void finish_sum_of(std::size_t n, const Rows& rows, T alpha, const T* w, std::size_t ldw,
                                   T beta, C c) {
  ZELT_EXACT_ARITHMETIC
  for (std::size_t j = 0; j < n; ++j) {
    const std::size_t lo = rows(j).first, hi = rows(j).second;
    if (lo >= hi) continue;
    const auto cj = c.column(lo, j);
    const T* wj = w + lo + j * ldw;
    if (beta == 0.0) {
      for (std::size_t i = 0; i < hi - lo; ++i) cj[i] = mul(alpha, wj[i]);
    } else {
      for (std::size_t i = 0; i < hi - lo; ++i) cj[i] = mul(alpha, wj[i]) + mul(beta, cj[i]);
    }
  }
}
template <class Rows, class T>
void finish_sum(std::size_t n, const Rows& rows, T alpha, const T* w, std::size_t ldw, T beta, mref<T> c) {
  with_unit_rows([&](auto cu) { finish_sum_of(n, rows, alpha, w, ldw, beta, cu); }, c);
}

/// c = alpha w1 + alpha w2 (beta == 0) or beta c + alpha w1 + alpha w2.
template <class Rows, class C, class T>
ZELT_EXACT_LOOP void finish_two_sums_of(std::size_t n, const Rows& rows, T alpha, const T* w1, const T* w2,
                                        std::size_t ldw, T beta, C c) {
  ZELT_EXACT_ARITHMETIC
  for (std::size_t j = 0; j < n; ++j) {
    const std::size_t lo = rows(j).first, hi = rows(j).second;
    if (lo >= hi) continue;
    const auto cj = c.column(lo, j);
    const T *w1j = w1 + lo + j * ldw, *w2j = w2 + lo + j * ldw;
    if (beta == 0.0) {
      for (std::size_t i = 0; i < hi - lo; ++i) cj[i] = mul(alpha, w1j[i]) + mul(alpha, w2j[i]);
    } else {
      for (std::size_t i = 0; i < hi - lo; ++i)
        cj[i] = (mul(beta, cj[i]) + mul(alpha, w1j[i])) + mul(alpha, w2j[i]);
    }
  }
}
template <class Rows, class T>
void finish_two_sums(std::size_t n, const Rows& rows, T alpha, const T* w1, const T* w2, std::size_t ldw,
                     T beta, mref<T> c) {
  with_unit_rows([&](auto cu) { finish_two_sums_of(n, rows, alpha, w1, w2, ldw, beta, cu); }, c);
}

/// A column-major buffer that stands in for a block of the output while its
/// chains are summed: zero, or a copy of the block.
template <class T>
struct block_buffer {
  scratch<T> mem;
  std::size_t ld;
  /// m x n, or m x fewer columns.
  block_buffer(std::size_t m, std::size_t n) : mem(m, n), ld(m) {}
  struct fewer_rows {};
  /// m x n, or fewer rows x n.
  block_buffer(fewer_rows, std::size_t m, std::size_t n) : mem(n, m), ld(mem.lines()) {}
  T* data() const noexcept { return mem.data(); }
  std::size_t cols() const noexcept { return mem.lines(); }
  void zero(std::size_t m, std::size_t n) const noexcept {
    for (std::size_t j = 0; j < n; ++j)
      for (std::size_t i = 0; i < m; ++i) data()[i + j * ld] = 0.0;
  }
};

// Chains summed from zero go through a buffer of at most this many rows and
// columns at a time.
#if !defined(ZELT_SUM_ROWS)
#define ZELT_SUM_ROWS 2048
#define ZELT_SUM_COLS 512
#endif
constexpr std::size_t sum_rows = ZELT_SUM_ROWS, sum_cols = ZELT_SUM_COLS;

// ---------------------------------------------------------------------------
// Triangular dependency patterns. Index i of an output line takes terms from
// lines l with l < i ("before") or l > i ("after"), in increasing or
// decreasing order of l. triangle_blocks splits [r0, r1) in halves until a
// leaf is small, calling rect(t0, t1, l0, l1) for the terms that lines
// [t0, t1) take from lines [l0, l1) (all of them, in the pattern's order) and
// leaf(r0, r1) for the terms among the lines of a leaf. The order: first the
// half whose lines are needed first, then the rectangle, then the other half.
// So every line gets its terms in the pattern's order, and when the
// rectangle's source lines are results (a solve), they are finished before
// they are read, for the two patterns where the farthest term comes first.

#if !defined(ZELT_LEAF_LINES)
#define ZELT_LEAF_LINES 32
#endif
constexpr std::size_t leaf_lines = ZELT_LEAF_LINES;

// Independent problems (columns or rows) that the solves run side by side.
#if !defined(ZELT_SOLVE_LANES)
#if ZELT_HAVE_VECTORS
#define ZELT_SOLVE_LANES (8 * lanes<T>)
#else
#define ZELT_SOLVE_LANES 16
#endif
#endif
template <class T>
constexpr std::size_t solve_lanes = ZELT_SOLVE_LANES;

template <class Leaf, class Rect>
void triangle_blocks(std::size_t r0, std::size_t r1, bool before, bool descending, const Leaf& leaf,
                     const Rect& rect) {
  if (r1 - r0 <= leaf_lines) {
    if (r1 > r0) leaf(r0, r1);
    return;
  }
  const std::size_t mid = r0 + ((r1 - r0) / 2 + leaf_lines - 1) / leaf_lines * leaf_lines;
  const bool low_first = !descending;
  if (low_first) {
    triangle_blocks(r0, mid, before, descending, leaf, rect);
  } else {
    triangle_blocks(mid, r1, before, descending, leaf, rect);
  }
  if (before) {
    rect(mid, r1, r0, mid);
  } else {
    rect(r0, mid, mid, r1);
  }
  if (low_first) {
    triangle_blocks(mid, r1, before, descending, leaf, rect);
  } else {
    triangle_blocks(r0, mid, before, descending, leaf, rect);
  }
}

/// Index l of a range [l0, l1) walked in increasing or decreasing order.
struct walk {
  std::size_t l0, l1;
  bool descending;
  std::size_t operator()(std::size_t l) const noexcept { return descending ? l1 - 1 - l : l0 + l; }
  std::size_t size() const noexcept { return l1 - l0; }
};

/// The cost of the first x lines when every line costs the same.
struct linear_cost {
  double operator()(std::size_t x) const noexcept { return double(x); }
};
constexpr linear_cost linear{};

// ---------------------------------------------------------------------------
// dgemm

template <class T>
void sum_in_chunks(std::size_t m, std::size_t n, std::size_t k, mref<T> a, mref<T> b, T alpha, T beta,
                   mref<T> c) {
  const std::size_t mw = std::min(m, sum_rows);
  block_buffer<T> w(mw, std::min(n, sum_cols));
  const std::size_t nw = w.cols();
  gemm_workspace<T> ws(mw, nw, k);
  for (std::size_t j0 = 0; j0 < n; j0 += nw) {
    const std::size_t nj = std::min(nw, n - j0);
    for (std::size_t i0 = 0; i0 < m; i0 += mw) {
      const std::size_t mi = std::min(mw, m - i0);
      w.zero(mi, nj);
      accumulate(mi, nj, k, operand<T>{a.at(i0, 0)}, operand<T>{b.at(0, j0)}, keep_all{}, w.data(), w.ld, ws);
      finish_sum(nj, all_rows{mi}, alpha, w.data(), w.ld, beta, c.at(i0, j0));
    }
  }
}

/// dgemm on op(A) = a (m x k) and op(B) = b (k x n); `transa` picks the
/// reference's chain: 'N' adds (alpha b(l, j)) a(i, l) onto beta c, 'T' sums
/// a(i, l) b(l, j) from zero and ends with alpha sum + beta c.
template <class T>
void gemm_ref(const threads& policy, bool transa, std::size_t m, std::size_t n, std::size_t k, T alpha,
              mref<T> a, mref<T> b, T beta, mref<T> c) {
  if (m == 0 || n == 0 || ((alpha == 0.0 || k == 0) && beta == 1.0)) return;
  if (alpha == 0.0) {
    scale_columns(beta, n, all_rows{m}, c);
    return;
  }
  if (double(m) * double(n) * double(k) <= small_product_terms) {
    // a read where it lies, or its transpose packed first
    if (!transa && a.rs == 1 && a.cs > 0) {
      small_product<false>(m, n, k, a.p, 1, a.cs, b.p, b.rs, b.cs, alpha, alpha, beta, c.p, c.ld());
      return;
    }
    arena_lease lease;
    constexpr std::size_t MR = kernel_mr<T>;
    const std::size_t rows = (m + MR - 1) / MR * MR;
    if (auto* packed = static_cast<T*>(lease.get(rows * k * sizeof(T)))) {
      pack_a(operand<T>{a}, 0, m, 0, k, packed);
      if (!transa) {
        small_product<false>(m, n, k, packed, k, MR, b.p, b.rs, b.cs, alpha, alpha, beta, c.p, c.ld());
      } else {
        small_product<true>(m, n, k, packed, k, MR, b.p, b.rs, b.cs, T(1), alpha, beta, c.p, c.ld());
      }
      return;
    }
  }
  auto slab = [&](std::size_t i0, std::size_t i1, std::size_t j0, std::size_t j1) {
    const std::size_t mi = i1 - i0, nj = j1 - j0;
    const mref<T> as = a.at(i0, 0), bs = b.at(0, j0), cs = c.at(i0, j0);
    if (!transa) {
      scale_columns(beta, nj, all_rows{mi}, cs);
      gemm_workspace<T> ws(mi, nj, k);
      accumulate(mi, nj, k, operand<T>{as}, operand<T>{bs, alpha}, keep_all{}, cs.p, cs.ld(), ws);
    } else {
      sum_in_chunks(mi, nj, k, as, bs, alpha, beta, cs);
    }
  };
  const unsigned t = useful_threads(policy, 2.0 * double(m) * double(n) * double(k));
  if (n >= m) {
    run_slabs(t, n, kernel_nr, linear, [&](std::size_t j0, std::size_t j1) { slab(0, m, j0, j1); });
  } else {
    run_slabs(t, m, kernel_mr<T>, linear, [&](std::size_t i0, std::size_t i1) { slab(i0, i1, 0, n); });
  }
}

// ---------------------------------------------------------------------------
// dsyrk and dsyr2k. Every element of the triangle is one independent chain:
// the engine runs over the triangle's register tiles only, and a tile that
// the diagonal crosses is computed whole in a local tile of which only the
// triangle is stored.

/// The rows [lo, hi) of column j of a block (rows from i0, columns from j0,
/// mi rows) that lie in the triangle.
struct triangle_rows {
  bool upper;
  std::size_t i0, j0, mi;
  std::pair<std::size_t, std::size_t> operator()(std::size_t j) const noexcept {
    const std::size_t d = j0 + j;  // the row of the diagonal element
    if (upper) return {0, d < i0 ? 0 : std::min(mi, d - i0 + 1)};
    return {d < i0 ? 0 : std::min(mi, d - i0), mi};
  }
};

template <class Body>
void triangle_slabs(const threads& policy, bool upper, std::size_t n, double flops, const Body& body) {
  const unsigned t = useful_threads(policy, flops);
  auto area = [&](std::size_t x) {
    const auto done = static_cast<double>(x);
    const auto all = static_cast<double>(n);
    return upper ? done * done : all * all - (all - done) * (all - done);
  };
  run_slabs(t, n, kernel_nr, area, body);
}

// The chains summed from zero of the triangle's columns [c0, c1), rows
// [r0, r1), in buffers of at most sum_rows x sum_cols: sums(i0, mi, j0, nj,
// shape, w, ldw) fills a zeroed buffer, finish(...) ends the chains in c.
template <class T, class Sums, class Finish>
void triangle_in_chunks(bool upper, std::size_t r0, std::size_t r1, std::size_t c0, std::size_t c1,
                        std::size_t buffers, const Sums& sums, const Finish& finish) {
  const std::size_t mw = std::min(r1 - r0, sum_rows);
  block_buffer<T> w(mw * buffers, std::min(c1 - c0, sum_cols));
  const std::size_t nw = w.cols();
  for (std::size_t j0 = c0; j0 < c1; j0 += nw) {
    const std::size_t nj = std::min(nw, c1 - j0);
    for (std::size_t i0 = r0; i0 < r1; i0 += mw) {
      const std::size_t mi = std::min(mw, r1 - i0);
      const output_triangle shape(upper, i0, j0);
      if (shape.region(0, mi, 0, nj) == 0) continue;
      for (std::size_t q = 0; q < buffers; ++q) {
        const mref<T> wq{w.data() + q * mw, 1, static_cast<std::ptrdiff_t>(w.ld)};
        for (std::size_t j = 0; j < nj; ++j)
          for (std::size_t i = 0; i < mi; ++i) wq(i, j) = 0.0;
        sums(q, i0, mi, j0, nj, shape, wq);
      }
      finish(i0, mi, j0, nj, triangle_rows{upper, i0, j0, mi}, w.data(), mw, w.ld);
    }
  }
}

// The start dsyrk and dsyr2k share: nothing to do for an empty C or an
// empty update with beta == 1; beta times the triangle (or zeros) when
// alpha == 0. Returns whether the products remain to be done.
template <class T>
bool rank_k_start(bool upper, std::size_t n, std::size_t k, T alpha, T beta, mref<T> c) {
  if (n == 0 || ((alpha == 0.0 || k == 0) && beta == 1.0)) return false;
  if (alpha == 0.0) {
    scale_columns(beta, n, triangle_rows{upper, 0, 0, n}, c);
    return false;
  }
  return true;
}

/// dsyrk on op(A) = a (n x k): C = alpha a a^T + beta C on one triangle.
template <class T>
void syrk_ref(const threads& policy, bool upper, bool trans, std::size_t n, std::size_t k, T alpha, mref<T> a,
              T beta, mref<T> c) {
  if (!rank_k_start(upper, n, k, alpha, beta, c)) return;
  auto columns = [&](std::size_t c0, std::size_t c1) {
    const std::size_t r0 = upper ? 0 : c0, r1 = upper ? c1 : n;
    gemm_workspace<T> ws(r1 - r0, c1 - c0, k);
    if (!trans) {
      // c(i, j) = beta c, then + (alpha a(j, l)) a(i, l), skipping a(j, l) == 0
      const mref<T> cb = c.at(r0, c0);
      scale_columns(beta, c1 - c0, triangle_rows{upper, r0, c0, r1 - r0}, cb);
      accumulate(r1 - r0, c1 - c0, k, operand<T>{a.at(r0, 0)}, operand<T>{a.at(c0, 0).t(), alpha},
                 keep_nonzero{}, cb.p, cb.ld(), ws, output_triangle(upper, r0, c0));
      return;
    }
    // alpha (sum of a(i, l) a(j, l) from zero) + beta c
    triangle_in_chunks<T>(
        upper, r0, r1, c0, c1, 1,
        [&](std::size_t, std::size_t i0, std::size_t mi, std::size_t j0, std::size_t nj,
            const output_triangle& shape, mref<T> w) {
          accumulate(mi, nj, k, operand<T>{a.at(i0, 0)}, operand<T>{a.at(j0, 0).t()}, keep_all{}, w.p, w.ld(),
                     ws, shape);
        },
        [&](std::size_t i0, std::size_t, std::size_t j0, std::size_t nj, const triangle_rows& rows,
            const T* w, std::size_t,
            std::size_t ldw) { finish_sum(nj, rows, alpha, w, ldw, beta, c.at(i0, j0)); });
  };
  triangle_slabs(policy, upper, n, double(n) * double(n) * double(k), columns);
}

/// dsyr2k on op(A) = a and op(B) = b (n x k): C = alpha (a b^T + b a^T) + beta C.
template <class T>
void syr2k_ref(const threads& policy, bool upper, bool trans, std::size_t n, std::size_t k, T alpha,
               mref<T> a, mref<T> b, T beta, mref<T> c) {
  if (!rank_k_start(upper, n, k, alpha, beta, c)) return;
  auto columns = [&](std::size_t c0, std::size_t c1) {
    const std::size_t r0 = upper ? 0 : c0, r1 = upper ? c1 : n;
    gemm_workspace<T> ws(r1 - r0, c1 - c0, 2 * k);
    if (!trans) {
      // c(i, j) + a(i, l) (alpha b(j, l)) + b(i, l) (alpha a(j, l)), l in order:
      // one sum over 2k interleaved terms.
      const mref<T> cb = c.at(r0, c0);
      scale_columns(beta, c1 - c0, triangle_rows{upper, r0, c0, r1 - r0}, cb);
      // (the pair l is skipped only when both a(j, l) and b(j, l) are zero)
      accumulate(r1 - r0, c1 - c0, 2 * k, interleaved_columns<T>{{a.at(r0, 0)}, {b.at(r0, 0)}},
                 interleaved_rows<T>{{b.at(c0, 0).t(), alpha}, {a.at(c0, 0).t(), alpha}}, keep_nonzero{},
                 cb.p, cb.ld(), ws, output_triangle(upper, r0, c0));
      return;
    }
    // beta c + alpha (sum of a(i, l) b(j, l)) + alpha (sum of b(i, l) a(j, l)),
    // both sums from zero
    triangle_in_chunks<T>(
        upper, r0, r1, c0, c1, 2,
        [&](std::size_t q, std::size_t i0, std::size_t mi, std::size_t j0, std::size_t nj,
            const output_triangle& shape, mref<T> w) {
          const mref<T> x = q == 0 ? a : b, y = q == 0 ? b : a;
          accumulate(mi, nj, k, operand<T>{x.at(i0, 0)}, operand<T>{y.at(j0, 0).t()}, keep_all{}, w.p, w.ld(),
                     ws, shape);
        },
        [&](std::size_t i0, std::size_t, std::size_t j0, std::size_t nj, const triangle_rows& rows,
            const T* w, std::size_t mw,
            std::size_t ldw) { finish_two_sums(nj, rows, alpha, w, w + mw, ldw, beta, c.at(i0, j0)); });
  };
  triangle_slabs(policy, upper, n, 2.0 * double(n) * double(n) * double(k), columns);
}

// ---------------------------------------------------------------------------
// dsymm

template <class Rows, class T>
ZELT_EXACT_LOOP void symm_right_start(std::size_t n, const Rows& rows, T alpha, symmetric<T> a, mref<T> b,
                                      T beta, mref<T> c) {
  ZELT_EXACT_ARITHMETIC
  for (std::size_t j = 0; j < n; ++j) {
    const T t = alpha * a(j, j);
    for (std::size_t i = rows.first; i < rows.second; ++i)
      c(i, j) = beta == 0.0 ? mul(t, b(i, j)) : mul(beta, c(i, j)) + mul(t, b(i, j));
  }
}

// The passes that read the diagonal of a beside every element of a column go
// through the rows in blocks of this many, so that the diagonal's cache lines
// (one per row) stay in L1 from column to column.
constexpr std::size_t diagonal_rows = 256;

// d[r] = s(i0 + r, i0 + r) for r < rows, or 1 for a unit diagonal: the
// diagonal of a row block in one contiguous line.
template <class T>
void diagonal_block(bool unit, mref<T> s, std::size_t i0, std::size_t rows, T* d) {
  for (std::size_t r = 0; r < rows; ++r) d[r] = unit ? T(1) : s(i0 + r, i0 + r);
}

// c(i, j) = beta c + (alpha b(i, j)) a(i, i) + alpha t2 (beta == 0: without beta c).
template <class B, class C, class T>
ZELT_EXACT_LOOP void symm_left_middle(std::size_t m, std::size_t n, T alpha, symmetric<T> a, B b, const T* t2,
                                      std::size_t ldt, T beta, C c) {
  ZELT_EXACT_ARITHMETIC
  alignas(64) T diag[diagonal_rows];
  for (std::size_t i0 = 0; i0 < m; i0 += diagonal_rows) {
    const std::size_t rows = std::min(diagonal_rows, m - i0);
    diagonal_block(false, a.s, i0, rows, diag);
    for (std::size_t j = 0; j < n; ++j) {
      const T* t2j = t2 + i0 + j * ldt;
      const auto bj = b.column(i0, j);
      const auto cj = c.column(i0, j);
      if (beta == 0.0) {
        for (std::size_t r = 0; r < rows; ++r) cj[r] = mul(alpha * bj[r], diag[r]) + mul(alpha, t2j[r]);
      } else {
        for (std::size_t r = 0; r < rows; ++r)
          cj[r] = (mul(beta, cj[r]) + mul(alpha * bj[r], diag[r])) + mul(alpha, t2j[r]);
      }
    }
  }
}

/// dsymm: C = alpha A B + beta C (left) or alpha B A + beta C, A symmetric<T>.
template <class T>
void symm_ref(const threads& policy, bool left, bool upper, std::size_t m, std::size_t n, T alpha,
              symmetric<T> a, mref<T> b, T beta, mref<T> c) {
  if (m == 0 || n == 0 || (alpha == 0.0 && beta == 1.0)) return;
  if (alpha == 0.0) {
    scale_columns(beta, n, all_rows{m}, c);
    return;
  }
  const double flops = 2.0 * double(m) * double(n) * double(left ? m : n);
  const unsigned t = useful_threads(policy, flops);
  if (!left) {
    // c(i, j) = beta c + (alpha a(j, j)) b(i, j), then + (alpha a(l, j)) b(i, l)
    // for every l != j in increasing order.
    run_slabs(t, m, kernel_mr<T>, linear, [&](std::size_t r0, std::size_t r1) {
      symm_right_start(n, std::pair<std::size_t, std::size_t>{r0, r1}, alpha, a, b, beta, c);
      gemm_workspace<T> ws(r1 - r0, n, n);
      struct off_diagonal {
        bool operator()(std::size_t l, std::size_t j) const noexcept { return l != j; }
      };
      accumulate(
          r1 - r0, n, n, operand<T>{b.at(r0, 0)},
          [&](std::size_t l, std::size_t j) { return alpha * a(l, j); }, off_diagonal{}, &c(r0, 0), c.ld(),
          ws);
    });
    return;
  }
  // Row i: t2 = sum of b(l, j) a(l, i) over the l before i (upper) or after
  // it (lower), from zero in increasing l; then beta c + (alpha b(i, j)) a(i, i)
  // + alpha t2; then + (alpha b(l, j)) a(i, l) over the other side's l,
  // nearest first. Both sums read the stored triangle straight: a(l, i) is
  // s(l, i) and a(i, l) is s(i, l) on the sides they take. The tiles that
  // the diagonal crosses also pack elements of the other triangle, in the
  // lanes that do not take the step, whose sums are never kept.
  run_slabs(t, n, kernel_nr, linear, [&](std::size_t c0, std::size_t c1) {
    block_buffer<T> w(m, std::min(c1 - c0, sum_cols));
    const std::size_t nw = w.cols();
    gemm_workspace<T> ws(m, nw, m);
    const row_triangle sums{{}, upper, false, m}, tail{{}, !upper, !upper, m};
    for (std::size_t j0 = c0; j0 < c1; j0 += nw) {
      const std::size_t nj = std::min(nw, c1 - j0);
      const mref<T> bj = b.at(0, j0), cj = c.at(0, j0);
      w.zero(m, nj);
      accumulate(m, nj, m, operand<T>{a.s.t()}, operand<T>{bj}, keep_all{}, w.data(), w.ld, ws, sums);
      with_unit_rows(
          [&](auto bu, auto cu) { symm_left_middle(m, nj, alpha, a, bu, w.data(), w.ld, beta, cu); }, bj, cj);
      accumulate(m, nj, m, operand<T>{a.s.columns_reversed(tail.descending, m)},
                 operand<T>{bj.rows_reversed(tail.descending, m), alpha}, keep_all{}, cj.p, cj.ld(), ws,
                 tail);
    }
  });
}

// ---------------------------------------------------------------------------
// dtrmm and dtrsm. s is the column-major storage of the triangular A, read
// only in its `upper` (or lower) triangle, and b is overwritten.

/// x = alpha x for every element, as the reference's unconditional ALPHA*B.
template <class B, class T>
ZELT_EXACT_LOOP void multiply_all_of(T alpha, std::size_t m, std::size_t n, B b) {
  ZELT_EXACT_ARITHMETIC
  for (std::size_t j = 0; j < n; ++j) {
    const auto bj = b.column(0, j);
    for (std::size_t i = 0; i < m; ++i) bj[i] = alpha * bj[i];
  }
}
template <class T>
void multiply_all(T alpha, std::size_t m, std::size_t n, mref<T> b) {
  with_unit_rows([&](auto bu) { multiply_all_of(alpha, m, n, bu); }, b);
}

/// to = w on m x n.
template <class T>
void copy_back(std::size_t m, std::size_t n, mref<T> w, mref<T> to) {
  with_unit_rows(
      [&](auto wu, auto tu) {
        for (std::size_t j = 0; j < n; ++j) {
          const auto from = wu.column(0, j);
          const auto into = tu.column(0, j);
          for (std::size_t i = 0; i < m; ++i) into[i] = from[i];
        }
      },
      w, to);
}

// w = 0 where b is 0 (the reference skips it), else alpha b times the
// diagonal of a unless it is unit: dtrmm('L', 'N')'s start. (alpha b) 1 is
// alpha b to the bit, so a unit diagonal is a diagonal of ones here.
template <class B, class W, class T>
ZELT_EXACT_LOOP void trmm_left_n_start(bool unit, std::size_t m, std::size_t n, T alpha, mref<T> s, B b,
                                       W w) {
  ZELT_EXACT_ARITHMETIC
  alignas(64) T diag[diagonal_rows];
  for (std::size_t i0 = 0; i0 < m; i0 += diagonal_rows) {
    const std::size_t rows = std::min(diagonal_rows, m - i0);
    diagonal_block(unit, s, i0, rows, diag);
    for (std::size_t j = 0; j < n; ++j) {
      const auto bj = b.column(i0, j);
      const auto wj = w.column(i0, j);
      for (std::size_t r = 0; r < rows; ++r) {
        const T x = bj[r], y = (alpha * x) * diag[r];
        wj[r] = x == 0.0 ? x : y;
      }
    }
  }
}

// w = b, times the diagonal of a unless it is unit: dtrmm('L', 'T')'s start.
template <class B, class W, class T>
ZELT_EXACT_LOOP void trmm_left_t_start(bool unit, std::size_t m, std::size_t n, mref<T> s, B b, W w) {
  ZELT_EXACT_ARITHMETIC
  if (unit) {
    for (std::size_t j = 0; j < n; ++j) {
      const auto bj = b.column(0, j);
      const auto wj = w.column(0, j);
      for (std::size_t i = 0; i < m; ++i) wj[i] = bj[i];
    }
    return;
  }
  alignas(64) T diag[diagonal_rows];
  for (std::size_t i0 = 0; i0 < m; i0 += diagonal_rows) {
    const std::size_t rows = std::min(diagonal_rows, m - i0);
    diagonal_block(false, s, i0, rows, diag);
    for (std::size_t j = 0; j < n; ++j) {
      const auto bj = b.column(i0, j);
      const auto wj = w.column(i0, j);
      for (std::size_t r = 0; r < rows; ++r) wj[r] = bj[r] * diag[r];
    }
  }
}

// w(i, j) = t_j b(i, j), t_j = alpha (times a(j, j) unless unit), for
// dtrmm('R'): always for 'N', only where t_j != 1 for 'T'.
template <class B, class W, class T>
ZELT_EXACT_LOOP void trmm_right_start(bool trans, bool unit, std::size_t m, std::size_t n, T alpha, mref<T> s,
                                      B b, W w) {
  ZELT_EXACT_ARITHMETIC
  for (std::size_t j = 0; j < n; ++j) {
    const T t = unit ? alpha : alpha * s(j, j);
    const auto bj = b.column(0, j);
    const auto wj = w.column(0, j);
    if (!trans || t != 1.0) {
      for (std::size_t i = 0; i < m; ++i) wj[i] = t * bj[i];
    } else {
      for (std::size_t i = 0; i < m; ++i) wj[i] = bj[i];
    }
  }
}

// The start dtrmm and dtrsm share: nothing for an empty B, zeros for
// alpha == 0 (B not read); otherwise the number of threads to use.
template <class T>
unsigned triangular_start(const threads& policy, bool left, std::size_t m, std::size_t n, T alpha,
                          mref<T> b) {
  if (m == 0 || n == 0) return 0;
  if (alpha == 0.0) {
    scale_columns(T(0), n, all_rows{m}, b);
    return 0;
  }
  return useful_threads(policy, double(m) * double(n) * double(left ? m : n));
}

/// dtrmm: B = alpha op(A) B (left) or alpha B op(A), A triangular. Every
/// chain reads the original B, so each line is summed into a buffer that
/// takes B's place at the end.
template <class T>
void trmm_ref(const threads& policy, bool left, bool upper, bool trans, bool unit, std::size_t m,
              std::size_t n, T alpha, mref<T> s, mref<T> b) {
  const unsigned t = triangular_start(policy, left, m, n, alpha, b);
  if (t == 0) return;
  if (left) {
    // 'N': row i starts from alpha b(i) (times a(i, i)), then + (alpha b(l)) a(i, l)
    // over the l after i (upper) or before it, nearest first; b(l) == 0 is skipped.
    // 'T': row i starts from b(i) (times a(i, i)), then + a(l, i) b(l) over the l
    // before i (upper) or after it, increasing; then times alpha.
    const row_triangle shape =
        trans ? row_triangle{{}, upper, false, m} : row_triangle{{}, !upper, !upper, m};
    run_slabs(t, n, kernel_nr, linear, [&](std::size_t c0, std::size_t c1) {
      block_buffer<T> w(m, std::min(c1 - c0, sum_cols));
      const std::size_t nw = w.cols();
      gemm_workspace<T> ws(m, nw, m);
      for (std::size_t j0 = c0; j0 < c1; j0 += nw) {
        const std::size_t nj = std::min(nw, c1 - j0);
        const mref<T> bj = b.at(0, j0), wj{w.data(), 1, static_cast<std::ptrdiff_t>(w.ld)};
        if (!trans) {
          with_unit_rows([&](auto bu, auto wu) { trmm_left_n_start(unit, m, nj, alpha, s, bu, wu); }, bj, wj);
          accumulate(m, nj, m, operand<T>{s.columns_reversed(shape.descending, m)},
                     operand<T>{bj.rows_reversed(shape.descending, m), alpha}, keep_nonzero{}, wj.p, w.ld, ws,
                     shape);
          copy_back(m, nj, wj, bj);
        } else {
          with_unit_rows([&](auto bu, auto wu) { trmm_left_t_start(unit, m, nj, s, bu, wu); }, bj, wj);
          accumulate(m, nj, m, operand<T>{s.t()}, operand<T>{bj}, keep_all{}, wj.p, w.ld, ws, shape);
          copy_back(m, nj, wj, bj);
          multiply_all(alpha, m, nj, bj);
        }
      }
    });
    return;
  }
  // Right: column j starts from t_j b(j), then + (alpha op(a)(l, j)) b(l) over
  // the l of the pattern; op(a)(l, j) == 0 is skipped.
  const bool before = upper != trans, descending = trans && !upper;
  const row_triangle order{{}, before, descending, n};
  const column_triangle shape{{}, before, descending, n};
  auto coef = [&](std::size_t l, std::size_t j) { return trans ? s(j, l) : s(l, j); };
  run_slabs(t, m, kernel_mr<T>, linear, [&](std::size_t r0, std::size_t r1) {
    block_buffer<T> w(typename block_buffer<T>::fewer_rows{}, std::min(r1 - r0, sum_rows), n);
    const std::size_t mw = w.ld;
    gemm_workspace<T> ws(mw, n, n);
    for (std::size_t i0 = r0; i0 < r1; i0 += mw) {
      const std::size_t mi = std::min(mw, r1 - i0);
      const mref<T> bi = b.at(i0, 0), wi{w.data(), 1, static_cast<std::ptrdiff_t>(w.ld)};
      with_unit_rows([&](auto bu, auto wu) { trmm_right_start(trans, unit, mi, n, alpha, s, bu, wu); }, bi,
                     wi);
      accumulate(
          mi, n, n, operand<T>{bi.columns_reversed(descending, n)},
          operand<T>{(trans ? s.t() : s).rows_reversed(descending, n), alpha},
          [&](std::size_t q, std::size_t j) { return order.term(j, q) && coef(order.index(q), j) != 0.0; },
          wi.p, w.ld, ws, shape);
      copy_back(mi, n, wi, bi);
    }
  });
}

// dtrsm('L', 'N') restricted to the rows [r0, r1) of a leaf; records which
// pivots were nonzero (the reference skips the others) in keep. The columns
// are independent, so solve_lanes of them run side by side, as the rows of a
// row-major copy of the leaf: a column whose pivot is zero computes the step
// and does not keep it.
template <class T>
ZELT_EXACT_LOOP void trsm_left_n_leaf(bool upper, bool unit, std::size_t r0, std::size_t r1, std::size_t n,
                                      mref<T> s, mref<T> b, unsigned char* keep, std::size_t ldk) {
  ZELT_EXACT_ARITHMETIC
  constexpr std::size_t G = solve_lanes<T>;
  alignas(64) T x[leaf_lines * G];
  for (std::size_t j0 = 0; j0 < n; j0 += G) {
    const std::size_t active = std::min(G, n - j0);
    for (std::size_t i = r0; i < r1; ++i)
      for (std::size_t g = 0; g < G; ++g) x[(i - r0) * G + g] = g < active ? b(i, j0 + g) : T(0);
    for (std::size_t q = r0; q < r1; ++q) {
      const std::size_t k = upper ? r1 - 1 - (q - r0) : q;
      T* xk = x + (k - r0) * G;
      for (std::size_t g = 0; g < active; ++g) keep[k + (j0 + g) * ldk] = xk[g] != 0.0;
      const T d = unit ? T(1) : s(k, k);  // not read when unit
      const std::size_t lo = upper ? r0 : k + 1, hi = upper ? k : r1;
#if ZELT_HAVE_VECTORS
      constexpr std::size_t L = lanes<T>, V = std::max<std::size_t>(1, G / L);
      if constexpr (G % L == 0) {
        using mask_t = mask_of<T>;
        const std::size_t used = (active + L - 1) / L;  // vectors holding columns
        mask_t pivot[V];                                // all ones in the columns whose pivot is not zero
        vec<T> xv[V];
        for (std::size_t v = 0; v < used; ++v) {
          xv[v] = load(xk + v * L);
          pivot[v] = reinterpret_cast<mask_t>(xv[v] != broadcast(T(0)));
          if (!unit) {
            const vec<T> quotient = xv[v] / d;
            xv[v] = reinterpret_cast<vec<T>>((reinterpret_cast<mask_t>(quotient) & pivot[v]) |
                                             (reinterpret_cast<mask_t>(xv[v]) & ~pivot[v]));
          }
          store(xk + v * L, xv[v]);
        }
        for (std::size_t i = lo; i < hi; ++i) {
          const T a = s(i, k);
          T* xi = x + (i - r0) * G;
          for (std::size_t v = 0; v < used; ++v) {
            const vec<T> e = load(xi + v * L), t = e - xv[v] * a;
            store(xi + v * L, reinterpret_cast<vec<T>>((reinterpret_cast<mask_t>(t) & pivot[v]) |
                                                       (reinterpret_cast<mask_t>(e) & ~pivot[v])));
          }
        }
        continue;
      }
#endif
      for (std::size_t g = 0; g < G; ++g) {
        if (xk[g] == 0.0) continue;
        if (!unit) xk[g] = xk[g] / d;
        for (std::size_t i = lo; i < hi; ++i) x[(i - r0) * G + g] = x[(i - r0) * G + g] - mul(xk[g], s(i, k));
      }
    }
    for (std::size_t i = r0; i < r1; ++i)
      for (std::size_t g = 0; g < active; ++g) b(i, j0 + g) = x[(i - r0) * G + g];
  }
}

// dtrsm('L', 'T', 'U') restricted to a leaf: each row, once its terms are in,
// is divided by the diagonal and passed on to the rows below.
template <class T>
ZELT_EXACT_LOOP void trsm_left_t_leaf(bool unit, std::size_t r0, std::size_t r1, std::size_t n, mref<T> s,
                                      mref<T> b) {
  ZELT_EXACT_ARITHMETIC
  for (std::size_t j = 0; j < n; ++j) {
    T* bj = &b(0, j);
    for (std::size_t k = r0; k < r1; ++k) {
      T x = bj[k];
      if (!unit) x = x / s(k, k);
      bj[k] = x;
      for (std::size_t i = k + 1; i < r1; ++i) bj[i] = bj[i] - mul(s(k, i), x);
    }
  }
}

// The columns [c0, c1) of dtrsm('R') on the rows [0, m): for 'N' each column
// takes its terms and then the inverse diagonal; for 'T' each column gets
// the inverse diagonal and is then passed on.
template <class T>
ZELT_EXACT_LOOP void trsm_right_leaf(bool upper, bool trans, bool unit, std::size_t c0, std::size_t c1,
                                     std::size_t m, mref<T> s, mref<T> b) {
  ZELT_EXACT_ARITHMETIC
  if (!trans) {
    for (std::size_t j = c0; j < c1; ++j) {
      T* bj = &b(0, j);
      const std::size_t lo = upper ? c0 : j + 1, hi = upper ? j : c1;
      for (std::size_t k = lo; k < hi; ++k) {
        const T a = s(k, j);
        if (a == 0.0) continue;
        const T* bk = &b(0, k);
        for (std::size_t i = 0; i < m; ++i) bj[i] = bj[i] - mul(a, bk[i]);
      }
      if (!unit) {
        const T t = T(1) / s(j, j);
        for (std::size_t i = 0; i < m; ++i) bj[i] = t * bj[i];
      }
    }
    return;
  }
  for (std::size_t q = c0; q < c1; ++q) {
    const std::size_t k = upper ? c1 - 1 - (q - c0) : q;
    T* bk = &b(0, k);
    if (!unit) {
      const T t = T(1) / s(k, k);
      for (std::size_t i = 0; i < m; ++i) bk[i] = t * bk[i];
    }
    const std::size_t lo = upper ? c0 : k + 1, hi = upper ? k : c1;
    for (std::size_t j = lo; j < hi; ++j) {
      const T a = s(j, k);
      if (a == 0.0) continue;
      T* bj = &b(0, j);
      for (std::size_t i = 0; i < m; ++i) bj[i] = bj[i] - mul(a, bk[i]);
    }
  }
}

// The two solves whose terms come nearest first, so that no term can be
// applied before all the nearer lines are finished: line after line, each a
// sum over all the finished lines, for `count` independent problems at once.

// t = alpha * t when scale (else unchanged); then t = t - a(k) x(k) for every
// k in [k0, k1) with a(k) != 0 (or every k, when !skip); then t = t / d or
// t = d * t: one line of `count` independent chains, x(k) at x + k ldx. With
// ldx == solve_lanes the line runs as whole vectors (lanes past `count` are
// computed and ignored).
template <class Coef, class T>
ZELT_EXACT_LOOP void solve_line(T* t, std::size_t count, bool scale, T alpha, std::size_t k0, std::size_t k1,
                                const Coef& coef, bool skip, const T* x, std::size_t ldx, int finish, T d) {
  ZELT_EXACT_ARITHMETIC
#if ZELT_HAVE_VECTORS
  constexpr std::size_t L = lanes<T>, V = solve_lanes<T> / lanes<T>;
  if constexpr (V > 0 && solve_lanes<T> % L == 0) {
    if (ldx == solve_lanes<T>) {
      vec<T> acc[std::max<std::size_t>(V, 1)];
      for (std::size_t v = 0; v < V; ++v) acc[v] = load(t + v * L);
      if (scale)
        for (vec<T>& e : acc) e = alpha * e;
      for (std::size_t k = k0; k < k1; ++k) {
        const T a = coef(k);
        if (skip && a == 0.0) continue;
        const T* xk = x + k * ldx;
        for (std::size_t v = 0; v < V; ++v) acc[v] = acc[v] - load(xk + v * L) * a;
      }
      if (finish == 1)
        for (vec<T>& e : acc) e = e / d;
      if (finish == 2)
        for (vec<T>& e : acc) e = d * e;
      for (std::size_t v = 0; v < V; ++v) store(t + v * L, acc[v]);
      return;
    }
  }
#endif
  for (std::size_t g = 0; g < count; ++g) {
    T acc = scale ? alpha * t[g] : t[g];
    for (std::size_t k = k0; k < k1; ++k) {
      const T a = coef(k);
      if (skip && a == 0.0) continue;
      acc = acc - mul(x[k * ldx + g], a);
    }
    if (finish == 1) acc = acc / d;
    if (finish == 2) acc = d * acc;
    t[g] = acc;
  }
}

// dtrsm('L', 'T', 'L'): row i = (alpha b(i) - sum over k > i increasing of
// a(k, i) x(k)) / a(i, i), on a row-major copy of `count` columns (row i
// at x + i ldx).
template <class T>
void trsm_left_t_lower_lines(bool unit, std::size_t m, std::size_t count, std::size_t ldx, T alpha, mref<T> s,
                             T* x) {
  for (std::size_t i = m; i-- > 0;) {
    solve_line(
        x + i * ldx, count, true, alpha, i + 1, m, [&](std::size_t k) { return s(k, i); }, false, x, ldx,
        unit ? 0 : 1, s(i, i));
  }
}

// dtrsm('R', 'N', 'L'): column j = (alpha b(j) - sum over k > j increasing of
// a(k, j) x(k), skipping a(k, j) == 0) times 1 / a(j, j), for `count` rows
// starting at x (column j at x + j ldx).
template <class T>
ZELT_EXACT_LOOP void trsm_right_n_lower_lines(bool unit, std::size_t n, std::size_t count, T alpha, mref<T> s,
                                              T* x, std::size_t ldx) {
  ZELT_EXACT_ARITHMETIC
  for (std::size_t j = n; j-- > 0;) {
    const T inverse = unit ? T(1) : T(1) / s(j, j);
    solve_line(
        x + j * ldx, count, alpha != 1.0, alpha, j + 1, n, [&](std::size_t k) { return s(k, j); }, true, x,
        ldx, unit ? 0 : 2, inverse);
  }
}

/// dtrsm: solves op(A) X = alpha B (left) or X op(A) = alpha B, X over B.
template <class T>
void trsm_ref(const threads& policy, bool left, bool upper, bool trans, bool unit, std::size_t m,
              std::size_t n, T alpha, mref<T> s, mref<T> b) {
  const unsigned t = triangular_start(policy, left, m, n, alpha, b);
  if (t == 0) return;
  if (left && trans && !upper) {
    run_slabs(t, n, kernel_nr, linear, [&](std::size_t c0, std::size_t c1) {
      scratch<T> x(m, solve_lanes<T>);
      const std::size_t width = x.lines();
      for (std::size_t j0 = c0; j0 < c1; j0 += width) {
        const std::size_t count = std::min(width, c1 - j0);
        for (std::size_t i = 0; i < m; ++i)
          for (std::size_t g = 0; g < width; ++g) x.data()[i * width + g] = g < count ? b(i, j0 + g) : T(0);
        trsm_left_t_lower_lines(unit, m, count, width, alpha, s, x.data());
        for (std::size_t i = 0; i < m; ++i)
          for (std::size_t g = 0; g < count; ++g) b(i, j0 + g) = x.data()[i * width + g];
      }
    });
    return;
  }
  if (!left && !trans && !upper) {
    // Each chunk of rows is copied so that its columns are contiguous: the
    // solve streams all of them once per column.
    run_slabs(t, m, kernel_mr<T>, linear, [&](std::size_t r0, std::size_t r1) {
      scratch<T> x(n, solve_lanes<T>);
      const std::size_t width = x.lines();
      for (std::size_t i0 = r0; i0 < r1; i0 += width) {
        const std::size_t count = std::min(width, r1 - i0);
        for (std::size_t j = 0; j < n; ++j)
          for (std::size_t g = 0; g < width; ++g) x.data()[j * width + g] = g < count ? b(i0 + g, j) : T(0);
        trsm_right_n_lower_lines(unit, n, count, alpha, s, x.data(), width);
        for (std::size_t j = 0; j < n; ++j)
          for (std::size_t g = 0; g < count; ++g) b(i0 + g, j) = x.data()[j * width + g];
      }
    });
    return;
  }
  if (left) {
    run_slabs(t, n, kernel_nr, linear, [&](std::size_t c0, std::size_t c1) {
      gemm_workspace<T> ws(m, c1 - c0, m);
      const std::size_t nj = c1 - c0;
      const mref<T> bc = b.at(0, c0);
      if (!trans) {
        // Row i: alpha b(i) - x(k) a(i, k) over the k on the far side, farthest
        // first, skipping the k whose value was zero before its division.
        if (alpha != 1.0) multiply_all(alpha, m, nj, bc);
        std::vector<unsigned char> keep(m * nj);
        triangle_blocks(
            0, m, !upper, upper,
            [&](std::size_t r0, std::size_t r1) {
              trsm_left_n_leaf(upper, unit, r0, r1, nj, s, bc, keep.data(), m);
            },
            [&](std::size_t t0, std::size_t t1, std::size_t l0, std::size_t l1) {
              // the pivots' flags walked as the operand<T>'s rows: l1 - 1 down, or l0 up
              const keep_flags pivots{keep.data() + (upper ? l1 - 1 : l0), upper ? -1 : 1,
                                      static_cast<std::ptrdiff_t>(m)};
              accumulate(t1 - t0, nj, l1 - l0, operand<T>{s.at(t0, l0).columns_reversed(upper, l1 - l0)},
                         operand<T>{bc.at(l0, 0).rows_reversed(upper, l1 - l0), -1.0}, pivots, &bc(t0, 0),
                         bc.ld(), ws);
            });
      } else {
        // Upper: row i = (alpha b(i) - a(k, i) x(k) over k < i increasing) / a(i, i).
        multiply_all(alpha, m, nj, bc);
        triangle_blocks(
            0, m, true, false,
            [&](std::size_t r0, std::size_t r1) { trsm_left_t_leaf(unit, r0, r1, nj, s, bc); },
            [&](std::size_t t0, std::size_t t1, std::size_t l0, std::size_t l1) {
              accumulate(t1 - t0, nj, l1 - l0, operand<T>{s.at(l0, t0).t(), -1.0}, operand<T>{bc.at(l0, 0)},
                         keep_all{}, &bc(t0, 0), bc.ld(), ws);
            });
      }
    });
    return;
  }
  // Right, 'N' upper, 'T' upper and 'T' lower: column j takes - op(a)(k, j) x(k)
  // over the k of its side, farthest first, skipping op(a)(k, j) == 0.
  const bool before = upper != trans, descending = trans && upper;
  run_slabs(t, m, kernel_mr<T>, linear, [&](std::size_t r0, std::size_t r1) {
    gemm_workspace<T> ws(r1 - r0, n, n);
    const std::size_t mi = r1 - r0;
    const mref<T> br = b.at(r0, 0);
    if (!trans && alpha != 1.0) multiply_all(alpha, mi, n, br);
    triangle_blocks(
        0, n, before, descending,
        [&](std::size_t c0, std::size_t c1) { trsm_right_leaf(upper, trans, unit, c0, c1, mi, s, br); },
        [&](std::size_t t0, std::size_t t1, std::size_t l0, std::size_t l1) {
          const walk lw{l0, l1, descending};
          accumulate(mi, t1 - t0, lw.size(), operand<T>{br.at(0, l0).columns_reversed(descending, l1 - l0)},
                     operand<T>{(trans ? s.t() : s).at(l0, t0).rows_reversed(descending, l1 - l0), -1.0},
                     keep_nonzero{}, &br(0, t0), br.ld(), ws);
        });
    if (trans && alpha != 1.0) multiply_all(alpha, mi, n, br);
  });
}

}  // namespace zelt::detail::ZELT_KERNEL_SET
