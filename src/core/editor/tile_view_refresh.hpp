#pragma once
// After a tile's block was replaced byte by byte, its list entry, caption,
// bounds and info text are decoded again from the new bytes, so that what
// the window shows (and what the description editor compares with) is what
// the file will hold.
#include "../product/product_file.hpp"
#include "../product/product_form.hpp"

namespace velmor {

// Returns false when the tile or its block does not exist.
bool refreshTileView(const ProductFile& file, ProductForm& form, int tile);

}  // namespace velmor
