#ifndef ZELT_TESTS_FUZZ_SUPPORT_HPP_
#define ZELT_TESTS_FUZZ_SUPPORT_HPP_

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace zelt_fuzz {

/// Reads the next double from the input, or returns false when it is used up.
inline bool take(const std::uint8_t*& data, std::size_t& size, double& out) {
  if (size < sizeof out) return false;
  std::memcpy(&out, data, sizeof out);
  data += sizeof out;
  size -= sizeof out;
  return true;
}

inline bool same(double x, double y) {
  std::uint64_t a, b;
  std::memcpy(&a, &x, sizeof a);
  std::memcpy(&b, &y, sizeof b);
  return a == b || (std::isnan(x) && std::isnan(y));
}

[[noreturn]] inline void fail(const char* what, double got, double want) {
  std::fprintf(stderr, "%s: got %a, want %a\n", what, got, want);
  std::abort();
}

inline void expect_same(const char* what, double got, double want) {
  if (!same(got, want)) fail(what, got, want);
}

inline void expect(bool ok, const char* what, double value) {
  if (!ok) fail(what, value, value);
}

}  // namespace zelt_fuzz

#endif  // ZELT_TESTS_FUZZ_SUPPORT_HPP_
