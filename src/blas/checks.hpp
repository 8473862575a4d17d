#ifndef ZELT_SRC_BLAS_CHECKS_HPP_
#define ZELT_SRC_BLAS_CHECKS_HPP_

// What the library's Fortran and C entry points share to check arguments as
// the reference does.
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

}  // namespace zelt_blas

#endif  // ZELT_SRC_BLAS_CHECKS_HPP_
