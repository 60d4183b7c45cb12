// What a save changes: only what the user changed. No stale checksum block,
// no header rebuilt from names that run into the next block, no bound or
// map-window size moved by being shown and encoded again.
#include <gtest/gtest.h>
#include <zlib.h>

#include <random>

#include "core/editor/field_rules.hpp"
#include "core/editor/header_rules.hpp"
#include "core/product/block_walk.hpp"
#include "core/product/checksum_block.hpp"
#include "support/save_session.hpp"
#include "support/test_files.hpp"

using namespace velmor;
using namespace velmor::test;

namespace {

// A saved file either ends in one checksum block that holds the CRC of
// everything before it, or has no checksum block at all.
void expectNoStaleChecksum(const Bytes& bytes, bool written) {
  const std::int64_t at = findChecksumBlock(bytes);
  if (!written) {
    EXPECT_EQ(at, -1);
    return;
  }
  ASSERT_EQ(at, static_cast<std::int64_t>(bytes.size()) - 23);
  EXPECT_EQ(storedCrc(Bytes(bytes.end() - 23, bytes.end())), zlibCrc(bytes, bytes.size() - 23));
}

const Bytes kSampleRest = [] {
  const Bytes sample = sampleProduct();
  return Bytes(sample.begin() + 97, sample.end() - 23);  // copyright, overview, tiles
}();

}  // namespace

TEST(SaveKeeps, NoStaleChecksumBlockWhenNoneIsWritten) {
  // A 4.09 file taken to 3.00 loses its tail, so no checksum block is
  // written: the one it was loaded with (its CRC now wrong) goes as well.
  const std::string path = writeTemp(sampleProduct(), "sample.tdb");
  Session s;
  s.open(path);
  ASSERT_EQ(changeVersion(s.file, s.form, "3.00", s.prompter).outcome, RuleOutcome::Accepted);
  s.prompter.expectMessage("Found unknown header:&12C Please report.");
  s.prompter.expectMessage(backupMessage(backupName(path)));
  ASSERT_EQ(s.saveTo(path), SaveOutcome::Saved);
  const Bytes header300 = block(0x50, headerBody(7, 4660, 300, "Sample Series", "Sample Family", {}));
  EXPECT_EQ(readFile(path), cat({header300, kSampleRest}));

  // Saved again from the same model: nothing stale comes back, nothing is lost.
  s.form.pidText = "8";
  s.file.modified = true;
  s.prompter.expectMessage("Found unknown header:&12C Please report.");
  ASSERT_EQ(s.saveTo(path), SaveOutcome::Saved);
  const Bytes header8 = block(0x50, headerBody(8, 4660, 300, "Sample Series", "Sample Family", {}));
  EXPECT_EQ(readFile(path), cat({header8, kSampleRest}));

  // A 3.00 file without a tail that ends in a checksum block, edited.
  const std::string old = writeTemp(cat({header300, kSampleRest, checksumBlock(0x12345678)}), "old.tdb");
  Session t;
  t.open(old);
  t.form.pidText = "8";
  t.file.modified = true;
  t.prompter.expectMessage("Found unknown header:&12C Please report.");
  t.prompter.expectMessage(backupMessage(backupName(old)));
  ASSERT_EQ(t.saveTo(old), SaveOutcome::Saved);
  EXPECT_EQ(readFile(old), cat({header8, kSampleRest}));
}

TEST(SaveKeeps, MutatedFilesThatSaveNeverCarryAWrongChecksum) {
  // The property verify relies on, over damaged copies of a file mkgmap
  // wrote: whatever a modified save accepts ends in a checksum block that
  // holds its CRC, or has none. Every other copy is also taken to 3.00.
  const Bytes original = readFile(std::string(VELMOR_TEST_DATA) + "/north/north.tdb");
  std::mt19937 random(20240611);
  int saved = 0;
  for (int round = 0; round < 600; ++round) {
    Bytes bytes = original;
    const int flips = 1 + static_cast<int>(random() % 3);
    for (int i = 0; i < flips; ++i) bytes[random() % bytes.size()] ^= static_cast<std::uint8_t>(1u << (random() % 8));
    ProductFile file;
    ProductForm form;
    RecordingPrompter quiet;
    file.data = bytes;
    file.loadedData = bytes;
    get_data(file, form, quiet);
    if (round % 2 == 1) changeVersion(file, form, "3.00", quiet);
    file.modified = true;
    FixedRandom filler;
    std::string refusal;
    const auto composed = composeSave(file, form, quiet, filler, refusal);
    if (!composed) continue;
    ++saved;
    SCOPED_TRACE("round " + std::to_string(round));
    expectNoStaleChecksum(composed->bytes, composed->checksum.has_value());
  }
  EXPECT_GT(saved, 300);
}

