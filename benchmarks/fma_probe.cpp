// A probe, not part of zelt: the register-tile loop of zelt's kernel compiled
// with -ffp-contract=fast, so that each multiply and add becomes one fused
// multiply-add. It rounds once where the reference BLAS rounds twice, so its
// results are not zelt's; it exists to measure what fusing is worth on this
// machine, next to the exact kernel.
#include <cstddef>

#include "zelt/detail/gemm_engine.hpp"

void fused_kernel(std::size_t kc, const double* a, const double* b, double* c) {
#if ZELT_HAVE_VECTORS
  using zelt::detail::vec_t;
  constexpr std::size_t MV = zelt::detail::kernel_vectors, NR = zelt::detail::kernel_nr,
                        L = zelt::detail::vector_lanes;
  using zelt::detail::load;
  using zelt::detail::store;
  vec_t acc[NR][MV];
  for (std::size_t j = 0; j < NR; ++j)
    for (std::size_t v = 0; v < MV; ++v) acc[j][v] = load(c + (j * MV + v) * L);
  for (std::size_t l = 0; l < kc; ++l) {
    vec_t av[MV];
    for (std::size_t v = 0; v < MV; ++v) av[v] = load(a + l * MV * L + v * L);
    for (std::size_t j = 0; j < NR; ++j) {
      const double bj = b[l * NR + j];
      for (std::size_t v = 0; v < MV; ++v) acc[j][v] = acc[j][v] + av[v] * bj;
    }
  }
  for (std::size_t j = 0; j < NR; ++j)
    for (std::size_t v = 0; v < MV; ++v) store(c + (j * MV + v) * L, acc[j][v]);
#else
  (void)kc, (void)a, (void)b, (void)c;
#endif
}
