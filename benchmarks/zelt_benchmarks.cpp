// zelt's operations beside the hand-written loop with the same arithmetic (the
// zero-cost limit) and, where available, Eigen, OpenBLAS and the netlib
// reference BLAS. The BLAS libraries are opened with dlopen so that both can
// live in one binary. Names are "<operation>/<implementation>/<n>"; the
// report script turns the times into ns per element and ratios.
#include <benchmark/benchmark.h>
#include <dlfcn.h>

#include <cmath>
#include <cstddef>
#include <functional>
#include <random>
#include <string>
#include <vector>

#include "zelt/zelt.hpp"

#if ZELT_BENCH_EIGEN
#include <Eigen/Core>
#include <Eigen/Jacobi>
#endif

namespace {

using vec = zelt::external_vec<double, 0, unsigned int>;
using matrix = zelt::row_matrix<zelt::gen_external2D<double, zelt::gen_rect_offset<0, 0>, 0, 0>,
                                zelt::gen_rect_indexer<zelt::row_orien, 0, 0, unsigned int>>;

const std::vector<long> vector_sizes = {1000, 100000, 10000000};
const std::vector<long> matrix_sizes = {1000, 3000};  // rows = columns

std::vector<double> random_data(std::size_t n, unsigned seed) {
  std::mt19937_64 gen(seed);
  std::uniform_real_distribution<double> dist(-1, 1);
  std::vector<double> v(n);
  for (double& x : v) x = dist(gen);
  return v;
}

// The CBLAS entry points a benchmark needs, from one shared library.
struct blas_library {
  double (*dasum)(int, const double*, int) = nullptr;
  double (*dnrm2)(int, const double*, int) = nullptr;
  void (*drot)(int, double*, int, double*, int, double, double) = nullptr;

