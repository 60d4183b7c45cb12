#pragma once
// Starting other programs: the map compiler, wine, MapSource, BaseCamp and
// QlandkarteGT. A program is always started with an argument list, never
// through a command interpreter, so a path holding blanks, "&" or quotes is
// one argument and nothing in it is ever run.
#include <chrono>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace velmor {

struct ProcessRequest {
  // A path, or a bare name looked up on PATH.
  std::string program;
  // The arguments after the program's own name.
  std::vector<std::string> arguments;
  // Added to this process's environment, replacing a variable of the same name.
  std::vector<std::pair<std::string, std::string>> environment;
  // Where the program starts; "" for our own current folder.
  std::string workingFolder;
  // Started in a group of its own (a process group; a job on Windows), so
  // that stop() ends it with every program it started, and a Ctrl+C in our
  // terminal reaches only us, who decide.
  bool ownGroup = false;
  // Its error output goes to this file (made anew) instead of ours; "" to
  // share ours.
  std::string errorFile;
};

enum class StartStatus {
  Started,
  NotFound,       // no such program (or nothing on PATH by that name)
  NotExecutable,  // it exists but the system cannot run it
  Failed,         // any other reason; `error` says which
};

// How a started program ended, or why it could not be started.
struct ProcessEnd {
  StartStatus start = StartStatus::Failed;
  std::string error;    // the system's text when it could not be started
  bool exited = false;  // ended by itself with `exitCode`
  int exitCode = -1;
  int signal = 0;          // the signal that ended it when it did not exit (POSIX)
  bool timedOut = false;   // stopped by us: it ran past the time it was given
  bool cancelled = false;  // stopped by us: the user asked

  bool started() const { return start == StartStatus::Started; }
  bool succeeded() const { return started() && exited && exitCode == 0; }
};

// A program that was started and may still run.
class RunningProcess {
 public:
  virtual ~RunningProcess() = default;
  // Looks without waiting: its end once it has ended, nullopt while it runs.
  virtual std::optional<ProcessEnd> poll() = 0;
  // Ends it at once (with its whole group when it has one) and waits until
  // it has gone; returns how it ended.
  virtual ProcessEnd stop() = 0;
};

class ProcessLauncher {
 public:
  virtual ~ProcessLauncher() = default;
  // Starts the program and hands it back to be polled. On failure returns
  // null and `failure` says why.
  virtual std::unique_ptr<RunningProcess> start(const ProcessRequest& request, ProcessEnd& failure) = 0;
  // Starts the program and lets it run on its own (a map program the user
  // works in); only whether it could be started is reported.
  virtual ProcessEnd startDetached(const ProcessRequest& request) = 0;
};

// The launcher of the system the program runs on.
ProcessLauncher& systemProcesses();

// Starts the program and waits for its end without blocking the caller's
// event loop: `betweenPolls` runs between looks at the process (the window
// repaints there), with a short sleep so that the wait costs no processor.
ProcessEnd runAndWait(ProcessLauncher& launcher, const ProcessRequest& request,
                      const std::function<void()>& betweenPolls);

struct WaitLimits {
  // Stopped when it runs longer; zero for no limit.
  std::chrono::milliseconds timeout{0};
  // Asked between polls; true stops it.
  std::function<bool()> cancelled{};
};

// As above, stopping the program (see RunningProcess::stop) when it runs
// past the timeout or the caller cancels: the end then says which.
ProcessEnd runAndWait(ProcessLauncher& launcher, const ProcessRequest& request,
                      const std::function<void()>& betweenPolls, const WaitLimits& limits);

// The full path of a program found on PATH, "" when there is none.
std::string findOnPath(const std::string& name);

}  // namespace velmor
