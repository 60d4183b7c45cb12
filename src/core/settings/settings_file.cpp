#include "settings_file.hpp"

#include "../platform/file_kind.hpp"

#include "text_file.hpp"

namespace velmor {

bool loaddata(const Folders& folders, Settings& settings) {
  std::string path = settingsPath(folders);
  if (!isRegularFile(path)) return false;
  parseSettings(loadtext(path), settings);
  return true;
}

bool savedata(const Folders& folders, const Settings& settings, Prompter& prompter) {
  return Savetext(settingsPath(folders), settingsText(settings), prompter);
}

Settings startupSettings(const Folders& folders, bool* fileFound) {
  Settings settings;
  settings.lastMapFolder = folders.programFolder;
  bool found = loaddata(folders, settings);
  if (fileFound != nullptr) *fileFound = found;
  return settings;
}

}  // namespace velmor
