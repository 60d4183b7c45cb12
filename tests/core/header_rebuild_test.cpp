// The header block as rebuilt from the form: ids, names, the tail from the
// extra-byte boxes and the feature options, and the boxes that refuse.
#include <gtest/gtest.h>

#include "core/product/rebuilders.hpp"
#include "support/save_session.hpp"

using namespace velmor;
using namespace velmor::test;

namespace {

Bytes header(std::uint16_t pid, std::uint16_t fid, std::uint16_t version, const std::string& series,
             const std::string& family, const Bytes& tail) {
  return block(0x50, headerBody(pid, fid, version, series, family, tail));
}

// A product whose header is `headerBlock`, with one tile and a checksum block.
Bytes productWith(const Bytes& headerBlock) {
  return cat({headerBlock, block(0x44, copyrightBody(3, 6, {"C"})),
              block(0x42, overviewBody(1, 0, 0x20000000, 0x01000000, 0x1C000000, 0, "O")),
              block(0x4C, tileBody(1, 1, 0x1E000000, 0x00800000, 0x1C000000, 0, "T", {{"1.TRE", 1}})),
              checksumBlock(0)});
}

struct HeaderCase : ::testing::Test {
  Session s;
  void openHeader(const Bytes& headerBlock) { s.open(writeTemp(productWith(headerBlock))); }
  Refusal rebuild() { return updateblock0(s.file, s.form, s.prompter); }
};

}  // namespace

TEST_F(HeaderCase, UnchangedFormGivesTheLoadedHeaderBack) {
  Bytes tail = defaultTail(58);
  tail[0] = 0x5A;  // the preserved byte has no box and must survive
  tail[38] = 1;
  tail[40] = 1;
  tail[49] = 1;
  const Bytes original = header(7, 4660, 409, "Series", "Family", tail);
  openHeader(original);
  ASSERT_FALSE(rebuild());
  EXPECT_EQ(s.file.blocks[0], original);
}

TEST_F(HeaderCase, IdsAndNamesComeFromTheirBoxes) {
  openHeader(header(7, 4660, 409, "Series", "Family", defaultTail(58)));
  s.form.pidText = "513";
  s.form.fidText = "65535";
  s.form.seriesNameText = "New series";
  s.form.familyNameText = "Fam";
  ASSERT_FALSE(rebuild());
  EXPECT_EQ(s.file.blocks[0], header(513, 65535, 409, "New series", "Fam", defaultTail(58)));
}

TEST_F(HeaderCase, TextsAreWrittenInTheProductsOwnCodePage) {
  Bytes tail = defaultTail(58);
  tail[30] = 0xE3;  // 1251, Cyrillic
  tail[31] = 0x04;
  openHeader(header(1, 2, 409, "S", "F", tail));
  ASSERT_EQ(s.form.textCodePage, 1251);
  s.form.familyNameText = "\xD0\x96";  // U+0416, 0xC6 in code page 1251
  ASSERT_FALSE(rebuild());
  EXPECT_EQ(s.file.blocks[0], header(1, 2, 409, "S", "\xC6", tail));
}

TEST_F(HeaderCase, OptionsGoIntoTheirTailBytes) {
  openHeader(header(1, 2, 409, "S", "F", defaultTail(58)));
  s.form.routable = true;
  s.form.profile = true;
  s.form.printing = false;
  s.form.mapWindow = true;
  s.form.mapWindowWidthText = "100%";
  s.form.mapWindowHeightText = "100%";
  s.file.mapWindowEdited = true;  // as a click on "Map Window" or a size list marks it
  ASSERT_FALSE(rebuild());
  Bytes tail = defaultTail(58);
  tail[38] = 1;
  tail[40] = 1;
  tail[49] = 1;  // printing disabled
  // 100 % of 1455 is 1455, lowered to a multiple of 16: 1440 = 0x05A0; 1279 gives 1264 = 0x04F0.
  tail[50] = 0xA0;
  tail[51] = 0x05;
  tail[54] = 0xF0;
  tail[55] = 0x04;
  EXPECT_EQ(s.file.blocks[0], header(1, 2, 409, "S", "F", tail));
  EXPECT_EQ(s.form.extraBytes[50].text, "A0");
  EXPECT_EQ(s.form.extraBytes[38].text, "1");
}

TEST_F(HeaderCase, PrintingTickedClearsByte49) {
  Bytes tail = defaultTail(58);
  tail[49] = 1;
  openHeader(header(1, 2, 409, "S", "F", tail));
  s.form.printing = true;
  ASSERT_FALSE(rebuild());
  EXPECT_EQ(s.file.blocks[0], header(1, 2, 409, "S", "F", defaultTail(58)));
}

TEST_F(HeaderCase, TailOf37LeavesTheOptionBoxesAlone) {
  openHeader(header(1, 2, 407, "S", "F", defaultTail(37)));
  s.form.routable = true;
  s.form.dem = true;
  ASSERT_FALSE(rebuild());
  EXPECT_EQ(s.file.blocks[0], header(1, 2, 407, "S", "F", defaultTail(37)));
  EXPECT_EQ(s.form.extraBytes[38].text, " ");
}

