#include <gtest/gtest.h>

#include "core/editor/tile_search.hpp"
#include "core/platform/unicode_text.hpp"
#include "support/tile_product.hpp"

using namespace velmor;
using namespace velmor::test;

TEST(TileSearch, CyclesThroughTwoMatchesAndBack) {
  OpenedTiles o;
  openTiles(o, namedTiles({"Lake north", "Forest", "Lake south"}));
  ScriptedPrompter prompter;
  EXPECT_EQ(search(o.file, o.form, "LAKE", prompter), 0);
  EXPECT_EQ(o.form.selectedMap, 0);
  EXPECT_EQ(o.form.tileState.listIndex, 0);
  EXPECT_EQ(search(o.file, o.form, "lake", prompter), 2);
  EXPECT_EQ(o.form.selectedMap, 2);
  EXPECT_EQ(o.form.tileState.highlightLabel, 3);
  EXPECT_EQ(search(o.file, o.form, "lake", prompter), 0);
}

TEST(TileSearch, AfterWrappingNoMatchIsSkipped) {
  OpenedTiles o;
  openTiles(o, namedTiles({"road a", "road b", "road c"}));
  ScriptedPrompter prompter;
  std::vector<int> found;
  for (int i = 0; i < 7; ++i) found.push_back(search(o.file, o.form, "road", prompter));
  EXPECT_EQ(found, (std::vector<int>{0, 1, 2, 0, 1, 2, 0}));
}

TEST(TileSearch, FindsTilesByTheirImgName) {
  OpenedTiles o;
  // IMG names 20001, 20002, 20003; only the names hold "2000".
  openTiles(o, namedTiles({"Alpha", "Beta", "Gamma"}));
  ScriptedPrompter prompter;
  EXPECT_EQ(search(o.file, o.form, "20002", prompter), 1);
  EXPECT_EQ(o.form.selectedMap, 1);
  EXPECT_EQ(o.form.tileState.highlightLabel, 2);
  EXPECT_EQ(search(o.file, o.form, "2000", prompter), 2);
  EXPECT_EQ(search(o.file, o.form, "2000", prompter), 0);
  EXPECT_EQ(search(o.file, o.form, "2000", prompter), 1);
}

TEST(TileSearch, IgnoresCaseBeyondAscii) {
  OpenedTiles o;
  // Code page 1252: 0xC4 is "Ä", 0xE4 "ä".
  openTiles(o, namedTiles({"Wald",
                           "\xC4rger Stra\xDF"
                           "e"}));
  ScriptedPrompter prompter;
  EXPECT_EQ(search(o.file, o.form, "\xC3\xA4rger", prompter), 1);  // "ärger"
  EXPECT_EQ(lowerUtf8("\xC3\x84RGER"), "\xC3\xA4rger");
}

TEST(TileSearch, NoMatchLeavesTheSelectionAlone) {
  OpenedTiles o;
  openTiles(o, namedTiles({"Alpha", "Beta"}));
  ScriptedPrompter prompter;
  search(o.file, o.form, "beta", prompter);
  EXPECT_EQ(search(o.file, o.form, "zeta", prompter), -1);
  EXPECT_EQ(o.form.selectedMap, 1);
}

TEST(TileSearch, EmptyListSaysNoData) {
  OpenedTiles o;
  openTiles(o, {});
  ScriptedPrompter prompter;
  prompter.expectMessage("No Data.");
  EXPECT_EQ(search(o.file, o.form, "x", prompter), -1);
}

TEST(TileSearch, TypingRestartsFromTheFirstTileAndEnterSearches) {
  OpenedTiles o;
  openTiles(o, namedTiles({"Lake 1", "Lake 2", "Lake 3"}));
  ScriptedPrompter prompter;
  EXPECT_EQ(searchBoxKey(o.file, o.form, true, "lake", prompter), 0);
  EXPECT_EQ(searchBoxKey(o.file, o.form, true, "lake", prompter), 1);
  EXPECT_EQ(searchBoxKey(o.file, o.form, false, "lake", prompter), -1);
  EXPECT_EQ(o.form.tileState.searchStart, 0);
  EXPECT_EQ(o.form.selectedMap, 1);  // a key alone does not move the selection
  EXPECT_EQ(searchBoxKey(o.file, o.form, true, "lake", prompter), 0);
}
