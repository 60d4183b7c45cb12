#include "plot_navigation.hpp"

#include <cmath>

#include "tile_selection.hpp"

namespace velmor {

namespace {

// The buttons step by tenths; keeping the factor on a tenth stops float
// error from drifting it, so five "+" and five "-" come back to exactly 1.
float onTenth(float zoom) { return std::round(zoom * 10.0f) / 10.0f; }

void shiftOffsets(ProductForm& form, int plotWidth, int sign) {
  const double width = plotWidth;
  const double step = std::fabs(static_cast<double>(form.zoom) * width - width) / 10000.0;
  form.panX = static_cast<int>(std::nearbyint(form.panX + sign * step));
  form.panY = static_cast<int>(std::nearbyint(form.panY + sign * step));
}

void afterZoom(ProductForm& form, int selectedEntry) {
  plotSelection(form, true);
  if (selectedEntry >= 0 && static_cast<std::size_t>(selectedEntry) < form.detailMaps.size()) {
    form.tileState.highlightLabel = selectedEntry + 1;
  }
}

}  // namespace

void zoomIn(ProductForm& form, int plotWidth) {
  const int selected = form.tileState.listIndex;
  form.zoom = onTenth(form.zoom + kZoomStep);
  shiftOffsets(form, plotWidth, -1);
  afterZoom(form, selected);
}

void zoomOut(ProductForm& form, int plotWidth) {
  const int selected = form.tileState.listIndex;
  form.zoom = onTenth(form.zoom - kZoomStep);
  if (form.zoom < 0) form.zoom = 0;
  shiftOffsets(form, plotWidth, +1);
  afterZoom(form, selected);
}

bool panKey(ProductForm& form, PanKey key, bool textBoxHasFocus) {
  if (textBoxHasFocus) return false;
  switch (key) {
    case PanKey::Left: form.panX += kPanStep; break;
    case PanKey::Right: form.panX -= kPanStep; break;
    case PanKey::Up: form.panY += kPanStep; break;
    case PanKey::Down: form.panY -= kPanStep; break;
  }
  plotSelection(form, true);
  return true;
}

void plotSelection(ProductForm& form, bool selectInList) {
  if (form.detailMaps.empty()) return;
  if (selectInList) selectMap(form, form.selectedMap);
  if (static_cast<std::size_t>(form.selectedMap) < form.detailMaps.size() && form.selectedMap >= 0) {
    form.tileState.highlightLabel = form.selectedMap + 1;
  }
}

}  // namespace velmor
