// The engine's register tile, its kernels, packing and loops, per kernel
// set: the tile's shape and the blocking follow the set's vector width, the
// chains they compute do not. Included once per kernel set by
// detail/gemm_engine.hpp (see detail/for_each_kernel_set.hpp).

namespace zelt::detail::ZELT_KERNEL_SET {

// The register tile: MR rows (MV vectors) by NR columns.
#if ZELT_HAVE_VECTORS
constexpr std::size_t kernel_vectors = 2;
template <class T>
constexpr std::size_t kernel_mr = kernel_vectors* lanes<T>;
#if ZELT_KERNEL_LANES == 8
constexpr std::size_t kernel_nr = 8;
#elif ZELT_KERNEL_LANES == 4
constexpr std::size_t kernel_nr = 6;
#else
constexpr std::size_t kernel_nr = 4;
#endif
#else
constexpr std::size_t kernel_vectors = 1;
template <class T>
constexpr std::size_t kernel_mr = 4;
constexpr std::size_t kernel_nr = 4;
#endif

// Cache blocks: an MC x KC block of a stays in L2 while the KC x NR slivers of
// b stream through L1; a KC x NC panel of b is reused for all of m.
// The sizes may be set at build time (tests use tiny ones to reach every
// block boundary with small matrices); they change no result.
#if !defined(ZELT_BLOCK_KC)
#define ZELT_BLOCK_KC 256
#endif
#if !defined(ZELT_BLOCK_MC)
#define ZELT_BLOCK_MC (20 * kernel_mr<T>)
#endif
#if !defined(ZELT_BLOCK_NC)
#define ZELT_BLOCK_NC 2048
#endif
constexpr std::size_t block_kc = ZELT_BLOCK_KC;
template <class T>
constexpr std::size_t block_mc = (ZELT_BLOCK_MC) / kernel_mr<T>* kernel_mr<T>;
constexpr std::size_t block_nc = (ZELT_BLOCK_NC) / kernel_nr * kernel_nr;
static_assert(block_mc<double> > 0 && block_mc<float> > 0 && block_nc > 0 && block_kc > 0,
              "blocks of at least one register tile");
// A dense product whose a block has at most this many elements reads a in
// place rather than packed.
constexpr std::size_t in_place_elements = std::size_t{64} * 64;
// A product of at most this many terms (m n k) runs tile by tile on its
// operands where they lie (small_product). Settable at build time as the
// blocks are: it changes no result.
#if !defined(ZELT_SMALL_PRODUCT_TERMS)
#define ZELT_SMALL_PRODUCT_TERMS (64.0 * 64.0 * 64.0)
#endif
constexpr double small_product_terms = ZELT_SMALL_PRODUCT_TERMS;
// The rows of one vector of a tile (of the whole tile without vectors).
template <class T>
constexpr std::size_t row_lanes = kernel_mr<T> / kernel_vectors;
// C tile += a (kc steps of MR rows) times packed b (kc x NR), column-major C
// with leading dimension ldc. Step l of a is the tile's rows at a + l lda:
// lda = MR in a packed block, a column's step when a is read in place. Only
// the first `rows` rows and `cols` columns of the tile are C's; the others
// are neither read nor written. MV vectors of rows are computed, enough for
// `rows`; with EdgeA the last one is read from a only as far as `rows` (a
// read in place, whose column may end there). The skipping kernel takes
// pair (l, j) only where keep[l NR + j], testing the pairs one by one only in
// the steps l where whole[l] says that some pair is skipped.
#if ZELT_HAVE_VECTORS
template <bool Skip, std::size_t MV = kernel_vectors, bool EdgeA = false, class T>
ZELT_EXACT_LOOP void micro_kernel(std::size_t kc, const T* a, std::ptrdiff_t lda, const T* b,
                                  const unsigned char* keep, const unsigned char* whole, T* c,
                                  std::size_t ldc, std::size_t rows, std::size_t cols) {
  ZELT_EXACT_ARITHMETIC
  static_assert(MV >= 1 && MV <= kernel_vectors, "a tile of 1 to kernel_vectors vectors of rows");
  constexpr std::size_t NR = kernel_nr, L = lanes<T>;
  // the lanes of C in the last vector (1 ... L)
  const std::size_t edge = rows - (MV - 1) * L;
  vec<T> acc[NR][MV];
  ZELT_UNROLL_TILE for (std::size_t j = 0; j < NR; ++j) {
    ZELT_UNROLL_TILE for (std::size_t v = 0; v < MV; ++v) {
      const T* cv = c + j * ldc + v * L;
      acc[j][v] = vec<T>{};
      if (j < cols) acc[j][v] = MV > v + 1 || edge == L ? load(cv) : load_first(cv, edge);
    }
  }
  const T* bv[MV];  // b, for each vector of rows (see opaque)
  for (std::size_t v = 0; v < MV; ++v) bv[v] = v == 0 ? b : opaque(b);
  for (std::size_t l = 0; l < kc; ++l) {
    vec<T> av[MV];
    const T* al = a + static_cast<std::ptrdiff_t>(l) * lda;
    for (std::size_t v = 0; v < MV; ++v)
      av[v] = EdgeA && MV == v + 1 ? load_first(al + v * L, edge) : load(al + v * L);
    if (Skip && !whole[l]) {
      ZELT_UNROLL_TILE for (std::size_t j = 0; j < NR; ++j) {
        if (!keep[l * NR + j]) continue;
        ZELT_UNROLL_TILE for (std::size_t v = 0; v < MV; ++v) {
          acc[j][v] = acc[j][v] + av[v] * bv[v][l * NR + j];
        }
      }
    } else {
      ZELT_UNROLL_TILE for (std::size_t j = 0; j < NR; ++j) {
        ZELT_UNROLL_TILE for (std::size_t v = 0; v < MV; ++v) {
          acc[j][v] = acc[j][v] + av[v] * bv[v][l * NR + j];
        }
      }
    }
  }
  // Over all NR columns, as the loads: indexed up to a bound known only at
  // run time, the accumulators would live in memory, stored at every step.
  ZELT_UNROLL_TILE for (std::size_t j = 0; j < NR; ++j) {
    if (j >= cols) continue;
    ZELT_UNROLL_TILE for (std::size_t v = 0; v < MV; ++v) {
      T* cv = c + j * ldc + v * L;
      if (MV > v + 1 || edge == L) {
        store(cv, acc[j][v]);
      } else {
        store_first(cv, acc[j][v], edge);
      }
    }
  }
}
#else
template <bool Skip, std::size_t MV = 1, bool EdgeA = false, class T>
ZELT_EXACT_LOOP void micro_kernel(std::size_t kc, const T* a, std::ptrdiff_t lda, const T* b,
                                  const unsigned char* keep, const unsigned char* whole, T* c,
                                  std::size_t ldc, std::size_t rows, std::size_t cols) {
  ZELT_EXACT_ARITHMETIC
  constexpr std::size_t MR = kernel_mr<T>, NR = kernel_nr;
  T acc[NR][MR] = {};
  for (std::size_t j = 0; j < cols; ++j)
    for (std::size_t i = 0; i < rows; ++i) acc[j][i] = c[j * ldc + i];
  for (std::size_t l = 0; l < kc; ++l) {
    const T* al = a + static_cast<std::ptrdiff_t>(l) * lda;
    for (std::size_t j = 0; j < NR; ++j) {
      if (Skip && !whole[l] && !keep[l * NR + j]) continue;
      for (std::size_t i = 0; i < rows; ++i) acc[j][i] = acc[j][i] + mul(al[i], b[l * NR + j]);
    }
  }
  for (std::size_t j = 0; j < cols; ++j)
    for (std::size_t i = 0; i < rows; ++i) c[j * ldc + i] = acc[j][i];
}
#endif

// A tile of a small product, read where its operands lie: no packing, no
// workspace. Step l of a is the tile's rows at a + l lda (contiguous rows,
// read only as far as `rows` with EdgeA); b(l, j) is b[l brs + j bcs] times
// bscale (unless it is 1). Only the first `rows` x `cols` of the tile are C's.
// Chain 'N' (Sum false) starts from beta c and adds b(l, j) a(i, l) term by
// term; chain 'T' (Sum true) sums the terms from zero and ends with
// alpha sum + beta c. beta 0 never reads c.
#if ZELT_HAVE_VECTORS
template <std::size_t MV, bool EdgeA, bool Sum, class T>
ZELT_EXACT_LOOP void small_tile(std::size_t k, const T* a, std::ptrdiff_t lda, const T* b, std::ptrdiff_t brs,
                                std::ptrdiff_t bcs, T bscale, T alpha, T beta, T* c, std::size_t ldc,
                                std::size_t rows, std::size_t cols) {
  ZELT_EXACT_ARITHMETIC
  constexpr std::size_t NR = kernel_nr, L = lanes<T>;
  const std::size_t edge = rows - (MV - 1) * L;
  auto load_c = [&](std::size_t j, std::size_t v) {
    const T* cv = c + j * ldc + v * L;
    return MV > v + 1 || edge == L ? load(cv) : load_first(cv, edge);
  };
  // Columns past `cols` repeat the last one: read, computed, never stored.
  const T* bj[NR];
  for (std::size_t j = 0; j < NR; ++j) bj[j] = b + static_cast<std::ptrdiff_t>(std::min(j, cols - 1)) * bcs;
  vec<T> acc[NR][MV];
  for (std::size_t j = 0; j < NR; ++j) {
    for (std::size_t v = 0; v < MV; ++v) {
      acc[j][v] = vec<T>{};
      if (!Sum && beta != 0.0 && j < cols) acc[j][v] = beta == 1.0 ? load_c(j, v) : beta * load_c(j, v);
    }
  }
  // Vector v reads b(l, j) at bj[j][at + apart[v]]: unscaled, each vector's
  // load folds into its multiply (see opaque).
  std::ptrdiff_t apart[MV];
  for (std::size_t v = 0; v < MV; ++v) apart[v] = v == 0 ? 0 : opaque(std::ptrdiff_t{0});
  auto steps = [&](auto scaled) {
    for (std::size_t l = 0; l < k; ++l) {
      vec<T> av[MV];
      const T* al = a + static_cast<std::ptrdiff_t>(l) * lda;
      for (std::size_t v = 0; v < MV; ++v)
        av[v] = EdgeA && MV == v + 1 ? load_first(al + v * L, edge) : load(al + v * L);
      const std::ptrdiff_t at = static_cast<std::ptrdiff_t>(l) * brs;
      ZELT_UNROLL_TILE for (std::size_t j = 0; j < NR; ++j) {
        if constexpr (decltype(scaled)::value) {
          const T blj = bscale * bj[j][at];
          ZELT_UNROLL_TILE for (std::size_t v = 0; v < MV; ++v) acc[j][v] = acc[j][v] + av[v] * blj;
        } else {
          ZELT_UNROLL_TILE for (std::size_t v = 0; v < MV; ++v) {
            acc[j][v] = acc[j][v] + av[v] * bj[j][at + apart[v]];
          }
        }
      }
    }
  };
  if (bscale == 1.0) {
    steps(std::false_type{});
  } else {
    steps(std::true_type{});
  }
  for (std::size_t j = 0; j < cols; ++j) {
    for (std::size_t v = 0; v < MV; ++v) {
      vec<T> x = acc[j][v];
      if (Sum) x = beta == 0.0 ? alpha * x : alpha * x + beta * load_c(j, v);
      T* cv = c + j * ldc + v * L;
      if (MV > v + 1 || edge == L) {
        store(cv, x);
      } else {
        store_first(cv, x, edge);
      }
    }
  }
}
#else
template <std::size_t MV, bool EdgeA, bool Sum, class T>
ZELT_EXACT_LOOP void small_tile(std::size_t k, const T* a, std::ptrdiff_t lda, const T* b, std::ptrdiff_t brs,
                                std::ptrdiff_t bcs, T bscale, T alpha, T beta, T* c, std::size_t ldc,
                                std::size_t rows, std::size_t cols) {
  ZELT_EXACT_ARITHMETIC
  for (std::size_t j = 0; j < cols; ++j) {
    for (std::size_t i = 0; i < rows; ++i) {
      T& cij = c[i + j * ldc];
      T x = Sum || beta == 0.0 ? 0.0 : beta == 1.0 ? cij : mul(beta, cij);
      for (std::size_t l = 0; l < k; ++l) {
        const T blj = b[static_cast<std::ptrdiff_t>(l) * brs + static_cast<std::ptrdiff_t>(j) * bcs];
        x = x + mul(a[static_cast<std::ptrdiff_t>(i) + static_cast<std::ptrdiff_t>(l) * lda],
                    bscale == 1.0 ? blj : mul(bscale, blj));
      }
      cij = !Sum ? x : beta == 0.0 ? mul(alpha, x) : mul(alpha, x) + mul(beta, cij);
    }
  }
}
#endif

/// The small product c = (chain 'N' or 'T', as small_tile) of the m x k
/// matrix a and the k x n matrix b (b(l, j) = b[l brs + j bcs]), tile after
/// tile: the tile from row i of a starts at a + i a_rs, its step l lda
/// further on (a in place: a_rs 1 and lda its leading dimension; packed by
/// pack_a: a_rs k and lda MR).
template <bool Sum, class T>
void small_product(std::size_t m, std::size_t n, std::size_t k, const T* a, std::size_t a_rs,
                   std::ptrdiff_t lda, const T* b, std::ptrdiff_t brs, std::ptrdiff_t bcs, T bscale, T alpha,
                   T beta, T* c, std::size_t ldc) {
  constexpr std::size_t MR = kernel_mr<T>, NR = kernel_nr, L = row_lanes<T>;
  for (std::size_t j0 = 0; j0 < n; j0 += NR) {
    const std::size_t cols = std::min(NR, n - j0);
    const T* bt = b + static_cast<std::ptrdiff_t>(j0) * bcs;
    for (std::size_t i0 = 0; i0 < m; i0 += MR) {
      const std::size_t rows = std::min(MR, m - i0);
      T* ct = c + i0 + j0 * ldc;
      const T* at = a + i0 * a_rs;
      const bool one = rows <= L, whole = rows / L * L == rows;
      auto* tile = one ? (whole ? &small_tile<1, false, Sum, T> : &small_tile<1, true, Sum, T>)
                       : (whole ? &small_tile<kernel_vectors, false, Sum, T>
                                : &small_tile<kernel_vectors, true, Sum, T>);
      tile(k, at, lda, bt, brs, bcs, bscale, alpha, beta, ct, ldc, rows, cols);
    }
  }
}

// The same for a tile whose rows take only some of the steps l: step l only
// for the rows [lo, hi) = taking(l) (rows counted within the tile, l within
// the packed block), a packed. A lane whose row does not take the step keeps
// its value: the sum is computed and then not selected. MV vectors of rows,
// as micro_kernel; the tile is whole (MR x NR at c).
#if ZELT_HAVE_VECTORS
template <bool Skip, std::size_t MV, class T, class Taking>
ZELT_EXACT_LOOP void masked_kernel(std::size_t l0, std::size_t l1, const T* a, const T* b,
                                   const unsigned char* keep, T* c, std::size_t ldc, const Taking& taking) {
  ZELT_EXACT_ARITHMETIC
  constexpr std::size_t NR = kernel_nr, L = lanes<T>, MR = kernel_mr<T>;
  using mask_t = mask_of<T>;
  using lane_t = std::remove_reference_t<decltype(mask_t{}[0])>;
  mask_t tile_row[MV] = {};  // each lane's row within the tile
  for (std::size_t v = 0; v < MV; ++v)
    for (std::size_t r = 0; r < L; ++r) {
      const std::size_t lane = v * L + r;
      tile_row[v][r] = static_cast<lane_t>(lane);
    }
  vec<T> acc[NR][MV];
  for (std::size_t j = 0; j < NR; ++j)
    for (std::size_t v = 0; v < MV; ++v) acc[j][v] = load(c + j * ldc + v * L);
  const T* bv[MV];  // b, for each vector of rows (see opaque)
  for (std::size_t v = 0; v < MV; ++v) bv[v] = v == 0 ? b : opaque(b);
  for (std::size_t l = l0; l < l1; ++l) {
    const auto rows = taking(l);
    const mask_t lo = mask_t{} + static_cast<lane_t>(rows.first),
                 hi = mask_t{} + static_cast<lane_t>(rows.second);
    vec<T> av[MV];
    mask_t takes[MV];
    for (std::size_t v = 0; v < MV; ++v) {
      av[v] = load(a + l * MR + v * L);
      takes[v] = (tile_row[v] >= lo) & (tile_row[v] < hi);
    }
    for (std::size_t j = 0; j < NR; ++j) {
      if (Skip && !keep[l * NR + j]) continue;
      for (std::size_t v = 0; v < MV; ++v) {
        const vec<T> sum = acc[j][v] + av[v] * bv[v][l * NR + j];
        acc[j][v] = takes[v] ? sum : acc[j][v];
      }
    }
  }
  for (std::size_t j = 0; j < NR; ++j)
    for (std::size_t v = 0; v < MV; ++v) store(c + j * ldc + v * L, acc[j][v]);
}
#else
template <bool Skip, std::size_t MV, class T, class Taking>
ZELT_EXACT_LOOP void masked_kernel(std::size_t l0, std::size_t l1, const T* a, const T* b,
                                   const unsigned char* keep, T* c, std::size_t ldc, const Taking& taking) {
  ZELT_EXACT_ARITHMETIC
  constexpr std::size_t MR = kernel_mr<T>, NR = kernel_nr;
  for (std::size_t l = l0; l < l1; ++l) {
    const auto rows = taking(l);
    for (std::size_t j = 0; j < NR; ++j) {
      if (Skip && !keep[l * NR + j]) continue;
      const T bj = b[l * NR + j];
      for (std::size_t i = rows.first; i < std::min(rows.second, MR); ++i)
        c[i + j * ldc] = c[i + j * ldc] + mul(a[l * MR + i], bj);
    }
  }
}
#endif

/// Packing buffers for one call: the thread's arena when it is free, else a
/// block of their own. When memory is short the engine runs on a small
/// buffer inside this object instead: the same chains with smaller blocks,
/// so the same bits, only slower.
template <class T>
class gemm_workspace {
 public:
  /// Buffers for products of up to m x n outputs and k terms.
  gemm_workspace(std::size_t m, std::size_t n, std::size_t k) noexcept {
    const std::size_t rows = std::min(block_mc<T>, round_up(m, kernel_mr<T>)),
                      cols = std::min(block_nc, round_up(n, kernel_nr)),
                      depth = std::max<std::size_t>(1, std::min(block_kc, k));
    const std::size_t slivers = cols / kernel_nr + 1;
    const std::size_t a_bytes = line(rows * depth * sizeof(T)), b_bytes = line(depth * cols * sizeof(T)),
                      keep_bytes = line(depth * cols), whole_bytes = line(depth * slivers);
    const std::size_t bytes = a_bytes + b_bytes + keep_bytes + whole_bytes + slivers * sizeof(bool);
    char* base = static_cast<char*>(lease_.get(bytes));
    if (base == nullptr) {
      own_ = ::operator new (bytes, std::align_val_t{64}, std::nothrow);
      base = static_cast<char*>(own_);
    }
    if (base != nullptr) {
      a_ = static_cast<T*>(static_cast<void*>(base));
      b_ = static_cast<T*>(static_cast<void*>(base + a_bytes));
      keep_ = static_cast<unsigned char*>(static_cast<void*>(base + a_bytes + b_bytes));
      whole_ = keep_ + keep_bytes;
      skips_ = static_cast<bool*>(static_cast<void*>(whole_ + whole_bytes));
      mc_ = rows;
      nc_ = cols;
      kc_ = depth;
    } else {
      a_ = small_a_;
      b_ = small_b_;
      keep_ = small_keep_;
      skips_ = small_skips_;
      whole_ = small_whole_;
      mc_ = kernel_mr<T>;
      nc_ = kernel_nr;
      kc_ = small_kc;
    }
  }
  ~gemm_workspace() {
    if (own_ != nullptr) ::operator delete (own_, std::align_val_t{64});
  }
  gemm_workspace(const gemm_workspace&) = delete;
  gemm_workspace& operator=(const gemm_workspace&) = delete;

