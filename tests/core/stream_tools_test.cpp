#include <gtest/gtest.h>

#include "core/editor/stream_tools.hpp"
#include "support/tile_product.hpp"

using namespace velmor;
using namespace velmor::test;

namespace {

void setBoxes(ProductForm& form, int count, const std::vector<std::string>& texts) {
  form.tailBoxCount = count;
  for (std::size_t k = 0; k < texts.size(); ++k) form.extraBytes[k + 1].text = texts[k];
}

}  // namespace

TEST(StreamTools, CopyWritesTheCountAndTheBoxesInUse) {
  ProductForm form;
  setBoxes(form, 4, {"A", "1B", "0", "FF"});
  copyStream(form);
  EXPECT_EQ(form.streamBuffer, "3,A,1B,0,");
  setBoxes(form, 0, {});
  copyStream(form);
  EXPECT_EQ(form.streamBuffer, "-1,");
}

TEST(StreamTools, PasteFillsTheBoxesAndGreysTheRest) {
  ProductForm source;
  setBoxes(source, 4, {"A", "1B", "0"});
  copyStream(source);

  ProductFile file;
  ProductForm form;
  form.streamBuffer = source.streamBuffer;
  setBoxes(form, 6, {"1", "2", "3", "4", "5", "6"});
  EXPECT_TRUE(pasteStream(file, form));
  EXPECT_EQ(form.tailBoxCount, 4);
  EXPECT_EQ(form.countBoxText, "4");
  EXPECT_EQ(form.extraBytes[1].text, "A");
  EXPECT_EQ(form.extraBytes[2].text, "1B");
  EXPECT_EQ(form.extraBytes[3].text, "0");
  EXPECT_TRUE(form.extraBytes[3].enabled);
  EXPECT_EQ(form.extraBytes[4].text, "4");  // outside the tail: keeps its text, grey
  EXPECT_FALSE(form.extraBytes[4].enabled);
  EXPECT_FALSE(form.extraBytes[99].enabled);
  // Without the mark a save of an unmodified file would write the old bytes.
  EXPECT_TRUE(file.modified);
}

TEST(StreamTools, PasteWithAnEmptyOrForeignBufferDoesNothing) {
  for (const std::string buffer : {"", "x,", "5,A,B,", "100,", "-2,"}) {
    ProductFile file;
    ProductForm form;
    form.streamBuffer = buffer;
    setBoxes(form, 3, {"7", "8"});
    EXPECT_FALSE(pasteStream(file, form)) << buffer;
    EXPECT_EQ(form.tailBoxCount, 3);
    EXPECT_EQ(form.countBoxText, "61");
    EXPECT_EQ(form.extraBytes[1].text, "7");
    EXPECT_TRUE(form.extraBytes[5].enabled);
    EXPECT_FALSE(file.modified);
  }
}

TEST(StreamTools, TheBufferOutlivesALoad) {
  OpenedTiles o;
  o.form.streamBuffer = "1,C,";
  ScriptedPrompter prompter;
  openProduct(o.file, o.form, writeTemp(tileProduct({TileSpec{}})), prompter);
  EXPECT_EQ(o.form.streamBuffer, "1,C,");
}

TEST(Recalculate, OverviewBoxesFromTheOverallBounds) {
  // Tiles 0x1E000000/0x00800000/0x1C000000/0 and 0x23A3D70A north (50.118749 after the tile rounding),
  // east 0x01000000 (1.40625), south 0xF8A432EB (-10.348029 after the tile rounding), west 0xFF800000 (-0.703125).
  OpenedTiles o;
  TileSpec a;
  TileSpec b;
  b.n = 0x23A3D70A;
  b.e = 0x01000000;
  b.s = static_cast<std::int32_t>(0xF8A432EB);
  b.w = static_cast<std::int32_t>(0xFF800000);
  openTiles(o, {a, b});
  EXPECT_TRUE(recalculate(o.file, o.form));
  // 50.1187499... is rounded at its sixth decimal to 50.118749, so the overall
  // bound is 50118.749 and truncates to 50.11874.
  EXPECT_EQ(o.form.overviewNorth, "50.11874");
  EXPECT_EQ(o.form.overviewEast, "1.40625");
  EXPECT_EQ(o.form.overviewSouth, "-10.34802");  // -10348.029 x 100 truncated
  EXPECT_EQ(o.form.overviewWest, "-0.70312");
  EXPECT_TRUE(o.file.overviewEdited);
  EXPECT_TRUE(o.file.modified);
}

TEST(Recalculate, TruncatesToFiveDecimalsAndNeedsTiles) {
  EXPECT_DOUBLE_EQ(recalculatedDegrees(12345.6789), 12.34567);
  EXPECT_DOUBLE_EQ(recalculatedDegrees(-12345.6789), -12.34567);
  OpenedTiles o;
  openTiles(o, {});
  o.form.overviewNorth = "1";
  EXPECT_FALSE(recalculate(o.file, o.form));
  EXPECT_EQ(o.form.overviewNorth, "1");
  EXPECT_FALSE(o.file.overviewEdited);
}
