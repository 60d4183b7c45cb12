// Opening the largest accepted product file: read, decode, report and form.
#include <benchmark/benchmark.h>

#include <filesystem>

#include "core/product/loader.hpp"
#include "support/large_product.hpp"

namespace {

const std::string& largeFile() {
  static const std::string path = [] {
    std::string p = (std::filesystem::temp_directory_path() / "velmor-bench-large.tdb").string();
    velmor::bench::writeLargeProduct(p);
    return p;
  }();
  return path;
}

void OpenLargeProduct(benchmark::State& state) {
  const std::string& path = largeFile();
  velmor::SilentPrompter prompter;
  for (auto _ : state) {
    velmor::ProductFile file;
    velmor::ProductForm form;
    velmor::openProduct(file, form, path, prompter);
    benchmark::DoNotOptimize(form.detailMaps.data());
    state.counters["tiles"] = static_cast<double>(form.detailMaps.size());
  }
}
BENCHMARK(OpenLargeProduct)->Unit(benchmark::kMillisecond)->MinTime(2.0);

// The hostile files of the same size: 4.37 million 6-byte tiles, 6.5
// million 4-byte blocks of an unknown type.
void OpenCraftedProduct(benchmark::State& state) {
  const auto kind =
      state.range(0) == 0 ? velmor::bench::CraftedKind::TinyTiles : velmor::bench::CraftedKind::UnknownBlocks;
  const std::string path = (std::filesystem::temp_directory_path() / "velmor-bench-crafted.tdb").string();
  velmor::bench::writeCraftedProduct(path, kind);
  velmor::SilentPrompter prompter;
  for (auto _ : state) {
    velmor::ProductFile file;
    velmor::ProductForm form;
    velmor::openProduct(file, form, path, prompter);
    benchmark::DoNotOptimize(form.detailMaps.data());
    state.counters["blocks"] = static_cast<double>(file.blocks.size());
  }
  std::filesystem::remove(path);
}
BENCHMARK(OpenCraftedProduct)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
