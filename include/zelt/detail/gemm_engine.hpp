#ifndef ZELT_DETAIL_GEMM_ENGINE_HPP_
#define ZELT_DETAIL_GEMM_ENGINE_HPP_

// The engine behind every Level 3 operation:
//
//     C(i, j) = C(i, j) + b(l, j) a(i, l)      for l = 0, 1, ..., k - 1 in order,
//
// one chain per output element, each product rounded on its own and added to
// the running value, optionally skipping the (l, j) pairs that the caller's
// `keep` says the reference skips. Many chains run side by side: a register
// tile of MR x NR outputs stays in vector accumulators while k advances, and
// k is cut into blocks that are added in order onto the values C already
// holds. Blocking sizes, packing and the tile shape therefore decide only how
// fast this runs, never a bit of the result.
//
// The operands are functions of the logical index, so a caller can feed a
// transposed, reversed, interleaved or pre-scaled matrix without copying it:
// the engine copies ("packs") blocks of them into aligned buffers laid out
// for the micro-kernel anyway.

#include <algorithm>  // std::min
#include <cstddef>    // std::size_t
#include <cstring>    // std::memcpy
#include <new>        // std::nothrow, std::align_val_t
#include <type_traits>  // std::is_same_v

#include "zelt/detail/exact.hpp"
#include "zelt/detail/simd.hpp"

namespace zelt::detail {

// The register tile: MR rows (MV vectors) by NR columns.
#if ZELT_HAVE_VECTORS
constexpr std::size_t kernel_vectors = 2;
constexpr std::size_t kernel_mr = kernel_vectors * vector_lanes;
#if defined(__AVX512F__)
constexpr std::size_t kernel_nr = 8;
#elif defined(__AVX__)
constexpr std::size_t kernel_nr = 6;
#else
constexpr std::size_t kernel_nr = 4;
#endif
#else
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
#define ZELT_BLOCK_MC (20 * kernel_mr)
#endif
#if !defined(ZELT_BLOCK_NC)
#define ZELT_BLOCK_NC 2048
#endif
constexpr std::size_t block_kc = ZELT_BLOCK_KC;
constexpr std::size_t block_mc = ZELT_BLOCK_MC;
constexpr std::size_t block_nc = ZELT_BLOCK_NC;
static_assert(block_mc % kernel_mr == 0 && block_nc % kernel_nr == 0, "blocks of whole register tiles");

/// Every (l, j) pair takes part: the chains of gemm and symm.
struct keep_all {
  bool operator()(std::size_t, std::size_t) const noexcept { return true; }
};

// C tile += packed a (kc x MR) times packed b (kc x NR), column-major C with
// leading dimension ldc. Skipping kernel: pair (l, j) only where keep[l NR + j].
#if ZELT_HAVE_VECTORS
template <bool Skip>
ZELT_EXACT_LOOP void micro_kernel(std::size_t kc, const double* a, const double* b, const unsigned char* keep,
                                  double* c, std::size_t ldc) {
  ZELT_EXACT_ARITHMETIC
  constexpr std::size_t MV = kernel_vectors, NR = kernel_nr, L = vector_lanes;
  vec_t acc[NR][MV];
  for (std::size_t j = 0; j < NR; ++j)
    for (std::size_t v = 0; v < MV; ++v) acc[j][v] = load(c + j * ldc + v * L);
  for (std::size_t l = 0; l < kc; ++l) {
    vec_t av[MV];
    for (std::size_t v = 0; v < MV; ++v) av[v] = load(a + l * MV * L + v * L);
    for (std::size_t j = 0; j < NR; ++j) {
      if constexpr (Skip) {
        if (!keep[l * NR + j]) continue;
      }
      const double bj = b[l * NR + j];
      for (std::size_t v = 0; v < MV; ++v) acc[j][v] = acc[j][v] + av[v] * bj;
    }
  }
  for (std::size_t j = 0; j < NR; ++j)
    for (std::size_t v = 0; v < MV; ++v) store(c + j * ldc + v * L, acc[j][v]);
}
#else
template <bool Skip>
ZELT_EXACT_LOOP void micro_kernel(std::size_t kc, const double* a, const double* b, const unsigned char* keep,
                                  double* c, std::size_t ldc) {
  ZELT_EXACT_ARITHMETIC
  constexpr std::size_t MR = kernel_mr, NR = kernel_nr;
  double acc[NR][MR];
  for (std::size_t j = 0; j < NR; ++j)
    for (std::size_t i = 0; i < MR; ++i) acc[j][i] = c[j * ldc + i];
  for (std::size_t l = 0; l < kc; ++l) {
    for (std::size_t j = 0; j < NR; ++j) {
      if constexpr (Skip) {
        if (!keep[l * NR + j]) continue;
      }
      for (std::size_t i = 0; i < MR; ++i) acc[j][i] = acc[j][i] + mul(a[l * MR + i], b[l * NR + j]);
    }
  }
  for (std::size_t j = 0; j < NR; ++j)
    for (std::size_t i = 0; i < MR; ++i) c[j * ldc + i] = acc[j][i];
}
#endif

/// Packing buffers, allocated once per call (per thread). When memory is
/// short the engine runs on a small buffer inside this object instead: the
/// same chains with smaller blocks, so the same bits, only slower.
class gemm_workspace {
 public:
  gemm_workspace() noexcept {
    a_ = allocate<double>(block_mc * block_kc);
    b_ = allocate<double>(block_kc * block_nc);
    keep_ = allocate<unsigned char>(block_kc * block_nc);
    skips_ = allocate<bool>(block_nc / kernel_nr + 1);
    if (a_ != nullptr && b_ != nullptr && keep_ != nullptr && skips_ != nullptr) {
      mc_ = block_mc;
      nc_ = block_nc;
      kc_ = block_kc;
    } else {
      release();
      a_ = small_a_;
      b_ = small_b_;
      keep_ = small_keep_;
      skips_ = small_skips_;
      mc_ = kernel_mr;
      nc_ = kernel_nr;
      kc_ = small_kc;
    }
  }
  ~gemm_workspace() { release(); }
  gemm_workspace(const gemm_workspace&) = delete;
  gemm_workspace& operator=(const gemm_workspace&) = delete;

