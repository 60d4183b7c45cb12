#pragma once
// The block framing walked the way the loader walks it: the header block at
// offset 0, then block after block until a zero-length block or the end.
#include <cstdint>
#include <span>
#include <vector>

namespace velmor {

struct BlockSpan {
  std::int64_t offset = 0;
  std::uint8_t type = 0;
  std::uint16_t length = 0;  // body length as stored
  bool truncated = false;    // the body runs past the end of the data
};

std::vector<BlockSpan> walkBlocks(std::span<const std::uint8_t> data);

// Offset of the first checksum block, or -1.
std::int64_t findChecksumBlock(std::span<const std::uint8_t> data);

}  // namespace velmor
