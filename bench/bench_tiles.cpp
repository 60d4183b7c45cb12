// The tile rules on the largest accepted product: parsing the bounds for the
// plot, the plot geometry of every tile, a search through every tile, and
// the byte grid of the largest block.
#include <benchmark/benchmark.h>

#include <filesystem>

#include "core/editor/plot_geometry.hpp"
#include "core/editor/raw_block_panel.hpp"
#include "core/editor/tile_search.hpp"
#include "core/product/loader.hpp"
#include "support/large_product.hpp"

namespace {

using Large = velmor::bench::OpenedLargeProduct;

Large& large() { return velmor::bench::openedLargeProduct(); }

void PlotTilesFromTileBounds(benchmark::State& state) {
  Large& l = large();
  for (auto _ : state) benchmark::DoNotOptimize(velmor::plotTiles(l.form.detailMaps).data());
  state.counters["tiles"] = static_cast<double>(l.form.detailMaps.size());
}
BENCHMARK(PlotTilesFromTileBounds)->Unit(benchmark::kMillisecond);

void PlotGeometryOfEveryTile(benchmark::State& state) {
  Large& l = large();
  const std::vector<velmor::PlotTile> tiles = velmor::plotTiles(l.form.detailMaps);
  const velmor::PlotArea area{21000, 13500, 1.0f, 0, 0};
  for (auto _ : state) benchmark::DoNotOptimize(velmor::plotGeometry(l.file.overallBounds, tiles, area).data());
}
BENCHMARK(PlotGeometryOfEveryTile)->Unit(benchmark::kMillisecond);

void SearchWithoutMatch(benchmark::State& state) {
  Large& l = large();
  velmor::SilentPrompter prompter;
  for (auto _ : state) benchmark::DoNotOptimize(velmor::search(l.file, l.form, "no such tile", prompter));
}
BENCHMARK(SearchWithoutMatch)->Unit(benchmark::kMillisecond);

void ByteGridOfTheLargestBlock(benchmark::State& state) {
  velmor::Bytes block(65538, 0x41);
  block[0] = 0x4C;
  block[1] = 0xFF;
  block[2] = 0xFF;
  for (auto _ : state) benchmark::DoNotOptimize(velmor::byteGrid(block).data());
}
BENCHMARK(ByteGridOfTheLargestBlock)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
