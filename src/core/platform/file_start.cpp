#include "file_start.hpp"

#include <algorithm>

#ifdef _WIN32
#include <windows.h>

#include "system_facts.hpp"
#include "unicode_text.hpp"
#else
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#endif

namespace velmor {

#ifdef _WIN32

std::optional<std::vector<std::uint8_t>> readFileStart(const std::string& path, std::size_t limit, std::string& error) {
  const std::u16string wide = utf8ToUtf16(path);
  HANDLE file = CreateFileW(reinterpret_cast<const wchar_t*>(wide.c_str()), GENERIC_READ,
                            FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) {
    error = windowsErrorText(GetLastError());
    return std::nullopt;
  }
  std::vector<std::uint8_t> out;
  if (GetFileType(file) != FILE_TYPE_DISK) {
    CloseHandle(file);
    error = "Not a regular file.";
    return std::nullopt;
  }
  std::uint8_t buffer[65536];
  while (out.size() < limit) {
    const DWORD want = static_cast<DWORD>(std::min<std::size_t>(sizeof buffer, limit - out.size()));
    DWORD got = 0;
    if (!ReadFile(file, buffer, want, &got, nullptr)) {
      error = windowsErrorText(GetLastError());
      CloseHandle(file);
      return std::nullopt;
    }
    if (got == 0) break;
    out.insert(out.end(), buffer, buffer + got);
  }
  CloseHandle(file);
  return out;
}

#else

std::optional<std::vector<std::uint8_t>> readFileStart(const std::string& path, std::size_t limit, std::string& error) {
  // O_NONBLOCK so that a FIFO put in a file's place cannot hang the window.
  const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0) {
    error = std::strerror(errno);
    return std::nullopt;
  }
  struct stat st {};
  if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
    error = S_ISDIR(st.st_mode) ? std::strerror(EISDIR) : "Not a regular file.";
    ::close(fd);
    return std::nullopt;
  }
  std::vector<std::uint8_t> out;
  if (st.st_size > 0) out.reserve(std::min<std::size_t>(limit, static_cast<std::size_t>(st.st_size)));
  std::uint8_t buffer[65536];
  while (out.size() < limit) {
    const std::size_t want = std::min<std::size_t>(sizeof buffer, limit - out.size());
    const ssize_t got = ::read(fd, buffer, want);
    if (got < 0) {
      if (errno == EINTR) continue;
      error = std::strerror(errno);
      ::close(fd);
      return std::nullopt;
    }
    if (got == 0) break;
    out.insert(out.end(), buffer, buffer + got);
  }
  ::close(fd);
  return out;
}

#endif

}  // namespace velmor
