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
  ProcessEnd failure;
  std::unique_ptr<RunningProcess> process = launcher.start(request, failure);
  if (!process) return failure;
  for (;;) {
    if (std::optional<ProcessEnd> end = process->poll()) return *end;
    if (betweenPolls) betweenPolls();
    std::this_thread::sleep_for(kPollInterval);
  }
}

}  // namespace velmor
