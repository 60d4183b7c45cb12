#include "range_reader.hpp"

#include <algorithm>
#include <cerrno>
#include <cstring>

#ifdef _WIN32
#include <windows.h>

#include "system_facts.hpp"
#include "unicode_text.hpp"
#else
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace velmor {

std::int64_t MemoryRangeReader::readAt(std::int64_t offset, std::span<std::uint8_t> out, std::string& error) {
  if (offset < 0) {
    error = "Invalid offset";
    return -1;
  }
  if (offset >= size()) return 0;
  const auto n = std::min<std::int64_t>(static_cast<std::int64_t>(out.size()), size() - offset);
  std::memcpy(out.data(), bytes_.data() + offset, static_cast<std::size_t>(n));
  return n;
}

namespace {

constexpr const char* kNotRegular = "Not a regular file";

#ifndef _WIN32

class PosixRangeReader : public RangeReader {
 public:
  PosixRangeReader(int fd, std::int64_t size) : fd_(fd), size_(size) {}
  ~PosixRangeReader() override { ::close(fd_); }
  PosixRangeReader(const PosixRangeReader&) = delete;
  PosixRangeReader& operator=(const PosixRangeReader&) = delete;

  std::int64_t size() const override { return size_; }

  std::int64_t readAt(std::int64_t offset, std::span<std::uint8_t> out, std::string& error) override {
    std::size_t done = 0;
    while (done < out.size()) {
      const ssize_t n =
          ::pread(fd_, out.data() + done, out.size() - done, static_cast<off_t>(offset) + static_cast<off_t>(done));
      if (n < 0) {
        if (errno == EINTR) continue;
        error = std::strerror(errno);
        return -1;
      }
      if (n == 0) break;
      done += static_cast<std::size_t>(n);
    }
    return static_cast<std::int64_t>(done);
  }

 private:
  int fd_;
  std::int64_t size_;
};

}  // namespace

std::unique_ptr<RangeReader> openRangeReader(const std::string& path, std::string& error) {
  // O_NONBLOCK: a FIFO named like a map file must not hang the open.
  const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0) {
    error = std::strerror(errno);
    return nullptr;
  }
  struct stat st {};
  if (::fstat(fd, &st) != 0) {
    error = std::strerror(errno);
    ::close(fd);
    return nullptr;
  }
  if (!S_ISREG(st.st_mode)) {
    error = kNotRegular;
    ::close(fd);
    return nullptr;
  }
  // Reads of a regular file do not block; the flag only served the open.
  const int flags = ::fcntl(fd, F_GETFL);
  if (flags >= 0) ::fcntl(fd, F_SETFL, flags & ~O_NONBLOCK);
  return std::make_unique<PosixRangeReader>(fd, static_cast<std::int64_t>(st.st_size));
}

#else

// The file's own handle, read at offsets: a gigabyte image is never held
// whole, and a device or pipe is refused before a byte is read.
class WindowsRangeReader : public RangeReader {
 public:
  WindowsRangeReader(HANDLE h, std::int64_t size) : h_(h), size_(size) {}
  ~WindowsRangeReader() override { ::CloseHandle(h_); }
  WindowsRangeReader(const WindowsRangeReader&) = delete;
  WindowsRangeReader& operator=(const WindowsRangeReader&) = delete;

  std::int64_t size() const override { return size_; }

  std::int64_t readAt(std::int64_t offset, std::span<std::uint8_t> out, std::string& error) override {
    std::size_t done = 0;
    while (done < out.size()) {
      const auto at = static_cast<std::uint64_t>(offset) + done;
      OVERLAPPED where{};
      where.Offset = static_cast<DWORD>(at);
      where.OffsetHigh = static_cast<DWORD>(at >> 32);
      const DWORD want = static_cast<DWORD>(std::min<std::size_t>(out.size() - done, 1u << 30));
      DWORD got = 0;
      if (!::ReadFile(h_, out.data() + done, want, &got, &where)) {
        const DWORD code = ::GetLastError();
        if (code == ERROR_HANDLE_EOF) break;
        error = windowsErrorText(code);
        return -1;
      }
      if (got == 0) break;
      done += got;
    }
    return static_cast<std::int64_t>(done);
  }

 private:
  HANDLE h_;
  std::int64_t size_;
};

}  // namespace

std::unique_ptr<RangeReader> openRangeReader(const std::string& path, std::string& error) {
  const std::u16string units = utf8ToUtf16(path);
  const std::wstring name(units.begin(), units.end());
  const DWORD attributes = ::GetFileAttributesW(name.c_str());
  if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
    error = kNotRegular;
    return nullptr;
  }
  HANDLE h = ::CreateFileW(name.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                           OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (h == INVALID_HANDLE_VALUE) {
    error = windowsErrorText(::GetLastError());
    return nullptr;
  }
  LARGE_INTEGER size{};
  if (::GetFileType(h) != FILE_TYPE_DISK || !::GetFileSizeEx(h, &size)) {
    error = kNotRegular;
    ::CloseHandle(h);
    return nullptr;
  }
  return std::make_unique<WindowsRangeReader>(h, static_cast<std::int64_t>(size.QuadPart));
}

#endif

}  // namespace velmor
