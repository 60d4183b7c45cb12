#include <gtest/gtest.h>

#include "core/editor/raw_block_panel.hpp"
#include "core/editor/tile_selection.hpp"
#include "core/product/tile_texts.hpp"
#include "support/tile_product.hpp"

using namespace velmor;
using namespace velmor::test;

namespace {

// Description "AB" and one subfile "T.R": 49 bytes.
TileSpec smallTile() {
  TileSpec t;
  t.description = "AB";
  t.subfiles = {{"T.R", 0x05}};
  return t;
}

std::vector<int> colours(const std::vector<ByteCell>& cells) {
  std::vector<int> out;
  for (const ByteCell& c : cells) out.push_back(c.colour);
  return out;
}

}  // namespace

TEST(ByteGrid, TextsAndRowsOfAFortyByteBlock) {
  Bytes block(40, 0);
  block[0] = 0x4C;
  block[5] = 0x05;
  block[6] = 0xFF;
  block[7] = 0x10;
  const std::vector<ByteCell> cells = byteGrid(block);
  ASSERT_EQ(cells.size(), 40u);
  EXPECT_EQ(cells[0].text, "4C");
  EXPECT_EQ(cells[1].text, "0");
  EXPECT_EQ(cells[5].text, "5");
  EXPECT_EQ(cells[6].text, "FF");
  EXPECT_EQ(cells[7].text, "10");
  EXPECT_EQ(byteGridRows(cells.size()), (std::vector<std::size_t>{16, 16, 8}));
  EXPECT_EQ(byteGridRows(32), (std::vector<std::size_t>{16, 16}));
  EXPECT_TRUE(byteGridRows(0).empty());
}

TEST(ByteGrid, ColoursMarkThePartsOfADetailMapBlock) {
  const Bytes block = tileBlock(smallTile());
  ASSERT_EQ(block.size(), 49u);
  const int D = kDefaultColour, B = kBlue, R = kRed, M = kMagenta, C = kCyan, K = kBlack;
  std::vector<int> want(27, D);                        // type, length, numbers and bounds (zeros among them)
  const std::vector<int> rest = {B, B, R,              // "AB" and its zero
                                 B, B, B, B,           // two bytes, count 1
                                 B, B, B, B,           // size 5
                                 M, M, M, C, C, C, C,  // the seven bytes
                                 K, K, K, R};          // "T.R" and its zero
  want.insert(want.end(), rest.begin(), rest.end());
  EXPECT_EQ(colours(byteGrid(block)), want);
}

TEST(ByteGrid, ShowFillsTheBoxesOfTheTile) {
  OpenedTiles o;
  TileSpec big;
  big.number = 10002;
  openTiles(o, {smallTile(), big});
  show_4c(o.form, o.file, 0);
  EXPECT_TRUE(o.form.rawBlockPanelShown);
  EXPECT_FALSE(o.form.keepChangesEnabled);
  ASSERT_EQ(o.form.rawBlockBoxes.size(), 49u);
  EXPECT_EQ(o.form.rawBlockBoxes[0], "4C");
  EXPECT_EQ(o.form.rawBlockBoxes[1], "2E");  // body 46
  EXPECT_EQ(o.form.rawBlockColours[29], kRed);
  EXPECT_EQ(o.form.tileState.rawBlockTile, 0);
}

TEST(RawBlockEdits, KeepChangesReplacesTheShownBlock) {
  OpenedTiles o;
  TileSpec other;
  other.number = 10002;
  openTiles(o, {smallTile(), other});
  listClick(o.file, o.form, 1);  // tile 2 selected, tile 1 shown by a right click
  show_4c(o.form, o.file, 0);
  EXPECT_FALSE(rawByteEdited(o.file, o.form, 27, "6"));
  EXPECT_TRUE(rawByteEdited(o.file, o.form, 27, "61"));
  EXPECT_TRUE(o.form.keepChangesEnabled);
  EXPECT_TRUE(o.file.modified);
  EXPECT_FALSE(rawByteEdited(o.file, o.form, 48, "00"));  // the last box keeps the focus

  ScriptedPrompter prompter;
  prompter.expectMessage("Changes saved.");
  EXPECT_TRUE(keepChanges(o.file, o.form, prompter));
  TileSpec want = smallTile();
  want.description = "aB";
  EXPECT_EQ(o.file.blocks[static_cast<std::size_t>(o.form.detailMaps[0].blockIndex)], tileBlock(want));
  EXPECT_EQ(o.file.blocks[static_cast<std::size_t>(o.form.detailMaps[1].blockIndex)], tileBlock(other));
  EXPECT_FALSE(o.form.keepChangesEnabled);
}

