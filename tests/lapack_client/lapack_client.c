/* A LAPACK client built against the reference LAPACK only: in double and
 * then in single precision, solves a linear system (dgesv, sgesv), factors a
 * tall matrix (dgeqrf, sgeqrf) and finds the eigenvalues and eigenvectors of
 * a symmetric matrix (dsyev, ssyev), all of order 300, large enough for
 * LAPACK's blocked code and so for the Level 3 BLAS (gemm, trsm, trmm,
 * syr2k) beside the Level 1 and 2 routines. It writes the bits of every
 * result in hex, one per line, each block under a header line "name count",
 * so that two runs on two BLAS libraries compare line by line. Exits 1 if
 * LAPACK reports an error. */
#include <inttypes.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

void sgesv_(const int *n, const int *nrhs, float *a, const int *lda, int *ipiv, float *b, const int *ldb,
            int *info);
void dgesv_(const int *n, const int *nrhs, double *a, const int *lda, int *ipiv, double *b, const int *ldb,
            int *info);
void sgeqrf_(const int *m, const int *n, float *a, const int *lda, float *tau, float *work, const int *lwork,
             int *info);
void dgeqrf_(const int *m, const int *n, double *a, const int *lda, double *tau, double *work,
             const int *lwork, int *info);
void ssyev_(const char *jobz, const char *uplo, const int *n, float *a, const int *lda, float *w, float *work,
            const int *lwork, int *info, size_t jobz_len, size_t uplo_len);
void dsyev_(const char *jobz, const char *uplo, const int *n, double *a, const int *lda, double *w,
            double *work, const int *lwork, int *info, size_t jobz_len, size_t uplo_len);

/* The same numbers everywhere: a 64-bit linear congruential generator, its
 * top 53 bits as a double in [-0.5, 0.5). */
static uint64_t state = 0x2545f4914f6cdd1dULL;

static double next_value(void) {
  state = state * 6364136223846793005ULL + 1442695040888963407ULL;
  return (double)(state >> 11) * 0x1p-53 - 0.5;
}

static void check_info(const char *routine, int info) {
  if (info != 0) {
    fprintf(stderr, "lapack_client: %s returned info = %d\n", routine, info);
    exit(1);
  }
}

#define REAL double
#define BITS uint64_t
#define HEX "%016" PRIx64
#define NAME(x) d##x
#define PREFIX "d"
#include "client_precision.h"
#undef REAL
#undef BITS
#undef HEX
#undef NAME
#undef PREFIX

#define REAL float
#define BITS uint32_t
#define HEX "%08" PRIx32
#define NAME(x) s##x
#define PREFIX "s"
#include "client_precision.h"

int main(void) {
  drun();
  srun();
  return 0;
}
