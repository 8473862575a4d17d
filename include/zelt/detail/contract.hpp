#ifndef ZELT_DETAIL_CONTRACT_HPP_
#define ZELT_DETAIL_CONTRACT_HPP_

// Checked mode. zelt checks nothing by default: every precondition is the
// caller's. Defining ZELT_CHECKED before including any zelt header (or the
// CMake option ZELT_CHECKED=ON) turns the preconditions into checks that write
// one line naming the operation, the offending value and the bound to stderr,
// then call std::abort(). It does not depend on NDEBUG.
//
// ZELT_EXPECTS(cond, format, ...) states one precondition; `format` and its
// arguments are printf-style and describe the violation. Unchecked builds
// expand it to nothing, so neither the condition nor the message costs
// anything. Sizes are passed to the message as unsigned long long, through
// detail::ull.

#if defined(ZELT_CHECKED)

#include <cstdarg>  // va_list
#include <cstdio>   // std::vfprintf, stderr
#include <cstdlib>  // std::abort

namespace zelt::detail {

#if defined(__GNUC__)
#define ZELT_DETAIL_PRINTF_FORMAT __attribute__((format(printf, 1, 2)))
#else
#define ZELT_DETAIL_PRINTF_FORMAT
#endif

/// Writes "zelt: <message>" and a newline to stderr, then aborts.
[[noreturn]] inline void contract_violation(const char* format, ...) noexcept ZELT_DETAIL_PRINTF_FORMAT;

inline void contract_violation(const char* format, ...) noexcept {
  std::va_list args;
  va_start(args, format);
  std::vfprintf(stderr, format, args);
  va_end(args);
  std::fputc('\n', stderr);
  std::fflush(stderr);
  std::abort();
}

}  // namespace zelt::detail

#define ZELT_EXPECTS(cond, ...) \
  ((cond) ? static_cast<void>(0) : ::zelt::detail::contract_violation("zelt: " __VA_ARGS__))

#else

#define ZELT_EXPECTS(cond, ...) static_cast<void>(0)

#endif

namespace zelt::detail {

/// A size or index as printed in contract messages.
template <class T>
constexpr unsigned long long ull(T value) noexcept {
  return static_cast<unsigned long long>(value);
}

}  // namespace zelt::detail

#endif  // ZELT_DETAIL_CONTRACT_HPP_
