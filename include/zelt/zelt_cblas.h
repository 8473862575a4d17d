#ifndef ZELT_ZELT_CBLAS_H_
#define ZELT_ZELT_CBLAS_H_

/*
 * libzelt_blas's C interface: the CBLAS functions (real and complex, single
 * and double precision) with the reference CBLAS's names, enum values and argument
 * order, and the
 * Fortran-ABI routines the library exports (LP64 integers by address,
 * character flags followed at the end of the argument list by their hidden
 * lengths, in argument order, as gfortran passes them). C99 and C++.
 *
 * Every cblas_ function takes both CblasRowMajor and CblasColMajor and gives
 * the reference's bits. A bad argument is reported through cblas_xerbla, with
 * the reference's parameter number and routine name, and the call returns
 * without touching its outputs. The library's cblas_xerbla prints the
 * reference's message to stderr and returns; a program may define its own.
 */
/* A C header: C's typedefs and headers. NOLINTBEGIN(modernize-use-using,modernize-deprecated-headers) */
#include <stddef.h>

#ifdef __cplusplus
extern "C" {
#endif

typedef enum CBLAS_LAYOUT { CblasRowMajor = 101, CblasColMajor = 102 } CBLAS_LAYOUT;
typedef enum CBLAS_TRANSPOSE { CblasNoTrans = 111, CblasTrans = 112, CblasConjTrans = 113 } CBLAS_TRANSPOSE;
typedef enum CBLAS_UPLO { CblasUpper = 121, CblasLower = 122 } CBLAS_UPLO;
typedef enum CBLAS_DIAG { CblasNonUnit = 131, CblasUnit = 132 } CBLAS_DIAG;
typedef enum CBLAS_SIDE { CblasLeft = 141, CblasRight = 142 } CBLAS_SIDE;
#define CBLAS_ORDER CBLAS_LAYOUT /* the older name */
/* NOLINTEND(modernize-use-using,modernize-deprecated-headers) */

/* ---- Level 1 ------------------------------------------------------------ */

double cblas_dsdot(const int N, const float* X, const int incX, const float* Y, const int incY);
float cblas_sdsdot(const int N, const float alpha, const float* X, const int incX, const float* Y,
                   const int incY);
float cblas_sdot(const int N, const float* X, const int incX, const float* Y, const int incY);
float cblas_snrm2(const int N, const float* X, const int incX);
float cblas_sasum(const int N, const float* X, const int incX);
size_t cblas_isamax(const int N, const float* X, const int incX);
void cblas_sswap(const int N, float* X, const int incX, float* Y, const int incY);
void cblas_scopy(const int N, const float* X, const int incX, float* Y, const int incY);
void cblas_saxpy(const int N, const float alpha, const float* X, const int incX, float* Y, const int incY);
void cblas_srotg(float* a, float* b, float* c, float* s);
void cblas_srotmg(float* d1, float* d2, float* b1, const float b2, float* P);
void cblas_srot(const int N, float* X, const int incX, float* Y, const int incY, const float c,
                const float s);
void cblas_srotm(const int N, float* X, const int incX, float* Y, const int incY, const float* P);
void cblas_sscal(const int N, const float alpha, float* X, const int incX);

double cblas_ddot(const int N, const double* X, const int incX, const double* Y, const int incY);
double cblas_dnrm2(const int N, const double* X, const int incX);
double cblas_dasum(const int N, const double* X, const int incX);
/* X holds N complex numbers, each a real part followed by an imaginary part */
float cblas_scnrm2(const int N, const void* X, const int incX);
float cblas_scasum(const int N, const void* X, const int incX);
float cblas_scabs1(const void* z);
double cblas_dznrm2(const int N, const void* X, const int incX);
double cblas_dzasum(const int N, const void* X, const int incX);
double cblas_dcabs1(const void* z);

/* Complex vectors: X and Y hold N complex numbers of two floats (c) or two
 * doubles (z), real part first; scalars are passed by address. The dot
 * products come back through their last argument. */
void cblas_cdotu_sub(const int N, const void* X, const int incX, const void* Y, const int incY, void* dotu);
void cblas_cdotc_sub(const int N, const void* X, const int incX, const void* Y, const int incY, void* dotc);
size_t cblas_icamax(const int N, const void* X, const int incX);
void cblas_cswap(const int N, void* X, const int incX, void* Y, const int incY);
void cblas_ccopy(const int N, const void* X, const int incX, void* Y, const int incY);
void cblas_caxpy(const int N, const void* alpha, const void* X, const int incX, void* Y, const int incY);
void cblas_crotg(void* a, void* b, float* c, void* s);
void cblas_csrot(const int N, void* X, const int incX, void* Y, const int incY, const float c, const float s);
void cblas_cscal(const int N, const void* alpha, void* X, const int incX);
void cblas_csscal(const int N, const float alpha, void* X, const int incX);

void cblas_zdotu_sub(const int N, const void* X, const int incX, const void* Y, const int incY, void* dotu);
void cblas_zdotc_sub(const int N, const void* X, const int incX, const void* Y, const int incY, void* dotc);
size_t cblas_izamax(const int N, const void* X, const int incX);
void cblas_zswap(const int N, void* X, const int incX, void* Y, const int incY);
void cblas_zcopy(const int N, const void* X, const int incX, void* Y, const int incY);
void cblas_zaxpy(const int N, const void* alpha, const void* X, const int incX, void* Y, const int incY);
void cblas_zrotg(void* a, void* b, double* c, void* s);
void cblas_zdrot(const int N, void* X, const int incX, void* Y, const int incY, const double c,
                 const double s);
void cblas_zscal(const int N, const void* alpha, void* X, const int incX);
void cblas_zdscal(const int N, const double alpha, void* X, const int incX);

/* Complex Level 2: matrices of complex numbers, alpha and beta by address
 * (her and hpr: alpha real). CblasConjTrans takes the conjugate transpose. */
void cblas_cgemv(const CBLAS_LAYOUT layout, const CBLAS_TRANSPOSE TransA, const int M, const int N,
                 const void* alpha, const void* A, const int lda, const void* X, const int incX,
                 const void* beta, void* Y, const int incY);
void cblas_cgeru(const CBLAS_LAYOUT layout, const int M, const int N, const void* alpha, const void* X,
                 const int incX, const void* Y, const int incY, void* A, const int lda);
void cblas_cgerc(const CBLAS_LAYOUT layout, const int M, const int N, const void* alpha, const void* X,
                 const int incX, const void* Y, const int incY, void* A, const int lda);
void cblas_zgemv(const CBLAS_LAYOUT layout, const CBLAS_TRANSPOSE TransA, const int M, const int N,
                 const void* alpha, const void* A, const int lda, const void* X, const int incX,
                 const void* beta, void* Y, const int incY);
void cblas_zgeru(const CBLAS_LAYOUT layout, const int M, const int N, const void* alpha, const void* X,
                 const int incX, const void* Y, const int incY, void* A, const int lda);
void cblas_zgerc(const CBLAS_LAYOUT layout, const int M, const int N, const void* alpha, const void* X,
                 const int incX, const void* Y, const int incY, void* A, const int lda);
void cblas_chemv(const CBLAS_LAYOUT layout, const CBLAS_UPLO Uplo, const int N, const void* alpha,
                 const void* A, const int lda, const void* X, const int incX, const void* beta, void* Y,
                 const int incY);
void cblas_cher(const CBLAS_LAYOUT layout, const CBLAS_UPLO Uplo, const int N, const float alpha,
                const void* X, const int incX, void* A, const int lda);
void cblas_cher2(const CBLAS_LAYOUT layout, const CBLAS_UPLO Uplo, const int N, const void* alpha,
                 const void* X, const int incX, const void* Y, const int incY, void* A, const int lda);
void cblas_ctrmv(const CBLAS_LAYOUT layout, const CBLAS_UPLO Uplo, const CBLAS_TRANSPOSE TransA,
                 const CBLAS_DIAG Diag, const int N, const void* A, const int lda, void* X, const int incX);
void cblas_ctrsv(const CBLAS_LAYOUT layout, const CBLAS_UPLO Uplo, const CBLAS_TRANSPOSE TransA,
                 const CBLAS_DIAG Diag, const int N, const void* A, const int lda, void* X, const int incX);
void cblas_zhemv(const CBLAS_LAYOUT layout, const CBLAS_UPLO Uplo, const int N, const void* alpha,
                 const void* A, const int lda, const void* X, const int incX, const void* beta, void* Y,
                 const int incY);
void cblas_zher(const CBLAS_LAYOUT layout, const CBLAS_UPLO Uplo, const int N, const double alpha,
                const void* X, const int incX, void* A, const int lda);
void cblas_zher2(const CBLAS_LAYOUT layout, const CBLAS_UPLO Uplo, const int N, const void* alpha,
                 const void* X, const int incX, const void* Y, const int incY, void* A, const int lda);
void cblas_ztrmv(const CBLAS_LAYOUT layout, const CBLAS_UPLO Uplo, const CBLAS_TRANSPOSE TransA,
                 const CBLAS_DIAG Diag, const int N, const void* A, const int lda, void* X, const int incX);
void cblas_ztrsv(const CBLAS_LAYOUT layout, const CBLAS_UPLO Uplo, const CBLAS_TRANSPOSE TransA,
                 const CBLAS_DIAG Diag, const int N, const void* A, const int lda, void* X, const int incX);
void cblas_cgbmv(const CBLAS_LAYOUT layout, const CBLAS_TRANSPOSE TransA, const int M, const int N,
                 const int KL, const int KU, const void* alpha, const void* A, const int lda, const void* X,
                 const int incX, const void* beta, void* Y, const int incY);
void cblas_chbmv(const CBLAS_LAYOUT layout, const CBLAS_UPLO Uplo, const int N, const int K,
                 const void* alpha, const void* A, const int lda, const void* X, const int incX,
                 const void* beta, void* Y, const int incY);
void cblas_chpmv(const CBLAS_LAYOUT layout, const CBLAS_UPLO Uplo, const int N, const void* alpha,
                 const void* Ap, const void* X, const int incX, const void* beta, void* Y, const int incY);
void cblas_chpr(const CBLAS_LAYOUT layout, const CBLAS_UPLO Uplo, const int N, const float alpha,
                const void* X, const int incX, void* Ap);
void cblas_chpr2(const CBLAS_LAYOUT layout, const CBLAS_UPLO Uplo, const int N, const void* alpha,
                 const void* X, const int incX, const void* Y, const int incY, void* Ap);
void cblas_ctbmv(const CBLAS_LAYOUT layout, const CBLAS_UPLO Uplo, const CBLAS_TRANSPOSE TransA,
                 const CBLAS_DIAG Diag, const int N, const int K, const void* A, const int lda, void* X,
                 const int incX);
void cblas_ctbsv(const CBLAS_LAYOUT layout, const CBLAS_UPLO Uplo, const CBLAS_TRANSPOSE TransA,
                 const CBLAS_DIAG Diag, const int N, const int K, const void* A, const int lda, void* X,
                 const int incX);
void cblas_ctpmv(const CBLAS_LAYOUT layout, const CBLAS_UPLO Uplo, const CBLAS_TRANSPOSE TransA,
                 const CBLAS_DIAG Diag, const int N, const void* Ap, void* X, const int incX);
void cblas_ctpsv(const CBLAS_LAYOUT layout, const CBLAS_UPLO Uplo, const CBLAS_TRANSPOSE TransA,
                 const CBLAS_DIAG Diag, const int N, const void* Ap, void* X, const int incX);
void cblas_zgbmv(const CBLAS_LAYOUT layout, const CBLAS_TRANSPOSE TransA, const int M, const int N,
                 const int KL, const int KU, const void* alpha, const void* A, const int lda, const void* X,
                 const int incX, const void* beta, void* Y, const int incY);
void cblas_zhbmv(const CBLAS_LAYOUT layout, const CBLAS_UPLO Uplo, const int N, const int K,
                 const void* alpha, const void* A, const int lda, const void* X, const int incX,
                 const void* beta, void* Y, const int incY);
void cblas_zhpmv(const CBLAS_LAYOUT layout, const CBLAS_UPLO Uplo, const int N, const void* alpha,
                 const void* Ap, const void* X, const int incX, const void* beta, void* Y, const int incY);
void cblas_zhpr(const CBLAS_LAYOUT layout, const CBLAS_UPLO Uplo, const int N, const double alpha,
                const void* X, const int incX, void* Ap);
void cblas_zhpr2(const CBLAS_LAYOUT layout, const CBLAS_UPLO Uplo, const int N, const void* alpha,
                 const void* X, const int incX, const void* Y, const int incY, void* Ap);
void cblas_ztbmv(const CBLAS_LAYOUT layout, const CBLAS_UPLO Uplo, const CBLAS_TRANSPOSE TransA,
                 const CBLAS_DIAG Diag, const int N, const int K, const void* A, const int lda, void* X,
                 const int incX);
void cblas_ztbsv(const CBLAS_LAYOUT layout, const CBLAS_UPLO Uplo, const CBLAS_TRANSPOSE TransA,
                 const CBLAS_DIAG Diag, const int N, const int K, const void* A, const int lda, void* X,
                 const int incX);
void cblas_ztpmv(const CBLAS_LAYOUT layout, const CBLAS_UPLO Uplo, const CBLAS_TRANSPOSE TransA,
                 const CBLAS_DIAG Diag, const int N, const void* Ap, void* X, const int incX);
void cblas_ztpsv(const CBLAS_LAYOUT layout, const CBLAS_UPLO Uplo, const CBLAS_TRANSPOSE TransA,
                 const CBLAS_DIAG Diag, const int N, const void* Ap, void* X, const int incX);
void cblas_cgemm(const CBLAS_LAYOUT layout, const CBLAS_TRANSPOSE TransA, const CBLAS_TRANSPOSE TransB,
                 const int M, const int N, const int K, const void* alpha, const void* A, const int lda,
                 const void* B, const int ldb, const void* beta, void* C, const int ldc);
void cblas_csymm(const CBLAS_LAYOUT layout, const CBLAS_SIDE Side, const CBLAS_UPLO Uplo, const int M,
                 const int N, const void* alpha, const void* A, const int lda, const void* B, const int ldb,
                 const void* beta, void* C, const int ldc);
void cblas_chemm(const CBLAS_LAYOUT layout, const CBLAS_SIDE Side, const CBLAS_UPLO Uplo, const int M,
                 const int N, const void* alpha, const void* A, const int lda, const void* B, const int ldb,
                 const void* beta, void* C, const int ldc);
void cblas_csyrk(const CBLAS_LAYOUT layout, const CBLAS_UPLO Uplo, const CBLAS_TRANSPOSE Trans, const int N,
                 const int K, const void* alpha, const void* A, const int lda, const void* beta, void* C,
                 const int ldc);
void cblas_cherk(const CBLAS_LAYOUT layout, const CBLAS_UPLO Uplo, const CBLAS_TRANSPOSE Trans, const int N,
                 const int K, const float alpha, const void* A, const int lda, const float beta, void* C,
                 const int ldc);
void cblas_csyr2k(const CBLAS_LAYOUT layout, const CBLAS_UPLO Uplo, const CBLAS_TRANSPOSE Trans, const int N,
                  const int K, const void* alpha, const void* A, const int lda, const void* B, const int ldb,
                  const void* beta, void* C, const int ldc);
void cblas_cher2k(const CBLAS_LAYOUT layout, const CBLAS_UPLO Uplo, const CBLAS_TRANSPOSE Trans, const int N,
                  const int K, const void* alpha, const void* A, const int lda, const void* B, const int ldb,
                  const float beta, void* C, const int ldc);
void cblas_ctrmm(const CBLAS_LAYOUT layout, const CBLAS_SIDE Side, const CBLAS_UPLO Uplo,
                 const CBLAS_TRANSPOSE TransA, const CBLAS_DIAG Diag, const int M, const int N,
                 const void* alpha, const void* A, const int lda, void* B, const int ldb);
void cblas_ctrsm(const CBLAS_LAYOUT layout, const CBLAS_SIDE Side, const CBLAS_UPLO Uplo,
                 const CBLAS_TRANSPOSE TransA, const CBLAS_DIAG Diag, const int M, const int N,
                 const void* alpha, const void* A, const int lda, void* B, const int ldb);
void cblas_zgemm(const CBLAS_LAYOUT layout, const CBLAS_TRANSPOSE TransA, const CBLAS_TRANSPOSE TransB,
                 const int M, const int N, const int K, const void* alpha, const void* A, const int lda,
                 const void* B, const int ldb, const void* beta, void* C, const int ldc);
void cblas_zsymm(const CBLAS_LAYOUT layout, const CBLAS_SIDE Side, const CBLAS_UPLO Uplo, const int M,
                 const int N, const void* alpha, const void* A, const int lda, const void* B, const int ldb,
                 const void* beta, void* C, const int ldc);
void cblas_zhemm(const CBLAS_LAYOUT layout, const CBLAS_SIDE Side, const CBLAS_UPLO Uplo, const int M,
                 const int N, const void* alpha, const void* A, const int lda, const void* B, const int ldb,
                 const void* beta, void* C, const int ldc);
void cblas_zsyrk(const CBLAS_LAYOUT layout, const CBLAS_UPLO Uplo, const CBLAS_TRANSPOSE Trans, const int N,
                 const int K, const void* alpha, const void* A, const int lda, const void* beta, void* C,
                 const int ldc);
void cblas_zherk(const CBLAS_LAYOUT layout, const CBLAS_UPLO Uplo, const CBLAS_TRANSPOSE Trans, const int N,
                 const int K, const double alpha, const void* A, const int lda, const double beta, void* C,
                 const int ldc);
void cblas_zsyr2k(const CBLAS_LAYOUT layout, const CBLAS_UPLO Uplo, const CBLAS_TRANSPOSE Trans, const int N,
                  const int K, const void* alpha, const void* A, const int lda, const void* B, const int ldb,
                  const void* beta, void* C, const int ldc);
void cblas_zher2k(const CBLAS_LAYOUT layout, const CBLAS_UPLO Uplo, const CBLAS_TRANSPOSE Trans, const int N,
                  const int K, const void* alpha, const void* A, const int lda, const void* B, const int ldb,
                  const double beta, void* C, const int ldc);
void cblas_ztrmm(const CBLAS_LAYOUT layout, const CBLAS_SIDE Side, const CBLAS_UPLO Uplo,
                 const CBLAS_TRANSPOSE TransA, const CBLAS_DIAG Diag, const int M, const int N,
                 const void* alpha, const void* A, const int lda, void* B, const int ldb);
void cblas_ztrsm(const CBLAS_LAYOUT layout, const CBLAS_SIDE Side, const CBLAS_UPLO Uplo,
                 const CBLAS_TRANSPOSE TransA, const CBLAS_DIAG Diag, const int M, const int N,
                 const void* alpha, const void* A, const int lda, void* B, const int ldb);
/* 0-based; 0 when N < 1 or incX < 1 */
size_t cblas_idamax(const int N, const double* X, const int incX);

void cblas_dswap(const int N, double* X, const int incX, double* Y, const int incY);
void cblas_dcopy(const int N, const double* X, const int incX, double* Y, const int incY);
void cblas_daxpy(const int N, const double alpha, const double* X, const int incX, double* Y, const int incY);
void cblas_drotg(double* a, double* b, double* c, double* s);
void cblas_drotmg(double* d1, double* d2, double* b1, const double b2, double* P);
void cblas_drot(const int N, double* X, const int incX, double* Y, const int incY, const double c,
                const double s);
void cblas_drotm(const int N, double* X, const int incX, double* Y, const int incY, const double* P);
void cblas_dscal(const int N, const double alpha, double* X, const int incX);

/* ---- Level 2 ------------------------------------------------------------ */

void cblas_dgemv(const CBLAS_LAYOUT layout, const CBLAS_TRANSPOSE TransA, const int M, const int N,
                 const double alpha, const double* A, const int lda, const double* X, const int incX,
                 const double beta, double* Y, const int incY);
void cblas_dgbmv(const CBLAS_LAYOUT layout, const CBLAS_TRANSPOSE TransA, const int M, const int N,
                 const int KL, const int KU, const double alpha, const double* A, const int lda,
                 const double* X, const int incX, const double beta, double* Y, const int incY);
void cblas_dtrmv(const CBLAS_LAYOUT layout, const CBLAS_UPLO Uplo, const CBLAS_TRANSPOSE TransA,
                 const CBLAS_DIAG Diag, const int N, const double* A, const int lda, double* X,
                 const int incX);
void cblas_dtbmv(const CBLAS_LAYOUT layout, const CBLAS_UPLO Uplo, const CBLAS_TRANSPOSE TransA,
                 const CBLAS_DIAG Diag, const int N, const int K, const double* A, const int lda, double* X,
                 const int incX);
void cblas_dtpmv(const CBLAS_LAYOUT layout, const CBLAS_UPLO Uplo, const CBLAS_TRANSPOSE TransA,
                 const CBLAS_DIAG Diag, const int N, const double* Ap, double* X, const int incX);
void cblas_dtrsv(const CBLAS_LAYOUT layout, const CBLAS_UPLO Uplo, const CBLAS_TRANSPOSE TransA,
                 const CBLAS_DIAG Diag, const int N, const double* A, const int lda, double* X,
                 const int incX);
void cblas_dtbsv(const CBLAS_LAYOUT layout, const CBLAS_UPLO Uplo, const CBLAS_TRANSPOSE TransA,
                 const CBLAS_DIAG Diag, const int N, const int K, const double* A, const int lda, double* X,
                 const int incX);
void cblas_dtpsv(const CBLAS_LAYOUT layout, const CBLAS_UPLO Uplo, const CBLAS_TRANSPOSE TransA,
                 const CBLAS_DIAG Diag, const int N, const double* Ap, double* X, const int incX);
void cblas_dsymv(const CBLAS_LAYOUT layout, const CBLAS_UPLO Uplo, const int N, const double alpha,
                 const double* A, const int lda, const double* X, const int incX, const double beta,
                 double* Y, const int incY);
void cblas_dsbmv(const CBLAS_LAYOUT layout, const CBLAS_UPLO Uplo, const int N, const int K,
                 const double alpha, const double* A, const int lda, const double* X, const int incX,
                 const double beta, double* Y, const int incY);
void cblas_dspmv(const CBLAS_LAYOUT layout, const CBLAS_UPLO Uplo, const int N, const double alpha,
                 const double* Ap, const double* X, const int incX, const double beta, double* Y,
                 const int incY);
void cblas_dger(const CBLAS_LAYOUT layout, const int M, const int N, const double alpha, const double* X,
                const int incX, const double* Y, const int incY, double* A, const int lda);
void cblas_dsyr(const CBLAS_LAYOUT layout, const CBLAS_UPLO Uplo, const int N, const double alpha,
                const double* X, const int incX, double* A, const int lda);
void cblas_dspr(const CBLAS_LAYOUT layout, const CBLAS_UPLO Uplo, const int N, const double alpha,
                const double* X, const int incX, double* Ap);
void cblas_dsyr2(const CBLAS_LAYOUT layout, const CBLAS_UPLO Uplo, const int N, const double alpha,
                 const double* X, const int incX, const double* Y, const int incY, double* A, const int lda);
void cblas_dspr2(const CBLAS_LAYOUT layout, const CBLAS_UPLO Uplo, const int N, const double alpha,
                 const double* X, const int incX, const double* Y, const int incY, double* A);

void cblas_sgemv(const CBLAS_LAYOUT layout, const CBLAS_TRANSPOSE TransA, const int M, const int N,
                 const float alpha, const float* A, const int lda, const float* X, const int incX,
                 const float beta, float* Y, const int incY);
void cblas_sgbmv(const CBLAS_LAYOUT layout, const CBLAS_TRANSPOSE TransA, const int M, const int N,
                 const int KL, const int KU, const float alpha, const float* A, const int lda, const float* X,
                 const int incX, const float beta, float* Y, const int incY);
void cblas_strmv(const CBLAS_LAYOUT layout, const CBLAS_UPLO Uplo, const CBLAS_TRANSPOSE TransA,
                 const CBLAS_DIAG Diag, const int N, const float* A, const int lda, float* X, const int incX);
void cblas_stbmv(const CBLAS_LAYOUT layout, const CBLAS_UPLO Uplo, const CBLAS_TRANSPOSE TransA,
                 const CBLAS_DIAG Diag, const int N, const int K, const float* A, const int lda, float* X,
                 const int incX);
void cblas_stpmv(const CBLAS_LAYOUT layout, const CBLAS_UPLO Uplo, const CBLAS_TRANSPOSE TransA,
                 const CBLAS_DIAG Diag, const int N, const float* Ap, float* X, const int incX);
void cblas_strsv(const CBLAS_LAYOUT layout, const CBLAS_UPLO Uplo, const CBLAS_TRANSPOSE TransA,
                 const CBLAS_DIAG Diag, const int N, const float* A, const int lda, float* X, const int incX);
void cblas_stbsv(const CBLAS_LAYOUT layout, const CBLAS_UPLO Uplo, const CBLAS_TRANSPOSE TransA,
                 const CBLAS_DIAG Diag, const int N, const int K, const float* A, const int lda, float* X,
                 const int incX);
void cblas_stpsv(const CBLAS_LAYOUT layout, const CBLAS_UPLO Uplo, const CBLAS_TRANSPOSE TransA,
                 const CBLAS_DIAG Diag, const int N, const float* Ap, float* X, const int incX);
void cblas_ssymv(const CBLAS_LAYOUT layout, const CBLAS_UPLO Uplo, const int N, const float alpha,
                 const float* A, const int lda, const float* X, const int incX, const float beta, float* Y,
                 const int incY);
void cblas_ssbmv(const CBLAS_LAYOUT layout, const CBLAS_UPLO Uplo, const int N, const int K,
                 const float alpha, const float* A, const int lda, const float* X, const int incX,
                 const float beta, float* Y, const int incY);
void cblas_sspmv(const CBLAS_LAYOUT layout, const CBLAS_UPLO Uplo, const int N, const float alpha,
                 const float* Ap, const float* X, const int incX, const float beta, float* Y, const int incY);
void cblas_sger(const CBLAS_LAYOUT layout, const int M, const int N, const float alpha, const float* X,
                const int incX, const float* Y, const int incY, float* A, const int lda);
void cblas_ssyr(const CBLAS_LAYOUT layout, const CBLAS_UPLO Uplo, const int N, const float alpha,
                const float* X, const int incX, float* A, const int lda);
void cblas_sspr(const CBLAS_LAYOUT layout, const CBLAS_UPLO Uplo, const int N, const float alpha,
                const float* X, const int incX, float* Ap);
void cblas_ssyr2(const CBLAS_LAYOUT layout, const CBLAS_UPLO Uplo, const int N, const float alpha,
                 const float* X, const int incX, const float* Y, const int incY, float* A, const int lda);
void cblas_sspr2(const CBLAS_LAYOUT layout, const CBLAS_UPLO Uplo, const int N, const float alpha,
                 const float* X, const int incX, const float* Y, const int incY, float* A);

/* ---- Level 3 ------------------------------------------------------------ */

void cblas_dgemm(const CBLAS_LAYOUT layout, const CBLAS_TRANSPOSE TransA, const CBLAS_TRANSPOSE TransB,
                 const int M, const int N, const int K, const double alpha, const double* A, const int lda,
                 const double* B, const int ldb, const double beta, double* C, const int ldc);
void cblas_dsymm(const CBLAS_LAYOUT layout, const CBLAS_SIDE Side, const CBLAS_UPLO Uplo, const int M,
                 const int N, const double alpha, const double* A, const int lda, const double* B,
                 const int ldb, const double beta, double* C, const int ldc);
void cblas_dsyrk(const CBLAS_LAYOUT layout, const CBLAS_UPLO Uplo, const CBLAS_TRANSPOSE Trans, const int N,
                 const int K, const double alpha, const double* A, const int lda, const double beta,
                 double* C, const int ldc);
void cblas_dsyr2k(const CBLAS_LAYOUT layout, const CBLAS_UPLO Uplo, const CBLAS_TRANSPOSE Trans, const int N,
                  const int K, const double alpha, const double* A, const int lda, const double* B,
                  const int ldb, const double beta, double* C, const int ldc);
void cblas_dtrmm(const CBLAS_LAYOUT layout, const CBLAS_SIDE Side, const CBLAS_UPLO Uplo,
                 const CBLAS_TRANSPOSE TransA, const CBLAS_DIAG Diag, const int M, const int N,
                 const double alpha, const double* A, const int lda, double* B, const int ldb);
void cblas_dtrsm(const CBLAS_LAYOUT layout, const CBLAS_SIDE Side, const CBLAS_UPLO Uplo,
                 const CBLAS_TRANSPOSE TransA, const CBLAS_DIAG Diag, const int M, const int N,
                 const double alpha, const double* A, const int lda, double* B, const int ldb);
void cblas_sgemm(const CBLAS_LAYOUT layout, const CBLAS_TRANSPOSE TransA, const CBLAS_TRANSPOSE TransB,
                 const int M, const int N, const int K, const float alpha, const float* A, const int lda,
                 const float* B, const int ldb, const float beta, float* C, const int ldc);
void cblas_ssymm(const CBLAS_LAYOUT layout, const CBLAS_SIDE Side, const CBLAS_UPLO Uplo, const int M,
                 const int N, const float alpha, const float* A, const int lda, const float* B, const int ldb,
                 const float beta, float* C, const int ldc);
void cblas_ssyrk(const CBLAS_LAYOUT layout, const CBLAS_UPLO Uplo, const CBLAS_TRANSPOSE Trans, const int N,
                 const int K, const float alpha, const float* A, const int lda, const float beta, float* C,
                 const int ldc);
void cblas_ssyr2k(const CBLAS_LAYOUT layout, const CBLAS_UPLO Uplo, const CBLAS_TRANSPOSE Trans, const int N,
                  const int K, const float alpha, const float* A, const int lda, const float* B,
                  const int ldb, const float beta, float* C, const int ldc);
void cblas_strmm(const CBLAS_LAYOUT layout, const CBLAS_SIDE Side, const CBLAS_UPLO Uplo,
                 const CBLAS_TRANSPOSE TransA, const CBLAS_DIAG Diag, const int M, const int N,
                 const float alpha, const float* A, const int lda, float* B, const int ldb);
void cblas_strsm(const CBLAS_LAYOUT layout, const CBLAS_SIDE Side, const CBLAS_UPLO Uplo,
                 const CBLAS_TRANSPOSE TransA, const CBLAS_DIAG Diag, const int M, const int N,
                 const float alpha, const float* A, const int lda, float* B, const int ldb);

/* Reports bad argument number p of routine rout ("cblas_dgemv", ...), then
 * prints form with the remaining arguments, as vfprintf does. */
void cblas_xerbla(int p, const char* rout, const char* form, ...);

/* ---- The Fortran-ABI routines ------------------------------------------- */

double ddot_(const int* n, const double* x, const int* incx, const double* y, const int* incy);
double dsdot_(const int* n, const float* sx, const int* incx, const float* sy, const int* incy);
void daxpy_(const int* n, const double* alpha, const double* x, const int* incx, double* y, const int* incy);
void dscal_(const int* n, const double* alpha, double* x, const int* incx);
void dcopy_(const int* n, const double* x, const int* incx, double* y, const int* incy);
void dswap_(const int* n, double* x, const int* incx, double* y, const int* incy);
int idamax_(const int* n, const double* x, const int* incx); /* 1-based, 0 for none */
double dasum_(const int* n, const double* x, const int* incx);
double dnrm2_(const int* n, const double* x, const int* incx);
double dzasum_(const int* n, const void* zx, const int* incx);
double dznrm2_(const int* n, const void* x, const int* incx);
double dcabs1_(const void* z);
void drot_(const int* n, double* x, const int* incx, double* y, const int* incy, const double* c,
           const double* s);
void drotg_(double* a, double* b, double* c, double* s);
void drotm_(const int* n, double* x, const int* incx, double* y, const int* incy, const double* param);
void drotmg_(double* d1, double* d2, double* x1, const double* y1, double* param);

float sdot_(const int* n, const float* x, const int* incx, const float* y, const int* incy);
float sdsdot_(const int* n, const float* sb, const float* sx, const int* incx, const float* sy,
              const int* incy);
void saxpy_(const int* n, const float* alpha, const float* x, const int* incx, float* y, const int* incy);
void sscal_(const int* n, const float* alpha, float* x, const int* incx);
void scopy_(const int* n, const float* x, const int* incx, float* y, const int* incy);
void sswap_(const int* n, float* x, const int* incx, float* y, const int* incy);
int isamax_(const int* n, const float* x, const int* incx); /* 1-based, 0 for none */
float sasum_(const int* n, const float* x, const int* incx);
float snrm2_(const int* n, const float* x, const int* incx);
void srot_(const int* n, float* x, const int* incx, float* y, const int* incy, const float* c,
           const float* s);
void srotg_(float* a, float* b, float* c, float* s);
void srotm_(const int* n, float* x, const int* incx, float* y, const int* incy, const float* param);
void srotmg_(float* d1, float* d2, float* x1, const float* y1, float* param);

/* The reference CBLAS's Fortran helpers: the function's value through the
 * last argument. */
void sdotsub_(const int* n, const float* x, const int* incx, const float* y, const int* incy, float* dot);
void ddotsub_(const int* n, const double* x, const int* incx, const double* y, const int* incy, double* dot);
void sdsdotsub_(const int* n, const float* sb, const float* x, const int* incx, const float* y,
                const int* incy, float* dot);
void dsdotsub_(const int* n, const float* x, const int* incx, const float* y, const int* incy, double* dot);
void snrm2sub_(const int* n, const float* x, const int* incx, float* nrm2);
void dnrm2sub_(const int* n, const double* x, const int* incx, double* nrm2);
void sasumsub_(const int* n, const float* x, const int* incx, float* asum);
void dasumsub_(const int* n, const double* x, const int* incx, double* asum);
void isamaxsub_(const int* n, const float* x, const int* incx, int* iamax);
void idamaxsub_(const int* n, const double* x, const int* incx, int* iamax);
void dzasumsub_(const int* n, const void* x, const int* incx, double* asum);
void dznrm2sub_(const int* n, const void* x, const int* incx, double* nrm2);
void dcabs1sub_(const void* z, double* cabs1);
float scasum_(const int* n, const void* cx, const int* incx);
float scnrm2_(const int* n, const void* x, const int* incx);
float scabs1_(const void* z);
void scasumsub_(const int* n, const void* x, const int* incx, float* asum);
void scnrm2sub_(const int* n, const void* x, const int* incx, float* nrm2);
void scabs1sub_(const void* z, float* cabs1);
void cdotusub_(const int* n, const void* x, const int* incx, const void* y, const int* incy, void* dotu);
void cdotcsub_(const int* n, const void* x, const int* incx, const void* y, const int* incy, void* dotc);
void zdotusub_(const int* n, const void* x, const int* incx, const void* y, const int* incy, void* dotu);
void zdotcsub_(const int* n, const void* x, const int* incx, const void* y, const int* incy, void* dotc);
void icamaxsub_(const int* n, const void* x, const int* incx, int* iamax);
void izamaxsub_(const int* n, const void* x, const int* incx, int* iamax);

/* The complex Fortran routines. A COMPLEX function returns its value as
 * gfortran does, as C's float _Complex or double _Complex would come back:
 * these structs of the real and the imaginary part are returned the same
 * way. */
typedef struct zelt_complex_float { /* NOLINT(modernize-use-using) */
  float real, imag;
} zelt_complex_float;
typedef struct zelt_complex_double { /* NOLINT(modernize-use-using) */
  double real, imag;
} zelt_complex_double;
zelt_complex_float cdotu_(const int* n, const void* x, const int* incx, const void* y, const int* incy);
zelt_complex_float cdotc_(const int* n, const void* x, const int* incx, const void* y, const int* incy);
zelt_complex_double zdotu_(const int* n, const void* x, const int* incx, const void* y, const int* incy);
zelt_complex_double zdotc_(const int* n, const void* x, const int* incx, const void* y, const int* incy);
void caxpy_(const int* n, const void* alpha, const void* x, const int* incx, void* y, const int* incy);
void zaxpy_(const int* n, const void* alpha, const void* x, const int* incx, void* y, const int* incy);
void cscal_(const int* n, const void* alpha, void* x, const int* incx);
void zscal_(const int* n, const void* alpha, void* x, const int* incx);
void csscal_(const int* n, const float* alpha, void* x, const int* incx);
void zdscal_(const int* n, const double* alpha, void* x, const int* incx);
void ccopy_(const int* n, const void* x, const int* incx, void* y, const int* incy);
void zcopy_(const int* n, const void* x, const int* incx, void* y, const int* incy);
void cswap_(const int* n, void* x, const int* incx, void* y, const int* incy);
void zswap_(const int* n, void* x, const int* incx, void* y, const int* incy);
int icamax_(const int* n, const void* x, const int* incx); /* 1-based, 0 for none */
int izamax_(const int* n, const void* x, const int* incx);
void csrot_(const int* n, void* x, const int* incx, void* y, const int* incy, const float* c, const float* s);
void zdrot_(const int* n, void* x, const int* incx, void* y, const int* incy, const double* c,
            const double* s);
void crotg_(void* a, const void* b, float* c, void* s);
void zrotg_(void* a, const void* b, double* c, void* s);
void cgemv_(const char* trans, const int* m, const int* n, const void* alpha, const void* a, const int* lda,
            const void* x, const int* incx, const void* beta, void* y, const int* incy, size_t trans_len);
void zgemv_(const char* trans, const int* m, const int* n, const void* alpha, const void* a, const int* lda,
            const void* x, const int* incx, const void* beta, void* y, const int* incy, size_t trans_len);
void cgeru_(const int* m, const int* n, const void* alpha, const void* x, const int* incx, const void* y,
            const int* incy, void* a, const int* lda);
void zgeru_(const int* m, const int* n, const void* alpha, const void* x, const int* incx, const void* y,
            const int* incy, void* a, const int* lda);
void cgerc_(const int* m, const int* n, const void* alpha, const void* x, const int* incx, const void* y,
            const int* incy, void* a, const int* lda);
void zgerc_(const int* m, const int* n, const void* alpha, const void* x, const int* incx, const void* y,
            const int* incy, void* a, const int* lda);
void chemv_(const char* uplo, const int* n, const void* alpha, const void* a, const int* lda, const void* x,
            const int* incx, const void* beta, void* y, const int* incy, size_t uplo_len);
void cher_(const char* uplo, const int* n, const float* alpha, const void* x, const int* incx, void* a,
           const int* lda, size_t uplo_len);
void cher2_(const char* uplo, const int* n, const void* alpha, const void* x, const int* incx, const void* y,
            const int* incy, void* a, const int* lda, size_t uplo_len);
void ctrmv_(const char* uplo, const char* trans, const char* diag, const int* n, const void* a,
            const int* lda, void* x, const int* incx, size_t uplo_len, size_t trans_len, size_t diag_len);
void ctrsv_(const char* uplo, const char* trans, const char* diag, const int* n, const void* a,
            const int* lda, void* x, const int* incx, size_t uplo_len, size_t trans_len, size_t diag_len);
void zhemv_(const char* uplo, const int* n, const void* alpha, const void* a, const int* lda, const void* x,
            const int* incx, const void* beta, void* y, const int* incy, size_t uplo_len);
void zher_(const char* uplo, const int* n, const double* alpha, const void* x, const int* incx, void* a,
           const int* lda, size_t uplo_len);
void zher2_(const char* uplo, const int* n, const void* alpha, const void* x, const int* incx, const void* y,
            const int* incy, void* a, const int* lda, size_t uplo_len);
void ztrmv_(const char* uplo, const char* trans, const char* diag, const int* n, const void* a,
            const int* lda, void* x, const int* incx, size_t uplo_len, size_t trans_len, size_t diag_len);
void ztrsv_(const char* uplo, const char* trans, const char* diag, const int* n, const void* a,
            const int* lda, void* x, const int* incx, size_t uplo_len, size_t trans_len, size_t diag_len);
void cgbmv_(const char* trans, const int* m, const int* n, const int* kl, const int* ku, const void* alpha,
            const void* a, const int* lda, const void* x, const int* incx, const void* beta, void* y,
            const int* incy, size_t trans_len);
void chbmv_(const char* uplo, const int* n, const int* k, const void* alpha, const void* a, const int* lda,
            const void* x, const int* incx, const void* beta, void* y, const int* incy, size_t uplo_len);
void chpmv_(const char* uplo, const int* n, const void* alpha, const void* ap, const void* x, const int* incx,
            const void* beta, void* y, const int* incy, size_t uplo_len);
void chpr_(const char* uplo, const int* n, const float* alpha, const void* x, const int* incx, void* ap,
           size_t uplo_len);
void chpr2_(const char* uplo, const int* n, const void* alpha, const void* x, const int* incx, const void* y,
            const int* incy, void* ap, size_t uplo_len);
void ctbmv_(const char* uplo, const char* trans, const char* diag, const int* n, const int* k, const void* a,
            const int* lda, void* x, const int* incx, size_t uplo_len, size_t trans_len, size_t diag_len);
void ctbsv_(const char* uplo, const char* trans, const char* diag, const int* n, const int* k, const void* a,
            const int* lda, void* x, const int* incx, size_t uplo_len, size_t trans_len, size_t diag_len);
void ctpmv_(const char* uplo, const char* trans, const char* diag, const int* n, const void* ap, void* x,
            const int* incx, size_t uplo_len, size_t trans_len, size_t diag_len);
void ctpsv_(const char* uplo, const char* trans, const char* diag, const int* n, const void* ap, void* x,
            const int* incx, size_t uplo_len, size_t trans_len, size_t diag_len);
void zgbmv_(const char* trans, const int* m, const int* n, const int* kl, const int* ku, const void* alpha,
            const void* a, const int* lda, const void* x, const int* incx, const void* beta, void* y,
            const int* incy, size_t trans_len);
void zhbmv_(const char* uplo, const int* n, const int* k, const void* alpha, const void* a, const int* lda,
            const void* x, const int* incx, const void* beta, void* y, const int* incy, size_t uplo_len);
void zhpmv_(const char* uplo, const int* n, const void* alpha, const void* ap, const void* x, const int* incx,
            const void* beta, void* y, const int* incy, size_t uplo_len);
void zhpr_(const char* uplo, const int* n, const double* alpha, const void* x, const int* incx, void* ap,
           size_t uplo_len);
void zhpr2_(const char* uplo, const int* n, const void* alpha, const void* x, const int* incx, const void* y,
            const int* incy, void* ap, size_t uplo_len);
void ztbmv_(const char* uplo, const char* trans, const char* diag, const int* n, const int* k, const void* a,
            const int* lda, void* x, const int* incx, size_t uplo_len, size_t trans_len, size_t diag_len);
void ztbsv_(const char* uplo, const char* trans, const char* diag, const int* n, const int* k, const void* a,
            const int* lda, void* x, const int* incx, size_t uplo_len, size_t trans_len, size_t diag_len);
void ztpmv_(const char* uplo, const char* trans, const char* diag, const int* n, const void* ap, void* x,
            const int* incx, size_t uplo_len, size_t trans_len, size_t diag_len);
void ztpsv_(const char* uplo, const char* trans, const char* diag, const int* n, const void* ap, void* x,
            const int* incx, size_t uplo_len, size_t trans_len, size_t diag_len);
void cgemm_(const char* transa, const char* transb, const int* m, const int* n, const int* k,
            const void* alpha, const void* a, const int* lda, const void* b, const int* ldb, const void* beta,
            void* c, const int* ldc, size_t transa_len, size_t transb_len);
void csymm_(const char* side, const char* uplo, const int* m, const int* n, const void* alpha, const void* a,
            const int* lda, const void* b, const int* ldb, const void* beta, void* c, const int* ldc,
            size_t side_len, size_t uplo_len);
void chemm_(const char* side, const char* uplo, const int* m, const int* n, const void* alpha, const void* a,
            const int* lda, const void* b, const int* ldb, const void* beta, void* c, const int* ldc,
            size_t side_len, size_t uplo_len);
void csyrk_(const char* uplo, const char* trans, const int* n, const int* k, const void* alpha, const void* a,
            const int* lda, const void* beta, void* c, const int* ldc, size_t uplo_len, size_t trans_len);
void cherk_(const char* uplo, const char* trans, const int* n, const int* k, const float* alpha,
            const void* a, const int* lda, const float* beta, void* c, const int* ldc, size_t uplo_len,
            size_t trans_len);
void csyr2k_(const char* uplo, const char* trans, const int* n, const int* k, const void* alpha,
             const void* a, const int* lda, const void* b, const int* ldb, const void* beta, void* c,
             const int* ldc, size_t uplo_len, size_t trans_len);
void cher2k_(const char* uplo, const char* trans, const int* n, const int* k, const void* alpha,
             const void* a, const int* lda, const void* b, const int* ldb, const float* beta, void* c,
             const int* ldc, size_t uplo_len, size_t trans_len);
void ctrmm_(const char* side, const char* uplo, const char* transa, const char* diag, const int* m,
            const int* n, const void* alpha, const void* a, const int* lda, void* b, const int* ldb,
            size_t side_len, size_t uplo_len, size_t transa_len, size_t diag_len);
void ctrsm_(const char* side, const char* uplo, const char* transa, const char* diag, const int* m,
            const int* n, const void* alpha, const void* a, const int* lda, void* b, const int* ldb,
            size_t side_len, size_t uplo_len, size_t transa_len, size_t diag_len);
void zgemm_(const char* transa, const char* transb, const int* m, const int* n, const int* k,
            const void* alpha, const void* a, const int* lda, const void* b, const int* ldb, const void* beta,
            void* c, const int* ldc, size_t transa_len, size_t transb_len);
void zsymm_(const char* side, const char* uplo, const int* m, const int* n, const void* alpha, const void* a,
            const int* lda, const void* b, const int* ldb, const void* beta, void* c, const int* ldc,
            size_t side_len, size_t uplo_len);
void zhemm_(const char* side, const char* uplo, const int* m, const int* n, const void* alpha, const void* a,
            const int* lda, const void* b, const int* ldb, const void* beta, void* c, const int* ldc,
            size_t side_len, size_t uplo_len);
void zsyrk_(const char* uplo, const char* trans, const int* n, const int* k, const void* alpha, const void* a,
            const int* lda, const void* beta, void* c, const int* ldc, size_t uplo_len, size_t trans_len);
void zherk_(const char* uplo, const char* trans, const int* n, const int* k, const double* alpha,
            const void* a, const int* lda, const double* beta, void* c, const int* ldc, size_t uplo_len,
            size_t trans_len);
void zsyr2k_(const char* uplo, const char* trans, const int* n, const int* k, const void* alpha,
             const void* a, const int* lda, const void* b, const int* ldb, const void* beta, void* c,
             const int* ldc, size_t uplo_len, size_t trans_len);
void zher2k_(const char* uplo, const char* trans, const int* n, const int* k, const void* alpha,
             const void* a, const int* lda, const void* b, const int* ldb, const double* beta, void* c,
             const int* ldc, size_t uplo_len, size_t trans_len);
void ztrmm_(const char* side, const char* uplo, const char* transa, const char* diag, const int* m,
            const int* n, const void* alpha, const void* a, const int* lda, void* b, const int* ldb,
            size_t side_len, size_t uplo_len, size_t transa_len, size_t diag_len);
void ztrsm_(const char* side, const char* uplo, const char* transa, const char* diag, const int* m,
            const int* n, const void* alpha, const void* a, const int* lda, void* b, const int* ldb,
            size_t side_len, size_t uplo_len, size_t transa_len, size_t diag_len);

void dgemv_(const char* trans, const int* m, const int* n, const double* alpha, const double* a,
            const int* lda, const double* x, const int* incx, const double* beta, double* y, const int* incy,
            size_t trans_len);
void dgbmv_(const char* trans, const int* m, const int* n, const int* kl, const int* ku, const double* alpha,
            const double* a, const int* lda, const double* x, const int* incx, const double* beta, double* y,
            const int* incy, size_t trans_len);
void dger_(const int* m, const int* n, const double* alpha, const double* x, const int* incx, const double* y,
           const int* incy, double* a, const int* lda);
void dsymv_(const char* uplo, const int* n, const double* alpha, const double* a, const int* lda,
            const double* x, const int* incx, const double* beta, double* y, const int* incy,
            size_t uplo_len);
void dsbmv_(const char* uplo, const int* n, const int* k, const double* alpha, const double* a,
            const int* lda, const double* x, const int* incx, const double* beta, double* y, const int* incy,
            size_t uplo_len);
void dspmv_(const char* uplo, const int* n, const double* alpha, const double* ap, const double* x,
            const int* incx, const double* beta, double* y, const int* incy, size_t uplo_len);
void dsyr_(const char* uplo, const int* n, const double* alpha, const double* x, const int* incx, double* a,
           const int* lda, size_t uplo_len);
void dspr_(const char* uplo, const int* n, const double* alpha, const double* x, const int* incx, double* ap,
           size_t uplo_len);
void dsyr2_(const char* uplo, const int* n, const double* alpha, const double* x, const int* incx,
            const double* y, const int* incy, double* a, const int* lda, size_t uplo_len);
void dspr2_(const char* uplo, const int* n, const double* alpha, const double* x, const int* incx,
            const double* y, const int* incy, double* ap, size_t uplo_len);
void dtrmv_(const char* uplo, const char* trans, const char* diag, const int* n, const double* a,
            const int* lda, double* x, const int* incx, size_t uplo_len, size_t trans_len, size_t diag_len);
void dtbmv_(const char* uplo, const char* trans, const char* diag, const int* n, const int* k,
            const double* a, const int* lda, double* x, const int* incx, size_t uplo_len, size_t trans_len,
            size_t diag_len);
void dtpmv_(const char* uplo, const char* trans, const char* diag, const int* n, const double* ap, double* x,
            const int* incx, size_t uplo_len, size_t trans_len, size_t diag_len);
void dtrsv_(const char* uplo, const char* trans, const char* diag, const int* n, const double* a,
            const int* lda, double* x, const int* incx, size_t uplo_len, size_t trans_len, size_t diag_len);
void dtbsv_(const char* uplo, const char* trans, const char* diag, const int* n, const int* k,
            const double* a, const int* lda, double* x, const int* incx, size_t uplo_len, size_t trans_len,
            size_t diag_len);
void dtpsv_(const char* uplo, const char* trans, const char* diag, const int* n, const double* ap, double* x,
            const int* incx, size_t uplo_len, size_t trans_len, size_t diag_len);

void sgemv_(const char* trans, const int* m, const int* n, const float* alpha, const float* a, const int* lda,
            const float* x, const int* incx, const float* beta, float* y, const int* incy, size_t trans_len);
void sgbmv_(const char* trans, const int* m, const int* n, const int* kl, const int* ku, const float* alpha,
            const float* a, const int* lda, const float* x, const int* incx, const float* beta, float* y,
            const int* incy, size_t trans_len);
void sger_(const int* m, const int* n, const float* alpha, const float* x, const int* incx, const float* y,
           const int* incy, float* a, const int* lda);
void ssymv_(const char* uplo, const int* n, const float* alpha, const float* a, const int* lda,
            const float* x, const int* incx, const float* beta, float* y, const int* incy, size_t uplo_len);
void ssbmv_(const char* uplo, const int* n, const int* k, const float* alpha, const float* a, const int* lda,
            const float* x, const int* incx, const float* beta, float* y, const int* incy, size_t uplo_len);
void sspmv_(const char* uplo, const int* n, const float* alpha, const float* ap, const float* x,
            const int* incx, const float* beta, float* y, const int* incy, size_t uplo_len);
void ssyr_(const char* uplo, const int* n, const float* alpha, const float* x, const int* incx, float* a,
           const int* lda, size_t uplo_len);
void sspr_(const char* uplo, const int* n, const float* alpha, const float* x, const int* incx, float* ap,
           size_t uplo_len);
void ssyr2_(const char* uplo, const int* n, const float* alpha, const float* x, const int* incx,
            const float* y, const int* incy, float* a, const int* lda, size_t uplo_len);
void sspr2_(const char* uplo, const int* n, const float* alpha, const float* x, const int* incx,
            const float* y, const int* incy, float* ap, size_t uplo_len);
void strmv_(const char* uplo, const char* trans, const char* diag, const int* n, const float* a,
            const int* lda, float* x, const int* incx, size_t uplo_len, size_t trans_len, size_t diag_len);
void stbmv_(const char* uplo, const char* trans, const char* diag, const int* n, const int* k, const float* a,
            const int* lda, float* x, const int* incx, size_t uplo_len, size_t trans_len, size_t diag_len);
void stpmv_(const char* uplo, const char* trans, const char* diag, const int* n, const float* ap, float* x,
            const int* incx, size_t uplo_len, size_t trans_len, size_t diag_len);
void strsv_(const char* uplo, const char* trans, const char* diag, const int* n, const float* a,
            const int* lda, float* x, const int* incx, size_t uplo_len, size_t trans_len, size_t diag_len);
void stbsv_(const char* uplo, const char* trans, const char* diag, const int* n, const int* k, const float* a,
            const int* lda, float* x, const int* incx, size_t uplo_len, size_t trans_len, size_t diag_len);
void stpsv_(const char* uplo, const char* trans, const char* diag, const int* n, const float* ap, float* x,
            const int* incx, size_t uplo_len, size_t trans_len, size_t diag_len);

void dgemm_(const char* transa, const char* transb, const int* m, const int* n, const int* k,
            const double* alpha, const double* a, const int* lda, const double* b, const int* ldb,
            const double* beta, double* c, const int* ldc, size_t transa_len, size_t transb_len);
void dsymm_(const char* side, const char* uplo, const int* m, const int* n, const double* alpha,
            const double* a, const int* lda, const double* b, const int* ldb, const double* beta, double* c,
            const int* ldc, size_t side_len, size_t uplo_len);
void dsyrk_(const char* uplo, const char* trans, const int* n, const int* k, const double* alpha,
            const double* a, const int* lda, const double* beta, double* c, const int* ldc, size_t uplo_len,
            size_t trans_len);
void dsyr2k_(const char* uplo, const char* trans, const int* n, const int* k, const double* alpha,
             const double* a, const int* lda, const double* b, const int* ldb, const double* beta, double* c,
             const int* ldc, size_t uplo_len, size_t trans_len);
void dtrmm_(const char* side, const char* uplo, const char* transa, const char* diag, const int* m,
            const int* n, const double* alpha, const double* a, const int* lda, double* b, const int* ldb,
            size_t side_len, size_t uplo_len, size_t transa_len, size_t diag_len);
void dtrsm_(const char* side, const char* uplo, const char* transa, const char* diag, const int* m,
            const int* n, const double* alpha, const double* a, const int* lda, double* b, const int* ldb,
            size_t side_len, size_t uplo_len, size_t transa_len, size_t diag_len);
void sgemm_(const char* transa, const char* transb, const int* m, const int* n, const int* k,
            const float* alpha, const float* a, const int* lda, const float* b, const int* ldb,
            const float* beta, float* c, const int* ldc, size_t transa_len, size_t transb_len);
void ssymm_(const char* side, const char* uplo, const int* m, const int* n, const float* alpha,
            const float* a, const int* lda, const float* b, const int* ldb, const float* beta, float* c,
            const int* ldc, size_t side_len, size_t uplo_len);
void ssyrk_(const char* uplo, const char* trans, const int* n, const int* k, const float* alpha,
            const float* a, const int* lda, const float* beta, float* c, const int* ldc, size_t uplo_len,
            size_t trans_len);
void ssyr2k_(const char* uplo, const char* trans, const int* n, const int* k, const float* alpha,
             const float* a, const int* lda, const float* b, const int* ldb, const float* beta, float* c,
             const int* ldc, size_t uplo_len, size_t trans_len);
void strmm_(const char* side, const char* uplo, const char* transa, const char* diag, const int* m,
            const int* n, const float* alpha, const float* a, const int* lda, float* b, const int* ldb,
            size_t side_len, size_t uplo_len, size_t transa_len, size_t diag_len);
void strsm_(const char* side, const char* uplo, const char* transa, const char* diag, const int* m,
            const int* n, const float* alpha, const float* a, const int* lda, float* b, const int* ldb,
            size_t side_len, size_t uplo_len, size_t transa_len, size_t diag_len);

/* Nonzero when the two letters agree, upper and lower case alike. */
int lsame_(const char* ca, const char* cb, size_t ca_len, size_t cb_len);
/* Reports bad argument number *info of routine srname (blank-padded). */
void xerbla_(const char* srname, const int* info, size_t srname_len);
/* xerbla_ for a name given as an array of *srname_len characters. */
void xerbla_array_(const char* srname_array, const int* srname_len, const int* info, size_t element_len);

/* One line naming the kernel set the library runs (generic, avx2 or avx512,
 * chosen once per process from the CPU, or forced by ZELT_ARCH) and the sets
 * compiled into it, for example "zelt kernels=avx512 (compiled: generic avx2
 * avx512)". The string is the library's own; the caller does not free it. */
const char* zelt_blas_get_config(void);

#ifdef __cplusplus
}
#endif

#endif /* ZELT_ZELT_CBLAS_H_ */
