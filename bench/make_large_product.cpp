// Writes the synthetic 25 MiB product file used by the benchmarks:
//   velmor-make-large-product OUT.tdb
#include <iostream>

#include "support/large_product.hpp"

int main(int argc, char** argv) {
  if (argc != 2) {
    std::cerr << "usage: velmor-make-large-product OUT.tdb\n";
    return 2;
  }
  std::size_t tiles = velmor::bench::writeLargeProduct(argv[1]);
  std::cout << argv[1] << ": " << tiles << " tiles\n";
  return 0;
}
