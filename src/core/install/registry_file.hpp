#pragma once
// The registry file (REGEDIT4 text) that installs a map product into
// MapSource and BaseCamp: one key per product family, holding the family id
// and the paths of the product's files. It is written next to the map files
// and handed to the system to import; the program never writes the registry.
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace velmor {

class Activity;
class FileServices;
class Prompter;
class RegistryImporter;
class RegistryReader;

// The files of one product among the listed ones, as lower-case file names
// ("" for a role no file takes).
struct ProductFileSet {
  std::string productFile;  // .tdb
  std::string indexFile;    // .mdx
  std::string mdrFile;      // contains "mdr.img"
  std::string basemap;      // an .img whose name is not a tile number (else the product's overview map number)
  std::string typFile;      // .typ, named as it is (not lower-cased), as the map compiler's installer writes it
};

// Sorts the listed files (full paths or bare names) into their roles. On a
// second product file, index or basemap, nullopt with the message in
// `refusal`.
std::optional<ProductFileSet> classifyChosenFiles(const std::vector<std::string>& chosenFiles, std::string& refusal);

// "[HKEY_LOCAL_MACHINE\SOFTWARE\Wow6432Node\Garmin\MapSource\Families\" on
// 64-bit Windows, without "Wow6432Node\" on 32-bit Windows.
std::string registryKeyPrefix(bool is64BitWindows);
// The folder with every "\" doubled and "\\" added: C:\\Maps\\Alps\\ .
std::string escapedFolder(const std::string& folder);
// The family id's two bytes, low first: 4660 gives "34,12".
std::string familyIdText(std::uint16_t familyId);

// The REGEDIT4 text, every line ended by CR LF (the file adds one more). The
// product's subkey is named after its product id, as MapSource looks it up.
std::string registryFileText(const ProductFileSet& files, const std::string& familyKeyName, std::uint16_t familyId,
                             const std::string& folder, bool is64BitWindows, std::uint16_t productId = 1);

// One key a registry file sets, as a 32-bit program reads it back (under
// HKEY_LOCAL_MACHINE, without Wow6432Node), and its values: texts, or the
// family id's two bytes for "ID".
struct ExpectedRegistryKey {
  std::string path;
  std::vector<std::pair<std::string, std::string>> texts;
  std::vector<std::uint8_t> id;  // empty: the key has no ID
};
std::vector<ExpectedRegistryKey> registryFileKeys(const ProductFileSet& files, const std::string& familyKeyName,
                                                  std::uint16_t familyId, const std::string& folder,
                                                  std::uint16_t productId);

// What of `keys` the registry does not hold, one line each ("" for none).
std::vector<std::string> missingFromRegistry(const std::vector<ExpectedRegistryKey>& keys, RegistryReader& registry);
// The keys and values the registry now holds of `keys`, one line each.
std::string installedKeysText(const std::vector<ExpectedRegistryKey>& keys, RegistryReader& registry);

// Why a "Mapsource Name" cannot name a registry key and its file, or nullopt.
std::optional<std::string> familyKeyNameProblem(const std::string& familyKeyName);
// The same, with an empty name refused too: what writing or removing a
// family's registry file checks first.
std::optional<std::string> familyKeyNameRefusal(const std::string& familyKeyName);
// The family's key as the registry reader names it (32-bit view):
// SOFTWARE\Garmin\MapSource\Families\NAME.
std::string familyKeyPath(const std::string& familyKeyName);

struct MapsourceFilesRequest {
  std::vector<std::string> chosenFiles;  // the listed files, full paths or bare names
  std::string familyKeyName;             // the "Mapsource Name" box
  std::string fidText;                   // the "FID" box
  std::string registryFolder;            // the product folder as Windows names it, written into every path
  std::string localFolder;               // the same folder here: the registry file goes into it
  bool is64BitWindows = false;
  std::string outputPath;  // another place for the registry file; "" for localFolder/familyKeyName.reg
  // The product's subkey; nullopt: the product id of the chosen product
  // file (1 when it cannot be read).
  std::optional<std::uint16_t> productId;
};

enum class MapsourceFilesStatus { Refused, WriteFailed, Written };

struct MapsourceFilesResult {
  MapsourceFilesStatus status = MapsourceFilesStatus::Refused;
  std::string registryFile;    // the file written (or that could not be)
  bool importStarted = false;  // the importer took the file
  // Read back after the import: every key and value of the file is in the
  // registry. False when nothing was read back (no reader) or some is missing.
  bool importVerified = false;
  std::vector<std::string> missing;  // what the read back did not find
  std::string installed;             // what the registry now holds of the file's keys
};

// The "Create" button of the "Create TDB Files" dialog: checks the listed
// files and the boxes, writes the registry file in one atomic step and offers
// it to `importer` (none: the file is only written). Every refusal is shown
// through `prompter` and writes nothing; a failed write is shown and nothing
// is imported. With `readBack`, the keys are read back after the import (an
// importer may end well and have imported nothing) and what is missing is
// shown; one message then says what was written, imported and installed.
MapsourceFilesResult create_mapsourcefiles(const MapsourceFilesRequest& request, Prompter& prompter,
                                           FileServices& files, RegistryImporter* importer, Activity& activity,
                                           RegistryReader* readBack = nullptr);

// Messages of the generator.
inline constexpr const char* kNoEssentialFiles = "Cannot find essential files.";
inline constexpr const char* kTwoTdbFiles = "Can't have 2 tdb files";
inline constexpr const char* kTwoMdxFiles = "Can't have 2 mdx files";
inline constexpr const char* kTwoBasemaps = "Can't have 2 basemaps files";
inline constexpr const char* kTwoTypFiles = "Only one TYP file can be installed with a product.";
// The longest name a registry key may have, in characters.
inline constexpr std::size_t kMaxRegistryKeyName = 255;
inline constexpr const char* kNoTdbFile = "Cannot find tdb file";
inline constexpr const char* kNoMapsourceName = "Cannot find tdb";

}  // namespace velmor
