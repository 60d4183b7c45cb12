#include "checksum_block.hpp"

#include <chrono>
#include <cmath>

#include "block_types.hpp"
#include "block_walk.hpp"
#include "crc32.hpp"

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
  // The filler is drawn in block order, the CRC's places passed over.
  for (std::size_t i = kCrcBytePositions.front(); i < kChecksumBlockSize; ++i) {
    bool crcByte = false;
    for (std::size_t at : kCrcBytePositions) crcByte = crcByte || at == i;
    if (!crcByte) block[i] = fillerByte(random.uniform());
  }
  for (int k = 0; k < 4; ++k)
    block[kCrcBytePositions[static_cast<std::size_t>(k)]] = static_cast<std::uint8_t>(crc >> (24 - 8 * k));
  return block;
}

std::uint32_t storedCrc(const Bytes& block) {
  if (block.size() < kChecksumBlockSize) return 0;
  return storedCrcAt(block, 0).value_or(0);
}

std::optional<std::uint32_t> storedCrcAt(std::span<const std::uint8_t> data, std::int64_t offset) {
  if (offset < 0 || static_cast<std::uint64_t>(offset) + kCrcReadSpan > data.size()) return std::nullopt;
  std::uint32_t crc = 0;
  for (std::size_t at : kCrcBytePositions) crc = crc << 8 | data[static_cast<std::size_t>(offset) + at];
  return crc;
}

CrcCheck checkCrc(std::span<const std::uint8_t> data) {
  CrcCheck check;
  check.offset = findChecksumBlock(data);
  if (check.offset < 0) return check;
  const auto stored = storedCrcAt(data, check.offset);
  if (!stored) {
    check.status = CrcCheck::Status::CutOff;
    return check;
  }
  check.status = CrcCheck::Status::Checked;
  check.stored = *stored;
  check.computed = cCRC32().GetByteArrayCrc32(data.first(static_cast<std::size_t>(check.offset)));
  return check;
}

}  // namespace velmor
