#ifndef ZELT_DETAIL_COMPLEX_HPP_
#define ZELT_DETAIL_COMPLEX_HPP_

// Complex arithmetic with the reference BLAS's bits. The reference is Fortran
// compiled by gfortran, whose complex rules differ from C++'s std::complex:
//
//  * a product (a + bi)(c + di) is (ac - bd) + (ad + bc)i, each product and
//    each sum rounded on its own, with no recovery of NaN results;
//  * a real operand (a real scalar, DBLE of an element) is a complex with a
//    zero imaginary part, and that zero stays in the formulas: r (c + di) is
//    (rc - 0d) + (rd + 0c)i, which differs from rc + (rd)i where d or c is
//    infinite, and in the sign of zeros. So mul and div promote a real
//    operand; the two places where the reference writes out the parts (the
//    real scalings csscal and zdscal) take scale_parts;
//  * a quotient takes the range-reduced form below, never the textbook one.
//
// Sums and differences of two complex numbers are part by part: std::complex's
// + and - of two complex numbers compute exactly that, so kernels use them.
// Not so a complex plus a real, which std::complex adds to the real part only:
// promote the real first. Products and quotients go through mul and div, never
// through std::complex's * and /, which recover NaNs (C's Annex G) and divide
// differently.

#include <cmath>        // std::abs
#include <complex>      // std::complex
#include <type_traits>  // std::true_type, std::false_type, std::enable_if_t

#include "zelt/detail/exact.hpp"

namespace zelt::detail {

template <class T>
struct is_complex : std::false_type {};
template <class T>
struct is_complex<std::complex<T>> : std::true_type {};
template <class T>
constexpr bool is_complex_v = is_complex<T>::value;

/// The real type under T: T for float and double, R for std::complex<R>.
template <class T>
struct real_part_type {
  using type = T;
};
template <class T>
struct real_part_type<std::complex<T>> {
  using type = T;
};
template <class T>
using real_t = typename real_part_type<T>::type;

/// (ac - bd) + (ad + bc)i.
template <class T>
constexpr std::complex<T> mul(std::complex<T> x, std::complex<T> y) noexcept {
  ZELT_EXACT_ARITHMETIC
  return {mul(x.real(), y.real()) - mul(x.imag(), y.imag()),
          mul(x.real(), y.imag()) + mul(x.imag(), y.real())};
}

/// A real times a complex, or the reverse: the real as r + 0i.
template <class T>
constexpr std::complex<T> mul(T r, std::complex<T> y) noexcept {
  return mul(std::complex<T>(r, 0), y);
}
template <class T>
constexpr std::complex<T> mul(std::complex<T> x, T r) noexcept {
  return mul(x, std::complex<T>(r, 0));
}

/// r (re y) + r (im y) i: each part scaled by the real r on its own.
template <class T>
constexpr std::complex<T> scale_parts(T r, std::complex<T> y) noexcept {
  ZELT_EXACT_ARITHMETIC
  return {r * y.real(), r * y.imag()};
}

/// The conjugate. For a real, the real itself, so that kernels written once
/// for both kinds of element conjugate where the reference does.
template <class T>
constexpr std::complex<T> conjugate(std::complex<T> x) noexcept {
  return {x.real(), -x.imag()};
}
template <class T, std::enable_if_t<std::is_floating_point_v<T>, int> = 0>
constexpr T conjugate(T x) noexcept {
  return x;
}

/// The real part, as DBLE or REAL take it; a real itself.
template <class T>
constexpr T real_of(std::complex<T> x) noexcept {
  return x.real();
}
template <class T, std::enable_if_t<std::is_floating_point_v<T>, int> = 0>
constexpr T real_of(T x) noexcept {
  return x;
}

/// x / y: the quotient GCC emits under Fortran's rules, scaled by the ratio
/// of the divisor's parts so that it overflows only where the result does.
/// The divisor's larger part (by |re| < |im|, so a NaN takes the second way)
/// divides the smaller:
///   |re y| < |im y|:  t = re/im, d = re t + im, ((re x) t + im x) / d,
///                     ((im x) t - re x) / d
///   otherwise:        t = im/re, d = im t + re, ((im x) t + re x) / d,
///                     (im x - (re x) t) / d
template <class T>
std::complex<T> div(std::complex<T> x, std::complex<T> y) noexcept {
  ZELT_EXACT_ARITHMETIC
  const T a = x.real(), b = x.imag(), c = y.real(), d = y.imag();
  if (std::abs(c) < std::abs(d)) {
    const T t = c / d;
    const T den = mul(c, t) + d;
    return {(mul(a, t) + b) / den, (mul(b, t) - a) / den};
  }
  const T t = d / c;
  const T den = mul(d, t) + c;
  return {(mul(b, t) + a) / den, (b - mul(a, t)) / den};
}

/// A complex divided by a real: the real as r + 0i.
template <class T>
std::complex<T> div(std::complex<T> x, T r) noexcept {
  return div(x, std::complex<T>(r, 0));
}

/// |re x| + |im x| (scabs1, dcabs1): the magnitude the complex BLAS compares
/// and sums. For a real, |x|.
template <class T>
T abs1(std::complex<T> x) noexcept {
  ZELT_EXACT_ARITHMETIC
  return std::abs(x.real()) + std::abs(x.imag());
}
template <class T, std::enable_if_t<std::is_floating_point_v<T>, int> = 0>
T abs1(T x) noexcept {
  return std::abs(x);
}

}  // namespace zelt::detail

#endif  // ZELT_DETAIL_COMPLEX_HPP_
