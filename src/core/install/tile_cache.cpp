#include "tile_cache.hpp"

#include <filesystem>
#include <system_error>

#include "../platform/file_kind.hpp"
#include "../platform/utf8_path.hpp"

namespace velmor {

namespace fs = std::filesystem;

namespace {

// Whether `inner` is `outer` or lies below it, compared part by part.
bool liesWithin(const fs::path& inner, const fs::path& outer) {
  auto i = inner.begin();
  for (auto o = outer.begin(); o != outer.end(); ++o, ++i) {
    if (o->empty()) continue;  // a trailing separator
    if (i == inner.end() || *i != *o) return false;
  }
  return true;
}

// Why `root` is not to be cleared, "" when it may be.
std::string refusal(const fs::path& root, const std::string& folder, const std::string& within) {
  std::error_code ec;
  const std::string start = "The tile cache " + folder + " was not cleared: ";
  if (fs::is_symlink(fs::symlink_status(root, ec))) return start + "it is a symbolic link.";
  if (within.empty()) return start + "it lies in no Wine prefix or user profile.";
  const fs::path real = fs::canonical(root, ec);
  if (ec) return start + ec.message() + ".";
  const fs::path home = fs::canonical(pathFromUtf8(within), ec);
  if (ec || !liesWithin(real, home)) return start + "it leads out of " + within + " (to " + utf8FromPath(real) + ").";
  return "";
}

}  // namespace

CacheClearing clearTileCache(const std::string& folder, bool clearCache, const std::string& within) {
  CacheClearing done;
  if (!clearCache || folder.empty()) return done;
  std::error_code ec;
  const fs::path root = pathFromUtf8(folder);
  // A cache not made yet is nothing to tell.
  if (!fs::is_directory(root, ec)) return done;
  done.skipped = refusal(root, folder, within);
  if (!done.skipped.empty()) return done;
  int& deleted = done.deleted;
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
  return done;
}

}  // namespace velmor
