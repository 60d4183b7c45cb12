#pragma once
// The outlines of every tile as one picture of palette entries. Drawing
// millions of outlines one by one costs their length in pixels (a crafted
// file of four million tiles, each as wide as the plot, takes minutes);
// here each outline costs four additions whatever its size, and the picture
// a pass over its pixels per colour.
#include <cstdint>
#include <span>
#include <vector>

#include "plot_geometry.hpp"

namespace velmor {

struct OutlineRaster {
  int width = 0;
  int height = 0;
  // Row by row: the colour batch (tile index modulo 14) drawn last at the
  // pixel, as batches drawn one after the other in palette order leave it;
  // -1 where no outline passes.
  std::vector<std::int8_t> colour;

  int at(int x, int y) const {
    return colour[static_cast<std::size_t>(y) * static_cast<std::size_t>(width) + static_cast<std::size_t>(x)];
  }
};

inline constexpr int kOutlineBatches = 14;

// Every drawn label as a one-pixel outline on a picture of width x height
// pixels; box coordinates are divided by `unitsPerPixel` and an edge lies
// on the pixel its coordinate falls in (as an aliased painter places it).
OutlineRaster rasterOutlines(std::span<const PlotLabel> boxes, int width, int height, double unitsPerPixel);

}  // namespace velmor
