// The band and packed Level 2 operations: zelt's C++ interface (`zelt`), its
// compiled library libzelt_blas (`zelt_so`), OpenBLAS, BLIS and the netlib
// reference BLAS, on one core, each library opened by path and called through
// its Fortran symbols. Bands have kl = ku = k = 32 diagonals beside the main
// one, triangles are upper, increments 1. Names are
// "<operation>/<implementation>/<n>"; band_report.py turns the times into ns
// per stored element, ratios and bandwidths.
#include <benchmark/benchmark.h>
#include <dlfcn.h>

#include <algorithm>
#include <cstddef>
#include <string>
#include <utility>
#include <vector>

#include "bench_support.hpp"
#include "zelt/zelt.hpp"

namespace {

using zelt_bench::aligned_doubles;
using zelt_bench::fill_random;
using vec = zelt::external_vec<double, 0, unsigned int>;

const std::vector<long> sizes = {500, 1000, 2000, 4000};
constexpr int width = 32;  // kl = ku = k
constexpr double alpha = 0.5, beta = 1.0, update_alpha = 1e-3;

struct fortran_blas {
  using len = std::size_t;
  void (*dgbmv)(const char*, const int*, const int*, const int*, const int*, const double*, const double*,
                const int*, const double*, const int*, const double*, double*, const int*, len) = nullptr;
  void (*dsbmv)(const char*, const int*, const int*, const double*, const double*, const int*, const double*,
                const int*, const double*, double*, const int*, len) = nullptr;
  void (*dspmv)(const char*, const int*, const double*, const double*, const double*, const int*,
                const double*, double*, const int*, len) = nullptr;
  void (*dspr)(const char*, const int*, const double*, const double*, const int*, double*, len) = nullptr;
  void (*dspr2)(const char*, const int*, const double*, const double*, const int*, const double*, const int*,
                double*, len) = nullptr;
  using tb = void (*)(const char*, const char*, const char*, const int*, const int*, const double*,
                      const int*, double*, const int*, len, len, len);
  tb dtbmv = nullptr, dtbsv = nullptr;
  using tp = void (*)(const char*, const char*, const char*, const int*, const double*, double*, const int*,
                      len, len, len);
  tp dtpmv = nullptr, dtpsv = nullptr;
  void* handle = nullptr;

