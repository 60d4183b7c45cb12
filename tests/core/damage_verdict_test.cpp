// Damaged product files are told as such when they are opened: a copy cut
// short, another kind of file under a .tdb name, a checksum that no longer
// matches, an empty file; a whole mkgmap product is not.
#include <gtest/gtest.h>

#include "core/product/damage_verdict.hpp"
#include "core/product/loader.hpp"
#include "support/product_builder.hpp"
#include "support/scripted_prompter.hpp"

using namespace velmor;
using namespace velmor::test;

namespace {

struct Judged {
  ProductFile file;
  ProductForm form;
  DamageVerdict verdict;
};

// Judged as the window and the command line open it; the loader's own
// messages about blocks are taken as they come.
Judged open(const Bytes& bytes) {
  Judged o;
  RecordingPrompter prompter;
  openProduct(o.file, o.form, writeTemp(bytes, "damaged.tdb"), prompter);
  o.verdict = judgeProductFile(o.file);
  return o;
}

Bytes grid() { return readFile(std::string(VELMOR_TEST_DATA) + "/grid/grid.tdb"); }

bool says(const DamageVerdict& v, const std::string& part) { return v.text.find(part) != std::string::npos; }

}  // namespace

TEST(DamageVerdict, WholeMkgmapProductIsNotDamaged) {
  Judged o = open(grid());
  EXPECT_FALSE(o.verdict) << o.verdict.text;
  EXPECT_EQ(o.verdict.text, "");
  EXPECT_EQ(o.form.detailMaps.size(), 16u);
}

TEST(DamageVerdict, CutCopySaysWhereItEndsAndWhatWasRead) {
  Bytes cut = grid();
  cut.resize(700);
  Judged o = open(cut);
  ASSERT_EQ(o.verdict.damage, Damage::CutOff) << o.verdict.text;
  EXPECT_TRUE(says(o.verdict, "The file is damaged: it is cut off.")) << o.verdict.text;
  EXPECT_TRUE(says(o.verdict, "the checksum block is missing")) << o.verdict.text;
  // What it says was read is what the window shows: the tiles decoded.
  ASSERT_LT(o.form.detailMaps.size(), 16u);
  EXPECT_TRUE(says(o.verdict, "Read: 700 bytes")) << o.verdict.text;
  EXPECT_TRUE(says(o.verdict, ", " + std::to_string(o.form.detailMaps.size()) + " detail map")) << o.verdict.text;
}

TEST(DamageVerdict, ImgUnderATdbNameIsNotAProductFile) {
  Judged o = open(readFile(std::string(VELMOR_TEST_DATA) + "/grid/12340001.img"));
  ASSERT_EQ(o.verdict.damage, Damage::NotProductFile) << o.verdict.text;
  EXPECT_TRUE(says(o.verdict, "The file is not a product file")) << o.verdict.text;
  EXPECT_TRUE(says(o.verdict, "instead of &50")) << o.verdict.text;
}

TEST(DamageVerdict, ChangedByteMakesTheChecksumDiffer) {
  Bytes changed = grid();
  // A letter of the family name, inside the header block: the framing is
  // untouched, only the CRC can tell.
  const Bytes whole = changed;
  std::size_t at = 0;
  for (std::size_t i = 20; i < changed.size(); ++i) {
    if (changed[i] >= 'A' && changed[i] <= 'z') {
      at = i;
      break;
    }
  }
  ASSERT_GT(at, 0u);
  changed[at] ^= 0x01;
  Judged o = open(changed);
  ASSERT_EQ(o.verdict.damage, Damage::ChecksumDiffers) << o.verdict.text;
  EXPECT_TRUE(says(o.verdict, "its checksum differs (stored CRC-32 ")) << o.verdict.text;
  EXPECT_TRUE(says(o.verdict, "16 detail maps")) << o.verdict.text;
  // The stored value is the one the whole file carries and its bytes give.
  Judged whole_ = open(whole);
  EXPECT_FALSE(whole_.verdict);
}

TEST(DamageVerdict, EmptyFileIsSaidToBeEmpty) {
  Judged o = open(Bytes{});
  ASSERT_EQ(o.verdict.damage, Damage::Empty);
  EXPECT_EQ(o.verdict.text, "The file is empty: it is not a product file, nothing was read from it.");
}
