#ifndef ZELT_TESTS_REFUSING_ALLOCATOR_HPP_
#define ZELT_TESTS_REFUSING_ALLOCATOR_HPP_

// The aligned allocation functions, replaced so that a test can make every
// request for more than a few KiB fail on its own thread (short_of_memory).
// Replaces global functions: include it in one source file of a program.
#include <cstdlib>
#include <new>
#include <thread>

namespace zelt_test {
inline thread_local std::size_t refuse_above = static_cast<std::size_t>(-1);
inline void* aligned(std::size_t n, std::align_val_t a) noexcept {
  const auto align = static_cast<std::size_t>(a);
  return std::aligned_alloc(align, (n + align - 1) / align * align);
}

/// f() on a new thread whose aligned requests above 4 KiB fail.
template <class F>
void short_of_memory(const F& f) {
  std::thread([&] {
    refuse_above = 4096;
    f();
    refuse_above = static_cast<std::size_t>(-1);
  }).join();
}
}  // namespace zelt_test

// A replacement allocation function cannot be inline: one definition per
// program, hence one including source file.
// NOLINTBEGIN(misc-definitions-in-headers)
void* operator new(std::size_t n, std::align_val_t a) {
  if (void* p = zelt_test::aligned(n, a)) return p;
  throw std::bad_alloc();
}
void* operator new(std::size_t n, std::align_val_t a, const std::nothrow_t&) noexcept {
  return n > zelt_test::refuse_above ? nullptr : zelt_test::aligned(n, a);
}
void operator delete(void* p, std::align_val_t) noexcept { std::free(p); }
void operator delete(void* p, std::size_t, std::align_val_t) noexcept { std::free(p); }
void operator delete(void* p, std::align_val_t, const std::nothrow_t&) noexcept { std::free(p); }
// NOLINTEND(misc-definitions-in-headers)

#endif  // ZELT_TESTS_REFUSING_ALLOCATOR_HPP_
