// Stands in for a blocked-vector example: blocked storage is not supported.
#include <iostream>

int main() {
  std::cout << "Blocking unsupported for this compiler" << std::endl;
  return 0;
}