  explicit fortran_blas(const char* path) {
    handle = path[0] != '\0' ? dlopen(path, RTLD_NOW | RTLD_LOCAL) : nullptr;
    if (handle == nullptr) return;
    find(dgbmv, "dgbmv_");
    find(dsbmv, "dsbmv_");
    find(dspmv, "dspmv_");
    find(dspr, "dspr_");
    find(dspr2, "dspr2_");
    find(dtbmv, "dtbmv_");
    find(dtbsv, "dtbsv_");
    find(dtpmv, "dtpmv_");
    find(dtpsv, "dtpsv_");
  }
  bool loaded() const noexcept { return handle != nullptr; }
  template <class Function>
  void find(Function& f, const char* name) const {
    f = reinterpret_cast<Function>(dlsym(handle, name));
  }
};

enum class storage { general_band, triangle_band, packed };

std::size_t stored_elements(storage s, std::size_t n) {
  switch (s) {
    case storage::general_band:
      return n * (2 * width + 1);
    case storage::triangle_band:
      return n * (width + 1);
    case storage::packed:
      break;
  }
  return n * (n + 1) / 2;
}

// A random matrix in storage `s`, its diagonal large enough that the
// triangular solves stay finite, and x, y of n elements.
struct operands {
  std::size_t count;
  aligned_doubles a, x, y;
  operands(storage s, std::size_t n) : count(stored_elements(s, n)), a(count), x(n), y(n) {
    fill_random(a.data(), count, 11);
    fill_random(x.data(), n, 12);
    fill_random(y.data(), n, 13);
    for (std::size_t j = 0; j < n; ++j) {
      if (s == storage::triangle_band) a.data()[width + j * (width + 1)] = 2.0 * (width + 1);
      if (s == storage::packed) a.data()[j * (j + 1) / 2 + j] = 2.0 * static_cast<double>(n);
    }
  }
};

// `run(a, x, y, n)`; x is restored before every call when the operation
// overwrites it, and A when it updates A (spr, spr2), so that repeated calls
// never drift to infinities or subnormals.
template <class Run>
void add(const std::string& name, storage s, bool writes_x, bool writes_a, Run run) {
  auto* b = benchmark::RegisterBenchmark(name.c_str(), [=](benchmark::State& state) {
    const auto n = static_cast<std::size_t>(state.range(0));
    operands o(s, n);
    const std::vector<double> x0(o.x.data(), o.x.data() + n);
    const std::vector<double> a0 =
        writes_a ? std::vector<double>(o.a.data(), o.a.data() + o.count) : std::vector<double>();
    for (auto _ : state) {
      if (writes_x) std::copy(x0.begin(), x0.end(), o.x.data());
      if (writes_a) std::copy(a0.begin(), a0.end(), o.a.data());
      run(o.a.data(), o.x.data(), o.y.data(), n);
      benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(state.iterations() * static_cast<long>(stored_elements(s, n)));
  });
  for (long n : sizes) b->Arg(n);
}

vec view(double* p, std::size_t n) { return vec(p, static_cast<unsigned>(n), 0); }
zelt::col_major_band<const double> general(const double* a, std::size_t n) { return {a, n, n, width, width}; }
zelt::triangle_band<const double, zelt::upper_t> band(const double* a, std::size_t n) {
  return {a, n, width};
}
template <class T>
zelt::col_major_packed<T, zelt::upper_t> packed(T* a, std::size_t n) {
  return {a, n};
}

void register_zelt() {
  using S = storage;
  add("gbmv_n/zelt", S::general_band, false, false, [](double* a, double* x, double* y, std::size_t n) {
    zelt::gbmv(alpha, general(a, n), view(x, n), beta, view(y, n));
  });
  add("gbmv_t/zelt", S::general_band, false, false, [](double* a, double* x, double* y, std::size_t n) {
    zelt::gbmv(alpha, zelt::transposed(general(a, n)), view(x, n), beta, view(y, n));
  });
  add("sbmv/zelt", S::triangle_band, false, false, [](double* a, double* x, double* y, std::size_t n) {
    zelt::sbmv(alpha, band(a, n), view(x, n), beta, view(y, n));
  });
  add("tbmv_n/zelt", S::triangle_band, true, false, [](double* a, double* x, double*, std::size_t n) {
    zelt::tbmv(zelt::non_unit_diagonal, band(a, n), view(x, n));
  });
  add("tbmv_t/zelt", S::triangle_band, true, false, [](double* a, double* x, double*, std::size_t n) {
    zelt::tbmv(zelt::non_unit_diagonal, zelt::transposed(band(a, n)), view(x, n));
  });
  add("tbsv_n/zelt", S::triangle_band, true, false, [](double* a, double* x, double*, std::size_t n) {
    zelt::tbsv(zelt::non_unit_diagonal, band(a, n), view(x, n));
  });
  add("tbsv_t/zelt", S::triangle_band, true, false, [](double* a, double* x, double*, std::size_t n) {
    zelt::tbsv(zelt::non_unit_diagonal, zelt::transposed(band(a, n)), view(x, n));
  });
  add("spmv/zelt", S::packed, false, false, [](double* a, double* x, double* y, std::size_t n) {
    zelt::spmv(alpha, packed<const double>(a, n), view(x, n), beta, view(y, n));
  });
  add("spr/zelt", S::packed, false, true, [](double* a, double* x, double*, std::size_t n) {
    zelt::spr(update_alpha, view(x, n), packed(a, n));
  });
  add("spr2/zelt", S::packed, false, true, [](double* a, double* x, double* y, std::size_t n) {
    zelt::spr2(update_alpha, view(x, n), view(y, n), packed(a, n));
  });
  add("tpmv_n/zelt", S::packed, true, false, [](double* a, double* x, double*, std::size_t n) {
    zelt::tpmv(zelt::non_unit_diagonal, packed<const double>(a, n), view(x, n));
  });
  add("tpmv_t/zelt", S::packed, true, false, [](double* a, double* x, double*, std::size_t n) {
    zelt::tpmv(zelt::non_unit_diagonal, zelt::transposed(packed<const double>(a, n)), view(x, n));
  });
  add("tpsv_n/zelt", S::packed, true, false, [](double* a, double* x, double*, std::size_t n) {
    zelt::tpsv(zelt::non_unit_diagonal, packed<const double>(a, n), view(x, n));
  });
  add("tpsv_t/zelt", S::packed, true, false, [](double* a, double* x, double*, std::size_t n) {
    zelt::tpsv(zelt::non_unit_diagonal, zelt::transposed(packed<const double>(a, n)), view(x, n));
  });
}

void register_library(const std::string& label, const fortran_blas& lib) {
  using S = storage;
  static const int one = 1, k = width, ld_general = 2 * width + 1, ld_band = width + 1;
  const std::string suffix = "/" + label;
  const fortran_blas* l = &lib;
  if (l->dgbmv != nullptr) {
    for (const char* t : {"N", "T"}) {
      add(std::string("gbmv_") + (t[0] == 'N' ? "n" : "t") + suffix, S::general_band, false, false,
          [l, t](double* a, double* x, double* y, std::size_t n) {
            const int m = static_cast<int>(n);
            l->dgbmv(t, &m, &m, &k, &k, &alpha, a, &ld_general, x, &one, &beta, y, &one, 1);
          });
    }
  }
  if (l->dsbmv != nullptr) {
    add("sbmv" + suffix, S::triangle_band, false, false, [l](double* a, double* x, double* y, std::size_t n) {
      const int m = static_cast<int>(n);
      l->dsbmv("U", &m, &k, &alpha, a, &ld_band, x, &one, &beta, y, &one, 1);
    });
  }
  if (l->dspmv != nullptr) {
    add("spmv" + suffix, S::packed, false, false, [l](double* a, double* x, double* y, std::size_t n) {
      const int m = static_cast<int>(n);
      l->dspmv("U", &m, &alpha, a, x, &one, &beta, y, &one, 1);
    });
  }
  if (l->dspr != nullptr) {
    add("spr" + suffix, S::packed, false, true, [l](double* a, double* x, double*, std::size_t n) {
      const int m = static_cast<int>(n);
      l->dspr("U", &m, &update_alpha, x, &one, a, 1);
    });
  }
  if (l->dspr2 != nullptr) {
    add("spr2" + suffix, S::packed, false, true, [l](double* a, double* x, double* y, std::size_t n) {
      const int m = static_cast<int>(n);
      l->dspr2("U", &m, &update_alpha, x, &one, y, &one, a, 1);
    });
  }
  const std::pair<const char*, fortran_blas::tb> band_ops[] = {{"tbmv", l->dtbmv}, {"tbsv", l->dtbsv}};
  for (const auto& [op, f] : band_ops) {
    if (f == nullptr) continue;
    for (const char* t : {"N", "T"}) {
      add(std::string(op) + (t[0] == 'N' ? "_n" : "_t") + suffix, S::triangle_band, true, false,
          [f = f, t](double* a, double* x, double*, std::size_t n) {
            const int m = static_cast<int>(n);
            f("U", t, "N", &m, &k, a, &ld_band, x, &one, 1, 1, 1);
          });
    }
  }
  const std::pair<const char*, fortran_blas::tp> packed_ops[] = {{"tpmv", l->dtpmv}, {"tpsv", l->dtpsv}};
  for (const auto& [op, f] : packed_ops) {
    if (f == nullptr) continue;
    for (const char* t : {"N", "T"}) {
      add(std::string(op) + (t[0] == 'N' ? "_n" : "_t") + suffix, S::packed, true, false,
          [f = f, t](double* a, double* x, double*, std::size_t n) {
            const int m = static_cast<int>(n);
            f("U", t, "N", &m, a, x, &one, 1, 1, 1);
          });
    }
  }
}

void register_all() {
  register_zelt();
  static const fortran_blas zelt_so(ZELT_BENCH_ZELT_SO);
  static const fortran_blas openblas(ZELT_BENCH_OPENBLAS);
  static const fortran_blas blis(ZELT_BENCH_BLIS);
  static const fortran_blas netlib(ZELT_BENCH_NETLIB);
  if (openblas.loaded()) {
    if (auto set_threads =
            reinterpret_cast<void (*)(int)>(dlsym(openblas.handle, "openblas_set_num_threads"))) {
      set_threads(1);
    }
  }
  const std::pair<const char*, const fortran_blas*> libraries[] = {
      {"zelt_so", &zelt_so}, {"openblas", &openblas}, {"blis", &blis}, {"netlib", &netlib}};
  std::string peers;
  for (const auto& [label, lib] : libraries) {
    if (lib->loaded()) register_library(label, *lib);
    peers += std::string(peers.empty() ? "" : " ") + label + ":" + (lib->loaded() ? "yes" : "missing");
  }
  benchmark::AddCustomContext("peers", peers);
  benchmark::AddCustomContext("band_width", std::to_string(width));
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
