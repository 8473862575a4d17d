#ifndef ZELT_SRC_BLAS_CHECKS_HPP_
#define ZELT_SRC_BLAS_CHECKS_HPP_

// What the library's Fortran and C entry points share: the checks of their
// arguments as the reference makes them, and the complex element types
// behind their untyped ones.
#include <complex>
#include <initializer_list>
#include <utility>  // std::pair

namespace zelt_blas {

/// max(1, n), the least leading dimension the reference accepts.
inline int at_least_one(int n) { return n > 1 ? n : 1; }

/// The number of the first argument whose check fails, 0 when all pass: the
/// reference checks its arguments in this order and reports only the first.
inline int first_bad(std::initializer_list<std::pair<bool, int>> checks) {
  for (const auto& [bad, number] : checks) {
    if (bad) return number;
  }
  return 0;
}

/// The complex array or scalar behind a `void*` argument.
template <class R>
const std::complex<R>* in(const void* p) {
  return static_cast<const std::complex<R>*>(p);
}
template <class R>
std::complex<R>* out(void* p) {
  return static_cast<std::complex<R>*>(p);
}

}  // namespace zelt_blas

#endif  // ZELT_SRC_BLAS_CHECKS_HPP_
