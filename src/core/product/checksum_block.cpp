#include "checksum_block.hpp"

#include <chrono>
#include <cmath>

#include "block_types.hpp"

namespace velmor {

ClockRandom::ClockRandom()
    : engine_(static_cast<std::mt19937::result_type>(
          std::chrono::high_resolution_clock::now().time_since_epoch().count())) {}

double ClockRandom::uniform() {
  // Some standard libraries can round generate_canonical up to 1.0.
  const double v = std::generate_canonical<double, 32>(engine_);
  return v < 1.0 ? v : std::nextafter(1.0, 0.0);
}

std::uint8_t fillerByte(double uniform) {
  double v = std::nearbyint(uniform * 255.0);
  if (!(v >= 0)) v = 0;  // also catches NaN from a broken source
  if (v > 255) v = 255;
  return static_cast<std::uint8_t>(v);
}

Bytes makeChecksumBlock(std::uint32_t crc, RandomSource& random) {
  Bytes block(kChecksumBlockSize, 0);
  block[0] = ChecksumBlock;
  block[1] = 0x14;
  block[2] = 0x00;
  // offsets 3 and 4 stay 0
  for (std::size_t i = 5; i < kChecksumBlockSize; ++i) {
    if (i != 5 && i != 12 && i != 15 && i != 20) block[i] = fillerByte(random.uniform());
  }
  block[5] = static_cast<std::uint8_t>(crc >> 24);
  block[12] = static_cast<std::uint8_t>(crc >> 16);
  block[15] = static_cast<std::uint8_t>(crc >> 8);
  block[20] = static_cast<std::uint8_t>(crc);
  return block;
}

std::uint32_t storedCrc(const Bytes& block) {
  if (block.size() < kChecksumBlockSize) return 0;
  return static_cast<std::uint32_t>(block[5]) << 24 | static_cast<std::uint32_t>(block[12]) << 16 |
         static_cast<std::uint32_t>(block[15]) << 8 | static_cast<std::uint32_t>(block[20]);
}

}  // namespace velmor
