// CRC-32 throughput of cCRC32 against zlib's crc32 on the same bytes.
#include <benchmark/benchmark.h>
#include <zlib.h>

#include "core/product/crc32.hpp"
#include "support/large_product.hpp"

namespace {

const velmor::Bytes& bytes() {
  static const velmor::Bytes data = velmor::bench::makeLargeProduct();
  return data;
}

void Crc32Velmor(benchmark::State& state) {
  const velmor::Bytes& data = bytes();
  velmor::cCRC32 crc;
  for (auto _ : state) benchmark::DoNotOptimize(crc.GetByteArrayCrc32(data));
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) * static_cast<std::int64_t>(data.size()));
}
BENCHMARK(Crc32Velmor)->Unit(benchmark::kMillisecond);

void Crc32Zlib(benchmark::State& state) {
  const velmor::Bytes& data = bytes();
  for (auto _ : state) benchmark::DoNotOptimize(crc32(0L, data.data(), static_cast<uInt>(data.size())));
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) * static_cast<std::int64_t>(data.size()));
}
BENCHMARK(Crc32Zlib)->Unit(benchmark::kMillisecond);

// The save path: the CRC through the file stream in 8192-byte reads.
void Crc32FileStream(benchmark::State& state) {
  const velmor::Bytes& data = bytes();
  const std::string path = "/tmp/velmor-bench-crc.bin";
  {
    std::FILE* f = std::fopen(path.c_str(), "wb");
    std::fwrite(data.data(), 1, data.size(), f);
    std::fclose(f);
  }
  velmor::cCRC32 crc;
  for (auto _ : state) {
    velmor::cBinaryFileStream stream;
    stream.File(path);
    benchmark::DoNotOptimize(crc.GetFileCrc32(stream));
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) * static_cast<std::int64_t>(data.size()));
}
BENCHMARK(Crc32FileStream)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
