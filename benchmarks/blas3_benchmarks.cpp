// The Level 3 BLAS operations: zelt's C++ interface (`zelt`), its compiled
// library libzelt_blas (`zelt_so`), OpenBLAS, BLIS and Eigen's product, on
// square n x n operands. Names are "<operation>/<implementation>/<threads>/<n>",
// the single-precision ones prefixed with "s" ("sgemm_nn/..."); blas3_report.py
// turns the times into GFLOPS and ratios. Only zelt and
// OpenBLAS run on more than one thread (BLIS is its serial build, and
// libzelt_blas reads its thread count once, from ZELT_NUM_THREADS, set to 1
// here).
#include <benchmark/benchmark.h>
#include <dlfcn.h>

#include <algorithm>
#include <cstddef>
#include <cstdlib>
#include <string>
#include <type_traits>
#include <vector>

#include "bench_support.hpp"
#include "level3_support.hpp"
#include "zelt/zelt.hpp"

void eigen_gemm(int n, const double* a, const double* b, double* c);

namespace {

using zelt_bench::add_square;
using zelt_bench::aligned;
using zelt_bench::fill_random;
using zelt_bench::operands;
using zelt_bench::precision_name;

const std::vector<long> sizes = {8, 16, 32, 64, 256, 500, 1000, 2000};
const std::vector<long> threaded_sizes = {256, 1000, 2000};
const std::vector<long> single_sizes = {64, 256, 500, 1000, 2000};

// The Fortran entry points of one library, of one precision.
template <class T>
struct fortran_blas3 {
  using len = std::size_t;
  using gemm_fn = void (*)(const char*, const char*, const int*, const int*, const int*, const T*, const T*,
                           const int*, const T*, const int*, const T*, T*, const int*, len, len);
  using symm_fn = void (*)(const char*, const char*, const int*, const int*, const T*, const T*, const int*,
                           const T*, const int*, const T*, T*, const int*, len, len);
  using syrk_fn = void (*)(const char*, const char*, const int*, const int*, const T*, const T*, const int*,
                           const T*, T*, const int*, len, len);
  using syr2k_fn = void (*)(const char*, const char*, const int*, const int*, const T*, const T*, const int*,
                            const T*, const int*, const T*, T*, const int*, len, len);
  using trmm_fn = void (*)(const char*, const char*, const char*, const char*, const int*, const int*,
                           const T*, const T*, const int*, T*, const int*, len, len, len, len);
  gemm_fn gemm = nullptr;
  symm_fn symm = nullptr;
  syrk_fn syrk = nullptr;
  syr2k_fn syr2k = nullptr;
  trmm_fn trmm = nullptr, trsm = nullptr;
  void (*set_threads)(int) = nullptr;
  void* handle = nullptr;

