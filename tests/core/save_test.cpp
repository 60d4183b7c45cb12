// The save pipeline on real files: round trips, edits that read back, the
// checksum block, the backup, the checks that refuse and the write that fails.
#include <gtest/gtest.h>
#include <zlib.h>

#include <cstring>
#include <filesystem>

#include "core/product/checksum_block.hpp"
#include "support/save_session.hpp"
#include "support/test_files.hpp"

using namespace velmor;
using namespace velmor::test;
namespace fs = std::filesystem;

namespace {

std::string copyFixture(const std::string& relative) {
  const fs::path source = fs::path(VELMOR_TEST_DATA) / relative;
  const fs::path target = fs::path(tempDir()) / source.filename();
  fs::copy_file(source, target);
  return target.string();
}

// No write bits; on Windows the read-only attribute, which the library maps to them.
bool readOnly(const std::string& path) {
  std::error_code ec;
  const fs::file_status status = fs::status(pathFromUtf8(path), ec);
  return !ec && (status.permissions() & (fs::perms::owner_write | fs::perms::group_write | fs::perms::others_write)) ==
                    fs::perms::none;
}

// Checks that a saved file ends in exactly one checksum block holding the
// CRC-32 of everything before it.
void expectOneValidChecksum(const Bytes& bytes) {
  std::vector<Bytes> blocks = Session::split(bytes);
  int checksums = 0;
  for (const Bytes& b : blocks) checksums += b[0] == 0x54;
  EXPECT_EQ(checksums, 1);
  ASSERT_GE(bytes.size(), 23u);
  const Bytes last(bytes.end() - 23, bytes.end());
  EXPECT_EQ(last[0], 0x54);
  EXPECT_EQ(storedCrc(last), zlibCrc(bytes, bytes.size() - 23));
}

Bytes header409(std::uint16_t pid, const std::string& family, const Bytes& tail = defaultTail(58)) {
  return block(0x50, headerBody(pid, 4660, 409, "Sample Series", family, tail));
}
Bytes sampleCopyright() { return block(0x44, copyrightBody(3, 6, {"Copyright sample maps", "Second line"})); }
Bytes sampleOverview(std::int32_t north = 0x20000000) {
  return block(0x42, overviewBody(0x00123456, 0, north, 0x01000000, 0x1C000000, 0, "Sample overview"));
}
Bytes tile1() {
  return block(0x4C, tileBody(10001, 0x00123456, 0x1E000000, 0x00800000, 0x1C000000, 0, "First tile",
                              {{"10001.TRE", 0x200}, {"10001.RGN", 0x1000}}));
}
Bytes tile2() {
  return block(0x4C, tileBody(10002, 0x00123456, 0x20000000, 0x01000000, 0x1E000000, 0x00800000, "Second tile",
                              {{"10002.TRE", 0x300}}));
}
Bytes withChecksum(const Bytes& content) { return cat({content, checksumBlock(zlibCrc(content, content.size()))}); }

}  // namespace

// --- Round trips -----------------------------------------------------------

class UnchangedSave : public ::testing::TestWithParam<std::string> {};

TEST_P(UnchangedSave, WritesTheLoadedBytesAndMakesOneReadOnlyBackup) {
  const std::string path = GetParam() == "sample" ? writeTemp(sampleProduct(), "sample.tdb") : copyFixture(GetParam());
  const Bytes original = readFile(path);
  Session s;
  s.open(path);
  const std::string backup = backupName(path);
  s.prompter.expectMessage(backupMessage(backup));
  ASSERT_EQ(s.saveTo(path), SaveOutcome::Saved);
  EXPECT_EQ(readFile(path), original);
  EXPECT_EQ(readFile(backup), original);
  EXPECT_TRUE(readOnly(backup));
  EXPECT_EQ(s.log.lines, std::vector<std::string>{"Saved:" + path});
  ASSERT_FALSE(s.activity.steps.empty());
  EXPECT_EQ(s.activity.steps.back(), 1.0f);
  EXPECT_FALSE(s.activity.busyNow);
  // Nothing but the target and its backup is left in the folder.
  EXPECT_EQ(filesInFolder(fs::path(path).parent_path().string()), 2u);
}

INSTANTIATE_TEST_SUITE_P(Fixtures, UnchangedSave, ::testing::Values("north/north.tdb", "grid/grid.tdb", "sample"),
                         [](const auto& info) { return info.param.substr(0, info.param.find('/')); });

