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
#include "zelt/zelt.hpp"

namespace {

using zelt_bench::aligned;
using zelt_bench::fill_random;

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

// A, B and C, n x n column-major. A has 2n on its diagonal, so that its
// triangle is far from singular; B is restored before the operations that
// overwrite it.
template <class T>
struct operands {
  aligned<T> a, b, c;
  std::vector<T> b0;
  explicit operands(std::size_t n) : a(n * n), b(n * n), c(n * n), b0(n * n) {
    fill(a.data(), n * n, 31);
    fill(b.data(), n * n, 32);
    fill(c.data(), n * n, 33);
    for (std::size_t j = 0; j < n; ++j) a.data()[j * n + j] = T(2 * static_cast<zelt::detail::real_t<T>>(n));
    std::copy(b.data(), b.data() + n * n, b0.begin());
  }
  // complex elements take two random parts
  static void fill(T* p, std::size_t count, std::uint64_t seed) {
    using R = zelt::detail::real_t<T>;
    fill_random(reinterpret_cast<R*>(p), count * sizeof(T) / sizeof(R), seed);
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
  auto* b = benchmark::RegisterBenchmark(name.c_str(), [op, run](benchmark::State& state) {
    const auto n = static_cast<std::size_t>(state.range(0));
    operands<T> x(n);
    for (auto _ : state) {
      if (op.overwrites_b) std::copy(x.b0.begin(), x.b0.end(), x.b.data());
      run(static_cast<int>(n), x);
      benchmark::ClobberMemory();
    }
    const double n3 = static_cast<double>(n) * static_cast<double>(n) * static_cast<double>(n);
    state.counters["flops"] =
        benchmark::Counter(op.flops_per_n3 * n3, benchmark::Counter::kIsIterationInvariantRate);
  });
  for (long n : ns) b->Arg(n);
  b->UseRealTime();
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

}  // namespace

int main(int argc, char** argv) {
  benchmark::AddCustomContext("peers", register_precision<double>());
  register_precision<float>();
  benchmark::AddCustomContext("kernel_set", zelt::config());
  if (const char* core = std::getenv("OPENBLAS_CORETYPE"))
    benchmark::AddCustomContext("openblas_coretype", core);
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
