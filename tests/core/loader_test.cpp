#include <gtest/gtest.h>
#include <zlib.h>

#include <filesystem>
#include <fstream>

#include "core/product/block_types.hpp"
#include "core/product/loader.hpp"
#include "core/product/product_decoder.hpp"
#include "core/product/tile_texts.hpp"
#include "support/product_builder.hpp"
#include "support/scripted_prompter.hpp"
#include "support/system_texts.hpp"
#include "support/test_files.hpp"

using namespace velmor;
using namespace velmor::test;

namespace {

Opened open(const Bytes& bytes, ScriptedPrompter& prompter) {
  Opened o;
  EXPECT_EQ(openProduct(o.file, o.form, writeTemp(bytes), prompter), LoadStatus::Read);
  return o;
}

Opened open(const Bytes& bytes) {
  ScriptedPrompter prompter;
  return open(bytes, prompter);
}

Bytes header409() { return block(0x50, headerBody(1, 2, 409, "S", "F", defaultTail(58))); }

}  // namespace

TEST(Loader, EmptyFileReportsZerosAndResetBounds) {
  Opened o = open(Bytes{});
  EXPECT_EQ(o.file.report,
            "Block id=&0 length=0\r\nMap Level:0\r\nroutable:0\r\nprofile info:0\r\nDEM capability:0\r\n"
            "maxlat:-180000 minlat: 180000\r\nmaxlon:-180000 minlon: 180000\r\n");
  ASSERT_EQ(o.file.blocks.size(), 1u);
  EXPECT_TRUE(o.file.blocks[0].empty());
  EXPECT_TRUE(o.form.detailMaps.empty());
  EXPECT_FALSE(o.file.modified);
}

TEST(Loader, SampleProductReportLineByLine) {
  Bytes bytes = sampleProduct();
  Opened o = open(bytes);
  // The stored CRC bytes, independent of our code: zlib over everything before the block at 0x146.
  auto crc = static_cast<std::uint32_t>(crc32(0L, bytes.data(), 0x146));
  char groups[32];
  std::snprintf(groups, sizeof groups, "%02X %02X %02X %02X ", crc >> 24, (crc >> 16) & 0xFF, (crc >> 8) & 0xFF,
                crc & 0xFF);
  EXPECT_EQ(o.file.report, std::string("CRC32:") + groups +
                               " @ &146\r\n"
                               "Block id=&50 length=5E\r\nMap Level:24\r\nroutable:0\r\nprofile info:0\r\n"
                               "DEM capability:0\r\nOverview------------------\r\nMapnumber: 1193046\r\n&8E\r\n"
                               "Parentnumber: 0\r\nSample overview\r\nN:45, E:1.40625\r\nS:39.375, W:0\r\n"
                               "maxlat:45000 minlat: 39375\r\nmaxlon:1406.25 minlon: 0\r\n");
  EXPECT_EQ(o.file.blocks.size(), 6u);
  EXPECT_EQ(o.file.copyrightIndex, 1);
  EXPECT_EQ(o.file.overviewIndex, 2);
  EXPECT_EQ(o.file.checksumIndex, 5);
  EXPECT_TRUE(o.file.errorText.empty());
  // Blocks hold the file's bytes exactly, in order.
  Bytes joined;
  for (const Bytes& b : o.file.blocks) joined.insert(joined.end(), b.begin(), b.end());
  EXPECT_EQ(joined, bytes);
}

TEST(Loader, HeaderFieldsOptionsAndBoxes) {
  Bytes tail = defaultTail(58);
  tail[38] = 1;  // routable
  tail[39] = 2;  // only 1 ticks an option
  tail[40] = 1;  // profile
  tail[49] = 1;  // printing disabled
  tail[5] = 0x0A;
  Opened o = open(cat({block(0x50, headerBody(513, 4660, 409, "Series", "Family", tail)), block(0x54, Bytes(20, 0))}));
  EXPECT_EQ(o.form.pidText, "513");
  EXPECT_EQ(o.form.fidText, "4660");
  EXPECT_EQ(o.form.versionText, "4.09");
  EXPECT_EQ(o.form.seriesNameText, "Series");
  EXPECT_EQ(o.form.familyNameText, "Family");
  EXPECT_EQ(o.form.codePageText, "1252");
  EXPECT_TRUE(o.form.routable);
  EXPECT_FALSE(o.form.dem);
  EXPECT_TRUE(o.form.profile);
  EXPECT_FALSE(o.form.printing);
  EXPECT_FALSE(o.form.mapWindow);
  EXPECT_EQ(o.file.headerTailLength, 58);
  EXPECT_EQ(o.form.tailBoxCount, 58);
  EXPECT_EQ(o.form.countBoxText, "58");
  EXPECT_EQ(o.form.extraBytes[5].text, "A");
  EXPECT_EQ(o.form.extraBytes[6].text, "0");
  EXPECT_EQ(o.form.extraBytes[1].text, "12");
  EXPECT_TRUE(o.form.extraBytes[57].enabled);
  EXPECT_FALSE(o.form.extraBytes[58].enabled);
  EXPECT_EQ(o.form.extraBytes[99].text, " ");
  EXPECT_TRUE(o.form.overrideSettingsEnabled);
  EXPECT_EQ(o.file.productVersion[0], 0x64);
  EXPECT_EQ(o.file.nameFields[0].textOffset, 9 + 7 + 2);
}

