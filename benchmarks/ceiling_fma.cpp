// The probe loop with each multiply and add fused (built with
// -ffp-contract=fast): the ceiling of optimised BLAS libraries, and the
// table of both probes.
#define ZELT_PROBE(set) fma_probe_##set
#define ZELT_PROBE_AVX2 "avx2,fma"
#include "ceiling_probe.hpp"
#include "ceiling_probe_loops.inc"

double muladd_probe_generic(long);
double muladd_probe_avx2(long);
double muladd_probe_avx512(long);
double muladd_probe_single_generic(long);
double muladd_probe_single_avx2(long);
double muladd_probe_single_avx512(long);

#if defined(__x86_64__) || defined(__i386__)
const zelt_bench::ceiling_probes zelt_bench::ceiling_probe_sets[3] = {
    {"generic", {muladd_probe_generic, nullptr}, {muladd_probe_single_generic, nullptr}},
    {"avx2", {muladd_probe_avx2, fma_probe_avx2}, {muladd_probe_single_avx2, fma_probe_single_avx2}},
    {"avx512",
     {muladd_probe_avx512, fma_probe_avx512},
     {muladd_probe_single_avx512, fma_probe_single_avx512}},
};
#else
const zelt_bench::ceiling_probes zelt_bench::ceiling_probe_sets[3] = {
    {"generic", {muladd_probe_generic, nullptr}, {muladd_probe_single_generic, nullptr}}, {}, {}};
#endif
