#ifndef ZELT_KERNEL_SET_HPP_
#define ZELT_KERNEL_SET_HPP_

// Which instruction set zelt's BLAS kernels run on. Every kernel is compiled
// once per set, whatever flags the program is built with (a set is a region
// of code with its own target attributes, see detail/for_each_kernel_set.hpp),
// and each call runs the best set the CPU and the operating system support,
// chosen once per process. Every set computes the same operations in the same
// order, each rounded on its own, so the choice changes the speed only, never
// a bit of a result.
//
// The environment variable ZELT_ARCH=generic|avx2|avx512 forces a set, for
// tests and benchmarks. An unknown value, or a set the CPU cannot run, is
// reported in one line on standard error, and the best set that can run is
// used instead.

#include <cstdio>            // std::fprintf, std::snprintf
#include <cstdlib>           // std::getenv
#include <cstring>           // std::strcmp
#include <initializer_list>  // the sets in a range for

// Kernels written with the GCC and Clang vector extensions; scalar loops
// elsewhere.
#if defined(__GNUC__) && !defined(ZELT_NO_VECTOR_EXTENSIONS)
#define ZELT_HAVE_VECTORS 1
#else
#define ZELT_HAVE_VECTORS 0
#endif

// On x86, the kernels are compiled for the widest set the build's own flags
// enable (the base set: generic without -march, avx2 with x86-64-v3 or
// -mavx2, avx512 with x86-64-v4 or -march=native on such a CPU) and, inside
// regions with their own target attributes, for every wider set. Narrower
// sets are left out: the program cannot run where the base set cannot.
// ZELT_NO_KERNEL_SETS keeps the base set alone.
#if ZELT_HAVE_VECTORS && (defined(__x86_64__) || defined(__i386__)) && !defined(ZELT_NO_KERNEL_SETS)
#define ZELT_X86_KERNEL_SETS 1
#include <cpuid.h>  // __get_cpuid_count
#else
#define ZELT_X86_KERNEL_SETS 0
#endif

#if defined(__AVX512F__) && defined(__AVX512DQ__) && defined(__AVX512BW__) && defined(__AVX512VL__)
#define ZELT_BASE_KERNEL_SET 2
#elif defined(__AVX2__)
#define ZELT_BASE_KERNEL_SET 1
#else
#define ZELT_BASE_KERNEL_SET 0
#endif
// Which sets this translation unit carries.
#define ZELT_HAS_GENERIC_KERNELS (ZELT_BASE_KERNEL_SET == 0)
#define ZELT_HAS_AVX2_KERNELS \
  (ZELT_BASE_KERNEL_SET == 1 || (ZELT_BASE_KERNEL_SET == 0 && ZELT_X86_KERNEL_SETS))
#define ZELT_HAS_AVX512_KERNELS (ZELT_BASE_KERNEL_SET == 2 || ZELT_X86_KERNEL_SETS)

