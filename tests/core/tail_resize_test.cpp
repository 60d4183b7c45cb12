// Version changes resize the header tail: which boxes keep their bytes,
// which get defaults, and the code page boxes.
#include <gtest/gtest.h>

#include "core/editor/header_rules.hpp"
#include "core/product/loader.hpp"
#include "core/product/tail_resize.hpp"
#include "support/product_builder.hpp"
#include "support/scripted_prompter.hpp"

namespace velmor {
namespace {

using test::block;
using test::defaultTail;
using test::headerBody;

struct Model {
  ProductFile file;
  ProductForm form;
  const std::string& box(int k) const { return form.extraBytes[static_cast<std::size_t>(k)].text; }
  bool white(int k) const { return form.extraBytes[static_cast<std::size_t>(k)].enabled; }
};

Model load(const Bytes& bytes) {
  Model m;
  test::ScriptedPrompter quiet;
  EXPECT_EQ(openProduct(m.file, m.form, test::writeTemp(bytes), quiet), LoadStatus::Read);
  return m;
}

Model headerOnly(std::uint16_t version, const Bytes& tail) {
  return load(block(0x50, headerBody(1, 2, version, "S", "F", tail)));
}

void pick(Model& m, const std::string& version) {
  test::ScriptedPrompter quiet;
  EXPECT_EQ(changeVersion(m.file, m.form, version, quiet).outcome, RuleOutcome::Accepted) << version;
}

int whiteCount(const Model& m) {
  int n = 0;
  for (int k = 1; k <= 99; ++k) n += m.white(k) ? 1 : 0;
  return n;
}

TEST(TailResize, VersionTable) {
  EXPECT_EQ(tailLengthForVersion(300), 0);
  EXPECT_EQ(tailLengthForVersion(403), 30);
  EXPECT_EQ(tailLengthForVersion(407), 41);
  EXPECT_EQ(tailLengthForVersion(408), 49);
  EXPECT_EQ(tailLengthForVersion(409), 58);
  EXPECT_EQ(tailLengthForVersion(411), 61);
  EXPECT_FALSE(tailLengthForVersion(410));
  EXPECT_FALSE(tailLengthForVersion(0));
}

TEST(TailResize, ShorteningTo403ClearsFromBox30) {
  Bytes tail = defaultTail(58);
  tail[1] = 0;  // box 1 holding 0 gets its default
  tail[20] = 5;
  tail[45] = 0xAB;
  Model m = headerOnly(409, tail);
  ASSERT_EQ(m.box(45), "AB");
  pick(m, "4.03");
  EXPECT_EQ(m.file.headerTailLength, 30);
  EXPECT_EQ(m.form.tailBoxCount, 30);
  EXPECT_EQ(m.form.countBoxText, "30");
  EXPECT_EQ(m.file.tdbVersion, 403);
  EXPECT_EQ(m.box(1), "12");
  EXPECT_EQ(m.box(2), "1");
  EXPECT_EQ(m.box(10), "18");
  EXPECT_EQ(m.box(20), "5");
  EXPECT_EQ(m.box(29), "0");
  for (int k : {30, 31, 45, 57, 58, 99}) EXPECT_EQ(m.box(k), "0") << k;
  // 34 and 35 are cleared, then take their defaults again.
  EXPECT_EQ(m.box(34), "10");
  EXPECT_EQ(m.box(35), "27");
  EXPECT_TRUE(m.white(29));
  EXPECT_FALSE(m.white(30));
  EXPECT_EQ(whiteCount(m), 29);
  EXPECT_TRUE(m.file.modified);
}

TEST(TailResize, From300To409) {
  Model m = headerOnly(300, {});
  ASSERT_EQ(m.file.headerTailLength, 0);
  ASSERT_EQ(m.form.codePageText, "");
  m.file.checksumText.clear();
  pick(m, "4.09");
  EXPECT_EQ(m.file.headerTailLength, 58);
  EXPECT_EQ(m.file.preservedTailByte, 0);
  EXPECT_EQ(m.form.codePageText, "1252");
  EXPECT_EQ(m.box(1), "12");
  EXPECT_EQ(m.box(2), "1");
  EXPECT_EQ(m.box(3), "1");
  EXPECT_EQ(m.box(4), "1");
  EXPECT_EQ(m.box(5), "0");
  EXPECT_EQ(m.box(10), "18");
  EXPECT_EQ(m.box(30), "E4");
  EXPECT_EQ(m.box(31), "04");
  EXPECT_EQ(m.box(34), "10");
  EXPECT_EQ(m.box(35), "27");
  EXPECT_EQ(m.box(57), "0");
  EXPECT_EQ(m.box(99), "0");
  EXPECT_TRUE(m.white(1));
  EXPECT_TRUE(m.white(57));
  EXPECT_FALSE(m.white(58));
  EXPECT_EQ(whiteCount(m), 57);
  EXPECT_TRUE(m.form.overrideSettingsEnabled);
  EXPECT_EQ(m.file.checksumText, "FFFFFF");
}

TEST(TailResize, From408To409KeepsTheLoadedBytes) {
  Bytes tail = defaultTail(49);
  tail[34] = 0x11;  // forced back to "10" by a tail longer than 30
  tail[40] = 1;
  tail[48] = 0x7F;
  Model m = headerOnly(408, tail);
  std::string checksumBefore = m.file.checksumText;
  pick(m, "4.09");
  EXPECT_EQ(m.box(1), "12");
  EXPECT_EQ(m.box(40), "1");
  EXPECT_EQ(m.box(48), "7F");
  EXPECT_EQ(m.box(30), "E4");
  EXPECT_EQ(m.box(31), "04");
  EXPECT_EQ(m.box(34), "10");
  for (int k = 49; k <= 99; ++k) EXPECT_EQ(m.box(k), "0") << k;
  EXPECT_EQ(whiteCount(m), 57);
}

TEST(TailResize, CodePageBelow1250Becomes1252) {
  Bytes tail = defaultTail(58);
  tail[30] = 0x6A;  // 874
  tail[31] = 0x03;
  Model m = headerOnly(409, tail);
  ASSERT_EQ(m.form.codePageText, "874");
  pick(m, "4.11");
  EXPECT_EQ(m.form.codePageText, "1252");
  EXPECT_EQ(m.box(30), "E4");
  EXPECT_EQ(m.box(31), "04");

  tail[30] = 0xE2;  // 1250 stays
  tail[31] = 0x04;
  Model m2 = headerOnly(409, tail);
  pick(m2, "4.08");
  EXPECT_EQ(m2.form.codePageText, "1250");
  EXPECT_EQ(m2.box(30), "E2");
  EXPECT_EQ(m2.box(31), "04");

  // A 30-byte tail has no code page: the list is left alone.
  Model m3 = headerOnly(409, tail);
  m3.form.codePageText = "874";
  pick(m3, "4.03");
  EXPECT_EQ(m3.form.codePageText, "874");
}

TEST(TailResize, EveryStepUpAndDown) {
  Bytes tail = defaultTail(0);
  Model m = headerOnly(300, tail);
  struct Step {
    const char* version;
    int length;
  };
  const Step steps[] = {{"4.03", 30}, {"4.07", 41}, {"4.08", 49}, {"4.09", 58}, {"4.11", 61},
                        {"4.09", 58}, {"4.08", 49}, {"4.07", 41}, {"4.03", 30}, {"3.00", 0}};
  bool first = true;
  for (const Step& s : steps) {
    pick(m, s.version);
    if (first) m.form.extraBytes[20].text = "5A";  // typed into the 30-byte tail, kept all the way
    first = false;
    EXPECT_EQ(m.file.headerTailLength, s.length) << s.version;
    EXPECT_EQ(m.form.tailBoxCount, s.length) << s.version;
    EXPECT_EQ(m.form.countBoxText, std::to_string(s.length)) << s.version;
    EXPECT_EQ(whiteCount(m), s.length == 0 ? 0 : s.length - 1) << s.version;
    EXPECT_EQ(m.form.overrideSettingsEnabled, s.length > 0) << s.version;
    if (s.length > 20) {
      EXPECT_EQ(m.box(20), "5A") << s.version;
    }
    if (s.length > 31) {
      EXPECT_EQ(m.box(30), "E4") << s.version;
      EXPECT_EQ(m.box(31), "04") << s.version;
    }
  }
  // Down to 3.00: everything cleared, only the defaults remain (grey).
  EXPECT_EQ(m.box(20), "0");
  EXPECT_EQ(m.box(1), "12");
  EXPECT_EQ(m.box(30), "0");
  EXPECT_EQ(m.file.tdbVersion, 300);
}

TEST(TailResize, ThreeHundredClearsOverrideSettings) {
  Model m = headerOnly(409, defaultTail(58));
  m.form.overrideSettings = true;
  pick(m, "3.00");
  EXPECT_FALSE(m.form.overrideSettings);
  EXPECT_FALSE(m.form.overrideSettingsEnabled);
}

TEST(CodePageBoxes, HexDigitsOfTheListNumber) {
  ProductForm form;
  form.codePageText = "1252";
  codepage(form);
  EXPECT_EQ(form.extraBytes[30].text, "E4");
  EXPECT_EQ(form.extraBytes[31].text, "04");
  form.codePageText = "65001";
  codepage(form);
  EXPECT_EQ(form.extraBytes[30].text, "E9");
  EXPECT_EQ(form.extraBytes[31].text, "FD");
  form.codePageText = "12";  // half typed
  codepage(form);
  EXPECT_EQ(form.extraBytes[30].text, "0C");
  EXPECT_EQ(form.extraBytes[31].text, "00");
  form.codePageText = "cp";
  codepage(form);
  EXPECT_EQ(form.extraBytes[30].text, "0C");
  form.codePageText = "70000";
  codepage(form);
  EXPECT_EQ(form.extraBytes[31].text, "00");
}

}  // namespace
}  // namespace velmor
