#ifndef ZELT_BLAS1_HPP_
#define ZELT_BLAS1_HPP_

// Level 1 BLAS over every vector view (external_vec, strided_vec, mixed) of
// float, double, std::complex<float> or std::complex<double>. Each operation
// gives the bits of the reference BLAS 3.11.0 routine of the same name for
// the views' element type (sdot, ddot, cdotu or zdotu; saxpy, daxpy, caxpy
// or zaxpy, ...): the same IEEE operations in the same order, each rounded
// on its own in that type, complex products and quotients as the reference's
// compiler forms them (detail/complex.hpp), the reference's shortcuts
// included (axpy with alpha == 0 and scal with alpha == 1 touch nothing).
// Scalars take the element type, the real ones (rot's c and s, scal's real
// alpha) its real type. Element i of a view is element i counted from its
// first, whatever its stride or index base.
//
// dot, asum and nrm2 are one long chain of additions in the reference and
// so run at the latency of an addition per element; dot(x, y, lanes) is the
// fast alternative with its own fixed order.

#include <cmath>        // std::abs, std::sqrt, std::copysign, std::isfinite
#include <complex>      // std::complex
#include <cstddef>      // std::size_t
#include <limits>       // std::numeric_limits
#include <type_traits>  // std::is_same_v

#include "zelt/detail/blas_access.hpp"
#include "zelt/detail/contract.hpp"
#include "zelt/detail/exact.hpp"
#include "zelt/detail/simd.hpp"
#include "zelt/kernel_set.hpp"
#include "zelt/norms.hpp"

namespace zelt {

namespace detail {

template <class VectorX, class VectorY>
void expect_same_length(const char* operation, const VectorX& x, const VectorY& y) noexcept {
  ZELT_EXPECTS(x.size() == y.size(), "%s: x has %llu elements, y has %llu", operation, ull(x.size()),
               ull(y.size()));
  (void)operation;
  (void)x;
  (void)y;
}

template <class T, class X, class Y>
ZELT_EXACT_LOOP T dot_kernel(X x, Y y, std::size_t n) {
  ZELT_EXACT_ARITHMETIC
  T sum = 0;
  for (std::size_t i = 0; i < n; ++i) sum = sum + mul(x[i], y[i]);
  return sum;
}

template <class T, class X, class Y>
ZELT_EXACT_LOOP T dotc_kernel(X x, Y y, std::size_t n) {
  ZELT_EXACT_ARITHMETIC
  T sum = 0;
  for (std::size_t i = 0; i < n; ++i) sum = sum + mul(conjugate(x[i]), y[i]);
  return sum;
}

// Part k of a complex vector's 2n parts, each real part before its imaginary
// part: the order in which the complex two-norm reads them.
template <class E>
struct complex_parts {
  E e;
  auto operator[](std::size_t k) const noexcept { return k % 2 == 0 ? e[k / 2].real() : e[k / 2].imag(); }
};

// dsdot and sdsdot: each single-precision element widened, the products and
// their sum in double precision, left to right from `sum`. A product of two
// widened floats is exact.
template <class X, class Y>
ZELT_EXACT_LOOP double dsdot_kernel(double sum, X x, Y y, std::size_t n) {
  ZELT_EXACT_ARITHMETIC
  for (std::size_t i = 0; i < n; ++i) sum = sum + mul(static_cast<double>(x[i]), static_cast<double>(y[i]));
  return sum;
}

template <class T, class X, class Y>
struct products {
  X x;
  Y y;
  T operator[](std::size_t i) const noexcept { return mul(x[i], y[i]); }
};

struct plus {
  template <class T>
  T operator()(T acc, T p) const noexcept {
    ZELT_EXACT_ARITHMETIC
    return acc + p;
  }
};

template <class VectorX>
void expect_float_elements() noexcept {
  static_assert(std::is_same_v<element_t<VectorX>, float>, "zelt: dsdot and sdsdot take vectors of float");
}

// The constants of the reference's two-norm and rotations, derived from the
// type's radix-2 parameters as the reference derives them.
template <class T>
struct blas_constants {
  using limits = std::numeric_limits<T>;
  static constexpr int floor_half(int k) noexcept { return k >= 0 ? k / 2 : -((1 - k) / 2); }
  static constexpr int ceil_half(int k) noexcept { return -floor_half(-k); }
  static constexpr T pow2(int e) noexcept {
    T x = 1;
    for (; e > 0; --e) x = x * 2;
    for (; e < 0; ++e) x = x / 2;
    return x;
  }
  // Blue's thresholds and scale factors of the two-norm.
  static constexpr T tsml = pow2(ceil_half(limits::min_exponent - 1));
  static constexpr T tbig = pow2(floor_half(limits::max_exponent - limits::digits + 1));
  static constexpr T ssml = pow2(-floor_half(limits::min_exponent - limits::digits));
  static constexpr T sbig = pow2(-ceil_half(limits::max_exponent + limits::digits - 1));
  // The range of rotg's scaling.
  static constexpr T safmin = pow2(limits::min_exponent - 1);
  static constexpr T safmax = pow2(limits::max_exponent - 1);
};

// rotmg's rescaling window [rgamsq, gamsq] and factor gam: decimal constants
// in the reference, rounded to each type. In single precision gamsq is
// 16777200, not gam * gam, the factor d1 and d2 are scaled by.
template <class T>
struct rotmg_window;
template <>
struct rotmg_window<double> {
  static constexpr double gam = 4096.0, gamsq = 16777216.0, rgamsq = 5.9604645e-8;
};
template <>
struct rotmg_window<float> {
  static constexpr float gam = 4096.0f, gamsq = 1.67772e7f, rgamsq = 5.96046e-8f;
};

}  // namespace detail

}  // namespace zelt