TEST_F(HeaderCase, TailOf39TakesRoutableButNotTheBytesPastIt) {
  openHeader(header(1, 2, 407, "S", "F", defaultTail(39)));
  s.form.routable = true;
  s.form.profile = true;  // box 40 lies outside a 39-byte tail
  ASSERT_FALSE(rebuild());
  Bytes tail = defaultTail(39);
  tail[38] = 1;
  EXPECT_EQ(s.file.blocks[0], header(1, 2, 407, "S", "F", tail));
}

TEST_F(HeaderCase, EmptyBoxInsideTheTailIsWrittenAsZero) {
  openHeader(header(1, 2, 409, "S", "F", defaultTail(58)));
  s.form.extraBytes[1].text = "";
  ASSERT_FALSE(rebuild());
  Bytes tail = defaultTail(58);
  tail[1] = 0;
  EXPECT_EQ(s.file.blocks[0], header(1, 2, 409, "S", "F", tail));
  EXPECT_EQ(s.form.extraBytes[1].text, "0");
}

TEST_F(HeaderCase, OverrideWritesTheBoxesAsTypedUpToTheCount) {
  openHeader(header(1, 2, 409, "S", "F", defaultTail(58)));
  s.form.overrideSettings = true;
  s.form.routable = true;   // no effect with override
  s.form.printing = false;  // no effect with override
  s.form.extraBytes[5].text = "ab";
  s.form.countBoxText = "45";  // tail bytes 0 to 44
  s.prompter.expectMessage("Using own settings");
  ASSERT_FALSE(rebuild());
  Bytes tail = defaultTail(45);
  tail[5] = 0xAB;
  EXPECT_EQ(s.file.blocks[0], header(1, 2, 409, "S", "F", tail));
}

TEST_F(HeaderCase, LongTailKeepsItsBytesPastBox99) {
  Bytes tail = defaultTail(130);
  for (int k = 100; k < 130; ++k) tail[static_cast<std::size_t>(k)] = static_cast<std::uint8_t>(k);
  const Bytes original = header(1, 2, 411, "S", "F", tail);
  openHeader(original);
  ASSERT_FALSE(rebuild());
  EXPECT_EQ(s.file.blocks[0], original);
}

TEST_F(HeaderCase, HeaderWithoutTailIsWrittenWithoutOne) {
  openHeader(header(1, 2, 300, "S", "F", {}));
  s.prompter.expectMessage("Found unknown header:&12C Please report.");
  ASSERT_FALSE(rebuild());
  EXPECT_EQ(s.file.blocks[0], header(1, 2, 300, "S", "F", {}));
}

TEST_F(HeaderCase, VersionChangeWritesTheNewVersionAndTailLength) {
  // What the version rule leaves behind after 4.09 -> 4.08: version 408, a 49-byte tail.
  openHeader(header(1, 2, 409, "S", "F", defaultTail(58)));
  s.file.tdbVersion = 408;
  s.file.headerTailLength = 49;
  ASSERT_FALSE(rebuild());
  EXPECT_EQ(s.file.blocks[0], header(1, 2, 408, "S", "F", defaultTail(49)));
}

TEST_F(HeaderCase, BoxesThatCannotBeWrittenRefuseAndChangeNothing) {
  struct Bad {
    void (*edit)(ProductForm&);
    const char* message;
  };
  const Bad cases[] = {
      {[](ProductForm& f) { f.pidText = "65536"; },
       "The PID box must hold a number from 0 to 65535. Nothing was saved."},
      {[](ProductForm& f) { f.pidText = "12:3"; },
       "The PID box must hold a number from 0 to 65535. Nothing was saved."},
      {[](ProductForm& f) { f.fidText = "-1"; }, "The FID box must hold a number from 0 to 65535. Nothing was saved."},
      {[](ProductForm& f) { f.seriesNameText = "Caf\xC3\xA9 \xD0\x96"; },
       "The Mapsource Name holds \"\xD0\x96\", which code page 1252 cannot write. Nothing was saved."},
      {[](ProductForm& f) { f.extraBytes[12].text = "1FF"; },
       "Extra byte box 12 must hold a hexadecimal number from 0 to FF. Nothing was saved."},
      {[](ProductForm& f) { f.extraBytes[3].text = "G"; },
       "Extra byte box 3 must hold a hexadecimal number from 0 to FF. Nothing was saved."},
      {[](ProductForm& f) {
         f.mapWindow = true;
         f.mapWindowWidthText = "wide";
       },
       "The first map-window size list must hold a percentage. Nothing was saved."},
      // 6 id and version bytes, "Series" + 0, 2 version bytes, 70000 + 1, 58 tail bytes.
      {[](ProductForm& f) { f.familyNameText = std::string(70000, 'x'); },
       "The header block would be 70074 bytes long; a block holds at most 65535. Nothing was saved."},
  };
  for (const Bad& bad : cases) {
    Session fresh;
    fresh.open(writeTemp(productWith(header(7, 4660, 409, "Series", "Family", defaultTail(58)))));
    const Bytes before = fresh.file.blocks[0];
    const ProductForm formBefore = fresh.form;
    bad.edit(fresh.form);
    fresh.file.mapWindowEdited = true;
    fresh.form.extraBytes[20].text = "";  // would become "0" if the rebuild went through
    Refusal r = updateblock0(fresh.file, fresh.form, fresh.prompter);
    ASSERT_TRUE(r) << bad.message;
    EXPECT_EQ(*r, bad.message);
    EXPECT_EQ(fresh.file.blocks[0], before);
    EXPECT_EQ(fresh.form.extraBytes[20].text, "");
  }
}
