// Stands in for a blocked-matrix example: blocked storage is not supported.
#include <iostream>

int main() {
  std::cout << "Static blocking unsupported for this compiler" << std::endl;
  return 0;
}
