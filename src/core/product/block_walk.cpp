#include "block_walk.hpp"

#include "block_types.hpp"
#include "../common/byte_reader.hpp"

namespace velmor {

std::vector<BlockSpan> walkBlocks(std::span<const std::uint8_t> data) {
  std::vector<BlockSpan> spans;
  forEachBlock(data, [&spans](const BlockSpan& s) { spans.push_back(s); });
  return spans;
}

void forEachBlock(std::span<const std::uint8_t> data, const std::function<void(const BlockSpan&)>& visit) {
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
    visit(s);
    first = false;
    pos += 3 + s.length;
  }
}

std::int64_t findChecksumBlock(std::span<const std::uint8_t> data) {
  std::int64_t found = -1;
  forEachBlock(data, [&found](const BlockSpan& s) {
    if (found < 0 && s.type == ChecksumBlock && s.offset > 0) found = s.offset;
  });
  return found;
}

}  // namespace velmor
