// Opening the largest accepted product file: read, decode, report and form.
#include <benchmark/benchmark.h>

#include <filesystem>

#include "core/product/loader.hpp"
#include "support/large_product.hpp"

namespace {

class NoMessages : public velmor::Prompter {
 public:
  void message(const std::string&) override {}
  velmor::Answer ask(const std::string&, velmor::Buttons) override { return velmor::Answer::Cancel; }
};

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
  NoMessages prompter;
  for (auto _ : state) {
    velmor::ProductFile file;
    velmor::ProductForm form;
    velmor::openProduct(file, form, path, prompter);
    benchmark::DoNotOptimize(form.detailMaps.data());
    state.counters["tiles"] = static_cast<double>(form.detailMaps.size());
  }
}
BENCHMARK(OpenLargeProduct)->Unit(benchmark::kMillisecond)->MinTime(2.0);

}  // namespace

BENCHMARK_MAIN();
