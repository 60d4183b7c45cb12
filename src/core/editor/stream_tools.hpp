#pragma once
// The "Copy Stream", "Paste Stream" and "Recalculate" buttons beside the
// header's extra-byte boxes and the overview bounds.
#include "../product/product_file.hpp"
#include "../product/product_form.hpp"

namespace velmor {

// "n,box1,box2,...,boxn," with n = tailBoxCount - 1, into form.streamBuffer.
void copyStream(ProductForm& form);

// Puts the stream back into the boxes. Does nothing with an empty buffer or
// one that does not hold a count from -1 to 99 followed by that many boxes.
// Returns true when the boxes changed (the model is then marked modified, so
// the next save writes them).
bool pasteStream(ProductFile& file, ProductForm& form);

// The overview bounds boxes from the tiles' overall bounds, in degrees with
// at most five decimals. Does nothing when the product has no tiles.
bool recalculate(ProductFile& file, ProductForm& form);

// value (thousandths of a degree) x 100, truncated, / 100000.
double recalculatedDegrees(double thousandths);

}  // namespace velmor
