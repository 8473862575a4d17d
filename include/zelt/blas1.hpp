#ifndef ZELT_BLAS1_HPP_
#define ZELT_BLAS1_HPP_

// Level 1 BLAS over every vector view (external_vec, strided_vec, mixed).
// Each operation gives the bits of the reference BLAS 3.11.0 routine of the
// same name (ddot, daxpy, ...): the same IEEE operations in the same order,
// each rounded on its own, the reference's shortcuts included (axpy with
// alpha == 0 and scal with alpha == 1 touch nothing). Element i of a view is
// element i counted from its first, whatever its stride or index base.
//
// dot, asum and nrm2 are one long chain of additions in the reference and
// so run at the latency of an addition per element; dot(x, y, lanes) is the
// fast alternative with its own fixed order.

#include <cmath>    // std::abs, std::sqrt, std::copysign, std::isfinite
#include <cstddef>  // std::size_t
#include <limits>   // std::numeric_limits

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

template <class X, class Y>
ZELT_EXACT_LOOP double dot_kernel(X x, Y y, std::size_t n) {
  ZELT_EXACT_ARITHMETIC
  double sum = 0.0;
  for (std::size_t i = 0; i < n; ++i) sum = sum + mul(x[i], y[i]);
  return sum;
}

// dsdot: each single-precision element widened, the products and their sum
// in double precision, left to right from 0.0. A product of two widened
// floats is exact.
template <class X, class Y>
ZELT_EXACT_LOOP double dsdot_kernel(X x, Y y, std::size_t n) {
  ZELT_EXACT_ARITHMETIC
  double sum = 0.0;
  for (std::size_t i = 0; i < n; ++i) sum = sum + mul(static_cast<double>(x[i]), static_cast<double>(y[i]));
  return sum;
}

template <class X, class Y>
struct products {
  X x;
  Y y;
  double operator[](std::size_t i) const noexcept { return mul(x[i], y[i]); }
};

struct plus {
  double operator()(double acc, double p) const noexcept {
    ZELT_EXACT_ARITHMETIC
    return acc + p;
  }
};

}  // namespace detail

}  // namespace zelt

#define ZELT_KERNELS_FILE "zelt/detail/kernels/blas1.hpp"
#include "zelt/detail/for_each_kernel_set.hpp"

