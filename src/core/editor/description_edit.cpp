#include "description_edit.hpp"

#include "../common/byte_reader.hpp"
#include "../product/code_page.hpp"
#include "../product/loader.hpp"
#include "../product/tile_texts.hpp"
#include "raw_block_panel.hpp"
#include "tile_selection.hpp"

namespace velmor {

namespace {

// Block offsets: type byte, 16-bit length, 24 bytes of numbers and bounds,
// then the 0-terminated description.
constexpr std::size_t kDescriptionOffset = 27;
constexpr std::size_t kMaxBody = 65535;

bool validTile(const ProductForm& form, int tile) {
  return tile >= 0 && static_cast<std::size_t>(tile) < form.detailMaps.size();
}

}  // namespace

std::string trimText(const std::string& text) {
  const char* blanks = " \t\r\n";
  const std::size_t first = text.find_first_not_of(blanks);
  if (first == std::string::npos) return "";
  const std::size_t last = text.find_last_not_of(blanks);
  return text.substr(first, last - first + 1);
}

std::string descriptionDialogText(const ProductFile& file, const ProductForm& form) {
  return tileListText(file, form, form.tileState.listIndex);
}

int descriptionDialogLeft(int plotLeft, int labelLeft, int dialogWidth) {
  const int left = plotLeft + labelLeft - dialogWidth;
  return left < 0 ? 0 : left;
}

DescriptionEdit editDescription(ProductFile& file, ProductForm& form, int tile, const std::string& typed,
                                Prompter& prompter) {
  if (!validTile(form, tile)) return DescriptionEdit::Unchanged;
  const DetailMapView& view = form.detailMaps[static_cast<std::size_t>(tile)];
  const std::string newText = trimText(typed);
  if (newText == trimText(tileListText(file, form, tile))) return DescriptionEdit::Unchanged;

  const auto k = static_cast<std::size_t>(view.blockIndex);
  if (view.blockIndex < 0 || k >= file.blocks.size() || file.blocks[k].size() <= kDescriptionOffset) {
    prompter.message("The block of this tile is too short to hold a description. Nothing was changed.");
    return DescriptionEdit::Refused;
  }
  const CodePage& page = CodePage::get(form.textCodePage);
  if (newText.find('\0') != std::string::npos) {
    prompter.message("A description cannot hold a zero character. Nothing was changed.");
    return DescriptionEdit::Refused;
  }
  const std::optional<Bytes> encoded = page.encode(newText);
  if (!encoded) {
    prompter.message("The description cannot be written in code page " + std::to_string(page.number()) + ": \"" +
                     page.firstUnencodable(newText).value_or("?") + "\" has no character there. Nothing was changed.");
    return DescriptionEdit::Refused;
  }

  const BlockList::Ref block = file.blocks[k];
  const ByteReader reader(block);
  const std::size_t oldLength = reader.textLength(kDescriptionOffset, static_cast<std::int64_t>(block.size()));
  const bool unterminated = kDescriptionOffset + oldLength >= block.size();
  const std::size_t bodySize = block.size() - 3 - oldLength + encoded->size() + (unterminated ? 1 : 0);
  if (bodySize > kMaxBody) {
    prompter.message("With this description the tile's block would be longer than 65535 bytes. Nothing was changed.");
    return DescriptionEdit::Refused;
  }

  // Only the field between offset 27 and its terminating zero is replaced;
  // the same text elsewhere in the block (a subfile name, say) stays.
  Bytes rebuilt;
  rebuilt.reserve(bodySize + 3);
  rebuilt.insert(rebuilt.end(), block.begin(), block.begin() + kDescriptionOffset);
  rebuilt.insert(rebuilt.end(), encoded->begin(), encoded->end());
  const auto tail = block.begin() + static_cast<std::ptrdiff_t>(kDescriptionOffset + oldLength);
  if (unterminated) {
    rebuilt.push_back(0);  // the field ran to the block's end: close it
  } else {
    rebuilt.insert(rebuilt.end(), tail, block.end());
  }
  const std::size_t body = rebuilt.size() - 3;
  rebuilt[1] = static_cast<std::uint8_t>(body & 0xFF);
  rebuilt[2] = static_cast<std::uint8_t>(body >> 8);
  file.blocks.set(k, std::move(rebuilt));
  // The tile's texts are made from this block from now on.
  refreshPanelText(file, form, tile);
  // Byte boxes showing this block would otherwise put the old description
  // back on "keep changes"; boxes the user is editing are left alone.
  if (form.rawBlockPanelShown && form.tileState.rawBlockTile == tile && !form.tileState.rawBytesPending) {
    show_4c(form, file, tile);
  }
  MarkModified(file);
  return DescriptionEdit::Changed;
}

}  // namespace velmor
