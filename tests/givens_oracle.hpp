#ifndef ZELT_TESTS_GIVENS_ORACLE_HPP_
#define ZELT_TESTS_GIVENS_ORACLE_HPP_

// The rotation written out one operation at a time, every intermediate stored
// through a volatile so that no compiler can fuse or keep wider values. Used
// as an independent reference for zelt::givens_rotation.

#include <cmath>
#include <limits>

namespace zelt_test {

struct rotation_values {
  double r, z, c, s;
};

inline double sum_of_squares(double qa, double qb) {
  volatile double pa = qa * qa;
  volatile double pb = qb * qb;
  volatile double sum = pa + pb;
  return sum;
}

inline rotation_values oracle_rotation(double a, double b) {
  const double abs_a = std::fabs(a), abs_b = std::fabs(b);
  const double dominant = abs_a > abs_b ? a : b;
  volatile double scale = abs_a + abs_b;
  if (scale == 0) return {0, 0, 1, 0};
  double r, c, s;
  const bool finite = std::isfinite(a) && std::isfinite(b);
  volatile double qa = a / scale;
  volatile double qb = b / scale;
  volatile double root = std::sqrt(sum_of_squares(qa, qb));
  volatile double rr = root * scale;
  r = dominant < 0 ? -rr : rr;
  const bool overflowed = finite && std::isinf(scale);
  const bool subnormal = r != 0 && std::fabs(r) < std::numeric_limits<double>::min();
  if (overflowed || subnormal) {
    // scaled by the larger magnitude instead
    scale = abs_a < abs_b ? abs_b : abs_a;
    qa = a / scale;
    qb = b / scale;
    volatile double rho = std::sqrt(sum_of_squares(qa, qb));
    if (dominant < 0) rho = -rho;
    c = qa / rho;
    s = qb / rho;
    rr = rho * scale;
    r = rr;
  } else {
    c = a / r;
    s = b / r;
  }
  double z;
  if (abs_a > abs_b) {
    z = s;
  } else if (abs_b >= abs_a && c != 0) {
    z = 1 / c;
  } else {
    z = 1;
  }
  return {r, z, c, s};
}

/// (c x + s y, c y - s x), one rounding per operation.
inline void oracle_rotate(double c, double s, double& x, double& y) {
  volatile double cx = c * x, sy = s * y, cy = c * y, sx = s * x;
  volatile double t = cx + sy;
  volatile double u = cy - sx;
  x = t;
  y = u;
}

}  // namespace zelt_test

#endif  // ZELT_TESTS_GIVENS_ORACLE_HPP_
