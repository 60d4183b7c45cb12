#pragma once
// The texts of one tile, made from its block when they are shown. Keeping
// them for every tile would cost many times the file itself on a product of
// millions of small tiles; making one takes microseconds.
#include <cstdint>
#include <string>

#include "../common/byte_reader.hpp"
#include "product_file.hpp"
#include "product_form.hpp"

namespace velmor {

struct TileTexts {
  std::string listText;      // the description (UTF-8)
  std::string imgName;       // map number in decimal
  std::string boundsRecord;  // north#east#south#west#description#
  std::string infoText;

  std::string caption() const { return listText + "\r\n" + imgName; }
  std::string tooltip() const { return listText + "\r\n\r\n" + "right click for more"; }
};

// Where a tile's fields are read: the file as loaded while the tile's block
// is unchanged (a block too short for its fields reads the bytes after it,
// as the loader did), the block alone once it was replaced. `origin` is the
// offset of the block's type byte in `reader`; `shift` turns offsets in
// `reader` into file offsets.
struct TileSource {
  ByteReader reader;
  std::int64_t origin = 0;
  std::int64_t shift = 0;
};
TileSource tileSource(const ProductFile& file, const DetailMapView& view);

// Tile `tile` of form.detailMaps; a tile that does not exist has empty texts.
TileTexts tileTexts(const ProductFile& file, const ProductForm& form, int tile);
// The list entry, the IMG name and the label caption (both, on two lines)
// alone: cheap enough for every tile of a search.
std::string tileListText(const ProductFile& file, const ProductForm& form, int tile);
std::string tileImgName(const ProductFile& file, const ProductForm& form, int tile);
// The map number the IMG name is made of, as the block holds it (signed 32 bits).
std::int32_t tileMapNumber(const ProductFile& file, const ProductForm& form, int tile);
std::string tileCaption(const ProductFile& file, const ProductForm& form, int tile);

// The bounds a tile's block holds, in the decoder's single-precision degrees.
void readTileBounds(const ByteReader& reader, std::int64_t origin, DetailMapView& view);

}  // namespace velmor
