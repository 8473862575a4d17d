#ifndef ZELT_BENCHMARKS_BENCH_SUPPORT_HPP_
#define ZELT_BENCHMARKS_BENCH_SUPPORT_HPP_

// What the BLAS benchmarks share: random operands and aligned storage.
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <type_traits>

namespace zelt_bench {

// Uniform values in [-1, 1) from splitmix64: cheap enough that filling the
// largest operands does not dominate a smoke run. The same values in either
// precision (rounded to float for float).
template <class T>
void fill_random(T* p, std::size_t n, std::uint64_t seed) {
  std::uint64_t state = seed;
  for (std::size_t i = 0; i < n; ++i) {
    std::uint64_t z = (state += 0x9e3779b97f4a7c15ULL);
    z = (z ^ (z >> 30)) * 0xbf58476d1ce4e5b9ULL;
    z = (z ^ (z >> 27)) * 0x94d049bb133111ebULL;
    z ^= z >> 31;
    p[i] = static_cast<T>(static_cast<double>(z >> 11) * 0x1p-52 - 1.0);
  }
}

// Uninitialised storage for `count` elements starting on a 64-byte boundary,
// so that every run and every implementation sees the same alignment.
template <class T>
class aligned {
 public:
  explicit aligned(std::size_t count) : storage_(new T[count + 64 / sizeof(T)]) {
    const auto address = reinterpret_cast<std::uintptr_t>(storage_.get());
    offset_ = (64 - address % 64) % 64 / sizeof(T);
  }
  T* data() const noexcept { return storage_.get() + offset_; }

 private:
  std::unique_ptr<T[]> storage_;
  std::size_t offset_ = 0;
};
using aligned_doubles = aligned<double>;

// A benchmark's name, with an "s" in front in single precision ("saxpy/...",
// "sgemm_nn/..."). Appended, not prepended: GCC 12 warns of an overlapping
// copy (-Wrestrict) in "s" + std::string at -O3.
template <class T>
std::string precision_name(const std::string& name) {
  std::string result = std::is_same_v<T, float> ? "s" : "";
  result += name;
  return result;
}

}  // namespace zelt_bench

#endif  // ZELT_BENCHMARKS_BENCH_SUPPORT_HPP_
