#include "plot_geometry.hpp"

#include <cmath>
#include <cstring>

#include "../common/number_text.hpp"

namespace velmor {

namespace {

// Assignments to the plot's integer values round to the nearest, halves to even.
int toInt(double value) { return static_cast<int>(std::nearbyint(value)); }

constexpr std::uint32_t rgb(std::uint32_t r, std::uint32_t g, std::uint32_t b) { return r | g << 8 | b << 16; }

}  // namespace

std::uint32_t classicColour(int index) {
  static constexpr std::uint32_t palette[16] = {
      rgb(0, 0, 0),     rgb(0, 0, 128),     rgb(0, 128, 0),     rgb(0, 128, 128),  rgb(128, 0, 0), rgb(128, 0, 128),
      rgb(128, 128, 0), rgb(192, 192, 192), rgb(128, 128, 128), rgb(0, 0, 255),    rgb(0, 255, 0), rgb(0, 255, 255),
      rgb(255, 0, 0),   rgb(255, 0, 255),   rgb(255, 255, 0),   rgb(255, 255, 255)};
  return palette[static_cast<std::size_t>(index & 15)];
}

PlotTile plotTile(const DetailMapView& view) {
  return {shownDegrees(view.north) * 1000.0, shownDegrees(view.east) * 1000.0, shownDegrees(view.south) * 1000.0,
          shownDegrees(view.west) * 1000.0, true};
}

std::vector<PlotTile> plotTiles(std::span<const DetailMapView> views) {
  // Tiles of a grid share their edges: a small table of recent bounds
  // saves most of the text work.
  constexpr int kBits = 12;
  struct Slot {
    float degrees = 0;
    double shown = 0;
    bool used = false;
  };
  std::vector<Slot> recent(1u << kBits);
  auto shown = [&recent](float degrees) {
    std::uint32_t bits = 0;
    std::memcpy(&bits, &degrees, sizeof bits);
    Slot& slot = recent[bits * 2654435761u >> (32 - kBits)];
    // Compared by bits: -0 and 0 are written differently.
    std::uint32_t slotBits = 0;
    std::memcpy(&slotBits, &slot.degrees, sizeof slotBits);
    if (!slot.used || slotBits != bits) slot = {degrees, shownDegrees(degrees), true};
    return slot.shown * 1000.0;
  };
  std::vector<PlotTile> tiles;
  tiles.reserve(views.size());
  for (const DetailMapView& view : views) {
    tiles.push_back({shown(view.north), shown(view.east), shown(view.south), shown(view.west), true});
  }
  return tiles;
}

PlotFrame plotFrame(const OverallBounds& bounds, const PlotArea& area) {
  PlotFrame f;
  const double zoom = area.zoom < 1.0f ? 1.0 : static_cast<double>(area.zoom);
  f.cx = toInt(area.width / 2.0);
  f.cy = toInt(area.height / 2.0);
  f.w = toInt(area.width * 0.98 * zoom);
  f.h = toInt(area.height * 0.98 * zoom);
  f.west = bounds.leastLongitude;
  f.east = bounds.greatestLongitude;
  f.north = bounds.greatestLatitude;
  f.south = bounds.leastLatitude;
  f.dx = std::fabs(f.west - f.east);
  f.dy = std::fabs(f.north - f.south);
  // A product one tile wide or high still draws: its extent counts as one.
  if (f.dx == 0) f.dx = 1;
  if (f.dy == 0) f.dy = 1;
  f.panX = area.panX;
  f.panY = area.panY;
  return f;
}

PlotBox plotBox(const PlotFrame& f, const PlotTile& tile, std::size_t index) {
  PlotBox box;
  box.colour = tileColour(index);
  if (!tile.valid) return box;
  const double t = std::fabs(tile.west - f.west);
  const double u = tile.east >= 0 ? std::fabs(tile.east - f.west) : f.dx - std::fabs(tile.east - f.east);
  const double left = f.cx - f.w / 2.0;
  box.x2 = left + f.w * t / f.dx;
  box.x1 = left + f.w * u / f.dx;
  // The tile's north keeps its sign: a tile south of the equator is placed
  // by its distance from the product's south edge like any other.
  box.y1 = f.cy + f.h / 2.0 - f.h * std::fabs(tile.north - f.south) / f.dy;
  box.y2 = f.cy - f.h / 2.0 + f.h * std::fabs(f.north - tile.south) / f.dy;
  box.x1 += f.panX;
  box.x2 += f.panX;
  box.y1 += f.panY;
  box.y2 += f.panY;
  // A top above the picture: the tile stands as a square on its bottom edge.
  if (box.y1 < 0) box.y1 = box.y2 - std::fabs(box.x2 - box.x1);
  box.width = std::fabs(box.x2 - box.x1);
  box.height = std::fabs(box.y2 - box.y1);
  box.left = box.x2;
  box.top = box.y2 - box.height;
  box.drawn = true;
  return box;
}

std::vector<PlotBox> plotGeometry(const OverallBounds& bounds, std::span<const PlotTile> tiles, const PlotArea& area) {
  std::vector<PlotBox> boxes;
  if (tiles.empty()) return boxes;
  const PlotFrame frame = plotFrame(bounds, area);
  boxes.reserve(tiles.size());
  for (std::size_t i = 0; i < tiles.size(); ++i) boxes.push_back(plotBox(frame, tiles[i], i));
  return boxes;
}

void plotLabels(const OverallBounds& bounds, std::span<const PlotTile> tiles, const PlotArea& area,
                std::vector<PlotLabel>& labels) {
  labels.resize(tiles.size());
  if (tiles.empty()) return;
  const PlotFrame frame = plotFrame(bounds, area);
  for (std::size_t i = 0; i < tiles.size(); ++i) {
    const PlotBox box = plotBox(frame, tiles[i], i);
    labels[i] = {box.left, box.top, box.width, box.height, box.drawn};
  }
}

}  // namespace velmor
