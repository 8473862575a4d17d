#ifndef ZELT_BENCHMARKS_LEVEL3_SUPPORT_HPP_
#define ZELT_BENCHMARKS_LEVEL3_SUPPORT_HPP_

// What the Level 3 benchmarks share: square operands, the registration of
// one operation's benchmark, and the machine's ceilings.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstddef>
#include <string>
#include <type_traits>
#include <vector>

#include "bench_support.hpp"
#include "ceiling_probe.hpp"
#include "zelt/detail/complex.hpp"
#include "zelt/kernel_set.hpp"

namespace zelt_bench {

/// Random values at p, `count` elements of T (a complex one takes two).
template <class T>
void fill_elements(T* p, std::size_t count, std::uint64_t seed) {
  using R = zelt::detail::real_t<T>;
  fill_random(reinterpret_cast<R*>(p), count * sizeof(T) / sizeof(R), seed);
}

/// A, B and C, n x n column-major (ld = n). A has 2n on its diagonal, so
/// that its triangle is far from singular. B is restored before every call
/// of the operations that overwrite it (n^2 copies next to n^3 operations).
template <class T>
struct operands {
  aligned<T> a, b, c;
  std::vector<T> b0;
  explicit operands(std::size_t n) : a(n * n), b(n * n), c(n * n), b0(n * n) {
    fill_elements(a.data(), n * n, 31);
    fill_elements(b.data(), n * n, 32);
    fill_elements(c.data(), n * n, 33);
    for (std::size_t j = 0; j < n; ++j) a.data()[j * n + j] = T(2 * static_cast<zelt::detail::real_t<T>>(n));
    std::copy(b.data(), b.data() + n * n, b0.begin());
  }
};

/// Registers `name` for the sizes ns: run(n, operands) per iteration,
/// flops_per_n3 n^3 floating-point operations each.
template <class T, class Call>
void add_square(const std::string& name, double flops_per_n3, bool overwrites_b, const std::vector<long>& ns,
                Call run) {
  auto* b = benchmark::RegisterBenchmark(name.c_str(), [=](benchmark::State& state) {
    const auto n = static_cast<std::size_t>(state.range(0));
    operands<T> x(n);
    for (auto _ : state) {
      if (overwrites_b) std::copy(x.b0.begin(), x.b0.end(), x.b.data());
      run(static_cast<int>(n), x);
      benchmark::ClobberMemory();
    }
    const double n3 = static_cast<double>(n) * static_cast<double>(n) * static_cast<double>(n);
    state.counters["flops"] =
        benchmark::Counter(flops_per_n3 * n3, benchmark::Counter::kIsIterationInvariantRate);
  });
  for (long n : ns) b->Arg(n);
  b->UseRealTime();
}

/// The machine's ceilings ("ceiling_muladd/<set>/1/0", "ceiling_fma/...",
/// on float vectors "sceiling_..."): of every kernel set this CPU runs, or
/// of the active one only.
template <class T>
void register_ceiling_probes(bool every_set) {
  const std::string active = zelt::name(zelt::active_kernel_set());
  for (const ceiling_probes& set : ceiling_probe_sets) {
    const probe_pair& p = std::is_same_v<T, float> ? set.single_precision : set.double_precision;
    if (p.muladd == nullptr || !zelt::cpu_supports(zelt::kernel_set_named(set.set))) continue;
    if (!every_set && active != set.set) continue;
    for (const bool fused : {false, true}) {
      const probe_fn probe = fused ? p.fma : p.muladd;
      if (probe == nullptr) continue;
      const std::string name =
          precision_name<T>(std::string(fused ? "ceiling_fma/" : "ceiling_muladd/") + set.set + "/1/0");
      benchmark::RegisterBenchmark(name.c_str(), [probe](benchmark::State& state) {
        double flops = 0;
        for (auto _ : state) flops += probe(100000);
        state.counters["flops"] = benchmark::Counter(flops, benchmark::Counter::kIsRate);
      })->UseRealTime();
    }
  }
}

}  // namespace zelt_bench

#endif  // ZELT_BENCHMARKS_LEVEL3_SUPPORT_HPP_