  std::size_t mc() const noexcept { return mc_; }
  std::size_t nc() const noexcept { return nc_; }
  std::size_t kc() const noexcept { return kc_; }
  T* a() const noexcept { return a_; }
  T* b() const noexcept { return b_; }
  unsigned char* keep() const noexcept { return keep_; }
  bool* skips() const noexcept { return skips_; }
  unsigned char* whole() const noexcept { return whole_; }

 private:
  static constexpr std::size_t small_kc = 32;

  static std::size_t round_up(std::size_t x, std::size_t step) noexcept {
    return std::max(step, (x + step - 1) / step * step);
  }
  static std::size_t line(std::size_t bytes) noexcept { return (bytes + 63) / 64 * 64; }

  arena_lease lease_;
  void* own_ = nullptr;
  T* a_ = nullptr;
  T* b_ = nullptr;
  unsigned char* keep_ = nullptr;
  bool* skips_ = nullptr;
  unsigned char* whole_ = nullptr;
  std::size_t mc_ = 0, nc_ = 0, kc_ = 0;
  alignas(64) T small_a_[kernel_mr<T> * small_kc];
  alignas(64) T small_b_[small_kc * kernel_nr];
  unsigned char small_keep_[small_kc * kernel_nr];
  bool small_skips_[1];
  unsigned char small_whole_[small_kc];
};

#if ZELT_HAVE_VECTORS
// Vectors of W elements of T, W a power of two up to lanes<T>: the
// transposes of blocks narrower than a register.
template <class T, std::size_t W>
struct narrow_vector {
  // (a typedef: GCC drops the attribute from an alias of a dependent type)
  typedef T type __attribute__((vector_size(W * sizeof(T))));  // NOLINT(modernize-use-using)
};

// dst[l ds + c] = src[c ss + l], times scale unless it is 1, for c < W and
// l < n: W lines of a block, each contiguous, turned into n rows of W
// through in-register transposes of W x W blocks. Packing a block read
// across its storage costs then a load and a store per vector, not per
// element.
template <std::size_t W, class T>
ZELT_EXACT_LOOP void transpose_lines(const T* src, std::ptrdiff_t ss, std::size_t n, T scale, T* dst,
                                     std::ptrdiff_t ds) {
  ZELT_EXACT_ARITHMETIC
  using V = typename narrow_vector<T, W>::type;
  V s;
  for (std::size_t c = 0; c < W; ++c) s[c] = scale;
  std::size_t l = 0;
  for (; l + W <= n; l += W) {
    V r[W];
    for (std::size_t c = 0; c < W; ++c)
      std::memcpy(&r[c], src + static_cast<std::ptrdiff_t>(c) * ss + l, sizeof(V));
    transpose(r);
    for (std::size_t t = 0; t < W; ++t) {
      const V x = scale == 1.0 ? r[t] : s * r[t];
      std::memcpy(dst + static_cast<std::ptrdiff_t>(l + t) * ds, &x, sizeof(V));
    }
  }
  for (; l < n; ++l) {
    for (std::size_t c = 0; c < W; ++c) {
      const T x = src[static_cast<std::ptrdiff_t>(c) * ss + static_cast<std::ptrdiff_t>(l)];
      dst[static_cast<std::ptrdiff_t>(l) * ds + static_cast<std::ptrdiff_t>(c)] =
          scale == 1.0 ? x : scale * x;
    }
  }
}
// The columns of a sliver of b that one transpose takes: a register's
// lanes, or the widest power of two within the sliver's kernel_nr.
constexpr std::size_t power_of_two_within(std::size_t n) {
  return n < 2 ? 1 : 2 * power_of_two_within(n / 2);
}
template <class T>
constexpr std::size_t sliver_lanes = std::min(lanes<T>, power_of_two_within(kernel_nr));
#endif

// The steps of [l0, l0 + kc) that are `half`'s (0: x, 1: y) in two operands
// taken in turns: the first one's offset in the block, how many, and the
// index of the first within the half.
struct half_steps {
  std::size_t first, count, start;
  half_steps(std::size_t half, std::size_t l0, std::size_t kc) noexcept
      : first((l0 + half) % 2), count(first < kc ? (kc - first + 1) / 2 : 0), start((l0 + first) / 2) {}
};

// Packs rows [i0, i0 + mc) x columns [l0, l0 + kc) of a into MR-row slivers,
// each stored column after column; rows past the end are padding<T>.
template <class AF, class T>
void pack_a(const AF& a, std::size_t i0, std::size_t mc, std::size_t l0, std::size_t kc, T* out) {
  constexpr std::size_t MR = kernel_mr<T>;
  for (std::size_t p = 0; p < mc; p += MR) {
    const std::size_t rows = std::min(MR, mc - p);
    if constexpr (std::is_same_v<AF, interleaved_columns<T>>) {
      if (a.x.scale == 1.0 && a.y.scale == 1.0 && a.x.m.rs == 1 && a.y.m.rs == 1 && rows == MR) {
        for (std::size_t l = 0; l < kc; ++l)
          std::memcpy(out + p * kc + l * MR, &a.half(l0 + l).m(i0 + p, (l0 + l) / 2), sizeof(T) * MR);
        continue;
      }
#if ZELT_HAVE_VECTORS
      if (a.x.scale == 1.0 && a.y.scale == 1.0 && a.x.m.cs == 1 && a.y.m.cs == 1 && rows == MR) {
        for (std::size_t half = 0; half < 2; ++half) {
          const operand<T>& h = half == 0 ? a.x : a.y;
          const half_steps steps(half, l0, kc);
          for (std::size_t r = 0; r < MR; r += lanes<T>)
            transpose_lines<lanes<T>>(&h.m(i0 + p + r, steps.start), h.m.rs, steps.count, T(1),
                                      out + p * kc + steps.first * MR + r,
                                      static_cast<std::ptrdiff_t>(2 * MR));
        }
        continue;
      }
#endif
    }
    if constexpr (std::is_same_v<AF, operand<T>>) {
      if (a.scale == 1.0 && a.m.rs == 1) {
        for (std::size_t l = 0; l < kc; ++l) {
          T* o = out + p * kc + l * MR;
          const T* src = &a.m(i0 + p, l0 + l);
          if (rows == MR) {
            std::memcpy(o, src, sizeof(T) * MR);
          } else {
            // (a loop: a memcpy of a variable few bytes is slow to start)
            for (std::size_t r = 0; r < MR; ++r) o[r] = r < rows ? src[r] : padding<T>;
          }
        }
        continue;
      }
      if (a.scale == 1.0 && a.m.cs == 1) {
        std::size_t r = 0;
#if ZELT_HAVE_VECTORS
        for (; r + lanes<T> <= rows; r += lanes<T>)
          transpose_lines<lanes<T>>(&a.m(i0 + p + r, l0), a.m.rs, kc, T(1), out + p * kc + r,
                                    std::ptrdiff_t{MR});
#endif
        for (; r < MR; ++r) {
          const T* src = &a.m(i0 + p + std::min(r, rows - 1), l0);
          T* o = out + p * kc + r;
          for (std::size_t l = 0; l < kc; ++l) o[l * MR] = r < rows ? src[l] : padding<T>;
        }
        continue;
      }
    }
    for (std::size_t l = 0; l < kc; ++l) {
      T* o = out + p * kc + l * MR;
      std::size_t r = 0;
      for (; r < rows; ++r) o[r] = a(i0 + p + r, l0 + l);
      for (; r < MR; ++r) o[r] = padding<T>;
    }
  }
}

// whole and skips of pack_b from its keep flags.
inline void whole_and_skips(const unsigned char* flags, std::size_t kc, std::size_t nc, unsigned char* whole,
                            bool* skips) {
  constexpr std::size_t NR = kernel_nr;
  for (std::size_t q = 0; q < nc; q += NR) {
    const unsigned char* f = flags + q * kc;
    unsigned char any = 0;
    for (std::size_t l = 0; l < kc; ++l) {
      unsigned char all = 1;
      for (std::size_t c = 0; c < NR; ++c) all &= f[l * NR + c];
      whole[(q / NR) * kc + l] = all;
      any |= static_cast<unsigned char>(all ^ 1);
    }
    skips[q / NR] = any != 0;
  }
}

// The keep flags of pack_b where pair (l, j) is kept when the caller's flag
// p[l rs + j cs] is not zero, read in the order
// of their storage; then whole and skips from them.
inline void nonzero_flags(const unsigned char* p, std::ptrdiff_t rs, std::ptrdiff_t cs, std::size_t l0,
                          std::size_t kc, std::size_t j0, std::size_t nc, unsigned char* flags,
                          unsigned char* whole, bool* skips) {
  constexpr std::size_t NR = kernel_nr;
  auto at = [&](std::size_t l, std::size_t j) {
    return p + static_cast<std::ptrdiff_t>(l) * rs + static_cast<std::ptrdiff_t>(j) * cs;
  };
  if (cs == 1) {
    for (std::size_t l = 0; l < kc; ++l) {
      const unsigned char* stored = at(l0 + l, j0);
      for (std::size_t q = 0; q < nc; q += NR) {
        const std::size_t cols = std::min(NR, nc - q);
        unsigned char* f = flags + q * kc + l * NR;
        for (std::size_t c = 0; c < NR; ++c) f[c] = c >= cols || stored[q + c] != 0 ? 1 : 0;
      }
    }
  } else {
    for (std::size_t q = 0; q < nc; q += NR) {
      const std::size_t cols = std::min(NR, nc - q);
      unsigned char* f = flags + q * kc;
      for (std::size_t c = 0; c < NR; ++c) {
        const unsigned char* stored = at(l0, j0 + q + std::min(c, cols - 1));
        for (std::size_t l = 0; l < kc; ++l)
          f[l * NR + c] = c >= cols || stored[static_cast<std::ptrdiff_t>(l) * rs] != 0 ? 1 : 0;
      }
    }
  }
  whole_and_skips(flags, kc, nc, whole, skips);
}

// pack_b for an operand<T> in memory, read along its storage, and the flags of
// keep_all, keep_nonzero or keep_flags beside it.
template <class T, class KF>
ZELT_EXACT_LOOP void pack_operand(const operand<T>& b, const KF& keep, std::size_t l0, std::size_t kc,
                                  std::size_t j0, std::size_t nc, T* out, unsigned char* flags,
                                  unsigned char* whole, bool* skips) {
  ZELT_EXACT_ARITHMETIC
  constexpr std::size_t NR = kernel_nr;
  // keep_nonzero reads its flags from the packed copy before it is scaled.
  constexpr bool zeros = std::is_same_v<KF, keep_nonzero>;
  const T scale = zeros ? T(1) : b.scale;
  if (b.m.cs == 1) {
    // Row after row, each read along its storage into every sliver.
    for (std::size_t l = 0; l < kc; ++l) {
      const T* src = &b.m(l0 + l, j0);
      for (std::size_t q = 0; q < nc; q += NR) {
        const std::size_t cols = std::min(NR, nc - q);
        T* o = out + q * kc + l * NR;
        std::size_t c = 0;
        if (scale == 1.0 && cols == NR) {
          std::memcpy(o, src + q, sizeof(T) * NR);
          continue;
        }
        if (scale == 1.0) {
          for (; c < cols; ++c) o[c] = src[q + c];
        } else {
          for (; c < cols; ++c) o[c] = scale * src[q + c];
        }
        for (; c < NR; ++c) o[c] = padding<T>;
      }
    }
  } else {
    // Columns contiguous, their rows walked up (rs = 1) or down (rs = -1):
    // column c's rows start at the lowest address and land from packed row
    // `first` on, in steps of `step`.
    for (std::size_t q = 0; q < nc; q += NR) {
      const std::size_t cols = std::min(NR, nc - q);
      T* o = out + q * kc;
      const bool down = b.m.rs < 0;
      const std::size_t low = down ? l0 + kc - 1 : l0;
      T* first = down ? o + (kc - 1) * NR : o;
      const std::ptrdiff_t step = down ? -std::ptrdiff_t{NR} : std::ptrdiff_t{NR};
      std::size_t c = 0;
#if ZELT_HAVE_VECTORS
      for (; c + sliver_lanes<T> <= cols; c += sliver_lanes<T>)
        transpose_lines<sliver_lanes<T>>(&b.m(low, j0 + q + c), b.m.cs, kc, scale, first + c, step);
#endif
      for (; c < NR; ++c) {
        if (c >= cols) {
          for (std::size_t l = 0; l < kc; ++l) o[l * NR + c] = padding<T>;
          continue;
        }
        const T* src = &b.m(low, j0 + q + c);
        for (std::size_t l = 0; l < kc; ++l) {
          const auto at = static_cast<std::ptrdiff_t>(l) * step;
          first[at + static_cast<std::ptrdiff_t>(c)] = scale == 1.0 ? src[l] : scale * src[l];
        }
      }
    }
  }
  if constexpr (std::is_same_v<KF, keep_all>) {
    std::memset(flags, 1, (nc + NR - 1) / NR * NR * kc);
    std::memset(whole, 1, (nc + NR - 1) / NR * kc);
    for (std::size_t q = 0; q < nc; q += NR) skips[q / NR] = false;
  } else if constexpr (zeros) {
    const std::size_t count = (nc + NR - 1) / NR * NR * kc;
    // the padding<T> columns hold NaN, and so are kept as they must be
    for (std::size_t e = 0; e < count; ++e) flags[e] = out[e] != 0.0 ? 1 : 0;
    if (b.scale != 1.0)
      for (std::size_t e = 0; e < count; ++e) out[e] = b.scale * out[e];
    whole_and_skips(flags, kc, nc, whole, skips);
  } else {
    nonzero_flags(keep.p, keep.rs, keep.cs, l0, kc, j0, nc, flags, whole, skips);
  }
}

// pack_b for two operands in turns, each with its rows or its columns
// contiguous: every pair kept, or (`zeros`) the pairs where either half's
// element is not zero. With contiguous columns each half goes through
// transposes into every other packed row.
template <class T>
ZELT_EXACT_LOOP void pack_interleaved(const interleaved_rows<T>& b, bool zeros, std::size_t l0,
                                      std::size_t kc, std::size_t j0, std::size_t nc, T* out,
                                      unsigned char* flags, unsigned char* whole, bool* skips) {
  ZELT_EXACT_ARITHMETIC
  constexpr std::size_t NR = kernel_nr;
  // The elements as stored first: the flags are read from them, then each
  // step is scaled by its half's factor.
  if (b.x.m.cs == 1 && b.y.m.cs == 1) {
    // Row after row, each read along its storage into every sliver.
    for (std::size_t l = 0; l < kc; ++l) {
      const T* src = &b.half(l0 + l).m((l0 + l) / 2, j0);
      for (std::size_t q = 0; q < nc; q += NR) {
        const std::size_t cols = std::min(NR, nc - q);
        T* o = out + q * kc + l * NR;
        if (cols == NR) {
          std::memcpy(o, src + q, sizeof(T) * NR);
        } else {
          for (std::size_t c = 0; c < NR; ++c) o[c] = c < cols ? src[q + c] : padding<T>;
        }
      }
    }
  } else {
    for (std::size_t q = 0; q < nc; q += NR) {
      const std::size_t cols = std::min(NR, nc - q);
      for (std::size_t half = 0; half < 2; ++half) {
        const operand<T>& h = half == 0 ? b.x : b.y;
        const half_steps steps(half, l0, kc);
        T* dst = out + q * kc + steps.first * NR;
        std::size_t c = 0;
#if ZELT_HAVE_VECTORS
        for (; c + sliver_lanes<T> <= cols; c += sliver_lanes<T>)
          transpose_lines<sliver_lanes<T>>(&h.m(steps.start, j0 + q + c), h.m.cs, steps.count, T(1), dst + c,
                                           static_cast<std::ptrdiff_t>(2 * NR));
#endif
        for (std::size_t t = 0; t < steps.count; ++t)
          for (std::size_t e = c; e < NR; ++e)
            dst[t * 2 * NR + e] = e < cols ? h.m(steps.start + t, j0 + q + e) : padding<T>;
      }
    }
  }
  const std::size_t slivers = (nc + NR - 1) / NR;
  if (zeros) {
    // A pair is kept unless both halves are zero; the padding<T> (NaN) is kept.
    // A pair cut by the block's edge reads its other half from memory.
    for (std::size_t s = 0; s < slivers; ++s) {
      const std::size_t q = s * NR;
      for (std::size_t l = 0; l < kc; ++l) {
        const T* o = out + q * kc + l * NR;
        unsigned char* f = flags + q * kc + l * NR;
        const std::size_t partner = (l0 + l) ^ 1;
        if (partner >= l0 && partner - l0 < kc) {
          const T* p = out + q * kc + (partner - l0) * NR;
          for (std::size_t c = 0; c < NR; ++c) f[c] = o[c] != 0.0 || p[c] != 0.0 ? 1 : 0;
        } else {
          for (std::size_t c = 0; c < NR; ++c) f[c] = q + c >= nc || b.nonzero(l0 + l, j0 + q + c) ? 1 : 0;
        }
      }
    }
  } else {
    std::memset(flags, 1, slivers * NR * kc);
  }
  if (b.x.scale != 1.0 || b.y.scale != 1.0) {
    for (std::size_t s = 0; s < slivers; ++s) {
      for (std::size_t l = 0; l < kc; ++l) {
        const T scale = b.half(l0 + l).scale;
        T* o = out + s * NR * kc + l * NR;
        for (std::size_t c = 0; c < NR; ++c) o[c] = scale * o[c];
      }
    }
  }
  whole_and_skips(flags, kc, nc, whole, skips);
}

// Packs rows [l0, l0 + kc) x columns [j0, j0 + nc) of b into NR-column
// slivers, each stored row after row, with the keep flags beside them:
// whole[s kc + l] tells whether step l of sliver s keeps all its pairs, and
// skips[s] whether the sliver skips any.
template <class BF, class KF, class T>
void pack_b(const BF& b, const KF& keep, std::size_t l0, std::size_t kc, std::size_t j0, std::size_t nc,
            T* out, unsigned char* flags, unsigned char* whole, bool* skips) {
  constexpr std::size_t NR = kernel_nr;
  constexpr bool zeros = std::is_same_v<KF, keep_nonzero>;
  if constexpr (std::is_same_v<BF, interleaved_rows<T>> && (zeros || std::is_same_v<KF, keep_all>)) {
    if ((b.x.m.cs == 1 && b.y.m.cs == 1) || (b.x.m.rs == 1 && b.y.m.rs == 1)) {
      pack_interleaved(b, zeros, l0, kc, j0, nc, out, flags, whole, skips);
      return;
    }
  }
  if constexpr (std::is_same_v<BF, operand<T>> &&
                (zeros || std::is_same_v<KF, keep_all> || std::is_same_v<KF, keep_flags>)) {
    if (b.m.rs == 1 || b.m.rs == -1 || b.m.cs == 1) {
      pack_operand(b, keep, l0, kc, j0, nc, out, flags, whole, skips);
      return;
    }
  }
  for (std::size_t q = 0; q < nc; q += NR) {
    const std::size_t cols = std::min(NR, nc - q);
    bool any = false;
    for (std::size_t l = 0; l < kc; ++l) {
      T* o = out + q * kc + l * NR;
      unsigned char* f = flags + q * kc + l * NR;
      bool all = true;
      std::size_t c = 0;
      for (; c < cols; ++c) {
        o[c] = b(l0 + l, j0 + q + c);
        if constexpr (std::is_same_v<KF, keep_all>) {
          f[c] = 1;
        } else if constexpr (zeros) {
          f[c] = b.nonzero(l0 + l, j0 + q + c) ? 1 : 0;
          all = all && f[c] != 0;
        } else {
          f[c] = keep(l0 + l, j0 + q + c) ? 1 : 0;
          all = all && f[c] != 0;
        }
      }
      for (; c < NR; ++c) {
        o[c] = padding<T>;
        f[c] = 1;
      }
      whole[(q / NR) * kc + l] = all ? 1 : 0;
      any = any || !all;
    }
    skips[q / NR] = any;
  }
}

// One register tile over the steps [lo, hi) of the block (steps [pl, ph) of
// it masked by the shape), a's step l at a + l lda: straight into C when all
// the tile's elements of C are outputs and no step is masked, else through a
// local tile of which only the outputs are stored. A tile of at most one
// vector of rows computes that vector only.
template <bool EdgeA, class Shape, class T>
void run_tile(bool skips, const T* a, std::ptrdiff_t lda, const T* b, const unsigned char* keep,
              const unsigned char* whole, T* c, std::size_t ldc, std::size_t rows, std::size_t cols,
              std::size_t lo, std::size_t hi, std::size_t pl, std::size_t ph, int region, std::size_t i0,
              std::size_t j0, std::size_t pc, const Shape& shape) {
  constexpr std::size_t MR = kernel_mr<T>, NR = kernel_nr;
  auto full = [&](std::size_t l0, std::size_t l1, T* t, std::size_t ldt, std::size_t r, std::size_t q) {
    if (l1 <= l0) return;
    const T* al = a + static_cast<std::ptrdiff_t>(l0) * lda;
#if ZELT_HAVE_VECTORS
    if (r <= lanes<T> && kernel_vectors > 1) {
      constexpr std::size_t one = 1;
      if (skips) {
        micro_kernel<true, one, EdgeA>(l1 - l0, al, lda, b + l0 * NR, keep + l0 * NR, whole + l0, t, ldt, r,
                                       q);
      } else {
        micro_kernel<false, one, EdgeA>(l1 - l0, al, lda, b + l0 * NR, keep + l0 * NR, whole + l0, t, ldt, r,
                                        q);
      }
      return;
    }
#endif
    if (skips) {
      micro_kernel<true, kernel_vectors, EdgeA>(l1 - l0, al, lda, b + l0 * NR, keep + l0 * NR, whole + l0, t,
                                                ldt, r, q);
    } else {
      micro_kernel<false, kernel_vectors, EdgeA>(l1 - l0, al, lda, b + l0 * NR, keep + l0 * NR, whole + l0, t,
                                                 ldt, r, q);
    }
  };
  if (region == 1 && pl >= ph) {
    full(lo, hi, c, ldc, rows, cols);
    return;
  }
  // (loops, not memcpy: a copy of a variable few bytes is slow to start)
  alignas(64) T tile[MR * NR] = {};
  for (std::size_t j = 0; j < cols; ++j)
    for (std::size_t i = 0; i < rows; ++i) tile[i + j * MR] = c[i + j * ldc];
  // (a is packed here: only dense products read it in place)
  if (pl >= ph) {
    full(lo, hi, tile, MR, rows, cols);
  } else {
    full(lo, pl, tile, MR, rows, cols);
    const auto taking = [&](std::size_t l) { return shape.taking(i0, pc + l, MR); };
    const bool one = ZELT_HAVE_VECTORS && rows <= row_lanes<T>;
    if (skips) {
      if (one)
        masked_kernel<true, 1>(pl, ph, a, b, keep, tile, MR, taking);
      else
        masked_kernel<true, kernel_vectors>(pl, ph, a, b, keep, tile, MR, taking);
    } else {
      if (one)
        masked_kernel<false, 1>(pl, ph, a, b, keep, tile, MR, taking);
      else
        masked_kernel<false, kernel_vectors>(pl, ph, a, b, keep, tile, MR, taking);
    }
    full(ph, hi, tile, MR, rows, cols);
  }
  for (std::size_t j = 0; j < cols; ++j) {
    if (region == 1) {
      for (std::size_t i = 0; i < rows; ++i) c[i + j * ldc] = tile[i + j * MR];
    } else {
      for (std::size_t i = 0; i < rows; ++i)
        if (shape.output(i0 + i, j0 + j)) c[i + j * ldc] = tile[i + j * MR];
    }
  }
}

/// C(i, j) = C(i, j) + b(l, j) a(i, l) over l = 0 .. k - 1 in order, for the
/// m x n column-major C at c with leading dimension ldc, skipping pairs where
/// keep(l, j) is false and, for a triangular `shape`, the terms and outputs
/// it leaves out.
template <class AF, class BF, class KF, class T, class Shape = dense_shape>
void accumulate(std::size_t m, std::size_t n, std::size_t k, const AF& a, const BF& b, const KF& keep, T* c,
                std::size_t ldc, const gemm_workspace<T>& ws, const Shape& shape = Shape{}) {
  constexpr std::size_t MR = kernel_mr<T>, NR = kernel_nr;
  if (m == 0 || n == 0 || k == 0) return;
  // A small dense product reads a where it lies, when its columns are
  // contiguous and unscaled: packing would cost as much as the product.
  bool in_place = false;
  if constexpr (std::is_same_v<AF, operand<T>> && std::is_same_v<Shape, dense_shape>)
    in_place = a.m.rs == 1 && a.m.cs > 0 && a.scale == 1.0 && m * std::min(k, ws.kc()) <= in_place_elements;
  for (std::size_t jc = 0; jc < n; jc += ws.nc()) {
    const std::size_t nc = std::min(ws.nc(), n - jc);
    for (std::size_t pc = 0; pc < k; pc += ws.kc()) {
      const std::size_t kc = std::min(ws.kc(), k - pc);
      bool packed_b = false;
      for (std::size_t ic = 0; ic < m; ic += ws.mc()) {
        const std::size_t mc = std::min(ws.mc(), m - ic);
        bool packed_a = in_place;
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
              pack_b(b, keep, pc, kc, jc, nc, ws.b(), ws.keep(), ws.whole(), ws.skips());
              packed_b = true;
            }
            if (!packed_a) {
              pack_a(a, ic, mc, pc, kc, ws.a());
              packed_a = true;
            }
            const auto part = shape.partial(i0, i0 + rows);
            const std::size_t pl = std::min(std::max(part.first, lo), hi) - pc;
            const std::size_t ph = std::max(std::min(part.second, hi), lo) - pc;
            const T* at = ws.a() + ir * kc;
            std::ptrdiff_t lda = MR;
            if constexpr (std::is_same_v<AF, operand<T>>) {
              if (in_place) {
                at = &a.m(i0, pc);
                lda = a.m.cs;
              }
            }
            // a read in place ends with its rows: a partial vector is masked
            const bool edge = in_place && rows / row_lanes<T> * row_lanes<T> != rows;
            const std::size_t s = jr / NR;
            auto* tile = edge ? &run_tile<true, Shape, T> : &run_tile<false, Shape, T>;
            tile(ws.skips()[s], at, lda, ws.b() + jr * kc, ws.keep() + jr * kc, ws.whole() + s * kc,
                 c + i0 + j0 * ldc, ldc, rows, cols, lo - pc, hi - pc, pl, std::max(pl, ph), region, i0, j0,
                 pc, shape);
          }
        }
      }
    }
  }
}

}  // namespace zelt::detail::ZELT_KERNEL_SET
