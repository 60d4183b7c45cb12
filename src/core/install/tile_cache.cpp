#include "tile_cache.hpp"

#include <filesystem>
#include <system_error>

#include "../platform/file_kind.hpp"
#include "../platform/utf8_path.hpp"

namespace velmor {

namespace fs = std::filesystem;

int clearTileCache(const std::string& folder, bool clearCache) {
  if (!clearCache || folder.empty()) return 0;
  std::error_code ec;
  const fs::path root = pathFromUtf8(folder);
  if (!fs::is_directory(root, ec)) return 0;
  int deleted = 0;
  fs::directory_iterator it(root, fs::directory_options::skip_permission_denied, ec);
  for (; !ec && it != fs::directory_iterator(); it.increment(ec)) {
    const fs::directory_entry& entry = *it;
    if (hiddenFromListing(entry.path())) continue;
    // symlink_status: a link is judged as the link itself, so a link to a
    // folder (or to a file elsewhere) goes and what it names stays.
    std::error_code statusError;
    const fs::file_status status = entry.symlink_status(statusError);
    if (statusError) continue;
    if (!fs::is_regular_file(status) && !fs::is_symlink(status)) continue;
    std::error_code removeError;
    if (fs::remove(entry.path(), removeError)) ++deleted;
  }
  return deleted;
}

}  // namespace velmor
