#pragma once
#include <cstdint>

namespace velmor {

// What the detail-map list and the plot keep of one tile. A product file of
// 25 MB can hold millions of tiles, so the record stays small: the texts of
// a tile (list entry, caption, info text...) are made from its block when
// they are shown (tile_texts.hpp), never kept for every tile.
struct DetailMapView {
  int blockIndex = 0;             // index of the tile's block in ProductFile::blocks
  std::uint32_t blockOffset = 0;  // file offset of that block as loaded
  // Single-precision bounds in degrees, as the texts show them.
  float north = 0, east = 0, south = 0, west = 0;
};

}  // namespace velmor