  explicit fortran_blas3(const char* path) {
    handle = path[0] != '\0' ? dlopen(path, RTLD_NOW | RTLD_LOCAL) : nullptr;
    if (handle == nullptr) return;
    find(gemm, "gemm_");
    find(symm, "symm_");
    find(syrk, "syrk_");
    find(syr2k, "syr2k_");
    find(trmm, "trmm_");
    find(trsm, "trsm_");
    set_threads = reinterpret_cast<void (*)(int)>(dlsym(handle, "openblas_set_num_threads"));
    if (auto blis_threads = reinterpret_cast<void (*)(long)>(dlsym(handle, "bli_thread_set_num_threads")))
      blis_threads(1);
  }
  bool loaded() const noexcept { return handle != nullptr && gemm != nullptr; }
  // `routine` without its precision letter
  template <class Function>
  void find(Function& f, const char* routine) const {
    f = reinterpret_cast<Function>(
        dlsym(handle, ((std::is_same_v<T, float> ? "s" : "d") + std::string(routine)).c_str()));
  }
};

// Which call a benchmark makes, decided once when it is registered (so that
// the timed loop compares no strings).
enum class kind { gemm_nn, gemm_nt, gemm_tn, gemm_tt, symm, syrk, syr2k, trmm, trsm, trsm_llt };
struct operation {
  const char* name;
  kind what;
  double flops_per_n3;
  bool overwrites_b;
};
const operation operations[] = {
    {"gemm_nn", kind::gemm_nn, 2, false}, {"gemm_nt", kind::gemm_nt, 2, false},
    {"gemm_tn", kind::gemm_tn, 2, false}, {"gemm_tt", kind::gemm_tt, 2, false},
    {"symm", kind::symm, 2, false},       {"syrk", kind::syrk, 1, false},
    {"syr2k", kind::syr2k, 2, false},     {"trmm", kind::trmm, 1, true},
    {"trsm", kind::trsm, 1, true},        {"trsm_llt", kind::trsm_llt, 1, true},
};

// Repeated calls keep C bounded.
template <class T>
constexpr T alpha = 1;
template <class T>
constexpr T beta = T(0.5);

// One call of operation `op` through a library's symbols.
template <class T>
void call(const fortran_blas3<T>& l, kind op, int n, operands<T>& x) {
  const T* a = x.a.data();
  T *b = x.b.data(), *c = x.c.data();
  const T* alpha_ = &alpha<T>;
  const T* beta_ = &beta<T>;
  switch (op) {
    case kind::gemm_nn:
    case kind::gemm_nt:
    case kind::gemm_tn:
    case kind::gemm_tt: {
      const bool ta = op == kind::gemm_tn || op == kind::gemm_tt,
                 tb = op == kind::gemm_nt || op == kind::gemm_tt;
      l.gemm(ta ? "T" : "N", tb ? "T" : "N", &n, &n, &n, alpha_, a, &n, b, &n, beta_, c, &n, 1, 1);
      break;
    }
    case kind::symm:
      l.symm("L", "U", &n, &n, alpha_, a, &n, b, &n, beta_, c, &n, 1, 1);
      break;
    case kind::syrk:
      l.syrk("U", "N", &n, &n, alpha_, a, &n, beta_, c, &n, 1, 1);
      break;
    case kind::syr2k:
      l.syr2k("U", "N", &n, &n, alpha_, a, &n, b, &n, beta_, c, &n, 1, 1);
      break;
    case kind::trmm:
      l.trmm("L", "U", "N", "N", &n, &n, alpha_, a, &n, b, &n, 1, 1, 1, 1);
      break;
    case kind::trsm:
      l.trsm("L", "L", "N", "N", &n, &n, alpha_, a, &n, b, &n, 1, 1, 1, 1);
      break;
    case kind::trsm_llt:
      l.trsm("L", "L", "T", "N", &n, &n, alpha_, a, &n, b, &n, 1, 1, 1, 1);
      break;
  }
}

// The same through zelt's C++ interface.
template <class T>
void call_zelt(kind op, unsigned n, unsigned threads, operands<T>& x) {
  const zelt::threads policy(threads);
  using matrix = zelt::col_major_matrix<T>;
  const matrix A(x.a.data(), n, n), B(x.b.data(), n, n), C(x.c.data(), n, n);
  constexpr T alpha = ::alpha<T>, beta = ::beta<T>;
  switch (op) {
    case kind::gemm_nn:
      zelt::gemm(policy, alpha, A, B, beta, C);
      break;
    case kind::gemm_nt:
      zelt::gemm(policy, alpha, A, zelt::transposed(B), beta, C);
      break;
    case kind::gemm_tn:
      zelt::gemm(policy, alpha, zelt::transposed(A), B, beta, C);
      break;
    case kind::gemm_tt:
      zelt::gemm(policy, alpha, zelt::transposed(A), zelt::transposed(B), beta, C);
      break;
    case kind::symm:
      zelt::symm(policy, zelt::left, zelt::upper, alpha, A, B, beta, C);
      break;
    case kind::syrk:
      zelt::syrk(policy, zelt::upper, alpha, A, beta, C);
      break;
    case kind::syr2k:
      zelt::syr2k(policy, zelt::upper, alpha, A, B, beta, C);
      break;
    case kind::trmm:
      zelt::trmm(policy, zelt::left, zelt::upper, zelt::non_unit_diagonal, alpha, A, B);
      break;
    case kind::trsm:
      zelt::trsm(policy, zelt::left, zelt::lower, zelt::non_unit_diagonal, alpha, A, B);
      break;
    case kind::trsm_llt:
      // transposed(A) of the lower A is upper: dtrsm('L', 'L', 'T')
      zelt::trsm(policy, zelt::left, zelt::upper, zelt::non_unit_diagonal, alpha, zelt::transposed(A), B);
      break;
  }
}

template <class T, class Call>
void add(const operation& op, const std::string& implementation, unsigned threads,
         const std::vector<long>& ns, Call run) {
  add_square<T>(
      precision_name<T>(std::string(op.name) + "/" + implementation + "/" + std::to_string(threads)),
      op.flops_per_n3, op.overwrites_b, ns, run);
}

// The register-tile kernel of one kernel set alone, its operands in L1:
// what the operations can approach ("kernel/<set>/1/256", "skernel/...").
template <class T>
using tile_kernel = void (*)(std::size_t, const T*, std::ptrdiff_t, const T*, const unsigned char*,
                             const unsigned char*, T*, std::size_t, std::size_t, std::size_t);
template <class T, std::size_t MR, std::size_t NR>
void register_kernel(const char* set, tile_kernel<T> kernel) {
  if (!zelt::cpu_supports(zelt::kernel_set_named(set))) return;
  auto* k = benchmark::RegisterBenchmark(
      precision_name<T>(std::string("kernel/") + set + "/1/256").c_str(), [kernel](benchmark::State& state) {
        constexpr std::size_t kc = 256;
        aligned<T> a(MR * kc), b(kc * NR), c(MR * NR);
        fill_random(a.data(), MR * kc, 41);
        fill_random(b.data(), kc * NR, 42);
        fill_random(c.data(), MR * NR, 43);
        for (std::size_t i = 0; i < kc * NR; ++i) b.data()[i] *= T(1e-3);  // keeps c bounded
        for (auto _ : state) {
          kernel(kc, a.data(), MR, b.data(), nullptr, nullptr, c.data(), MR, MR, NR);
          benchmark::ClobberMemory();
        }
        state.counters["flops"] =
            benchmark::Counter(2.0 * MR * NR * kc, benchmark::Counter::kIsIterationInvariantRate);
      });
  k->UseRealTime();
}

// The machine's ceilings ("ceiling_muladd/<set>/1/0", "ceiling_fma/...", and
// on float vectors "sceiling_muladd/...") and each compiled kernel set's tile.
template <class T>
void register_ceilings() {
  zelt_bench::register_ceiling_probes<T>(true);
#if ZELT_HAS_GENERIC_KERNELS
  register_kernel<T, zelt::detail::generic::kernel_mr<T>, zelt::detail::generic::kernel_nr>(
      "generic",
      &zelt::detail::generic::micro_kernel<false, zelt::detail::generic::kernel_vectors, false, T>);
#endif
#if ZELT_HAS_AVX2_KERNELS
  register_kernel<T, zelt::detail::avx2::kernel_mr<T>, zelt::detail::avx2::kernel_nr>(
      "avx2", &zelt::detail::avx2::micro_kernel<false, zelt::detail::avx2::kernel_vectors, false, T>);
#endif
#if ZELT_HAS_AVX512_KERNELS
  register_kernel<T, zelt::detail::avx512::kernel_mr<T>, zelt::detail::avx512::kernel_nr>(
      "avx512", &zelt::detail::avx512::micro_kernel<false, zelt::detail::avx512::kernel_vectors, false, T>);
#endif
}

// Every operation in double precision on one and two threads; in single
// precision the four products on one thread. Returns which libraries loaded.
template <class T>
std::string register_precision(bool all_operations, const std::vector<long>& one_thread_sizes) {
  static const fortran_blas3<T> zelt_so(ZELT_BENCH_ZELT_SO), openblas(ZELT_BENCH_OPENBLAS),
      blis(ZELT_BENCH_BLIS);
  for (const operation& op : operations) {
    if (!all_operations && op.what > kind::gemm_tt) break;  // the gemms come first
    const kind what = op.what;
    for (unsigned threads : {1u, 2u}) {
      if (!all_operations && threads > 1) continue;
      const auto& ns = threads == 1 ? one_thread_sizes : threaded_sizes;
      add<T>(op, "zelt", threads, ns, [what, threads](int n, operands<T>& x) {
        call_zelt(what, static_cast<unsigned>(n), threads, x);
      });
      if (openblas.loaded()) {
        add<T>(op, "openblas", threads, ns, [what, threads](int n, operands<T>& x) {
          openblas.set_threads(static_cast<int>(threads));
          call(openblas, what, n, x);
        });
      }
    }
    if (zelt_so.loaded())
      add<T>(op, "zelt_so", 1, one_thread_sizes,
             [what](int n, operands<T>& x) { call(zelt_so, what, n, x); });
    if (blis.loaded())
      add<T>(op, "blis", 1, one_thread_sizes, [what](int n, operands<T>& x) { call(blis, what, n, x); });
  }
  register_ceilings<T>();
  return std::string("zelt_so:") + (zelt_so.loaded() ? "yes" : "missing") +
         " openblas:" + (openblas.loaded() ? "yes" : "missing") +
         " blis:" + (blis.loaded() ? "yes" : "missing");
}

void register_all() {
  setenv("ZELT_NUM_THREADS", "1", 1);
  const std::string peers = register_precision<double>(true, sizes);
  register_precision<float>(false, single_sizes);
#if ZELT_BENCH_EIGEN
  add<double>(operations[0], "eigen", 1, sizes,
              [](int n, operands<double>& x) { eigen_gemm(n, x.a.data(), x.b.data(), x.c.data()); });
#endif
  benchmark::AddCustomContext("peers", peers);
  benchmark::AddCustomContext("kernel_set", zelt::config());
  if (const char* core = std::getenv("OPENBLAS_CORETYPE"))
    benchmark::AddCustomContext("openblas_coretype", core);
}

}  // namespace

int main(int argc, char** argv) {
  register_all();
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
