// Lays a 4 x 4 row-major matrix view over a plain array before filling the
// array, then prints the matrix: the view reads the array when accessed.
#include "zelt/matrix.hpp"
#include "zelt/shape.hpp"

int main() {
  const unsigned int rows = 4;
  const unsigned int columns = 4;
  double data[16];

  zelt::row_matrix<zelt::gen_external2D<double, zelt::gen_rect_offset<0, 0>, 0, 0>,
                   zelt::gen_rect_indexer<zelt::row_orien, 0, 0, unsigned int>>
      A(data, rows, columns);

  for (unsigned int k = 0; k < 16; ++k) {
    data[k] = static_cast<double>(k + 1);
  }

  zelt::print_all_matrix(A);
  return 0;
}
