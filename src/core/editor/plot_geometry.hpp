#pragma once
// Where the plot draws each tile: a rectangle and a clickable label, in
// twips, from the product's overall bounds, the tile's bounds, the zoom
// factor, the pan offsets and the size of the drawing area.
#include <cstdint>
#include <span>
#include <vector>

#include "../product/product_file.hpp"
#include "../product/detail_map_view.hpp"

namespace velmor {

// A tile's bounds in thousandths of a degree, as its texts show them.
struct PlotTile {
  double north = 0, east = 0, south = 0, west = 0;
  bool valid = false;
};

// Works the bounds out once; the plot reuses the result on every redraw.
PlotTile plotTile(const DetailMapView& view);
std::vector<PlotTile> plotTiles(std::span<const DetailMapView> views);

struct PlotArea {
  int width = 0;   // W, twips
  int height = 0;  // H, twips
  float zoom = 1.0f;
  int panX = 0;  // twips
  int panY = 0;
};

// The values shared by every tile of one redraw.
struct PlotFrame {
  int cx = 0, cy = 0;  // centre of the area
  int w = 0, h = 0;    // 98 % of the area, times the zoom
  double dx = 1, dy = 1;
  int panX = 0, panY = 0;
  double west = 0, east = 0, north = 0, south = 0;
};

PlotFrame plotFrame(const OverallBounds& bounds, const PlotArea& area);

struct PlotBox {
  // The outline runs from (x2, y2) to (x1, y1): x2 left, x1 right, y2 bottom, y1 top.
  double x1 = 0, y1 = 0, x2 = 0, y2 = 0;
  // The label over it.
  double left = 0, top = 0, width = 0, height = 0;
  std::uint32_t colour = 0;  // 0x00BBGGRR
  bool drawn = false;
};

PlotBox plotBox(const PlotFrame& frame, const PlotTile& tile, std::size_t index);
std::vector<PlotBox> plotGeometry(const OverallBounds& bounds, std::span<const PlotTile> tiles, const PlotArea& area);

// What the plot keeps of a box between redraws: its label alone, which is
// all that drawing and clicks need, for products of millions of tiles.
struct PlotLabel {
  double left = 0, top = 0, width = 0, height = 0;
  bool drawn = false;
};
// The labels of every tile, written over `labels` in place, so that a
// re-plot never holds two lists at once.
void plotLabels(const OverallBounds& bounds, std::span<const PlotTile> tiles, const PlotArea& area,
                std::vector<PlotLabel>& labels);

// Entry i of the classic 16-colour palette (0..15) as 0x00BBGGRR.
std::uint32_t classicColour(int index);
inline std::uint32_t tileColour(std::size_t tile) { return classicColour(static_cast<int>(tile % 14)); }

}  // namespace velmor
