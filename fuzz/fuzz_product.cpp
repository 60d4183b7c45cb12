// Feeds arbitrary bytes to the product file decoder as if they had been read
// from disk: nothing may crash, hang or read out of bounds.
#include <cstddef>
#include <cstdint>

#include "core/product/loader.hpp"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  velmor::SilentPrompter prompter;
  velmor::ProductFile file;
  velmor::ProductForm form;
  file.data.assign(data, data + size);
  file.loadedData = file.data;
  velmor::get_data(file, form, prompter);
  // Every decoded tile must point at a block that exists.
  for (const auto& view : form.detailMaps) {
    if (view.blockIndex < 0 || static_cast<std::size_t>(view.blockIndex) >= file.blocks.size()) __builtin_trap();
  }
  return 0;
}
