#include "block_walk.hpp"

#include "block_types.hpp"
#include "byte_reader.hpp"

namespace velmor {

std::vector<BlockSpan> walkBlocks(std::span<const std::uint8_t> data) {
  std::vector<BlockSpan> spans;
  ByteReader r(data);
  const auto size = static_cast<std::int64_t>(data.size());
  std::int64_t pos = 0;
  bool first = true;
  while (pos < size) {
    BlockSpan s;
    s.offset = pos;
    s.type = r.dat(pos);
    s.length = r.bit2(pos + 1);
    if (s.length == 0 && !first) break;
    s.truncated = pos + 3 + s.length > size;
    spans.push_back(s);
    first = false;
    pos += 3 + s.length;
  }
  return spans;
}

std::int64_t findChecksumBlock(std::span<const std::uint8_t> data) {
  for (const BlockSpan& s : walkBlocks(data)) {
    if (s.type == ChecksumBlock && s.offset > 0) return s.offset;
  }
  return -1;
}

}  // namespace velmor
