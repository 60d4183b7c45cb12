#pragma once
// The preview map source: a Polish-format text that outlines every tile of
// the product with a labelled polygon, lays a background polygon over the
// overview bounds and marks it with a point. A map compiler turns it into
// the product's basemap.
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace velmor {

class FileServices;
class Prompter;
struct ProductFile;
struct ProductForm;

// One tile as the detail-map list and the bounds list show it.
struct PreviewTile {
  std::string description;               // the list entry (UTF-8)
  std::string mapNumber;                 // the IMG name: the map number in decimal
  std::string north, east, south, west;  // degrees, as the bounds list holds them
};

// What the map source is made of: the overview boxes and the tiles.
struct PreviewSource {
  std::string overviewNumberText;  // hexadecimal, as the box holds it
  std::string north, east, south, west;
  std::vector<PreviewTile> tiles;
  int codePage = 1252;  // the product's texts are written in it
};

PreviewSource previewSource(const ProductFile& file, const ProductForm& form);

// How the labels are written: in the product's code page (what cgpsmapper
// reads), or as UTF-8, which mkgmap reads right with the header as it is.
enum class LabelEncoding { CodePage, Utf8 };

// The map number the "Overview Number" box holds; nullopt with the refusal
// in `refusal` when it holds no hexadecimal number of 32 bits.
std::optional<std::uint32_t> overviewMapNumber(const PreviewSource& source, std::string& refusal);

// The whole text, every line ended by CR LF. nullopt with the refusal in
// `refusal` when a box holds no number.
std::optional<std::string> previewMapSourceText(const PreviewSource& source, LabelEncoding encoding,
                                                std::string& refusal);

// A number as the map source writes it: plain decimal, up to 15
// significant digits, never an exponent, "." as decimal point.
std::string plainDecimal(double value);

enum class PreviewWrite { NoData, Refused, WriteFailed, Written };

// `writePreviewMapSource`: "No data" without tiles; otherwise writes the text
// to `path` in one atomic step and shows "mp saved". A box without a number
// is refused with its message; a failed write is shown with the system's
// text (and added to `errorText` as "savetxt:" + text), and nothing else
// is said to have been saved.
PreviewWrite writePreviewMapSource(const PreviewSource& source, const std::string& path, LabelEncoding encoding,
                                   Prompter& prompter, FileServices& files, std::string* errorText = nullptr);

inline constexpr const char* kNoPreviewData = "No data";
inline constexpr const char* kMpSaved = "mp saved";

}  // namespace velmor
