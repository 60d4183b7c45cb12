#pragma once
// Whether an opened product file is whole. The loader decodes whatever it
// finds and its messages speak of blocks; this verdict says in one plain
// sentence that the file is damaged, how, and what was read from it, so the
// map maker knows before the first edit that saving would build on a
// broken file.
#include <cstdint>
#include <span>
#include <string>

#include "product_file.hpp"

namespace velmor {

enum class Damage { None, Empty, NotProductFile, CutOff, ChecksumDiffers };

struct DamageVerdict {
  Damage damage = Damage::None;
  std::string text;  // empty when the file is whole
  explicit operator bool() const { return damage != Damage::None; }
};

// Judged from the bytes as read and the decoded model: the header block's
// type byte, the block framing (a body that runs past the end of the file)
// and the CRC-32 stored in the checksum block against the bytes before it.
DamageVerdict judgeProductFile(const ProductFile& file);
// The same judgement of bytes read without a model around them.
DamageVerdict judgeProductBytes(std::span<const std::uint8_t> data);

}  // namespace velmor
