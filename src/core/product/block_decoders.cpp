// Decoders of the copyright, overview, detail-map, 0x52/0x53 and checksum blocks.
#include "../common/number_text.hpp"
#include "product_decoder.hpp"
#include "checksum_block.hpp"

namespace velmor {

namespace {
std::int64_t blockEnd(const ByteReader& r, std::int64_t o) { return o + 3 + r.bit2(o + 1); }
}  // namespace

void ProductDecoder::getcopyr(std::int64_t o, int index) {
  file_.copyrightIndex = index;
  const std::int64_t n = reader_.bit2(o + 1);
  const std::uint8_t code = reader_.dat(o + 3);
  form_.copyrightDisplay = code == 1 || code == 3;
  form_.copyrightPrint = code == 2 || code == 3;
  const std::uint8_t kind = reader_.dat(o + 4);
  if (kind == 1) form_.copyrightKind = CopyrightKind::Sources;
  else if (kind == 6) form_.copyrightKind = CopyrightKind::CopyrightInfo;
  form_.copyrightByte2Text = hexUpper(reader_.dat(o + 5));
  form_.copyrightByte3Text = hexUpper(reader_.dat(o + 6));
  // The last record is read up to the block's end, never into the next block.
  form_.copyrightText = text(reader_.gettext(o + 7, n - 3, blockEnd(reader_, o))) + kCrLf;
  form_.copyrightTextEnabled = form_.copyrightText.find("\u00A9") == std::string::npos;
}

void ProductDecoder::getoverview(std::int64_t o) {
  const std::int32_t mapNumber = bit4(o + 3);
  const std::int32_t parent = bit4(o + 7);
  const Bytes name = reader_.gettext(o + 27, 0, blockEnd(reader_, o));
  form_.overviewNumberText = hexUpper(mapNumber);
  form_.parentNumberText = std::to_string(parent);
  form_.overviewNameText = text(name);
  file_.nameFields[2] = {o, o + 27, name};

  const std::string north = formatDegrees(mapUnitsToDegrees(bit4(o + 11)));
  const std::string east = formatDegrees(eastMapUnitsToDegrees(bit4(o + 15)));
  const std::string south = formatDegrees(mapUnitsToDegrees(bit4(o + 19)));
  const std::string west = formatDegrees(mapUnitsToDegrees(bit4(o + 23)));

  appendReport("Overview------------------");
  appendReport("Mapnumber:" + decimalWithSign(mapNumber));
  appendReport("&" + hexUpper(static_cast<std::uint64_t>(o)));
  appendReport("Parentnumber:" + decimalWithSign(parent));
  appendReport(form_.overviewNameText);
  appendReport("N:" + north + ", E:" + east);
  appendReport("S:" + south + ", W:" + west);
  form_.overviewNorth = north;
  form_.overviewEast = east;
  form_.overviewSouth = south;
  form_.overviewWest = west;
}

float ProductDecoder::tileBound(std::int32_t units) {
  // Tiles of a grid share their edges, so most bounds were met just before.
  // A small table of recent values, not a map that grows with the file.
  BoundSlot& slot = boundCache_[static_cast<std::uint32_t>(units) * 2654435761u >> (32 - kBoundCacheBits)];
  if (!slot.used || slot.units != units) slot = {units, tileDegrees(units), true};
  return slot.degrees;
}

void ProductDecoder::getdetailmap(std::int64_t o, int k) {
  // A tile cut off by the end of the file is noted in the error text; its
  // missing bytes read as 0.
  const bool whole = reader_.inside(o, 27);
  if (!whole) bit4(o + 23);
  const auto bound = [this, whole](std::int64_t at) { return whole ? reader_.bit4Inside(at) : reader_.bit4(at); };

  DetailMapView view;
  view.blockIndex = k;
  view.blockOffset = static_cast<std::uint32_t>(o);
  view.north = tileBound(bound(o + 11));
  const std::int32_t east = bound(o + 15);
  view.east = east == kAntimeridianUnits ? eastTileDegrees(east) : tileBound(east);
  view.south = tileBound(bound(o + 19));
  view.west = tileBound(bound(o + 23));

  auto& b = file_.overallBounds;
  const float eastK = view.east * 1000.0f;
  const float westK = view.west * 1000.0f;
  const float northK = view.north * 1000.0f;
  const float southK = view.south * 1000.0f;
  if (eastK > b.greatestLongitude) b.greatestLongitude = eastK;
  if (westK > b.greatestLongitude) b.greatestLongitude = westK;
  if (westK < b.leastLongitude) b.leastLongitude = westK;
  if (northK > b.greatestLatitude) b.greatestLatitude = northK;
  if (southK < b.leastLatitude) b.leastLatitude = southK;
  if (keepTiles_) form_.detailMaps.push_back(view);
}

void ProductDecoder::decodeTileCopyright(std::int64_t o, std::string& box, bool& enabled, std::string& kept) {
  const std::int64_t n = reader_.bit2(o + 1);
  std::string value;
  if (reader_.dat(o + 4) != 1) value = text(reader_.gettext(o + 4, n - 1, blockEnd(reader_, o)));
  box = value + kCrLf;
  enabled = !containsNoCase(box, "garmin");
  kept = box;
}

void ProductDecoder::get52(std::int64_t o, int index) {
  file_.block52Index = index;
  decodeTileCopyright(o, form_.tileCopyright1, form_.tileCopyright1Enabled, file_.block52Text);
}

void ProductDecoder::get53(std::int64_t o, int index) {
  file_.block53Index = index;
  decodeTileCopyright(o, form_.tileCopyright2, form_.tileCopyright2Enabled, file_.block53Text);
}

std::string ProductDecoder::checksum(std::int64_t p) {
  if (!reader_.inside(p, static_cast<std::int64_t>(kCrcReadSpan))) {
    file_.errorText += "crc error";
    return "";
  }
  std::string line = "CRC32:";
  for (std::size_t at : kCrcBytePositions) line += hexByte2(reader_.dat(p + static_cast<std::int64_t>(at))) + " ";
  line += " @ &" + hexUpper(static_cast<std::uint64_t>(p)) + kCrLf;
  file_.report.insert(0, line);
  return line;
}

}  // namespace velmor
