#include "process_launcher.hpp"

#include <chrono>
#include <thread>

namespace velmor {

namespace {

// Short enough that the end of a compiler run is seen at once, long enough
// that the wait costs nothing next to the compiler itself.
constexpr auto kPollInterval = std::chrono::milliseconds(10);

}  // namespace

ProcessEnd runAndWait(ProcessLauncher& launcher, const ProcessRequest& request,
                      const std::function<void()>& betweenPolls) {
  return runAndWait(launcher, request, betweenPolls, WaitLimits{});
}

ProcessEnd runAndWait(ProcessLauncher& launcher, const ProcessRequest& request,
                      const std::function<void()>& betweenPolls, const WaitLimits& limits) {
  ProcessEnd failure;
  std::unique_ptr<RunningProcess> process = launcher.start(request, failure);
  if (!process) return failure;
  const auto started = std::chrono::steady_clock::now();
  for (;;) {
    if (std::optional<ProcessEnd> end = process->poll()) return *end;
    if (betweenPolls) betweenPolls();
    if (limits.cancelled && limits.cancelled()) {
      ProcessEnd end = process->stop();
      end.cancelled = true;
      return end;
    }
    if (limits.timeout.count() > 0 && std::chrono::steady_clock::now() - started >= limits.timeout) {
      ProcessEnd end = process->stop();
      end.timedOut = true;
      return end;
    }
    std::this_thread::sleep_for(kPollInterval);
  }
}

}  // namespace velmor
