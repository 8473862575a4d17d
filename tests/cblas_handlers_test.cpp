// A program's own cblas_xerbla, xerbla_ and RowMajorStrg take the place of
// libzelt_blas.so's, as the reference testers' do: this program links
// against the library and defines all three.
#include <gtest/gtest.h>

#include <string>

#include "zelt/zelt_cblas.h"

namespace {

struct report {
  int info = 0;
  std::string routine;
  int row_major = -1;  // RowMajorStrg when it was made
  int calls = 0;
};
report c_report, fortran_report;

}  // namespace

extern "C" {

int RowMajorStrg = 0;

void cblas_xerbla(int p, const char* rout, const char*, ...) {
  c_report.info = p;
  c_report.routine = rout;
  c_report.row_major = RowMajorStrg;
  ++c_report.calls;
}

void xerbla_(const char* srname, const int* info, size_t srname_len) {
  fortran_report.info = *info;
  fortran_report.routine.assign(srname, srname_len);
  ++fortran_report.calls;
}

}  // extern "C"

namespace {

TEST(CblasHandlers, TheProgramsCblasXerblaAndRowMajorStrgAreUsed) {
  const double a[4] = {1, 2, 3, 4};
  double c[4] = {9, 9, 9, 9};
  c_report = {};
  // ldb = 1 < N = 2: argument 11, which the row-major Fortran call has as
  // its argument 8 (the reported 9 is renumbered by the handler)
  cblas_dgemm(CblasRowMajor, CblasNoTrans, CblasNoTrans, 2, 2, 2, 1, a, 2, a, 1, 0, c, 2);
  EXPECT_EQ(c_report.calls, 1);
  EXPECT_EQ(c_report.info, 9);
  EXPECT_EQ(c_report.routine, "cblas_dgemm");
  EXPECT_EQ(c_report.row_major, 1);
  EXPECT_EQ(RowMajorStrg, 0);
  EXPECT_EQ(c[0], 9);
  cblas_dsymv(CblasColMajor, CblasUpper, -1, 1, a, 2, a, 1, 0, c, 1);
  EXPECT_EQ(c_report.calls, 2);
  EXPECT_EQ(c_report.info, 3);
  EXPECT_EQ(c_report.row_major, 0);
  EXPECT_EQ(c_report.routine, "cblas_dsymv");
}

TEST(CblasHandlers, TheProgramsXerblaIsUsed) {
  fortran_report = {};
  const int info = 4, length = 6;
  xerbla_array_("DTRSMX", &length, &info, 1);
  EXPECT_EQ(fortran_report.calls, 1);
  EXPECT_EQ(fortran_report.info, 4);
  EXPECT_EQ(fortran_report.routine, "DTRSMX" + std::string(26, ' '));
  // and the Fortran routines' own reports
  const int n = -1, one = 1;
  const double alpha = 1, x[1] = {1};
  double y[1] = {9};
  dger_(&one, &n, &alpha, x, &one, x, &one, y, &one);
  EXPECT_EQ(fortran_report.calls, 2);
  EXPECT_EQ(fortran_report.info, 2);
  EXPECT_EQ(fortran_report.routine, "DGER  ");
}

}  // namespace
