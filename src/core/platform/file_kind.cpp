#include "file_kind.hpp"

#include <system_error>

#ifdef _WIN32
#include <windows.h>
#endif

#include "utf8_path.hpp"

namespace velmor {

bool isRegularFile(const std::string& utf8Path) {
  if (utf8Path.empty()) return false;
  std::error_code ec;
  return std::filesystem::is_regular_file(pathFromUtf8(utf8Path), ec);
}

bool isFolder(const std::string& utf8Path) {
  if (utf8Path.empty()) return false;
  std::error_code ec;
  return std::filesystem::is_directory(pathFromUtf8(utf8Path), ec);
}

bool hiddenFromListing(const std::filesystem::path& entry) {
#ifdef _WIN32
  const DWORD attributes = GetFileAttributesW(entry.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & (FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM));
#else
  const std::string name = entry.filename().string();
  return !name.empty() && name[0] == '.';
#endif
}

}  // namespace velmor
