// Writes the synthetic 25 MiB product files used by the benchmarks:
//   velmor-make-large-product OUT.tdb [grid|tiny-tiles|unknown-blocks]
// grid (the default) is a well-formed product of about 305,000 tiles; the
// other two are hostile files of millions of minimal blocks.
#include <iostream>
#include <string>

#include "support/large_product.hpp"

int main(int argc, char** argv) {
  const std::string kind = argc == 3 ? argv[2] : "grid";
  if (argc < 2 || argc > 3 || (kind != "grid" && kind != "tiny-tiles" && kind != "unknown-blocks")) {
    std::cerr << "usage: velmor-make-large-product OUT.tdb [grid|tiny-tiles|unknown-blocks]\n";
    return 2;
  }
  if (kind == "grid") {
    std::cout << argv[1] << ": " << velmor::bench::writeLargeProduct(argv[1]) << " tiles\n";
    return 0;
  }
  const auto crafted =
      kind == "tiny-tiles" ? velmor::bench::CraftedKind::TinyTiles : velmor::bench::CraftedKind::UnknownBlocks;
  std::cout << argv[1] << ": " << velmor::bench::writeCraftedProduct(argv[1], crafted) << " " << kind << "\n";
  return 0;
}
