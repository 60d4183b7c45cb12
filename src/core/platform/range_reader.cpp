#include "range_reader.hpp"

#include <algorithm>
#include <cerrno>
#include <cstring>

#ifdef _WIN32
#include <filesystem>
#include <fstream>
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
      const ssize_t n = ::pread(fd_, out.data() + done, out.size() - done, static_cast<off_t>(offset) + static_cast<off_t>(done));
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

class StreamRangeReader : public RangeReader {
 public:
  StreamRangeReader(std::ifstream in, std::int64_t size) : in_(std::move(in)), size_(size) {}
  std::int64_t size() const override { return size_; }
  std::int64_t readAt(std::int64_t offset, std::span<std::uint8_t> out, std::string& error) override {
    in_.clear();
    in_.seekg(offset);
    in_.read(reinterpret_cast<char*>(out.data()), static_cast<std::streamsize>(out.size()));
    if (in_.bad()) {
      error = std::strerror(errno);
      return -1;
    }
    return static_cast<std::int64_t>(in_.gcount());
  }

 private:
  std::ifstream in_;
  std::int64_t size_;
};

}  // namespace

std::unique_ptr<RangeReader> openRangeReader(const std::string& path, std::string& error) {
  std::error_code ec;
  const std::filesystem::path p = std::filesystem::u8path(path);
  if (!std::filesystem::is_regular_file(p, ec)) {
    error = ec ? ec.message() : kNotRegular;
    return nullptr;
  }
  const auto size = std::filesystem::file_size(p, ec);
  std::ifstream in(p, std::ios::binary);
  if (ec || !in) {
    error = ec ? ec.message() : std::strerror(errno);
    return nullptr;
  }
  return std::make_unique<StreamRangeReader>(std::move(in), static_cast<std::int64_t>(size));
}

#endif

}  // namespace velmor
