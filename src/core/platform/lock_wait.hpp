#pragma once
// The wait for a file lock that another process holds, the same on every
// system: the caller is told once that we wait, then tries again every
// 50 ms until the deadline.
#include <chrono>
#include <functional>
#include <string>
#include <thread>

namespace velmor {

class LockWait {
 public:
  explicit LockWait(std::chrono::milliseconds wait) : deadline_(std::chrono::steady_clock::now() + wait) {}

  // After a try that found the lock held: false with `error` set once the
  // time is up, else true after a pause.
  bool pauseBeforeNextTry(const std::function<void()>& waiting, std::string& error) {
    if (std::chrono::steady_clock::now() >= deadline_) {
      error = "another program is still editing it (it holds the file's lock); nothing was saved.";
      return false;
    }
    if (!told_ && waiting) waiting();
    told_ = true;
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    return true;
  }

 private:
  std::chrono::steady_clock::time_point deadline_;
  bool told_ = false;
};

}  // namespace velmor
