// Key filters, the FID Enter key, the edit flags and leaving a modified file.
#include <gtest/gtest.h>

#include "core/editor/field_rules.hpp"
#include "core/editor/leave_rules.hpp"
#include "core/product/code_page.hpp"
#include "core/product/loader.hpp"
#include "core/product/save.hpp"
#include "core/common/log_sink.hpp"
#include "support/product_builder.hpp"
#include "support/scripted_prompter.hpp"

namespace velmor {
namespace {

TEST(KeyFilters, PidAndFid) {
  for (char32_t k : {U'0', U'9', U':', kBackspace, kEnter, kLineFeed}) EXPECT_TRUE(pidFidKeyPasses(k)) << int(k);
  for (char32_t k : {U'-', U'a', U'.', U' ', U'/', U';', kDelete}) EXPECT_FALSE(pidFidKeyPasses(k)) << int(k);
}

TEST(KeyFilters, Names) {
  const CodePage& western = CodePage::get(1252);
  for (char32_t k : {U'A', U'z', U'0', U':', U' ', U'@', U'#', U'<', U'>', U'%', U'$', U'£',       U'^',   U'&',
                     U'*', U'(', U')', U'+', U'_', U'!', U'?', U'[', U'~', U'é', U'þ', kBackspace, kEnter, kDelete})
    EXPECT_TRUE(nameKeyPasses(k, western)) << int(k);
  for (char32_t k : {U'-', U'.', U',', U'/', U';', U'=', U'"', U'\'', U'ÿ', kLineFeed, U'\t', U'Ω'})
    EXPECT_FALSE(nameKeyPasses(k, western)) << int(k);
  // Omega is byte 0xD9 in the Greek page.
  EXPECT_TRUE(nameKeyPasses(U'Ω', CodePage::get(1253)));
  // "£" passes even in a page that has no such character.
  EXPECT_TRUE(nameKeyPasses(U'£', CodePage::get(1251)) || !CodePage::get(1251).byteFor(U'£'));
}

TEST(KeyFilters, Bounds) {
  for (char32_t k : {U'.', U'0', U'5', U'9', U'-', U'+', kBackspace, kDelete}) EXPECT_TRUE(boundKeyPasses(k)) << int(k);
  for (char32_t k : {U',', U'e', U'E', U' ', kEnter, U'a'}) EXPECT_FALSE(boundKeyPasses(k)) << int(k);
}

TEST(KeyFilters, WholeTexts) {
  auto name = [](char32_t k) { return nameKeyPasses(k, CodePage::get(1252)); };
  EXPECT_FALSE(firstRefusedCharacter("Alpen Topo 2024", name));
  EXPECT_EQ(firstRefusedCharacter("Alpen-Topo", name), U'-');
  EXPECT_EQ(firstRefusedCharacter("Größe v1.2", name), U'.');
}

struct Loaded : ::testing::Test {
  ProductFile file;
  ProductForm form;
  void SetUp() override {
    test::ScriptedPrompter quiet;
    ASSERT_EQ(openProduct(file, form, test::writeTemp(test::sampleProduct()), quiet), LoadStatus::Read);
  }
};

TEST_F(Loaded, EveryPidKeyMarksTheModel) {
  EXPECT_FALSE(pidFidKey(file, U'-'));
  EXPECT_TRUE(file.modified);
  EXPECT_FALSE(file.overviewEdited);
}

TEST_F(Loaded, FidEnterWritesTheFamilyId) {
  form.fidText = "513";
  test::ScriptedPrompter quiet;
  EXPECT_TRUE(fidEnter(file, form, quiet));
  EXPECT_EQ(file.data[5], 0x01);
  EXPECT_EQ(file.data[6], 0x02);
  form.fidText = "70000";
  EXPECT_FALSE(fidEnter(file, form, quiet));
  EXPECT_EQ(file.data[5], 0x01);
  form.fidText = "65535";
  EXPECT_TRUE(fidEnter(file, form, quiet));
  EXPECT_EQ(file.data[5], 0xFF);
  EXPECT_EQ(file.data[6], 0xFF);
}

TEST(FidEnter, NoFileLoaded) {
  ProductFile file;
  ProductForm form;
  form.fidText = "12";
  test::ScriptedPrompter p;
  p.expectMessage("No data");
  EXPECT_FALSE(fidEnter(file, form, p));
  EXPECT_TRUE(file.data.empty());
}

TEST_F(Loaded, EditFlags) {
  EXPECT_FALSE(nameKey(file, form, U'.'));
  EXPECT_FALSE(file.overviewEdited);
  EXPECT_FALSE(file.modified);
  EXPECT_TRUE(nameKey(file, form, U'x'));
  EXPECT_TRUE(file.overviewEdited);
  EXPECT_TRUE(file.modified);

  ProductFile other;
  boundKeyReleased(other);
  EXPECT_TRUE(other.overviewEdited && other.modified);
  ProductFile c;
  copyrightEdited(c);
  EXPECT_TRUE(c.copyrightEdited && c.modified);
  EXPECT_FALSE(c.overviewEdited);
  ProductFile t;
  tileCopyrightKey(t);
  EXPECT_TRUE(t.modified);
  EXPECT_FALSE(t.copyrightEdited || t.overviewEdited);
}

TEST(ExtraByteFocus, NextBoxAndTheWrap) {
  EXPECT_EQ(extraByteFocus(5, true, 0), 6);
  EXPECT_EQ(extraByteFocus(5, false, 2), std::nullopt);
  EXPECT_EQ(extraByteFocus(5, false, 3), 6);
  EXPECT_EQ(extraByteFocus(88, true, 0), 89);
  EXPECT_EQ(extraByteFocus(89, true, 0), 1);
  EXPECT_EQ(extraByteFocus(90, true, 0), 91);
  EXPECT_EQ(extraByteFocus(99, true, 0), 1);
}

TEST(LeaveRules, SaveChangesQuestion) {
  ProductFile file;
  file.path = "/m/a.tdb";
  std::vector<std::string> saved;
  auto save = [&](const std::string& p) {
    saved.push_back(p);
    return true;
  };
  test::ScriptedPrompter none;
  EXPECT_EQ(askSaveChanges(file, none, save), Answer::Ok);
  file.modified = true;
  for (Answer a : {Answer::No, Answer::Cancel}) {
    test::ScriptedPrompter p;
    p.expectQuestion("Save changes?", a);
    EXPECT_EQ(askSaveChanges(file, p, save), a);
  }
  EXPECT_TRUE(saved.empty());
  EXPECT_TRUE(file.modified);
  test::ScriptedPrompter yes;
  yes.expectQuestion("Save changes?", Answer::Yes);
  askSaveChanges(file, yes, save);
  EXPECT_EQ(saved, std::vector<std::string>{"/m/a.tdb"});
}

TEST(LeaveRules, Close) {
  ProductFile file;
  file.path = "/m/a.tdb";
  int saves = 0;
  bool saveWorks = true;
  auto save = [&](const std::string&) {
    ++saves;
    return saveWorks;
  };
  test::ScriptedPrompter none;
  EXPECT_TRUE(closeRule(file, none, save));
  file.modified = true;
  {
    test::ScriptedPrompter p;
    p.expectQuestion("Save changes?", Answer::Cancel);
    EXPECT_FALSE(closeRule(file, p, save));
    EXPECT_TRUE(file.modified);
  }
  {
    test::ScriptedPrompter p;
    p.expectQuestion("Save changes?", Answer::No);
    EXPECT_TRUE(closeRule(file, p, save));
  }
  EXPECT_EQ(saves, 0);
  {
    test::ScriptedPrompter p;
    p.expectQuestion("Save changes?", Answer::Yes);
    EXPECT_TRUE(closeRule(file, p, save));
  }
  // A save that wrote nothing keeps the window and its edits.
  saveWorks = false;
  {
    test::ScriptedPrompter p;
    p.expectQuestion("Save changes?", Answer::Yes);
    EXPECT_FALSE(closeRule(file, p, save));
  }
  EXPECT_EQ(saves, 2);
}

}  // namespace
}  // namespace velmor

namespace velmor {
namespace {

// Closing with Yes runs the real save: a save the pipeline refuses (a
// product without detail maps) keeps the window open and the file as it was.
TEST(LeaveRules, CloseThroughTheSavePipeline) {
  Bytes bytes = test::cat(
      {test::block(0x50, test::headerBody(1, 2, 409, "S", "F", test::defaultTail(58))), test::checksumBlock(0)});
  std::string path = test::writeTemp(bytes);
  ProductFile file;
  ProductForm form;
  test::ScriptedPrompter quiet;
  ASSERT_EQ(openProduct(file, form, path, quiet), LoadStatus::Read);
  file.modified = true;
  test::ScriptedPrompter p;
  p.expectQuestion("Save changes?", Answer::Yes).expectMessage("No data.");
  SilentLog log;
  SaveContext context{file, form, p, quietActivity(), log, test::tempDir()};
  EXPECT_FALSE(closeRule(file, p, pipelineSave(context)));
  EXPECT_EQ(test::readFile(path), bytes);
  EXPECT_TRUE(file.modified);
}

}  // namespace
}  // namespace velmor
