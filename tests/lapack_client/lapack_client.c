/* A LAPACK client built against the reference LAPACK only: solves a linear
 * system (dgesv), factors a tall matrix (dgeqrf) and finds the eigenvalues
 * and eigenvectors of a symmetric matrix (dsyev), all of order 300, large
 * enough for LAPACK's blocked code and so for the Level 3 BLAS (dgemm, dtrsm,
 * dtrmm, dsyr2k) beside the Level 1 and 2 routines. It writes every result
 * double's bits in hex, one per line, each block under a header line
 * "name count", so that two runs on two BLAS libraries compare line by line.
 * Exits 1 if LAPACK reports an error. */
#include <inttypes.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

void dgesv_(const int *n, const int *nrhs, double *a, const int *lda, int *ipiv, double *b, const int *ldb,
            int *info);
void dgeqrf_(const int *m, const int *n, double *a, const int *lda, double *tau, double *work,
             const int *lwork, int *info);
void dsyev_(const char *jobz, const char *uplo, const int *n, double *a, const int *lda, double *w,
            double *work, const int *lwork, int *info, size_t jobz_len, size_t uplo_len);

/* The same numbers everywhere: a 64-bit linear congruential generator, its
 * top 53 bits as a double in [-0.5, 0.5). */
static uint64_t state = 0x2545f4914f6cdd1dULL;

static double next_value(void) {
  state = state * 6364136223846793005ULL + 1442695040888963407ULL;
  return (double)(state >> 11) * 0x1p-53 - 0.5;
}

static double *new_doubles(size_t count) {
  double *p = malloc(count * sizeof(double));
  if (p == NULL) {
    fprintf(stderr, "lapack_client: out of memory\n");
    exit(1);
  }
  return p;
}

static void print_doubles(const char *name, const double *x, size_t count) {
  printf("%s %zu\n", name, count);
  for (size_t i = 0; i < count; ++i) {
    uint64_t bits;
    memcpy(&bits, &x[i], sizeof bits);
    printf("%016" PRIx64 "\n", bits);
  }
}

static void check_info(const char *routine, int info) {
  if (info != 0) {
    fprintf(stderr, "lapack_client: %s returned info = %d\n", routine, info);
    exit(1);
  }
}

int main(void) {
  enum { n = 300, nrhs = 4, m = 320 };
  const int n_i = n, nrhs_i = nrhs, m_i = m, query = -1;
  int info = 0;

  /* dgesv: A X = B, A with a heavier diagonal so that it is well conditioned. */
  double *a = new_doubles((size_t)n * n);
  double *b = new_doubles((size_t)n * nrhs);
  int ipiv[n];
  for (size_t i = 0; i < (size_t)n * n; ++i) a[i] = next_value();
  for (size_t i = 0; i < (size_t)n; ++i) a[i * n + i] += 4;
  for (size_t i = 0; i < (size_t)n * nrhs; ++i) b[i] = next_value();
  dgesv_(&n_i, &nrhs_i, a, &n_i, ipiv, b, &n_i, &info);
  check_info("dgesv", info);
  print_doubles("dgesv.lu", a, (size_t)n * n);
  print_doubles("dgesv.x", b, (size_t)n * nrhs);
  printf("dgesv.ipiv %d\n", n);
  for (int i = 0; i < n; ++i) printf("%d\n", ipiv[i]);
  free(b);
  free(a);

  /* dgeqrf: A = QR for a 320 x 300 matrix. */
  double work_size = 0;
  double *q = new_doubles((size_t)m * n);
  double *tau = new_doubles(n);
  for (size_t i = 0; i < (size_t)m * n; ++i) q[i] = next_value();
  dgeqrf_(&m_i, &n_i, q, &m_i, tau, &work_size, &query, &info);
  check_info("dgeqrf (workspace query)", info);
  int lwork = (int)work_size;
  double *work = new_doubles((size_t)lwork);
  dgeqrf_(&m_i, &n_i, q, &m_i, tau, work, &lwork, &info);
  check_info("dgeqrf", info);
  print_doubles("dgeqrf.qr", q, (size_t)m * n);
  print_doubles("dgeqrf.tau", tau, n);
  free(work);
  free(tau);
  free(q);

  /* dsyev: the eigenvalues and eigenvectors of a symmetric matrix, given by
   * its lower triangle. */
  double *s = new_doubles((size_t)n * n);
  double *w = new_doubles(n);
  for (size_t j = 0; j < (size_t)n; ++j) {
    for (size_t i = 0; i < (size_t)n; ++i) s[j * n + i] = i >= j ? next_value() : 0;
  }
  dsyev_("V", "L", &n_i, s, &n_i, w, &work_size, &query, &info, 1, 1);
  check_info("dsyev (workspace query)", info);
  lwork = (int)work_size;
  work = new_doubles((size_t)lwork);
  dsyev_("V", "L", &n_i, s, &n_i, w, work, &lwork, &info, 1, 1);
  check_info("dsyev", info);
  print_doubles("dsyev.w", w, n);
  print_doubles("dsyev.z", s, (size_t)n * n);
  free(work);
  free(w);
  free(s);
  return 0;
}
