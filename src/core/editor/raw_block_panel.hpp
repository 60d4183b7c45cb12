#pragma once
// The " img data" panel: the raw bytes of one detail-map block as a grid of
// hexadecimal boxes that the user may edit and keep.
#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "../product/product_file.hpp"
#include "../product/product_form.hpp"
#include "../common/prompter.hpp"

namespace velmor {

// Text colours of the byte boxes, as indexes of the classic 16-colour palette.
inline constexpr int kDefaultColour = -1;
inline constexpr int kBlack = 0;
inline constexpr int kCyan = 3;
inline constexpr int kBlue = 9;
inline constexpr int kRed = 12;
inline constexpr int kMagenta = 13;

inline constexpr int kBytesPerRow = 16;

struct ByteCell {
  std::string text;  // "0" .. "FF"
  int colour = kDefaultColour;
};

// One cell per byte of the block, in order; rows of kBytesPerRow. The
// colours mark the parts of a detail-map block: fixed part default,
// description, count and sizes blue, the description's zero red, the seven
// bytes after the sizes magenta then cyan, subfile names black with red zeros.
std::vector<ByteCell> byteGrid(std::span<const std::uint8_t> block);

// Lengths of the grid's rows for a block of `count` bytes.
std::vector<std::size_t> byteGridRows(std::size_t count);

// Fills the panel's boxes from tile i's block and shows the panel.
void show_4c(ProductForm& form, const ProductFile& file, int tile);

// A key released in box `box` (0-based) whose text is now `text`. Returns
// true when the focus should move on to the next box.
bool rawByteEdited(ProductFile& file, ProductForm& form, std::size_t box, const std::string& text);

// "keep changes": the shown tile's block is replaced by the boxes' bytes, and
// the tile's list entry, caption, bounds and panel text follow them.
// Refused, with a message and nothing changed, when a box is not a byte in
// hexadecimal or the bytes are not a well-formed detail-map block.
bool keepChanges(ProductFile& file, ProductForm& form, Prompter& prompter);

// The panel's "X": asks "Keep changes?" while edits are pending. Returns
// false when the panel stays open (Cancel, or the kept bytes were refused).
bool closeRawBlockPanel(ProductFile& file, ProductForm& form, Prompter& prompter);

}  // namespace velmor
