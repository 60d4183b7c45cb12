#pragma once
// Info.xml, the file by which BaseCamp knows a map bundle (a ".gmap" folder):
// the family's name and id, its index, search and style files, and the one
// product the bundle holds with its folder, overview map and product file.
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace velmor {

inline constexpr const char* kMapProductNamespace = "http://www.garmin.com/xmlschemas/MapProduct/v1";

struct GmapSubProduct {
  std::string name;  // the series name
  std::uint16_t id = 0;
  std::string baseMap;    // the overview map's folder
  std::string tdb;        // the product file's name
  std::string directory;  // "Product<id>"
};

struct GmapInfo {
  std::string name;  // the family name
  std::uint16_t dataVersion = 0;
  std::uint16_t id = 0;  // the family id
  std::string idx;       // "" when the bundle has no index
  std::string mdr;       // the search data's folder, or ""
  std::string typ;       // the style file, or ""
  std::vector<GmapSubProduct> subProducts;
};

// The text as mkgmap writes it (UTF-8, one space of indent, no line end
// after the last element), so that bundles compare equal byte for byte.
std::string infoXmlText(const GmapInfo& info);

// Reads the fields above from an Info.xml text; nullopt when it is not a
// MapProduct document. Unknown elements are passed over.
std::optional<GmapInfo> parseInfoXml(const std::string& text);

}  // namespace velmor
