#ifndef ZELT_DETAIL_EXACT_HPP_
#define ZELT_DETAIL_EXACT_HPP_

// zelt promises that every result is bit-identical whatever the compiler, the
// optimisation level or the instruction set. Two things break that promise:
// contraction (a * b + c fused into one instruction with a single rounding) and
// reassociation (-ffast-math reordering a fold). The zelt::zelt CMake target
// passes -ffp-contract=off, but a header may be included with any flags, so
// the headers defend themselves as well:
//
//  * every product that feeds a sum goes through detail::mul, which GCC 12+
//    cannot fuse across (__builtin_assoc_barrier);
//  * every function body doing arithmetic opens with ZELT_EXACT_ARITHMETIC,
//    which turns off clang's in-expression contraction for that body;
//  * a function whose loop GCC may vectorise carries ZELT_EXACT_LOOP, because
//    the barrier does not survive GCC's vectoriser;
//  * builds that allow reassociation, or that evaluate double in a wider
//    format, stop here unless the user opts out with ZELT_ALLOW_INEXACT_MATH.

#include <cfloat>       // FLT_EVAL_METHOD
#include <type_traits>  // std::is_floating_point_v

#if __cplusplus < 201703L
#error "zelt needs C++17 or later (e.g. -std=c++17)"
#endif

#if !defined(ZELT_ALLOW_INEXACT_MATH)
#if defined(__FAST_MATH__) || defined(__ASSOCIATIVE_MATH__) || defined(__RECIPROCAL_MATH__)
#error \
    "zelt: -ffast-math (or -fassociative-math / -freciprocal-math) lets the compiler reorder and fuse floating-point operations, so zelt's results would no longer be bit-exact. Build without it, or define ZELT_ALLOW_INEXACT_MATH to accept results that may differ from zelt's documented ones."
#endif
#if defined(FLT_EVAL_METHOD) && FLT_EVAL_METHOD != 0
#error \
    "zelt: this target evaluates double arithmetic in a wider format (FLT_EVAL_METHOD != 0), so zelt's results would no longer be bit-exact. Use SSE2 arithmetic (e.g. -mfpmath=sse), or define ZELT_ALLOW_INEXACT_MATH to accept results that may differ from zelt's documented ones."
#endif
#endif

#if defined(__clang__)
#define ZELT_EXACT_ARITHMETIC _Pragma("clang fp contract(off)")
#else
#define ZELT_EXACT_ARITHMETIC
#endif

#if defined(__GNUC__) && !defined(__clang__)
// Only on loops: GCC will not inline a function with this attribute into a
// caller compiled with a different -ffp-contract, so it must not sit on the
// small functions that such loops call.
#define ZELT_EXACT_LOOP __attribute__((optimize("fp-contract=off")))
#else
#define ZELT_EXACT_LOOP
#endif

namespace zelt::detail {

/// Returns `x` unchanged, but as a value the compiler must round on its own:
/// it cannot be fused into the addition or subtraction that consumes it.
template <class T>
constexpr T rounded(T x) noexcept {
#if defined(__GNUC__) && !defined(__clang__) && __GNUC__ >= 12
  if constexpr (std::is_floating_point_v<T>) return __builtin_assoc_barrier(x);
#endif
  return x;
}

/// `a * b`, rounded on its own.
template <class T>
constexpr T mul(T a, T b) noexcept {
  ZELT_EXACT_ARITHMETIC
  return rounded(a * b);
}

}  // namespace zelt::detail

#endif  // ZELT_DETAIL_EXACT_HPP_
