#pragma once
// Checking a product from its files alone, before it is installed: the
// causes map makers meet most when a map does not show in MapSource or
// BaseCamp (a tile missing or rebuilt since the product file was made, an
// overview that does not cover the tiles, an index or a TYP of another
// family, the map compiler's default family id).
#include <cstdint>
#include <string>
#include <vector>

#include "../common/prompter.hpp"
#include "finding.hpp"

namespace velmor {

// What the installed-products check needs to know of the product checked.
struct CheckedProduct {
  std::string path;  // the product file
  std::string seriesName;
  std::uint16_t familyId = 0;
  std::uint16_t productId = 0;
  std::vector<std::int32_t> tiles;  // detail-map numbers, in file order
};

struct ProductCheck {
  Findings findings;
  bool productRead = false;  // `product` holds the product file's ids and tiles
  CheckedProduct product;
};

// Checks the product file at `productPath` against `files` (full paths; none:
// every regular file in the product file's folder). Nothing is ever written.
// Files that cannot be read (missing, a FIFO, no permission) are findings,
// never a stop.
ProductCheck checkProductFiles(const std::string& productPath, const std::vector<std::string>& files,
                               Activity& activity = quietActivity());

// The family id mkgmap gives a product that was not told one: every map
// built that way clashes with every other.
inline constexpr std::uint16_t kMapCompilerDefaultFamilyId = 6324;

}  // namespace velmor
