#include "tile_view_refresh.hpp"

#include "../product/tile_texts.hpp"

namespace velmor {

bool refreshTileView(const ProductFile& file, ProductForm& form, int tile) {
  if (tile < 0 || static_cast<std::size_t>(tile) >= form.detailMaps.size()) return false;
  DetailMapView& view = form.detailMaps[static_cast<std::size_t>(tile)];
  const auto k = static_cast<std::size_t>(view.blockIndex);
  if (view.blockIndex <= 0 || k >= file.blocks.size()) return false;
  const TileSource source = tileSource(file, view);
  readTileBounds(source.reader, source.origin, view);
  return true;
}

}  // namespace velmor
