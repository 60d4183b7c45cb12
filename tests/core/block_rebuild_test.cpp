// Copyright, overview, 0x52 and 0x53 blocks as rebuilt from the form, and
// the all-or-nothing rebuild a save runs.
#include <gtest/gtest.h>

#include "core/product/rebuilders.hpp"
#include "support/save_session.hpp"

using namespace velmor;
using namespace velmor::test;

namespace {

Bytes sampleHeader() {
  return block(0x50, headerBody(7, 4660, 409, "Sample Series", "Sample Family", defaultTail(58)));
}
Bytes sampleTile() {
  return block(0x4C, tileBody(10001, 0x00123456, 0x1E000000, 0x00800000, 0x1C000000, 0, "First tile", {{"A", 1}}));
}
Bytes overview() { return block(0x42, overviewBody(0x00123456, 0, 0x20000000, 0x01000000, 0x1C000000, 0, "Ov")); }

struct Rebuild : ::testing::Test {
  Session s;
  void openBytes(const Bytes& bytes) { s.open(writeTemp(bytes)); }
  void openSample() { openBytes(sampleProduct()); }
};

}  // namespace

// --- Copyright block ---------------------------------------------------------

TEST_F(Rebuild, CopyrightInfoBlockStaysAsReadUntilEdited) {
  openSample();
  const Bytes before = s.file.blocks[1];
  s.form.copyrightText = "Something else\r\n";  // typed, but the edit flag is what counts
  ASSERT_FALSE(updatecopyright(s.file, s.form));
  EXPECT_EQ(s.file.blocks[1], before);
}

TEST_F(Rebuild, EditedCopyrightDropsTheLineNamingThisProgram) {
  openSample();
  s.file.copyrightEdited = true;
  s.form.copyrightText = "Copyright sample maps\r\nMade with VeLmOr 2.1\r\n\r\n";
  ASSERT_FALSE(updatecopyright(s.file, s.form));
  // Display and Print ticked (1 + 2), "Copyright Info" (6), byte boxes 3 and 0.
  EXPECT_EQ(s.file.blocks[1], block(0x44, cat({{3, 6, 3, 0}, text0("Copyright sample maps")})));
}

TEST_F(Rebuild, EditedCopyrightOneRecordPerLineWithTheOptionsCode) {
  openSample();
  s.file.copyrightEdited = true;
  s.form.copyrightPrint = false;
  s.form.copyrightByte3Text = "1F";
  s.form.copyrightText = "First\r\nSecond\tline\r\n";
  ASSERT_FALSE(updatecopyright(s.file, s.form));
  EXPECT_EQ(s.file.blocks[1],
            block(0x44, cat({{1, 6, 3, 0x1F}, text0("First"), {1, 6, 3, 0x1F}, text0("Secondline")})));
}

TEST_F(Rebuild, ShortLastLineStaysARecordOfItsOwn) {
  openSample();
  s.file.copyrightEdited = true;
  s.form.copyrightText = "Line one\r\nX\r\n";
  ASSERT_FALSE(updatecopyright(s.file, s.form));
  EXPECT_EQ(s.file.blocks[1], block(0x44, cat({{3, 6, 3, 0}, text0("Line one"), {3, 6, 3, 0}, text0("X")})));
}

TEST_F(Rebuild, BareLineFeedsSplitRecordsToo) {
  openSample();
  s.file.copyrightEdited = true;
  s.form.copyrightText = "AB\nCD\n";
  ASSERT_FALSE(updatecopyright(s.file, s.form));
  EXPECT_EQ(s.file.blocks[1], block(0x44, cat({{3, 6, 3, 0}, text0("AB"), {3, 6, 3, 0}, text0("CD")})));
}

TEST_F(Rebuild, CopyrightWithoutKindIsRebuiltOnEverySave) {
  // Records of kind 0 with different codes: the rebuild gives every record
  // the first record's prefix.
  openBytes(cat({sampleHeader(), block(0x44, cat({{1, 0, 5, 0}, text0("A"), {2, 0, 5, 0}, text0("B")})), overview(),
                 sampleTile(), checksumBlock(0)}));
  ASSERT_EQ(s.form.copyrightText, "A\r\nB\r\n\r\n");
  ASSERT_FALSE(updatecopyright(s.file, s.form));
  EXPECT_EQ(s.file.blocks[1], block(0x44, cat({{1, 0, 5, 0}, text0("A"), {1, 0, 5, 0}, text0("B")})));
}

TEST_F(Rebuild, SourcesRecordsKeepTheirKind) {
  openBytes(cat(
      {sampleHeader(), block(0x44, cat({{1, 1, 0, 0}, text0("Src")})), overview(), sampleTile(), checksumBlock(0)}));
  ASSERT_EQ(s.form.copyrightKind, CopyrightKind::Sources);
  s.file.copyrightEdited = true;
  s.form.copyrightText = "Other\r\n";
  ASSERT_FALSE(updatecopyright(s.file, s.form));
  EXPECT_EQ(s.file.blocks[1], block(0x44, cat({{1, 1, 0, 0}, text0("Other")})));
}

