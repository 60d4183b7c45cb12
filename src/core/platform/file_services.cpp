// POSIX file services (Linux, macOS); the Windows ones are in file_services_win.cpp.
#ifndef _WIN32
#include "file_services.hpp"
#include "lock_wait.hpp"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>

#include "posix_file_parts.hpp"

namespace velmor {

namespace {

using posix::Descriptor;
using posix::errnoText;

constexpr mode_t kWriteBits = S_IWUSR | S_IWGRP | S_IWOTH;

// A file of many megabytes read whole would otherwise take its room a 4 KiB
// page fault at a time (6,400 for 25 MiB), which costs more than the read.
// Asked for, the system hands out 2 MiB pages instead where it can; a
// refusal changes nothing.
void preferLargePages(const std::vector<std::uint8_t>& room) {
  constexpr std::uintptr_t kLargePage = std::uintptr_t{1} << 21;
  if (room.capacity() < 2 * kLargePage) return;
  const auto start = reinterpret_cast<std::uintptr_t>(room.data());
  const std::uintptr_t first = (start + kLargePage - 1) & ~(kLargePage - 1);
  const std::uintptr_t end = (start + room.capacity()) & ~(kLargePage - 1);
  if (end > first) ::madvise(reinterpret_cast<void*>(first), end - first, MADV_HUGEPAGE);
}

mode_t modeForNewFile() {
  mode_t mask = ::umask(0);
  ::umask(mask);
  return static_cast<mode_t>(0666 & ~mask);
}

// The held lock of edit sessions: the lock goes with the descriptor.
class PosixLock : public FileLock {
 public:
  PosixLock(Descriptor fd, const struct stat& st) : fd_(std::move(fd)), st_(st) { posix::registerHeldLock(st_); }
  ~PosixLock() override { posix::unregisterHeldLock(st_); }
  PosixLock(const PosixLock&) = delete;
  PosixLock& operator=(const PosixLock&) = delete;

 private:
  Descriptor fd_;
  struct stat st_;
};

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
    return (st.st_mode & kWriteBits) == 0;
  }

