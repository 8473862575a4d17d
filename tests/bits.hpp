#ifndef ZELT_TESTS_BITS_HPP_
#define ZELT_TESTS_BITS_HPP_

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>

namespace zelt_test {

inline std::uint64_t bits_of(double x) {
  std::uint64_t u;
  std::memcpy(&u, &x, sizeof u);
  return u;
}

inline std::string hex(double x) {
  char buf[64];
  std::snprintf(buf, sizeof buf, "%a", x);
  return buf;
}

/// Returns `p` as a pointer the optimiser knows nothing about, so results
/// computed from what it points at are computed at run time, not folded at
/// compile time (where no fusion or reordering could show).
template <class T>
T* opaque(T* p) {
  asm volatile("" : "+r"(p) : : "memory");
  return p;
}

/// Passes when `actual` has exactly the bits of `expected` (so -0 differs from
/// +0); reports both as hex floats otherwise.
inline ::testing::AssertionResult same_bits(double actual, double expected) {
  if (bits_of(actual) == bits_of(expected)) return ::testing::AssertionSuccess();
  return ::testing::AssertionFailure() << "got " << hex(actual) << ", want " << hex(expected);
}

}  // namespace zelt_test

#endif  // ZELT_TESTS_BITS_HPP_
