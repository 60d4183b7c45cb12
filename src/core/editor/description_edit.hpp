#pragma once
// The "Edit Description" dialog's rule: a tile's new description goes into
// the description field of that tile's block and nowhere else.
#include <string>

#include "../product/product_file.hpp"
#include "../product/product_form.hpp"
#include "../common/prompter.hpp"

namespace velmor {

enum class DescriptionEdit { Changed, Unchanged, Refused };

// What the dialog's text box shows when it opens: the selected entry's text.
std::string descriptionDialogText(const ProductFile& file, const ProductForm& form);

// The dialog's left edge beside the tile: left of the label, never off the
// left of the screen (all in the same unit).
int descriptionDialogLeft(int plotLeft, int labelLeft, int dialogWidth);

// "OK" in the dialog for tile `tile` with the typed text.
DescriptionEdit editDescription(ProductFile& file, ProductForm& form, int tile, const std::string& typed,
                                Prompter& prompter);

// Trims blanks, tabs and line breaks at both ends.
std::string trimText(const std::string& text);

}  // namespace velmor
