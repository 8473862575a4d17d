// Calls that must not compile: operands of different element types, and the
// mixed-precision dot products over vectors that are not float. Each case is
// compiled on its own (-DCASE=n) and must fail with zelt's message; case 0,
// the same views used rightly, must compile.
#include <zelt/blas1.hpp>
#include <zelt/blas2.hpp>

int main() {
  float f[4] = {};
  double d[4] = {};
  const zelt::external_vec<float, 0, unsigned> x(f, 4, 0);
  const zelt::external_vec<double, 0, unsigned> y(d, 4, 0);
#if CASE == 1
  return static_cast<int>(zelt::dot(x, y));
#elif CASE == 2
  zelt::axpy(1.0, y, x);
#elif CASE == 3
  const zelt::col_major_matrix<double> A(d, 2, 2);
  zelt::gemv(1.0, A, zelt::external_vec<float, 0, unsigned>(f, 2, 0), 0.0,
             zelt::external_vec<double, 0, unsigned>(d + 2, 2, 0));
#elif CASE == 4
  return static_cast<int>(zelt::dsdot(y, y));
#else
  zelt::axpy(2.0f, x, x);
  return static_cast<int>(zelt::dot(y, y) + zelt::dsdot(x, x));
#endif
  return 0;
}
