#pragma once
// Emptying the tile cache of MapSource or BaseCamp before it starts, so
// that a map maker sees the tiles just made and not the ones cached from
// the last build.
#include <string>

namespace velmor {

struct CacheClearing {
  int deleted = 0;      // entries deleted
  std::string skipped;  // why the folder was left alone; "" when it was not
};

// Does nothing unless `clearCache` is set. Otherwise, when `folder` is an
// existing folder, every file directly inside it is deleted: subfolders and
// their contents stay, hidden files (a leading "." here, the hidden and
// system attributes on Windows) are not touched, and a symbolic link is
// removed as a link, never followed. A file that cannot be deleted is
// skipped silently.
// Only a real folder inside `within` (the Wine prefix or the user's
// profile) is cleared: a cache that is a link, or that leads out of
// `within` through a link on its way, may name a folder of the user's own
// files, and is left alone with `skipped` saying so.
CacheClearing clearTileCache(const std::string& folder, bool clearCache, const std::string& within);

}  // namespace velmor
