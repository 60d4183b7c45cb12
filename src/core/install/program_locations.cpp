#include "program_locations.hpp"

#include "../common/bytes.hpp"
#include "../platform/system_facts.hpp"
#include "../platform/windows_host.hpp"

namespace velmor {

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
  facts.winePrefix = hostWinePrefixFolder(winePrefix);
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
  const HostFolders prefix = winePrefixFolders(facts_.winePrefix);
  if (facts_.appData.empty()) facts_.appData = prefix.appData;
  if (facts_.programFiles.empty()) facts_.programFiles = prefix.programFiles;
  if (facts_.programFilesX86.empty()) facts_.programFilesX86 = prefix.programFilesX86;
}

std::string ProgramLocations::localPath(const std::string& windowsPath) const {
  return hostLocalPath(windowsPath, facts_.winePrefix);
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
  return winePrefixHolding(executable, facts_.winePrefix);
}

}  // namespace velmor
