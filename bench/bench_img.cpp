// The IMG scan of a 1 GB image (a real tile followed by padding, sparse)
// against `cat FILE > /dev/null` on the same warm file, and the overview
// bounds of a product over 2,000 tiles.
//
//   build-bench/bench/bench_img
//   /usr/bin/time -v build-bench/src/cli/velmor-cli img /tmp/velmor-bench-img/big.img   (peak memory)
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <string>
#include <vector>

#include "core/img/img_scanner.hpp"
#include "core/img/overview_bounds.hpp"
#include "core/product/loader.hpp"
#include "support/large_product.hpp"

extern char** environ;

namespace {

namespace fs = std::filesystem;

const fs::path kFolder = fs::temp_directory_path() / "velmor-bench-img";
const std::string kTile = std::string(VELMOR_TEST_DATA) + "/north/63240001.img";

// A 1 GB image: mkgmap's tile, then padding. Made once and left for the
// peak-memory command above; it takes no disk space.
std::string bigImage() {
  const fs::path path = kFolder / "big.img";
  if (!fs::exists(path) || fs::file_size(path) != (1u << 30)) {
    fs::create_directories(kFolder);
    fs::copy_file(kTile, path, fs::copy_options::overwrite_existing);
    fs::resize_file(path, 1u << 30);
  }
  return path.string();
}

void runCat(const std::string& path) {
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
  const char* argv[] = {"cat", path.c_str(), nullptr};
  pid_t pid = 0;
  if (posix_spawnp(&pid, "cat", &actions, nullptr, const_cast<char* const*>(argv), environ) == 0) {
    int status = 0;
    waitpid(pid, &status, 0);
  }
  posix_spawn_file_actions_destroy(&actions);
}

void CatGigabyte(benchmark::State& state) {
  const std::string path = bigImage();
  runCat(path);  // warm
  for (auto _ : state) runCat(path);
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) * (1 << 30));
}
BENCHMARK(CatGigabyte)->Unit(benchmark::kMillisecond)->MinTime(3.0)->UseRealTime();

void ScanGigabyte(benchmark::State& state) {
  const std::string path = bigImage();
  runCat(path);  // warm
  velmor::SilentPrompter prompter(velmor::Answer::Yes);
  std::size_t tiles = 0;
  for (auto _ : state) {
    velmor::ImgScanResult scan = velmor::loadbinaryfst(path, prompter);
    tiles = scan.tiles.size();
  }
  if (tiles != 1) state.SkipWithError("the tile was not found");
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) * (1 << 30));
}
BENCHMARK(ScanGigabyte)->Unit(benchmark::kMillisecond)->MinTime(3.0)->UseRealTime();

// create_tdb over 2,000 tiles of a product: the scans and the merge.
void BoundsOver2000Tiles(benchmark::State& state) {
  const fs::path folder = kFolder / "tiles";
  fs::create_directories(folder);
  std::vector<std::string> tiles;
  for (int i = 0; i < 2000; ++i) {
    const fs::path tile = folder / (std::to_string(63240001 + i) + ".img");
    if (!fs::exists(tile)) fs::copy_file(kTile, tile);
    tiles.push_back(tile.string());
  }
  velmor::SilentPrompter prompter(velmor::Answer::Yes);
  velmor::ProductFile file;
  velmor::ProductForm form;
  velmor::openProduct(file, form, std::string(VELMOR_TEST_DATA) + "/north/north.tdb", prompter);
  for (auto _ : state) {
    velmor::CreateTdbResult result = velmor::create_tdb(file, form, tiles, prompter);
    if (result.tiles != 2000) state.SkipWithError("tiles missed");
  }
}
BENCHMARK(BoundsOver2000Tiles)->Unit(benchmark::kMillisecond)->MinTime(2.0);

}  // namespace

BENCHMARK_MAIN();
