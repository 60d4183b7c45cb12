// `velmor-cli report` on the 25 MiB product against `cat` of the same warm
// file, both timed as whole processes: the CPU time (user + system) and the
// peak memory the kernel counted for each child. The counters give the
// ratios: report_cpu/cat_cpu, and the report's peak memory over the file.
//
//   build-bench/bench/bench_report
//   /usr/bin/time -v build-bench/src/cli/velmor-cli report /tmp/velmor-bench-report/large.tdb >/dev/null
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include "support/large_product.hpp"

extern char** environ;

namespace {

namespace fs = std::filesystem;

const fs::path kFolder = fs::temp_directory_path() / "velmor-bench-report";

struct ProcessCost {
  double cpuSeconds = 0;
  double peakBytes = 0;
  bool succeeded = false;
};

// The large product, made once and left for the peak-memory command above.
std::string largeProduct() {
  const fs::path path = kFolder / "large.tdb";
  if (!fs::exists(path)) {
    fs::create_directories(kFolder);
    velmor::bench::writeLargeProduct(path.string());
  }
  return path.string();
}

ProcessCost run(const char* program, const char* argument, const std::string& path) {
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
  std::vector<const char*> argv{program};
  if (argument) argv.push_back(argument);
  argv.push_back(path.c_str());
  argv.push_back(nullptr);
  ProcessCost cost;
  pid_t pid = 0;
  if (posix_spawnp(&pid, program, &actions, nullptr, const_cast<char* const*>(argv.data()), environ) == 0) {
    int status = 0;
    rusage usage{};
    if (wait4(pid, &status, 0, &usage) == pid) {
      cost.cpuSeconds = static_cast<double>(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
                        static_cast<double>(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
      cost.peakBytes = static_cast<double>(usage.ru_maxrss) * 1024.0;  // ru_maxrss is in KiB
      cost.succeeded = WIFEXITED(status) && WEXITSTATUS(status) == 0;
    }
  }
  posix_spawn_file_actions_destroy(&actions);
  return cost;
}

void ReportAgainstCat(benchmark::State& state) {
  const std::string path = largeProduct();
  const double fileBytes = static_cast<double>(fs::file_size(path));
  run("cat", nullptr, path);  // warm the page cache
  double catCpu = 0;
  double reportCpu = 0;
  double peak = 0;
  for (auto _ : state) {
    const ProcessCost cat = run("cat", nullptr, path);
    const ProcessCost report = run(VELMOR_CLI, "report", path);
    if (!cat.succeeded || !report.succeeded) {
      state.SkipWithError("cat or velmor-cli report failed");
      return;
    }
    catCpu += cat.cpuSeconds;
    reportCpu += report.cpuSeconds;
    peak = std::max(peak, report.peakBytes);
    state.SetIterationTime(report.cpuSeconds);
  }
  const auto runs = static_cast<double>(state.iterations());
  state.counters["cat_cpu_ms"] = catCpu / runs * 1000;
  state.counters["report_cpu_ms"] = reportCpu / runs * 1000;
  state.counters["cpu_ratio"] = catCpu > 0 ? reportCpu / catCpu : 0;
  state.counters["peak_MiB"] = peak / (1 << 20);
  state.counters["peak_per_file"] = peak / fileBytes;
}
// The iteration time is the report's CPU time, so a busy machine counts less.
BENCHMARK(ReportAgainstCat)->Unit(benchmark::kMillisecond)->Iterations(20)->UseManualTime();

}  // namespace

BENCHMARK_MAIN();
