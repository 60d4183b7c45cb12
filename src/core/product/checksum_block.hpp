#pragma once
// The checksum block that closes a saved product file: the CRC-32 of every
// byte before it, its four bytes spread between random filler bytes.
#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <random>
#include <span>

#include "../common/bytes.hpp"

namespace velmor {

// Uniform numbers in [0, 1) for the filler bytes. Saves use a clock-seeded
// source; tests pass a fixed one.
class RandomSource {
 public:
  virtual ~RandomSource() = default;
  virtual double uniform() = 0;
};

// Seeded from the clock when it is made; a save makes one per save, so two
// saves of the same content differ in their filler bytes only.
class ClockRandom : public RandomSource {
 public:
  ClockRandom();
  double uniform() override;

 private:
  std::mt19937 engine_;
};

// A uniform number in [0, 1) times 255, rounded to the nearest integer.
std::uint8_t fillerByte(double uniform);

// Where the CRC's four bytes stand in the block, most significant first
// (C3 at block offset 5, C2 at 12, C1 at 15, C0 at 20).
inline constexpr std::array<std::size_t, 4> kCrcBytePositions{5, 12, 15, 20};
// The bytes a reader needs of the block to find the CRC: up to C0.
inline constexpr std::size_t kCrcReadSpan = kCrcBytePositions.back() + 1;

// 0x54, length 20, 00 00, then the CRC's bytes at kCrcBytePositions,
// filler everywhere else.
Bytes makeChecksumBlock(std::uint32_t crc, RandomSource& random);

// The CRC stored in a checksum block (C3..C0), for checks and tests.
std::uint32_t storedCrc(const Bytes& checksumBlock);
// The CRC stored in the checksum block at `offset` of `data`; nullopt when
// the block is cut off before its last CRC byte.
std::optional<std::uint32_t> storedCrcAt(std::span<const std::uint8_t> data, std::int64_t offset);

// A saved file's CRC check: the CRC its first checksum block holds against
// the CRC-32 of every byte before that block.
struct CrcCheck {
  enum class Status { Checked, NoChecksumBlock, CutOff };
  Status status = Status::NoChecksumBlock;
  std::int64_t offset = -1;  // of the checksum block, -1 when there is none
  std::uint32_t stored = 0;
  std::uint32_t computed = 0;
  bool matches() const { return status == Status::Checked && stored == computed; }
};
CrcCheck checkCrc(std::span<const std::uint8_t> data);

}  // namespace velmor
