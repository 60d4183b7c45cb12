#pragma once
// The map products MapSource and BaseCamp know: the families and products
// under MapSource's registry keys (the keys a registry file creates) and the
// maps installed in "c:\programdata\garmin\maps" (folders of the older
// kind, and map bundles with Info.xml).
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace velmor {

class Activity;
class InstallEnvironment;
class Prompter;
class RegistryReader;

struct InstalledProduct {
  int source = 0;           // 0, 1, 2 or 4 (4: the second reading of the products key, or the folder scan)
  bool fromFolder = false;  // found by the folder scan
  std::string line;         // the list line
  std::string name;         // the family or product key's name (lower case); the series name for the folder scan
  std::string tdb;          // the product file's path as the registry or the folder scan gives it
  std::optional<std::string> file;  // that file here; nullopt when it cannot be found
  // A map bundle (a folder with Info.xml): one entry per product it holds,
  // with the ids and names its Info.xml gives.
  bool bundle = false;
  std::optional<std::uint16_t> familyId;  // known for bundles
  std::optional<std::uint16_t> productId;
  std::string productName;  // the bundle's product (series) name
};

inline constexpr const char* kFamiliesKey = "SOFTWARE\\Garmin\\mapsource\\families\\";
inline constexpr const char* kFamiliesNtKey = "SOFTWARE\\Garmin\\mapsource\\familiesnt\\";
inline constexpr const char* kProductsKey = "SOFTWARE\\Garmin\\mapsource\\products\\";
inline constexpr const char* kErrorClosingKey = "Error closing key.";

// The text dump of a key and its subkeys: for each value, the text of a
// "TYP" or "TDB" text value, the first two bytes of a binary value as a
// number, or "> name = hex" for a double word; then for each subkey (opened
// by "!" at indent 4) its name, its default value ("Error" when it cannot be
// read) and its own dump, four spaces further in. "" when the key cannot be
// opened.
std::string walkRegistryKey(RegistryReader& reader, const std::string& path, int indent, Prompter& prompter);

// Adds the products of one source (0 families, 1 familiesnt, 2 products,
// 4 products again and then the maps folder) to `out`.
void get_regvals(int source, InstallEnvironment& environment, Prompter& prompter, std::vector<InstalledProduct>& out);

// Sources 0, 1, 2 and 4, in that order, letting the window breathe between them.
// Said when the list is empty, so that an empty window has a reason.
std::string noInstalledProductsText(InstallEnvironment& environment);

std::vector<InstalledProduct> listInstalledProducts(InstallEnvironment& environment, Prompter& prompter,
                                                    Activity& activity);

}  // namespace velmor
