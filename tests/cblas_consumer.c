/* zelt/zelt_cblas.h used from C99: a row-major product, a column-major
 * matrix-vector product and a bad call that must return. Exits 0 when every
 * result is right. */
#include <stdio.h>

#include "zelt/zelt_cblas.h"

int main(void) {
  /* A (2 x 3) and B (3 x 2), row-major; C = A B = [22 28; 49 64] */
  const double a[6] = {1, 2, 3, 4, 5, 6}, b[6] = {1, 2, 3, 4, 5, 6};
  double c[4] = {0, 0, 0, 0};
  double y[2] = {0, 0};
  const double x[3] = {1, 1, 1};
  int failures = 0;
  CBLAS_ORDER order = CblasRowMajor;

  cblas_dgemm(order, CblasNoTrans, CblasNoTrans, 2, 2, 3, 1.0, a, 3, b, 2, 0.0, c, 2);
  if (c[0] != 22 || c[1] != 28 || c[2] != 49 || c[3] != 64) ++failures;

  /* a as the column-major 3 x 2 matrix [1 4; 2 5; 3 6], transposed: y = [6 15] */
  cblas_dgemv(CblasColMajor, CblasTrans, 3, 2, 1.0, a, 3, x, 1, 0.0, y, 1);
  if (y[0] != 6 || y[1] != 15) ++failures;
  if (cblas_idamax(2, y, 1) != 1) ++failures;

  /* lda = 1 < 3: reported, and nothing is written */
  cblas_dgemv(CblasRowMajor, CblasNoTrans, 2, 3, 1.0, a, 1, x, 1, 0.0, y, 1);
  if (y[0] != 6 || y[1] != 15) ++failures;

  printf("%d failures\n", failures);
  return failures == 0 ? 0 : 1;
}
