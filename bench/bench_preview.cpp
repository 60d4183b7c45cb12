// The preview map source of the largest accepted product: gathering the
// tiles from the model and writing the whole text, as "Create Basemap" does
// before the compiler runs.
#include <benchmark/benchmark.h>

#include <filesystem>

#include "core/install/map_source.hpp"
#include "core/product/loader.hpp"
#include "support/large_product.hpp"

namespace {

using Large = velmor::bench::OpenedLargeProduct;

Large& large() { return velmor::bench::openedLargeProduct(); }

void PreviewSourceOfEveryTile(benchmark::State& state) {
  Large& l = large();
  for (auto _ : state) benchmark::DoNotOptimize(velmor::previewSource(l.file, l.form).tiles.data());
}
BENCHMARK(PreviewSourceOfEveryTile)->Unit(benchmark::kMillisecond);

void PreviewMapSourceText(benchmark::State& state) {
  Large& l = large();
  const velmor::PreviewSource source = velmor::previewSource(l.file, l.form);
  std::string refusal;
  std::size_t bytes = 0;
  for (auto _ : state) {
    auto text = velmor::previewMapSourceText(source, velmor::LabelEncoding::CodePage, refusal);
    bytes = text ? text->size() : 0;
    benchmark::DoNotOptimize(text);
  }
  state.counters["tiles"] = static_cast<double>(source.tiles.size());
  state.counters["bytes"] = static_cast<double>(bytes);
}
BENCHMARK(PreviewMapSourceText)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
