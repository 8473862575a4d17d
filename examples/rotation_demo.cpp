// Rotates two five-element vectors so that the second one's last element
// becomes zero, printing both before and after.
#include "zelt/givens.hpp"
#include "zelt/vector.hpp"

int main() {
  double x[5] = {1, 2, 3, 4, 5};
  double y[5] = {2, 4, 8, 16, 32};
  zelt::external_vec<double, 0, unsigned int> X(x, 5, 0);
  zelt::external_vec<double, 0, unsigned int> Y(y, 5, 0);

  zelt::print_vector(X);
  zelt::print_vector(Y);

  zelt::givens_rotation<double> rotation(X[4], Y[4]);
  rotation.apply(X, Y);

  zelt::print_vector(X);
  zelt::print_vector(Y);
  return 0;
}
