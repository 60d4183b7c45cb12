#ifndef _WIN32
#include "posix_file_parts.hpp"

#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <filesystem>
#include <map>
#include <mutex>
#include <utility>
#include <vector>

namespace velmor::posix {

std::string errnoText(int error) { return std::strerror(error); }

Descriptor& Descriptor::operator=(Descriptor&& other) noexcept {
  if (this != &other) {
    reset(other.fd_);
    other.fd_ = -1;
  }
  return *this;
}

void Descriptor::reset(int fd) {
  if (fd_ >= 0) ::close(fd_);
  fd_ = fd;
}

std::string folderOf(const std::string& path) {
  std::filesystem::path parent = std::filesystem::path(path).parent_path();
  return parent.empty() ? std::string(".") : parent.string();
}

std::optional<std::string> resolveLinks(const std::string& path, int& error) {
  // The same bound the system puts on a chain of links.
  constexpr int kMaxHops = 40;
  std::string current = path;
  for (int hop = 0; hop <= kMaxHops; ++hop) {
    struct stat st {};
    if (::lstat(current.c_str(), &st) != 0) {
      if (errno == ENOENT) return current;  // nothing there (yet): this is the name to create
      error = errno;
      return std::nullopt;
    }
    if (!S_ISLNK(st.st_mode)) return current;
    std::vector<char> buffer(static_cast<std::size_t>(st.st_size > 0 ? st.st_size : 255) + 1);
    const ssize_t n = ::readlink(current.c_str(), buffer.data(), buffer.size());
    if (n < 0) {
      error = errno;
      return std::nullopt;
    }
    std::string target(buffer.data(), static_cast<std::size_t>(n));
    current = !target.empty() && target.front() == '/' ? target : folderOf(current) + "/" + target;
  }
  error = ELOOP;
  return std::nullopt;
}

std::string notRegularText(mode_t mode, const std::string& through) {
  const char* kind = S_ISDIR(mode)                    ? "a folder"
                     : S_ISCHR(mode) || S_ISBLK(mode) ? "a device"
                     : S_ISFIFO(mode)                 ? "a pipe (FIFO)"
                     : S_ISSOCK(mode)                 ? "a socket"
                                                      : "something";
  if (through.empty()) return std::string("Is ") + kind + ", not a regular file";
  return std::string("Leads to ") + kind + " (" + through + "), not a regular file";
}

std::int64_t nowNs() {
  struct timespec now {};
  ::clock_gettime(CLOCK_REALTIME, &now);
  return static_cast<std::int64_t>(now.tv_sec) * 1000000000 + now.tv_nsec;
}

FileIdentity identityOf(const struct stat& st, std::int64_t takenNs) {
  FileIdentity id;
  id.exists = true;
  id.device = static_cast<std::uint64_t>(st.st_dev);
  id.inode = static_cast<std::uint64_t>(st.st_ino);
  id.size = static_cast<std::uint64_t>(st.st_size);
#ifdef __APPLE__
  id.modifiedNs = static_cast<std::int64_t>(st.st_mtimespec.tv_sec) * 1000000000 + st.st_mtimespec.tv_nsec;
#else
  id.modifiedNs = static_cast<std::int64_t>(st.st_mtim.tv_sec) * 1000000000 + st.st_mtim.tv_nsec;
#endif
  id.takenNs = takenNs;
  return id;
}

bool writeAll(int fd, std::span<const std::uint8_t> bytes, int& error) {
  const std::uint8_t* p = bytes.data();
  std::size_t left = bytes.size();
  while (left > 0) {
    const ssize_t n = ::write(fd, p, left);
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

void makeBlocking(int fd) {
  const int flags = ::fcntl(fd, F_GETFL);
  if (flags >= 0) ::fcntl(fd, F_SETFL, flags & ~O_NONBLOCK);
}

void copyOwnerAndMode(int fd, const struct stat& like, mode_t mode) {
  // Only the superuser may give a file to another user; a plain user may
  // still keep the group when a member of it. Neither is a reason to fail.
  if (::fchown(fd, like.st_uid, like.st_gid) != 0 && ::fchown(fd, static_cast<uid_t>(-1), like.st_gid) != 0) {
  }
  // A file system without modes (FAT) refuses; the file then keeps the
  // private mode it was made with, which errs on the safe side.
  if (::fchmod(fd, mode) != 0) {
  }
}

void syncFolder(const std::string& folder) {
  Descriptor dir(::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
  if (dir.valid()) ::fsync(dir.get());
}

std::optional<TempFile> TempFile::create(const std::string& folder, int& error) {
  // A cleaner may take a fresh file for a leftover in the instant before it
  // is locked; then it is gone or has no name left, and we make another.
  for (int attempt = 0; attempt < 8; ++attempt) {
    std::string name = folder + "/.velmor-XXXXXX.tmp";
    std::vector<char> pattern(name.begin(), name.end());
    pattern.push_back('\0');
    Descriptor fd(::mkostemps(pattern.data(), 4, O_CLOEXEC));
    if (!fd.valid()) {
      error = errno;
      return std::nullopt;
    }
    name.assign(pattern.data());
    if (::flock(fd.get(), LOCK_EX | LOCK_NB) != 0) continue;  // the cleaner has it and removes it
    struct stat opened {
    }, named{};
    if (::fstat(fd.get(), &opened) == 0 && opened.st_nlink > 0 && ::lstat(name.c_str(), &named) == 0 &&
        named.st_ino == opened.st_ino && named.st_dev == opened.st_dev) {
      return TempFile(std::move(fd), std::move(name));
    }
  }
  error = EEXIST;
  return std::nullopt;
}

TempFile::TempFile(TempFile&& other) noexcept
    : fd_(std::move(other.fd_)), path_(std::move(other.path_)), placed_(other.placed_) {
  other.placed_ = true;
}

TempFile::~TempFile() {
  if (!placed_ && !path_.empty()) ::unlink(path_.c_str());
}

void removeStaleTemporaries(const std::string& folder) {
  DIR* dir = ::opendir(folder.c_str());
  if (dir == nullptr) return;
  const int dirFd = ::dirfd(dir);
  while (const struct dirent* entry = ::readdir(dir)) {
    const std::string name = entry->d_name;
    if (!isOurTemporaryName(name)) continue;
    struct stat listed {};
    if (::fstatat(dirFd, name.c_str(), &listed, AT_SYMLINK_NOFOLLOW) != 0 || !S_ISREG(listed.st_mode)) continue;
    Descriptor fd(::openat(dirFd, name.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC));
    struct stat opened {};
    if (!fd.valid() || ::fstat(fd.get(), &opened) != 0 || opened.st_ino != listed.st_ino) continue;
    // A writer holds its lock until the file is in place; a killed one held
    // it until it died. Only a file nobody locks is a leftover.
    if (::flock(fd.get(), LOCK_EX | LOCK_NB) != 0) continue;
    struct stat again {};
    if (::fstatat(dirFd, name.c_str(), &again, AT_SYMLINK_NOFOLLOW) == 0 && again.st_ino == opened.st_ino &&
        again.st_dev == opened.st_dev) {
      ::unlinkat(dirFd, name.c_str(), 0);
    }
  }
  ::closedir(dir);
}

namespace {

std::mutex heldMutex;
std::map<std::pair<std::uint64_t, std::uint64_t>, int>& heldLocks() {
  static std::map<std::pair<std::uint64_t, std::uint64_t>, int> held;
  return held;
}
std::pair<std::uint64_t, std::uint64_t> keyOf(const struct stat& st) {
  return {static_cast<std::uint64_t>(st.st_dev), static_cast<std::uint64_t>(st.st_ino)};
}

}  // namespace

void registerHeldLock(const struct stat& st) {
  std::lock_guard<std::mutex> guard(heldMutex);
  ++heldLocks()[keyOf(st)];
}

void unregisterHeldLock(const struct stat& st) {
  std::lock_guard<std::mutex> guard(heldMutex);
  auto it = heldLocks().find(keyOf(st));
  if (it != heldLocks().end() && --it->second <= 0) heldLocks().erase(it);
}

bool holdsLock(const struct stat& st) {
  std::lock_guard<std::mutex> guard(heldMutex);
  return heldLocks().count(keyOf(st)) > 0;
}

}  // namespace velmor::posix
#endif
