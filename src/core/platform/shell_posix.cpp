#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <future>
#include <thread>
#include <vector>

#include "shell.hpp"

extern char** environ;

namespace velmor {

namespace {

// xdg-open's exit codes: 3 "a required tool could not be found" and 4
// "the action failed" are what it answers when nothing can open the target.
constexpr int kXdgToolMissing = 3;
constexpr int kXdgActionFailed = 4;
// xdg-open returns once the program has started; some desktops keep it
// running with the program. After this long it counts as opened.
constexpr auto kOpenAnswerWait = std::chrono::seconds(3);

class XdgShell : public Shell {
 public:
  ShellResult open(const std::string& target) override {
    std::string program = "xdg-open";
    std::vector<char*> argv{program.data(), const_cast<char*>(target.c_str()), nullptr};
    pid_t pid = 0;
    int err = ::posix_spawnp(&pid, program.c_str(), nullptr, nullptr, argv.data(), environ);
    if (err == ENOENT) return ShellResult::NoAssociation;
    if (err != 0) return ShellResult::Failed;
    // A waiting thread reaps the child however long it runs; we only wait
    // a moment for its answer.
    auto status = std::make_shared<std::promise<int>>();
    std::future<int> answer = status->get_future();
    std::thread([pid, status] {
      int st = 0;
      while (::waitpid(pid, &st, 0) < 0 && errno == EINTR) {
      }
      status->set_value(WIFEXITED(st) ? WEXITSTATUS(st) : -1);
    }).detach();
    if (answer.wait_for(kOpenAnswerWait) != std::future_status::ready) return ShellResult::Opened;
    int code = answer.get();
    if (code == 0) return ShellResult::Opened;
    if (code == kXdgToolMissing || code == kXdgActionFailed) return ShellResult::NoAssociation;
    return ShellResult::Failed;
  }
};

}  // namespace

std::unique_ptr<Shell> desktopShell() { return std::make_unique<XdgShell>(); }

}  // namespace velmor