TEST(RawBlockEdits, TheTileFollowsTheKeptBytes) {
  OpenedTiles o;
  TileSpec other;
  other.number = 10002;
  openTiles(o, {other, smallTile()});
  const DetailMapView before = o.form.detailMaps[1];
  const TileTexts beforeTexts = tileTexts(o.file, o.form, 1);
  labelLeftClick(o.file, o.form, 2);
  show_4c(o.form, o.file, 1);
  rawByteEdited(o.file, o.form, 27, "61");  // "AB" -> "aB"
  rawByteEdited(o.file, o.form, 14, "1C");  // north 0x1E000000 -> 0x1C000000, 39.375
  ScriptedPrompter prompter;
  prompter.expectMessage("Changes saved.");
  ASSERT_TRUE(keepChanges(o.file, o.form, prompter));
  const DetailMapView& view = o.form.detailMaps[1];
  const TileTexts texts = tileTexts(o.file, o.form, 1);
  EXPECT_EQ(texts.listText, "aB");
  EXPECT_EQ(texts.caption(), "aB\r\n10001");
  EXPECT_EQ(texts.boundsRecord, "39.375#0.70312#39.375#0#aB#");
  // Same length: the offset of the subfile count in the file is unchanged.
  EXPECT_EQ(texts.infoText, beforeTexts.infoText);
  EXPECT_EQ(view.blockOffset, before.blockOffset);
  EXPECT_EQ(view.blockIndex, before.blockIndex);
  EXPECT_EQ(o.form.tileState.panelText.rfind("Description:aB\r\nIMG:10001\r\nLat:39.375 Long:0.70312", 0), 0u);
}

TEST(RawBlockEdits, RefusesBoxesThatWouldCorruptTheFile) {
  OpenedTiles o;
  openTiles(o, {smallTile()});
  const Bytes before = o.file.blocks.back();
  show_4c(o.form, o.file, 0);
  const std::vector<std::string> shown = o.form.rawBlockBoxes;
  struct Case {
    std::vector<std::string> boxes;
    std::string message;
  };
  std::vector<Case> cases;
  auto edited = [&](std::size_t i, std::string text) {
    std::vector<std::string> b = shown;
    b[i] = std::move(text);
    return b;
  };
  cases.push_back({edited(5, "G1"), "Byte 6 (\"G1\") is not a hexadecimal byte from 0 to FF. Nothing was changed."});
  cases.push_back({edited(5, "100"), "Byte 6 (\"100\") is not a hexadecimal byte from 0 to FF. Nothing was changed."});
  cases.push_back({edited(5, ""), "Byte 6 (\"\") is not a hexadecimal byte from 0 to FF. Nothing was changed."});
  cases.push_back({edited(1, "2F"),
                   "The length bytes 2 and 3 say 47 but the block holds 46 bytes after them. "
                   "Nothing was changed."});
  cases.push_back({{"4C", "1", "0", "5"}, "The first byte must stay 4C (a detail map block). Nothing was changed."});
  cases.back().boxes[0] = "50";
  const std::string tooShort =
      "The bytes do not form a block: a block has a type byte, two length bytes and 1 to 65535 bytes of content. "
      "Nothing was changed.";
  cases.push_back({{"4C", "0", "A"}, tooShort});  // says 2560 bytes follow, none do
  cases.push_back({{"4C", "0", "0"}, tooShort});  // a zero length ends the file for a reader
  cases.push_back({{}, tooShort});
  for (const Case& c : cases) {
    o.form.rawBlockBoxes = c.boxes;
    o.form.tileState.rawBytesPending = true;
    ScriptedPrompter prompter;
    prompter.expectMessage(c.message);
    EXPECT_FALSE(keepChanges(o.file, o.form, prompter));
    EXPECT_EQ(o.file.blocks.back(), before);
    EXPECT_TRUE(o.form.tileState.rawBytesPending);
  }
}

TEST(RawBlockEdits, CloseAsksOnlyWithPendingEdits) {
  OpenedTiles o;
  openTiles(o, {smallTile()});
  const Bytes before = o.file.blocks.back();
  {
    ScriptedPrompter prompter;
    show_4c(o.form, o.file, 0);
    EXPECT_TRUE(closeRawBlockPanel(o.file, o.form, prompter));
    EXPECT_FALSE(o.form.rawBlockPanelShown);
    EXPECT_TRUE(o.form.rawBlockBoxes.empty());
  }
  {
    ScriptedPrompter prompter;
    show_4c(o.form, o.file, 0);
    rawByteEdited(o.file, o.form, 27, "61");
    prompter.expectQuestion("Keep changes?", Answer::Cancel);
    EXPECT_FALSE(closeRawBlockPanel(o.file, o.form, prompter));
    EXPECT_TRUE(o.form.rawBlockPanelShown);
    EXPECT_EQ(o.form.rawBlockBoxes[27], "61");
    prompter.expectQuestion("Keep changes?", Answer::No);
    EXPECT_TRUE(closeRawBlockPanel(o.file, o.form, prompter));
    EXPECT_EQ(o.file.blocks.back(), before);
  }
  {
    ScriptedPrompter prompter;
    show_4c(o.form, o.file, 0);
    rawByteEdited(o.file, o.form, 5, "XYZ");
    prompter.expectQuestion("Keep changes?", Answer::Yes);
    prompter.expectMessage("Byte 6 (\"XYZ\") is not a hexadecimal byte from 0 to FF. Nothing was changed.");
    EXPECT_FALSE(closeRawBlockPanel(o.file, o.form, prompter));
    EXPECT_TRUE(o.form.rawBlockPanelShown);
    rawByteEdited(o.file, o.form, 5, "7");
    prompter.expectQuestion("Keep changes?", Answer::Yes);
    prompter.expectMessage("Changes saved.");
    EXPECT_TRUE(closeRawBlockPanel(o.file, o.form, prompter));
    EXPECT_EQ(o.file.blocks.back()[5], 0x07);
  }
}
