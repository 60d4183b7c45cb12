#pragma once
// Another process that holds a lock on a file until released, to stand in
// for a map program that keeps a product file open. On Windows another
// handle does: sharing rules hold between handles, whichever process has them.
#ifdef _WIN32
#include <windows.h>

#include <string>

#include "core/platform/unicode_text.hpp"

namespace velmor::test {

class LockHolder {
 public:
  // Record: a byte-range lock over the whole file on a handle that shares
  // everything; Whole: a handle opened for writing that lets others only
  // read, as a program keeps a file it works on.
  enum class Kind { Record, Whole };

  LockHolder(const std::string& path, Kind kind) {
    const std::u16string units = utf8ToUtf16(path);
    const std::wstring name(units.begin(), units.end());
    const DWORD share = kind == Kind::Whole ? FILE_SHARE_READ : FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;
    h_ = ::CreateFileW(name.c_str(), GENERIC_READ | GENERIC_WRITE, share, nullptr, OPEN_EXISTING, 0, nullptr);
    if (h_ == INVALID_HANDLE_VALUE) return;
    OVERLAPPED at{};
    locked_ = kind == Kind::Whole || ::LockFileEx(h_, LOCKFILE_EXCLUSIVE_LOCK, 0, MAXDWORD, MAXDWORD, &at);
  }
  ~LockHolder() { release(); }
  LockHolder(const LockHolder&) = delete;
  LockHolder& operator=(const LockHolder&) = delete;

  bool locked() const { return locked_; }
  void release() {
    if (h_ != INVALID_HANDLE_VALUE) ::CloseHandle(h_);
    h_ = INVALID_HANDLE_VALUE;
  }

 private:
  HANDLE h_ = INVALID_HANDLE_VALUE;
  bool locked_ = false;
};

}  // namespace velmor::test
#else
#include <fcntl.h>
#include <sys/file.h>
#include <sys/wait.h>
#include <unistd.h>

#include <string>

namespace velmor::test {

class LockHolder {
 public:
  enum class Kind { Record, Whole };  // fcntl record lock, flock whole-file lock

  LockHolder(const std::string& path, Kind kind) {
    int ready[2], release[2];
    if (::pipe(ready) != 0 || ::pipe(release) != 0) return;
    pid_ = ::fork();
    if (pid_ == 0) {
      ::close(ready[0]);
      ::close(release[1]);
      int fd = ::open(path.c_str(), O_RDWR);
      bool locked = false;
      if (fd >= 0 && kind == Kind::Record) {
        struct flock lock {};
        lock.l_type = F_WRLCK;
        lock.l_whence = SEEK_SET;
        locked = ::fcntl(fd, F_SETLKW, &lock) == 0;
      } else if (fd >= 0) {
        locked = ::flock(fd, LOCK_EX) == 0;
      }
      char c = locked ? 'y' : 'n';
      (void)!::write(ready[1], &c, 1);
      (void)!::read(release[0], &c, 1);
      ::_exit(0);
    }
    ::close(ready[1]);
    ::close(release[0]);
    releaseFd_ = release[1];
    char c = 'n';
    locked_ = ::read(ready[0], &c, 1) == 1 && c == 'y';
    ::close(ready[0]);
  }
  ~LockHolder() { release(); }
  LockHolder(const LockHolder&) = delete;
  LockHolder& operator=(const LockHolder&) = delete;

  bool locked() const { return locked_; }
  void release() {
    if (pid_ <= 0) return;
    char c = 'x';
    (void)!::write(releaseFd_, &c, 1);
    ::close(releaseFd_);
    int status = 0;
    ::waitpid(pid_, &status, 0);
    pid_ = -1;
  }

 private:
  pid_t pid_ = -1;
  int releaseFd_ = -1;
  bool locked_ = false;
};

}  // namespace velmor::test
#endif