namespace zelt {

/// x . y: the products x[i] * y[i] added left to right from 0.0 (ddot).
template <class VectorX, class VectorY>
double dot(const VectorX& x, const VectorY& y) {
  detail::expect_same_length("dot", x, y);
  return detail::dot_kernel(detail::read_access(x), detail::read_access(y),
                            static_cast<std::size_t>(x.size()));
}

/// x . y of two single-precision vectors in double precision: every
/// element widened, the products added left to right from 0.0 (dsdot).
template <class VectorX, class VectorY>
double dsdot(const VectorX& x, const VectorY& y) {
  detail::expect_same_length("dsdot", x, y);
  return detail::dsdot_kernel(detail::read_access(x), detail::read_access(y),
                              static_cast<std::size_t>(x.size()));
}

/// x . y in the fixed lane order of one_norm(v, lanes): 16 lanes of products
/// each added in index order, combined pairwise, then the tail. Vectorised;
/// the same bits everywhere, not those of dot(x, y).
template <class VectorX, class VectorY>
double dot(const VectorX& x, const VectorY& y, lanes_t) {
  detail::expect_same_length("dot", x, y);
  using elements = detail::products<decltype(detail::read_access(x)), decltype(detail::read_access(y))>;
  return detail::lane_fold<double>(elements{detail::read_access(x), detail::read_access(y)},
                                   static_cast<std::size_t>(x.size()), detail::plus());
}

/// y = y + alpha * x, element by element (daxpy); nothing when alpha == 0.
template <class VectorX, class VectorY>
void axpy(double alpha, const VectorX& x, const VectorY& y) {
  detail::expect_same_length("axpy", x, y);
  if (x.size() == 0 || alpha == 0.0) return;
  ZELT_KERNEL_CALL(
      axpy_kernel(alpha, detail::read_access(x), detail::access(y), static_cast<std::size_t>(x.size())));
}

/// x = alpha * x (dscal); nothing when alpha == 1. alpha == 0 multiplies too,
/// so a NaN or infinite element becomes NaN.
template <class VectorX>
void scal(double alpha, const VectorX& x) {
  if (alpha == 1.0) return;
  ZELT_KERNEL_CALL(scal_kernel(alpha, detail::access(x), static_cast<std::size_t>(x.size())));
}

/// y = x (dcopy).
template <class VectorX, class VectorY>
void copy(const VectorX& x, const VectorY& y) {
  detail::expect_same_length("copy", x, y);
  ZELT_KERNEL_CALL(
      copy_kernel(detail::read_access(x), detail::access(y), static_cast<std::size_t>(x.size())));
}

/// Exchanges the elements of x and y (dswap). Not named swap: generic code
/// that swaps two view objects must not exchange their elements instead.
template <class VectorX, class VectorY>
void swap_elements(const VectorX& x, const VectorY& y) {
  detail::expect_same_length("swap_elements", x, y);
  ZELT_KERNEL_CALL(swap_kernel(detail::access(x), detail::access(y), static_cast<std::size_t>(x.size())));
}

/// The 0-based index of the first element of largest magnitude (idamax minus
/// one): later elements win only when strictly larger, and a NaN never wins
/// over an earlier element. An empty vector gives the size type's maximum.
template <class VectorX>
auto iamax(const VectorX& x) {
  using size_type = typename VectorX::size_type;
  const auto n = static_cast<std::size_t>(x.size());
  if (n == 0) return std::numeric_limits<size_type>::max();
  const auto e = detail::read_access(x);
  std::size_t best = 0;
  double largest = std::abs(e[0]);
  for (std::size_t i = 1; i < n; ++i) {
    const double a = std::abs(e[i]);
    if (a > largest) {
      best = i;
      largest = a;
    }
  }
  return static_cast<size_type>(best);
}

/// |x[0]| + |x[1]| + ... left to right from 0.0 (dasum): one_norm's bits.
template <class VectorX>
double asum(const VectorX& x) {
  return one_norm(x);
}

namespace detail {

// The reference's three-accumulator two-norm of e[0], ..., e[n - 1] (dnrm2,
// and dznrm2 over the real and imaginary parts in turn).
template <class E>
double nrm2_kernel(E e, std::size_t n) {
  ZELT_EXACT_ARITHMETIC
  // Blue's thresholds and scale factors for IEEE double.
  constexpr double tsml = 0x1p-511, tbig = 0x1p+486, ssml = 0x1p+537, sbig = 0x1p-538;
  constexpr double max_finite = std::numeric_limits<double>::max();
  if (n == 0) return 0.0;
  bool notbig = true;
  double asml = 0.0, amed = 0.0, abig = 0.0;
  for (std::size_t i = 0; i < n; ++i) {
    const double ax = std::abs(e[i]);
    if (ax > tbig) {
      const double t = ax * sbig;
      abig = abig + mul(t, t);
      notbig = false;
    } else if (ax < tsml) {
      if (notbig) {
        const double t = ax * ssml;
        asml = asml + mul(t, t);
      }
    } else {
      amed = amed + mul(ax, ax);
    }
  }
  const bool amed_counts = amed > 0.0 || amed > max_finite || amed != amed;
  double scl = 1.0, sumsq = 0.0;
  if (abig > 0.0) {
    if (amed_counts) abig = abig + mul(amed * sbig, sbig);
    scl = 1.0 / sbig;
    sumsq = abig;
  } else if (asml > 0.0) {
    if (amed_counts) {
      amed = std::sqrt(amed);
      asml = std::sqrt(asml) / ssml;
      const double ymin = asml > amed ? amed : asml;
      const double ymax = asml > amed ? asml : amed;
      const double q = ymin / ymax;
      scl = 1.0;
      sumsq = mul(ymax, ymax) * (1.0 + mul(q, q));
    } else {
      scl = 1.0 / ssml;
      sumsq = asml;
    }
  } else {
    scl = 1.0;
    sumsq = amed;
  }
  return scl * std::sqrt(sumsq);
}

}  // namespace detail

/// The two-norm by the reference's three accumulators (dnrm2, LAPACK 3.10 and
/// later): squares of small, medium and big magnitudes are summed apart,
/// scaled by powers of two so that none overflows or underflows, and combined
/// at the end.
template <class VectorX>
double nrm2(const VectorX& x) {
  return detail::nrm2_kernel(detail::read_access(x), static_cast<std::size_t>(x.size()));
}

/// Applies the plane rotation (c, s) to the pairs (x[i], y[i]) (drot):
/// x[i] = c x[i] + s y[i], y[i] = c y[i] - s x[i], both from the values on entry.
template <class VectorX, class VectorY>
void rot(const VectorX& x, const VectorY& y, double c, double s) {
  detail::expect_same_length("rot", x, y);
  ZELT_KERNEL_CALL(
      rot_kernel(detail::access(x), detail::access(y), static_cast<std::size_t>(x.size()), c, s));
}

/// Constructs the rotation that turns (a, b) into (r, 0) the reference's safe
/// way (drotg, LAPACK 3.10 and later): on return a is r, b is z (from which c
/// and s can be rebuilt), and c and s are set.
inline void rotg(double& a, double& b, double& c, double& s) {
  ZELT_EXACT_ARITHMETIC
  using detail::mul;
  constexpr double safmin = 0x1p-1022, safmax = 0x1p+1023;
  const double anorm = std::abs(a), bnorm = std::abs(b);
  if (bnorm == 0.0) {
    c = 1.0;
    s = 0.0;
    b = 0.0;
  } else if (anorm == 0.0) {
    c = 0.0;
    s = 1.0;
    a = b;
    b = 1.0;
  } else {
    // min(safmax, max(safmin, anorm, bnorm)), a NaN argument being passed over
    double largest = safmin;
    if (anorm > largest) largest = anorm;
    if (bnorm > largest) largest = bnorm;
    const double scl = largest < safmax ? largest : safmax;
    const double sigma = anorm > bnorm ? std::copysign(1.0, a) : std::copysign(1.0, b);
    const double qa = a / scl, qb = b / scl;
    const double r = sigma * (scl * std::sqrt(mul(qa, qa) + mul(qb, qb)));
    c = a / r;
    s = b / r;
    double z;
    if (anorm > bnorm) {
      z = s;
    } else if (c != 0.0) {
      z = 1.0 / c;
    } else {
      z = 1.0;
    }
    a = r;
    b = z;
  }
}

/// Applies the modified rotation `param` (flag, h11, h21, h12, h22, as drotmg
/// returns it) to the pairs (x[i], y[i]) (drotm); flag -2 is the identity.
template <class VectorX, class VectorY>
void rotm(const VectorX& x, const VectorY& y, const double* param) {
  detail::expect_same_length("rotm", x, y);
  if (x.size() == 0 || param[0] + 2.0 == 0.0) return;
  ZELT_KERNEL_CALL(
      rotm_kernel(detail::access(x), detail::access(y), static_cast<std::size_t>(x.size()), param));
}

/// Constructs the modified rotation that zeroes the second component of
/// (sqrt(d1) x1, sqrt(d2) y1) (drotmg): updates d1, d2 and x1, and writes the
/// flag and H into param[0..4] as drotm reads them.
inline void rotmg(double& d1, double& d2, double& x1, double y1, double* param) {
  ZELT_EXACT_ARITHMETIC
  using detail::mul;
  constexpr double gam = 4096.0, gamsq = 16777216.0, rgamsq = 5.9604645e-8;
  double flag = 0.0, h11 = 0.0, h12 = 0.0, h21 = 0.0, h22 = 0.0;
  const auto zero_all = [&] {
    flag = -1.0;
    h11 = h12 = h21 = h22 = 0.0;
    d1 = d2 = x1 = 0.0;
  };
  if (d1 < 0.0) {
    zero_all();
  } else {
    const double p2 = d2 * y1;
    if (p2 == 0.0) {
      param[0] = -2.0;
      return;
    }
    const double p1 = d1 * x1;
    const double q2 = p2 * y1;
    const double q1 = p1 * x1;
    if (std::abs(q1) > std::abs(q2)) {
      h21 = -y1 / x1;
      h12 = p2 / p1;
      const double u = 1.0 - mul(h12, h21);
      if (u > 0.0) {
        flag = 0.0;
        d1 = d1 / u;
        d2 = d2 / u;
        x1 = x1 * u;
      } else {
        zero_all();
      }
    } else if (q2 < 0.0) {
      zero_all();
    } else {
      flag = 1.0;
      h11 = p1 / p2;
      h22 = x1 / y1;
      const double u = 1.0 + mul(h11, h22);
      const double t = d2 / u;
      d2 = d1 / u;
      d1 = t;
      x1 = y1 * u;
    }
    // Rescale d1 and d2 into [2^-24, 2^24) by powers of gam, folding the
    // scale into H, which then has to be stored in full. An infinite d1 or
    // d2 cannot be brought into range: the reference loops forever on it,
    // here it is left as it is.
    const auto make_full = [&] {
      if (flag == 0.0) {
        h11 = 1.0;
        h22 = 1.0;
      } else {
        h21 = -1.0;
        h12 = 1.0;
      }
      flag = -1.0;
    };
    if (d1 != 0.0) {
      while ((d1 <= rgamsq || d1 >= gamsq) && std::isfinite(d1)) {
        make_full();
        if (d1 <= rgamsq) {
          d1 = d1 * gamsq;
          x1 = x1 / gam;
          h11 = h11 / gam;
          h12 = h12 / gam;
        } else {
          d1 = d1 / gamsq;
          x1 = x1 * gam;
          h11 = h11 * gam;
          h12 = h12 * gam;
        }
      }
    }
    if (d2 != 0.0) {
      while ((std::abs(d2) <= rgamsq || std::abs(d2) >= gamsq) && std::isfinite(d2)) {
        make_full();
        if (std::abs(d2) <= rgamsq) {
          d2 = d2 * gamsq;
          h21 = h21 / gam;
          h22 = h22 / gam;
        } else {
          d2 = d2 / gamsq;
          h21 = h21 * gam;
          h22 = h22 * gam;
        }
      }
    }
  }
  if (flag < 0.0) {
    param[1] = h11;
    param[2] = h21;
    param[3] = h12;
    param[4] = h22;
  } else if (flag == 0.0) {
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
