// Eigen's matrix product, in its own translation unit so that it is built
// the way Eigen users build it: without zelt's -ffp-contract=off, free to
// fuse multiplications and additions.
#include <Eigen/Core>

void eigen_gemm(int n, const double* a, const double* b, double* c) {
  using matrix = Eigen::Map<Eigen::MatrixXd>;
  using const_matrix = Eigen::Map<const Eigen::MatrixXd>;
  matrix(c, n, n).noalias() += const_matrix(a, n, n) * const_matrix(b, n, n);
}
