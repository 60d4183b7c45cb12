// Rebuilders of the copyright, overview, 0x52 and 0x53 blocks, and the
// all-or-nothing run of every rebuilder that a save makes.
#include "rebuilders.hpp"

#include "block_types.hpp"
#include "../common/byte_reader.hpp"
#include "../common/number_text.hpp"

namespace velmor {

namespace {

bool validIndex(const ProductFile& file, int index) {
  return index >= 0 && static_cast<std::size_t>(index) < file.blocks.size();
}

// The lines of a box text; a line break is LF with or without CR before it.
std::vector<std::string> boxLines(const std::string& text) {
  std::vector<std::string> lines;
  std::size_t start = 0;
  while (start <= text.size()) {
    std::size_t end = text.find('\n', start);
    if (end == std::string::npos) end = text.size();
    std::string line = text.substr(start, end - start);
    if (!line.empty() && line.back() == '\r') line.pop_back();
    lines.push_back(std::move(line));
    start = end + 1;
  }
  return lines;
}

std::string withoutControls(const std::string& line) {
  std::string out;
  for (char c : line) {
    if (static_cast<unsigned char>(c) >= 32) out.push_back(c);
  }
  return out;
}

Refusal updateTileCopyright(ProductFile& file, ProductForm& form, bool first) {
  const std::string& box = first ? form.tileCopyright1 : form.tileCopyright2;
  const std::string& kept = first ? file.block52Text : file.block53Text;
  if (box == kept) return std::nullopt;
  // The box shows the text with the line breaks the decoder adds; they are
  // not part of the text, or every save and load would add two more.
  std::string text = box;
  while (!text.empty() && (text.back() == '\r' || text.back() == '\n')) text.pop_back();
  Bytes body{0x01};
  const std::string field = first ? "The first Tile Copyright box" : "The second Tile Copyright box";
  if (auto r = appendText(CodePage::get(form.textCodePage), text, field, body)) return r;
  Bytes block;
  const std::uint8_t type = first ? Block52 : Block53;
  if (auto r = frameBlock(type, body, field, block)) return r;

  int& index = first ? file.block52Index : file.block53Index;
  if (!validIndex(file, index)) {
    // The checksum block stays last; without one the new block goes at the end.
    const int position =
        validIndex(file, file.checksumIndex) ? file.checksumIndex : static_cast<int>(file.blocks.size());
    insertBlockSlot(file, form, position);
    index = position;
  }
  file.blocks.set(static_cast<std::size_t>(index), std::move(block));
  file.modified = true;
  return std::nullopt;
}

}  // namespace

Refusal copyrightBody(const CodePage& page, const std::string& text, const std::array<std::uint8_t, 4>& prefix,
                      Bytes& body) {
  body.assign(prefix.begin(), prefix.end());
  bool firstRecord = true;
  for (const std::string& line : boxLines(text)) {
    // Characters below 32 (tabs, stray CRs) have never been written.
    const std::string kept = withoutControls(line);
    if (kept.empty() || containsNoCase(kept, "velmor")) continue;
    if (!firstRecord) body.insert(body.end(), prefix.begin(), prefix.end());
    if (auto r = appendText(page, kept, "The copyright text", body)) return r;
    firstRecord = false;
  }
  if (firstRecord) body.push_back(0);  // no line at all: one empty record
  return std::nullopt;
}

Refusal updatecopyright(ProductFile& file, ProductForm& form) {
  if (!validIndex(file, file.copyrightIndex)) return std::nullopt;
  std::uint8_t kind = 0;
  if (form.copyrightKind == CopyrightKind::CopyrightInfo) kind = 6;
  // The loader reads 1 as "Sources", so a "Sources" record is written as 1
  // and reads back as it was chosen.
  if (form.copyrightKind == CopyrightKind::Sources) kind = 1;
  // A first record whose code or kind the options cannot show (mkgmap
  // writes 06 03) would come out as 00 00 from an unedited form: such a
  // block stays as read until the user edits the copyright.
  const BlockList::Ref loaded = file.blocks[static_cast<std::size_t>(file.copyrightIndex)];
  const std::uint8_t loadedCode = loaded.size() > 3 ? loaded[3] : 0;
  const std::uint8_t loadedKind = loaded.size() > 4 ? loaded[4] : 0;
  const bool shownFaithfully = loadedCode <= 3 && (loadedKind == 0 || loadedKind == 1 || loadedKind == 6);
  if ((kind != 0 || !shownFaithfully) && !file.copyrightEdited) return std::nullopt;
  auto byte2 = hexByteBox(form.copyrightByte2Text);
  if (!byte2) return refusalText("The first copyright byte box must hold a hexadecimal number from 0 to FF.");
  auto byte3 = hexByteBox(form.copyrightByte3Text);
  if (!byte3) return refusalText("The second copyright byte box must hold a hexadecimal number from 0 to FF.");
  const auto code = static_cast<std::uint8_t>((form.copyrightDisplay ? 1 : 0) + (form.copyrightPrint ? 2 : 0));
  Bytes body;
  if (auto r =
          copyrightBody(CodePage::get(form.textCodePage), form.copyrightText, {code, kind, *byte2, *byte3}, body)) {
    return r;
  }
  Bytes block;
  if (auto r = frameBlock(CopyrightBlock, body, "The copyright block", block)) return r;
  file.blocks.set(static_cast<std::size_t>(file.copyrightIndex), std::move(block));
  return std::nullopt;
}

Refusal updateoverview(ProductFile& file, ProductForm& form) {
  if (!validIndex(file, file.overviewIndex)) return std::nullopt;
  // A box that still shows what the stored block decodes to keeps the
  // stored bytes: the bounds are shown with five decimals, truncated, and
  // encoding that text again would move a bound nobody touched.
  const Bytes stored = file.blocks[static_cast<std::size_t>(file.overviewIndex)];
  const ByteReader old(stored);
  Bytes body;
  std::string number;
  for (char c : form.overviewNumberText) {
    if (c != ' ') number.push_back(c);
  }
  std::uint64_t mapNumber = 0;
  if (!parseHex(number, mapNumber) || mapNumber > 0xFFFFFFFFu) {
    return refusalText("The Overview Number box must hold a hexadecimal number from 0 to FFFFFFFF.");
  }
  appendLe32(body, static_cast<std::uint32_t>(mapNumber));
  auto parent = parseInteger(form.parentNumberText);
  if (!parent || *parent < -2147483648LL || *parent > 4294967295LL) {
    return refusalText("The Parent Number box must hold a whole number from -2147483648 to 4294967295.");
  }
  appendLe32(body, static_cast<std::uint32_t>(*parent));
  const std::pair<const std::string*, const char*> bounds[] = {{&form.overviewNorth, "north"},
                                                               {&form.overviewEast, "east"},
                                                               {&form.overviewSouth, "south"},
                                                               {&form.overviewWest, "west"}};
  std::int64_t at = 11;  // north, east, south and west follow each other
  for (const auto& [text, name] : bounds) {
    const bool asStored = old.inside(at, 4) && *text == formatDegrees(mapUnitsToDegrees(old.bit4(at)));
    at += 4;
    if (asStored) {
      appendLe32(body, static_cast<std::uint32_t>(old.bit4(at - 4)));
      continue;
    }
    auto units = degreesToUnits(*text);
    if (!units) {
      return refusalText(std::string("The ") + name + " bound box must hold a number of degrees from -180 to 180.");
    }
    appendLe32(body, *units);
  }
  const Bytes storedName = old.gettext(27, 0, static_cast<std::int64_t>(stored.size()));
  if (auto r = appendStoredOrText(CodePage::get(form.textCodePage), form.overviewNameText, storedName,
                                  "The Overview Name", body)) {
    return r;
  }
  Bytes block;
  if (auto r = frameBlock(OverviewMapBlock, body, "The overview block", block)) return r;
  file.blocks.set(static_cast<std::size_t>(file.overviewIndex), std::move(block));
  return std::nullopt;
}

Refusal update52(ProductFile& file, ProductForm& form) { return updateTileCopyright(file, form, true); }
Refusal update53(ProductFile& file, ProductForm& form) { return updateTileCopyright(file, form, false); }

void insertBlockSlot(ProductFile& file, ProductForm& form, int position) {
  file.blocks.insert(static_cast<std::size_t>(position), Bytes{});
  for (int* index :
       {&file.copyrightIndex, &file.overviewIndex, &file.block52Index, &file.block53Index, &file.checksumIndex}) {
    if (*index >= position) ++*index;
  }
  for (DetailMapView& map : form.detailMaps) {
    if (map.blockIndex >= position) ++map.blockIndex;
  }
}

void removeBlockSlot(ProductFile& file, ProductForm& form, int position) {
  file.blocks.erase(static_cast<std::size_t>(position));
  for (int* index :
       {&file.copyrightIndex, &file.overviewIndex, &file.block52Index, &file.block53Index, &file.checksumIndex}) {
    if (*index > position) --*index;
  }
  for (DetailMapView& map : form.detailMaps) {
    if (map.blockIndex > position) --map.blockIndex;
  }
}

RebuildUndo::RebuildUndo(const ProductFile& file, const ProductForm& form)
    : copyrightIndex_(file.copyrightIndex),
      overviewIndex_(file.overviewIndex),
      block52Index_(file.block52Index),
      block53Index_(file.block53Index),
      checksumIndex_(file.checksumIndex),
      modified_(file.modified) {
  for (int index :
       {0, file.copyrightIndex, file.overviewIndex, file.block52Index, file.block53Index, file.checksumIndex}) {
    if (validIndex(file, index)) entries_.push_back({index, file.blocks[static_cast<std::size_t>(index)]});
  }
  for (std::size_t k = 0; k < boxes_.size(); ++k) boxes_[k] = form.extraBytes[k].text;
}

void RebuildUndo::restore(ProductFile& file, ProductForm& form) const {
  // Blocks added by update53 and then update52 come out in reverse order.
  if (block53Index_ < 0 && validIndex(file, file.block53Index)) {
    removeBlockSlot(file, form, file.block53Index);
  }
  if (block52Index_ < 0 && validIndex(file, file.block52Index)) removeBlockSlot(file, form, file.block52Index);
  file.copyrightIndex = copyrightIndex_;
  file.overviewIndex = overviewIndex_;
  file.block52Index = block52Index_;
  file.block53Index = block53Index_;
  file.checksumIndex = checksumIndex_;
  for (const Entry& e : entries_) {
    if (validIndex(file, e.index)) file.blocks.set(static_cast<std::size_t>(e.index), e.bytes);
  }
  for (std::size_t k = 0; k < boxes_.size(); ++k) form.extraBytes[k].text = boxes_[k];
  file.modified = modified_;
}

Refusal rebuildBlocks(ProductFile& file, ProductForm& form, Prompter& prompter) {
  RebuildUndo undo(file, form);
  Refusal r = updateblock0(file, form, prompter);
  if (!r) r = updatecopyright(file, form);
  if (!r && file.overviewEdited) r = updateoverview(file, form);
  if (!r) r = update52(file, form);
  if (!r) r = update53(file, form);
  if (r) undo.restore(file, form);
  return r;
}

}  // namespace velmor
