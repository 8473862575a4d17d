// The probe loop with every multiply and add rounded on its own (built with
// -ffp-contract=off): the ceiling of zelt's kernels.
#define ZELT_PROBE(set) muladd_probe_##set
#define ZELT_PROBE_AVX2 "avx2"
#include "ceiling_probe_loops.inc"
