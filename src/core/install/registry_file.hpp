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

// The files of one product among the listed ones, as lower-case file names
// ("" for a role no file takes).
struct ProductFileSet {
  std::string productFile;  // .tdb
  std::string indexFile;    // .mdx
  std::string mdrFile;      // contains "mdr.img"
  std::string basemap;      // an .img whose name is not a tile number
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

// The REGEDIT4 text, every line ended by CR LF (the file adds one more).
std::string registryFileText(const ProductFileSet& files, const std::string& familyKeyName, std::uint16_t familyId,
                             const std::string& folder, bool is64BitWindows);

// Why a "Mapsource Name" cannot name a registry key and its file, or nullopt.
std::optional<std::string> familyKeyNameProblem(const std::string& familyKeyName);

struct MapsourceFilesRequest {
  std::vector<std::string> chosenFiles;  // the listed files, full paths or bare names
  std::string familyKeyName;             // the "Mapsource Name" box
  std::string fidText;                   // the "FID" box
  std::string registryFolder;            // the product folder as Windows names it, written into every path
  std::string localFolder;               // the same folder here: the registry file goes into it
  bool is64BitWindows = false;
  std::string outputPath;  // another place for the registry file; "" for localFolder/familyKeyName.reg
};

enum class MapsourceFilesStatus { Refused, WriteFailed, Written };

struct MapsourceFilesResult {
  MapsourceFilesStatus status = MapsourceFilesStatus::Refused;
  std::string registryFile;  // the file written (or that could not be)
  bool importStarted = false;  // the importer took the file
};

// The "Create" button of the "Create TDB Files" dialog: checks the listed
// files and the boxes, writes the registry file in one atomic step and offers
// it to `importer` (none: the file is only written). Every refusal is shown
// through `prompter` and writes nothing; a failed write is shown and nothing
// is imported.
MapsourceFilesResult create_mapsourcefiles(const MapsourceFilesRequest& request, Prompter& prompter,
                                           FileServices& files, RegistryImporter* importer, Activity& activity);

// Messages of the generator.
inline constexpr const char* kNoEssentialFiles = "Cannot find essential files.";
inline constexpr const char* kTwoTdbFiles = "Can't have 2 tdb files";
inline constexpr const char* kTwoMdxFiles = "Can't have 2 mdx files";
inline constexpr const char* kTwoBasemaps = "Can't have 2 basemaps files";
inline constexpr const char* kNoTdbFile = "Cannot find tdb file";
inline constexpr const char* kNoMapsourceName = "Cannot find tdb";

}  // namespace velmor
