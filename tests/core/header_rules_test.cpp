// The version list and the feature options: what is refused, with which
// words, and what follows.
#include <gtest/gtest.h>

#include "core/editor/header_rules.hpp"
#include "core/common/log_sink.hpp"
#include "core/product/loader.hpp"
#include "support/product_builder.hpp"
#include "support/scripted_prompter.hpp"

namespace velmor {
namespace {

using test::block;
using test::defaultTail;
using test::headerBody;

struct RecordingLog : LogSink {
  std::vector<std::string> lines;
  void savelog(const std::string& m) override { lines.push_back(m); }
};

struct Model {
  ProductFile file;
  ProductForm form;
  RecordingLog log;
};

void load(Model& m, std::uint16_t version, const Bytes& tail) {
  test::ScriptedPrompter quiet;
  ASSERT_EQ(openProduct(m.file, m.form, test::writeTemp(block(0x50, headerBody(1, 2, version, "S", "F", tail))), quiet),
            LoadStatus::Read);
}

TEST(VersionChange, MapWindowRefusesShortTails) {
  Model m;
  load(m, 408, defaultTail(49));
  m.form.mapWindow = true;
  {
    test::ScriptedPrompter p;
    p.expectMessage("Disable Map Frame option first.");
    VersionChange c = changeVersion(m.file, m.form, "4.07", p);
    EXPECT_EQ(c.outcome, RuleOutcome::Refused);
    EXPECT_EQ(c.listText, "4.08");
  }
  EXPECT_EQ(m.form.versionText, "4.08");
  EXPECT_EQ(m.file.tdbVersion, 408);
  EXPECT_EQ(m.file.headerTailLength, 49);
  EXPECT_FALSE(m.file.modified);
  {
    // An unknown version with "Map Window" ticked meets the same refusal.
    test::ScriptedPrompter p;
    p.expectMessage("Disable Map Frame option first.");
    EXPECT_EQ(changeVersion(m.file, m.form, "5.00", p).outcome, RuleOutcome::Refused);
  }
  test::ScriptedPrompter quiet;
  EXPECT_EQ(changeVersion(m.file, m.form, "4.09", quiet).outcome, RuleOutcome::Accepted);
  EXPECT_EQ(m.file.tdbVersion, 409);
  EXPECT_EQ(m.file.headerTailLength, 58);
  EXPECT_TRUE(m.file.modified);
}

TEST(VersionChange, RefusalGoesBackToTheLastAcceptedVersion) {
  Model m;
  load(m, 409, defaultTail(58));
  test::ScriptedPrompter quiet;
  ASSERT_EQ(changeVersion(m.file, m.form, "4.11", quiet).outcome, RuleOutcome::Accepted);
  m.form.mapWindow = true;
  test::ScriptedPrompter p;
  p.expectMessage("Disable Map Frame option first.");
  VersionChange c = changeVersion(m.file, m.form, "4.03", p);
  // Going back to the loaded 4.09 would pair it with the 61-byte tail.
  EXPECT_EQ(c.listText, "4.11");
  EXPECT_EQ(m.form.versionText, "4.11");
  EXPECT_EQ(m.file.tdbVersion, 411);
  EXPECT_EQ(m.file.headerTailLength, 61);
}

TEST(VersionChange, UnknownVersionChangesNothing) {
  Model m;
  load(m, 409, defaultTail(58));
  ProductForm before = m.form;
  for (const char* v : {"4.10", "abc", "", "-1"}) {
    test::ScriptedPrompter p;
    p.expectMessage("Unknown tdb version. Please report this version.");
    VersionChange c = changeVersion(m.file, m.form, v, p);
    EXPECT_EQ(c.outcome, RuleOutcome::Refused) << v;
    EXPECT_EQ(c.listText, "4.09") << v;
  }
  EXPECT_EQ(m.file.tdbVersion, 409);
  EXPECT_EQ(m.file.headerTailLength, 58);
  EXPECT_FALSE(m.file.modified);
  for (int k = 1; k <= 99; ++k)
    EXPECT_EQ(m.form.extraBytes[static_cast<std::size_t>(k)].text, before.extraBytes[static_cast<std::size_t>(k)].text);
  // "," is read as the decimal separator.
  test::ScriptedPrompter quiet;
  EXPECT_EQ(changeVersion(m.file, m.form, "4,08", quiet).outcome, RuleOutcome::Accepted);
  EXPECT_EQ(m.file.tdbVersion, 408);
}

TEST(FeatureOptions, PrintingAndMapWindowNeedALongTail) {
  Model m;
  load(m, 408, defaultTail(48));
  ASSERT_TRUE(m.form.printing);
  m.form.printing = false;
  {
    test::ScriptedPrompter p;
    p.expectMessage("Option only available with TDB version 4.09+.\r\nChange TDB version first.");
    EXPECT_EQ(featureOptionClicked(m.file, m.form, FeatureOption::Printing, false, p, m.log), RuleOutcome::Refused);
  }
  EXPECT_TRUE(m.form.printing);
  m.form.mapWindow = true;
  {
    test::ScriptedPrompter p;
    p.expectMessage("Option only available with TDB version 4.09+.\r\nChange TDB version first.");
    EXPECT_EQ(featureOptionClicked(m.file, m.form, FeatureOption::MapWindow, false, p, m.log), RuleOutcome::Refused);
  }
  EXPECT_FALSE(m.form.mapWindow);
  // Refused or not, the click is logged and marks the model.
  EXPECT_TRUE(m.file.modified);
  EXPECT_EQ(m.log.lines, (std::vector<std::string>{"Changed Print", "Changed Map Window"}));
}

TEST(FeatureOptions, PrintingWithMapWindowWarns) {
  Bytes tail = defaultTail(58);
  tail[50] = 0xA0;  // 1440: 98.97 % rounds to 99, raised to 100
  tail[51] = 0x05;
  tail[49] = 1;  // printing disabled
  Model m;
  load(m, 409, tail);
  ASSERT_TRUE(m.form.mapWindow);
  ASSERT_FALSE(m.form.printing);
  m.form.printing = true;
  {
    test::ScriptedPrompter p;
    p.expectMessage("This could cause a problem in Mapsource.\r\n\r\nTick printing or Map Window option only.");
    EXPECT_EQ(featureOptionClicked(m.file, m.form, FeatureOption::Printing, false, p, m.log), RuleOutcome::Refused);
  }
  EXPECT_FALSE(m.form.printing);
  EXPECT_TRUE(m.form.mapWindow);
  EXPECT_TRUE(m.form.mapWindowListsEnabled);
  EXPECT_EQ(m.form.mapWindowWidthText, "100%");
  EXPECT_EQ(m.form.mapWindowHeightText, "50%");

  // With the warnings suppressed both stay ticked.
  m.form.printing = true;
  test::ScriptedPrompter quiet;
  EXPECT_EQ(featureOptionClicked(m.file, m.form, FeatureOption::Printing, true, quiet, m.log), RuleOutcome::Accepted);
  EXPECT_TRUE(m.form.printing);
  EXPECT_TRUE(m.form.mapWindow);
}

TEST(FeatureOptions, UntickingMapWindowClearsItsBytes) {
  Bytes tail = defaultTail(58);
  tail[50] = 0x10;
  tail[54] = 0x20;
  Model m;
  load(m, 409, tail);
  ASSERT_TRUE(m.form.mapWindow);
  m.form.mapWindow = false;
  test::ScriptedPrompter quiet;
  EXPECT_EQ(featureOptionClicked(m.file, m.form, FeatureOption::MapWindow, false, quiet, m.log), RuleOutcome::Accepted);
  EXPECT_FALSE(m.form.mapWindowListsEnabled);
  for (int k = 50; k <= 57; ++k) EXPECT_EQ(m.form.extraBytes[static_cast<std::size_t>(k)].text, "0") << k;
  EXPECT_EQ(m.log.lines, (std::vector<std::string>{"Changed Map Window"}));
}

TEST(FeatureOptions, TheOtherOptionsNeedTheirTailByte) {
  Model m;
  load(m, 403, defaultTail(30));
  // Tail bytes 38 to 40 lie past a 4.03 tail: a tick would never reach the
  // file, so it is refused at once with the version that has room.
  for (FeatureOption option : {FeatureOption::Routable, FeatureOption::Dem, FeatureOption::Profile}) {
    test::ScriptedPrompter p;
    p.expectMessage("Option only available with TDB version 4.07+.\r\nChange TDB version first.");
    featureState(m.form, option) = true;
    EXPECT_EQ(featureOptionClicked(m.file, m.form, option, false, p, m.log), RuleOutcome::Refused);
    EXPECT_FALSE(featureState(m.form, option));
  }
  EXPECT_TRUE(m.file.modified);
  EXPECT_EQ(m.log.lines, (std::vector<std::string>{"Changed Routing", "Changed DEM", "Changed Profile"}));

  // From 4.07 on they are accepted and reach the saved tail ...
  test::ScriptedPrompter quiet;
  ASSERT_EQ(changeVersion(m.file, m.form, "4.07", quiet).outcome, RuleOutcome::Accepted);
  for (FeatureOption option : {FeatureOption::Routable, FeatureOption::Dem, FeatureOption::Profile}) {
    featureState(m.form, option) = true;
    EXPECT_EQ(featureOptionClicked(m.file, m.form, option, false, quiet, m.log), RuleOutcome::Accepted);
  }
  EXPECT_TRUE(m.form.routable && m.form.dem && m.form.profile);
  // ... and a version whose tail drops their bytes unticks them, as the
  // saved file will read back.
  ASSERT_EQ(changeVersion(m.file, m.form, "4.03", quiet).outcome, RuleOutcome::Accepted);
  EXPECT_FALSE(m.form.routable || m.form.dem || m.form.profile);
  // Unticking is always allowed.
  m.form.routable = false;
  EXPECT_EQ(featureOptionClicked(m.file, m.form, FeatureOption::Routable, false, quiet, m.log), RuleOutcome::Accepted);
}

TEST(SmallEdits, CodePageAndOverrideAndSizeLists) {
  Model m;
  load(m, 409, defaultTail(58));
  codePageChanged(m.file, m.form, "1251", false);  // picked from the list
  EXPECT_EQ(m.form.extraBytes[30].text, "E3");
  EXPECT_EQ(m.form.extraBytes[31].text, "04");
  EXPECT_FALSE(m.file.modified);
  codePageChanged(m.file, m.form, "1250", true);
  EXPECT_EQ(m.form.extraBytes[30].text, "E2");
  EXPECT_TRUE(m.file.modified);

  Model o;
  load(o, 409, defaultTail(58));
  o.form.overrideSettings = true;
  overrideSettingsClicked(o.file, o.form);
  EXPECT_TRUE(o.file.modified);

  Model s;
  load(s, 409, defaultTail(58));
  mapWindowSizeChanged(s.file, s.form, false, "70%");
  EXPECT_EQ(s.form.mapWindowHeightText, "70%");
  EXPECT_TRUE(s.file.modified);
}

}  // namespace
}  // namespace velmor

namespace velmor {
namespace {

TEST(VersionChange, BeforeAnyFileTheListGoesBackToTheStartVersion) {
  ProductFile file;
  ProductForm form;  // start-up: 4.11 shown and remembered
  form.mapWindow = true;
  test::ScriptedPrompter p;
  p.expectMessage("Disable Map Frame option first.");
  VersionChange c = changeVersion(file, form, "4.03", p);
  EXPECT_EQ(c.listText, "4.11");
  EXPECT_EQ(form.versionText, "4.11");
  EXPECT_EQ(file.tdbVersion, 0);
}

}  // namespace
}  // namespace velmor