TEST(Loader, VersionRulesOfTheDecoder) {
  // Version 3.00 never shows a code page, even with bytes at tail offset 30.
  Opened v300 = open(block(0x50, headerBody(1, 2, 300, "S", "F", defaultTail(41))));
  EXPECT_EQ(v300.form.codePageText, "");
  EXPECT_EQ(v300.form.versionText, "3");

  // Below 4.09 "Printing" is ticked whatever byte 49 holds.
  Bytes tail = defaultTail(49);
  tail[48] = 0;
  Bytes longer = defaultTail(58);
  longer[49] = 5;
  Opened v408 = open(block(0x50, headerBody(1, 2, 408, "S", "F", longer)));
  EXPECT_TRUE(v408.form.printing);

  // Map window ticks when any of tail bytes 50 to 52 is set; the size lists follow the tail.
  Bytes mw = defaultTail(58);
  mw[50] = 0xA0;
  mw[51] = 0x05;
  Opened win = open(block(0x50, headerBody(1, 2, 409, "S", "F", mw)));
  EXPECT_TRUE(win.form.mapWindow);
  EXPECT_TRUE(win.form.mapWindowListsEnabled);
  EXPECT_EQ(win.form.mapWindowWidthText, "100%");
  EXPECT_EQ(win.form.mapWindowHeightText, "50%");
}

TEST(Loader, EmptyTailGreysEveryBoxAndClearsOverride) {
  ProductFile file;
  ProductForm form;
  form.overrideSettings = true;
  ScriptedPrompter prompter;
  openProduct(file, form, writeTemp(block(0x50, headerBody(1, 2, 300, "S", "F", {}))), prompter);
  EXPECT_EQ(file.headerTailLength, 0);
  EXPECT_FALSE(form.overrideSettings);
  EXPECT_FALSE(form.overrideSettingsEnabled);
  EXPECT_EQ(form.countBoxText, "1");
  for (int k = 1; k <= 99; ++k) EXPECT_FALSE(form.extraBytes[static_cast<std::size_t>(k)].enabled) << k;
}

TEST(Loader, DamagedNamesGiveANegativeTail) {
  // The family name runs past the end of a header block that claims 8 bytes.
  Bytes bytes = cat({{0x50}, le16(8), le16(1), le16(2), le16(409), {'A', 'B', 'C', 0, 0, 0, 'F', 'F', 'F', 0}});
  Opened o = open(bytes);
  EXPECT_LT(o.file.headerTailLength, 0);
  EXPECT_EQ(o.form.tailBoxCount, 0);
}

TEST(Loader, CopyrightRecords) {
  Bytes body = cat({{1, 6, 0x0C, 0x00}, text0("A"), {2, 0, 0, 0}, text0("B")});
  Opened o = open(cat({header409(), block(0x44, body)}));
  EXPECT_TRUE(o.form.copyrightDisplay);
  EXPECT_FALSE(o.form.copyrightPrint);
  EXPECT_EQ(o.form.copyrightKind, CopyrightKind::CopyrightInfo);
  EXPECT_EQ(o.form.copyrightText, "A\r\nB\r\n\r\n");
  EXPECT_EQ(o.form.copyrightByte2Text, "C");
  EXPECT_TRUE(o.form.copyrightTextEnabled);

  Opened c = open(cat({header409(), block(0x44, copyrightBody(0, 1, {"Maps \xA9 2026 Someone"}))}));
  EXPECT_FALSE(c.form.copyrightTextEnabled);
  EXPECT_FALSE(c.form.copyrightDisplay);
  EXPECT_FALSE(c.form.copyrightPrint);
  EXPECT_EQ(c.form.copyrightKind, CopyrightKind::Sources);
  EXPECT_EQ(c.form.copyrightText, "Maps \u00A9 2026 Someone\r\n\r\n");

  // A last record without its 0 ends at the block, not in the next block.
  Bytes open0 = {3, 6, 0, 0, 'X', 'Y'};
  Opened u = open(cat({header409(), block(0x44, open0), block(0x42, overviewBody(1, 0, 0, 0, 0, 0, "O"))}));
  EXPECT_EQ(u.form.copyrightText, "XY\r\n\r\n");
}

