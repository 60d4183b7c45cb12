#include "recent_files.hpp"

#include <filesystem>
#include <system_error>

#include "../platform/utf8_path.hpp"

namespace velmor {

bool isNetworkPath(const std::string& path) { return path.find("\\\\") != std::string::npos; }

void dropRecent(RecentFileMenu& menu, int entry) {
  if (entry < 0 || entry >= kRecentFileCount) return;
  for (int i = entry; i + 1 < kRecentFileCount; ++i) {
    auto k = static_cast<std::size_t>(i);
    menu.captions[k] = menu.captions[k + 1];
    menu.enabled[k] = menu.enabled[k + 1];
  }
  menu.captions.back().clear();
  menu.enabled.back() = true;
}

std::string missingRecentQuestion(const std::string& path) {
  return "The file " + path + " no longer exists. Remove it from the recent files?";
}

void updatmf(RecentFileMenu& menu, const std::string& path, const FileExists& exists) {
  for (int i = 0; i < kRecentFileCount; ++i) {
    auto k = static_cast<std::size_t>(i);
    if (!isNetworkPath(menu.captions[k])) menu.enabled[k] = exists(menu.captions[k]);
  }
  int found = kRecentFileCount;  // not in the list: everything moves and entry 6 drops
  for (int i = 0; i < kRecentFileCount; ++i) {
    if (menu.captions[static_cast<std::size_t>(i)] == path) {
      found = i;
      break;
    }
  }
  if (found == 0) return;
  bool topEnabled =
      found < kRecentFileCount ? menu.enabled[static_cast<std::size_t>(found)] : (isNetworkPath(path) || exists(path));
  // The greyed state travels with its caption, so that an entry is greyed
  // exactly when its own file is missing.
  int last = found == kRecentFileCount ? kRecentFileCount - 1 : found;
  for (int i = last; i > 0; --i) {
    auto k = static_cast<std::size_t>(i);
    menu.captions[k] = menu.captions[k - 1];
    menu.enabled[k] = menu.enabled[k - 1];
  }
  menu.captions[0] = path;
  menu.enabled[0] = topEnabled;
}

bool fileExists(const std::string& path) {
  if (path.empty()) return false;
  std::error_code ec;
  return std::filesystem::exists(pathFromUtf8(path), ec);
}

}  // namespace velmor
