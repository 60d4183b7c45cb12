#pragma once
#include <cstdint>

namespace velmor {

// Every block is a type byte, a 16-bit little-endian body length and the body.
enum BlockType : std::uint8_t {
  HeaderBlock = 0x50,
  CopyrightBlock = 0x44,
  OverviewMapBlock = 0x42,
  DetailMapBlock = 0x4C,
  Block52 = 0x52,
  Block53 = 0x53,
  ChecksumBlock = 0x54,
};

inline constexpr std::size_t kBlockHeaderSize = 3;
inline constexpr std::size_t kMaxBodyLength = 65535;
inline constexpr std::size_t kChecksumBlockSize = 23;
// Largest product file the editor opens: 25 MiB.
inline constexpr std::uint64_t kMaxProductFileSize = 26214400;

}  // namespace velmor
