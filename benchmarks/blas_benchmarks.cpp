// The Level 1 and Level 2 BLAS operations: zelt's C++ interface (`zelt`), its
// compiled library libzelt_blas (`zelt_so`), OpenBLAS, BLIS and the netlib
// reference BLAS, all on one core. The libraries export the same Fortran
// symbols, so each is opened with dlopen by path and called through its own
// pointers. Names are "<operation>/<implementation>/<n>"; blas_report.py turns
// the times into ns per element, ratios and bandwidths. zelt's operations also
// run on float ("saxpy/zelt/<n>", ...), for the cost per byte of either
// precision.
#include <benchmark/benchmark.h>
#include <dlfcn.h>

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <type_traits>
#include <utility>
#include <vector>

#include "bench_support.hpp"
#include "zelt/zelt.hpp"

namespace {

using zelt_bench::aligned;
using zelt_bench::fill_random;
using zelt_bench::precision_name;

const std::vector<long> level1_sizes = {1000, 100000, 10000000};
const std::vector<long> level2_sizes = {500, 1000, 2000, 4000};  // square, lda = n

// Chosen so that repeated calls keep every value finite and normal: a NaN, an
// infinity or a subnormal would change the speed being measured.
template <class T>
constexpr T axpy_alpha = T(0.5);
template <class T>
constexpr T scal_alpha = T(1.0000001);
template <class T>
constexpr T rot_c = T(0.6);
template <class T>
constexpr T rot_s = T(0.8);
template <class T>
constexpr T gemv_alpha = T(0.5);
template <class T>
constexpr T gemv_beta = T(1.0);
template <class T>
constexpr T ger_alpha = T(1e-3);

// Two vectors of n elements in one buffer, y starting half a 4 KiB page after
// x modulo 4 KiB: every run sees the same relative alignment, and stores to
// one vector never falsely alias loads from the other (separate allocations
// may land a multiple of 4 KiB apart and stall on exactly that).
template <class T>
struct vector_pair {
  vector_pair(std::size_t n, std::uint64_t seed)
      : buffer(2 * n + gap(n)), x(buffer.data()), y(buffer.data() + n + gap(n)) {
    fill_random(x, n, seed);
    fill_random(y, n, seed + 1);
  }
  static std::size_t gap(std::size_t n) {
    const std::size_t page = 4096 / sizeof(T);
    return (page / 2 + page - n % page) % page;
  }

  aligned<T> buffer;
  T* x;
  T* y;
};

// The Fortran entry points of one BLAS library: LP64 integers by address,
// character flags followed by their hidden lengths.
struct fortran_blas {
  using flag_length = std::size_t;
  double (*ddot)(const int*, const double*, const int*, const double*, const int*) = nullptr;
  void (*daxpy)(const int*, const double*, const double*, const int*, double*, const int*) = nullptr;
  void (*dscal)(const int*, const double*, double*, const int*) = nullptr;
  void (*dcopy)(const int*, const double*, const int*, double*, const int*) = nullptr;
  void (*dswap)(const int*, double*, const int*, double*, const int*) = nullptr;
  void (*drot)(const int*, double*, const int*, double*, const int*, const double*, const double*) = nullptr;
  void (*dgemv)(const char*, const int*, const int*, const double*, const double*, const int*, const double*,
                const int*, const double*, double*, const int*, flag_length) = nullptr;
  void (*dger)(const int*, const int*, const double*, const double*, const int*, const double*, const int*,
               double*, const int*) = nullptr;
  void (*dsymv)(const char*, const int*, const double*, const double*, const int*, const double*, const int*,
                const double*, double*, const int*, flag_length) = nullptr;
  void (*dtrmv)(const char*, const char*, const char*, const int*, const double*, const int*, double*,
                const int*, flag_length, flag_length, flag_length) = nullptr;
  void (*dtrsv)(const char*, const char*, const char*, const int*, const double*, const int*, double*,
                const int*, flag_length, flag_length, flag_length) = nullptr;
  void* handle = nullptr;

