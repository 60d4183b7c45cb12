#include "block_walk.hpp"

#include "block_types.hpp"

namespace velmor {

std::vector<BlockSpan> walkBlocks(std::span<const std::uint8_t> data) {
  std::vector<BlockSpan> spans;
  forEachBlock(data, [&spans](const BlockSpan& s) { spans.push_back(s); });
  return spans;
}

std::int64_t findChecksumBlock(std::span<const std::uint8_t> data) {
  std::int64_t found = -1;
  forEachBlock(data, [&found](const BlockSpan& s) {
    if (found < 0 && s.type == ChecksumBlock && s.offset > 0) found = s.offset;
  });
  return found;
}

}  // namespace velmor
