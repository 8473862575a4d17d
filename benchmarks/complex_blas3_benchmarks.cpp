// The complex Level 3 BLAS operations on one core: zelt's C++ interface
// (`zelt`), OpenBLAS and BLIS (serial), on square n x n operands, in double
// ("z...") and single ("c...") precision; beside them zelt's real gemm of the
// same precision ("dgemm_nn/zelt", "sgemm_nn/zelt"), whose flop rate the
// complex products are held to. Names are "<operation>/<implementation>/1/<n>";
// complex_report.py turns the times into GFLOPS (a complex multiply-add
// counts 8 floating-point operations) and ratios.
#include <benchmark/benchmark.h>
#include <dlfcn.h>

#include <algorithm>
#include <complex>
#include <cstddef>
#include <cstdlib>
#include <string>
#include <type_traits>
#include <vector>

#include "bench_support.hpp"
#include "level3_support.hpp"
#include "zelt/zelt.hpp"

namespace {

using zelt_bench::add_square;
using zelt_bench::aligned;
using zelt_bench::fill_random;
using zelt_bench::operands;

// The products over the whole range; the operations that still run the
// reference's loops at sizes their time allows.
const std::vector<long> product_sizes = {256, 500, 1000, 2000};
const std::vector<long> loop_sizes = {64, 256, 500};

// The Fortran entry points of one library, of one complex precision.
template <class R>
struct fortran_complex3 {
  using C = std::complex<R>;
  using len = std::size_t;
  using gemm_fn = void (*)(const char*, const char*, const int*, const int*, const int*, const C*, const C*,
                           const int*, const C*, const int*, const C*, C*, const int*, len, len);
  using symm_fn = void (*)(const char*, const char*, const int*, const int*, const C*, const C*, const int*,
                           const C*, const int*, const C*, C*, const int*, len, len);
  template <class S>
  using rank_k_fn = void (*)(const char*, const char*, const int*, const int*, const S*, const C*, const int*,
                             const S*, C*, const int*, len, len);
  template <class S>
  using rank_2k_fn = void (*)(const char*, const char*, const int*, const int*, const C*, const C*,
                              const int*, const C*, const int*, const S*, C*, const int*, len, len);
  using trmm_fn = void (*)(const char*, const char*, const char*, const char*, const int*, const int*,
                           const C*, const C*, const int*, C*, const int*, len, len, len, len);
  gemm_fn gemm = nullptr;
  symm_fn symm = nullptr, hemm = nullptr;
  rank_k_fn<C> syrk = nullptr;
  rank_k_fn<R> herk = nullptr;
  rank_2k_fn<C> syr2k = nullptr;
  rank_2k_fn<R> her2k = nullptr;
  trmm_fn trmm = nullptr, trsm = nullptr;
  void* handle = nullptr;

