// Computes a least-squares fit and a matrix product through libzelt_blas's
// BLAS symbols (the Fortran interface any BLAS has, not zelt's C++ headers)
// and prints the results' bits. The same source linked to the reference BLAS
// prints the same lines: the test suite builds it that way and compares.
#include <algorithm>
#include <array>
#include <cinttypes>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <vector>

#include "zelt/zelt_cblas.h"

// Weak: the same source also runs on the reference BLAS, which has no such
// function; it then stays null.
#pragma weak zelt_blas_get_config

namespace {

std::uint64_t bits_of(double x) {
  std::uint64_t bits = 0;
  std::memcpy(&bits, &x, sizeof bits);
  return bits;
}

// FNV-1a, 64 bits, over the eight bytes of each double, lowest byte first.
class checksum {
 public:
  void add(double x) {
    const std::uint64_t bits = bits_of(x);
    for (int byte = 0; byte < 8; ++byte) {
      hash_ ^= (bits >> (8 * byte)) & 0xffU;
      hash_ *= 0x100000001b3U;
    }
    ++count_;
  }
  std::uint64_t hash() const { return hash_; }
  long count() const { return count_; }

 private:
  std::uint64_t hash_ = 0xcbf29ce484222325U;
  long count_ = 0;
};

void print_value(const char* label, double x) {
  std::printf("  %-12s %016" PRIx64 "  %.17g\n", label, bits_of(x), x);
}

// The same numbers everywhere: a 64-bit linear congruential generator, its
// top 53 bits as a double in [-0.5, 0.5).
class generator {
 public:
  double next() {
    state_ = state_ * 6364136223846793005U + 1442695040888963407U;
    return static_cast<double>(state_ >> 11) * 0x1p-53 - 0.5;
  }

 private:
  std::uint64_t state_ = 0x9e3779b97f4a7c15U;
};

}  // namespace

int main() {
  // Which kernels run differs from machine to machine, the results do not:
  // the kernel set goes to stderr, the results to stdout.
  if (zelt_blas_get_config != nullptr) std::fprintf(stderr, "%s\n", zelt_blas_get_config());
  checksum sum;
  const int one = 1;
  const double d_one = 1, d_zero = 0, d_minus_one = -1;

  // 1. Fit c0 + c1 t + ... + c5 t^5 to 1 / (1 + t^2) at t = -100/64 ... 100/64
  //    by the normal equations: G = A^T A (dsyrk), b = A^T y (dgemv), the
  //    Cholesky factor G = R^T R by hand with ddot, then R^T z = b and
  //    R c = z (dtrsv); the residual y - A c (dgemv) and its norm (dnrm2).
  constexpr int m = 201, n = 6;
  std::vector<double> a(static_cast<std::size_t>(m) * n), y(m);
  for (int i = 0; i < m; ++i) {
    const double t = (i - 100) / 64.0;
    const double t2 = t * t;
    y[static_cast<std::size_t>(i)] = 1 / (1 + t2);
    double power = 1;
    for (int j = 0; j < n; ++j) {
      a[static_cast<std::size_t>(j) * m + static_cast<std::size_t>(i)] = power;
      power *= t;
    }
  }
  std::array<double, static_cast<std::size_t>(n) * n> g{};
  std::array<double, n> c{};
  dsyrk_("U", "T", &n, &m, &d_one, a.data(), &m, &d_zero, g.data(), &n, 1, 1);
  dgemv_("T", &m, &n, &d_one, a.data(), &m, y.data(), &one, &d_zero, c.data(), &one, 1);
  for (int j = 0; j < n; ++j) {
    double* column_j = &g[static_cast<std::size_t>(j) * n];
    for (int i = 0; i < j; ++i) {
      const double* column_i = &g[static_cast<std::size_t>(i) * n];
      column_j[i] = (column_j[i] - ddot_(&i, column_i, &one, column_j, &one)) / column_i[i];
    }
    column_j[j] = std::sqrt(column_j[j] - ddot_(&j, column_j, &one, column_j, &one));
  }
  dtrsv_("U", "T", "N", &n, g.data(), &n, c.data(), &one, 1, 1, 1);
  dtrsv_("U", "N", "N", &n, g.data(), &n, c.data(), &one, 1, 1, 1);
  std::vector<double> residual = y;
  dgemv_("N", &m, &n, &d_minus_one, a.data(), &m, c.data(), &one, &d_one, residual.data(), &one, 1);
  const double residual_norm = dnrm2_(&m, residual.data(), &one);

  std::printf(
      "Through libzelt_blas's BLAS symbols. Every line below is the same on every\n"
      "machine, compiler, instruction set and thread count (ZELT_NUM_THREADS), and\n"
      "the reference BLAS 3.11.0 prints the same: its bits are the reference's.\n\n");
  std::printf("Least squares: 1/(1 + t^2) at %d points by a degree-%d polynomial\n", m, n - 1);
  std::printf("(dsyrk, dgemv, ddot, dtrsv, dnrm2); the bits, then the value:\n");
  const std::array<const char*, n> names = {"c0", "c1", "c2", "c3", "c4", "c5"};
  for (int j = 0; j < n; ++j) {
    print_value(names[static_cast<std::size_t>(j)], c[static_cast<std::size_t>(j)]);
    sum.add(c[static_cast<std::size_t>(j)]);
  }
  print_value("|y - A c|", residual_norm);
  sum.add(residual_norm);
  for (const double r : residual) sum.add(r);

  // 2. C = A B with A 300 x 250 and B 250 x 200 (dgemm): blocked, vectorised
  //    and, with more than one core, on several threads.
  constexpr int p = 300, q = 250, r = 200;
  generator random;
  std::vector<double> left(static_cast<std::size_t>(p) * q), right(static_cast<std::size_t>(q) * r),
      product(static_cast<std::size_t>(p) * r);
  std::generate(left.begin(), left.end(), [&random] { return random.next(); });
  std::generate(right.begin(), right.end(), [&random] { return random.next(); });
  dgemm_("N", "N", &p, &r, &q, &d_one, left.data(), &p, right.data(), &q, &d_zero, product.data(), &p, 1, 1);
  checksum product_sum;
  for (const double x : product) {
    product_sum.add(x);
    sum.add(x);
  }
  std::printf("\nProduct of a %d x %d and a %d x %d matrix (dgemm):\n", p, q, q, r);
  print_value("C(1, 1)", product.front());
  print_value("C(300, 200)", product.back());
  std::printf("  FNV-1a 64 of all %ld elements' bits: %016" PRIx64 "\n", product_sum.count(),
              product_sum.hash());

  std::printf("\nFNV-1a 64 of all %ld results' bits: %016" PRIx64 "\n", sum.count(), sum.hash());
  return 0;
}