namespace zelt {

/// An instruction set zelt's kernels are compiled for: `generic` (the
/// build's own flags, SSE2 on x86-64 without -march), `avx2` (x86-64-v3's
/// 256-bit vectors) and `avx512` (x86-64-v4's 512-bit vectors).
enum class kernel_set : unsigned char { generic, avx2, avx512 };

/// "generic", "avx2" or "avx512".
constexpr const char* name(kernel_set set) noexcept {
  return set == kernel_set::avx512 ? "avx512" : set == kernel_set::avx2 ? "avx2" : "generic";
}

/// The set `name` names ("generic", "avx2", "avx512"); generic for any other.
inline kernel_set kernel_set_named(const char* set_name) noexcept {
  if (std::strcmp(set_name, name(kernel_set::avx512)) == 0) return kernel_set::avx512;
  if (std::strcmp(set_name, name(kernel_set::avx2)) == 0) return kernel_set::avx2;
  return kernel_set::generic;
}

namespace detail {

#if ZELT_X86_KERNEL_SETS
// The extended control register XCR0: which register states the operating
// system saves on a context switch.
inline unsigned long long xcr0() noexcept {
  unsigned lo = 0, hi = 0;
  __asm__ volatile("xgetbv" : "=a"(lo), "=d"(hi) : "c"(0));
  return (static_cast<unsigned long long>(hi) << 32) | lo;
}

inline bool cpu_runs(kernel_set set) noexcept {
  if (set == kernel_set::generic) return true;
  unsigned a = 0, b = 0, c = 0, d = 0;
  if (!__get_cpuid_count(1, 0, &a, &b, &c, &d)) return false;
  const bool osxsave = (c >> 27) & 1u, avx = (c >> 28) & 1u;
  if (!osxsave || !avx) return false;
  const unsigned long long xcr = xcr0();
  if ((xcr & 0x6u) != 0x6u) return false;  // SSE and AVX (YMM) state
  if (!__get_cpuid_count(7, 0, &a, &b, &c, &d)) return false;
  const bool avx2 = (b >> 5) & 1u;
  if (set == kernel_set::avx2) return avx2;
  // AVX-512 F, DQ, BW and VL, and the opmask and both halves of the ZMM state
  const unsigned need = (1u << 16) | (1u << 17) | (1u << 30) | (1u << 31);
  return avx2 && (b & need) == need && (xcr & 0xe0u) == 0xe0u;
}
#else
inline bool cpu_runs(kernel_set set) noexcept { return set == kernel_set::generic; }
#endif

// Whether the set's kernels are compiled into this program.
constexpr bool compiled(kernel_set set) noexcept {
  return set == kernel_set::avx512 ? ZELT_HAS_AVX512_KERNELS
         : set == kernel_set::avx2 ? ZELT_HAS_AVX2_KERNELS
                                   : ZELT_HAS_GENERIC_KERNELS;
}

constexpr kernel_set base_kernel_set = static_cast<kernel_set>(ZELT_BASE_KERNEL_SET);

inline bool can_run(kernel_set set) noexcept { return compiled(set) && cpu_runs(set); }

// The widest set compiled in that the CPU runs; the base set otherwise (a
// program built for a wider CPU than this one).
inline kernel_set best_kernel_set() noexcept {
  if (can_run(kernel_set::avx512)) return kernel_set::avx512;
  if (can_run(kernel_set::avx2)) return kernel_set::avx2;
  return base_kernel_set;
}

// The best set, or the one ZELT_ARCH names when it can run.
inline kernel_set choose_kernel_set() noexcept {
  const kernel_set best = best_kernel_set();
  const char* wanted = std::getenv("ZELT_ARCH");
  if (wanted == nullptr || *wanted == '\0') return best;
  for (const kernel_set set : {kernel_set::generic, kernel_set::avx2, kernel_set::avx512}) {
    if (std::strcmp(wanted, name(set)) != 0) continue;
    if (can_run(set)) return set;
    std::fprintf(stderr, "zelt: ZELT_ARCH=%s %s; using %s\n", wanted,
                 compiled(set) ? "cannot run on this CPU" : "is not compiled into this program", name(best));
    return best;
  }
  std::fprintf(stderr, "zelt: ZELT_ARCH=%s is not generic, avx2 or avx512; using %s\n", wanted, name(best));
  return best;
}

}  // namespace detail

/// Whether this CPU and its operating system can run the kernel set.
inline bool cpu_supports(kernel_set set) noexcept { return detail::cpu_runs(set); }

/// Whether the program carries the kernel set: the set its build flags
/// enable and, on x86, every wider one.
constexpr bool compiled_in(kernel_set set) noexcept { return detail::compiled(set); }

/// The set every BLAS operation runs on: chosen at the first call, then fixed
/// for the life of the process.
inline kernel_set active_kernel_set() noexcept {
  static const kernel_set set = detail::choose_kernel_set();
  return set;
}

/// One line saying which kernel set runs and which are compiled in, for
/// example "zelt kernels=avx512 (compiled: generic avx2 avx512)".
inline const char* config() noexcept {
  static char line[96] = {};
  static const int written =
      std::snprintf(line, sizeof line, "zelt kernels=%s (compiled:%s%s%s)", name(active_kernel_set()),
                    ZELT_HAS_GENERIC_KERNELS ? " generic" : "", ZELT_HAS_AVX2_KERNELS ? " avx2" : "",
                    ZELT_HAS_AVX512_KERNELS ? " avx512" : "");
  (void)written;
  return line;
}

}  // namespace zelt

// Runs `call`, an expression naming a kernel in zelt::detail::<set>, on the
// active set: ZELT_KERNEL_CALL(axpy_kernel(alpha, x, y, n)). The base set
// takes every case the wider ones do not.
#define ZELT_KERNEL_CALL(...)                                        \
  [&]() -> decltype(auto) {                                          \
    ZELT_KERNEL_IF_AVX512_(__VA_ARGS__)                              \
    ZELT_KERNEL_IF_AVX2_(__VA_ARGS__)                                \
    return ::zelt::detail::ZELT_KERNEL_BASE_NAMESPACE_::__VA_ARGS__; \
  }()
#if ZELT_HAS_AVX512_KERNELS && ZELT_BASE_KERNEL_SET != 2
#define ZELT_KERNEL_IF_AVX512_(...) \
  if (::zelt::active_kernel_set() == ::zelt::kernel_set::avx512) return ::zelt::detail::avx512::__VA_ARGS__;
#else
#define ZELT_KERNEL_IF_AVX512_(...)
#endif
#if ZELT_HAS_AVX2_KERNELS && ZELT_BASE_KERNEL_SET != 1
#define ZELT_KERNEL_IF_AVX2_(...) \
  if (::zelt::active_kernel_set() == ::zelt::kernel_set::avx2) return ::zelt::detail::avx2::__VA_ARGS__;
#else
#define ZELT_KERNEL_IF_AVX2_(...)
#endif
#if ZELT_BASE_KERNEL_SET == 2
#define ZELT_KERNEL_BASE_NAMESPACE_ avx512
#elif ZELT_BASE_KERNEL_SET == 1
#define ZELT_KERNEL_BASE_NAMESPACE_ avx2
#else
#define ZELT_KERNEL_BASE_NAMESPACE_ generic
#endif

#endif  // ZELT_KERNEL_SET_HPP_
