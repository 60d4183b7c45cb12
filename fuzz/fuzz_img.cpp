// Feeds arbitrary bytes to the IMG scanner as if they were a file: nothing
// may crash, hang or read out of bounds. The last bytes choose small windows
// and pieces, so headers met at their edges are exercised too.
#include <cstddef>
#include <cstdint>

#include "core/img/img_scanner.hpp"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  velmor::SilentPrompter prompter;
  velmor::ScanLayout layout;
  if (size >= 2) {
    layout.windowSize = 1 + data[size - 1] * 64;
    layout.pieceSize = 16 + data[size - 2] * 16;
  }
  velmor::MemoryRangeReader reader(std::span<const std::uint8_t>(data, size));
  velmor::ImgScanResult scan = velmor::loadbinaryfst(reader, prompter, velmor::quietActivity(), layout);
  velmor::get_imglimits(scan);
  // A box that entered the bounds lies on the map.
  if (scan.hasBounds &&
      (scan.tileBounds[0] > 90 || scan.tileBounds[2] < -90 || scan.tileBounds[2] > scan.tileBounds[0]))
    __builtin_trap();
  // Each header is counted once, in file order.
  for (std::size_t i = 1; i < scan.tiles.size(); ++i) {
    if (scan.tiles[i].offset <= scan.tiles[i - 1].offset) __builtin_trap();
  }
  return 0;
}
