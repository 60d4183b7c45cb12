#include "tile_view_refresh.hpp"

#include "../product/product_decoder.hpp"

namespace velmor {

bool refreshTileView(const ProductFile& file, ProductForm& form, int tile) {
  if (tile < 0 || static_cast<std::size_t>(tile) >= form.detailMaps.size() || file.blocks.empty()) return false;
  DetailMapView& view = form.detailMaps[static_cast<std::size_t>(tile)];
  const auto k = static_cast<std::size_t>(view.blockIndex);
  if (view.blockIndex <= 0 || k >= file.blocks.size()) return false;

  // The decoder reads the code page from the header, so it gets the file's
  // own header block followed by the tile's new block.
  ProductFile scratch;
  scratch.data = file.blocks[0];
  const auto at = static_cast<std::int64_t>(scratch.data.size());
  scratch.data.insert(scratch.data.end(), file.blocks[k].begin(), file.blocks[k].end());
  ProductForm scratchForm;
  ProductDecoder decoder(scratch, scratchForm);
  decoder.decodeHeader();
  scratchForm.detailMaps.clear();
  decoder.getdetailmap(at, view.blockIndex);
  if (scratchForm.detailMaps.size() != 1) return false;

  DetailMapView fresh = std::move(scratchForm.detailMaps.front());
  fresh.blockOffset = view.blockOffset;
  // The info text gives the file offset of the subfile count; shift it from
  // the scratch data to the block's place in the file.
  const std::string marker = "\r\n\r\n&";
  const std::size_t hexStart = fresh.infoText.find(marker);
  if (hexStart != std::string::npos) {
    const std::size_t from = hexStart + marker.size();
    const std::size_t to = fresh.infoText.find(' ', from);
    std::uint64_t offset = 0;
    if (to != std::string::npos && parseHex(std::string_view(fresh.infoText).substr(from, to - from), offset)) {
      const auto real = static_cast<std::uint64_t>(view.blockOffset) + offset - static_cast<std::uint64_t>(at);
      fresh.infoText.replace(from, to - from, hexUpper(real));
    }
  }
  view = std::move(fresh);
  return true;
}

}  // namespace velmor
