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
// parts then NR imaginary parts at t + 2 NR l. The skipping kernel takes
// pair (l, j) only where keep[l NR + j], testing the pairs one by one only
// in the steps where whole[l] says that some pair is skipped.
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

template <bool Skip, class R>
ZELT_EXACT_LOOP void complex_kernel(std::size_t kc, const R* a, const R* t, const unsigned char* keep,
                                    const unsigned char* whole, std::complex<R>* c, std::size_t ldc) {
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
    if (Skip && !whole[l]) {
      ZELT_UNROLL_TILE for (std::size_t j = 0; j < NR; ++j) {
        if (!keep[l * NR + j]) continue;
        cr[j] = cr[j] + (ar * tl[j] - ai * tl[NR + j]);
        ci[j] = ci[j] + (ai * tl2[j] + ar * tl2[NR + j]);
      }
    } else {
      ZELT_UNROLL_TILE for (std::size_t j = 0; j < NR; ++j) {
        cr[j] = cr[j] + (ar * tl[j] - ai * tl[NR + j]);
        ci[j] = ci[j] + (ai * tl2[j] + ar * tl2[NR + j]);
      }
    }
  }
  ZELT_UNROLL_TILE for (std::size_t j = 0; j < NR; ++j) {
    join_parts(reinterpret_cast<R*>(c + j * ldc), cr[j], ci[j], lane);
  }
}
#else
template <bool Skip, class R>
ZELT_EXACT_LOOP void complex_kernel(std::size_t kc, const R* a, const R* t, const unsigned char* keep,
                                    const unsigned char* whole, std::complex<R>* c, std::size_t ldc) {
  ZELT_EXACT_ARITHMETIC
  constexpr std::size_t MR = complex_mr<R>, NR = complex_nr;
  for (std::size_t j = 0; j < NR; ++j) {
    R* cj = reinterpret_cast<R*>(c + j * ldc);
    for (std::size_t l = 0; l < kc; ++l) {
      if (Skip && !whole[l] && !keep[l * NR + j]) continue;
      const R *al = a + l * 2 * MR, *tl = t + l * 2 * NR;
      for (std::size_t i = 0; i < MR; ++i) {
        cj[2 * i] = cj[2 * i] + (mul(tl[j], al[i]) - mul(tl[NR + j], al[MR + i]));
        cj[2 * i + 1] = cj[2 * i + 1] + (mul(tl[j], al[MR + i]) + mul(tl[NR + j], al[i]));
      }
    }
  }
}
#endif

// The same for a tile whose rows take only some of the steps: step l (from
// the packed block's start) only for the rows [lo, hi) = taking(l), counted
// within the tile. A lane whose row does not take the step keeps its value:
// the sum is computed and then not selected.
#if ZELT_HAVE_VECTORS
template <bool Skip, class R, class Taking>
ZELT_EXACT_LOOP void complex_masked_kernel(std::size_t l0, std::size_t l1, const R* a, const R* t,
                                           const unsigned char* keep, std::complex<R>* c, std::size_t ldc,
                                           const Taking& taking) {
  ZELT_EXACT_ARITHMETIC
  constexpr std::size_t MR = complex_mr<R>, NR = complex_nr;
  constexpr auto lane = std::make_index_sequence<lanes<R>>();
  using mask_t = mask_of<R>;
  using lane_t = std::remove_reference_t<decltype(mask_t{}[0])>;
  mask_t lane_row = {};  // each lane's row within the tile
  for (std::size_t r = 0; r < MR; ++r) lane_row[r] = static_cast<lane_t>(r);
  vec<R> cr[NR], ci[NR];
  for (std::size_t j = 0; j < NR; ++j)
    split_parts(reinterpret_cast<const R*>(c + j * ldc), cr[j], ci[j], lane);
  for (std::size_t l = l0; l < l1; ++l) {
    const auto rows = taking(l);
    const mask_t takes = (lane_row >= mask_t{} + static_cast<lane_t>(rows.first)) &
                         (lane_row < mask_t{} + static_cast<lane_t>(rows.second));
    const vec<R> ar = load(a + l * 2 * MR), ai = load(a + l * 2 * MR + MR);
    const R* tl = t + l * 2 * NR;
    for (std::size_t j = 0; j < NR; ++j) {
      if (Skip && !keep[l * NR + j]) continue;
      const vec<R> sr = cr[j] + (ar * tl[j] - ai * tl[NR + j]);
      const vec<R> si = ci[j] + (ai * tl[j] + ar * tl[NR + j]);
      cr[j] = takes ? sr : cr[j];
      ci[j] = takes ? si : ci[j];
    }
  }
  for (std::size_t j = 0; j < NR; ++j) join_parts(reinterpret_cast<R*>(c + j * ldc), cr[j], ci[j], lane);
}
#else
template <bool Skip, class R, class Taking>
ZELT_EXACT_LOOP void complex_masked_kernel(std::size_t l0, std::size_t l1, const R* a, const R* t,
                                           const unsigned char* keep, std::complex<R>* c, std::size_t ldc,
                                           const Taking& taking) {
  ZELT_EXACT_ARITHMETIC
  constexpr std::size_t MR = complex_mr<R>, NR = complex_nr;
  for (std::size_t l = l0; l < l1; ++l) {
    const auto rows = taking(l);
    const R *al = a + l * 2 * MR, *tl = t + l * 2 * NR;
    for (std::size_t j = 0; j < NR; ++j) {
      if (Skip && !keep[l * NR + j]) continue;
      R* cj = reinterpret_cast<R*>(c + j * ldc);
      for (std::size_t i = rows.first; i < std::min(rows.second, MR); ++i) {
        cj[2 * i] = cj[2 * i] + (mul(tl[j], al[i]) - mul(tl[NR + j], al[MR + i]));
        cj[2 * i + 1] = cj[2 * i + 1] + (mul(tl[j], al[MR + i]) + mul(tl[NR + j], al[i]));
      }
    }
  }
}
#endif

