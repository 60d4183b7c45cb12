#include "damage_verdict.hpp"

#include "block_types.hpp"
#include "block_walk.hpp"
#include "checksum_block.hpp"
#include "crc32.hpp"
#include "../common/number_text.hpp"

namespace velmor {

namespace {

std::string plural(std::size_t n, const std::string& one, const std::string& many) {
  return std::to_string(n) + " " + (n == 1 ? one : many);
}

// What one walk of the blocks tells: a file of millions of tiles is walked
// once and nothing of each block is kept.
struct WalkSummary {
  std::size_t blocks = 0;
  std::size_t tilesBeforeChecksum = 0;
  bool cut = false;
  BlockSpan firstCut;
  BlockSpan last;
  std::int64_t checksumAt = -1;
};

WalkSummary summarize(std::span<const std::uint8_t> data) {
  WalkSummary w;
  forEachBlock(data, [&w](const BlockSpan& s) {
    ++w.blocks;
    if (s.truncated && !w.cut) {
      w.cut = true;
      w.firstCut = s;
    }
    if (s.type == ChecksumBlock && s.offset > 0 && w.checksumAt < 0) w.checksumAt = s.offset;
    // Blocks after the checksum block are dropped by the loader, so their
    // tiles are not counted.
    if (s.type == DetailMapBlock && w.checksumAt < 0) ++w.tilesBeforeChecksum;
    w.last = s;
  });
  return w;
}

// What the window shows after the decoding, in the map maker's words.
std::string whatWasRead(std::span<const std::uint8_t> data, const WalkSummary& w) {
  return "Read: " + plural(data.size(), "byte", "bytes") + ", " + plural(w.blocks, "block", "blocks") + ", " +
         plural(w.tilesBeforeChecksum, "detail map", "detail maps") + ".";
}

}  // namespace

DamageVerdict judgeProductFile(const ProductFile& file) { return judgeProductBytes(file.data); }

DamageVerdict judgeProductBytes(std::span<const std::uint8_t> data) {
  if (data.empty()) {
    return {Damage::Empty, "The file is empty: it is not a product file, nothing was read from it."};
  }
  if (data[0] != HeaderBlock) {
    return {Damage::NotProductFile,
            "The file is not a product file: it does not begin with a header block (its first "
            "byte is &" +
                hexUpper(data[0]) + " instead of &50). " + whatWasRead(data, summarize(data)) +
                " What is shown is not a map product."};
  }
  const WalkSummary walk = summarize(data);
  const std::int64_t checksumAt = walk.checksumAt;
  if (walk.cut) {
    const BlockSpan& cut = walk.firstCut;
    const auto left = static_cast<std::int64_t>(data.size()) - cut.offset;
    return {Damage::CutOff, "The file is damaged: it is cut off. Block &" + hexUpper(cut.type) + " at offset &" +
                                hexUpper(static_cast<std::uint64_t>(cut.offset)) + " needs " +
                                std::to_string(cut.length + kBlockHeaderSize) + " bytes, only " + std::to_string(left) +
                                " are left, and " +
                                (checksumAt < 0 ? "the checksum block is missing. " : "the rest is lost. ") +
                                whatWasRead(data, walk)};
  }
  // The walk stops before the end when fewer than three bytes are left for
  // the next block's type and length: the file ends inside a block header.
  const BlockSpan& last = walk.last;
  const std::int64_t end = last.offset + static_cast<std::int64_t>(kBlockHeaderSize) + last.length;
  const auto size = static_cast<std::int64_t>(data.size());
  if (end < size && size - end < static_cast<std::int64_t>(kBlockHeaderSize)) {
    return {Damage::CutOff,
            "The file is damaged: it is cut off. It ends inside the type and length of a block at "
            "offset &" +
                hexUpper(static_cast<std::uint64_t>(end)) + ", and " +
                (checksumAt < 0 ? "the checksum block is missing. " : "the rest is lost. ") + whatWasRead(data, walk)};
  }
  if (checksumAt > 0) {
    if (const std::optional<std::uint32_t> stored = storedCrcAt(data, checksumAt)) {
      const std::uint32_t computed = cCRC32().GetByteArrayCrc32(data.first(static_cast<std::size_t>(checksumAt)));
      if (*stored != computed) {
        return {Damage::ChecksumDiffers,
                "The file is damaged or was changed after it was saved: its checksum differs (stored CRC-32 " +
                    hexUpper8(*stored) + ", the bytes before the checksum block give " + hexUpper8(computed) + "). " +
                    whatWasRead(data, walk)};
      }
    }
  }
  return {};
}

}  // namespace velmor
