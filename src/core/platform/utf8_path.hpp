#pragma once
// Paths are UTF-8 text everywhere in the program. A std::filesystem::path
// made from a plain std::string would read it in the ANSI code page on
// Windows and mangle every name outside it, so paths cross over here.
#include <cstdio>
#include <filesystem>
#include <string>
#include <string_view>

namespace velmor {

inline std::filesystem::path pathFromUtf8(std::string_view utf8) {
  return std::filesystem::path(std::u8string(utf8.begin(), utf8.end()));
}

inline std::string utf8FromPath(const std::filesystem::path& path) {
  const std::u8string text = path.u8string();
  return std::string(text.begin(), text.end());
}

// The last part of a local path, and that part without its extension, as
// this system splits paths.
inline std::string localFileName(std::string_view path) { return utf8FromPath(pathFromUtf8(path).filename()); }
inline std::string localStem(std::string_view path) { return utf8FromPath(pathFromUtf8(path).stem()); }

// Opens a file for reading in binary mode by its UTF-8 name (the wide call
// on Windows, where fopen would take the name in the ANSI code page).
inline std::FILE* openForReading(const std::filesystem::path& path) {
#ifdef _WIN32
  return ::_wfopen(path.c_str(), L"rb");
#else
  return std::fopen(path.c_str(), "rb");
#endif
}

}  // namespace velmor
