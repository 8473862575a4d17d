// Wraps four doubles as a view of run-time length 4 and prints their two-norm.
#include <iostream>

#include "zelt/norms.hpp"
#include "zelt/vector.hpp"

int main() {
  double x[4] = {1.0, 5.0, 3.0, 1.0};
  zelt::external_vec<double, 0, unsigned int> X(x, 4, 0);

  const double norm = zelt::two_norm(X);

  std::cout << "X: ";
  zelt::print_vector(X);
  std::cout << "The L-2 norm of X is " << norm << std::endl;
  return 0;
}
