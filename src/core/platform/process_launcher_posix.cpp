// Programs started with posix_spawn and an argument list.
#ifndef _WIN32
#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <thread>

#include "process_launcher.hpp"

extern char** environ;

namespace velmor {

namespace {

StartStatus statusOf(int err) {
  switch (err) {
    case 0: return StartStatus::Started;
    case ENOENT:
    case ENOTDIR: return StartStatus::NotFound;
    case EACCES:
    case ENOEXEC:
    case EISDIR: return StartStatus::NotExecutable;
    default: return StartStatus::Failed;
  }
}

ProcessEnd endOf(int status) {
  ProcessEnd end;
  end.start = StartStatus::Started;
  if (WIFEXITED(status)) {
    end.exited = true;
    end.exitCode = WEXITSTATUS(status);
  } else if (WIFSIGNALED(status)) {
    end.signal = WTERMSIG(status);
  }
  return end;
}

// Waits for the child on a thread of its own, so that no zombie is left
// however long it runs.
void reapLater(pid_t pid) {
  std::thread([pid] {
    int status = 0;
    while (::waitpid(pid, &status, 0) < 0 && errno == EINTR) {
    }
  }).detach();
}

class PosixProcess : public RunningProcess {
 public:
  PosixProcess(pid_t pid, bool ownGroup) : pid_(pid), ownGroup_(ownGroup) {}
  ~PosixProcess() override {
    if (!ended_) reapLater(pid_);
  }

  std::optional<ProcessEnd> poll() override {
    if (ended_) return end_;
    int status = 0;
    pid_t got = 0;
    do {
      got = ::waitpid(pid_, &status, WNOHANG);
    } while (got < 0 && errno == EINTR);
    if (got == 0) return std::nullopt;
    ended_ = true;
    if (got < 0) {
      // Someone else reaped it (a handler for SIGCHLD): it has ended, how is unknown.
      end_.start = StartStatus::Started;
      end_.error = std::strerror(errno);
    } else {
      end_ = endOf(status);
    }
    return end_;
  }

  ProcessEnd stop() override {
    if (ended_) return end_;
    // The group first: a compiler run through a shell or java has children
    // that would live on after the one we started.
    if (!ownGroup_ || ::kill(-pid_, SIGKILL) != 0) ::kill(pid_, SIGKILL);
    int status = 0;
    pid_t got = 0;
    do {
      got = ::waitpid(pid_, &status, 0);
    } while (got < 0 && errno == EINTR);
    ended_ = true;
    end_ = endOf(status);
    if (got < 0) {
      end_ = ProcessEnd();
      end_.start = StartStatus::Started;
    }
    return end_;
  }

 private:
  pid_t pid_;
  bool ownGroup_;
  bool ended_ = false;
  ProcessEnd end_;
};

// Spawns the program; returns the error number (0 when it started).
int spawn(const ProcessRequest& request, bool ownSession, pid_t& pid) {
  std::vector<std::string> args;
  args.push_back(request.program);
  args.insert(args.end(), request.arguments.begin(), request.arguments.end());
  std::vector<char*> argv;
  for (std::string& arg : args) argv.push_back(arg.data());
  argv.push_back(nullptr);

  std::vector<std::string> env;
  for (char** e = environ; e && *e; ++e) {
    const std::string entry = *e;
    bool replaced = false;
    for (const auto& [name, value] : request.environment) {
      if (entry.size() > name.size() && entry.compare(0, name.size(), name) == 0 && entry[name.size()] == '=')
        replaced = true;
    }
    if (!replaced) env.push_back(entry);
  }
  for (const auto& [name, value] : request.environment) env.push_back(name + "=" + value);
  std::vector<char*> envp;
  for (std::string& entry : env) envp.push_back(entry.data());
  envp.push_back(nullptr);

  posix_spawn_file_actions_t actions;
  posix_spawnattr_t attributes;
  posix_spawn_file_actions_init(&actions);
  posix_spawnattr_init(&attributes);
  // Opened before the change of folder, so a relative name means ours.
  if (!request.errorFile.empty())
    posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, request.errorFile.c_str(), O_WRONLY | O_CREAT | O_TRUNC,
                                     0600);
  if (!request.workingFolder.empty()) posix_spawn_file_actions_addchdir_np(&actions, request.workingFolder.c_str());
  // A map program started from the window lives on when the window ends
  // (and a Ctrl+C in the terminal the window was started from is not its).
  if (ownSession) {
    posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETSID);
  } else if (request.ownGroup) {
    posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETPGROUP);
    posix_spawnattr_setpgroup(&attributes, 0);
  }
  // A path is run as it is; a bare name is looked up on PATH.
  const bool bareName = request.program.find('/') == std::string::npos;
  const int err = bareName
                      ? ::posix_spawnp(&pid, request.program.c_str(), &actions, &attributes, argv.data(), envp.data())
                      : ::posix_spawn(&pid, request.program.c_str(), &actions, &attributes, argv.data(), envp.data());
  posix_spawnattr_destroy(&attributes);
  posix_spawn_file_actions_destroy(&actions);
  return err;
}

ProcessEnd failureOf(int err) {
  ProcessEnd end;
  end.start = statusOf(err);
  end.error = std::strerror(err);
  return end;
}

class PosixLauncher : public ProcessLauncher {
 public:
  std::unique_ptr<RunningProcess> start(const ProcessRequest& request, ProcessEnd& failure) override {
    pid_t pid = 0;
    if (const int err = spawn(request, false, pid)) {
      failure = failureOf(err);
      return nullptr;
    }
    return std::make_unique<PosixProcess>(pid, request.ownGroup);
  }

  ProcessEnd startDetached(const ProcessRequest& request) override {
    pid_t pid = 0;
    if (const int err = spawn(request, true, pid)) return failureOf(err);
    reapLater(pid);
    ProcessEnd end;
    end.start = StartStatus::Started;
    return end;
  }
};

}  // namespace

ProcessLauncher& systemProcesses() {
  static PosixLauncher launcher;
  return launcher;
}

std::string findOnPath(const std::string& name) {
  if (name.empty() || name.find('/') != std::string::npos) return "";
  const char* path = std::getenv("PATH");
  if (!path) return "";
  const std::string folders = path;
  std::size_t from = 0;
  for (;;) {
    const std::size_t to = folders.find(':', from);
    const std::string folder = folders.substr(from, to == std::string::npos ? std::string::npos : to - from);
    const std::string candidate = (folder.empty() ? std::string(".") : folder) + "/" + name;
    struct stat st {};
    if (::stat(candidate.c_str(), &st) == 0 && S_ISREG(st.st_mode) && ::access(candidate.c_str(), X_OK) == 0)
      return candidate;
    if (to == std::string::npos) return "";
    from = to + 1;
  }
}

}  // namespace velmor
#endif