  bool heldOpen(const std::string& path) const override {
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0) return false;
    if ((st.st_mode & kWriteBits) == 0) return true;
    if (!S_ISREG(st.st_mode)) return false;  // refused elsewhere, with its own message
    // Our own edit lock is exclusive: while we hold it nobody else holds one.
    if (posix::holdsLock(st)) return false;
    Descriptor fd(::open(path.c_str(), O_WRONLY | O_NONBLOCK | O_CLOEXEC));
    if (!fd.valid()) return true;
    // A record lock (fcntl or open-file-description) held by anyone else.
    struct flock probe {};
    probe.l_type = F_WRLCK;
    probe.l_whence = SEEK_SET;
    if (::fcntl(fd.get(), F_GETLK, &probe) == 0 && probe.l_type != F_UNLCK) return true;
    // A whole-file flock lock.
    if (::flock(fd.get(), LOCK_EX | LOCK_NB) != 0) return errno == EWOULDBLOCK || errno == EAGAIN;
    ::flock(fd.get(), LOCK_UN);
    return false;
  }

  std::optional<std::string> setReadOnly(const std::string& path) override {
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0) return errnoText(errno);
    if (::chmod(path.c_str(), st.st_mode & ~kWriteBits) != 0) return errnoText(errno);
    return std::nullopt;
  }

  std::optional<WriteRefusal> checkWritable(const std::string& path) const override {
    int error = 0;
    auto real = posix::resolveLinks(path, error);
    if (!real) return WriteRefusal{false, errnoText(error)};
    return refusalFor(path, *real);
  }

  std::optional<std::string> atomicReplace(const std::string& requested, std::span<const std::uint8_t> bytes,
                                           FileIdentity* written) override {
    int error = 0;
    auto path = posix::resolveLinks(requested, error);
    if (!path) return errnoText(error);
    if (auto refusal = refusalFor(requested, *path)) return refusal->text;
    struct stat old {};
    const bool existed = ::stat(path->c_str(), &old) == 0;

    const std::string folder = posix::folderOf(*path);
    posix::removeStaleTemporaries(folder);
    auto temp = posix::TempFile::create(folder, error);
    if (!temp) return errnoText(error);
    if (!posix::writeAll(temp->fd(), bytes, error)) return errnoText(error);
    if (existed) {
      posix::copyOwnerAndMode(temp->fd(), old, old.st_mode & 07777);
    } else if (::fchmod(temp->fd(), modeForNewFile()) != 0) {
      // Stays private (0600), which is the safe side.
    }
    if (::fsync(temp->fd()) != 0) return errnoText(errno);
    struct stat done {};
    const std::int64_t takenNs = posix::nowNs();
    const bool known = ::fstat(temp->fd(), &done) == 0;
    // The file stays locked up to the rename, so no cleaner takes it for a leftover.
    if (::rename(temp->path().c_str(), path->c_str()) != 0) return errnoText(errno);
    temp->placed();
    posix::syncFolder(folder);
    if (written != nullptr) *written = known ? posix::identityOf(done, takenNs) : FileIdentity{};
    return std::nullopt;
  }

  BackupResult createBackup(const std::string& original, const std::string& backup, std::string& error) override {
    int code = 0;
    auto target = posix::resolveLinks(backup, code);
    if (!target) {
      error = errnoText(code);
      return BackupResult::Failed;
    }
    struct stat present {};
    if (::stat(target->c_str(), &present) == 0) {
      if (S_ISREG(present.st_mode)) return BackupResult::Existed;
      error = posix::notRegularText(present.st_mode, *target == backup ? "" : *target);
      return BackupResult::Failed;
    }
    struct stat st {};
    Descriptor in = openRegular(original, st, error);
    if (!in.valid()) return BackupResult::Failed;

    const std::string folder = posix::folderOf(*target);
    posix::removeStaleTemporaries(folder);
    auto temp = posix::TempFile::create(folder, code);
    if (!temp) {
      error = errnoText(code);
      return BackupResult::Failed;
    }
    if (!copyAll(in.get(), temp->fd(), code)) {
      error = errnoText(code);
      return BackupResult::Failed;
    }
    posix::copyOwnerAndMode(temp->fd(), st, st.st_mode & 07777 & ~kWriteBits);
    if (::fsync(temp->fd()) != 0) {
      error = errnoText(errno);
      return BackupResult::Failed;
    }
    // A link fails when the name exists: the first backup stays, even when
    // another program made it a moment ago.
    if (::link(temp->path().c_str(), target->c_str()) == 0) {
      posix::syncFolder(folder);
      return BackupResult::Created;  // the temporary name goes with `temp`
    }
    if (errno == EEXIST) return BackupResult::Existed;
    // File systems without hard links (FAT): a rename after a last look.
    if (::stat(target->c_str(), &present) == 0) return BackupResult::Existed;
    if (::rename(temp->path().c_str(), target->c_str()) != 0) {
      error = errnoText(errno);
      return BackupResult::Failed;
    }
    temp->placed();
    posix::syncFolder(folder);
    return BackupResult::Created;
  }

  FileRead readFile(const std::string& path, std::uint64_t limit, OverLimit over) const override {
    FileRead out;
    struct stat st {};
    Descriptor fd = openToRead(path, st, out.error, out.status);
    if (!fd.valid()) return out;
    const std::int64_t takenNs = posix::nowNs();
    out.identity = posix::identityOf(st, takenNs);
    const auto size = static_cast<std::uint64_t>(st.st_size);
    if (size > limit && over == OverLimit::Refuse) {
      out.status = ReadStatus::TooLarge;
      return out;
    }
    out.bytes.reserve(static_cast<std::size_t>(std::min(size, limit)));
    preferLargePages(out.bytes);
    std::uint8_t buffer[65536];
    for (;;) {
      const std::uint64_t room = limit - out.bytes.size();
      // One byte past the limit tells a file that grew since it was measured.
      const std::size_t want = over == OverLimit::Truncate ? std::min<std::uint64_t>(sizeof buffer, room)
                                                           : std::min<std::uint64_t>(sizeof buffer, room + 1);
      if (want == 0) break;
      const ssize_t n = ::read(fd.get(), buffer, want);
      if (n < 0) {
        if (errno == EINTR) continue;
        out.error = errnoText(errno);
        out.bytes.clear();
        return out;
      }
      if (n == 0) break;
      if (static_cast<std::uint64_t>(n) > room) {
        out.status = ReadStatus::TooLarge;
        out.bytes.clear();
        return out;
      }
      out.bytes.insert(out.bytes.end(), buffer, buffer + n);
    }
    out.status = ReadStatus::Read;
    return out;
  }

  BufferedRead readToBuffer(const std::string& path, std::uint64_t limit) const override {
    BufferedRead out;
    struct stat st {};
    Descriptor fd = openToRead(path, st, out.error, out.status);
    if (!fd.valid()) return out;
    out.identity = posix::identityOf(st, posix::nowNs());
    const auto size = static_cast<std::uint64_t>(st.st_size);
    if (size > limit) {
      out.status = ReadStatus::TooLarge;
      return out;
    }
    // One byte more than the file measured: a full buffer tells a file that
    // grew since, which is then read the ordinary way, limit and all.
    ReadBuffer buffer = ReadBuffer::withRoom(static_cast<std::size_t>(size) + 1);
    if (buffer.capacity() == 0) return asBufferedRead(readFile(path, limit, OverLimit::Refuse));
    while (buffer.size() < buffer.capacity()) {
      const ssize_t n = ::read(fd.get(), buffer.freeRoom(), buffer.capacity() - buffer.size());
      if (n < 0) {
        if (errno == EINTR) continue;
        out.error = errnoText(errno);
        return out;
      }
      if (n == 0) break;
      buffer.filled(static_cast<std::size_t>(n));
    }
    if (buffer.size() == buffer.capacity()) return asBufferedRead(readFile(path, limit, OverLimit::Refuse));
    out.bytes = std::move(buffer);
    out.status = ReadStatus::Read;
    return out;
  }

  FileIdentity identity(const std::string& path) const override {
    const std::int64_t takenNs = posix::nowNs();
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0) return FileIdentity{};
    return posix::identityOf(st, takenNs);
  }

  std::unique_ptr<FileLock> lockFile(const std::string& path, std::chrono::milliseconds wait,
                                     const std::function<void()>& waiting, std::string& error) override {
    LockWait patience(wait);
    for (;;) {
      struct stat st {};
      Descriptor fd = openRegular(path, st, error);
      if (!fd.valid()) return nullptr;
      if (::flock(fd.get(), LOCK_EX | LOCK_NB) == 0) {
        // The holder we waited for may have replaced the file meanwhile;
        // the lock must be on the file the name stands for now.
        struct stat named {};
        if (::stat(path.c_str(), &named) == 0 && named.st_dev == st.st_dev && named.st_ino == st.st_ino)
          return std::make_unique<PosixLock>(std::move(fd), st);
        continue;
      }
      if (errno != EWOULDBLOCK && errno != EAGAIN && errno != EINTR) {
        error = errnoText(errno);
        return nullptr;
      }
      if (!patience.pauseBeforeNextTry(waiting, error)) return nullptr;
    }
  }

  std::optional<std::string> appendToFile(const std::string& requested, std::span<const std::uint8_t> bytes) override {
    int error = 0;
    auto path = posix::resolveLinks(requested, error);
    if (!path) return errnoText(error);
    if (auto refusal = refusalFor(requested, *path); refusal && !refusal->readOnly) return refusal->text;
    Descriptor fd(::open(path->c_str(), O_WRONLY | O_APPEND | O_CREAT | O_NONBLOCK | O_CLOEXEC | O_NOFOLLOW, 0666));
    if (!fd.valid()) return errnoText(errno);
    struct stat st {};
    if (::fstat(fd.get(), &st) != 0) return errnoText(errno);
    if (!S_ISREG(st.st_mode)) return posix::notRegularText(st.st_mode, "");
    posix::makeBlocking(fd.get());
    if (!posix::writeAll(fd.get(), bytes, error)) return errnoText(error);
    return std::nullopt;
  }

 private:
  // What stands at `real` (the end of the links from `requested`) that a
  // replace must not touch.
  static std::optional<WriteRefusal> refusalFor(const std::string& requested, const std::string& real) {
    struct stat st {};
    if (::stat(real.c_str(), &st) != 0) return std::nullopt;  // a new file
    if (!S_ISREG(st.st_mode))
      return WriteRefusal{false, posix::notRegularText(st.st_mode, real == requested ? "" : real)};
    if ((st.st_mode & kWriteBits) == 0) return WriteRefusal{true, errnoText(EACCES)};
    return std::nullopt;
  }

  // openRegular (below) for a read: when the file cannot be opened, `status` says
  // whether it is no regular file.
  static Descriptor openToRead(const std::string& path, struct stat& st, std::string& error, ReadStatus& status) {
    bool notRegular = false;
    Descriptor fd = openRegular(path, st, error, &notRegular);
    if (!fd.valid()) status = notRegular ? ReadStatus::NotRegular : ReadStatus::Failed;
    return fd;
  }

  // Opens a regular file for reading: checked before the open, opened
  // without blocking (a pipe would wait for a writer forever), checked
  // again on the descriptor, then made blocking for the reads.
  static Descriptor openRegular(const std::string& path, struct stat& st, std::string& error,
                                bool* notRegular = nullptr) {
    if (::stat(path.c_str(), &st) != 0) {
      error = errnoText(errno);
      return Descriptor();
    }
    if (!S_ISREG(st.st_mode)) {
      error = posix::notRegularText(st.st_mode, "");
      if (notRegular != nullptr) *notRegular = true;
      return Descriptor();
    }
    Descriptor fd(::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC));
    if (!fd.valid()) {
      error = errnoText(errno);
      return fd;
    }
    if (::fstat(fd.get(), &st) != 0) {
      error = errnoText(errno);
      return Descriptor();
    }
    if (!S_ISREG(st.st_mode)) {  // swapped for something else since the first look
      error = posix::notRegularText(st.st_mode, "");
      if (notRegular != nullptr) *notRegular = true;
      return Descriptor();
    }
    posix::makeBlocking(fd.get());
    return fd;
  }

  static bool copyAll(int from, int to, int& error) {
    std::uint8_t buffer[65536];
    for (;;) {
      const ssize_t n = ::read(from, buffer, sizeof buffer);
      if (n < 0) {
        if (errno == EINTR) continue;
        error = errno;
        return false;
      }
      if (n == 0) return true;
      if (!posix::writeAll(to, std::span<const std::uint8_t>(buffer, static_cast<std::size_t>(n)), error)) return false;
    }
  }
};

}  // namespace

FileServices& systemFiles() {
  static PosixFiles files;
  return files;
}

}  // namespace velmor
#endif
