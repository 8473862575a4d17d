#ifndef ZELT_NORMS_HPP_
#define ZELT_NORMS_HPP_

#include <cmath>    // std::abs, std::sqrt
#include <utility>  // std::declval

#include "zelt/detail/exact.hpp"
#include "zelt/vector.hpp"

namespace nubo {

/// Element count known at compile time; 0 means it is known only at run time.
template <int N>
struct count {};

}  // namespace nubo

namespace zelt_algo {

/// Left fold: `init = f(init, *it)` for every position from `first` up to
/// `last`, strictly in order, one element at a time. A `first` at or beyond
/// `last` returns `init` without calling `f`.
template <class Iter, class T, class F>
constexpr T accumulate(Iter first, Iter last, T init, F f) {
  using zelt::not_at;
  while (not_at(first, last)) {
    init = f(init, *first++);
  }
  return init;
}

}  // namespace zelt_algo

namespace zelt {

/// Fold step of the one-norm: `acc + |x|`.
struct abs_add {
  template <class Acc, class T>
  constexpr Acc operator()(const Acc& acc, const T& x) const {
    ZELT_EXACT_ARITHMETIC
    return acc + std::abs(x);
  }
};

/// Fold step of the two-norm: `acc + |x * x|`, the square rounded on its own.
struct sqr_add {
  template <class Acc, class T>
  constexpr Acc operator()(const Acc& acc, const T& x) const {
    ZELT_EXACT_ARITHMETIC
    return acc + std::abs(detail::mul(x, x));
  }
};

/// Tag selecting the one-dimensional (vector) variant of an operation.
struct oned_tag {};

/// Properties of a vector type; `magnitude_type` is the type of its norms.
template <class Vector>
struct linalg_traits;

template <class T, int StaticSize, class SizeType>
struct linalg_traits<external_vec<T, StaticSize, SizeType>> {
  using magnitude_type = std::remove_cv_t<decltype(std::abs(std::declval<const T&>()))>;
};

template <class Vector>
typename linalg_traits<Vector>::magnitude_type oned_one_norm(const Vector& v, nubo::count<0>) {
  return zelt_algo::accumulate(v.begin(), v.end(), 0.0, abs_add());
}

template <class Vector>
typename linalg_traits<Vector>::magnitude_type one_norm(const Vector& v, oned_tag) {
  return oned_one_norm(v, nubo::count<0>());
}

/// Sum of the absolute values, added left to right from 0.0.
template <class Vector>
typename linalg_traits<Vector>::magnitude_type one_norm(const Vector& v) {
  return one_norm(v, oned_tag());
}

template <class Vector>
typename linalg_traits<Vector>::magnitude_type oned_two_norm(const Vector& v, nubo::count<0>) {
  return std::sqrt(zelt_algo::accumulate(v.begin(), v.end(), 0.0, sqr_add()));
}

/// Euclidean length: the square root of the squares added left to right from
/// 0.0. No scaling, so it overflows to +inf and underflows to 0 like the squares.
template <class Vector>
typename linalg_traits<Vector>::magnitude_type two_norm(const Vector& v) {
  return oned_two_norm(v, nubo::count<0>());
}

}  // namespace zelt

#endif  // ZELT_NORMS_HPP_
