#include "save_check.hpp"

#include "block_types.hpp"
#include "../common/byte_reader.hpp"

namespace velmor {

namespace {

std::string blockName(std::size_t index, std::uint8_t type) {
  return "Block " + std::to_string(index) + " (type " + hexUpper(type) + ")";
}

}  // namespace

Refusal checkBlockEntries(const BlockList& blocks) {
  for (std::size_t i = 0; i < blocks.size(); ++i) {
    const BlockList::Ref b = blocks[i];
    if (b.empty()) continue;
    if (b.size() < kBlockHeaderSize) {
      return refusalText(blockName(i, b[0]) + " is " + std::to_string(b.size()) +
                         " bytes long, too short for its block header.");
    }
    const std::size_t stated = static_cast<std::size_t>(b[1]) | static_cast<std::size_t>(b[2]) << 8;
    if (stated + kBlockHeaderSize != b.size()) {
      return refusalText(blockName(i, b[0]) + " holds " + std::to_string(b.size() - kBlockHeaderSize) +
                         " body bytes but its length field says " + std::to_string(stated) + ".");
    }
  }
  return std::nullopt;
}

Refusal checkProductBytes(std::span<const std::uint8_t> bytes, bool checksumWritten) {
  if (bytes.size() > kMaxProductFileSize) {
    return refusalText("The file would be " + std::to_string(bytes.size()) +
                       " bytes long, more than the 25 MB a product file may have.");
  }
  if (bytes.empty() || bytes[0] != HeaderBlock) return refusalText("The file would not start with a header block.");
  ByteReader r(bytes);
  const auto size = static_cast<std::int64_t>(bytes.size());
  std::int64_t pos = 0;
  std::size_t index = 0;
  int checksums = 0;
  bool checksumLast = false;
  while (pos < size) {
    const std::uint8_t type = r.dat(pos);
    const std::int64_t length = r.bit2(pos + 1);
    if (!r.inside(pos, 3 + length)) {
      return refusalText(blockName(index, type) + " at offset " + std::to_string(pos) +
                         " runs past the end of the file.");
    }
    if (index > 0 && length == 0) {
      return refusalText(blockName(index, type) + " has an empty body; the blocks after it would not be read.");
    }
    checksumLast = type == ChecksumBlock;
    if (checksumLast) ++checksums;
    pos += 3 + length;
    ++index;
  }
  if (checksums > 1) return refusalText("The file would hold " + std::to_string(checksums) + " checksum blocks.");
  if (checksums == 1 && !checksumLast) return refusalText("The checksum block would not be the last block.");
  if (checksumWritten && checksums != 1) return refusalText("The file would not end in its checksum block.");
  return std::nullopt;
}

}  // namespace velmor