TEST(SaveKeeps, DamagedHeaderIsNeverRewritten) {
  // The series name has no end inside the 9-byte header body: it runs on
  // into the copyright block, and the tail comes out negative.
  const Bytes damaged = cat({block(0x50, cat({le16(7), le16(4660), le16(409), {'S', 'e', 'r'}})), kSampleRest});
  const std::string path = writeTemp(damaged, "damaged.tdb");
  Session s;
  s.open(path);
  ASSERT_LT(s.file.headerTailLength, 0);
  s.form.pidText = "8";
  pidFidKey(s.file, '8');
  s.prompter.expectMessage(
      "The header block of this file is damaged: its names run past its end, into the blocks after it. It cannot "
      "be rewritten, so no change to this file can be saved. Nothing was saved.");
  EXPECT_EQ(s.saveTo(path), SaveOutcome::Refused);
  EXPECT_EQ(readFile(path), damaged);
  EXPECT_TRUE(s.file.modified);

  // Unchanged, it is written as it was read.
  Session clean;
  clean.open(path);
  clean.prompter.expectMessage(backupMessage(backupName(path)));
  ASSERT_EQ(clean.saveTo(path), SaveOutcome::Saved);
  EXPECT_EQ(readFile(path), damaged);
}

TEST(SaveKeeps, RenamingTheSeriesLeavesTheOverviewBytesAlone) {
  // Bounds a few map units off the 5-decimal texts the boxes show.
  const Bytes overview = block(0x42, overviewBody(0x00123456, 0, 0x20000007, 0x01000005, 0x1C000003, -3, "Ov"));
  const std::vector<Bytes> sample = Session::split(sampleProduct());  // header, copyright, overview, 2 tiles, checksum
  const std::string path = writeTemp(cat({sample[0], sample[1], overview, sample[3], sample[4]}), "ov.tdb");
  Session s;
  s.open(path);
  s.form.seriesNameText = "Renamed Series";
  nameKey(s.file, s.form, 'd');  // a key in a name box marks the overview edited too
  ASSERT_TRUE(s.file.overviewEdited);
  s.prompter.expectMessage(backupMessage(backupName(path)));
  ASSERT_EQ(s.saveTo(path), SaveOutcome::Saved);
  std::vector<Bytes> blocks = Session::split(readFile(path));
  ASSERT_GE(blocks.size(), 3u);
  EXPECT_EQ(blocks[2], overview);

  // A bound the user typed is encoded from its text; the others stay.
  s.form.overviewNorth = "22.5";
  boundKeyReleased(s.file);
  ASSERT_EQ(s.saveTo(path), SaveOutcome::Saved);
  blocks = Session::split(readFile(path));
  EXPECT_EQ(blocks[2], block(0x42, overviewBody(0x00123456, 0, 0x10000000, 0x01000005, 0x1C000003, -3, "Ov")));
}

TEST(SaveKeeps, MapWindowSizesStayUntilTheUserChangesThem) {
  Bytes tail = defaultTail(58);
  tail[50] = 0xA0;  // width 1440
  tail[51] = 0x05;
  tail[54] = 0xF0;  // height 496: the list shows 40 %, which would give 512
  tail[55] = 0x01;
  const Bytes header = block(0x50, headerBody(7, 4660, 409, "Sample Series", "Sample Family", tail));
  const std::string path = writeTemp(cat({header, kSampleRest}), "mw.tdb");
  Session s;
  s.open(path);
  ASSERT_TRUE(s.form.mapWindow);
  ASSERT_EQ(s.form.mapWindowHeightText, "40%");
  s.form.pidText = "8";
  pidFidKey(s.file, '8');
  s.prompter.expectMessage(backupMessage(backupName(path)));
  ASSERT_EQ(s.saveTo(path), SaveOutcome::Saved);
  Bytes saved = readFile(path);
  EXPECT_EQ(Bytes(saved.begin(), saved.begin() + static_cast<std::ptrdiff_t>(header.size())),
            block(0x50, headerBody(8, 4660, 409, "Sample Series", "Sample Family", tail)));

  // Picked again in its list, the height is worked out from the percentage.
  mapWindowSizeChanged(s.file, s.form, false, "40%");
  ASSERT_EQ(s.saveTo(path), SaveOutcome::Saved);
  saved = readFile(path);
  tail[54] = 0x00;  // 512
  tail[55] = 0x02;
  EXPECT_EQ(Bytes(saved.begin(), saved.begin() + static_cast<std::ptrdiff_t>(header.size())),
            block(0x50, headerBody(8, 4660, 409, "Sample Series", "Sample Family", tail)));
}
