#include "raw_block_panel.hpp"

#include <algorithm>

#include "../product/block_types.hpp"
#include "../common/bytes.hpp"
#include "../product/loader.hpp"
#include "tile_selection.hpp"
#include "tile_view_refresh.hpp"

namespace velmor {

std::vector<ByteCell> byteGrid(std::span<const std::uint8_t> block) {
  std::vector<ByteCell> cells;
  cells.reserve(block.size());
  // Positions are 1-based: p is the byte's position, k the boxes before it.
  auto byteAt = [&](std::size_t p) -> std::uint8_t { return p >= 1 && p <= block.size() ? block[p - 1] : 0; };
  std::size_t marker = 0;  // position of the zero that ends the description
  std::size_t sizesEnd = 0;
  int afterSizes = 0;
  for (std::size_t p = 1; p <= block.size(); ++p) {
    const std::size_t k = p - 1;
    ByteCell cell{hexUpper(block[k]), kDefaultColour};
    const bool zero = block[k] == 0;
    if (k > 26) cell.colour = kBlue;
    if (cell.colour == kBlue && zero && marker == 0) {
      cell.colour = kRed;
      marker = p;
      sizesEnd = marker + 4 * static_cast<std::size_t>(byteAt(marker + 3)) + 3;
    }
    if (marker != 0 && sizesEnd < k) cell.colour = afterSizes++ < 3 ? kMagenta : kCyan;
    if (marker != 0 && sizesEnd + 7 < k) cell.colour = zero ? kRed : kBlack;
    cells.push_back(std::move(cell));
  }
  return cells;
}

std::vector<std::size_t> byteGridRows(std::size_t count) {
  std::vector<std::size_t> rows;
  for (std::size_t placed = 0; placed < count; placed += kBytesPerRow) {
    rows.push_back(std::min<std::size_t>(kBytesPerRow, count - placed));
  }
  return rows;
}

void show_4c(ProductForm& form, const ProductFile& file, int tile) {
  if (tile < 0 || static_cast<std::size_t>(tile) >= form.detailMaps.size()) return;
  const auto k = static_cast<std::size_t>(form.detailMaps[static_cast<std::size_t>(tile)].blockIndex);
  if (k >= file.blocks.size()) return;
  std::vector<ByteCell> cells = byteGrid(file.blocks[k]);
  form.rawBlockBoxes.clear();
  form.rawBlockColours.clear();
  form.rawBlockBoxes.reserve(cells.size());
  form.rawBlockColours.reserve(cells.size());
  for (ByteCell& cell : cells) {
    form.rawBlockBoxes.push_back(std::move(cell.text));
    form.rawBlockColours.push_back(cell.colour);
  }
  form.rawBlockPanelShown = true;
  form.keepChangesEnabled = false;
  form.tileState.rawBlockTile = tile;
  form.tileState.rawBytesPending = false;
}

bool rawByteEdited(ProductFile& file, ProductForm& form, std::size_t box, const std::string& text) {
  if (box >= form.rawBlockBoxes.size()) return false;
  form.rawBlockBoxes[box] = text;
  MarkModified(file);
  form.keepChangesEnabled = true;
  form.tileState.rawBytesPending = true;
  return text.size() >= 2 && box + 1 < form.rawBlockBoxes.size();
}

bool keepChanges(ProductFile& file, ProductForm& form, Prompter& prompter) {
  // The block replaced is the one the boxes were filled from, whatever the
  // list selects now: a right click shows a tile without selecting it.
  const int tile = form.tileState.rawBlockTile;
  if (tile < 0 || static_cast<std::size_t>(tile) >= form.detailMaps.size()) return false;
  const auto k = static_cast<std::size_t>(form.detailMaps[static_cast<std::size_t>(tile)].blockIndex);
  if (k >= file.blocks.size()) return false;

  Bytes bytes;
  bytes.reserve(form.rawBlockBoxes.size());
  for (std::size_t i = 0; i < form.rawBlockBoxes.size(); ++i) {
    std::string text;
    for (char c : form.rawBlockBoxes[i]) {
      if (c != ' ') text.push_back(c);
    }
    std::uint64_t value = 0;
    if (text.empty() || text.size() > 2 || !parseHex(text, value)) {
      prompter.message("Byte " + std::to_string(i + 1) + " (\"" + form.rawBlockBoxes[i] +
                       "\") is not a hexadecimal byte from 0 to FF. Nothing was changed.");
      return false;
    }
    bytes.push_back(static_cast<std::uint8_t>(value));
  }
  // A block whose length field disagrees with its size would shift every
  // later block of the file, and a zero length ends the file for a reader.
  if (bytes.size() < 4 || bytes.size() - 3 > 65535) {
    prompter.message(
        "The bytes do not form a block: a block has a type byte, two length bytes and 1 to 65535 "
        "bytes of content. Nothing was changed.");
    return false;
  }
  const std::size_t body = bytes.size() - 3;
  const std::size_t stated = bytes[1] | (static_cast<std::size_t>(bytes[2]) << 8);
  if (stated != body) {
    prompter.message("The length bytes 2 and 3 say " + std::to_string(stated) + " but the block holds " +
                     std::to_string(body) + " bytes after them. Nothing was changed.");
    return false;
  }
  if (bytes[0] != DetailMapBlock) {
    prompter.message("The first byte must stay 4C (a detail map block). Nothing was changed.");
    return false;
  }
  file.blocks.set(k, std::move(bytes));
  refreshTileView(file, form, tile);
  refreshPanelText(file, form, tile);
  form.keepChangesEnabled = false;
  form.tileState.rawBytesPending = false;
  prompter.message("Changes saved.");
  MarkModified(file);
  return true;
}

bool closeRawBlockPanel(ProductFile& file, ProductForm& form, Prompter& prompter) {
  if (form.tileState.rawBytesPending) {
    const Answer answer = prompter.ask("Keep changes?", Buttons::YesNoCancel);
    if (answer == Answer::Cancel) return false;
    if (answer == Answer::Yes && !keepChanges(file, form, prompter)) return false;
  }
  form.rawBlockBoxes.clear();
  form.rawBlockColours.clear();
  form.rawBlockPanelShown = false;
  form.keepChangesEnabled = false;
  form.tileState.rawBlockTile = -1;
  form.tileState.rawBytesPending = false;
  return true;
}

}  // namespace velmor
