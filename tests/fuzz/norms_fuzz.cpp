// Fuzzes the norms and accumulate against a fold written out one operation at
// a time, and checks the visiting order and NaN / infinity propagation; then
// every norm over a strided view of a reversed, interleaved copy against the
// same norm over the contiguous input.
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <vector>

#include "fuzz_support.hpp"
#include "zelt/norms.hpp"

using zelt_fuzz::expect;
using zelt_fuzz::expect_same;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  std::vector<double> v;
  for (double x = 0; zelt_fuzz::take(data, size, x);) v.push_back(x);
  const zelt::external_vec<double, 0, unsigned int> view(v.data(), static_cast<unsigned int>(v.size()), 0);

  volatile double one = 0.0, squares = 0.0;
  bool any_nan = false, any_inf = false;
  for (double x : v) {
    one = one + std::fabs(x);
    volatile double square = x * x;
    squares = squares + std::fabs(square);
    any_nan = any_nan || std::isnan(x);
    any_inf = any_inf || std::isinf(x);
  }
  const double one_norm = zelt::one_norm(view);
  const double two_norm = zelt::two_norm(view);
  expect_same("one_norm", one_norm, one);
  expect_same("two_norm", two_norm, std::sqrt(squares));

  if (any_nan) {
    expect(std::isnan(one_norm) && std::isnan(two_norm), "NaN propagates", one_norm);
  } else if (any_inf) {
    expect(one_norm == INFINITY && two_norm == INFINITY, "infinity propagates", one_norm);
  } else {
    expect(!(one_norm < 0) && !(two_norm < 0), "norms are not negative", two_norm);
  }

  // accumulate visits every element once, strictly from first to last
  std::size_t next = 0;
  bool in_order = true;
  const double count = zelt_algo::accumulate(view.begin(), view.end(), 0.0, [&](double acc, const double& x) {
    in_order = in_order && next < v.size() && &x == &v[next];
    ++next;
    return acc + 1;
  });
  expect(in_order && next == v.size(), "accumulate visits in index order", static_cast<double>(next));
  expect(count == static_cast<double>(v.size()), "accumulate folds every element", count);

  // The same elements backwards in memory, every second slot, read through a
  // stride of -2: the bits must be those of the contiguous view.
  std::vector<double> spread(2 * v.size() + 1, 0x1p+1000);
  for (std::size_t i = 0; i < v.size(); ++i) spread[2 * (v.size() - 1 - i) + 1] = v[i];
  const zelt::strided_vec<double, unsigned int> strided(v.empty() ? spread.data() : &spread[2 * v.size() - 1],
                                                        static_cast<unsigned int>(v.size()), -2);
  expect_same("strided one_norm", zelt::one_norm(strided), one_norm);
  expect_same("strided two_norm", zelt::two_norm(strided), two_norm);
  expect_same("strided stable_two_norm", zelt::stable_two_norm(strided), zelt::stable_two_norm(view));
  expect_same("strided one_norm lanes", zelt::one_norm(strided, zelt::lanes),
              zelt::one_norm(view, zelt::lanes));
  expect_same("strided two_norm lanes", zelt::two_norm(strided, zelt::lanes),
              zelt::two_norm(view, zelt::lanes));
  return 0;
}