  std::size_t mc() const noexcept { return mc_; }
  std::size_t nc() const noexcept { return nc_; }
  std::size_t kc() const noexcept { return kc_; }
  double* a() const noexcept { return a_; }
  double* b() const noexcept { return b_; }
  unsigned char* keep() const noexcept { return keep_; }
  bool* skips() const noexcept { return skips_; }

 private:
  static constexpr std::size_t small_kc = 32;

  template <class T>
  static T* allocate(std::size_t count) noexcept {
    return static_cast<T*>(::operator new(count * sizeof(T), std::align_val_t{64}, std::nothrow));
  }
  template <class T>
  void free_one(T* p, const T* small) noexcept {
    if (p != nullptr && p != small) ::operator delete(p, std::align_val_t{64});
  }
  void release() noexcept {
    free_one(a_, small_a_);
    free_one(b_, small_b_);
    free_one(keep_, small_keep_);
    free_one(skips_, small_skips_);
    skips_ = nullptr;
    a_ = nullptr;
    b_ = nullptr;
    keep_ = nullptr;
  }

  double* a_ = nullptr;
  double* b_ = nullptr;
  unsigned char* keep_ = nullptr;
  bool* skips_ = nullptr;
  std::size_t mc_ = 0, nc_ = 0, kc_ = 0;
  alignas(64) double small_a_[kernel_mr * small_kc];
  alignas(64) double small_b_[small_kc * kernel_nr];
  unsigned char small_keep_[small_kc * kernel_nr];
  bool small_skips_[1];
};

// Packs rows [i0, i0 + mc) x columns [l0, l0 + kc) of a into MR-row slivers,
// each stored column after column; rows past the end are zero (their outputs
// are never stored).
template <class AF>
void pack_a(const AF& a, std::size_t i0, std::size_t mc, std::size_t l0, std::size_t kc, double* out) {
  constexpr std::size_t MR = kernel_mr;
  for (std::size_t p = 0; p < mc; p += MR) {
    const std::size_t rows = std::min(MR, mc - p);
    for (std::size_t l = 0; l < kc; ++l) {
      double* o = out + p * kc + l * MR;
      std::size_t r = 0;
      for (; r < rows; ++r) o[r] = a(i0 + p + r, l0 + l);
      for (; r < MR; ++r) o[r] = 0.0;
    }
  }
}

// Packs rows [l0, l0 + kc) x columns [j0, j0 + nc) of b into NR-column
// slivers, each stored row after row, with the keep flags beside them;
// skips[s] tells whether sliver s has any pair to skip.
template <class BF, class KF>
void pack_b(const BF& b, const KF& keep, std::size_t l0, std::size_t kc, std::size_t j0, std::size_t nc,
            double* out, unsigned char* flags, bool* skips) {
  constexpr std::size_t NR = kernel_nr;
  for (std::size_t q = 0; q < nc; q += NR) {
    const std::size_t cols = std::min(NR, nc - q);
    bool any = false;
    for (std::size_t l = 0; l < kc; ++l) {
      double* o = out + q * kc + l * NR;
      unsigned char* f = flags + q * kc + l * NR;
      std::size_t c = 0;
      for (; c < cols; ++c) {
        o[c] = b(l0 + l, j0 + q + c);
        if constexpr (std::is_same_v<KF, keep_all>) {
          f[c] = 1;
        } else {
          f[c] = keep(l0 + l, j0 + q + c) ? 1 : 0;
          any = any || f[c] == 0;
        }
      }
      for (; c < NR; ++c) {
        o[c] = 0.0;
        f[c] = 1;
      }
    }
    skips[q / NR] = any;
  }
}

// One register tile: straight into C when it is whole, through a local tile
// when it sticks out of C.
inline void run_tile(bool skips, std::size_t kc, const double* a, const double* b, const unsigned char* keep,
                     double* c, std::size_t ldc, std::size_t rows, std::size_t cols) {
  constexpr std::size_t MR = kernel_mr, NR = kernel_nr;
  if (rows == MR && cols == NR) {
    if (skips) {
      micro_kernel<true>(kc, a, b, keep, c, ldc);
    } else {
      micro_kernel<false>(kc, a, b, keep, c, ldc);
    }
    return;
  }
  alignas(64) double tile[MR * NR] = {};
  for (std::size_t j = 0; j < cols; ++j) std::memcpy(tile + j * MR, c + j * ldc, rows * sizeof(double));
  if (skips) {
    micro_kernel<true>(kc, a, b, keep, tile, MR);
  } else {
    micro_kernel<false>(kc, a, b, keep, tile, MR);
  }
  for (std::size_t j = 0; j < cols; ++j) std::memcpy(c + j * ldc, tile + j * MR, rows * sizeof(double));
}

/// C(i, j) = C(i, j) + b(l, j) a(i, l) over l = 0 .. k - 1 in order, for the
/// m x n column-major C at c with leading dimension ldc, skipping pairs where
/// keep(l, j) is false.
template <class AF, class BF, class KF>
void accumulate(std::size_t m, std::size_t n, std::size_t k, const AF& a, const BF& b, const KF& keep, double* c,
                std::size_t ldc, const gemm_workspace& ws) {
  constexpr std::size_t MR = kernel_mr, NR = kernel_nr;
  if (m == 0 || n == 0 || k == 0) return;
  for (std::size_t jc = 0; jc < n; jc += ws.nc()) {
    const std::size_t nc = std::min(ws.nc(), n - jc);
    for (std::size_t pc = 0; pc < k; pc += ws.kc()) {
      const std::size_t kc = std::min(ws.kc(), k - pc);
      pack_b(b, keep, pc, kc, jc, nc, ws.b(), ws.keep(), ws.skips());
      for (std::size_t ic = 0; ic < m; ic += ws.mc()) {
        const std::size_t mc = std::min(ws.mc(), m - ic);
        pack_a(a, ic, mc, pc, kc, ws.a());
        for (std::size_t jr = 0; jr < nc; jr += NR) {
          const double* bp = ws.b() + jr * kc;
          const unsigned char* kp = ws.keep() + jr * kc;
          for (std::size_t ir = 0; ir < mc; ir += MR) {
            run_tile(ws.skips()[jr / NR], kc, ws.a() + ir * kc, bp, kp, c + (ic + ir) + (jc + jr) * ldc, ldc,
                     std::min(MR, mc - ir), std::min(NR, nc - jr));
          }
        }
      }
    }
  }
}

}  // namespace zelt::detail

#endif  // ZELT_DETAIL_GEMM_ENGINE_HPP_
