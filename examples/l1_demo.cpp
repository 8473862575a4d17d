// Wraps four doubles as a view of static length 4 and prints their one-norm.
#include <iostream>

#include "zelt/norms.hpp"
#include "zelt/vector.hpp"

int main() {
  double x[4] = {1.0, 2.0, 3.0, 4.0};

  const double norm = zelt::one_norm(zelt::__make_external<4>()(x));

  std::cout << "X: ";
  zelt::print_vector(zelt::__make_external<4>()(x));
  std::cout << "The L-1 norm of X is " << norm << std::endl;
  return 0;
}