  explicit fortran_blas(const char* path) {
    handle = path[0] != '\0' ? dlopen(path, RTLD_NOW | RTLD_LOCAL) : nullptr;
    if (handle == nullptr) return;
    find(ddot, "ddot_");
    find(daxpy, "daxpy_");
    find(dscal, "dscal_");
    find(dcopy, "dcopy_");
    find(dswap, "dswap_");
    find(drot, "drot_");
    find(dgemv, "dgemv_");
    find(dger, "dger_");
    find(dsymv, "dsymv_");
    find(dtrmv, "dtrmv_");
    find(dtrsv, "dtrsv_");
  }
  bool loaded() const noexcept { return handle != nullptr; }

  template <class Function>
  void find(Function*& f, const char* name) const {
    f = reinterpret_cast<Function*>(dlsym(handle, name));
  }
};

int as_int(std::size_t n) { return static_cast<int>(n); }

// A Level 1 benchmark over one or two vectors of n elements: `run(x, y, n)`.
// A result, if any, is kept; otherwise the stores are.
template <class T = double, class Run>
void register_level1(const std::string& name, Run run) {
  auto* b = benchmark::RegisterBenchmark(precision_name<T>(name).c_str(), [run](benchmark::State& state) {
    const auto n = static_cast<std::size_t>(state.range(0));
    vector_pair<T> v(n, 1);
    for (auto _ : state) {
      if constexpr (std::is_void_v<std::invoke_result_t<Run, T*, T*, std::size_t>>) {
        run(v.x, v.y, n);
        benchmark::ClobberMemory();
      } else {
        benchmark::DoNotOptimize(v.x);
        const T result = run(v.x, v.y, n);
        benchmark::DoNotOptimize(result);
      }
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
  });
  for (long n : level1_sizes) b->Arg(n);
}

// The operands of a Level 2 benchmark: an n x n column-major A (lda = n)
// with random entries and 2n on the diagonal, so that its triangle is far
// from singular and a triangular solve stays of the size of its right-hand
// side; x and y laid out like a vector_pair.
template <class T>
struct level2_operands {
  aligned<T> a;
  vector_pair<T> v;
  explicit level2_operands(std::size_t n) : a(n * n), v(n, 2) {
    fill_random(a.data(), n * n, 11);
    for (std::size_t j = 0; j < n; ++j) a.data()[j * n + j] = T(2) * static_cast<T>(n);
  }
};

// A Level 2 benchmark: `run(A, x, y, n)`. When `resets_x`, x is restored
// before every call (n copies, next to the n^2 / 2 multiplications of the
// call), because trmv and trsv overwrite it with a result that repeated calls
// would drive to infinity or zero.
template <class T = double, class Run>
void register_level2(const std::string& name, bool resets_x, Run run) {
  auto* b =
      benchmark::RegisterBenchmark(precision_name<T>(name).c_str(), [run, resets_x](benchmark::State& state) {
        const auto n = static_cast<std::size_t>(state.range(0));
        level2_operands<T> operands(n);
        T* const a = operands.a.data();
        T* const x = operands.v.x;
        T* const y = operands.v.y;
        const std::vector<T> x0(x, x + n);
        for (auto _ : state) {
          if (resets_x) std::copy(x0.begin(), x0.end(), x);
          run(a, x, y, n);
          benchmark::ClobberMemory();
        }
        state.SetItemsProcessed(state.iterations() * state.range(0) * state.range(0));
      });
  for (long n : level2_sizes) b->Arg(n);
}

template <class T>
zelt::external_vec<T, 0, unsigned int> view(T* p, std::size_t n) {
  return {p, static_cast<unsigned>(n), 0};
}
template <class T>
zelt::col_major_matrix<T> square(T* a, std::size_t n) {
  return {a, static_cast<unsigned>(n), static_cast<unsigned>(n)};
}

// The strict dot's lower bound: one addition per element, each waiting for
// the one before (the TU is built with -ffp-contract=off, and nothing else
// lets the compiler reorder the sum).
double add_chain(const double* p, std::size_t n) {
  double s = 0.0;
  for (std::size_t i = 0; i < n; ++i) s = s + p[i];
  return s;
}

template <class T>
void register_zelt() {
  register_level1<T>("axpy/zelt",
                     [](T* x, T* y, std::size_t n) { zelt::axpy(axpy_alpha<T>, view(x, n), view(y, n)); });
  register_level1<T>("scal/zelt", [](T* x, T*, std::size_t n) { zelt::scal(scal_alpha<T>, view(x, n)); });
  register_level1<T>("copy/zelt", [](T* x, T* y, std::size_t n) { zelt::copy(view(x, n), view(y, n)); });
  register_level1<T>("swap/zelt",
                     [](T* x, T* y, std::size_t n) { zelt::swap_elements(view(x, n), view(y, n)); });
  register_level1<T>(
      "rot/zelt", [](T* x, T* y, std::size_t n) { zelt::rot(view(x, n), view(y, n), rot_c<T>, rot_s<T>); });
  register_level1<T>("dot/zelt", [](T* x, T* y, std::size_t n) { return zelt::dot(view(x, n), view(y, n)); });
  register_level1<T>("dot_lanes/zelt", [](T* x, T* y, std::size_t n) {
    return zelt::dot(view(x, n), view(y, n), zelt::lanes);
  });
  if constexpr (std::is_same_v<T, double>)
    register_level1<T>("add_chain/loop", [](T* x, T*, std::size_t n) { return add_chain(x, n); });

  register_level2<T>("gemv_n/zelt", false, [](T* a, T* x, T* y, std::size_t n) {
    zelt::gemv(gemv_alpha<T>, square(a, n), view(x, n), gemv_beta<T>, view(y, n));
  });
  register_level2<T>("gemv_t/zelt", false, [](T* a, T* x, T* y, std::size_t n) {
    zelt::gemv(gemv_alpha<T>, zelt::transposed(square(a, n)), view(x, n), gemv_beta<T>, view(y, n));
  });
  register_level2<T>("ger/zelt", false, [](T* a, T* x, T* y, std::size_t n) {
    zelt::ger(ger_alpha<T>, view(x, n), view(y, n), square(a, n));
  });
  register_level2<T>("symv/zelt", false, [](T* a, T* x, T* y, std::size_t n) {
    zelt::symv(zelt::upper, gemv_alpha<T>, square(a, n), view(x, n), gemv_beta<T>, view(y, n));
  });
  register_level2<T>("trmv/zelt", true, [](T* a, T* x, T*, std::size_t n) {
    zelt::trmv(zelt::upper, zelt::non_unit_diagonal, square(a, n), view(x, n));
  });
  register_level2<T>("trsv/zelt", true, [](T* a, T* x, T*, std::size_t n) {
    zelt::trsv(zelt::upper, zelt::non_unit_diagonal, square(a, n), view(x, n));
  });
}

// The same operations through a library's Fortran symbols, each one only if
// the library exports it.
void register_library(const std::string& label, const fortran_blas& lib) {
  static const int one = 1;
  const std::string suffix = "/" + label;
  const fortran_blas* l = &lib;
  if (l->daxpy != nullptr) {
    register_level1("axpy" + suffix, [l](double* x, double* y, std::size_t n) {
      const int m = as_int(n);
      l->daxpy(&m, &axpy_alpha<double>, x, &one, y, &one);
    });
  }
  if (l->dscal != nullptr) {
    register_level1("scal" + suffix, [l](double* x, double*, std::size_t n) {
      const int m = as_int(n);
      l->dscal(&m, &scal_alpha<double>, x, &one);
    });
  }
  if (l->dcopy != nullptr) {
    register_level1("copy" + suffix, [l](double* x, double* y, std::size_t n) {
      const int m = as_int(n);
      l->dcopy(&m, x, &one, y, &one);
    });
  }
  if (l->dswap != nullptr) {
    register_level1("swap" + suffix, [l](double* x, double* y, std::size_t n) {
      const int m = as_int(n);
      l->dswap(&m, x, &one, y, &one);
    });
  }
  if (l->drot != nullptr) {
    register_level1("rot" + suffix, [l](double* x, double* y, std::size_t n) {
      const int m = as_int(n);
      l->drot(&m, x, &one, y, &one, &rot_c<double>, &rot_s<double>);
    });
  }
  if (l->ddot != nullptr) {
    register_level1("dot" + suffix, [l](double* x, double* y, std::size_t n) {
      const int m = as_int(n);
      return l->ddot(&m, x, &one, y, &one);
    });
  }
  if (l->dgemv != nullptr) {
    register_level2("gemv_n" + suffix, false, [l](double* a, double* x, double* y, std::size_t n) {
      const int m = as_int(n);
      l->dgemv("N", &m, &m, &gemv_alpha<double>, a, &m, x, &one, &gemv_beta<double>, y, &one, 1);
    });
    register_level2("gemv_t" + suffix, false, [l](double* a, double* x, double* y, std::size_t n) {
      const int m = as_int(n);
      l->dgemv("T", &m, &m, &gemv_alpha<double>, a, &m, x, &one, &gemv_beta<double>, y, &one, 1);
    });
  }
  if (l->dger != nullptr) {
    register_level2("ger" + suffix, false, [l](double* a, double* x, double* y, std::size_t n) {
      const int m = as_int(n);
      l->dger(&m, &m, &ger_alpha<double>, x, &one, y, &one, a, &m);
    });
  }
  if (l->dsymv != nullptr) {
    register_level2("symv" + suffix, false, [l](double* a, double* x, double* y, std::size_t n) {
      const int m = as_int(n);
      l->dsymv("U", &m, &gemv_alpha<double>, a, &m, x, &one, &gemv_beta<double>, y, &one, 1);
    });
  }
  if (l->dtrmv != nullptr) {
    register_level2("trmv" + suffix, true, [l](double* a, double* x, double*, std::size_t n) {
      const int m = as_int(n);
      l->dtrmv("U", "N", "N", &m, a, &m, x, &one, 1, 1, 1);
    });
  }
  if (l->dtrsv != nullptr) {
    register_level2("trsv" + suffix, true, [l](double* a, double* x, double*, std::size_t n) {
      const int m = as_int(n);
      l->dtrsv("U", "N", "N", &m, a, &m, x, &one, 1, 1, 1);
    });
  }
}

// Pins the multithreaded peers to one thread and records which kernels they
// picked for this CPU.
void describe(const fortran_blas& openblas, const fortran_blas& blis) {
  if (openblas.loaded()) {
    if (auto set_threads =
            reinterpret_cast<void (*)(int)>(dlsym(openblas.handle, "openblas_set_num_threads"))) {
      set_threads(1);
    }
    if (auto corename =
            reinterpret_cast<const char* (*)()>(dlsym(openblas.handle, "openblas_get_corename"))) {
      benchmark::AddCustomContext("openblas_corename", corename());
    }
  }
  if (blis.loaded()) {
    if (auto set_threads =
            reinterpret_cast<void (*)(long)>(dlsym(blis.handle, "bli_thread_set_num_threads"))) {
      set_threads(1);
    }
    if (auto version = reinterpret_cast<const char* (*)()>(dlsym(blis.handle, "bli_info_get_version_str"))) {
      benchmark::AddCustomContext("blis_version", version());
    }
    auto arch_id = reinterpret_cast<int (*)()>(dlsym(blis.handle, "bli_arch_query_id"));
    auto arch_name = reinterpret_cast<const char* (*)(int)>(dlsym(blis.handle, "bli_arch_string"));
    if (arch_id != nullptr && arch_name != nullptr) {
      benchmark::AddCustomContext("blis_arch", arch_name(arch_id()));
    }
  }
}

void register_all() {
  register_zelt<double>();
  register_zelt<float>();
  static const fortran_blas zelt_so(ZELT_BENCH_ZELT_SO);
  static const fortran_blas openblas(ZELT_BENCH_OPENBLAS);
  static const fortran_blas blis(ZELT_BENCH_BLIS);
  static const fortran_blas netlib(ZELT_BENCH_NETLIB);
  describe(openblas, blis);
  const std::pair<const char*, const fortran_blas*> libraries[] = {
      {"zelt_so", &zelt_so}, {"openblas", &openblas}, {"blis", &blis}, {"netlib", &netlib}};
  std::string peers;
  for (const auto& [label, lib] : libraries) {
    if (lib->loaded()) register_library(label, *lib);
    peers += std::string(peers.empty() ? "" : " ") + label + ":" + (lib->loaded() ? "yes" : "missing");
  }
  benchmark::AddCustomContext("peers", peers);
  benchmark::AddCustomContext("zelt_so_path", ZELT_BENCH_ZELT_SO);
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
