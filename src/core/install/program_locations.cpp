#include "program_locations.hpp"

#include <filesystem>
#include <system_error>

#include "../platform/system_facts.hpp"
#include "../platform/wine_prefix.hpp"
#include "../product/bytes.hpp"

namespace velmor {

namespace fs = std::filesystem;

namespace {

// UTF-8 on every system (the C library's getenv gives the ANSI code page on Windows).
std::string environment(const char* name) { return environmentValue(name).value_or(""); }

// Removes every occurrence of `part`, compared without regard to case.
std::string removeNoCase(std::string text, const std::string& part) {
  const std::string lowerPart = toLowerAscii(part);
  for (std::size_t at = toLowerAscii(text).find(lowerPart); at != std::string::npos;
       at = toLowerAscii(text).find(lowerPart, at)) {
    text.erase(at, part.size());
  }
  return text;
}

}  // namespace

LocationFacts currentLocationFacts(const std::string& winePrefix) {
  LocationFacts facts;
  facts.appData = environment("AppData");
  facts.programFiles = environment("ProgramFiles");
  facts.programFilesX86 = environment("PROGRAMFILES(X86)");
#ifndef _WIN32
  facts.winePrefix = WinePrefix::locate(winePrefix).folder();
#else
  (void)winePrefix;
#endif
  return facts;
}

std::string mapSourceTileCachePath(const std::string& appData) {
  if (appData.empty()) return "";
  return appData + "\\Garmin\\MapSource\\TileCache";
}

std::string baseCampTileCachePath(const std::string& appData) {
  if (appData.empty()) return "";
  return removeNoCase(appData + "\\local\\Garmin\\BaseCamp\\TileCache", "\\roaming");
}

ProgramLocations::ProgramLocations(LocationFacts facts) : facts_(std::move(facts)) {
#ifndef _WIN32
  if (facts_.winePrefix.empty()) return;
  const WinePrefix prefix(facts_.winePrefix);
  // Only a prefix that exists answers; Wine's defaults for a missing one
  // would name folders nobody made.
  std::error_code ec;
  if (!fs::is_directory(prefix.folder() + "/drive_c", ec)) return;
  if (facts_.appData.empty()) facts_.appData = prefix.appDataFolder();
  if (facts_.programFiles.empty()) facts_.programFiles = prefix.programFilesFolder();
  if (facts_.programFilesX86.empty()) facts_.programFilesX86 = prefix.programFilesX86Folder();
#endif
}

std::string ProgramLocations::localPath(const std::string& windowsPath) const {
  if (windowsPath.empty()) return "";
#ifndef _WIN32
  if (windowsPath[0] == '/') {
    std::string path = windowsPath;
    for (char& c : path)
      if (c == '\\') c = '/';
    return path;
  }
  if (!isWindowsDrivePath(windowsPath) || facts_.winePrefix.empty()) return "";
  return WinePrefix(facts_.winePrefix).localPath(windowsPath).value_or("");
#else
  // Never a folder relative to wherever the program was started.
  return isWindowsDrivePath(windowsPath) || windowsPath.rfind("\\\\", 0) == 0 ? windowsPath : "";
#endif
}

std::string ProgramLocations::mapSourceTileCache() const { return localPath(mapSourceTileCachePath(facts_.appData)); }

std::string ProgramLocations::baseCampTileCache() const { return localPath(baseCampTileCachePath(facts_.appData)); }

std::string ProgramLocations::cacheHome() const {
  if (!facts_.winePrefix.empty()) return facts_.winePrefix;
  return facts_.appData.empty() ? "" : localPath(removeNoCase(facts_.appData, "\\roaming"));
}

std::string ProgramLocations::programFilesFolder(bool is64BitWindows) const {
  const std::string& folder =
      is64BitWindows && !facts_.programFilesX86.empty() ? facts_.programFilesX86 : facts_.programFiles;
  return localPath(folder);
}

std::string ProgramLocations::winePrefixFor(const std::string& executable) const {
#ifndef _WIN32
  // A map maker may keep the Garmin programs in a prefix of their own:
  // the folder above the drive_c that holds the program, when it is a
  // prefix (it has a system registry).
  std::error_code ec;
  fs::path at = fs::absolute(fs::path(executable), ec).lexically_normal();
  for (fs::path folder = at.parent_path(); !folder.empty() && folder != folder.root_path();
       folder = folder.parent_path()) {
    if (folder.filename() == "drive_c" && fs::is_regular_file(folder.parent_path() / "system.reg", ec))
      return folder.parent_path().string();
  }
  return facts_.winePrefix;
#else
  (void)executable;
  return "";
#endif
}

}  // namespace velmor
