#pragma once
// The system's own texts for the errors tests provoke, as the file
// services pass them on.
#include <string>

#ifdef _WIN32
#include <windows.h>

#include "core/platform/unicode_text.hpp"
#else
#include <cerrno>
#include <cstring>
#endif

namespace velmor::test {

#ifdef _WIN32
inline std::string windowsText(unsigned long code) {
  wchar_t* buffer = nullptr;
  const DWORD n =
      ::FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
                       nullptr, code, 0, reinterpret_cast<wchar_t*>(&buffer), 0, nullptr);
  std::u16string text(reinterpret_cast<const char16_t*>(buffer), n);
  ::LocalFree(buffer);
  while (!text.empty() && (text.back() == u'\r' || text.back() == u'\n' || text.back() == u' ')) text.pop_back();
  return utf16ToUtf8(text);
}
inline std::string accessDeniedText() { return windowsText(ERROR_ACCESS_DENIED); }
inline std::string missingFileText() { return windowsText(ERROR_FILE_NOT_FOUND); }
inline std::string missingFolderText() { return windowsText(ERROR_PATH_NOT_FOUND); }
#else
inline std::string accessDeniedText() { return std::strerror(EACCES); }
inline std::string missingFileText() { return std::strerror(ENOENT); }
inline std::string missingFolderText() { return std::strerror(ENOENT); }
#endif

}  // namespace velmor::test
