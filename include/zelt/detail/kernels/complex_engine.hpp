// The complex engine's register tile, packing and loops, per kernel set.
// Included once per kernel set by detail/complex_engine.hpp (see
// detail/for_each_kernel_set.hpp).

namespace zelt::detail::ZELT_KERNEL_SET {

// The register tile: complex_mr rows (one register of real parts and one of
// imaginary parts) by complex_nr columns, two accumulators per output.
#if ZELT_HAVE_VECTORS
template <class R>
constexpr std::size_t complex_mr = lanes<R>;
#if ZELT_KERNEL_LANES == 8
constexpr std::size_t complex_nr = 8;
#else
constexpr std::size_t complex_nr = 4;
#endif
#else
template <class R>
constexpr std::size_t complex_mr = 2;
constexpr std::size_t complex_nr = 4;
#endif

// The blocks follow the real engine's (and its build-time settings): a step
// of a packed complex panel holds two reals, so a block of double complex
// elements holds half as many steps as the real engine's (the bytes of a
// double step), and as many register tiles of rows and columns.
template <class R>
constexpr std::size_t complex_kc = std::max<std::size_t>(1, block_kc * sizeof(double) / (2 * sizeof(R)));
template <class R>
constexpr std::size_t complex_mc = std::max<std::size_t>(1, block_mc<R> / kernel_mr<R>) * complex_mr<R>;
constexpr std::size_t complex_nc = std::max<std::size_t>(1, block_nc / kernel_nr) * complex_nr;

// Tile += a (kc steps of MR rows) times t (kc x NR), the tile's MR x NR
// complex elements at c, column-major with leading dimension ldc. Step l of
// a is MR real parts then MR imaginary parts at a + 2 MR l; of t, NR real
// parts then NR imaginary parts at t + 2 NR l.
#if ZELT_HAVE_VECTORS
// The real and the imaginary parts of the lanes<R> complex numbers at p, and
// back: two registers of interleaved parts turned into one of each part.
template <class R, std::size_t... I>
inline void split_parts(const R* p, vec<R>& re, vec<R>& im, std::index_sequence<I...>) noexcept {
  const vec<R> lo = load(p), hi = load(p + lanes<R>);
  re = __builtin_shufflevector(lo, hi, (2 * I)...);
  im = __builtin_shufflevector(lo, hi, (2 * I + 1)...);
}
template <class R, std::size_t... I>
inline void join_parts(R* p, vec<R> re, vec<R> im, std::index_sequence<I...>) noexcept {
  constexpr std::size_t L = lanes<R>;
  store(p, __builtin_shufflevector(re, im, (I % 2 == 0 ? I / 2 : L + I / 2)...));
  store(p + L, __builtin_shufflevector(re, im, (I % 2 == 0 ? L / 2 + I / 2 : L + L / 2 + I / 2)...));
}

template <class R>
ZELT_EXACT_LOOP void complex_kernel(std::size_t kc, const R* a, const R* t, std::complex<R>* c,
                                    std::size_t ldc) {
  ZELT_EXACT_ARITHMETIC
  constexpr std::size_t MR = complex_mr<R>, NR = complex_nr;
  constexpr auto lane = std::make_index_sequence<lanes<R>>();
  vec<R> cr[NR], ci[NR];
  ZELT_UNROLL_TILE for (std::size_t j = 0; j < NR; ++j) {
    split_parts(reinterpret_cast<const R*>(c + j * ldc), cr[j], ci[j], lane);
  }
  // t read through two pointers, one per part of the output (see opaque)
  const R* const t2 = opaque(t);
  for (std::size_t l = 0; l < kc; ++l) {
    const vec<R> ar = load(a + l * 2 * MR), ai = load(a + l * 2 * MR + MR);
    const R *tl = t + l * 2 * NR, *tl2 = t2 + l * 2 * NR;
    ZELT_UNROLL_TILE for (std::size_t j = 0; j < NR; ++j) {
      cr[j] = cr[j] + (ar * tl[j] - ai * tl[NR + j]);
      ci[j] = ci[j] + (ai * tl2[j] + ar * tl2[NR + j]);
    }
  }
  ZELT_UNROLL_TILE for (std::size_t j = 0; j < NR; ++j) {
    join_parts(reinterpret_cast<R*>(c + j * ldc), cr[j], ci[j], lane);
  }
}
#else
template <class R>
ZELT_EXACT_LOOP void complex_kernel(std::size_t kc, const R* a, const R* t, std::complex<R>* c,
                                    std::size_t ldc) {
  ZELT_EXACT_ARITHMETIC
  constexpr std::size_t MR = complex_mr<R>, NR = complex_nr;
  for (std::size_t j = 0; j < NR; ++j) {
    R* cj = reinterpret_cast<R*>(c + j * ldc);
    for (std::size_t l = 0; l < kc; ++l) {
      const R *al = a + l * 2 * MR, *tl = t + l * 2 * NR;
      for (std::size_t i = 0; i < MR; ++i) {
        cj[2 * i] = cj[2 * i] + (mul(tl[j], al[i]) - mul(tl[NR + j], al[MR + i]));
        cj[2 * i + 1] = cj[2 * i + 1] + (mul(tl[j], al[MR + i]) + mul(tl[NR + j], al[i]));
      }
    }
  }
}
#endif

/// Packing buffers for one complex product: the thread's arena when it is
/// free, else a block of their own, else small buffers inside the object
/// (smaller blocks, the same chains and bits).
template <class R>
class complex_workspace {
 public:
  complex_workspace(std::size_t m, std::size_t n, std::size_t k) noexcept {
    constexpr std::size_t MR = complex_mr<R>, NR = complex_nr;
    const std::size_t rows = std::min(complex_mc<R>, (m + MR - 1) / MR * MR),
                      cols = std::min(complex_nc, (n + NR - 1) / NR * NR),
                      depth = std::max<std::size_t>(1, std::min(complex_kc<R>, k));
    const std::size_t a_bytes = (2 * rows * depth * sizeof(R) + 63) / 64 * 64,
                      bytes = a_bytes + 2 * depth * cols * sizeof(R);
    char* base = static_cast<char*>(lease_.get(bytes));
    if (base == nullptr) {
      own_ = ::operator new (bytes, std::align_val_t{64}, std::nothrow);
      base = static_cast<char*>(own_);
    }
    if (base != nullptr) {
      a_ = static_cast<R*>(static_cast<void*>(base));
      b_ = static_cast<R*>(static_cast<void*>(base + a_bytes));
      mc_ = rows;
      nc_ = cols;
      kc_ = depth;
    }
  }
  ~complex_workspace() {
    if (own_ != nullptr) ::operator delete (own_, std::align_val_t{64});
  }
  complex_workspace(const complex_workspace&) = delete;
  complex_workspace& operator=(const complex_workspace&) = delete;

