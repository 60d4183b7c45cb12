#pragma once
// Emptying the tile cache of MapSource or BaseCamp before it starts, so
// that a map maker sees the tiles just made and not the ones cached from
// the last build.
#include <string>

namespace velmor {

// Does nothing unless `clearCache` is set. Otherwise, when `folder` is an
// existing folder, every file directly inside it is deleted: subfolders and
// their contents stay, hidden files (a leading "." here, the hidden and
// system attributes on Windows) are not touched, and a symbolic link is
// removed as a link, never followed. A file that cannot be deleted is
// skipped silently. Returns how many entries were deleted.
int clearTileCache(const std::string& folder, bool clearCache);

}  // namespace velmor
