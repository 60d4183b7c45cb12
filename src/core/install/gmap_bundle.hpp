#pragma once
// Map bundles: the ".gmap" folder BaseCamp (on Windows and macOS) reads
// instead of the registry. It holds Info.xml, the index and search data, the
// style, and in Product<pid>/ the product file and every IMG taken apart
// into a folder of its subfiles. Bundles are built in a temporary folder
// beside the target and moved into place whole, so a failure never leaves
// half a bundle where BaseCamp would find it.
#include <optional>
#include <string>
#include <vector>

#include "gmap_info.hpp"

namespace velmor {

class FileServices;
class Prompter;

// What to do with a TYP file whose ids are not the product's (BaseCamp then
// ignores the style).
enum class TypIdChoice {
  Refuse,  // stop and say so
  Ask,     // ask through the prompter
  Give,    // write it as x<name>.typ with the product's ids, as mkgmap does
  Keep,    // copy it as it is
};

struct GmapRequest {
  std::string productFile;         // the .tdb
  std::vector<std::string> files;  // tiles, the overview map, .mdx, *_mdr.img (and the .tdb again, if listed)
  std::string typFile;             // "" for none
  TypIdChoice typIds = TypIdChoice::Refuse;
};

// One file of the bundle: copied whole, one subfile of an IMG, or text.
struct GmapEntry {
  std::string path;               // inside the bundle, "/" separated
  std::string source;             // the file to read; "" for `text`
  std::int64_t imgBlockSize = 0;  // > 0: `source` is an IMG and `blocks` hold the subfile
  std::vector<std::uint16_t> blocks;
  std::uint32_t size = 0;
  std::string text;
  bool patchTyp = false;  // the TYP with the product's ids
};

struct GmapPlan {
  GmapInfo info;
  std::string bundleName;  // "<family name>.gmap"
  std::vector<GmapEntry> entries;
  std::vector<std::string> folders;  // inside the bundle, parents before children
};

struct GmapPlanResult {
  std::optional<GmapPlan> plan;
  std::string error;          // why there is none
  bool typIdsDiffer = false;  // the refusal is about the TYP's ids
};

// Reads the product file, sorts the files, takes every IMG's directory and
// checks that the bundle can be written on Windows. Reads only.
GmapPlanResult planGmap(const GmapRequest& request, Prompter& prompter);

// Why `name` cannot name a file or folder on Windows, or nullopt.
std::optional<std::string> windowsNameProblem(const std::string& name);

// Writes the bundle as `target` (a folder that must not exist yet): built
// beside it and renamed into place; with `gmapi`, `target` is the
// "<name>.gmapi" folder that holds the bundle, as macOS imports it. nullopt
// on success, else the reason; then nothing is left behind.
std::optional<std::string> writeGmap(const GmapPlan& plan, const std::string& target, bool gmapi, FileServices& files);

// Installs the bundle into BaseCamp's maps folder (made when missing). An
// installed bundle of the same product (the same folder name, or the same
// family and product id in its Info.xml) is replaced only when `prompter`
// says Yes, and only after the new one is complete. Returns the installed
// folder, or nullopt with the reason in `error`.
std::optional<std::string> installGmap(const GmapPlan& plan, const std::string& mapsFolder, Prompter& prompter,
                                       FileServices& files, std::string& error);

}  // namespace velmor
