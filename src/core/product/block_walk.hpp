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
// The same walk, one block at a time: for files of millions of blocks. A
// template, so that the visit of each block is compiled into the walk.
template <typename Visit>
void forEachBlock(std::span<const std::uint8_t> data, Visit&& visit) {
  const std::size_t size = data.size();
  std::size_t pos = 0;
  bool first = true;
  while (pos < size) {
    BlockSpan s;
    s.offset = static_cast<std::int64_t>(pos);
    s.type = data[pos];
    // A length byte past the end reads as 0.
    s.length =
        static_cast<std::uint16_t>((pos + 1 < size ? data[pos + 1] : 0) | ((pos + 2 < size ? data[pos + 2] : 0) << 8));
    if (s.length == 0 && !first) break;
    s.truncated = pos + 3 + s.length > size;
    visit(s);
    first = false;
    pos += 3 + s.length;
  }
}

// Offset of the first checksum block, or -1.
std::int64_t findChecksumBlock(std::span<const std::uint8_t> data);

}  // namespace velmor
