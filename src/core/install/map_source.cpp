#include "map_source.hpp"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdint>

#include "../common/prompter.hpp"
#include "../platform/file_services.hpp"
#include "../common/bytes.hpp"
#include "../product/code_page.hpp"
#include "../common/number_text.hpp"
#include "../product/product_file.hpp"
#include "../product/product_form.hpp"
#include "../product/tile_texts.hpp"

namespace velmor {

namespace {

// How far a tile's outline reaches past its bounds, and how much the
// background is moved in from the overview bounds north-south and out
// east-west.
constexpr double kTileGrowth = 0.1758;
constexpr double kBackgroundShift = 0.2;

const char* const kHeader[] = {"[IMG ID]",       "ID=",           "Name=Preview Map", ";LBLcoding=9",
                               ";CodePage=1252", "Preprocess=N",  "Preview=Y",        "TreSize=1024",
                               "TreMargin=0.0",  "RgnLimit=5000", "Levels=2",         "Level0=15",
                               "Level1=13",      "Zoom0=0",       "Zoom1=1",          "[END-IMG ID]"};

// Round to 7 decimals, halves to the even neighbour.
double roundSeventh(double value) { return std::nearbyint(value * 10000000.0) / 10000000.0; }

// A map compiler refuses a point past the poles or the antimeridian: a
// product that reaches them would otherwise outline a background from -180.2.
double clampLongitude(double value) { return std::clamp(value, -180.0, 180.0); }
double clampLatitude(double value) { return std::clamp(value, -90.0, 90.0); }

double numberOr0(const std::string& text) {
  const std::optional<double> value = parseNumber(text);
  return value && std::isfinite(*value) ? *value : 0.0;
}

// The description without line breaks or other control characters: none
// may start a line of its own in the map source.
std::string labelText(const std::string& description) {
  std::string out;
  out.reserve(description.size());
  for (std::size_t at = 0; at < description.size();) {
    const char32_t ch = nextUtf8(description, at);
    if (ch < 0x20 || (ch >= 0x7F && ch <= 0x9F) || ch == 0x2028 || ch == 0x2029 || ch == 0xFFFD) continue;
    appendUtf8(out, ch);
  }
  return out;
}

std::string encodeLabel(const std::string& utf8, LabelEncoding encoding, const CodePage& page) {
  if (encoding == LabelEncoding::Utf8) return utf8;
  if (std::optional<Bytes> bytes = page.encode(utf8)) return std::string(bytes->begin(), bytes->end());
  // The list's texts come from the product in its code page, so every
  // character has a byte; one that has none is marked, not dropped.
  std::string out;
  for (std::size_t at = 0; at < utf8.size();) {
    const std::optional<std::uint8_t> byte = page.byteFor(nextUtf8(utf8, at));
    out.push_back(byte ? static_cast<char>(*byte) : '?');
  }
  return out;
}

struct Bound {
  const std::string* text;
  const char* name;
};

}  // namespace

std::string plainDecimal(double value) {
  if (value == 0 || !std::isfinite(value)) return "0";
  // 15 significant digits as fixed decimals: as many decimals as the
  // integer part leaves of them.
  const int magnitude = static_cast<int>(std::floor(std::log10(std::fabs(value))));
  const int decimals = std::max(0, 14 - magnitude);
  char buffer[400];
  const auto result = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed, decimals);
  std::string text(buffer, result.ptr);
  if (text.find('.') != std::string::npos) {
    while (text.back() == '0') text.pop_back();
    if (text.back() == '.') text.pop_back();
  }
  if (text == "-0") text = "0";
  return text;
}

PreviewSource previewSource(const ProductFile& file, const ProductForm& form) {
  PreviewSource source;
  source.overviewNumberText = form.overviewNumberText;
  source.north = form.overviewNorth;
  source.east = form.overviewEast;
  source.south = form.overviewSouth;
  source.west = form.overviewWest;
  source.codePage = form.textCodePage;
  source.tiles.reserve(form.detailMaps.size());
  for (std::size_t t = 0; t < form.detailMaps.size(); ++t) {
    const DetailMapView& view = form.detailMaps[t];
    const int tile = static_cast<int>(t);
    PreviewTile entry;
    entry.description = tileListText(file, form, tile);
    entry.mapNumber = tileImgName(file, form, tile);
    // The bounds list line: the degree texts the tile's record shows.
    entry.north = formatDegrees(static_cast<double>(view.north), true);
    entry.east = formatDegrees(static_cast<double>(view.east), true);
    entry.south = formatDegrees(static_cast<double>(view.south), true);
    entry.west = formatDegrees(static_cast<double>(view.west), true);
    source.tiles.push_back(std::move(entry));
  }
  return source;
}

