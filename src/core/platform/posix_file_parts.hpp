#pragma once
// The pieces the POSIX file services are built from: descriptors, the walk
// along a chain of links, our temporary files and the registry of the locks
// this process holds. Internal to the platform layer.
#ifndef _WIN32
#include <sys/stat.h>

#include <cstdint>
#include <optional>
#include <span>
#include <string>

#include "file_services.hpp"

namespace velmor::posix {

std::string errnoText(int error);

class Descriptor {
 public:
  explicit Descriptor(int fd = -1) : fd_(fd) {}
  ~Descriptor() { reset(); }
  Descriptor(Descriptor&& other) noexcept : fd_(other.fd_) { other.fd_ = -1; }
  Descriptor& operator=(Descriptor&& other) noexcept;
  Descriptor(const Descriptor&) = delete;
  Descriptor& operator=(const Descriptor&) = delete;
  int get() const { return fd_; }
  bool valid() const { return fd_ >= 0; }
  void reset(int fd = -1);

 private:
  int fd_;
};

// The folder a file lives in, "." for a bare name.
std::string folderOf(const std::string& path);

// Follows `path` along its chain of symbolic links to the name that is
// finally read or written. A dangling link ends at the name it holds, which
// a write then creates. Nullopt with `error` set for a loop or an unreadable link.
std::optional<std::string> resolveLinks(const std::string& path, int& error);

// Our text for something that is not a regular file ("Is a device, ...");
// `through` is the name a link led to, empty when no link was followed.
std::string notRegularText(mode_t mode, const std::string& through);

FileIdentity identityOf(const struct stat& st, std::int64_t takenNs);
std::int64_t nowNs();

bool writeAll(int fd, std::span<const std::uint8_t> bytes, int& error);
// Clears O_NONBLOCK again once a file is known to be a regular one.
void makeBlocking(int fd);
// Gives the file the owner, group and mode of `like` as far as the system
// lets us; a plain user may not give a file away, and that is no failure.
void copyOwnerAndMode(int fd, const struct stat& like, mode_t mode);
// Makes a finished rename in `folder` durable.
void syncFolder(const std::string& folder);

// A temporary file of our own pattern in a folder. It carries a lock for as
// long as it is open, which tells the cleaner of another process that it is
// being written and is not a leftover. Removed when dropped unchanged.
class TempFile {
 public:
  static std::optional<TempFile> create(const std::string& folder, int& error);
  ~TempFile();
  TempFile(TempFile&& other) noexcept;
  TempFile& operator=(TempFile&&) = delete;
  TempFile(const TempFile&) = delete;
  TempFile& operator=(const TempFile&) = delete;

  int fd() const { return fd_.get(); }
  const std::string& path() const { return path_; }
  // The file has been renamed or linked into place: it is no longer ours to remove.
  void placed() { placed_ = true; }

 private:
  TempFile(Descriptor fd, std::string path) : fd_(std::move(fd)), path_(std::move(path)) {}
  Descriptor fd_;
  std::string path_;
  bool placed_ = false;
};

// Removes the temporary files of our pattern in `folder` that nobody is
// writing any more (left by a save that was killed or stopped by a file-size
// limit). Files of any other name, and ours that are still locked, stay.
void removeStaleTemporaries(const std::string& folder);

// The files this process holds a FileLock on, so that heldOpen does not
// mistake our own lock for another program's.
void registerHeldLock(const struct stat& st);
void unregisterHeldLock(const struct stat& st);
bool holdsLock(const struct stat& st);

}  // namespace velmor::posix
#endif
