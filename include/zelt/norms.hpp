#ifndef ZELT_NORMS_HPP_
#define ZELT_NORMS_HPP_

#include <cmath>        // std::abs, std::sqrt, std::ilogb, std::ldexp, std::isfinite
#include <cstddef>      // std::size_t
#include <type_traits>  // std::remove_cv_t, std::remove_pointer_t
#include <utility>      // std::declval

#include "zelt/detail/blas_access.hpp"
#include "zelt/detail/exact.hpp"
#include "zelt/strided.hpp"
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

template <class T, class SizeType>
struct linalg_traits<strided_vec<T, SizeType>> {
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

namespace detail {

// The fold of the two-norm: 0.0 + |v0*v0| + |v1*v1| + ..., left to right.
// Shared by two_norm and stable_two_norm, whose results must agree bit for bit.
template <class Vector>
double sum_of_squares(const Vector& v) {
  return zelt_algo::accumulate(v.begin(), v.end(), 0.0, sqr_add());
}

}  // namespace detail

template <class Vector>
typename linalg_traits<Vector>::magnitude_type oned_two_norm(const Vector& v, nubo::count<0>) {
  return std::sqrt(detail::sum_of_squares(v));
}

/// Euclidean length: the square root of the squares added left to right from
/// 0.0. No scaling, so it overflows to +inf and underflows to 0 like the squares.
template <class Vector>
typename linalg_traits<Vector>::magnitude_type two_norm(const Vector& v) {
  return oned_two_norm(v, nubo::count<0>());
}

/// Tag selecting the fixed-order, vectorisable variants of the norms.
struct lanes_t {
  explicit lanes_t() = default;
};
/// `one_norm(v, zelt::lanes)`, `two_norm(v, zelt::lanes)`.
inline constexpr lanes_t lanes{};

namespace detail {

constexpr std::size_t lane_count = 16;

// Element i of a vector, by logical index: the order of a fold is fixed by
// these indices, never by where the elements lie in memory. Any vector with
// data() is contiguous; a strided_vec is not.
template <class Vector>
auto elements_of(const Vector& v) noexcept {
  return unit_access<std::remove_pointer_t<decltype(v.data())>>{v.data()};
}
template <class T, class SizeType>
auto elements_of(const strided_vec<T, SizeType>& v) noexcept {
  return read_access(v);
}

// Folds x[0..n) with `step` in an order fixed by this source: lane l folds
// elements l, l + 16, l + 32, ... of the first 16 * (n / 16), each lane from
// 0.0; the lanes are added in the pairwise tree ((l0+l1)+(l2+l3))+... ; then
// the remaining n % 16 elements are folded in one at a time, left to right.
// Every lane is an independent chain, so compilers vectorise the loop without
// reassociating anything.
template <class T, class Elements, class Step>
ZELT_EXACT_LOOP T lane_fold(Elements x, std::size_t n, Step step) {
  ZELT_EXACT_ARITHMETIC
  T acc[lane_count] = {};
  const std::size_t blocked = n - n % lane_count;
  for (std::size_t i = 0; i < blocked; i += lane_count) {
    for (std::size_t l = 0; l < lane_count; ++l) acc[l] = step(acc[l], x[i + l]);
  }
  for (std::size_t width = lane_count / 2; width > 0; width /= 2) {
    for (std::size_t l = 0; l < width; ++l) acc[l] = acc[2 * l] + acc[2 * l + 1];
  }
  T sum = acc[0];
  for (std::size_t i = blocked; i < n; ++i) sum = step(sum, x[i]);
  return sum;
}

}  // namespace detail

/// One-norm in the fixed lane order of detail::lane_fold: the same bits on
/// every compiler, flag set and instruction set, and vectorised. Takes a
/// strided_vec or any contiguous vector (`data()` and `size()`); the order is
/// that of the element indices, so a strided view gives the bits of its
/// elements gathered into a contiguous array.
template <class Vector>
typename linalg_traits<Vector>::magnitude_type one_norm(const Vector& v, lanes_t) {
  using T = typename linalg_traits<Vector>::magnitude_type;
  return detail::lane_fold<T>(detail::elements_of(v), static_cast<std::size_t>(v.size()), abs_add());
}

/// Two-norm in the fixed lane order of detail::lane_fold, then the square root.
template <class Vector>
typename linalg_traits<Vector>::magnitude_type two_norm(const Vector& v, lanes_t) {
  using T = typename linalg_traits<Vector>::magnitude_type;
  return std::sqrt(
      detail::lane_fold<T>(detail::elements_of(v), static_cast<std::size_t>(v.size()), sqr_add()));
}

/// Two-norm that neither overflows nor underflows on the way. When the largest
/// magnitude lies in [2^-480, 2^480] (or is 0, infinite or NaN) the result is
/// bit-identical to two_norm(v). Otherwise every element is scaled by 2^-k,
/// k the exponent of the largest magnitude (exact), folded left to right as
/// two_norm does, and the square root is scaled back by 2^k.
template <class Vector>
typename linalg_traits<Vector>::magnitude_type stable_two_norm(const Vector& v) {
  ZELT_EXACT_ARITHMETIC
  using T = typename linalg_traits<Vector>::magnitude_type;
  // First two_norm's own fold. Its sum alone often proves the largest
  // magnitude m in range: m > 2^480 would make the sum at least 2^960, and
  // m < 2^-480 would keep it at most n * 2^-959 (n squares of at most 2^-960,
  // with rounding), so a sum of at least n * 2^-958 rules that out. Only sums
  // outside that window need a second look.
  const T sum = detail::sum_of_squares(v);
  const T n = static_cast<T>(v.size());
  if ((sum < T(0x1p+960) && sum >= T(0x1p-958) * n) || std::isnan(sum)) return std::sqrt(sum);

  const T largest = zelt_algo::accumulate(v.begin(), v.end(), T(0), [](const T& acc, const T& x) {
    const T magnitude = std::abs(x);
    return acc < magnitude ? magnitude : acc;
  });
  const bool too_large = largest > T(0x1p+480) && std::isfinite(largest);
  const bool too_small = largest < T(0x1p-480) && largest != T(0);
  if (!too_large && !too_small) return std::sqrt(sum);

  // 2^-k brings the largest magnitude into [1, 2). Scaling up by more than
  // 2^1022 takes two exact steps.
  const int k = std::ilogb(largest);
  const T down = k >= -1022 ? std::ldexp(T(1), -k) : std::ldexp(T(1), 1022);
  const T rest = k >= -1022 ? T(1) : std::ldexp(T(1), -k - 1022);
  const T scaled = zelt_algo::accumulate(v.begin(), v.end(), T(0), [down, rest](const T& acc, const T& x) {
    return sqr_add()(acc, x * down * rest);
  });
  return std::sqrt(scaled) * std::ldexp(T(1), k);
}

}  // namespace zelt

#endif  // ZELT_NORMS_HPP_
