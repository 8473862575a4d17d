/* A C program using the installed libzelt_blas: checks exact results of
 * cblas_dgemm (both layouts), dgemm_ and dgemv_ and exits 0 when all hold. With an argument DIR, the
 * library that provides dgemv_ must also be loaded from DIR (so the installed
 * copy is the one that runs, not the build tree's). */
#define _GNU_SOURCE
#include <dlfcn.h>
#include <stdio.h>
#include <string.h>
#include <zelt/zelt_cblas.h>

static int failures = 0;

static void check(int ok, const char *what) {
  if (!ok) {
    fprintf(stderr, "blas_consumer: %s failed\n", what);
    ++failures;
  }
}

static int same_doubles(const double *got, const double *want, size_t count) {
  return memcmp(got, want, count * sizeof(double)) == 0;
}

int main(int argc, char **argv) {
  /* C = alpha A B + beta C with A 2 x 3, B 3 x 2, column-major. */
  const double a[6] = {1, 4, 2, 5, 3, 6};    /* [1 2 3; 4 5 6] */
  const double b[6] = {7, 9, 11, 8, 10, 12}; /* [7 8; 9 10; 11 12] */
  const double alpha = 2, beta = -1;
  const int m = 2, n = 2, k = 3;
  double c[4] = {1, 2, 3, 4};
  const double want_c[4] = {2 * 58 - 1, 2 * 139 - 2, 2 * 64 - 3, 2 * 154 - 4};
  dgemm_("N", "N", &m, &n, &k, &alpha, a, &m, b, &k, &beta, c, &m, 1, 1);
  check(same_doubles(c, want_c, 4), "dgemm_");

  /* The same product through CBLAS, column-major and row-major. */
  double c_col[4] = {1, 2, 3, 4};
  cblas_dgemm(CblasColMajor, CblasNoTrans, CblasNoTrans, m, n, k, alpha, a, m, b, k, beta, c_col, m);
  check(same_doubles(c_col, want_c, 4), "cblas_dgemm, column-major");
  const double a_row[6] = {1, 2, 3, 4, 5, 6};
  const double b_row[6] = {7, 8, 9, 10, 11, 12};
  double c_row[4] = {1, 2, 3, 4};
  const double want_c_row[4] = {2 * 58 - 1, 2 * 64 - 2, 2 * 139 - 3, 2 * 154 - 4};
  cblas_dgemm(CblasRowMajor, CblasNoTrans, CblasNoTrans, m, n, k, alpha, a_row, k, b_row, n, beta, c_row, n);
  check(same_doubles(c_row, want_c_row, 4), "cblas_dgemm, row-major");
  /* The reference adds the products in order from zero: ((0.1 + 0.2) + 0.3). */
  const double tenths[3] = {0.1, 0.2, 0.3};
  const double ones_col[3] = {1, 1, 1};
  double dot = -7;
  cblas_dgemm(CblasRowMajor, CblasNoTrans, CblasNoTrans, 1, 1, 3, 1.0, tenths, 3, ones_col, 1, 0.0, &dot, 1);
  check(dot == 0x1.3333333333334p-1, "cblas_dgemm, rounding order");

  /* The reference's dgemv('N') adds column after column into y = 0, so the
   * sum is ((0.1 + 0.2) + 0.3), which is 0.6000000000000001, not 0.6. */
  const double row[3] = {0.1, 0.2, 0.3};
  const double ones[3] = {1, 1, 1};
  const double one = 1, zero = 0;
  const int one_i = 1, three = 3;
  double y = -7;
  dgemv_("N", &one_i, &three, &one, row, &one_i, ones, &one_i, &zero, &y, &one_i, 1);
  check(y == 0x1.3333333333334p-1, "dgemv_");

  if (argc > 1) {
    Dl_info info;
    const void *symbol = dlsym(RTLD_DEFAULT, "dgemv_");
    const size_t length = strlen(argv[1]);
    const int found = symbol != NULL && dladdr(symbol, &info) != 0 && info.dli_fname != NULL;
    check(found && strncmp(info.dli_fname, argv[1], length) == 0 && info.dli_fname[length] == '/',
          "loading libzelt_blas from the installed prefix");
    if (found) printf("dgemv_ from %s\n", info.dli_fname);
  }

  if (failures == 0) printf("blas_consumer ok\n");
  return failures == 0 ? 0 : 1;
}
