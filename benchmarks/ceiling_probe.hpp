// The machine's ceilings for zelt's kernels, measured: the best plain loop of
// multiplies and adds this machine runs, with everything in registers. The
// same source is compiled twice: with contraction off (ceiling_muladd.cpp,
// each multiply and add rounded on its own, as zelt and the reference BLAS
// compute) and with contraction forced (ceiling_fma.cpp, one fused
// multiply-add per pair, as optimised BLAS libraries compute). Not part of
// zelt: the fused loop's results are not the reference's.
#ifndef ZELT_BENCHMARKS_CEILING_PROBE_HPP_
#define ZELT_BENCHMARKS_CEILING_PROBE_HPP_

namespace zelt_bench {

/// Runs `iterations` rounds of the loop on one kernel set's vectors and
/// returns the floating-point operations done (a multiply and an add count
/// two, fused or not). The set must run on this CPU.
using probe_fn = double (*)(long iterations);

struct probe_pair {
  probe_fn muladd = nullptr, fma = nullptr;
};
struct ceiling_probes {
  const char* set = "";  // zelt::name of the kernel set
  probe_pair double_precision, single_precision;
};

// One entry per x86 kernel set (generic, avx2, avx512), each loop on double
// and on float vectors; fma is null for the generic set, which has no fused
// instruction.
extern const ceiling_probes ceiling_probe_sets[3];

}  // namespace zelt_bench

#endif  // ZELT_BENCHMARKS_CEILING_PROBE_HPP_
