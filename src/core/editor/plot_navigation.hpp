#pragma once
// Zoom buttons and arrow-key panning of the plot, on the form's zoom factor
// and pan offsets (twips).
#include "../product/product_form.hpp"

namespace velmor {

enum class PanKey { Left, Up, Right, Down };

inline constexpr float kZoomStep = 0.1f;
inline constexpr int kPanStep = 100;  // twips

// "+" and "-": the zoom moves by one step and both offsets by
// |zoom x W - W| / 10000 (W the plot's width in twips). Then the plot is
// redrawn with the current tile selected (plotSelection).
void zoomIn(ProductForm& form, int plotWidth);
void zoomOut(ProductForm& form, int plotWidth);

// An arrow key; ignored (false) while an editable text box has the focus.
bool panKey(ProductForm& form, PanKey key, bool textBoxHasFocus);

// What a redraw with the select-in-list flag does to the selection: the
// current tile's list entry is selected and the highlight sits on its label.
void plotSelection(ProductForm& form, bool selectInList);

}  // namespace velmor