TEST(Loader, OverviewNumbersAndBounds) {
  Opened a = open(cat({header409(), block(0x42, overviewBody(0x00123456, 7, 0x20000000, 0, 0, 0, "Ov"))}));
  EXPECT_EQ(a.form.overviewNumberText, "123456");
  EXPECT_EQ(a.form.parentNumberText, "7");
  EXPECT_EQ(a.form.overviewNorth, "45");
  EXPECT_EQ(a.form.overviewNameText, "Ov");
  Opened b = open(cat({header409(), block(0x42, overviewBody(0x01020304, 0, 0, 0, 0, 0, "Ov"))}));
  EXPECT_EQ(b.form.overviewNumberText, "1020304");
  Opened c = open(cat({header409(), block(0x42, overviewBody(-1, -2, 0, 0, 0, 0, "Ov"))}));
  EXPECT_EQ(c.form.overviewNumberText, "FFFFFFFF");
  EXPECT_NE(c.file.report.find("Mapnumber:-1\r\n"), std::string::npos);
  EXPECT_NE(c.file.report.find("Parentnumber:-2\r\n"), std::string::npos);
}

TEST(Loader, DetailMapViews) {
  Opened o = open(sampleProduct());
  ASSERT_EQ(o.form.detailMaps.size(), 2u);
  const DetailMapView& v = o.form.detailMaps[0];
  EXPECT_EQ(v.blockIndex, 3);
  EXPECT_EQ(v.blockOffset, 185u);
  const TileTexts t = tileTexts(o.file, o.form, 0);
  EXPECT_EQ(t.listText, "First tile");
  EXPECT_EQ(t.imgName, "10001");
  EXPECT_EQ(tileListText(o.file, o.form, 0), "First tile");
  EXPECT_EQ(tileImgName(o.file, o.form, 0), "10001");
  EXPECT_EQ(tileCaption(o.file, o.form, 0), t.caption());
  EXPECT_EQ(t.boundsRecord, "42.1875#0.70312#39.375#0#First tile#");
  // Count at 185 + 27 + 11 + 2 = 225 = 0xE1.
  EXPECT_EQ(t.infoText, "Overview Map Number:123456\r\n\r\n&E1 Subfiles: 2\r\n10001.TRE:&200\r\n10001.RGN:&1000\r\n");
  EXPECT_EQ(t.caption(), "First tile\r\n10001");
  EXPECT_EQ(t.tooltip(), "First tile\r\n\r\nright click for more");

  Opened none = open(cat({header409(), block(0x4C, tileBody(5, 1, 0, 0, 0, 0, "Empty", {}))}));
  ASSERT_EQ(none.form.detailMaps.size(), 1u);
  const std::string info = tileTexts(none.file, none.form, 0).infoText;
  EXPECT_EQ(info.substr(info.size() - 13), "Subfiles: 0\r\n");
}

TEST(Loader, ADamagedSubfileCountListsOnlyWhatTheBlockHolds) {
  Bytes body = tileBody(5, 1, 0, 0, 0, 0, "T", {{"5.TRE", 16}});
  body[24 + 2 + 2] = 0xFF;  // count low byte
  body[24 + 2 + 3] = 0xFF;  // count high byte: 65535
  Opened o = open(cat({header409(), block(0x4C, body)}));
  ASSERT_EQ(o.form.detailMaps.size(), 1u);
  const std::string info = tileTexts(o.file, o.form, 0).infoText;
  EXPECT_NE(info.find("Subfiles: 65535"), std::string::npos);
  EXPECT_LT(info.size(), 200u);
}