  std::size_t mc() const noexcept { return mc_; }
  std::size_t nc() const noexcept { return nc_; }
  std::size_t kc() const noexcept { return kc_; }
  R* a() const noexcept { return a_; }
  R* b() const noexcept { return b_; }

 private:
  static constexpr std::size_t small_kc = 16;

  arena_lease lease_;
  void* own_ = nullptr;
  alignas(64) R small_a_[2 * complex_mr<R> * small_kc];
  alignas(64) R small_b_[2 * small_kc * complex_nr];
  R* a_ = small_a_;
  R* b_ = small_b_;
  std::size_t mc_ = complex_mr<R>, nc_ = complex_nr, kc_ = small_kc;
};

// Rows [i0, i0 + mc) x steps [l0, l0 + kc) of a into slivers of MR rows,
// each step's real parts then its imaginary parts; rows past the sliver's
// end are padding.
template <class R>
ZELT_EXACT_LOOP void complex_pack_a(conj_ref<std::complex<R>> a, std::size_t i0, std::size_t mc,
                                    std::size_t l0, std::size_t kc, R* out) {
  ZELT_EXACT_ARITHMETIC
  constexpr std::size_t MR = complex_mr<R>;
  const R sign = a.conj ? R(-1) : R(1);
  for (std::size_t s = 0; s < mc; s += MR) {
    const std::size_t rows = std::min(MR, mc - s);
    R* o = out + s * 2 * kc;
    for (std::size_t l = 0; l < kc; ++l, o += 2 * MR) {
      const R* x = reinterpret_cast<const R*>(&a.m(i0 + s, l0 + l));
      const std::ptrdiff_t step = 2 * a.m.rs;
      std::size_t r = 0;
      for (; r < rows; ++r) {
        o[r] = x[static_cast<std::ptrdiff_t>(r) * step];
        o[MR + r] = sign * x[static_cast<std::ptrdiff_t>(r) * step + 1];
      }
      for (; r < MR; ++r) o[r] = o[MR + r] = padding<R>;
    }
  }
}

// Rows [l0, l0 + kc) x columns [j0, j0 + nc) of b into slivers of NR
// columns, each step's real parts then its imaginary parts: alpha b(l, j),
// one rounded complex product (scaled), or b(l, j) as it is.
template <class R>
ZELT_EXACT_LOOP void complex_pack_b(conj_ref<std::complex<R>> b, bool scaled, std::complex<R> alpha,
                                    std::size_t l0, std::size_t kc, std::size_t j0, std::size_t nc, R* out) {
  ZELT_EXACT_ARITHMETIC
  constexpr std::size_t NR = complex_nr;
  for (std::size_t q = 0; q < nc; q += NR) {
    const std::size_t cols = std::min(NR, nc - q);
    R* o = out + q * 2 * kc;
    for (std::size_t l = 0; l < kc; ++l, o += 2 * NR) {
      std::size_t c = 0;
      for (; c < cols; ++c) {
        const std::complex<R> x = scaled ? mul(alpha, b(l0 + l, j0 + q + c)) : b(l0 + l, j0 + q + c);
        o[c] = x.real();
        o[NR + c] = x.imag();
      }
      for (; c < NR; ++c) o[c] = o[NR + c] = padding<R>;
    }
  }
}

// One register tile: the rows x cols outputs at c (column-major, leading
// dimension ldc), in place when the tile is whole, else through a local one.
template <class R>
void complex_tile(std::size_t kc, const R* a, const R* t, std::complex<R>* c, std::size_t ldc,
                  std::size_t rows, std::size_t cols) {
  constexpr std::size_t MR = complex_mr<R>, NR = complex_nr;
  if (rows == MR && cols == NR) {
    complex_kernel(kc, a, t, c, ldc);
    return;
  }
  // (loops, not memcpy: a copy of a variable few bytes is slow to start)
  std::complex<R> tile[MR * NR] = {};
  for (std::size_t j = 0; j < cols; ++j)
    for (std::size_t i = 0; i < rows; ++i) tile[i + j * MR] = c[i + j * ldc];
  complex_kernel(kc, a, t, tile, MR);
  for (std::size_t j = 0; j < cols; ++j)
    for (std::size_t i = 0; i < rows; ++i) c[i + j * ldc] = tile[i + j * MR];
}

/// C(i, j) = C(i, j) + t(l, j) a(i, l) over l = 0 .. k - 1 in order, for the
/// m x n column-major C at c, t(l, j) = alpha b(l, j) when `scaled`, else
/// b(l, j).
template <class R>
void complex_accumulate(std::size_t m, std::size_t n, std::size_t k, conj_ref<std::complex<R>> a,
                        conj_ref<std::complex<R>> b, bool scaled, std::complex<R> alpha, std::complex<R>* c,
                        std::size_t ldc, const complex_workspace<R>& ws) {
  constexpr std::size_t MR = complex_mr<R>, NR = complex_nr;
  for (std::size_t jc = 0; jc < n; jc += ws.nc()) {
    const std::size_t nc = std::min(ws.nc(), n - jc);
    for (std::size_t pc = 0; pc < k; pc += ws.kc()) {
      const std::size_t kc = std::min(ws.kc(), k - pc);
      complex_pack_b(b, scaled, alpha, pc, kc, jc, nc, ws.b());
      for (std::size_t ic = 0; ic < m; ic += ws.mc()) {
        const std::size_t mc = std::min(ws.mc(), m - ic);
        complex_pack_a(a, ic, mc, pc, kc, ws.a());
        for (std::size_t jr = 0; jr < nc; jr += NR) {
          for (std::size_t ir = 0; ir < mc; ir += MR) {
            complex_tile(kc, ws.a() + ir * 2 * kc, ws.b() + jr * 2 * kc, c + (ic + ir) + (jc + jr) * ldc, ldc,
                         std::min(MR, mc - ir), std::min(NR, nc - jr));
          }
        }
      }
    }
  }
}

// c = alpha w (beta == 0) or alpha w + beta c: the end of the chains summed
// from zero into w (m x n, leading dimension ldw).
template <class R>
ZELT_EXACT_LOOP void complex_finish_sum(std::size_t m, std::size_t n, std::complex<R> alpha,
                                        const std::complex<R>* w, std::size_t ldw, std::complex<R> beta,
                                        mref<std::complex<R>> c) {
  ZELT_EXACT_ARITHMETIC
  for (std::size_t j = 0; j < n; ++j) {
    for (std::size_t i = 0; i < m; ++i) {
      std::complex<R>& cij = c(i, j);
      const std::complex<R> x = mul(alpha, w[i + j * ldw]);
      cij = beta == std::complex<R>(0) ? x : x + mul(beta, cij);
    }
  }
}

/// gemm on complex operands: c = alpha a b + beta c, c m x n, k terms, in
/// the reference's two forms: the 'N' form of a (dot_form false) adds
/// (alpha b(l, j)) a(i, l) onto beta c; the 'T' and 'C' forms sum
/// a(i, l) b(l, j) from zero and end with alpha sum + beta c. Threads take
/// blocks of columns (or of rows), each output on one thread.
template <class R>
void complex_gemm_ref(const threads& policy, bool dot_form, std::size_t m, std::size_t n, std::size_t k,
                      std::complex<R> alpha, conj_ref<std::complex<R>> a, conj_ref<std::complex<R>> b,
                      std::complex<R> beta, mref<std::complex<R>> c) {
  using C = std::complex<R>;
  if (m == 0 || n == 0 || ((alpha == C(0) || k == 0) && beta == C(1))) return;
  if (alpha == C(0) || (k == 0 && !dot_form)) {
    for (std::size_t j = 0; j < n; ++j) complex_scale_column(beta, c, j, 0, m);
    return;
  }
  // Operand blocks from (i, j) on. With no terms (the dot form's alpha 0 +
  // beta c) the operands may be empty arrays, never to be addressed.
  const auto block = [k](conj_ref<C> x, std::size_t i, std::size_t j) {
    return k == 0 ? x : conj_ref<C>{x.m.at(i, j), x.conj};
  };
  auto slab = [&](std::size_t i0, std::size_t i1, std::size_t j0, std::size_t j1) {
    const std::size_t mi = i1 - i0, nj = j1 - j0;
    const conj_ref<C> as = block(a, i0, 0), bs = block(b, 0, j0);
    const mref<C> cs = c.at(i0, j0);
    if (!dot_form && cs.rs == 1) {
      for (std::size_t j = 0; j < nj; ++j) complex_scale_column(beta, cs, j, 0, mi);
      const complex_workspace<R> ws(mi, nj, k);
      complex_accumulate(mi, nj, k, as, bs, true, alpha, cs.p, cs.ld(), ws);
      return;
    }
    // Sums from zero (or, for a C whose columns are not contiguous, a copy
    // of it) in a column-major buffer, a block of columns at a time.
    const std::size_t mw = std::min(mi, sum_rows);
    scratch<C> w(mw, std::min(nj, sum_cols));
    const std::size_t nw = w.lines();
    const complex_workspace<R> ws(mw, nw, k);
    for (std::size_t jb = 0; jb < nj; jb += nw) {
      const std::size_t nb = std::min(nw, nj - jb);
      for (std::size_t ib = 0; ib < mi; ib += mw) {
        const std::size_t mb = std::min(mw, mi - ib);
        const mref<C> cb = cs.at(ib, jb);
        const conj_ref<C> ab = block(as, ib, 0), bb = block(bs, 0, jb);
        C* wb = w.data();
        for (std::size_t j = 0; j < nb; ++j) {
          if (!dot_form) complex_scale_column(beta, cb, j, 0, mb);
          for (std::size_t i = 0; i < mb; ++i) wb[i + j * mw] = dot_form ? C(0) : cb(i, j);
        }
        complex_accumulate(mb, nb, k, ab, bb, !dot_form, alpha, wb, mw, ws);
        if (dot_form) {
          complex_finish_sum(mb, nb, alpha, wb, mw, beta, cb);
        } else {
          for (std::size_t j = 0; j < nb; ++j)
            for (std::size_t i = 0; i < mb; ++i) cb(i, j) = wb[i + j * mw];
        }
      }
    }
  };
  const unsigned t = useful_threads(policy, 8.0 * double(m) * double(n) * double(k));
  if (n >= m) {
    run_slabs(t, n, complex_nr, linear, [&](std::size_t j0, std::size_t j1) { slab(0, m, j0, j1); });
  } else {
    run_slabs(t, m, complex_mr<R>, linear, [&](std::size_t i0, std::size_t i1) { slab(i0, i1, 0, n); });
  }
}

}  // namespace zelt::detail::ZELT_KERNEL_SET
