#include "plot_raster.hpp"

#include <algorithm>
#include <cmath>

namespace velmor {

namespace {

// The pixel a coordinate falls in, held within [low, high] so that a box
// far outside a zoomed picture never overflows an int.
int pixel(double units, double unitsPerPixel, int low, int high) {
  const double p = std::floor(units / unitsPerPixel);
  return static_cast<int>(std::clamp(p, static_cast<double>(low), static_cast<double>(high)));
}

}  // namespace

OutlineRaster rasterOutlines(std::span<const PlotLabel> boxes, int width, int height, double unitsPerPixel) {
  OutlineRaster raster;
  if (width <= 0 || height <= 0 || unitsPerPixel <= 0) return raster;
  raster.width = width;
  raster.height = height;
  const auto w = static_cast<std::size_t>(width);
  const auto h = static_cast<std::size_t>(height);
  raster.colour.assign(w * h, -1);

  // Difference rows: +1 where an edge starts, -1 after it ends; a running
  // sum then tells for each pixel whether any edge of the batch covers it.
  std::vector<std::int32_t> across((w + 1) * h);  // horizontal edges, one row per pixel row
  std::vector<std::int32_t> down((h + 1) * w);    // vertical edges, by pixel row, one entry per column
  for (int batch = 0; batch < kOutlineBatches; ++batch) {
    bool any = false;
    std::fill(across.begin(), across.end(), 0);
    std::fill(down.begin(), down.end(), 0);
    for (std::size_t i = static_cast<std::size_t>(batch); i < boxes.size(); i += kOutlineBatches) {
      const PlotLabel& b = boxes[i];
      if (!b.drawn) continue;
      // Held one pixel beyond the picture on each side: an edge there is not drawn.
      const int left = pixel(b.left, unitsPerPixel, -1, width);
      const int right = pixel(b.left + b.width, unitsPerPixel, -1, width);
      const int top = pixel(b.top, unitsPerPixel, -1, height);
      const int bottom = pixel(b.top + b.height, unitsPerPixel, -1, height);
      const int x0 = std::max(left, 0), x1 = std::min(right, width - 1);
      const int y0 = std::max(top, 0), y1 = std::min(bottom, height - 1);
      if (x0 > x1 || y0 > y1) continue;  // wholly outside
      any = true;
      for (int row : {top, bottom}) {
        if (row < 0 || row >= height) continue;
        std::int32_t* line = across.data() + static_cast<std::size_t>(row) * (w + 1);
        ++line[x0];
        --line[x1 + 1];
      }
      for (int column : {left, right}) {
        if (column < 0 || column >= width) continue;
        ++down[static_cast<std::size_t>(y0) * w + static_cast<std::size_t>(column)];
        --down[static_cast<std::size_t>(y1 + 1) * w + static_cast<std::size_t>(column)];
      }
    }
    if (!any) continue;
    const auto mark = static_cast<std::int8_t>(batch);
    for (std::size_t y = 0; y < h; ++y) {
      const std::int32_t* line = across.data() + y * (w + 1);
      std::int8_t* out = raster.colour.data() + y * w;
      std::int32_t covered = 0;
      for (std::size_t x = 0; x < w; ++x) {
        covered += line[x];
        if (covered > 0) out[x] = mark;
      }
    }
    // The vertical edges, row by row with a running sum per column.
    std::vector<std::int32_t> columnSum(w, 0);
    for (std::size_t y = 0; y < h; ++y) {
      const std::int32_t* line = down.data() + y * w;
      std::int8_t* out = raster.colour.data() + y * w;
      for (std::size_t x = 0; x < w; ++x) {
        columnSum[x] += line[x];
        if (columnSum[x] > 0) out[x] = mark;
      }
    }
  }
  return raster;
}

}  // namespace velmor
