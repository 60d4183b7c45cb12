#pragma once
// After a tile's block was replaced byte by byte, its bounds are read again
// from the new bytes, so that the plot shows what the file will hold. Its
// texts need no refresh: they are made from the block when shown.
#include "../product/product_file.hpp"
#include "../product/product_form.hpp"

namespace velmor {

// Returns false when the tile or its block does not exist.
bool refreshTileView(const ProductFile& file, ProductForm& form, int tile);

}  // namespace velmor
