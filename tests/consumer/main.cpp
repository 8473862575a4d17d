// Uses every header of zelt and checks a few results; exits 0 when all hold.
#include <zelt/zelt.hpp>

#include <iostream>
#include <sstream>

int main() {
  int failures = 0;
  auto check = [&failures](bool ok, const char* what) {
    if (!ok) {
      std::cerr << "consumer: " << what << " failed\n";
      ++failures;
    }
  };

  double x[4] = {1, 5, 3, 1};
  zelt::external_vec<double, 0, unsigned int> v(x, 4, 0);
  check(zelt::two_norm(v) == 6, "two_norm");
  check(zelt::one_norm(v) == 10, "one_norm");

  double a[2] = {3, 0}, b[2] = {4, 1};
  const zelt::givens_rotation<double> g(a[0], b[0]);
  g.apply(zelt::external_vec<double, 0, unsigned int>(a, 2, 0),
          zelt::external_vec<double, 0, unsigned int>(b, 2, 0));
  check(b[0] == 0 && g.cosine() == 0x1.3333333333334p-1, "givens_rotation");

  double d[6] = {1, 2, 3, 4, 5, 6};
  zelt::row_matrix<zelt::gen_external2D<double, zelt::gen_rect_offset<0, 0>, 0, 0>,
                   zelt::gen_rect_indexer<zelt::row_orien, 0, 0, unsigned int>>
      A(d, 2, 3);
  std::ostringstream os;
  os << A << ' ' << v;
  check(os.str() == "2x3\n[\n[1,2,3],\n[4,5,6]\n] [1,5,3,1,]", "printing");

  // Column-major, padded and strided views, and views of a matrix.
  double f[8] = {1, 2, -1, 3, 4, -1, 5, 6};  // 2 x 3, columns 3 apart
  const zelt::col_major_matrix<double> F(f, 2, 3, 3);
  const zelt::row_major_matrix<double> Ft = zelt::transposed(F);
  check(F(1, 2) == 6 && Ft(2, 1) == 6 && F.ld() == 3 && Ft.data() == f, "col_major_matrix and transposed");
  check(zelt::row(F, 1)[2] == 6 && zelt::column(Ft, 0)[1] == 3 && zelt::diagonal(F)[1] == 4,
        "row, column, diagonal");
  check(zelt::sub_matrix(F, 0, 1, 2, 2)(0, 1) == 5, "sub_matrix");
  const zelt::strided_vec<double, unsigned int> s(f + 7, 3, -3);  // 6, 4, 2
  check(zelt::one_norm(s) == 12 && zelt::two_norm(s, zelt::lanes) == zelt::two_norm(s), "strided norms");
  std::ostringstream os2;
  os2 << s << ' ' << zelt::sub_matrix(F, 0, 0, 1, 2);
  check(os2.str() == "[6,4,2,] 1x2\n[\n[1,3]\n]", "printing views");

  if (failures == 0) std::cout << "consumer ok" << std::endl;
  return failures == 0 ? 0 : 1;
}