std::optional<std::uint32_t> overviewMapNumber(const PreviewSource& source, std::string& refusal) {
  std::uint64_t number = 0;
  if (!parseHex(trimBlanks(source.overviewNumberText), number) || number > 0xFFFFFFFFu) {
    refusal = "The Overview Number box must hold a hexadecimal number from 0 to FFFFFFFF.";
    return std::nullopt;
  }
  return static_cast<std::uint32_t>(number);
}

std::optional<std::string> previewMapSourceText(const PreviewSource& source, LabelEncoding encoding,
                                                std::string& refusal) {
  const std::optional<std::uint32_t> id = overviewMapNumber(source, refusal);
  if (!id) return std::nullopt;
  double bounds[4] = {};
  const Bound boxes[] = {
      {&source.north, "north"}, {&source.east, "east"}, {&source.south, "south"}, {&source.west, "west"}};
  for (int k = 0; k < 4; ++k) {
    const std::optional<double> value = parseNumber(*boxes[k].text);
    if (!value || !std::isfinite(*value)) {
      refusal = std::string("The ") + boxes[k].name + " bound box must hold a number of degrees from -180 to 180.";
      return std::nullopt;
    }
    bounds[k] = *value;
  }

  std::string text;
  text.reserve(512 + source.tiles.size() * 160);
  for (const char* line : kHeader) {
    text += line;
    if (std::string_view(line) == "ID=") text += std::to_string(*id);
    text += kCrLf;
  }

  const CodePage& page = CodePage::get(source.codePage);
  for (const PreviewTile& tile : source.tiles) {
    if (tile.description.rfind("##", 0) == 0) continue;
    const std::string n = plainDecimal(clampLatitude(roundSeventh(numberOr0(tile.north) + kTileGrowth)));
    const std::string e = plainDecimal(clampLongitude(roundSeventh(numberOr0(tile.east) + kTileGrowth)));
    const std::string s = plainDecimal(clampLatitude(roundSeventh(numberOr0(tile.south) - kTileGrowth)));
    const std::string w = plainDecimal(clampLongitude(roundSeventh(numberOr0(tile.west) - kTileGrowth)));
    text += "[polygon]\r\nType=0x4a\r\nLabel=";
    text += encodeLabel(labelText(tile.description), encoding, page);
    text += "~[0x1d]" + tile.mapNumber + kCrLf;
    text += "Data0=(" + s + "," + w + "),(" + s + "," + e + "),(" + n + "," + e + "),(" + n + "," + w + ")" + kCrLf;
    text += "[End]\r\n";
  }

  // Moved in north-south and out east-west, unlike the tiles.
  const std::string n = padDecimals(plainDecimal(clampLatitude(bounds[0] - kBackgroundShift)));
  const std::string e = padDecimals(plainDecimal(clampLongitude(bounds[1] + kBackgroundShift)));
  const std::string s = padDecimals(plainDecimal(clampLatitude(bounds[2] + kBackgroundShift)));
  const std::string w = padDecimals(plainDecimal(clampLongitude(bounds[3] - kBackgroundShift)));
  text += "[POI]\r\nType=0x0b00\r\nLabel=Velmor\r\n";
  text += "Data0=(" + plainDecimal(numberOr0(s)) + "," + w + ")" + kCrLf;
  text += "[End]\r\n";
  text += "[polygon]\r\nType=0x4b\r\nBackground=Y\r\n";
  text += "Data0=(" + s + "," + e + "),(" + s + "," + w + "),(" + n + "," + w + "),(" + n + "," + e + ")" + kCrLf;
  text += "[End]\r\n";
  return text;
}

PreviewWrite writePreviewMapSource(const PreviewSource& source, const std::string& path, LabelEncoding encoding,
                                   Prompter& prompter, FileServices& files, std::string* errorText) {
  if (source.tiles.empty()) {
    prompter.message(kNoPreviewData);
    return PreviewWrite::NoData;
  }
  std::string refusal;
  const std::optional<std::string> text = previewMapSourceText(source, encoding, refusal);
  if (!text) {
    prompter.message(refusal);
    return PreviewWrite::Refused;
  }
  const auto* bytes = reinterpret_cast<const std::uint8_t*>(text->data());
  if (std::optional<std::string> error = files.atomicReplace(path, {bytes, text->size()})) {
    if (errorText) *errorText += "savetxt:" + *error + kCrLf;
    prompter.message(path + " " + *error);
    return PreviewWrite::WriteFailed;
  }
  prompter.message(kMpSaved);
  return PreviewWrite::Written;
}

}  // namespace velmor
