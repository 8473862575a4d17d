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

  if (failures == 0) std::cout << "consumer ok" << std::endl;
  return failures == 0 ? 0 : 1;
}
