#include "tile_texts.hpp"

#include "code_page.hpp"
#include "../common/number_text.hpp"
#include "tile_layout.hpp"

namespace velmor {

namespace {

const DetailMapView* viewOf(const ProductForm& form, int tile) {
  if (tile < 0 || static_cast<std::size_t>(tile) >= form.detailMaps.size()) return nullptr;
  return &form.detailMaps[static_cast<std::size_t>(tile)];
}

std::string description(const TileSource& s, const CodePage& page) {
  const std::int64_t end = s.origin + 3 + s.reader.bit2(s.origin + 1);
  return page.decode(s.reader.gettext(s.origin + 27, 0, end));
}

}  // namespace

TileSource tileSource(const ProductFile& file, const DetailMapView& view) {
  const auto k = static_cast<std::size_t>(view.blockIndex);
  if (view.blockIndex <= 0 || k >= file.blocks.size()) return {};
  if (file.blocks.loadedAt(k, view.blockOffset)) return {ByteReader(file.blocks.source()), view.blockOffset, 0};
  return {ByteReader(file.blocks[k]), 0, view.blockOffset};
}

void readTileBounds(const ByteReader& reader, std::int64_t origin, DetailMapView& view) {
  view.north = tileDegrees(reader.bit4(origin + 11));
  view.east = eastTileDegrees(reader.bit4(origin + 15));
  view.south = tileDegrees(reader.bit4(origin + 19));
  view.west = tileDegrees(reader.bit4(origin + 23));
}

std::string tileListText(const ProductFile& file, const ProductForm& form, int tile) {
  const DetailMapView* view = viewOf(form, tile);
  if (view == nullptr) return {};
  return description(tileSource(file, *view), CodePage::get(form.textCodePage));
}

std::int32_t tileMapNumber(const ProductFile& file, const ProductForm& form, int tile) {
  const DetailMapView* view = viewOf(form, tile);
  if (view == nullptr) return 0;
  const TileSource s = tileSource(file, *view);
  return s.reader.bit4(s.origin + 3);
}

std::string tileImgName(const ProductFile& file, const ProductForm& form, int tile) {
  if (viewOf(form, tile) == nullptr) return {};
  return std::to_string(tileMapNumber(file, form, tile));
}

std::string tileCaption(const ProductFile& file, const ProductForm& form, int tile) {
  const DetailMapView* view = viewOf(form, tile);
  if (view == nullptr) return {};
  const TileSource s = tileSource(file, *view);
  return description(s, CodePage::get(form.textCodePage)) + kCrLf + std::to_string(s.reader.bit4(s.origin + 3));
}

TileTexts tileTexts(const ProductFile& file, const ProductForm& form, int tile) {
  TileTexts texts;
  const DetailMapView* view = viewOf(form, tile);
  if (view == nullptr) return texts;
  const TileSource s = tileSource(file, *view);
  const CodePage& page = CodePage::get(form.textCodePage);
  const TileLayout layout = readTileLayout(s.reader, s.origin);
  texts.listText = page.decode(layout.description);
  texts.imgName = std::to_string(layout.mapNumber);

  std::string& record = texts.boundsRecord;
  for (float bound : {view->north, view->east, view->south, view->west}) {
    record += formatDegrees(static_cast<double>(bound), true);
    record += '#';
  }
  record += texts.listText;
  record += '#';

  std::string& info = texts.infoText;
  info += "Overview Map Number:";
  info += hexUpper(layout.parent);
  info += "\r\n\r\n&";
  info += hexUpper(static_cast<std::uint64_t>(layout.countOffset + s.shift));
  info += " Subfiles:";
  info += decimalWithSign(layout.count);
  info += kCrLf;
  for (const TileSubfile& sub : layout.subfiles) {
    if (sub.name) info += page.decode(*sub.name);
    else info += '?';
    info += ":&";
    info += hexUpper(sub.size);
    info += kCrLf;
  }
  return texts;
}

}  // namespace velmor
