#include <gtest/gtest.h>

#include "core/editor/tile_selection.hpp"
#include "core/product/tile_texts.hpp"
#include "support/tile_product.hpp"

using namespace velmor;
using namespace velmor::test;

namespace {

// Two tiles of the same size on the same spot: every click there hits both.
std::vector<TileSpec> overlapping() {
  TileSpec a;
  TileSpec b;
  b.number = 10002;
  b.description = "Second tile";
  return {a, b};
}

int clickAtOverlap(const ProductFile& file, ProductForm& form) {
  const int under[] = {1, 2};
  const int label = topLabel(form, under);
  labelLeftClick(file, form, label);
  return label;
}

}  // namespace

TEST(TileClicks, SameLabelTwiceKeepsSelectionAndStacking) {
  OpenedTiles o;
  openTiles(o, overlapping());
  labelLeftClick(o.file, o.form, 2);
  EXPECT_EQ(o.form.selectedMap, 1);
  EXPECT_EQ(o.form.tileState.listIndex, 1);
  EXPECT_EQ(o.form.tileState.highlightLabel, 2);
  EXPECT_TRUE(o.form.tileState.highlightShown);
  const std::int64_t depth = labelDepth(o.form, 2);
  EXPECT_LT(depth, labelDepth(o.form, 1));  // sent behind label 1

  labelLeftClick(o.file, o.form, 2);
  EXPECT_EQ(o.form.selectedMap, 1);
  EXPECT_EQ(o.form.tileState.listIndex, 1);
  EXPECT_EQ(labelDepth(o.form, 2), depth);
  EXPECT_FALSE(o.file.modified);
}

TEST(TileClicks, OverlappingTilesAreReachedByAlternateClicks) {
  OpenedTiles o;
  openTiles(o, overlapping());
  // The label made last lies on top at first.
  EXPECT_EQ(clickAtOverlap(o.file, o.form), 2);
  EXPECT_EQ(o.form.selectedMap, 1);
  EXPECT_EQ(clickAtOverlap(o.file, o.form), 1);
  EXPECT_EQ(o.form.selectedMap, 0);
  EXPECT_EQ(clickAtOverlap(o.file, o.form), 2);
  EXPECT_EQ(clickAtOverlap(o.file, o.form), 1);
  EXPECT_EQ(o.form.tileState.listIndex, 0);
}

TEST(TileClicks, ClickOnLastLabelAfterTheListMovedSelectsItAgain) {
  OpenedTiles o;
  openTiles(o, overlapping());
  labelLeftClick(o.file, o.form, 1);
  listClick(o.file, o.form, 1);
  EXPECT_EQ(o.form.selectedMap, 1);
  labelLeftClick(o.file, o.form, 1);
  EXPECT_EQ(o.form.selectedMap, 0);
  EXPECT_EQ(o.form.tileState.listIndex, 0);
}

TEST(TileClicks, PanelTextsOfLabelAndListClicks) {
  OpenedTiles o;
  openTiles(o, overlapping());
  const std::string info = tileTexts(o.file, o.form, 0).infoText;
  ASSERT_EQ(info.rfind("Overview Map Number:123456\r\n\r\n&", 0), 0u);

  // North 0x1E000000 is 42.1875 degrees, east 0x00800000 0.703125 (five
  // decimals, truncated), south 0x1C000000 39.375, west 0.
  labelLeftClick(o.file, o.form, 1);
  EXPECT_EQ(o.form.tileState.panelText,
            "Description:First tile\r\nIMG:10001\r\nLat:42.1875 Long:0.70312\r\nLat:39.375 Long:0\r\n\r\n" + info);
  listClick(o.file, o.form, 0);
  EXPECT_EQ(o.form.tileState.panelText, "First tile:\r\n42.1875,0.70312\r\n39.375,0\r\n\r\n" + info);
  EXPECT_EQ(o.form.tileState.highlightLabel, 1);
}

TEST(TileClicks, DescriptionWithHashKeepsItsWholeTextInThePanel) {
  OpenedTiles o;
  TileSpec t;
  t.description = "Roads #2";
  openTiles(o, {t});
  listClick(o.file, o.form, 0);
  EXPECT_EQ(o.form.tileState.panelText.rfind("Roads #2:\r\n", 0), 0u);
}

TEST(TileClicks, DoubleClickNeedsASelectedEntry) {
  OpenedTiles o;
  openTiles(o, overlapping());
  {
    ScriptedPrompter prompter;
    prompter.expectMessage("Select an img.");
    EXPECT_FALSE(mayEditDescription(o.form, prompter));
  }
  listClick(o.file, o.form, 1);
  ScriptedPrompter quiet;
  EXPECT_TRUE(mayEditDescription(o.form, quiet));
}

TEST(TileClicks, ClicksOutsideTheListChangeNothing) {
  OpenedTiles o;
  openTiles(o, overlapping());
  listClick(o.file, o.form, -1);
  labelLeftClick(o.file, o.form, 0);
  labelLeftClick(o.file, o.form, 3);
  EXPECT_EQ(o.form.tileState.listIndex, -1);
  EXPECT_EQ(o.form.selectedMap, 0);
  EXPECT_TRUE(o.form.tileState.panelText.empty());
  EXPECT_EQ(topLabel(o.form, {}), 0);
}

TEST(TileClicks, LoadingAnotherFileStartsTheTileStateAfresh) {
  OpenedTiles o;
  openTiles(o, overlapping());
  labelLeftClick(o.file, o.form, 2);
  o.form.tileState.searchStart = 2;
  ScriptedPrompter prompter;
  openProduct(o.file, o.form, writeTemp(tileProduct(overlapping())), prompter);
  EXPECT_EQ(o.form.tileState.listIndex, -1);
  EXPECT_EQ(o.form.tileState.lastClickedLabel, 0);
  EXPECT_EQ(o.form.tileState.searchStart, 0);
  EXPECT_EQ(labelDepth(o.form, 2), 2);
  EXPECT_TRUE(o.form.tileState.panelText.empty());
}

TEST(SplitFields, SeparatorsAndEmptyFields) {
  EXPECT_EQ(splitFields("a#b##c#", "#"), (std::vector<std::string>{"a", "b", "", "c"}));
  EXPECT_EQ(splitFields("one\r\ntwo", "\r\n"), (std::vector<std::string>{"one", "two"}));
  EXPECT_TRUE(splitFields("", ",").empty());
}