TEST_F(Rebuild, EmptyCopyrightTextIsOneEmptyRecord) {
  openSample();
  s.file.copyrightEdited = true;
  s.form.copyrightText = "\r\n\r\n";
  ASSERT_FALSE(updatecopyright(s.file, s.form));
  EXPECT_EQ(s.file.blocks[1], block(0x44, Bytes{3, 6, 3, 0, 0}));
}

TEST_F(Rebuild, CopyrightRefusals) {
  openSample();
  s.file.copyrightEdited = true;
  const Bytes before = s.file.blocks[1];
  s.form.copyrightByte2Text = "100";
  EXPECT_EQ(updatecopyright(s.file, s.form),
            "The first copyright byte box must hold a hexadecimal number from 0 to FF. Nothing was saved.");
  s.form.copyrightByte2Text = "3";
  s.form.copyrightText = "\xE2\x82\xAC ok\r\n\xE4\xB8\xAD\r\n";  // the euro sign is in 1252, U+4E2D is not
  EXPECT_EQ(updatecopyright(s.file, s.form),
            "The copyright text holds \"\xE4\xB8\xAD\", which code page 1252 cannot write. Nothing was saved.");
  // 1000 lines of 70 characters: 1000 * (4 + 71) bytes is more than a block holds.
  s.form.copyrightText.clear();
  for (int i = 0; i < 1000; ++i) s.form.copyrightText += std::string(70, 'c') + "\r\n";
  EXPECT_EQ(updatecopyright(s.file, s.form),
            "The copyright block would be 75000 bytes long; a block holds at most 65535. Nothing was saved.");
  EXPECT_EQ(s.file.blocks[1], before);
}

// --- Overview block ----------------------------------------------------------

TEST_F(Rebuild, UnchangedOverviewBoxesGiveTheSameBlock) {
  openSample();
  const Bytes before = s.file.blocks[2];
  ASSERT_FALSE(updateoverview(s.file, s.form));
  EXPECT_EQ(s.file.blocks[2], before);
}

TEST_F(Rebuild, OverviewFromItsBoxes) {
  openSample();
  s.form.overviewNumberText = "abcdef";
  s.form.parentNumberText = "-1";
  s.form.overviewNorth = "45";      // 2^29 units
  s.form.overviewEast = "1,40625";  // "," is read as the decimal separator: 2^24 units
  s.form.overviewSouth = "-90";     // -2^30
  s.form.overviewWest = "180";      // 2^31 is held as 0x80000000
  s.form.overviewNameText = "New name";
  ASSERT_FALSE(updateoverview(s.file, s.form));
  EXPECT_EQ(s.file.blocks[2], block(0x42, cat({{0xEF, 0xCD, 0xAB, 0x00},
                                               {0xFF, 0xFF, 0xFF, 0xFF},
                                               {0x00, 0x00, 0x00, 0x20},
                                               {0x00, 0x00, 0x00, 0x01},
                                               {0x00, 0x00, 0x00, 0xC0},
                                               {0x00, 0x00, 0x00, 0x80},
                                               text0("New name")})));
}

TEST_F(Rebuild, OverviewRefusals) {
  struct Bad {
    void (*edit)(ProductForm&);
    const char* message;
  };
  const Bad cases[] = {
      {[](ProductForm& f) { f.overviewNumberText = "XYZ"; },
       "The Overview Number box must hold a hexadecimal number from 0 to FFFFFFFF. Nothing was saved."},
      {[](ProductForm& f) { f.overviewNumberText = "100000000"; },
       "The Overview Number box must hold a hexadecimal number from 0 to FFFFFFFF. Nothing was saved."},
      {[](ProductForm& f) { f.parentNumberText = "1.5"; },
       "The Parent Number box must hold a whole number from -2147483648 to 4294967295. Nothing was saved."},
      {[](ProductForm& f) { f.overviewNorth = "abc"; },
       "The north bound box must hold a number of degrees from -180 to 180. Nothing was saved."},
      {[](ProductForm& f) { f.overviewWest = "-180.5"; },
       "The west bound box must hold a number of degrees from -180 to 180. Nothing was saved."},
      {[](ProductForm& f) { f.overviewNameText = "\xE4\xB8\xAD"; },
       "The Overview Name holds \"\xE4\xB8\xAD\", which code page 1252 cannot write. Nothing was saved."},
  };
  for (const Bad& bad : cases) {
    Session fresh;
    fresh.open(writeTemp(sampleProduct()));
    const Bytes before = fresh.file.blocks[2];
    bad.edit(fresh.form);
    EXPECT_EQ(updateoverview(fresh.file, fresh.form), bad.message);
    EXPECT_EQ(fresh.file.blocks[2], before);
  }
}

// --- Blocks 0x52 and 0x53 ------------------------------------------------------

TEST_F(Rebuild, UnchangedTileCopyrightAddsNothing) {
  openSample();
  const auto blocks = s.file.blocks;
  ASSERT_FALSE(update52(s.file, s.form));
  ASSERT_FALSE(update53(s.file, s.form));
  EXPECT_EQ(s.file.blocks, blocks);
  EXPECT_FALSE(s.file.modified);
}

