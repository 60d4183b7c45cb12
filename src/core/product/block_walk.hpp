#pragma once
// The block framing walked the way the loader walks it: the header block at
// offset 0, then block after block until a zero-length block or the end.
#include <cstdint>
#include <functional>
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
// The same walk, one block at a time: for files of millions of blocks.
void forEachBlock(std::span<const std::uint8_t> data, const std::function<void(const BlockSpan&)>& visit);

// Offset of the first checksum block, or -1.
std::int64_t findChecksumBlock(std::span<const std::uint8_t> data);

}  // namespace velmor
