#pragma once
// Keeps the detail-map list and the tile labels of the plot in step: one
// current tile, the panel text of the last click, and the z-order of the
// labels so that overlapping tiles can all be reached.
#include <span>
#include <string>

#include "../common/prompter.hpp"
#include "../product/product_file.hpp"
#include "../product/product_form.hpp"

namespace velmor {

// Makes tile i current: list entry i selected, the highlight on label i + 1.
void selectMap(ProductForm& form, int tile);

// A click on list entry i (-1 when the click left nothing selected).
void listClick(const ProductFile& file, ProductForm& form, int tile);

// A left click on label n (1-based).
void labelLeftClick(const ProductFile& file, ProductForm& form, int label);

// A double click on a list entry or a label: true when the "Edit Description"
// dialog may open; otherwise the user is told to select a tile first.
bool mayEditDescription(const ProductForm& form, Prompter& prompter);

// Stacking depth of label n: the label with the greatest depth lies on top.
std::int64_t labelDepth(const ProductForm& form, int label);
// The top-most of the labels under a point (0 when the list is empty).
int topLabel(const ProductForm& form, std::span<const int> labelsUnderPoint);

// Panel texts of the two kinds of click, made from the tile's block.
std::string listPanelText(const ProductFile& file, const ProductForm& form, int tile);
std::string labelPanelText(const ProductFile& file, const ProductForm& form, int tile);
// Rebuilds the panel text when it describes `tile` (after the tile changed).
void refreshPanelText(const ProductFile& file, ProductForm& form, int tile);

// Splits at every occurrence of `separator` (a trailing separator gives no
// empty last field).
std::vector<std::string> splitFields(const std::string& text, const std::string& separator);

}  // namespace velmor