TEST(Loader, TilesSouthOfTheEquatorAndWestOfGreenwich) {
  Bytes t = tileBody(1, 0, static_cast<std::int32_t>(0xF8A432EB), -0x00800000, -0x10000000, -0x01000000, "South", {});
  Opened o = open(cat({header409(), block(0x4C, t)}));
  EXPECT_LT(o.file.overallBounds.greatestLatitude, 0);
  EXPECT_EQ(tileTexts(o.file, o.form, 0).boundsRecord, "-10.34803#-0.70312#-22.5#-1.40625#South#");
  EXPECT_NE(o.file.report.find("maxlat:-10348.029296875 minlat:-22500\r\n"), std::string::npos) << o.file.report;
}

TEST(Loader, TileCopyrightBlocks) {
  Bytes b52 = cat({{1}, text0("Roads by Someone")});
  Bytes b53 = cat({{1}, text0("Data GARMIN inc")});
  Opened o = open(cat({header409(), block(0x52, b52), block(0x53, b53)}));
  EXPECT_EQ(o.form.tileCopyright1, "Roads by Someone\r\n\r\n");
  EXPECT_TRUE(o.form.tileCopyright1Enabled);
  EXPECT_FALSE(o.form.tileCopyright2Enabled);
  EXPECT_EQ(o.file.block52Index, 1);
  EXPECT_EQ(o.file.block53Index, 2);
  EXPECT_EQ(o.file.block52Text, o.form.tileCopyright1);

  // Byte 1 exactly 1: no text.
  Opened e = open(cat({header409(), block(0x52, Bytes{1, 1, 0})}));
  EXPECT_EQ(e.form.tileCopyright1, "\r\n");

  // Two 0x52 blocks: the last one is shown, both stay.
  Opened two = open(cat({header409(), block(0x52, cat({{1}, text0("one")})), block(0x52, cat({{1}, text0("two")}))}));
  EXPECT_EQ(two.form.tileCopyright1, "two\r\n\r\n");
  EXPECT_EQ(two.file.block52Index, 2);
  EXPECT_EQ(two.file.blocks.size(), 3u);
}

TEST(Loader, UnknownBlockIsReportedAndKept) {
  ScriptedPrompter prompter;
  prompter.expectMessage("Unknown header:41 Header length incorrect.");
  Bytes unknown = block(0x41, Bytes{1, 2, 3});
  Opened o = open(cat({header409(), unknown, block(0x4C, tileBody(9, 0, 0, 0, 0, 0, "After", {}))}), prompter);
  ASSERT_EQ(o.file.blocks.size(), 3u);
  EXPECT_EQ(o.file.blocks[1], unknown);
  EXPECT_EQ(o.form.detailMaps.size(), 1u);
  EXPECT_FALSE(o.file.modified);
}

TEST(Loader, ZeroLengthBlockEndsTheFile) {
  Opened o = open(cat({header409(), {0x4C, 0, 0}, block(0x4C, tileBody(9, 0, 0, 0, 0, 0, "Lost", {}))}));
  EXPECT_EQ(o.file.blocks.size(), 1u);
  EXPECT_TRUE(o.form.detailMaps.empty());
}

TEST(Loader, BlocksAfterTheChecksumAreDroppedAndMarkTheFileModified) {
  ScriptedPrompter prompter;
  prompter.expectMessage("Header 54 past end: File is corrupt.")
      .expectMessage("Unknown header:54 Header length incorrect.")
      .expectMessage("Header 4C past end: File is corrupt.")
      .expectMessage("Unknown header:4C Header length incorrect.");
  Opened o = open(cat({header409(), block(0x54, Bytes(20, 0)), block(0x54, Bytes(20, 0)),
                       block(0x4C, tileBody(9, 0, 0, 0, 0, 0, "Late", {}))}),
                  prompter);
  ASSERT_EQ(o.file.blocks.size(), 4u);
  EXPECT_FALSE(o.file.blocks[1].empty());
  EXPECT_TRUE(o.file.blocks[2].empty());
  EXPECT_TRUE(o.file.blocks[3].empty());
  EXPECT_TRUE(o.file.modified);
  EXPECT_TRUE(o.form.detailMaps.empty());
}

