// The map bundle of a 54 MB product (the size of a regional gmapsupp)
// against `cp -r` of the same files: two 27 MB tiles made here (an IMG
// container with four subfiles each, every subfile spread over many
// directory entries), with the overview map, index and product file of the
// north fixture.
//
//   build-bench/bench/bench_gmap
#include <benchmark/benchmark.h>
#include <spawn.h>
#include <sys/wait.h>

#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <vector>

#include "core/common/prompter.hpp"
#include "core/install/gmap_bundle.hpp"
#include "core/platform/file_services.hpp"

extern char** environ;

namespace {

namespace fs = std::filesystem;

const fs::path kFolder = fs::temp_directory_path() / "velmor-bench-gmap";
const fs::path kSource = kFolder / "product";
constexpr std::uint32_t kBlock = 1u << 14;
constexpr std::uint32_t kSubfile = 27u * 1024 * 1024 / 4 - 1000;  // four per tile

void put16(std::vector<char>& b, std::size_t at, std::uint32_t v) {
  b[at] = static_cast<char>(v & 0xFF);
  b[at + 1] = static_cast<char>(v >> 8 & 0xFF);
}
void put32(std::vector<char>& b, std::size_t at, std::uint32_t v) {
  put16(b, at, v & 0xFFFF);
  put16(b, at + 2, v >> 16);
}

// An unscrambled IMG container holding `name`.TRE/.RGN/.LBL/.NET of
// kSubfile random bytes each.
void writeTile(const fs::path& path, const std::string& name) {
  const std::uint32_t blocksPer = (kSubfile + kBlock - 1) / kBlock;
  const std::uint32_t entriesPer = (blocksPer + 239) / 240;
  const std::uint32_t dirStart = 1024;
  const std::uint32_t dirEnd = dirStart + 512 * (1 + 4 * entriesPer);
  const std::uint32_t firstBlock = (dirEnd + kBlock - 1) / kBlock;
  std::vector<char> head(static_cast<std::size_t>(firstBlock) * kBlock, 0);
  std::copy_n("DSKIMG", 7, head.begin() + 0x10);
  std::copy_n("GARMIN", 7, head.begin() + 0x41);
  head[0x40] = static_cast<char>(dirStart / 512);
  head[0x61] = 9;
  head[0x62] = 5;  // 2^14 bytes a block
  head[dirStart] = 1;
  put32(head, dirStart + 0x0C, dirEnd);
  std::uint32_t block = firstBlock;
  std::size_t at = dirStart + 512;
  for (const char* kind : {"TRE", "RGN", "LBL", "NET"}) {
    for (std::uint32_t e = 0; e < entriesPer; ++e, at += 512) {
      head[at] = 1;
      std::copy_n(name.begin(), 8, head.begin() + static_cast<std::ptrdiff_t>(at + 1));
      std::copy_n(kind, 3, head.begin() + static_cast<std::ptrdiff_t>(at + 9));
      put32(head, at + 0x0C, e == 0 ? kSubfile : 0);
      put16(head, at + 0x10, e);
      for (std::uint32_t k = 0; k < 240; ++k) {
        const bool used = e * 240 + k < blocksPer;
        put16(head, at + 0x20 + 2 * k, used ? block++ : 0xFFFF);
      }
    }
  }
  std::ofstream out(path, std::ios::binary);
  out.write(head.data(), static_cast<std::streamsize>(head.size()));
  std::mt19937 random(7);
  std::vector<char> data(kBlock);
  for (std::uint32_t b = firstBlock; b < block; ++b) {
    for (char& c : data) c = static_cast<char>(random());
    out.write(data.data(), kBlock);
  }
}

std::vector<std::string> productFiles() {
  const fs::path north = fs::path(VELMOR_TEST_DATA) / "north";
  if (!fs::exists(kSource / "63240002.img")) {
    fs::create_directories(kSource);
    for (const char* f : {"north.tdb", "north.img", "north.mdx", "north_mdr.img"})
      fs::copy_file(north / f, kSource / f, fs::copy_options::overwrite_existing);
    writeTile(kSource / "63240001.img", "63240001");
    writeTile(kSource / "63240002.img", "63240002");
  }
  std::vector<std::string> files;
  for (const char* f : {"north.img", "north.mdx", "north_mdr.img", "63240001.img", "63240002.img"})
    files.push_back((kSource / f).string());
  return files;
}

std::int64_t sourceBytes() {
  std::int64_t total = 0;
  for (const auto& e : fs::directory_iterator(kSource)) total += static_cast<std::int64_t>(e.file_size());
  return total;
}

void copyTree(const fs::path& to) {
  const std::string from = kSource.string(), target = to.string();
  const char* argv[] = {"cp", "-r", from.c_str(), target.c_str(), nullptr};
  pid_t pid = 0;
  if (posix_spawnp(&pid, "cp", nullptr, nullptr, const_cast<char* const*>(argv), environ) == 0) {
    int status = 0;
    waitpid(pid, &status, 0);
  }
}

void CopyTree54MB(benchmark::State& state) {
  productFiles();
  const fs::path out = kFolder / "copy";
  for (auto _ : state) {
    copyTree(out);
    state.PauseTiming();
    fs::remove_all(out);
    state.ResumeTiming();
  }
  state.SetBytesProcessed(state.iterations() * sourceBytes());
}
BENCHMARK(CopyTree54MB)->Unit(benchmark::kMillisecond)->MinTime(3.0)->UseRealTime();

void Bundle54MB(benchmark::State& state) {
  velmor::GmapRequest request;
  request.productFile = (kSource / "north.tdb").string();
  request.files = productFiles();
  velmor::SilentPrompter prompter(velmor::Answer::Yes);
  const fs::path out = kFolder / "bundles";
  fs::create_directories(out);
  for (auto _ : state) {
    velmor::GmapPlanResult planned = velmor::planGmap(request, prompter);
    if (!planned.plan) {
      state.SkipWithError(planned.error.c_str());
      break;
    }
    const std::string target = (out / planned.plan->bundleName).string();
    if (auto failed = velmor::writeGmap(*planned.plan, target, false, velmor::systemFiles())) {
      state.SkipWithError(failed->c_str());
      break;
    }
    state.PauseTiming();
    fs::remove_all(target);
    state.ResumeTiming();
  }
  state.SetBytesProcessed(state.iterations() * sourceBytes());
}
BENCHMARK(Bundle54MB)->Unit(benchmark::kMillisecond)->MinTime(3.0)->UseRealTime();

}  // namespace

BENCHMARK_MAIN();
