#include <gtest/gtest.h>

#include "core/editor/description_edit.hpp"
#include "core/editor/raw_block_panel.hpp"
#include "core/editor/tile_selection.hpp"
#include "core/product/tile_texts.hpp"
#include "support/tile_product.hpp"

using namespace velmor;
using namespace velmor::test;

namespace {

std::vector<TileSpec> twoTiles() {
  TileSpec a;
  TileSpec b;
  b.number = 10002;
  b.description = "Second tile";
  b.subfiles = {{"10002.TRE", 0x300}, {"10002.RGN", 0x1000}};
  return {a, b};
}

}  // namespace

TEST(DescriptionEdit, LongerTextGrowsOnlyTheFieldAndTheLengthBytes) {
  OpenedTiles o;
  openTiles(o, twoTiles());
  const BlockList before = o.file.blocks;
  const int k = o.form.detailMaps[1].blockIndex;
  listClick(o.file, o.form, 1);
  ScriptedPrompter prompter;
  EXPECT_EQ(editDescription(o.file, o.form, 1, "  Second tile, east part ", prompter), DescriptionEdit::Changed);

  TileSpec expected = twoTiles()[1];
  expected.description = "Second tile, east part";
  const Bytes want = tileBlock(expected);
  EXPECT_EQ(o.file.blocks[static_cast<std::size_t>(k)], want);
  // Body 24 + 12 ("Second tile" and zero) + 2 + 2 + 8 + 7 + 20 (two names) = 75;
  // 11 more bytes of text make it 86 = 0x56.
  EXPECT_EQ(before[static_cast<std::size_t>(k)].size(), 78u);
  EXPECT_EQ(want[1], 0x56);
  EXPECT_EQ(want[2], 0x00);
  for (std::size_t i = 0; i < before.size(); ++i) {
    if (i != static_cast<std::size_t>(k)) {
      EXPECT_EQ(o.file.blocks[i], before[i]) << "block " << i;
    }
  }
  EXPECT_TRUE(o.file.modified);
  EXPECT_EQ(tileListText(o.file, o.form, 1), "Second tile, east part");
  EXPECT_EQ(tileCaption(o.file, o.form, 1), "Second tile, east part\r\n10002");
  EXPECT_EQ(o.form.tileState.panelText.rfind("Second tile, east part:\r\n", 0), 0u);
  // A later list click shows the new text too.
  listClick(o.file, o.form, 0);
  listClick(o.file, o.form, 1);
  EXPECT_EQ(o.form.tileState.panelText.rfind("Second tile, east part:\r\n", 0), 0u);
}

TEST(DescriptionEdit, LengthFieldCarriesIntoTheHighByte) {
  OpenedTiles o;
  openTiles(o, twoTiles());
  ScriptedPrompter prompter;
  // Body 75 - 11 + 300 = 364 = 0x016C.
  EXPECT_EQ(editDescription(o.file, o.form, 1, std::string(300, 'x'), prompter), DescriptionEdit::Changed);
  const Bytes& b = o.file.blocks[static_cast<std::size_t>(o.form.detailMaps[1].blockIndex)];
  EXPECT_EQ(b.size(), 367u);
  EXPECT_EQ(b[1], 0x6C);
  EXPECT_EQ(b[2], 0x01);
}

TEST(DescriptionEdit, TheOldTextElsewhereInTheBlockStays) {
  OpenedTiles o;
  TileSpec t;
  t.description = "TRE";
  t.subfiles = {{"10001.TRE", 0x200}};
  openTiles(o, {t});
  ScriptedPrompter prompter;
  EXPECT_EQ(editDescription(o.file, o.form, 0, "Town", prompter), DescriptionEdit::Changed);
  t.description = "Town";
  EXPECT_EQ(o.file.blocks[static_cast<std::size_t>(o.form.detailMaps[0].blockIndex)], tileBlock(t));
}

TEST(DescriptionEdit, SameTextChangesNothing) {
  OpenedTiles o;
  openTiles(o, twoTiles());
  const BlockList before = o.file.blocks;
  ScriptedPrompter prompter;
  EXPECT_EQ(editDescription(o.file, o.form, 0, " First tile  ", prompter), DescriptionEdit::Unchanged);
  EXPECT_EQ(o.file.blocks, before);
  EXPECT_FALSE(o.file.modified);
}

TEST(DescriptionEdit, RefusesTextsTheFileCannotHold) {
  OpenedTiles o;
  openTiles(o, twoTiles());
  const BlockList before = o.file.blocks;
  {
    ScriptedPrompter prompter;
    prompter.expectMessage(
        "The description cannot be written in code page 1252: \"\xCE\xA9\" has no character there. Nothing was "
        "changed.");
    EXPECT_EQ(editDescription(o.file, o.form, 0, "Zone \xCE\xA9", prompter), DescriptionEdit::Refused);
  }
  {
    ScriptedPrompter prompter;
    prompter.expectMessage("A description cannot hold a zero character. Nothing was changed.");
    EXPECT_EQ(editDescription(o.file, o.form, 0, std::string("a\0b", 3), prompter), DescriptionEdit::Refused);
  }
  EXPECT_EQ(o.file.blocks, before);
  EXPECT_FALSE(o.file.modified);
  EXPECT_EQ(tileListText(o.file, o.form, 0), "First tile");
}

TEST(DescriptionEdit, RefusesABlockLongerThan65535Bytes) {
  OpenedTiles o;
  TileSpec t;
  // Body: 24 + 65401 (text and zero) + 2 + 2 + 4 + 7 + 10 ("10001.TRE" and zero) = 65450.
  t.description = std::string(65400, 'd');
  openTiles(o, {t});
  const BlockList before = o.file.blocks;
  ScriptedPrompter prompter;
  prompter.expectMessage(
      "With this description the tile's block would be longer than 65535 bytes. Nothing was changed.");
  EXPECT_EQ(editDescription(o.file, o.form, 0, std::string(65500, 'e'), prompter), DescriptionEdit::Refused);
  EXPECT_EQ(o.file.blocks, before);
  // 85 more bytes still fit exactly.
  ScriptedPrompter fine;
  EXPECT_EQ(editDescription(o.file, o.form, 0, std::string(65485, 'e'), fine), DescriptionEdit::Changed);
  EXPECT_EQ(o.file.blocks.back().size(), 65538u);
}

TEST(DescriptionEdit, ByteBoxesOfTheTileFollowTheNewDescription) {
  OpenedTiles o;
  openTiles(o, twoTiles());
  show_4c(o.form, o.file, 0);
  ScriptedPrompter prompter;
  editDescription(o.file, o.form, 0, "AB", prompter);
  ASSERT_EQ(o.form.rawBlockBoxes.size(),
            o.file.blocks[static_cast<std::size_t>(o.form.detailMaps[0].blockIndex)].size());
  EXPECT_EQ(o.form.rawBlockBoxes[27], "41");
  EXPECT_EQ(o.form.rawBlockBoxes[28], "42");
  EXPECT_EQ(o.form.rawBlockBoxes[29], "0");
}

TEST(DescriptionEdit, DialogTextAndPlacement) {
  OpenedTiles o;
  openTiles(o, twoTiles());
  EXPECT_EQ(descriptionDialogText(o.file, o.form), "");
  listClick(o.file, o.form, 1);
  EXPECT_EQ(descriptionDialogText(o.file, o.form), "Second tile");
  EXPECT_EQ(descriptionDialogLeft(1000, 3000, 2500), 1500);
  EXPECT_EQ(descriptionDialogLeft(1000, 500, 2500), 0);
  EXPECT_EQ(trimText("\t a b \r\n"), "a b");
}