  explicit blas_library(const char* path) {
    void* handle = path[0] != '\0' ? dlopen(path, RTLD_NOW | RTLD_LOCAL) : nullptr;
    if (handle == nullptr) return;
    dasum = reinterpret_cast<decltype(dasum)>(dlsym(handle, "cblas_dasum"));
    dnrm2 = reinterpret_cast<decltype(dnrm2)>(dlsym(handle, "cblas_dnrm2"));
    drot = reinterpret_cast<decltype(drot)>(dlsym(handle, "cblas_drot"));
    if (auto set_threads = reinterpret_cast<void (*)(int)>(dlsym(handle, "openblas_set_num_threads"))) {
      set_threads(1);  // one core, like everything else here
    }
    if (auto corename = reinterpret_cast<const char* (*)()>(dlsym(handle, "openblas_get_corename"))) {
      benchmark::AddCustomContext("openblas_corename", corename());
    }
  }
  bool loaded() const { return dasum != nullptr && dnrm2 != nullptr && drot != nullptr; }
};

// A reduction over n elements: `run` gets the data pointer and n.
void register_reduction(const std::string& name, std::function<double(const double*, std::size_t)> run) {
  auto* b = benchmark::RegisterBenchmark(name.c_str(), [run](benchmark::State& state) {
    const auto n = static_cast<std::size_t>(state.range(0));
    const std::vector<double> data = random_data(n, 1);
    for (auto _ : state) {
      benchmark::DoNotOptimize(data.data());
      double result = run(data.data(), n);
      benchmark::DoNotOptimize(result);
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
  });
  for (long n : vector_sizes) b->Arg(n);
}

// A rotation of two vectors of n elements in place.
void register_rotation(const std::string& name, std::function<void(double*, double*, std::size_t)> run) {
  auto* b = benchmark::RegisterBenchmark(name.c_str(), [run](benchmark::State& state) {
    const auto n = static_cast<std::size_t>(state.range(0));
    // Both vectors in one buffer, y starting half a 4 KiB page after x modulo
    // 4 KiB: every run sees the same relative alignment, and stores to one
    // vector never falsely alias loads from the other (separate allocations
    // may land a multiple of 4 KiB apart and stall on exactly that).
    const std::size_t page = 4096 / sizeof(double);
    const std::size_t gap = (page / 2 + page - n % page) % page;
    std::vector<double> buffer = random_data(2 * n + gap, 1);
    double* x = buffer.data();
    double* y = buffer.data() + n + gap;
    for (auto _ : state) {
      run(x, y, n);
      benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
  });
  for (long n : vector_sizes) b->Arg(n);
}

// The sum of all elements of an m x m matrix.
void register_matrix_sum(const std::string& name, std::function<double(double*, unsigned)> run) {
  auto* b = benchmark::RegisterBenchmark(name.c_str(), [run](benchmark::State& state) {
    const auto m = static_cast<unsigned>(state.range(0));
    std::vector<double> data = random_data(std::size_t{m} * m, 3);
    for (auto _ : state) {
      benchmark::DoNotOptimize(data.data());
      double result = run(data.data(), m);
      benchmark::DoNotOptimize(result);
    }
    state.SetItemsProcessed(state.iterations() * state.range(0) * state.range(0));
  });
  for (long m : matrix_sizes) b->Arg(m);
}

vec view(const double* p, std::size_t n) { return vec(const_cast<double*>(p), static_cast<unsigned>(n), 0); }

// The hand-written equivalents: the same operations in the same order, so the
// only difference left is the abstraction.
double loop_one_norm(const double* p, std::size_t n) {
  double s = 0.0;
  for (std::size_t i = 0; i < n; ++i) s = s + std::abs(p[i]);
  return s;
}

double loop_two_norm(const double* p, std::size_t n) {
  double s = 0.0;
  for (std::size_t i = 0; i < n; ++i) s = s + std::abs(zelt::detail::mul(p[i], p[i]));
  return std::sqrt(s);
}

double loop_sum(const double* p, std::size_t n) {
  double s = 0.0;
  for (std::size_t i = 0; i < n; ++i) s = s + p[i];
  return s;
}

void loop_rotate(double c, double s, double* x, double* y, std::size_t n) {
  for (std::size_t i = 0; i < n; ++i) {
    const double t = zelt::detail::mul(c, x[i]) + zelt::detail::mul(s, y[i]);
    y[i] = zelt::detail::mul(c, y[i]) - zelt::detail::mul(s, x[i]);
    x[i] = t;
  }
}

struct plus {
  double operator()(double acc, double x) const { return acc + x; }
};

const zelt::givens_rotation<double> rotation(0.6, 0.8);

void register_all() {
  // Strict, left-to-right reductions.
  register_reduction("one_norm/zelt",
                     [](const double* p, std::size_t n) { return zelt::one_norm(view(p, n)); });
  register_reduction("one_norm/loop", loop_one_norm);
  register_reduction("two_norm/zelt",
                     [](const double* p, std::size_t n) { return zelt::two_norm(view(p, n)); });
  register_reduction("two_norm/loop", loop_two_norm);
  register_reduction("accumulate/zelt", [](const double* p, std::size_t n) {
    const vec v = view(p, n);
    return zelt_algo::accumulate(v.begin(), v.end(), 0.0, plus());
  });
  register_reduction("accumulate/loop", loop_sum);
  // Reductions in the fixed lane order.
  register_reduction("one_norm_lanes/zelt",
                     [](const double* p, std::size_t n) { return zelt::one_norm(view(p, n), zelt::lanes); });
  register_reduction("two_norm_lanes/zelt",
                     [](const double* p, std::size_t n) { return zelt::two_norm(view(p, n), zelt::lanes); });
  register_reduction("stable_two_norm/zelt",
                     [](const double* p, std::size_t n) { return zelt::stable_two_norm(view(p, n)); });
  // Rotation of two vectors.
  register_rotation("apply/zelt", [](double* x, double* y, std::size_t n) {
    rotation.apply(vec(x, static_cast<unsigned>(n), 0), vec(y, static_cast<unsigned>(n), 0));
  });
  register_rotation("apply/loop", [](double* x, double* y, std::size_t n) {
    loop_rotate(rotation.cosine(), rotation.sine(), x, y, n);
  });
  // Matrix element access.
  register_matrix_sum("matrix_sum/zelt", [](double* d, unsigned m) {
    const matrix A(d, m, m);
    double s = 0.0;
    for (unsigned i = 0; i < A.nrows(); ++i)
      for (unsigned j = 0; j < A.ncols(); ++j) s = s + A(i, j);
    return s;
  });
  register_matrix_sum("matrix_sum/loop", [](double* d, unsigned m) {
    double s = 0.0;
    for (unsigned i = 0; i < m; ++i)
      for (unsigned j = 0; j < m; ++j) s = s + d[i * m + j];
    return s;
  });

#if ZELT_BENCH_EIGEN
  using map = Eigen::Map<const Eigen::VectorXd>;
  auto eigen_size = [](std::size_t n) { return static_cast<Eigen::Index>(n); };
  register_reduction("one_norm/eigen", [eigen_size](const double* p, std::size_t n) {
    return map(p, eigen_size(n)).lpNorm<1>();
  });
  register_reduction("two_norm/eigen",
                     [eigen_size](const double* p, std::size_t n) { return map(p, eigen_size(n)).norm(); });
  register_reduction("accumulate/eigen",
                     [eigen_size](const double* p, std::size_t n) { return map(p, eigen_size(n)).sum(); });
  register_rotation("apply/eigen", [eigen_size](double* x, double* y, std::size_t n) {
    Eigen::Map<Eigen::VectorXd> xs(x, eigen_size(n)), ys(y, eigen_size(n));
    Eigen::internal::apply_rotation_in_the_plane(
        xs, ys, Eigen::JacobiRotation<double>(rotation.cosine(), rotation.sine()));
  });
  benchmark::AddCustomContext("eigen_version", std::to_string(EIGEN_WORLD_VERSION) + "." +
                                                   std::to_string(EIGEN_MAJOR_VERSION) + "." +
                                                   std::to_string(EIGEN_MINOR_VERSION));
#endif

  static const blas_library openblas(ZELT_BENCH_OPENBLAS);
  static const blas_library netlib(ZELT_BENCH_NETLIB);
  for (const auto& [label, lib] : {std::pair<const char*, const blas_library*>{"openblas", &openblas},
                                   std::pair<const char*, const blas_library*>{"netlib", &netlib}}) {
    if (!lib->loaded()) continue;
    const std::string l = label;
    register_reduction("one_norm/" + l, [lib](const double* p, std::size_t n) {
      return lib->dasum(static_cast<int>(n), p, 1);
    });
    register_reduction("two_norm/" + l, [lib](const double* p, std::size_t n) {
      return lib->dnrm2(static_cast<int>(n), p, 1);
    });
    register_rotation("apply/" + l, [lib](double* x, double* y, std::size_t n) {
      lib->drot(static_cast<int>(n), x, 1, y, 1, rotation.cosine(), rotation.sine());
    });
  }
  benchmark::AddCustomContext("peers", std::string("eigen:") + (ZELT_BENCH_EIGEN ? "yes" : "missing") +
                                           " openblas:" + (openblas.loaded() ? "yes" : "missing") +
                                           " netlib:" + (netlib.loaded() ? "yes" : "missing"));
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
