#pragma once
// The six recent-file entries of the File menu.
#include <array>
#include <functional>
#include <string>

#include "settings.hpp"

namespace velmor {

struct RecentFileMenu {
  std::array<std::string, kRecentFileCount> captions{};  // entry 1 first
  std::array<bool, kRecentFileCount> enabled{true, true, true, true, true, true};
};

using FileExists = std::function<bool(const std::string&)>;

// A network path (holding "\\") is never probed: a server that is away
// would stall the menu.
bool isNetworkPath(const std::string& path);

// Records `path` as the most recent file: every entry is enabled when its
// file exists and greyed when not (network paths keep their state), then
// the path moves or enters at the top.
void updatmf(RecentFileMenu& menu, const std::string& path, const FileExists& exists);

// Takes entry `entry` (0 = most recent) out of the list: the entries below
// move up with their greyed state and the last one becomes empty.
void dropRecent(RecentFileMenu& menu, int entry);

// The question asked when a chosen entry's file has gone.
std::string missingRecentQuestion(const std::string& path);

// The probe of the real file system.
bool fileExists(const std::string& path);

}  // namespace velmor
