// Saving the largest accepted product file after an edit: rebuild, join,
// CRC-32, read-back check and the replace of the target on disk.
#include <benchmark/benchmark.h>

#include <filesystem>

#include "core/common/log_sink.hpp"
#include "core/product/loader.hpp"
#include "core/product/save.hpp"
#include "support/large_product.hpp"

namespace {

void SaveModifiedLargeProduct(benchmark::State& state) {
  namespace fs = std::filesystem;
  const fs::path folder = fs::temp_directory_path() / "velmor-bench-save";
  fs::remove_all(folder);
  fs::create_directories(folder);
  const std::string path = (folder / "large.tdb").string();
  velmor::bench::writeLargeProduct(path);

  velmor::SilentPrompter prompter(velmor::Answer::Yes);
  velmor::SilentLog log;
  velmor::ProductFile file;
  velmor::ProductForm form;
  velmor::openProduct(file, form, path, prompter);
  velmor::SaveContext context{file, form, prompter, velmor::quietActivity(), log, folder.string()};
  int pid = 1;
  for (auto _ : state) {
    form.pidText = std::to_string(++pid);
    form.familyNameText = "Large Family " + std::to_string(pid);
    file.modified = true;
    if (velmor::save(context, path) != velmor::SaveOutcome::Saved) {
      state.SkipWithError("save failed");
      break;
    }
  }
  state.counters["bytes"] = static_cast<double>(file.loadedData.size());
  state.counters["tiles"] = static_cast<double>(form.detailMaps.size());
  fs::permissions(folder / "large_bak.tdb", fs::perms::owner_write, fs::perm_options::add);
  fs::remove_all(folder);
}
BENCHMARK(SaveModifiedLargeProduct)->Unit(benchmark::kMillisecond)->MinTime(3.0);

}  // namespace

BENCHMARK_MAIN();
