#ifndef ZELT_GIVENS_HPP_
#define ZELT_GIVENS_HPP_

// Givens plane rotation, built the scaled way: the sum of squares is formed
// from the arguments divided by |a| + |b|, so that neither squaring overflows
// nor underflows. The rotation maps (x, y) to (c x + s y, c y - s x); built
// from (a, b) it maps that pair to (r, 0), r taking the sign of the argument
// of larger magnitude (of b on a tie). Besides r, c and s it keeps
// z = s, 1/c or 1, from which c and s can be recovered:
//   |a| > |b|:        z = s
//   |b| >= |a|, c != 0: z = 1/c
//   otherwise:        z = 1

#include <cmath>   // std::abs, std::sqrt, std::isfinite
#include <limits>  // std::numeric_limits

#include "zelt/detail/contract.hpp"
#include "zelt/detail/exact.hpp"
#include "zelt/vector.hpp"

namespace zelt {

/// A plane rotation over element type `T`, fixed once built. Rotating the
/// pair it was built from yields (r(), 0) up to rounding.
template <class T>
class givens_rotation {
 public:
  using value_type = T;

  /// The rotation that turns (`a_in`, `b_in`) into (r, 0). Both zero gives the
  /// identity with r = z = 0; a NaN argument gives r = c = s = NaN and z = 1;
  /// an infinite argument gives NaN everywhere.
  givens_rotation(T a_in, T b_in) {
    ZELT_EXACT_ARITHMETIC
    const T abs_a = std::abs(a_in);
    const T abs_b = std::abs(b_in);
    const bool a_dominates = abs_a > abs_b;  // false on a tie and for NaN
    const T dominant = a_dominates ? a_in : b_in;

    const T scale = abs_a + abs_b;
    if (scale == T(0)) {
      a = T(0);
      b = T(0);
      c = T(1);
      s = T(0);
      return;
    }

    const bool finite = std::isfinite(a_in) && std::isfinite(b_in);
    T length;
    if (finite && !std::isfinite(scale)) {
      length = scaled_by_max(a_in, b_in, abs_a, abs_b, dominant);
    } else {
      const T qa = a_in / scale;
      const T qb = b_in / scale;
      length = std::sqrt(detail::mul(qa, qa) + detail::mul(qb, qb)) * scale;
      if (dominant < T(0)) length = -length;
      if (length != T(0) && std::abs(length) < std::numeric_limits<T>::min()) {
        // r is subnormal and has lost the precision c and s need.
        length = scaled_by_max(a_in, b_in, abs_a, abs_b, dominant);
      } else {
        c = a_in / length;
        s = b_in / length;
      }
    }

    a = length;
    if (a_dominates) {
      b = s;
    } else if (abs_b >= abs_a && c != T(0)) {
      b = T(1) / c;
    } else {
      b = T(1);
    }
  }

  /// r, the signed length of the rotated pair.
  T r() const noexcept { return a; }
  /// z: s when |a| > |b|, else 1/c when c is nonzero, else 1.
  T z() const noexcept { return b; }
  /// c, the cosine.
  T cosine() const noexcept { return c; }
  /// s, the sine.
  T sine() const noexcept { return s; }

  /// Rotates one pair in place: (x, y) becomes (c x + s y, c y - s x), both from
  /// the values on entry. `y` is stored first, so if both name one element it
  /// ends as c v + s v.
  void scalar_apply(T& x, T& y) const noexcept {
    ZELT_EXACT_ARITHMETIC
    const T x0 = x;
    const T y0 = y;
    const T t = detail::mul(c, x0) + detail::mul(s, y0);
    y = detail::mul(c, y0) - detail::mul(s, x0);
    x = t;
  }

  /// Rotates the pairs (x[k], y[k]) in place for every element of `x`, first to
  /// last. The views may be const: the elements they refer to are not. The
  /// caller ensures `y` has at least as many elements as `x`.
  template <class VectorX, class VectorY>
  ZELT_EXACT_LOOP void apply(const VectorX& x, const VectorY& y) const {
    ZELT_EXPECTS(!(y.size() < x.size()),
                 "givens_rotation::apply: second vector has %llu elements, fewer than the first's %llu",
                 detail::ull(y.size()), detail::ull(x.size()));
    // A const view still refers to writable elements; its mutable iterators
    // are reached through the non-const begin() and end(), which do not
    // modify the view itself.
    auto& xs = const_cast<VectorX&>(x);
    auto& ys = const_cast<VectorY&>(y);
    // A local copy cannot be aliased by the elements, so c and s stay in
    // registers and the loop vectorises.
    const givens_rotation rotation = *this;
    auto it = xs.begin();
    const auto end = xs.end();
    auto jt = ys.begin();
    while (not_at(it, end)) {
      rotation.scalar_apply(*it, *jt);
      ++it;
      ++jt;
    }
  }

 private:
  // Sets c and s from the arguments divided by the larger magnitude and returns
  // r. Used only for finite arguments where the sum of magnitudes overflows or
  // r underflows into the subnormals; r itself may still overflow to +-inf.
  T scaled_by_max(T a_in, T b_in, T abs_a, T abs_b, T dominant) noexcept {
    ZELT_EXACT_ARITHMETIC
    const T scale = abs_a < abs_b ? abs_b : abs_a;
    const T qa = a_in / scale;
    const T qb = b_in / scale;
    T rho = std::sqrt(detail::mul(qa, qa) + detail::mul(qb, qb));
    if (dominant < T(0)) rho = -rho;
    c = qa / rho;
    s = qb / rho;
    return rho * scale;
  }

  T a;  ///< r
  T b;  ///< z
  T c;  ///< cosine
  T s;  ///< sine
};

}  // namespace zelt

#endif  // ZELT_GIVENS_HPP_
