#pragma once
// Where the map programs live and keep their tile caches. MapSource and
// BaseCamp are Windows programs; on Linux map makers run them in a Wine
// prefix, so the Windows folders they use (AppData, Program Files) are
// folders of that prefix here.
#include <optional>
#include <string>

namespace velmor {

// What the environment says, "" where a variable is not set.
struct LocationFacts {
  std::string appData;          // AppData
  std::string programFiles;     // ProgramFiles
  std::string programFilesX86;  // PROGRAMFILES(X86)
  // The Wine prefix the map programs run in (Linux); "" on Windows.
  std::string winePrefix;
};

// This process's environment and Wine prefix (`winePrefix` when given,
// else $WINEPREFIX, else ~/.wine).
LocationFacts currentLocationFacts(const std::string& winePrefix = "");

// The tile caches as Windows paths below AppData: MapSource's
// "\Garmin\MapSource\TileCache"; BaseCamp's "\local\Garmin\BaseCamp\TileCache"
// with "\roaming" taken out, so that a roaming AppData gives the local one.
// "" when AppData is "", so an unset variable never makes a root-relative
// folder of them.
std::string mapSourceTileCachePath(const std::string& appData);
std::string baseCampTileCachePath(const std::string& appData);

class ProgramLocations {
 public:
  // Folders the environment does not name are taken from the Wine prefix
  // (its registry, else Wine's defaults).
  ProgramLocations() = default;
  explicit ProgramLocations(LocationFacts facts);

  // As Windows names them ("C:\users\ann\AppData\Roaming").
  const std::string& appData() const { return facts_.appData; }
  const std::string& programFiles() const { return facts_.programFiles; }
  const std::string& programFilesX86() const { return facts_.programFilesX86; }
  const std::string& winePrefix() const { return facts_.winePrefix; }

  // The local path of a Windows path: on Linux mapped into the prefix, each
  // part looked up without regard to case; an absolute Unix path is taken
  // as it is. "" when it cannot be reached.
  std::string localPath(const std::string& windowsPath) const;

  // The two tile caches as local folders ("" when unknown).
  std::string mapSourceTileCache() const;
  std::string baseCampTileCache() const;
  // The folder a tile cache must lie in to be cleared: the Wine prefix, or
  // the user's profile ("AppData"); "" when unknown.
  std::string cacheHome() const;

  // The program-files folder a 32-bit program is installed in, as a local
  // folder: "Program Files (x86)" on 64-bit Windows.
  std::string programFilesFolder(bool is64BitWindows) const;

  // The Wine prefix a Windows program should run in: the one whose drive_c
  // holds it, else ours. "" on Windows.
  std::string winePrefixFor(const std::string& executable) const;

 private:
  LocationFacts facts_;
};

}  // namespace velmor