TEST(Save, EditedSampleIsWrittenExactly) {
  const std::string path = writeTemp(sampleProduct(), "sample.tdb");
  Session s;
  s.open(path);
  s.form.pidText = "4242";
  s.form.familyNameText = "Edited Family";
  s.form.routable = true;
  s.form.overviewNorth = "22.5";  // 2^28 map units
  s.file.overviewEdited = true;
  s.file.modified = true;
  s.prompter.expectMessage(backupMessage(backupName(path)));
  ASSERT_EQ(s.saveTo(path), SaveOutcome::Saved);

  Bytes tail = defaultTail(58);
  tail[38] = 1;
  // The copyright block ("Copyright Info", not edited) and the tiles stay as
  // read; the checksum block holds the CRC with zero filler.
  const Bytes expected = withChecksum(
      cat({header409(4242, "Edited Family", tail), sampleCopyright(), sampleOverview(0x10000000), tile1(), tile2()}));
  EXPECT_EQ(readFile(path), expected);
  EXPECT_FALSE(s.file.modified);
  EXPECT_FALSE(s.file.overviewEdited);

  Session again;
  again.open(path);
  EXPECT_EQ(again.form.pidText, "4242");
  EXPECT_EQ(again.form.familyNameText, "Edited Family");
  EXPECT_TRUE(again.form.routable);
  EXPECT_EQ(again.form.overviewNorth, "22.5");
}

class EditedFixture : public ::testing::TestWithParam<std::string> {};

TEST_P(EditedFixture, EditsReadBackAndTilesStayByteIdentical) {
  const std::string path = copyFixture(GetParam());
  const Bytes original = readFile(path);
  Session s;
  s.open(path);
  const BlockList before = s.file.blocks;
  s.form.pidText = "4242";
  s.form.familyNameText = "Edited Family";
  s.form.routable = !s.form.routable;
  const bool routable = s.form.routable;
  s.form.overviewWest = "-2.8125";  // -2^25 map units exactly
  s.file.overviewEdited = true;
  s.file.modified = true;
  s.prompter.expectMessage(backupMessage(backupName(path)));
  ASSERT_EQ(s.saveTo(path), SaveOutcome::Saved);

  const Bytes saved = readFile(path);
  expectOneValidChecksum(saved);
  EXPECT_EQ(readFile(backupName(path)), original);

  Session again;
  again.open(path);
  EXPECT_EQ(again.form.pidText, "4242");
  EXPECT_EQ(again.form.familyNameText, "Edited Family");
  EXPECT_EQ(again.form.routable, routable);
  EXPECT_EQ(again.form.overviewWest, "-2.8125");
  EXPECT_EQ(again.form.detailMaps.size(), s.form.detailMaps.size());
  // Tiles and 0x52 blocks are never rebuilt, nor is mkgmap's unedited
  // copyright (codes 06 03, which the options cannot show): same bytes, same order.
  auto kept = [](std::uint8_t type) { return type == 0x4C || type == 0x52 || type == 0x44; };
  std::vector<Bytes> keptBefore, keptAfter;
  for (const Bytes& b : before)
    if (!b.empty() && kept(b[0])) keptBefore.push_back(b);
  for (const Bytes& b : again.file.blocks)
    if (!b.empty() && kept(b[0])) keptAfter.push_back(b);
  EXPECT_EQ(keptAfter, keptBefore);
}

INSTANTIATE_TEST_SUITE_P(Fixtures, EditedFixture, ::testing::Values("north/north.tdb", "grid/grid.tdb"),
                         [](const auto& info) { return info.param.substr(0, info.param.find('/')); });

TEST(Save, LaterSavesKeepTheFirstBackupAndNeverUndoAnEarlierSave) {
  const std::string path = writeTemp(sampleProduct(), "roads.tdb");
  const Bytes original = readFile(path);
  Session s;
  s.open(path);
  s.form.pidText = "11";
  s.file.modified = true;
  s.prompter.expectMessage(backupMessage(backupName(path)));
  ASSERT_EQ(s.saveTo(path), SaveOutcome::Saved);
  const Bytes first = readFile(path);
  ASSERT_NE(first, original);

  // An unchanged model now stands for the saved bytes, not the loaded ones.
  ASSERT_EQ(s.saveTo(path), SaveOutcome::Saved);
  EXPECT_EQ(readFile(path), first);

  s.form.pidText = "12";
  s.file.modified = true;
  ASSERT_EQ(s.saveTo(path), SaveOutcome::Saved);
  expectOneValidChecksum(readFile(path));
  EXPECT_EQ(readFile(backupName(path)), original);
  EXPECT_TRUE(readOnly(backupName(path)));
}

