#pragma once
// Rebuilding the header, copyright, overview, 0x52 and 0x53 blocks from what
// the window's boxes hold, just before a save. Each rebuilder either replaces
// its block in ProductFile::blocks or refuses, naming the box that cannot be
// written, and then changes nothing. Texts are encoded with the code page
// they were decoded with (ProductForm::textCodePage).
#include <array>
#include <string>
#include <vector>

#include "product_form.hpp"
#include "../common/prompter.hpp"
#include "field_encoding.hpp"
#include "product_file.hpp"

namespace velmor {

// Header block: ids, version, names, then the tail from the extra-byte boxes
// (with the feature options written into their boxes first unless "Override
// settings" is ticked). Shows "Using own settings" or, for a header without
// a tail, "Found unknown header:&<version> Please report.".
Refusal updateblock0(ProductFile& file, ProductForm& form, Prompter& prompter);
// Copyright block; rebuilt only when its record kind is 0 or the copyright
// was edited, and never unedited when the loaded first record has a code or
// kind the options cannot show. A file without a copyright block is left as
// it is.
Refusal updatecopyright(ProductFile& file, ProductForm& form);
// Overview block, from the overview boxes; called when overviewEdited is set.
// A file without an overview block is left as it is.
Refusal updateoverview(ProductFile& file, ProductForm& form);
// Blocks 0x52 and 0x53 from the two "Tile Copyright" boxes, only when a box
// differs from its text as decoded. A missing block is added just before the
// checksum block (at the end when there is none). Marks the model modified.
Refusal update52(ProductFile& file, ProductForm& form);
Refusal update53(ProductFile& file, ProductForm& form);

// The copyright records a copyright box text stands for: one record per
// line that is neither empty nor mentions this program, each the 4-byte
// prefix, the line's code-page bytes (characters below 32 dropped) and a 0.
Refusal copyrightBody(const CodePage& page, const std::string& text, const std::array<std::uint8_t, 4>& prefix,
                      Bytes& body);

// What a save may have to put back when it does not complete: the rebuilt
// blocks, the block indexes, the extra-byte boxes and the modified flag.
class RebuildUndo {
 public:
  RebuildUndo(const ProductFile& file, const ProductForm& form);
  void restore(ProductFile& file, ProductForm& form) const;

 private:
  struct Entry {
    int index;
    Bytes bytes;
  };
  std::vector<Entry> entries_;
  int copyrightIndex_, overviewIndex_, block52Index_, block53Index_, checksumIndex_;
  std::array<std::string, kExtraByteBoxes + 1> boxes_;
  bool modified_;
};

// All rebuilders in save order (the overview only when overviewEdited is
// set). On a refusal everything is put back as it was.
Refusal rebuildBlocks(ProductFile& file, ProductForm& form, Prompter& prompter);

// Makes room for a new block at `position` in `blocks`, moving every block
// index at or after it on by one (and back with removeBlockSlot).
void insertBlockSlot(ProductFile& file, ProductForm& form, int position);
void removeBlockSlot(ProductFile& file, ProductForm& form, int position);

}  // namespace velmor
