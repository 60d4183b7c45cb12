// Decodes arbitrary bytes, marks the model modified and works out what a save
// would write. Nothing may crash; a result that is accepted must read back
// with every tile of the original, byte for byte, and either end in a
// checksum block holding its CRC or hold no checksum block at all.
#include <cstddef>
#include <cstdint>

#include "core/product/block_walk.hpp"
#include "core/product/crc32.hpp"
#include "core/product/loader.hpp"
#include "core/product/save.hpp"

namespace {

class Fixed : public velmor::RandomSource {
 public:
  double uniform() override { return 0.5; }
};

std::vector<velmor::Bytes> tiles(const velmor::ProductFile& file, const velmor::ProductForm& form) {
  std::vector<velmor::Bytes> out;
  for (const auto& view : form.detailMaps) out.push_back(file.blocks[static_cast<std::size_t>(view.blockIndex)]);
  return out;
}

void decode(velmor::ProductFile& file, velmor::ProductForm& form, const velmor::Bytes& bytes) {
  velmor::SilentPrompter prompter(velmor::Answer::Yes);
  file.data = bytes;
  file.loadedData = bytes;
  velmor::get_data(file, form, prompter);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  velmor::ProductFile file;
  velmor::ProductForm form;
  decode(file, form, velmor::Bytes(data, data + size));
  const auto before = tiles(file, form);
  file.modified = true;
  velmor::SilentPrompter prompter(velmor::Answer::Yes);
  Fixed random;
  std::string refusal;
  auto composed = velmor::composeSave(file, form, prompter, random, refusal);
  if (!composed) return 0;
  const velmor::Bytes& out = composed->bytes;
  const std::int64_t sum = velmor::findChecksumBlock(out);
  if (composed->checksum) {
    const auto before = static_cast<std::size_t>(sum);
    if (sum < 0 || before + 23 != out.size()) __builtin_trap();
    const std::uint32_t crc = velmor::cCRC32().GetByteArrayCrc32(std::span<const std::uint8_t>(out.data(), before));
    if (velmor::storedCrc(velmor::Bytes(out.begin() + sum, out.end())) != crc) __builtin_trap();
  } else if (sum >= 0) {
    __builtin_trap();  // a checksum block kept from the load no longer matches
  }
  velmor::ProductFile again;
  velmor::ProductForm againForm;
  decode(again, againForm, composed->bytes);
  if (tiles(again, againForm) != before) __builtin_trap();
  return 0;
}