  explicit fortran_complex3(const char* path) {
    handle = path[0] != '\0' ? dlopen(path, RTLD_NOW | RTLD_LOCAL) : nullptr;
    if (handle == nullptr) return;
    find(gemm, "gemm_");
    find(symm, "symm_");
    find(hemm, "hemm_");
    find(syrk, "syrk_");
    find(herk, "herk_");
    find(syr2k, "syr2k_");
    find(her2k, "her2k_");
    find(trmm, "trmm_");
    find(trsm, "trsm_");
    if (auto openblas_threads = reinterpret_cast<void (*)(int)>(dlsym(handle, "openblas_set_num_threads")))
      openblas_threads(1);
    if (auto blis_threads = reinterpret_cast<void (*)(long)>(dlsym(handle, "bli_thread_set_num_threads")))
      blis_threads(1);
  }
  bool loaded() const noexcept { return handle != nullptr && gemm != nullptr; }
  template <class Function>
  void find(Function& f, const char* routine) const {
    f = reinterpret_cast<Function>(
        dlsym(handle, ((std::is_same_v<R, float> ? "c" : "z") + std::string(routine)).c_str()));
  }
};

enum class kind { gemm_nn, gemm_cn, symm, hemm, syrk, herk, syr2k, her2k, trmm, trsm, real_gemm };
struct operation {
  const char* name;  // without the precision letter
  kind what;
  double flops_per_n3;  // real operations: 8 per complex multiply-add
  bool overwrites_b;
  bool product;  // sized as the products
};
const operation operations[] = {
    {"gemm_nn", kind::gemm_nn, 8, false, true}, {"gemm_cn", kind::gemm_cn, 8, false, true},
    {"symm", kind::symm, 8, false, false},      {"hemm", kind::hemm, 8, false, false},
    {"syrk", kind::syrk, 4, false, false},      {"herk", kind::herk, 4, false, false},
    {"syr2k", kind::syr2k, 8, false, false},    {"her2k", kind::her2k, 8, false, false},
    {"trmm", kind::trmm, 4, true, false},       {"trsm", kind::trsm, 4, true, false},
};

// Repeated calls keep C bounded.
template <class R>
const std::complex<R> alpha(R(0.5), R(0.25));
template <class R>
const std::complex<R> beta(R(0.5), R(0));

template <class R>
void call(const fortran_complex3<R>& l, kind op, int n, operands<std::complex<R>>& x) {
  using C = std::complex<R>;
  const C* a = x.a.data();
  C *b = x.b.data(), *c = x.c.data();
  const C *al = &alpha<R>, *be = &beta<R>;
  const R real_alpha = R(0.5), real_beta = R(0.5);
  switch (op) {
    case kind::gemm_nn:
      l.gemm("N", "N", &n, &n, &n, al, a, &n, b, &n, be, c, &n, 1, 1);
      break;
    case kind::gemm_cn:
      l.gemm("C", "N", &n, &n, &n, al, a, &n, b, &n, be, c, &n, 1, 1);
      break;
    case kind::symm:
      l.symm("L", "U", &n, &n, al, a, &n, b, &n, be, c, &n, 1, 1);
      break;
    case kind::hemm:
      l.hemm("L", "U", &n, &n, al, a, &n, b, &n, be, c, &n, 1, 1);
      break;
    case kind::syrk:
      l.syrk("U", "N", &n, &n, al, a, &n, be, c, &n, 1, 1);
      break;
    case kind::herk:
      l.herk("U", "N", &n, &n, &real_alpha, a, &n, &real_beta, c, &n, 1, 1);
      break;
    case kind::syr2k:
      l.syr2k("U", "N", &n, &n, al, a, &n, b, &n, be, c, &n, 1, 1);
      break;
    case kind::her2k:
      l.her2k("U", "N", &n, &n, al, a, &n, b, &n, &real_beta, c, &n, 1, 1);
      break;
    case kind::trmm:
      l.trmm("L", "U", "N", "N", &n, &n, al, a, &n, b, &n, 1, 1, 1, 1);
      break;
    case kind::trsm:
      l.trsm("L", "L", "N", "N", &n, &n, al, a, &n, b, &n, 1, 1, 1, 1);
      break;
    case kind::real_gemm:
      break;
  }
}

template <class R>
void call_zelt(kind op, unsigned n, operands<std::complex<R>>& x) {
  using C = std::complex<R>;
  using matrix = zelt::col_major_matrix<C>;
  const matrix A(x.a.data(), n, n), B(x.b.data(), n, n), Cm(x.c.data(), n, n);
  const C al = alpha<R>, be = beta<R>;
  switch (op) {
    case kind::gemm_nn:
      zelt::gemm(al, A, B, be, Cm);
      break;
    case kind::gemm_cn:
      zelt::gemm(al, zelt::adjoint(A), B, be, Cm);
      break;
    case kind::symm:
      zelt::symm(zelt::left, zelt::upper, al, A, B, be, Cm);
      break;
    case kind::hemm:
      zelt::hemm(zelt::left, zelt::upper, al, A, B, be, Cm);
      break;
    case kind::syrk:
      zelt::syrk(zelt::upper, al, A, be, Cm);
      break;
    case kind::herk:
      zelt::herk(zelt::upper, R(0.5), A, R(0.5), Cm);
      break;
    case kind::syr2k:
      zelt::syr2k(zelt::upper, al, A, B, be, Cm);
      break;
    case kind::her2k:
      zelt::her2k(zelt::upper, al, A, B, R(0.5), Cm);
      break;
    case kind::trmm:
      zelt::trmm(zelt::left, zelt::upper, zelt::non_unit_diagonal, al, A, B);
      break;
    case kind::trsm:
      zelt::trsm(zelt::left, zelt::lower, zelt::non_unit_diagonal, al, A, B);
      break;
    case kind::real_gemm:
      break;
  }
}

template <class T, class Call>
void add(const operation& op, const std::string& name, const std::vector<long>& ns, Call run) {
  add_square<T>(name, op.flops_per_n3, op.overwrites_b, ns, run);
}

template <class R>
std::string register_precision() {
  using C = std::complex<R>;
  static const fortran_complex3<R> openblas(ZELT_BENCH_OPENBLAS), blis(ZELT_BENCH_BLIS);
  const std::string letter = std::is_same_v<R, float> ? "c" : "z";
  for (const operation& op : operations) {
    const kind what = op.what;
    const auto& ns = op.product ? product_sizes : loop_sizes;
    add<C>(op, letter + op.name + "/zelt/1", ns,
           [what](int n, operands<C>& x) { call_zelt<R>(what, static_cast<unsigned>(n), x); });
    if (openblas.loaded())
      add<C>(op, letter + op.name + "/openblas/1", ns,
             [what](int n, operands<C>& x) { call(openblas, what, n, x); });
    if (blis.loaded())
      add<C>(op, letter + op.name + "/blis/1", ns, [what](int n, operands<C>& x) { call(blis, what, n, x); });
  }
  // zelt's real gemm of the same precision, the rate to hold the complex one to
  const operation real{"gemm_nn", kind::real_gemm, 2, false, true};
  add<R>(real, (std::is_same_v<R, float> ? "s" : "d") + std::string("gemm_nn/zelt/1"), product_sizes,
         [](int n, operands<R>& x) {
           const auto u = static_cast<unsigned>(n);
           const zelt::col_major_matrix<R> A(x.a.data(), u, u), B(x.b.data(), u, u), Cm(x.c.data(), u, u);
           zelt::gemm(R(1), A, B, R(0.5), Cm);
         });
  return std::string("openblas:") + (openblas.loaded() ? "yes" : "missing") +
         " blis:" + (blis.loaded() ? "yes" : "missing");
}

// One call of the active kernel set's complex tile on a whole tile at c;
// returns the tile's outputs.
template <class R>
std::size_t tile_once(std::size_t kc, const R* a, const R* t, std::complex<R>* c) {
#define ZELT_BENCH_TILE(set)                                                   \
  if (zelt::active_kernel_set() == zelt::kernel_set::set) {                    \
    namespace k = zelt::detail::set;                                           \
    k::complex_kernel<false>(kc, a, t, nullptr, nullptr, c, k::complex_mr<R>); \
    return k::complex_mr<R> * k::complex_nr;                                   \
  }
#if ZELT_HAS_AVX512_KERNELS
  ZELT_BENCH_TILE(avx512)
#endif
#if ZELT_HAS_AVX2_KERNELS
  ZELT_BENCH_TILE(avx2)
#endif
#if ZELT_HAS_GENERIC_KERNELS
  ZELT_BENCH_TILE(generic)
#endif
#undef ZELT_BENCH_TILE
  return 0;
}

// The machine's ceilings in the active kernel set ("ceiling_muladd/<set>/1/0",
// "ceiling_fma/...", on float vectors "sceiling_...") and the complex tile
// alone, its operands in L1 ("zkernel/<set>/1/<kc>", "ckernel/...").
template <class R>
void register_ceilings() {
  zelt_bench::register_ceiling_probes<R>(false);
  const std::string set = zelt::name(zelt::active_kernel_set());
  const std::string name = (std::is_same_v<R, float> ? "ckernel/" : "zkernel/") + set + "/1/128";
  benchmark::RegisterBenchmark(name.c_str(), [](benchmark::State& state) {
    using C = std::complex<R>;
    constexpr std::size_t mr = 64, nr = 16, kc = 128;  // room for the widest set's tile
    aligned<R> a(2 * mr * kc), t(2 * kc * nr);
    aligned<C> c(mr * nr);
    fill_random(a.data(), 2 * mr * kc, 41);
    fill_random(t.data(), 2 * kc * nr, 42);
    zelt_bench::fill_elements(c.data(), mr * nr, 43);
    for (std::size_t i = 0; i < 2 * kc * nr; ++i) t.data()[i] *= R(1e-3);  // keeps c bounded
    std::size_t tile = 0;
    for (auto _ : state) {
      tile = tile_once(kc, a.data(), t.data(), c.data());
      benchmark::ClobberMemory();
    }
    state.counters["flops"] =
        benchmark::Counter(8.0 * double(tile * kc), benchmark::Counter::kIsIterationInvariantRate);
  })->UseRealTime();
}

}  // namespace

int main(int argc, char** argv) {
  benchmark::AddCustomContext("peers", register_precision<double>());
  register_precision<float>();
  register_ceilings<double>();
  register_ceilings<float>();
  benchmark::AddCustomContext("kernel_set", zelt::config());
  if (const char* core = std::getenv("OPENBLAS_CORETYPE"))
    benchmark::AddCustomContext("openblas_coretype", core);
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
