#pragma once
// The checksum block that closes a saved product file: the CRC-32 of every
// byte before it, its four bytes spread between random filler bytes.
#include <cstdint>
#include <random>

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

// 0x54, length 20, 00 00, then C3 (most significant CRC byte) at block offset
// 5, C2 at 12, C1 at 15, C0 at 20, filler everywhere else.
Bytes makeChecksumBlock(std::uint32_t crc, RandomSource& random);

// The CRC stored in a checksum block (C3..C0), for checks and tests.
std::uint32_t storedCrc(const Bytes& checksumBlock);

}  // namespace velmor