TEST(Loader, TruncatedBlockKeepsWhatIsThereAndNotesTheOverread) {
  Bytes tile = block(0x4C, tileBody(9, 0, 0, 0, 0, 0, "Cut", {{"9.TRE", 5}}));
  tile.resize(20);
  Opened o = open(cat({header409(), tile}));
  ASSERT_EQ(o.file.blocks.size(), 2u);
  EXPECT_EQ(o.file.blocks[1].size(), 20u);
  ASSERT_EQ(o.form.detailMaps.size(), 1u);
  EXPECT_NE(o.file.errorText.find("bit4:"), std::string::npos);
}

TEST(Loader, TruncatedChecksumBlockIsACrcError) {
  Bytes sum = block(0x54, Bytes(20, 0));
  sum.resize(10);
  Opened o = open(cat({header409(), sum}));
  EXPECT_EQ(o.file.errorText.substr(o.file.errorText.size() - 9), "crc error");
  EXPECT_EQ(o.file.checksumText, "");
}

TEST(Loader, ChecksumLineForKnownBytes) {
  ProductFile file;
  ProductForm form;
  file.data.assign(0x1F40 + 23, 0);
  file.data[0x1F40] = 0x54;
  file.data[0x1F40 + 5] = 0x5A;
  file.data[0x1F40 + 12] = 0x03;
  file.data[0x1F40 + 15] = 0x11;
  file.data[0x1F40 + 20] = 0x09;
  file.report = "Block id=&50 length=0\r\n";
  ProductDecoder decoder(file, form, file.data);
  EXPECT_EQ(decoder.checksum(0x1F40), "CRC32:5A 03 11 09  @ &1F40\r\n");
  EXPECT_EQ(file.report, "CRC32:5A 03 11 09  @ &1F40\r\nBlock id=&50 length=0\r\n");
}

TEST(Loader, TwentyFiveMebibyteLimit) {
  std::string dir = tempDir();
  std::string atLimit = dir + "/limit.tdb";
  std::string over = dir + "/over.tdb";
  { std::ofstream(atLimit, std::ios::binary).put(0x50); }
  std::filesystem::resize_file(atLimit, 26214400);
  { std::ofstream(over, std::ios::binary).put(0x50); }
  std::filesystem::resize_file(over, 26214401);

  ProductFile file;
  ProductForm form;
  ScriptedPrompter ok;
  EXPECT_EQ(openProduct(file, form, atLimit, ok), LoadStatus::Read);
  EXPECT_EQ(file.data.size(), 26214400u);

  ScriptedPrompter refused;
  refused.expectMessage("tdb files are limited to 25mb.");
  EXPECT_EQ(openProduct(file, form, over, refused), LoadStatus::TooLarge);
  EXPECT_TRUE(file.data.empty());
  EXPECT_EQ(file.blocks.size(), 1u);
}

TEST(Loader, UnreadableFileGivesTheSystemsText) {
  ProductFile file;
  ProductForm form;
  RecordingPrompter prompter;
  EXPECT_EQ(openProduct(file, form, "/nonexistent/velmor/none.tdb", prompter), LoadStatus::Unreadable);
  ASSERT_EQ(prompter.messages.size(), 1u);
  EXPECT_EQ(prompter.messages[0], missingFolderText());
}

TEST(Loader, TextsDecodeWithTheProductsCodePage) {
  Bytes tail = defaultTail(58);
  tail[30] = 0xE3;  // 1251
  tail[31] = 0x04;
  Opened o = open(cat({block(0x50, headerBody(1, 2, 409, "\xCA\xE0\xF0\xF2\xE0", "F", tail)),
                       block(0x4C, tileBody(1, 0, 0, 0, 0, 0, "\xD1\xE5\xE2\xE5\xF0", {}))}));
  EXPECT_EQ(o.form.codePageText, "1251");
  EXPECT_EQ(o.form.textCodePage, 1251);
  EXPECT_EQ(o.form.seriesNameText, "\u041A\u0430\u0440\u0442\u0430");
  EXPECT_EQ(tileListText(o.file, o.form, 0), "\u0421\u0435\u0432\u0435\u0440");
}

