// Fuzzes the Givens construction, scalar_apply and apply against the
// operation-by-operation oracle and the invariants a rotation must keep.
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <limits>
#include <vector>

#include "../givens_oracle.hpp"
#include "fuzz_support.hpp"
#include "zelt/givens.hpp"

using zelt_fuzz::expect;
using zelt_fuzz::expect_same;

namespace {

constexpr double eps = std::numeric_limits<double>::epsilon();

void check_construction(double a, double b, const zelt::givens_rotation<double>& g) {
  const zelt_test::rotation_values want = zelt_test::oracle_rotation(a, b);
  expect_same("r", g.r(), want.r);
  expect_same("z", g.z(), want.z);
  expect_same("c", g.cosine(), want.c);
  expect_same("s", g.sine(), want.s);

  if (std::isnan(a) || std::isnan(b)) {
    expect(std::isnan(g.r()) && std::isnan(g.cosine()) && std::isnan(g.sine()), "NaN in, NaN out", g.r());
    expect(g.z() == 1, "z is 1 for a NaN argument", g.z());
    return;
  }
  if (std::isinf(a) || std::isinf(b)) {
    expect(std::isnan(g.r()) && std::isnan(g.z()) && std::isnan(g.cosine()) && std::isnan(g.sine()),
           "an infinite argument gives NaN everywhere", g.r());
    return;
  }
  if (a == 0 && b == 0) {
    expect(g.cosine() == 1 && g.sine() == 0 && g.r() == 0 && g.z() == 0, "identity for zeros", g.cosine());
    return;
  }
  // r takes the sign of the argument larger in magnitude, b's on a tie
  const double dominant = std::fabs(a) > std::fabs(b) ? a : b;
  expect(std::signbit(g.r()) == std::signbit(dominant), "sign of r", g.r());
  const double c = g.cosine(), s = g.sine();
  const double norm = c * c + s * s;
  expect(std::fabs(norm - 1) <= 4 * eps, "c^2 + s^2 = 1", norm);
  // rotating (a, b) itself gives (r, 0), where r is finite and normal
  const double r = g.r();
  if (std::isfinite(r) && std::fabs(r) >= 0x1p-1000 && std::fabs(r) <= 0x1p+1000) {
    double x = a, y = b;
    g.scalar_apply(x, y);
    expect(std::fabs(x - r) <= 4 * eps * std::fabs(r), "first component is r", x);
    expect(std::fabs(y) <= 4 * eps * std::fabs(r), "second component is 0", y);
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  double a = 0, b = 0;
  if (!zelt_fuzz::take(data, size, a) || !zelt_fuzz::take(data, size, b)) return 0;
  const zelt::givens_rotation<double> g(a, b);
  check_construction(a, b, g);

  std::vector<double> x, y;
  for (double u = 0, v = 0; zelt_fuzz::take(data, size, u) && zelt_fuzz::take(data, size, v);) {
    x.push_back(u);
    y.push_back(v);
  }
  std::vector<double> want_x = x, want_y = y;
  for (std::size_t k = 0; k < x.size(); ++k)
    zelt_test::oracle_rotate(g.cosine(), g.sine(), want_x[k], want_y[k]);

  if (!x.empty()) {  // one pair through scalar_apply
    double u = x[0], v = y[0];
    g.scalar_apply(u, v);
    expect_same("scalar_apply x", u, want_x[0]);
    expect_same("scalar_apply y", v, want_y[0]);
  }
  using vec = zelt::external_vec<double, 0, unsigned int>;
  const auto n = static_cast<unsigned int>(x.size());
  g.apply(vec(x.data(), n, 0), vec(y.data(), n, 0));
  for (std::size_t k = 0; k < x.size(); ++k) {
    expect_same("apply x", x[k], want_x[k]);
    expect_same("apply y", y[k], want_y[k]);
  }
  return 0;
}