TEST_F(Rebuild, AddedBlocksLandBeforeTheChecksumBlock) {
  openSample();
  ASSERT_EQ(s.file.checksumIndex, 5);
  s.form.tileCopyright1 = "Tiles (c) me\r\n\r\n";
  s.form.tileCopyright2 = "Second";
  ASSERT_FALSE(update52(s.file, s.form));
  ASSERT_FALSE(update53(s.file, s.form));
  ASSERT_EQ(s.file.blocks.size(), 8u);
  // The line breaks the box shows are not written: the text ends at its last character.
  EXPECT_EQ(s.file.blocks[5], block(0x52, cat({{0x01}, text0("Tiles (c) me")})));
  EXPECT_EQ(s.file.blocks[6], block(0x53, cat({{0x01}, text0("Second")})));
  EXPECT_EQ(s.file.blocks[7][0], 0x54);
  EXPECT_EQ(s.file.block52Index, 5);
  EXPECT_EQ(s.file.block53Index, 6);
  EXPECT_EQ(s.file.checksumIndex, 7);
  EXPECT_TRUE(s.file.modified);
}

TEST_F(Rebuild, AddedBlockWithoutChecksumGoesLast) {
  openBytes(cat({sampleHeader(), block(0x44, copyrightBody(3, 6, {"C"})), overview(), sampleTile()}));
  s.form.tileCopyright2 = "Two";
  ASSERT_FALSE(update53(s.file, s.form));
  ASSERT_EQ(s.file.blocks.size(), 5u);
  EXPECT_EQ(s.file.blocks[3], sampleTile());
  EXPECT_EQ(s.file.blocks[4], block(0x53, cat({{0x01}, text0("Two")})));
}

TEST_F(Rebuild, ExistingBlockIsReplacedWhereItStands) {
  openBytes(
      cat({sampleHeader(), block(0x52, cat({{0x01}, text0("Old")})), overview(), sampleTile(), checksumBlock(0)}));
  ASSERT_EQ(s.form.tileCopyright1, "Old\r\n\r\n");
  s.form.tileCopyright1 = "New\r\n\r\n";
  ASSERT_FALSE(update52(s.file, s.form));
  ASSERT_EQ(s.file.blocks.size(), 5u);
  EXPECT_EQ(s.file.blocks[1], block(0x52, cat({{0x01}, text0("New")})));
}

TEST_F(Rebuild, RefusalPutsEveryBlockBack) {
  openSample();
  const auto blocks = s.file.blocks;
  const ProductFile before = s.file;
  s.form.pidText = "99";
  s.form.tileCopyright1 = "added";         // would add a 0x52 block
  s.form.tileCopyright2 = "\xE4\xB8\xAD";  // cannot be written
  s.form.extraBytes[7].text = "";          // would be set to "0"
  EXPECT_EQ(
      rebuildBlocks(s.file, s.form, s.prompter),
      "The second Tile Copyright box holds \"\xE4\xB8\xAD\", which code page 1252 cannot write. Nothing was saved.");
  EXPECT_EQ(s.file.blocks, blocks);
  EXPECT_EQ(s.file.block52Index, -1);
  EXPECT_EQ(s.file.checksumIndex, before.checksumIndex);
  EXPECT_FALSE(s.file.modified);
  EXPECT_EQ(s.form.extraBytes[7].text, "");
}

TEST_F(Rebuild, OverviewIsRebuiltOnlyWhenEdited) {
  openSample();
  s.form.overviewNameText = "Changed";
  ASSERT_FALSE(rebuildBlocks(s.file, s.form, s.prompter));
  EXPECT_EQ(s.file.blocks[2],
            block(0x42, overviewBody(0x00123456, 0, 0x20000000, 0x01000000, 0x1C000000, 0, "Sample overview")));
  s.file.overviewEdited = true;
  ASSERT_FALSE(rebuildBlocks(s.file, s.form, s.prompter));
  EXPECT_EQ(s.file.blocks[2],
            block(0x42, overviewBody(0x00123456, 0, 0x20000000, 0x01000000, 0x1C000000, 0, "Changed")));
}

TEST_F(Rebuild, RecordCodesTheOptionsCannotShowAreKeptUntilEdited) {
  // Code 6 ticks neither option and kind 3 selects neither: written from the
  // form they would become 0 and 0.
  const Bytes original = block(0x44, cat({{6, 3, 0, 0}, text0("Map data (c) someone\nmore")}));
  openBytes(cat({sampleHeader(), original, overview(), sampleTile(), checksumBlock(0)}));
  ASSERT_EQ(s.form.copyrightKind, CopyrightKind::Neither);
  ASSERT_FALSE(updatecopyright(s.file, s.form));
  EXPECT_EQ(s.file.blocks[1], original);
  s.file.copyrightEdited = true;
  s.form.copyrightDisplay = true;
  ASSERT_FALSE(updatecopyright(s.file, s.form));
  EXPECT_EQ(s.file.blocks[1],
            block(0x44, cat({{1, 0, 0, 0}, text0("Map data (c) someone"), {1, 0, 0, 0}, text0("more")})));
}
