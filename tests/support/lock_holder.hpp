#pragma once
// Another process that holds a lock on a file until released, to stand in
// for a map program that keeps a product file open.
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