TEST(Save, ClockSeededFillerChangesButTheCrcDoesNot) {
  const std::string path = writeTemp(sampleProduct(), "sample.tdb");
  Session s;
  s.open(path);
  s.file.modified = true;
  s.prompter.expectMessage(backupMessage(backupName(path)));
  SaveContext c = s.context();
  c.random = nullptr;
  ASSERT_EQ(save(c, path), SaveOutcome::Saved);
  const Bytes first = readFile(path);
  s.file.modified = true;
  ASSERT_EQ(save(c, path), SaveOutcome::Saved);
  const Bytes second = readFile(path);
  ASSERT_EQ(first.size(), second.size());
  const Bytes a(first.end() - 23, first.end()), b(second.end() - 23, second.end());
  EXPECT_EQ(storedCrc(a), storedCrc(b));
  EXPECT_NE(a, b);
  EXPECT_TRUE(std::equal(first.begin(), first.end() - 23, second.begin()));
}

// --- The checksum block of files that break the version rule ------------------

TEST(Save, Version300FileEndingInAChecksumBlockGetsOnlyANewOne) {
  const Bytes content = cat(
      {block(0x50, headerBody(7, 4660, 300, "S", "F", defaultTail(30))), sampleCopyright(), sampleOverview(), tile1()});
  const std::string path = writeTemp(cat({content, checksumBlock(0xDEADBEEF)}), "old.tdb");
  Session s;
  s.open(path);
  s.file.modified = true;
  s.prompter.expectMessage(backupMessage(backupName(path)));
  ASSERT_EQ(s.saveTo(path), SaveOutcome::Saved);
  EXPECT_EQ(readFile(path), withChecksum(content));
}

TEST(Save, LaterVersionFileWithoutChecksumLosesNothing) {
  const Bytes content = cat({header409(7, "F"), sampleCopyright(), sampleOverview(), tile1(), tile2()});
  const std::string path = writeTemp(content, "nosum.tdb");
  Session s;
  s.open(path);
  s.file.modified = true;
  s.prompter.expectMessage(backupMessage(backupName(path)));
  ASSERT_EQ(s.saveTo(path), SaveOutcome::Saved);
  EXPECT_EQ(readFile(path), withChecksum(content));
  // Saved again, the checksum block just written is the one replaced.
  s.file.modified = true;
  ASSERT_EQ(s.saveTo(path), SaveOutcome::Saved);
  EXPECT_EQ(readFile(path), withChecksum(content));
}

TEST(Save, HeaderWithoutTailIsSavedWithoutChecksumBlock) {
  const Bytes rest = cat({sampleCopyright(), sampleOverview(), tile1()});
  const std::string path = writeTemp(cat({block(0x50, headerBody(7, 4660, 300, "S", "F", {})), rest}), "v3.tdb");
  Session s;
  s.open(path);
  s.form.pidText = "8";
  s.file.modified = true;
  s.prompter.expectMessage("Found unknown header:&12C Please report.");
  s.prompter.expectMessage(backupMessage(backupName(path)));
  ASSERT_EQ(s.saveTo(path), SaveOutcome::Saved);
  EXPECT_EQ(readFile(path), cat({block(0x50, headerBody(8, 4660, 300, "S", "F", {})), rest}));
}

TEST(Save, TileCopyrightTextDoesNotGrowOverSaveAndLoad) {
  const std::string path = writeTemp(sampleProduct(), "sample.tdb");
  {
    Session s;
    s.open(path);
    s.form.tileCopyright1 = "Tiles by me\r\n";
    s.prompter.expectMessage(backupMessage(backupName(path)));
    ASSERT_EQ(s.saveTo(path), SaveOutcome::Saved);
  }
  for (int round = 0; round < 2; ++round) {
    Session s;
    s.open(path);
    ASSERT_EQ(s.form.tileCopyright1, "Tiles by me\r\n\r\n");
    s.form.tileCopyright1 += "\r\n";  // an edit that leaves only line breaks behind
    ASSERT_EQ(s.saveTo(path), SaveOutcome::Saved);
  }
  const std::vector<Bytes> blocks = Session::split(readFile(path));
  ASSERT_EQ(blocks.size(), 7u);
  EXPECT_EQ(blocks[5], block(0x52, cat({{0x01}, text0("Tiles by me")})));
  EXPECT_EQ(blocks[6][0], 0x54);
}

TEST(Save, BlocksPastTheChecksumBlockAreDroppedByTheRepairSave) {
  const Bytes content = cat({header409(7, "F"), sampleCopyright(), sampleOverview(), tile1()});
  const std::string path = writeTemp(cat({content, checksumBlock(1), checksumBlock(2), tile2()}), "corrupt.tdb");
  Session s;
  RecordingPrompter opening;
  ASSERT_EQ(openProduct(s.file, s.form, path, opening), LoadStatus::Read);
  ASSERT_TRUE(s.file.modified);  // the loader asks for the repair
  s.prompter.expectMessage(backupMessage(backupName(path)));
  ASSERT_EQ(s.saveTo(path), SaveOutcome::Saved);
  EXPECT_EQ(readFile(path), withChecksum(content));
}