/// Packing buffers for one complex product, with the keep flags of b beside
/// them (as gemm_workspace's): the thread's arena when it is free, else a
/// block of their own, else small buffers inside the object (smaller blocks,
/// the same chains and bits).
template <class R>
class complex_workspace {
 public:
  complex_workspace(std::size_t m, std::size_t n, std::size_t k) noexcept {
    constexpr std::size_t MR = complex_mr<R>, NR = complex_nr;
    const std::size_t rows = std::min(complex_mc<R>, (m + MR - 1) / MR * MR),
                      cols = std::min(complex_nc, (n + NR - 1) / NR * NR),
                      depth = std::max<std::size_t>(1, std::min(complex_kc<R>, k));
    const std::size_t slivers = cols / NR + 1;
    const std::size_t a_bytes = line(2 * rows * depth * sizeof(R)),
                      b_bytes = line(2 * depth * cols * sizeof(R)), keep_bytes = line(depth * cols),
                      whole_bytes = line(depth * slivers);
    const std::size_t bytes = a_bytes + b_bytes + keep_bytes + whole_bytes + slivers * sizeof(bool);
    char* base = static_cast<char*>(lease_.get(bytes));
    if (base == nullptr) {
      own_ = ::operator new (bytes, std::align_val_t{64}, std::nothrow);
      base = static_cast<char*>(own_);
    }
    if (base != nullptr) {
      a_ = static_cast<R*>(static_cast<void*>(base));
      b_ = static_cast<R*>(static_cast<void*>(base + a_bytes));
      keep_ = static_cast<unsigned char*>(static_cast<void*>(base + a_bytes + b_bytes));
      whole_ = keep_ + keep_bytes;
      skips_ = static_cast<bool*>(static_cast<void*>(whole_ + whole_bytes));
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
  unsigned char* keep() const noexcept { return keep_; }
  unsigned char* whole() const noexcept { return whole_; }
  bool* skips() const noexcept { return skips_; }

 private:
  static constexpr std::size_t small_kc = 16;
  static std::size_t line(std::size_t bytes) noexcept { return (bytes + 63) / 64 * 64; }

  arena_lease lease_;
  void* own_ = nullptr;
  alignas(64) R small_a_[2 * complex_mr<R> * small_kc];
  alignas(64) R small_b_[2 * small_kc * complex_nr];
  unsigned char small_keep_[small_kc * complex_nr] = {};
  unsigned char small_whole_[small_kc] = {};
  bool small_skips_[1] = {};
  R* a_ = small_a_;
  R* b_ = small_b_;
  unsigned char* keep_ = small_keep_;
  unsigned char* whole_ = small_whole_;
  bool* skips_ = small_skips_;
  std::size_t mc_ = complex_mr<R>, nc_ = complex_nr, kc_ = small_kc;
};

// Rows [i0, i0 + mc) x steps [l0, l0 + kc) of a (a conj_ref, or two in
// turns) into slivers of MR rows, each step's real parts then its imaginary
// parts; rows past the sliver's end are padding.
template <class R, class AF>
ZELT_EXACT_LOOP void complex_pack_a(const AF& a, std::size_t i0, std::size_t mc, std::size_t l0,
                                    std::size_t kc, R* out) {
  ZELT_EXACT_ARITHMETIC
  constexpr std::size_t MR = complex_mr<R>;
  for (std::size_t s = 0; s < mc; s += MR) {
    const std::size_t rows = std::min(MR, mc - s);
    R* o = out + s * 2 * kc;
    for (std::size_t l = 0; l < kc; ++l, o += 2 * MR) {
      const complex_column<R> x = column_at(a, i0 + s, l0 + l);
      std::size_t r = 0;
      for (; r < rows; ++r) {
        o[r] = x.p[static_cast<std::ptrdiff_t>(r) * x.step];
        o[MR + r] = x.sign * x.p[static_cast<std::ptrdiff_t>(r) * x.step + 1];
      }
      for (; r < MR; ++r) o[r] = o[MR + r] = padding<R>;
    }
  }
}

// Rows [l0, l0 + kc) x columns [j0, j0 + nc) of b into slivers of NR
// columns, each step's real parts then its imaginary parts, with the keep
// flags beside them (unless every pair is kept): whole[s kc + l] tells
// whether step l of sliver s keeps all its pairs, skips[s] whether the
// sliver skips any. keep is keep_all, keep_nonzero (b.nonzero) or a
// predicate of (l, j).
template <class R, class BF, class KF>
ZELT_EXACT_LOOP void complex_pack_b(const BF& b, const KF& keep, std::size_t l0, std::size_t kc,
                                    std::size_t j0, std::size_t nc, R* out, unsigned char* flags,
                                    unsigned char* whole, bool* skips) {
  ZELT_EXACT_ARITHMETIC
  constexpr std::size_t NR = complex_nr;
  constexpr bool all_kept = std::is_same_v<KF, keep_all>;
  for (std::size_t q = 0; q < nc; q += NR) {
    const std::size_t cols = std::min(NR, nc - q);
    R* o = out + q * 2 * kc;
    unsigned char* f = flags + q * kc;
    bool any = false;
    for (std::size_t l = 0; l < kc; ++l, o += 2 * NR, f += NR) {
      bool all = true;
      std::size_t c = 0;
      for (; c < cols; ++c) {
        const std::complex<R> x = b(l0 + l, j0 + q + c);
        o[c] = x.real();
        o[NR + c] = x.imag();
        if constexpr (!all_kept) {
          bool kept = false;
          if constexpr (std::is_same_v<KF, keep_nonzero>) {
            kept = b.nonzero(l0 + l, j0 + q + c);
          } else {
            kept = keep(l0 + l, j0 + q + c);
          }
          f[c] = kept ? 1 : 0;
          all = all && kept;
        }
      }
      for (; c < NR; ++c) {
        o[c] = o[NR + c] = padding<R>;
        f[c] = 1;
      }
      if constexpr (!all_kept) whole[(q / NR) * kc + l] = all ? 1 : 0;
      any = any || !all;
    }
    skips[q / NR] = any;
  }
}

// One register tile: the rows x cols elements of C at c (column-major,
// leading dimension ldc), over the steps [lo, hi) of the packed block (a, t,
// keep and whole at the block's start for this tile), of which the steps
// [pl, ph) are masked by the shape. In place when the tile is whole, all its
// elements are outputs (region 1) and no step is masked, else through a
// local tile of which only the outputs are stored back (region 2:
// shape.output(i0 + i, j0 + j)).
template <bool Skip, class R, class Shape>
void complex_tile(const R* a, const R* t, const unsigned char* keep, const unsigned char* whole,
                  std::complex<R>* c, std::size_t ldc, std::size_t rows, std::size_t cols, std::size_t lo,
                  std::size_t hi, std::size_t pl, std::size_t ph, int region, const Shape& shape,
                  std::size_t i0, std::size_t j0, std::size_t pc) {
  constexpr std::size_t MR = complex_mr<R>, NR = complex_nr;
  const auto full = [&](std::size_t l0, std::size_t l1, std::complex<R>* tc, std::size_t ldt) {
    if (l1 > l0)
      complex_kernel<Skip>(l1 - l0, a + l0 * 2 * MR, t + l0 * 2 * NR, keep + l0 * NR, whole + l0, tc, ldt);
  };
  if (region == 1 && pl >= ph && rows == MR && cols == NR) {
    full(lo, hi, c, ldc);
    return;
  }
  // (loops, not memcpy: a copy of a variable few bytes is slow to start)
  std::complex<R> tile[MR * NR] = {};
  for (std::size_t j = 0; j < cols; ++j)
    for (std::size_t i = 0; i < rows; ++i) tile[i + j * MR] = c[i + j * ldc];
  if (pl >= ph) {
    full(lo, hi, tile, MR);
  } else {
    full(lo, pl, tile, MR);
    const auto taking = [&](std::size_t l) { return shape.taking(i0, pc + l, MR); };
    complex_masked_kernel<Skip>(pl, ph, a, t, keep, tile, MR, taking);
    full(ph, hi, tile, MR);
  }
  for (std::size_t j = 0; j < cols; ++j)
    for (std::size_t i = 0; i < rows; ++i)
      if (region == 1 || shape.output(i0 + i, j0 + j)) c[i + j * ldc] = tile[i + j * MR];
}

/// C(i, j) = C(i, j) + t(l, j) a(i, l) over l = 0 .. k - 1 in order, for the
/// m x n column-major C at c, t(l, j) = b(l, j): a complex_operand (or two
/// in turns), or any function of (l, j). Pairs where keep(l, j) is false are
/// skipped; a shape (see dense_shape) leaves out outputs and terms.
template <class R, class AF, class BF, class KF, class Shape = dense_shape>
void complex_accumulate(std::size_t m, std::size_t n, std::size_t k, const AF& a, const BF& b, const KF& keep,
                        std::complex<R>* c, std::size_t ldc, const complex_workspace<R>& ws,
                        const Shape& shape = Shape{}) {
  constexpr std::size_t MR = complex_mr<R>, NR = complex_nr;
  for (std::size_t jc = 0; jc < n; jc += ws.nc()) {
    const std::size_t nc = std::min(ws.nc(), n - jc);
    for (std::size_t pc = 0; pc < k; pc += ws.kc()) {
      const std::size_t kc = std::min(ws.kc(), k - pc);
      bool packed_b = false;
      for (std::size_t ic = 0; ic < m; ic += ws.mc()) {
        const std::size_t mc = std::min(ws.mc(), m - ic);
        bool packed_a = false;
        for (std::size_t jr = 0; jr < nc; jr += NR) {
          const std::size_t cols = std::min(NR, nc - jr);
          for (std::size_t ir = 0; ir < mc; ir += MR) {
            const std::size_t rows = std::min(MR, mc - ir), i0 = ic + ir, j0 = jc + jr;
            const int region = shape.region(i0, i0 + rows, j0, j0 + cols);
            if (region == 0) continue;
            const auto span = shape.steps(i0, i0 + rows, j0, j0 + cols);
            const std::size_t lo = std::max(span.first, pc), hi = std::min(span.second, pc + kc);
            if (lo >= hi) continue;
            if (!packed_b) {
              complex_pack_b(b, keep, pc, kc, jc, nc, ws.b(), ws.keep(), ws.whole(), ws.skips());
              packed_b = true;
            }
            if (!packed_a) {
              complex_pack_a(a, ic, mc, pc, kc, ws.a());
              packed_a = true;
            }
            const auto part = shape.partial(i0, i0 + rows);
            const std::size_t pl = std::min(std::max(part.first, lo), hi) - pc;
            const std::size_t ph = std::max(std::min(part.second, hi), lo) - pc;
            const std::size_t s = jr / NR;
            auto* tile = ws.skips()[s] ? &complex_tile<true, R, Shape> : &complex_tile<false, R, Shape>;
            tile(ws.a() + ir * 2 * kc, ws.b() + jr * 2 * kc, ws.keep() + jr * kc, ws.whole() + s * kc,
                 c + i0 + j0 * ldc, ldc, rows, cols, lo - pc, hi - pc, pl, std::max(pl, ph), region, shape,
                 i0, j0, pc);
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
  auto slab = [&](std::size_t i0, std::size_t i1, std::size_t j0, std::size_t j1) {
    const std::size_t mi = i1 - i0, nj = j1 - j0;
    const conj_ref<C> as = a.at(i0, 0), bs = b.at(0, j0);
    const mref<C> cs = c.at(i0, j0);
    if (!dot_form && cs.rs == 1) {
      for (std::size_t j = 0; j < nj; ++j) complex_scale_column(beta, cs, j, 0, mi);
      const complex_workspace<R> ws(mi, nj, k);
      complex_accumulate(mi, nj, k, as, complex_operand<R>{bs, true, alpha}, keep_all{}, cs.p, cs.ld(), ws);
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
        const conj_ref<C> ab = as.at(ib, 0), bb = bs.at(0, jb);
        C* wb = w.data();
        for (std::size_t j = 0; j < nb; ++j) {
          if (!dot_form) complex_scale_column(beta, cb, j, 0, mb);
          for (std::size_t i = 0; i < mb; ++i) wb[i + j * mw] = dot_form ? C(0) : cb(i, j);
        }
        complex_accumulate(mb, nb, k, ab, complex_operand<R>{bb, !dot_form, alpha}, keep_all{}, wb, mw, ws);
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

// ---------------------------------------------------------------------------
// syrk, herk, syr2k, her2k: every element of the triangle is one chain; the
// engine runs over the triangle's register tiles only (see syrk_ref).

// Column j of the triangle times beta, as the reference's products start; a
// Hermitian triangle's diagonal as a real (hermitian_scale_column).
template <class R>
void rank_start(bool hermitian, bool upper, std::size_t n, std::complex<R> beta, mref<std::complex<R>> c,
                std::size_t j) {
  if (hermitian) {
    hermitian_scale_column<std::complex<R>>(beta.real(), c, j, upper ? 0 : j + 1, upper ? j : n);
  } else {
    complex_scale_column(beta, c, j, upper ? 0 : j, upper ? j + 1 : n);
  }
}

// The end of the chains summed from zero into w1 (and w2), on the triangle's
// rows of columns [j0, j0 + nj) from row i0: alpha w1 + beta c (syrk, herk),
// beta c + alpha w1 + alpha w2 (syr2k; her2k: conj(alpha) w2). A Hermitian
// diagonal is computed as a real from the real parts; beta == 0 never reads c.
template <class R>
ZELT_EXACT_LOOP void complex_finish_rank(bool hermitian, std::size_t i0, std::size_t j0, std::size_t nj,
                                         const triangle_rows& rows, std::complex<R> alpha,
                                         const std::complex<R>* w1, const std::complex<R>* w2,
                                         std::size_t ldw, std::complex<R> beta, mref<std::complex<R>> c) {
  ZELT_EXACT_ARITHMETIC
  using C = std::complex<R>;
  const C alpha2 = hermitian ? conjugate(alpha) : alpha;
  const bool zero = beta == C(0);
  for (std::size_t j = 0; j < nj; ++j) {
    for (std::size_t i = rows(j).first; i < rows(j).second; ++i) {
      C& cij = c(i0 + i, j0 + j);
      const C x = w1[i + j * ldw];
      const bool on_diagonal = hermitian && i0 + i == j0 + j;
      if (w2 == nullptr) {
        if (on_diagonal) {
          const R t = alpha.real() * x.real();
          cij = C(zero ? t : t + beta.real() * cij.real());
        } else {
          cij = zero ? mul(alpha, x) : mul(alpha, x) + mul(beta, cij);
        }
        continue;
      }
      const C y = w2[i + j * ldw];
      if (on_diagonal) {
        const R sum = (mul(alpha, x) + mul(alpha2, y)).real();
        cij = C(zero ? sum : beta.real() * cij.real() + sum);
      } else {
        cij = zero ? mul(alpha, x) + mul(alpha2, y) : (mul(beta, cij) + mul(alpha, x)) + mul(alpha2, y);
      }
    }
  }
}

/// syrk (c = alpha a a^T + beta c) and herk (alpha a a^H + beta c, alpha and
/// beta real, given as complex) on one triangle of the n x n c, for the
/// logical n x k a; `trans` picks the reference's dot form.
template <class R>
void complex_rank_k_ref(const threads& policy, bool hermitian, bool upper, bool trans, std::size_t n,
                        std::size_t k, std::complex<R> alpha, conj_ref<std::complex<R>> a,
                        std::complex<R> beta, mref<std::complex<R>> c) {
  using C = std::complex<R>;
  if (n == 0 || ((alpha == C(0) || k == 0) && beta == C(1))) return;
  if (!trans && c.rs != 1) {  // (the engine adds onto contiguous columns)
    if (hermitian) {
      complex_herk(upper, trans, n, k, alpha.real(), a, beta.real(), c);
    } else {
      complex_syrk(upper, trans, n, k, alpha, a, beta, c);
    }
    return;
  }
  if (alpha == C(0)) {
    for (std::size_t j = 0; j < n; ++j) rank_start(hermitian, upper, n, beta, c, j);
    return;
  }
  const conj_ref<C> at = hermitian ? a.t().conjugated() : a.t();  // (l, j): a(j, l), conjugated for herk
  auto columns = [&](std::size_t c0, std::size_t c1) {
    const std::size_t r0 = upper ? 0 : c0, r1 = upper ? c1 : n;
    const complex_workspace<R> ws(r1 - r0, c1 - c0, k);
    if (!trans) {
      // beta c, then + (alpha a(j, l)) a(i, l) skipping a(j, l) == 0. herk's
      // diagonal is the real part of the same chain (a real part's chain
      // never reads the imaginary one), which the end sets to zero.
      for (std::size_t j = c0; j < c1; ++j) rank_start(hermitian, upper, n, beta, c, j);
      const mref<C> cb = c.at(r0, c0);
      complex_accumulate(r1 - r0, c1 - c0, k, a.at(r0, 0), complex_operand<R>{at.at(0, c0), true, alpha},
                         keep_nonzero{}, cb.p, cb.ld(), ws, output_triangle(upper, r0, c0));
      if (hermitian) {
        for (std::size_t j = c0; j < c1; ++j) c(j, j) = C(c(j, j).real());
      }
      return;
    }
    triangle_in_chunks<C>(
        upper, r0, r1, c0, c1, 1,
        [&](std::size_t, std::size_t i0, std::size_t mi, std::size_t j0, std::size_t nj,
            const output_triangle& shape, mref<C> w) {
          complex_accumulate(mi, nj, k, a.at(i0, 0), complex_operand<R>{at.at(0, j0)}, keep_all{}, w.p,
                             w.ld(), ws, shape);
        },
        [&](std::size_t i0, std::size_t, std::size_t j0, std::size_t nj, const triangle_rows& rows,
            const C* w, std::size_t, std::size_t ldw) {
          complex_finish_rank(hermitian, i0, j0, nj, rows, alpha, w, static_cast<const C*>(nullptr), ldw,
                              beta, c);
        });
  };
  triangle_slabs(policy, upper, n, 4.0 * double(n) * double(n) * double(k), columns);
}

// her2k's diagonal in the 'N' form, a chain of its own: the real part of
// c(j, j) plus the real part of the sum of the two terms.
template <class R>
ZELT_EXACT_LOOP void her2k_diagonal(std::size_t c0, std::size_t c1, std::size_t k, std::complex<R> alpha,
                                    conj_ref<std::complex<R>> a, conj_ref<std::complex<R>> b,
                                    mref<std::complex<R>> c) {
  ZELT_EXACT_ARITHMETIC
  using C = std::complex<R>;
  for (std::size_t j = c0; j < c1; ++j) {
    for (std::size_t l = 0; l < k; ++l) {
      const C x = a(j, l), y = b(j, l);
      if (x == C(0) && y == C(0)) continue;
      const C t1 = mul(alpha, conjugate(y)), t2 = conjugate(mul(alpha, x));
      c(j, j) = C(c(j, j).real() + (mul(x, t1) + mul(y, t2)).real());
    }
  }
}

/// syr2k (c = alpha a b^T + alpha b a^T + beta c) and her2k (alpha a b^H +
/// conj(alpha) b a^H + beta c, beta real) on one triangle of c, a and b
/// logical n x k.
template <class R>
void complex_rank_2k_ref(const threads& policy, bool hermitian, bool upper, bool trans, std::size_t n,
                         std::size_t k, std::complex<R> alpha, conj_ref<std::complex<R>> a,
                         conj_ref<std::complex<R>> b, std::complex<R> beta, mref<std::complex<R>> c) {
  using C = std::complex<R>;
  if (n == 0 || ((alpha == C(0) || k == 0) && beta == C(1))) return;
  if (!trans && c.rs != 1) {
    if (hermitian) {
      complex_her2k(upper, trans, n, k, alpha, a, b, beta.real(), c);
    } else {
      complex_syr2k(upper, trans, n, k, alpha, a, b, beta, c);
    }
    return;
  }
  if (alpha == C(0)) {
    for (std::size_t j = 0; j < n; ++j) rank_start(hermitian, upper, n, beta, c, j);
    return;
  }
  // (l, j): a(j, l) and b(j, l), conjugated for her2k
  const conj_ref<C> at = hermitian ? a.t().conjugated() : a.t(), bt = hermitian ? b.t().conjugated() : b.t();
  auto columns = [&](std::size_t c0, std::size_t c1) {
    const std::size_t r0 = upper ? 0 : c0, r1 = upper ? c1 : n;
    const complex_workspace<R> ws(r1 - r0, c1 - c0, trans ? k : 2 * k);
    if (!trans) {
      // c(i, j) + a(i, l) t1 + b(i, l) t2, t1 = alpha b(j, l) and t2 =
      // alpha a(j, l) (her2k: alpha conj(b(j, l)) and conj(alpha a(j, l))),
      // one chain over 2k terms in turns, the pair skipped when a(j, l) and
      // b(j, l) are both zero. her2k's diagonal sums the two terms first:
      // a chain of its own.
      for (std::size_t j = c0; j < c1; ++j) rank_start(hermitian, upper, n, beta, c, j);
      const mref<C> cb = c.at(r0, c0);
      const std::size_t strict = hermitian ? 1 : 0;
      const output_triangle shape(upper, r0 + (upper ? strict : 0), c0 + (upper ? 0 : strict));
      complex_accumulate(r1 - r0, c1 - c0, 2 * k, complex_pair_columns<R>{a.at(r0, 0), b.at(r0, 0)},
                         complex_pair_rows<R>{complex_operand<R>{bt.at(0, c0), true, alpha},
                                              complex_operand<R>{a.t().at(0, c0), true, alpha, hermitian}},
                         keep_nonzero{}, cb.p, cb.ld(), ws, shape);
      if (hermitian) her2k_diagonal(c0, c1, k, alpha, a, b, c);
      return;
    }
    // beta c + alpha (sum of a(i, l) bt(l, j)) + alpha (sum of b(i, l) at(l, j))
    triangle_in_chunks<C>(
        upper, r0, r1, c0, c1, 2,
        [&](std::size_t q, std::size_t i0, std::size_t mi, std::size_t j0, std::size_t nj,
            const output_triangle& shape, mref<C> w) {
          const conj_ref<C> x = q == 0 ? a : b, y = q == 0 ? bt : at;
          complex_accumulate(mi, nj, k, x.at(i0, 0), complex_operand<R>{y.at(0, j0)}, keep_all{}, w.p, w.ld(),
                             ws, shape);
        },
        [&](std::size_t i0, std::size_t, std::size_t j0, std::size_t nj, const triangle_rows& rows,
            const C* w, std::size_t mw, std::size_t ldw) {
          complex_finish_rank(hermitian, i0, j0, nj, rows, alpha, w, w + mw, ldw, beta, c);
        });
  };
  triangle_slabs(policy, upper, n, 8.0 * double(n) * double(n) * double(k), columns);
}

// ---------------------------------------------------------------------------
// symm and hemm

// c(i, j) = beta c + (alpha a(j, j)) b(i, j) on rows [r0, r1) (beta == 0:
// without beta c; hemm reads the diagonal's real part): the right side's start.
template <class R>
ZELT_EXACT_LOOP void complex_symm_right_start(bool hermitian, std::size_t r0, std::size_t r1, std::size_t n,
                                              std::complex<R> alpha, conj_ref<std::complex<R>> a,
                                              conj_ref<std::complex<R>> b, std::complex<R> beta,
                                              mref<std::complex<R>> c) {
  ZELT_EXACT_ARITHMETIC
  using C = std::complex<R>;
  for (std::size_t j = 0; j < n; ++j) {
    const C t = mul(alpha, diagonal_value(hermitian, a(j, j)));
    for (std::size_t i = r0; i < r1; ++i)
      c(i, j) = beta == C(0) ? mul(t, b(i, j)) : mul(beta, c(i, j)) + mul(t, b(i, j));
  }
}

// c(i, j) = beta c + (alpha b(i, j)) a(i, i) + alpha w(i, j) (beta == 0:
// without beta c; hemm reads the diagonal's real part): the left side's
// middle, between the sums that end in w and the terms added after.
template <class R>
ZELT_EXACT_LOOP void complex_symm_left_middle(bool hermitian, std::size_t m, std::size_t n,
                                              std::complex<R> alpha, conj_ref<std::complex<R>> a,
                                              conj_ref<std::complex<R>> b, const std::complex<R>* w,
                                              std::size_t ldw, std::complex<R> beta,
                                              mref<std::complex<R>> c) {
  ZELT_EXACT_ARITHMETIC
  using C = std::complex<R>;
  for (std::size_t j = 0; j < n; ++j) {
    for (std::size_t i = 0; i < m; ++i) {
      const C term = mul(mul(alpha, b(i, j)), diagonal_value(hermitian, a(i, i))),
              sum = mul(alpha, w[i + j * ldw]);
      c(i, j) = beta == C(0) ? term + sum : (mul(beta, c(i, j)) + term) + sum;
    }
  }
}

/// symm and hemm (complex_symm's arguments) on the engine.
///  Right: c(i, j) = beta c + (alpha a(j, j)) b(i, j), then + (alpha a(l, j))
///  b(i, l) for every l != j in increasing order, a(l, j) from the stored
///  triangle or mirrored (conjugated for hemm).
///  Left, row i: w = the sum of b(l, j) a(l, i) (hemm: conj(a(l, i))) over
///  the l before i (upper) or after it (lower), from zero in increasing l;
///  then beta c + (alpha b(i, j)) a(i, i) + alpha w; then + (alpha b(l, j))
///  a(i, l) over the other side's l, nearest first. Both sums read the
///  stored triangle only.
template <class R>
void complex_symm_ref(const threads& policy, bool hermitian, bool left, bool upper, std::size_t m,
                      std::size_t n, std::complex<R> alpha, conj_ref<std::complex<R>> a,
                      conj_ref<std::complex<R>> b, std::complex<R> beta, mref<std::complex<R>> c) {
  using C = std::complex<R>;
  if (c.rs != 1 || alpha == C(0)) {
    complex_symm(hermitian, left, upper, m, n, alpha, a, b, beta, c);
    return;
  }
  if (m == 0 || n == 0) return;
  const unsigned threads_used = useful_threads(policy, 8.0 * double(m) * double(n) * double(left ? m : n));
  if (!left) {
    const auto t = [&](std::size_t l, std::size_t j) {
      const bool stored = (l < j) == upper;
      return mul(alpha, stored ? a(l, j) : conjugate_if(hermitian, a(j, l)));
    };
    const auto beside_diagonal = [](std::size_t l, std::size_t j) { return l != j; };
    run_slabs(threads_used, m, complex_mr<R>, linear, [&](std::size_t r0, std::size_t r1) {
      complex_symm_right_start(hermitian, r0, r1, n, alpha, a, b, beta, c);
      const complex_workspace<R> ws(r1 - r0, n, n);
      complex_accumulate(r1 - r0, n, n, b.at(r0, 0), t, beside_diagonal, &c(r0, 0), c.ld(), ws);
    });
    return;
  }
  const conj_ref<C> at{a.m.t(), a.conj != hermitian};  // (i, l): a(l, i), conjugated for hemm
  const row_triangle sums{{}, upper, false, m}, tail{{}, !upper, !upper, m};
  const conj_ref<C> a_tail{a.m.columns_reversed(tail.descending, m), a.conj};
  run_slabs(threads_used, n, complex_nr, linear, [&](std::size_t c0, std::size_t c1) {
    scratch<C> w(m, std::min(c1 - c0, sum_cols));
    const std::size_t nw = w.lines();
    const complex_workspace<R> ws(m, nw, m);
    for (std::size_t j0 = c0; j0 < c1; j0 += nw) {
      const std::size_t nj = std::min(nw, c1 - j0);
      const conj_ref<C> bj = b.at(0, j0);
      const mref<C> cj = c.at(0, j0);
      for (std::size_t e = 0; e < m * nj; ++e) w.data()[e] = C(0);
      complex_accumulate(m, nj, m, at, complex_operand<R>{bj}, keep_all{}, w.data(), m, ws, sums);
      complex_symm_left_middle(hermitian, m, nj, alpha, a, bj, w.data(), m, beta, cj);
      const conj_ref<C> b_tail{bj.m.rows_reversed(tail.descending, m), bj.conj};
      complex_accumulate(m, nj, m, a_tail, complex_operand<R>{b_tail, true, alpha}, keep_all{}, cj.p, cj.ld(),
                         ws, tail);
    }
  });
}

// ---------------------------------------------------------------------------
// trmm. s is the triangular a as a conj_ref over its storage, read only in
// its `upper` (or lower) triangle; b is overwritten. Every chain reads the
// original b, so each block of lines is summed into a buffer that takes b's
// place at the end (as trmm_ref).

// w = b where b is zero (the reference skips it), else (alpha b) a(i, i), or
// alpha b on a unit diagonal: trmm('L', 'N')'s start.
template <class R>
ZELT_EXACT_LOOP void complex_trmm_left_n_start(bool unit, std::size_t m, std::size_t n, std::complex<R> alpha,
                                               conj_ref<std::complex<R>> s, mref<std::complex<R>> b,
                                               mref<std::complex<R>> w) {
  ZELT_EXACT_ARITHMETIC
  using C = std::complex<R>;
  for (std::size_t j = 0; j < n; ++j) {
    for (std::size_t i = 0; i < m; ++i) {
      const C x = b(i, j);
      const C t = mul(alpha, x);
      w(i, j) = x == C(0) ? x : (unit ? t : mul(t, s(i, i)));
    }
  }
}

// w = b, times a(i, i) unless unit: trmm('L', 'T')'s start.
template <class R>
ZELT_EXACT_LOOP void complex_trmm_left_t_start(bool unit, std::size_t m, std::size_t n,
                                               conj_ref<std::complex<R>> s, mref<std::complex<R>> b,
                                               mref<std::complex<R>> w) {
  ZELT_EXACT_ARITHMETIC
  for (std::size_t j = 0; j < n; ++j)
    for (std::size_t i = 0; i < m; ++i) w(i, j) = unit ? b(i, j) : mul(b(i, j), s(i, i));
}

// b = w, or b = alpha w (scaled: the reference's unconditional ALPHA*TEMP).
template <class R>
ZELT_EXACT_LOOP void complex_copy_back(std::size_t m, std::size_t n, bool scaled, std::complex<R> alpha,
                                       mref<std::complex<R>> w, mref<std::complex<R>> b) {
  ZELT_EXACT_ARITHMETIC
  for (std::size_t j = 0; j < n; ++j)
    for (std::size_t i = 0; i < m; ++i) b(i, j) = scaled ? mul(alpha, w(i, j)) : w(i, j);
}

// w(i, j) = t_j b(i, j), t_j = alpha (times a(j, j) unless unit), for
// trmm('R'): always for 'N', only where t_j != 1 for 'T'.
template <class R>
ZELT_EXACT_LOOP void complex_trmm_right_start(bool trans, bool unit, std::size_t m, std::size_t n,
                                              std::complex<R> alpha, conj_ref<std::complex<R>> s,
                                              mref<std::complex<R>> b, mref<std::complex<R>> w) {
  ZELT_EXACT_ARITHMETIC
  using C = std::complex<R>;
  for (std::size_t j = 0; j < n; ++j) {
    const C t = unit ? alpha : mul(alpha, s(j, j));
    const bool scale = !trans || t != C(1);
    for (std::size_t i = 0; i < m; ++i) w(i, j) = scale ? mul(t, b(i, j)) : b(i, j);
  }
}

/// trmm (complex_trmm's arguments) on the engine, in trmm_ref's
/// decompositions:
///  Left 'N': row i starts from (alpha b(i)) a(i, i), then + (alpha b(l))
///  a(i, l) over the l after i (upper) or before it, nearest first, b(l) == 0
///  skipped. Left 'T': row i starts from b(i) a(i, i), then + a(l, i) b(l)
///  over the l before i (upper) or after it, increasing; then times alpha.
///  Right: column j starts from t_j b(j), then + (alpha op(a)(l, j)) b(l)
///  over the l of the pattern, op(a)(l, j) == 0 skipped.
template <class R>
void complex_trmm_ref(const threads& policy, bool left, bool upper, bool trans, bool unit, std::size_t m,
                      std::size_t n, std::complex<R> alpha, conj_ref<std::complex<R>> s,
                      mref<std::complex<R>> b) {
  using C = std::complex<R>;
  if (b.rs != 1) {
    complex_trmm(left, upper, trans, unit, m, n, alpha, s, b);
    return;
  }
  if (triangular3_done(m, n, alpha, b)) return;
  const unsigned threads_used = useful_threads(policy, 4.0 * double(m) * double(n) * double(left ? m : n));
  if (left) {
    const row_triangle shape =
        trans ? row_triangle{{}, upper, false, m} : row_triangle{{}, !upper, !upper, m};
    const conj_ref<C> a = trans ? s.t() : conj_ref<C>{s.m.columns_reversed(shape.descending, m), s.conj};
    run_slabs(threads_used, n, complex_nr, linear, [&](std::size_t c0, std::size_t c1) {
      scratch<C> w(m, std::min(c1 - c0, sum_cols));
      const std::size_t nw = w.lines();
      const complex_workspace<R> ws(m, nw, m);
      const mref<C> wj{w.data(), 1, static_cast<std::ptrdiff_t>(m)};
      for (std::size_t j0 = c0; j0 < c1; j0 += nw) {
        const std::size_t nj = std::min(nw, c1 - j0);
        const mref<C> bj = b.at(0, j0);
        if (!trans) {
          complex_trmm_left_n_start(unit, m, nj, alpha, s, bj, wj);
          const conj_ref<C> bl{bj.rows_reversed(shape.descending, m), false};
          complex_accumulate(m, nj, m, a, complex_operand<R>{bl, true, alpha}, keep_nonzero{}, wj.p, m, ws,
                             shape);
          complex_copy_back(m, nj, false, alpha, wj, bj);
        } else {
          complex_trmm_left_t_start(unit, m, nj, s, bj, wj);
          complex_accumulate(m, nj, m, a, complex_operand<R>{conj_ref<C>{bj, false}}, keep_all{}, wj.p, m, ws,
                             shape);
          complex_copy_back(m, nj, true, alpha, wj, bj);
        }
      }
    });
    return;
  }
  const bool before = upper != trans, descending = trans && !upper;
  const row_triangle order{{}, before, descending, n};
  const column_triangle shape{{}, before, descending, n};
  const conj_ref<C> op = trans ? s.t() : s;  // op(a)(l, j)
  const conj_ref<C> coef{op.m.rows_reversed(descending, n), op.conj};
  const auto keep = [&](std::size_t q, std::size_t j) {
    return order.term(j, q) && op(order.index(q), j) != C(0);
  };
  run_slabs(threads_used, m, complex_mr<R>, linear, [&](std::size_t r0, std::size_t r1) {
    scratch<C> w(n, std::min(r1 - r0, sum_rows));
    const std::size_t mw = w.lines();
    const complex_workspace<R> ws(mw, n, n);
    const mref<C> wi{w.data(), 1, static_cast<std::ptrdiff_t>(mw)};
    for (std::size_t i0 = r0; i0 < r1; i0 += mw) {
      const std::size_t mi = std::min(mw, r1 - i0);
      const mref<C> bi = b.at(i0, 0);
      complex_trmm_right_start(trans, unit, mi, n, alpha, s, bi, wi);
      complex_accumulate(mi, n, n, conj_ref<C>{bi.columns_reversed(descending, n), false},
                         complex_operand<R>{coef, true, alpha}, keep, wi.p, mw, ws, shape);
      complex_copy_back(mi, n, false, alpha, wi, bi);
    }
  });
}

}  // namespace zelt::detail::ZELT_KERNEL_SET