#define ZELT_KERNELS_FILE "zelt/detail/kernels/blas1.hpp"
#include "zelt/detail/for_each_kernel_set.hpp"

namespace zelt {

/// x . y: the products x[i] * y[i] added left to right from 0 (sdot, ddot,
/// cdotu, zdotu: complex vectors are not conjugated; dotc conjugates x).
template <class VectorX, class VectorY>
detail::element_t<VectorX> dot(const VectorX& x, const VectorY& y) {
  detail::expect_one_scalar_type<VectorX, VectorY>();
  detail::expect_same_length("dot", x, y);
  return detail::dot_kernel<detail::element_t<VectorX>>(detail::read_access(x), detail::read_access(y),
                                                        static_cast<std::size_t>(x.size()));
}

/// conj(x) . y: the products conj(x[i]) * y[i] added left to right from 0
/// (cdotc, zdotc; over real vectors the same as dot).
template <class VectorX, class VectorY>
detail::element_t<VectorX> dotc(const VectorX& x, const VectorY& y) {
  detail::expect_one_scalar_type<VectorX, VectorY>();
  detail::expect_same_length("dotc", x, y);
  return detail::dotc_kernel<detail::element_t<VectorX>>(detail::read_access(x), detail::read_access(y),
                                                         static_cast<std::size_t>(x.size()));
}

/// x . y of two single-precision vectors in double precision: every
/// element widened, the products added left to right from 0.0 (dsdot).
template <class VectorX, class VectorY>
double dsdot(const VectorX& x, const VectorY& y) {
  detail::expect_one_element_type<VectorX, VectorY>();
  detail::expect_float_elements<VectorX>();
  detail::expect_same_length("dsdot", x, y);
  return detail::dsdot_kernel(0.0, detail::read_access(x), detail::read_access(y),
                              static_cast<std::size_t>(x.size()));
}

/// sb + x . y of two single-precision vectors, accumulated in double
/// precision from sb as dsdot does, rounded to float at the end (sdsdot).
template <class VectorX, class VectorY>
float sdsdot(float sb, const VectorX& x, const VectorY& y) {
  detail::expect_one_element_type<VectorX, VectorY>();
  detail::expect_float_elements<VectorX>();
  detail::expect_same_length("sdsdot", x, y);
  return static_cast<float>(detail::dsdot_kernel(sb, detail::read_access(x), detail::read_access(y),
                                                 static_cast<std::size_t>(x.size())));
}

/// x . y in the fixed lane order of one_norm(v, lanes): 16 lanes of products
/// each added in index order, combined pairwise, then the tail. Vectorised;
/// the same bits everywhere, not those of dot(x, y).
template <class VectorX, class VectorY>
detail::element_t<VectorX> dot(const VectorX& x, const VectorY& y, lanes_t) {
  detail::expect_one_element_type<VectorX, VectorY>();
  detail::expect_same_length("dot", x, y);
  using T = detail::element_t<VectorX>;
  using elements = detail::products<T, decltype(detail::read_access(x)), decltype(detail::read_access(y))>;
  return detail::lane_fold<T>(elements{detail::read_access(x), detail::read_access(y)},
                              static_cast<std::size_t>(x.size()), detail::plus());
}

/// y = y + alpha * x, element by element (saxpy, daxpy, caxpy, zaxpy);
/// nothing when alpha == 0 (for a complex alpha: |re| + |im| == 0).
template <class VectorX, class VectorY>
void axpy(detail::element_t<VectorX> alpha, const VectorX& x, const VectorY& y) {
  detail::expect_one_scalar_type<VectorX, VectorY>();
  detail::expect_same_length("axpy", x, y);
  if (x.size() == 0 || detail::abs1(alpha) == 0) return;
  ZELT_KERNEL_CALL(
      axpy_kernel(alpha, detail::read_access(x), detail::access(y), static_cast<std::size_t>(x.size())));
}

/// x = alpha * x (sscal, dscal, cscal, zscal); nothing when alpha == 1.
/// alpha == 0 multiplies too, so a NaN or infinite element becomes NaN.
template <class VectorX>
void scal(detail::element_t<VectorX> alpha, const VectorX& x) {
  detail::expect_one_scalar_type<VectorX>();
  if (alpha == detail::element_t<VectorX>(1)) return;
  ZELT_KERNEL_CALL(scal_kernel(alpha, detail::access(x), static_cast<std::size_t>(x.size())));
}

/// x = alpha * x for a real alpha and a complex x, both parts of each
/// element multiplied by alpha (csscal, zdscal); nothing when alpha == 1. A
/// real scalar given to scal over a complex view takes this form, whose
/// zeros and NaNs differ from those of the complex product (alpha + 0i) x.
template <class VectorX, std::enable_if_t<detail::is_complex_v<detail::element_t<VectorX>>, int> = 0>
void scal(detail::real_t<detail::element_t<VectorX>> alpha, const VectorX& x) {
  detail::expect_one_scalar_type<VectorX>();
  if (alpha == 1) return;
  const auto e = detail::access(x);
  for (std::size_t i = 0; i < static_cast<std::size_t>(x.size()); ++i)
    e[i] = detail::scale_parts(alpha, e[i]);
}

/// y = x (scopy, dcopy).
template <class VectorX, class VectorY>
void copy(const VectorX& x, const VectorY& y) {
  detail::expect_one_scalar_type<VectorX, VectorY>();
  detail::expect_same_length("copy", x, y);
  ZELT_KERNEL_CALL(
      copy_kernel(detail::read_access(x), detail::access(y), static_cast<std::size_t>(x.size())));
}

/// Exchanges the elements of x and y (sswap, dswap). Not named swap: generic
/// code that swaps two view objects must not exchange their elements instead.
template <class VectorX, class VectorY>
void swap_elements(const VectorX& x, const VectorY& y) {
  detail::expect_one_scalar_type<VectorX, VectorY>();
  detail::expect_same_length("swap_elements", x, y);
  ZELT_KERNEL_CALL(swap_kernel(detail::access(x), detail::access(y), static_cast<std::size_t>(x.size())));
}

/// The 0-based index of the first element of largest magnitude (isamax,
/// idamax, icamax or izamax minus one), the magnitude of a complex element
/// being |re| + |im|: later elements win only when strictly larger, and a NaN
/// never wins over an earlier element. An empty vector gives the size type's
/// maximum.
template <class VectorX>
auto iamax(const VectorX& x) {
  detail::expect_one_scalar_type<VectorX>();
  using size_type = typename VectorX::size_type;
  const auto n = static_cast<std::size_t>(x.size());
  if (n == 0) return std::numeric_limits<size_type>::max();
  const auto e = detail::read_access(x);
  std::size_t best = 0;
  auto largest = detail::abs1(e[0]);
  for (std::size_t i = 1; i < n; ++i) {
    const auto a = detail::abs1(e[i]);
    if (a > largest) {
      best = i;
      largest = a;
    }
  }
  return static_cast<size_type>(best);
}

namespace detail {

template <class T, class E>
ZELT_EXACT_LOOP T asum_kernel(E e, std::size_t n) {
  ZELT_EXACT_ARITHMETIC
  T sum = 0;
  for (std::size_t i = 0; i < n; ++i) sum = sum + abs1(e[i]);
  return sum;
}

}  // namespace detail

/// |x[0]| + |x[1]| + ... left to right from 0, in the element type (sasum,
/// dasum); over doubles, one_norm's bits. Over complex vectors the sum of
/// |re| + |im| in the real type, as the reference's two routines add them:
/// dzasum adds each element's |re| + |im|, scasum |re| and then |im|.
template <class VectorX>
detail::real_t<detail::element_t<VectorX>> asum(const VectorX& x) {
  detail::expect_one_scalar_type<VectorX>();
  using T = detail::element_t<VectorX>;
  const auto n = static_cast<std::size_t>(x.size());
  if constexpr (std::is_same_v<T, std::complex<float>>) {
    return detail::asum_kernel<float>(
        detail::complex_parts<decltype(detail::read_access(x))>{detail::read_access(x)}, 2 * n);
  } else {
    return detail::asum_kernel<detail::real_t<T>>(detail::read_access(x), n);
  }
}

namespace detail {

// The reference's three-accumulator two-norm of e[0], ..., e[n - 1] (snrm2,
// dnrm2, and scnrm2, dznrm2 over the real and imaginary parts in turn).
template <class T, class E>
T nrm2_kernel(E e, std::size_t n) {
  ZELT_EXACT_ARITHMETIC
  using k = blas_constants<T>;
  constexpr T tsml = k::tsml, tbig = k::tbig, ssml = k::ssml, sbig = k::sbig;
  constexpr T max_finite = std::numeric_limits<T>::max(), zero = 0, one = 1;
  if (n == 0) return zero;
  bool notbig = true;
  T asml = zero, amed = zero, abig = zero;
  for (std::size_t i = 0; i < n; ++i) {
    const T ax = std::abs(e[i]);
    if (ax > tbig) {
      const T t = ax * sbig;
      abig = abig + mul(t, t);
      notbig = false;
    } else if (ax < tsml) {
      if (notbig) {
        const T t = ax * ssml;
        asml = asml + mul(t, t);
      }
    } else {
      amed = amed + mul(ax, ax);
    }
  }
  const bool amed_counts = amed > zero || amed > max_finite || amed != amed;
  T scl, sumsq;
  if (abig > zero) {
    if (amed_counts) abig = abig + mul(amed * sbig, sbig);
    scl = one / sbig;
    sumsq = abig;
  } else if (asml > zero) {
    if (amed_counts) {
      amed = std::sqrt(amed);
      asml = std::sqrt(asml) / ssml;
      const T ymin = asml > amed ? amed : asml;
      const T ymax = asml > amed ? asml : amed;
      const T q = ymin / ymax;
      scl = one;
      sumsq = mul(ymax, ymax) * (one + mul(q, q));
    } else {
      scl = one / ssml;
      sumsq = asml;
    }
  } else {
    scl = one;
    sumsq = amed;
  }
  return scl * std::sqrt(sumsq);
}

}  // namespace detail

/// The two-norm by the reference's three accumulators (snrm2, dnrm2, scnrm2,
/// dznrm2, LAPACK 3.10 and later): squares of small, medium and big
/// magnitudes are summed apart, scaled by powers of two so that none
/// overflows or underflows, and combined at the end. A complex vector is
/// taken as its 2n parts, each real part before its imaginary part.
template <class VectorX>
detail::real_t<detail::element_t<VectorX>> nrm2(const VectorX& x) {
  detail::expect_one_scalar_type<VectorX>();
  using T = detail::element_t<VectorX>;
  const auto n = static_cast<std::size_t>(x.size());
  if constexpr (detail::is_complex_v<T>) {
    return detail::nrm2_kernel<detail::real_t<T>>(
        detail::complex_parts<decltype(detail::read_access(x))>{detail::read_access(x)}, 2 * n);
  } else {
    return detail::nrm2_kernel<T>(detail::read_access(x), n);
  }
}

/// Applies the plane rotation (c, s) to the pairs (x[i], y[i]) (srot, drot,
/// and csrot, zdrot over complex vectors with a real c and s): x[i] = c x[i]
/// + s y[i], y[i] = c y[i] - s x[i], both from the values on entry.
template <class VectorX, class VectorY>
void rot(const VectorX& x, const VectorY& y, detail::real_t<detail::element_t<VectorX>> c,
         detail::real_t<detail::element_t<VectorX>> s) {
  detail::expect_one_scalar_type<VectorX, VectorY>();
  detail::expect_same_length("rot", x, y);
  ZELT_KERNEL_CALL(
      rot_kernel(detail::access(x), detail::access(y), static_cast<std::size_t>(x.size()), c, s));
}

/// Constructs the rotation that turns (a, b) into (r, 0) the reference's safe
/// way (srotg, drotg, LAPACK 3.10 and later): on return a is r, b is z (from
/// which c and s can be rebuilt), and c and s are set.
template <class T>
void rotg(T& a, T& b, T& c, T& s) {
  ZELT_EXACT_ARITHMETIC
  static_assert(std::is_same_v<T, float> || std::is_same_v<T, double>, "zelt: rotg takes float or double");
  using detail::mul;
  constexpr T safmin = detail::blas_constants<T>::safmin, safmax = detail::blas_constants<T>::safmax;
  constexpr T zero = 0, one = 1;
  const T anorm = std::abs(a), bnorm = std::abs(b);
  if (bnorm == zero) {
    c = one;
    s = zero;
    b = zero;
  } else if (anorm == zero) {
    c = zero;
    s = one;
    a = b;
    b = one;
  } else {
    // min(safmax, max(safmin, anorm, bnorm)), a NaN argument being passed over
    T largest = safmin;
    if (anorm > largest) largest = anorm;
    if (bnorm > largest) largest = bnorm;
    const T scl = largest < safmax ? largest : safmax;
    const T sigma = anorm > bnorm ? std::copysign(one, a) : std::copysign(one, b);
    const T qa = a / scl, qb = b / scl;
    const T r = sigma * (scl * std::sqrt(mul(qa, qa) + mul(qb, qb)));
    c = a / r;
    s = b / r;
    T z;
    if (anorm > bnorm) {
      z = s;
    } else if (c != zero) {
      z = one / c;
    } else {
      z = one;
    }
    a = r;
    b = z;
  }
}

namespace detail {

// Fortran's MAX and MIN of two reals as the reference's compiler emits them:
// when either is a NaN, the first.
template <class T>
T fortran_max(T x, T y) noexcept {
  return y > x ? y : x;
}
template <class T>
T fortran_min(T x, T y) noexcept {
  return y < x ? y : x;
}

/// |re z|^2 + |im z|^2, each square rounded on its own.
template <class T>
T abs_squared(std::complex<T> z) noexcept {
  ZELT_EXACT_ARITHMETIC
  return mul(z.real(), z.real()) + mul(z.imag(), z.imag());
}

}  // namespace detail

/// Constructs the complex rotation that turns (a, b) into (r, 0) the
/// reference's safe way (crotg, zrotg, LAPACK 3.10 and later): a real cosine
/// c and a complex sine s with c a + s b = r and c b - conj(s) a = 0. On return
/// a is r; b is unchanged.
template <class T>
void rotg(std::complex<T>& a, std::complex<T> b, T& c, std::complex<T>& s) {
  ZELT_EXACT_ARITHMETIC
  static_assert(std::is_same_v<T, float> || std::is_same_v<T, double>,
                "zelt: rotg takes std::complex<float> or std::complex<double>");
  using detail::abs_squared;
  using detail::conjugate;
  using detail::div;
  using detail::fortran_max;
  using detail::fortran_min;
  using detail::mul;
  using complex = std::complex<T>;
  constexpr T safmin = detail::blas_constants<T>::safmin, safmax = detail::blas_constants<T>::safmax;
  constexpr T zero = 0, one = 1;
  const T rtmin = std::sqrt(safmin);
  const complex f = a, g = b;
  const auto is_zero = [](complex z) { return z.real() == zero && z.imag() == zero; };
  complex r;
  if (is_zero(g)) {
    c = one;
    s = complex(zero, zero);
    r = f;
  } else if (is_zero(f)) {
    c = zero;
    if (g.real() == zero) {
      r = std::abs(g.imag());
      s = div(conjugate(g), r.real());
    } else if (g.imag() == zero) {
      r = std::abs(g.real());
      s = div(conjugate(g), r.real());
    } else {
      const T g1 = fortran_max(std::abs(g.real()), std::abs(g.imag()));
      const T rtmax = std::sqrt(safmax / 2);
      if (g1 > rtmin && g1 < rtmax) {
        const T d = std::sqrt(abs_squared(g));
        s = div(conjugate(g), d);
        r = d;
      } else {
        const T u = fortran_min(safmax, fortran_max(safmin, g1));
        const complex gs = div(g, u);
        const T d = std::sqrt(abs_squared(gs));
        s = div(conjugate(gs), d);
        r = d * u;
      }
    }
  } else {
    const T f1 = fortran_max(std::abs(f.real()), std::abs(f.imag()));
    const T g1 = fortran_max(std::abs(g.real()), std::abs(g.imag()));
    T rtmax = std::sqrt(safmax / 4);
    // The rotation of f scaled by 1/u and g by 1/u, then w = v/u for f's own
    // scale v: unscaled when both lie safely inside the range.
    const bool unscaled = f1 > rtmin && f1 < rtmax && g1 > rtmin && g1 < rtmax;
    const T u = unscaled ? one : fortran_min(safmax, fortran_max(fortran_max(safmin, f1), g1));
    const complex gs = unscaled ? g : div(g, u);
    const T g2 = abs_squared(gs);
    complex fs;
    T f2, h2, w = one;
    if (unscaled) {
      fs = f;
      f2 = abs_squared(fs);
      h2 = f2 + g2;
    } else if (f1 / u < rtmin) {
      const T v = fortran_min(safmax, fortran_max(safmin, f1));
      w = v / u;
      fs = div(f, v);
      f2 = abs_squared(fs);
      h2 = mul(f2, mul(w, w)) + g2;
    } else {
      fs = div(f, u);
      f2 = abs_squared(fs);
      h2 = f2 + g2;
    }
    if (f2 >= h2 * safmin) {
      c = std::sqrt(f2 / h2);
      r = div(fs, c);
      rtmax = rtmax * 2;
      if (f2 > rtmin && h2 < rtmax) {
        s = mul(conjugate(gs), div(fs, std::sqrt(f2 * h2)));
      } else {
        s = mul(conjugate(gs), div(r, h2));
      }
    } else {
      const T d = std::sqrt(f2 * h2);
      c = f2 / d;
      if (c >= safmin) {
        r = div(fs, c);
      } else {
        r = mul(fs, h2 / d);
      }
      s = mul(conjugate(gs), div(fs, d));
    }
    if (!unscaled) {
      c = c * w;
      r = mul(r, u);
    }
  }
  a = r;
}

/// Applies the modified rotation `param` (flag, h11, h21, h12, h22, as rotmg
/// returns it) to the pairs (x[i], y[i]) (srotm, drotm); flag -2 is the
/// identity.
template <class VectorX, class VectorY>
void rotm(const VectorX& x, const VectorY& y, const detail::element_t<VectorX>* param) {
  detail::expect_one_element_type<VectorX, VectorY>();
  detail::expect_same_length("rotm", x, y);
  if (x.size() == 0 || param[0] + 2 == 0) return;
  ZELT_KERNEL_CALL(
      rotm_kernel(detail::access(x), detail::access(y), static_cast<std::size_t>(x.size()), param));
}

/// Constructs the modified rotation that zeroes the second component of
/// (sqrt(d1) x1, sqrt(d2) y1) (srotmg, drotmg): updates d1, d2 and x1, and
/// writes the flag and H into param[0..4] as rotm reads them.
template <class T>
void rotmg(T& d1, T& d2, T& x1, T y1, T* param) {
  ZELT_EXACT_ARITHMETIC
  static_assert(std::is_same_v<T, float> || std::is_same_v<T, double>, "zelt: rotmg takes float or double");
  using detail::mul;
  using window = detail::rotmg_window<T>;
  constexpr T gam = window::gam, gamsq = window::gamsq, rgamsq = window::rgamsq, scale = gam * gam;
  constexpr T zero = 0, one = 1, two = 2;
  T flag = zero, h11 = zero, h12 = zero, h21 = zero, h22 = zero;
  const auto zero_all = [&] {
    flag = -one;
    h11 = h12 = h21 = h22 = zero;
    d1 = d2 = x1 = zero;
  };
  if (d1 < zero) {
    zero_all();
  } else {
    const T p2 = d2 * y1;
    if (p2 == zero) {
      param[0] = -two;
      return;
    }
    const T p1 = d1 * x1;
    const T q2 = p2 * y1;
    const T q1 = p1 * x1;
    if (std::abs(q1) > std::abs(q2)) {
      h21 = -y1 / x1;
      h12 = p2 / p1;
      const T u = one - mul(h12, h21);
      if (u > zero) {
        flag = zero;
        d1 = d1 / u;
        d2 = d2 / u;
        x1 = x1 * u;
      } else {
        zero_all();
      }
    } else if (q2 < zero) {
      zero_all();
    } else {
      flag = one;
      h11 = p1 / p2;
      h22 = x1 / y1;
      const T u = one + mul(h11, h22);
      const T t = d2 / u;
      d2 = d1 / u;
      d1 = t;
      x1 = y1 * u;
    }
    // Rescale d1 and d2 into the window (rgamsq, gamsq) by gam * gam, folding the
    // scale into H, which then has to be stored in full. An infinite d1 or
    // d2 cannot be brought into range: the reference loops forever on it,
    // here it is left as it is.
    const auto make_full = [&] {
      if (flag == zero) {
        h11 = one;
        h22 = one;
      } else {
        h21 = -one;
        h12 = one;
      }
      flag = -one;
    };
    if (d1 != zero) {
      while ((d1 <= rgamsq || d1 >= gamsq) && std::isfinite(d1)) {
        make_full();
        if (d1 <= rgamsq) {
          d1 = d1 * scale;
          x1 = x1 / gam;
          h11 = h11 / gam;
          h12 = h12 / gam;
        } else {
          d1 = d1 / scale;
          x1 = x1 * gam;
          h11 = h11 * gam;
          h12 = h12 * gam;
        }
      }
    }
    if (d2 != zero) {
      while ((std::abs(d2) <= rgamsq || std::abs(d2) >= gamsq) && std::isfinite(d2)) {
        make_full();
        if (std::abs(d2) <= rgamsq) {
          d2 = d2 * scale;
          h21 = h21 / gam;
          h22 = h22 / gam;
        } else {
          d2 = d2 / scale;
          h21 = h21 * gam;
          h22 = h22 * gam;
        }
      }
    }
  }
  if (flag < zero) {
    param[1] = h11;
    param[2] = h21;
    param[3] = h12;
    param[4] = h22;
  } else if (flag == zero) {
    param[2] = h21;
    param[3] = h12;
  } else {
    param[1] = h11;
    param[4] = h22;
  }
  param[0] = flag;
}

}  // namespace zelt

#endif  // ZELT_BLAS1_HPP_
