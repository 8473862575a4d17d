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
using svec = zelt::strided_vec<const double, unsigned int>;
using matrix = zelt::row_matrix<zelt::gen_external2D<double, zelt::gen_rect_offset<0, 0>, 0, 0>,
                                zelt::gen_rect_indexer<zelt::row_orien, 0, 0, unsigned int>>;

const std::vector<long> vector_sizes = {1000, 100000, 10000000};
const std::vector<long> strided_sizes = {1000, 100000, 1000000};
constexpr std::ptrdiff_t bench_stride = 3;
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

// A reduction over n elements `bench_stride` apart: `run` gets the address of
// element 0, n and the stride.
void register_strided_reduction(const std::string& name,
                                std::function<double(const double*, std::size_t, std::ptrdiff_t)> run) {
  auto* b = benchmark::RegisterBenchmark(name.c_str(), [run](benchmark::State& state) {
    const auto n = static_cast<std::size_t>(state.range(0));
    const std::vector<double> data = random_data(n * bench_stride, 1);
    for (auto _ : state) {
      benchmark::DoNotOptimize(data.data());
      double result = run(data.data(), n, bench_stride);
      benchmark::DoNotOptimize(result);
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
  });
  for (long n : strided_sizes) b->Arg(n);
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

// The sum of all elements of an m x m matrix, inside a border of `border`
// elements on every side of the array (0: the array is the matrix).
void register_matrix_sum(const std::string& name, std::function<double(double*, unsigned)> run,
                         unsigned border = 0) {
  auto* b = benchmark::RegisterBenchmark(name.c_str(), [run, border](benchmark::State& state) {
    const auto m = static_cast<unsigned>(state.range(0));
    const std::size_t side = std::size_t{m} + 2 * border;
    std::vector<double> data = random_data(side * side, 3);
    for (auto _ : state) {
      benchmark::DoNotOptimize(data.data());
      double result = run(data.data(), m);
      benchmark::DoNotOptimize(result);
    }
    state.SetItemsProcessed(state.iterations() * state.range(0) * state.range(0));
  });
  for (long m : matrix_sizes) b->Arg(m);
}

// Sums every element of A through operator(), left to right: column by
// column (the storage order of a column-major matrix) or row by row.
template <class Matrix>
double sum_by_columns(const Matrix& A) {
  double s = 0.0;
  for (unsigned j = 0; j < A.ncols(); ++j)
    for (unsigned i = 0; i < A.nrows(); ++i) s = s + A(i, j);
  return s;
}
template <class Matrix>
double sum_by_rows(const Matrix& A) {
  double s = 0.0;
  for (unsigned i = 0; i < A.nrows(); ++i)
    for (unsigned j = 0; j < A.ncols(); ++j) s = s + A(i, j);
  return s;
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

double loop_strided_one_norm(const double* p, std::size_t n, std::ptrdiff_t stride) {
  double s = 0.0;
  for (std::size_t i = 0; i < n; ++i) s = s + std::abs(p[static_cast<std::ptrdiff_t>(i) * stride]);
  return s;
}

double loop_strided_two_norm(const double* p, std::size_t n, std::ptrdiff_t stride) {
  double s = 0.0;
  for (std::size_t i = 0; i < n; ++i) {
    const double x = p[static_cast<std::ptrdiff_t>(i) * stride];
    s = s + std::abs(zelt::detail::mul(x, x));
  }
  return std::sqrt(s);
}

// The 16-lane order written out by hand over a strided run.
template <class Step>
ZELT_EXACT_LOOP double loop_strided_lanes(const double* p, std::size_t n, std::ptrdiff_t stride, Step step) {
  double acc[16] = {};
  const std::size_t blocked = n - n % 16;
  for (std::size_t i = 0; i < blocked; i += 16)
    for (std::size_t l = 0; l < 16; ++l)
      acc[l] = step(acc[l], p[static_cast<std::ptrdiff_t>(i + l) * stride]);
  for (std::size_t width = 8; width > 0; width /= 2)
    for (std::size_t l = 0; l < width; ++l) acc[l] = acc[2 * l] + acc[2 * l + 1];
  double s = acc[0];
  for (std::size_t i = blocked; i < n; ++i) s = step(s, p[static_cast<std::ptrdiff_t>(i) * stride]);
  return s;
}

svec strided_view(const double* p, std::size_t n, std::ptrdiff_t stride) {
  return svec(p, static_cast<unsigned>(n), stride);
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
  // Column-major storage, and the transpose of row-major storage (which is
  // column-major): both visited in storage order, against the same raw loop.
  register_matrix_sum("col_matrix_sum/zelt", [](double* d, unsigned m) {
    return sum_by_columns(zelt::col_major_matrix<double>(d, m, m));
  });
  register_matrix_sum("col_matrix_sum/loop", [](double* d, unsigned m) {
    double s = 0.0;
    for (unsigned j = 0; j < m; ++j)
      for (unsigned i = 0; i < m; ++i) s = s + d[j * m + i];
    return s;
  });
  register_matrix_sum("transposed_sum/zelt", [](double* d, unsigned m) {
    return sum_by_columns(zelt::transposed(zelt::row_major_matrix<double>(d, m, m)));
  });
  register_matrix_sum("transposed_sum/loop", [](double* d, unsigned m) {
    double s = 0.0;
    for (unsigned j = 0; j < m; ++j)
      for (unsigned i = 0; i < m; ++i) s = s + d[j * m + i];
    return s;
  });
  // An inner block of a padded row-major array.
  register_matrix_sum(
      "sub_matrix_sum/zelt",
      [](double* d, unsigned m) {
        return sum_by_rows(zelt::sub_matrix(zelt::row_major_matrix<double>(d, m + 2, m + 2), 1, 1, m, m));
      },
      1);
  register_matrix_sum(
      "sub_matrix_sum/loop",
      [](double* d, unsigned m) {
        const unsigned ld = m + 2;
        double s = 0.0;
        for (unsigned i = 0; i < m; ++i)
          for (unsigned j = 0; j < m; ++j) s = s + d[(i + 1) * ld + (j + 1)];
        return s;
      },
      1);
  // Reductions over a strided view, against the same loop written by hand.
  register_strided_reduction("one_norm_strided/zelt", [](const double* p, std::size_t n, std::ptrdiff_t k) {
    return zelt::one_norm(strided_view(p, n, k));
  });
  register_strided_reduction("one_norm_strided/loop", loop_strided_one_norm);
  register_strided_reduction("two_norm_strided/zelt", [](const double* p, std::size_t n, std::ptrdiff_t k) {
    return zelt::two_norm(strided_view(p, n, k));
  });
  register_strided_reduction("two_norm_strided/loop", loop_strided_two_norm);
  register_strided_reduction("one_norm_lanes_strided/zelt",
                             [](const double* p, std::size_t n, std::ptrdiff_t k) {
                               return zelt::one_norm(strided_view(p, n, k), zelt::lanes);
                             });
  register_strided_reduction("one_norm_lanes_strided/loop",
                             [](const double* p, std::size_t n, std::ptrdiff_t k) {
                               return loop_strided_lanes(p, n, k, zelt::abs_add());
                             });
  register_strided_reduction("two_norm_lanes_strided/zelt",
                             [](const double* p, std::size_t n, std::ptrdiff_t k) {
                               return zelt::two_norm(strided_view(p, n, k), zelt::lanes);
                             });
  register_strided_reduction("two_norm_lanes_strided/loop",
                             [](const double* p, std::size_t n, std::ptrdiff_t k) {
                               return std::sqrt(loop_strided_lanes(p, n, k, zelt::sqr_add()));
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
    register_strided_reduction("one_norm_strided/" + l,
                               [lib](const double* p, std::size_t n, std::ptrdiff_t k) {
                                 return lib->dasum(static_cast<int>(n), p, static_cast<int>(k));
                               });
    register_strided_reduction("two_norm_strided/" + l,
                               [lib](const double* p, std::size_t n, std::ptrdiff_t k) {
                                 return lib->dnrm2(static_cast<int>(n), p, static_cast<int>(k));
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