TEST(Loader, AFloodOfBadBlocksShowsTwentyMessagesAndKeepsTheRest) {
  Bytes bytes = header409();
  for (int i = 0; i < 1500; ++i) {
    Bytes b = block(0x41, Bytes{static_cast<std::uint8_t>(i)});
    bytes.insert(bytes.end(), b.begin(), b.end());
  }
  ProductFile file;
  ProductForm form;
  RecordingPrompter prompter;
  openProduct(file, form, writeTemp(bytes), prompter);
  EXPECT_EQ(prompter.messages.size(), 20u);
  EXPECT_EQ(file.blocks.size(), 1501u);
  // The next thousand wait in the error text that the Errors window shows;
  // of the rest only their number, so millions of blocks cannot swell it.
  std::size_t lines = 0;
  for (std::size_t p = file.errorText.find("Unknown header:41"); p != std::string::npos;
       p = file.errorText.find("Unknown header:41", p + 1)) {
    ++lines;
  }
  EXPECT_EQ(lines, 1000u);
  EXPECT_NE(file.errorText.find("\r\n480 more messages about blocks were left out.\r\n"), std::string::npos);
}

TEST(Loader, CopyrightBlockTooShortForItsRecordDecodesEmpty) {
  for (const Bytes& body : {Bytes{0x41}, Bytes{0x41, 0x42}}) {
    Opened o = open(cat({header409(), block(0x44, body)}));
    EXPECT_EQ(o.form.copyrightText, "\r\n");
    EXPECT_EQ(o.file.copyrightIndex, 1);
  }
}

// velmor-cli report reads without keeping what only an edit needs; what it
// prints (the report, the messages, the error text) must be what the window
// gets from the same file, damaged files included.
TEST(Loader, TheReportOnlyLoadTellsWhatTheFullLoadTells) {
  Bytes cut = block(0x4C, tileBody(9, 0, 0, 0, 0, 0, "Cut", {{"9.TRE", 5}}));
  cut.resize(20);
  Bytes shortSum = block(0x54, Bytes(20, 0));
  shortSum.resize(10);
  Bytes flood = header409();
  for (int i = 0; i < 1100; ++i) {
    Bytes b = block(0x41, Bytes{static_cast<std::uint8_t>(i)});
    flood.insert(flood.end(), b.begin(), b.end());
  }
  // Megabytes of tiles and a checksum that does not match them: the report
  // reads a file this large into other memory than an edit does.
  Bytes large = header409();
  const Bytes tile = block(0x4C, tileBody(9, 100, 200, 50, 20, 0, "Tile", {{"9.TRE", 5}}));
  while (large.size() < (5u << 20)) large.insert(large.end(), tile.begin(), tile.end());
  const Bytes wrongSum = block(0x54, Bytes(20, 0));
  large.insert(large.end(), wrongSum.begin(), wrongSum.end());
  std::vector<std::string> paths{std::string(VELMOR_TEST_DATA) + "/north/north.tdb",
                                 std::string(VELMOR_TEST_DATA) + "/grid/grid.tdb"};
  for (const Bytes& bytes :
       {sampleProduct(), cat({header409(), cut}), cat({header409(), shortSum}), flood, large,
        cat({header409(), block(0x54, Bytes(20, 0)), block(0x4C, tileBody(9, -5, -5, -9, -9, 0, "Late", {}))}),
        cat({header409(), block(0x4C, tileBody(9, 100, 200, 50, 20, 0, "T", {})), block(0x52, Bytes{0, 1, 0x41, 0})})})
    paths.push_back(writeTemp(bytes));
  // Files that are not read at all: one over the limit, one that is not there.
  const std::string over = tempDir() + "/over.tdb";
  { std::ofstream(over, std::ios::binary).put(0x50); }
  std::filesystem::resize_file(over, kMaxProductFileSize + 1);
  paths.push_back(over);
  paths.push_back(tempDir() + "/missing.tdb");
  for (const std::string& path : paths) {
    SCOPED_TRACE(path);
    RecordingPrompter full;
    RecordingPrompter lean;
    Opened a;
    Opened b;
    const LoadStatus fullStatus = openProduct(a.file, a.form, path, full);
    const ReportLoad load = openProductForReport(b.file, b.form, path, lean);
    EXPECT_EQ(load.status, fullStatus);
    const DamageVerdict verdict = judgeProductFile(a.file);
    EXPECT_EQ(load.verdict.damage, verdict.damage);
    EXPECT_EQ(load.verdict.text, verdict.text);
    EXPECT_FALSE(a.file.report.empty());
    EXPECT_EQ(b.file.report, a.file.report);
    EXPECT_EQ(b.file.errorText, a.file.errorText);
    EXPECT_EQ(lean.messages, full.messages);
    EXPECT_EQ(b.file.checksumText, a.file.checksumText);
    EXPECT_TRUE(b.form.detailMaps.empty());
    EXPECT_TRUE(b.file.loadedData.empty());
  }
}
