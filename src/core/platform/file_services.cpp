// POSIX file services (Linux, macOS); the Windows ones are in file_services_win.cpp.
#ifndef _WIN32
#include "file_services.hpp"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <filesystem>

namespace velmor {

namespace {

std::string errnoText(int error) { return std::strerror(error); }

class Descriptor {
 public:
  explicit Descriptor(int fd) : fd_(fd) {}
  ~Descriptor() {
    if (fd_ >= 0) ::close(fd_);
  }
  Descriptor(const Descriptor&) = delete;
  Descriptor& operator=(const Descriptor&) = delete;
  int get() const { return fd_; }
  // Closes now and reports a failed close (a delayed write error shows up here).
  int close() {
    int rc = ::close(fd_);
    fd_ = -1;
    return rc;
  }

 private:
  int fd_;
};

// The folder a file lives in, "." for a bare name.
std::string folderOf(const std::string& path) {
  std::filesystem::path parent = std::filesystem::path(path).parent_path();
  return parent.empty() ? std::string(".") : parent.string();
}

mode_t modeForNewFile() {
  mode_t mask = ::umask(0);
  ::umask(mask);
  return static_cast<mode_t>(0666 & ~mask);
}

bool writeAll(int fd, std::span<const std::uint8_t> bytes, int& error) {
  const std::uint8_t* p = bytes.data();
  std::size_t left = bytes.size();
  while (left > 0) {
    ssize_t n = ::write(fd, p, left);
    if (n < 0) {
      if (errno == EINTR) continue;
      error = errno;
      return false;
    }
    if (n == 0) {
      error = EIO;
      return false;
    }
    p += n;
    left -= static_cast<std::size_t>(n);
  }
  return true;
}

class PosixFiles : public FileServices {
 public:
  bool exists(const std::string& path) const override {
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0;
  }

  bool isReadOnly(const std::string& path) const override {
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0) return false;
    // The attribute is the absence of every write bit; access() would say
    // "writable" to the superuser whatever the bits are.
    return (st.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0;
  }

  bool heldOpen(const std::string& path) const override {
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0) return false;
    if (isReadOnly(path)) return true;
    Descriptor fd(::open(path.c_str(), O_WRONLY | O_NONBLOCK | O_CLOEXEC));
    if (fd.get() < 0) return true;
    // A record lock (fcntl or open-file-description) held by anyone else.
    struct flock probe {};
    probe.l_type = F_WRLCK;
    probe.l_whence = SEEK_SET;
    probe.l_start = 0;
    probe.l_len = 0;
    if (::fcntl(fd.get(), F_GETLK, &probe) == 0 && probe.l_type != F_UNLCK) return true;
    // A whole-file flock lock.
    if (::flock(fd.get(), LOCK_EX | LOCK_NB) != 0) return errno == EWOULDBLOCK || errno == EAGAIN;
    ::flock(fd.get(), LOCK_UN);
    return false;
  }

  std::optional<std::string> setReadOnly(const std::string& path) override {
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0) return errnoText(errno);
    if (::chmod(path.c_str(), st.st_mode & ~static_cast<mode_t>(S_IWUSR | S_IWGRP | S_IWOTH)) != 0) {
      return errnoText(errno);
    }
    return std::nullopt;
  }

  std::optional<std::string> atomicReplace(const std::string& requested,
                                           std::span<const std::uint8_t> bytes) override {
    // Replace the file a link points to, not the link itself.
    std::string path = requested;
    std::error_code ec;
    if (std::filesystem::is_symlink(requested, ec)) {
      auto resolved = std::filesystem::weakly_canonical(requested, ec);
      if (!ec) path = resolved.string();
    }
    struct stat st {};
    const bool existed = ::stat(path.c_str(), &st) == 0;
    const mode_t mode = existed ? static_cast<mode_t>(st.st_mode & 07777) : modeForNewFile();

    std::string name = std::filesystem::path(path).filename().string();
    std::string temp = folderOf(path) + "/." + name + ".velmor-XXXXXX";
    std::vector<char> pattern(temp.begin(), temp.end());
    pattern.push_back('\0');
    Descriptor fd(::mkostemp(pattern.data(), O_CLOEXEC));
    if (fd.get() < 0) return errnoText(errno);
    temp.assign(pattern.data());

    auto fail = [&](int error) -> std::optional<std::string> {
      if (fd.get() >= 0) fd.close();
      ::unlink(temp.c_str());
      return errnoText(error);
    };
    int error = 0;
    if (!writeAll(fd.get(), bytes, error)) return fail(error);
    if (::fchmod(fd.get(), mode) != 0) return fail(errno);
    if (::fsync(fd.get()) != 0) return fail(errno);
    if (fd.close() != 0) return fail(errno);
    if (::rename(temp.c_str(), path.c_str()) != 0) return fail(errno);
    // Make the rename itself durable.
    Descriptor folder(::open(folderOf(path).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (folder.get() >= 0) ::fsync(folder.get());
    return std::nullopt;
  }

  std::optional<std::vector<std::uint8_t>> readAll(const std::string& path, std::string& error) const override {
    Descriptor fd(::open(path.c_str(), O_RDONLY | O_CLOEXEC));
    if (fd.get() < 0) {
      error = errnoText(errno);
      return std::nullopt;
    }
    std::vector<std::uint8_t> out;
    struct stat st {};
    if (::fstat(fd.get(), &st) == 0 && st.st_size > 0) out.reserve(static_cast<std::size_t>(st.st_size));
    std::uint8_t buffer[65536];
    for (;;) {
      ssize_t n = ::read(fd.get(), buffer, sizeof buffer);
      if (n < 0) {
        if (errno == EINTR) continue;
        error = errnoText(errno);
        return std::nullopt;
      }
      if (n == 0) break;
      out.insert(out.end(), buffer, buffer + n);
    }
    return out;
  }
};

}  // namespace

FileServices& systemFiles() {
  static PosixFiles files;
  return files;
}

}  // namespace velmor
#endif
