#include <gtest/gtest.h>

#include "core/editor/plot_geometry.hpp"
#include "core/editor/plot_navigation.hpp"
#include "core/editor/plot_raster.hpp"
#include "core/editor/tile_selection.hpp"
#include "support/tile_product.hpp"

using namespace velmor;
using namespace velmor::test;

namespace {

// Product from 0 to 1 degree east and 1 to 2 degrees north, in thousandths.
OverallBounds product() {
  OverallBounds b;
  b.leastLongitude = 0;
  b.greatestLongitude = 1000;
  b.leastLatitude = 1000;
  b.greatestLatitude = 2000;
  return b;
}

// The north-west quarter of it, half as wide and half as high.
PlotTile quarter() { return {2000, 500, 1500, 0, true}; }

PlotArea area(int panX = 0, int panY = 0) { return {15000, 9000, 1.0f, panX, panY}; }

void expectBox(const PlotBox& box, double left, double top, double width, double height) {
  EXPECT_TRUE(box.drawn);
  EXPECT_DOUBLE_EQ(box.left, left);
  EXPECT_DOUBLE_EQ(box.top, top);
  EXPECT_DOUBLE_EQ(box.width, width);
  EXPECT_DOUBLE_EQ(box.height, height);
}

}  // namespace

TEST(PlotGeometry, KnownTileAtZoomOne) {
  // cx 7500, cy 4500, w 14700, h 8820: the drawing starts 150 twips from the
  // left and 90 from the top; the tile is half of w wide and half of h high.
  const PlotFrame f = plotFrame(product(), area());
  EXPECT_EQ(f.cx, 7500);
  EXPECT_EQ(f.cy, 4500);
  EXPECT_EQ(f.w, 14700);
  EXPECT_EQ(f.h, 8820);
  const PlotBox box = plotBox(f, quarter(), 0);
  EXPECT_DOUBLE_EQ(box.x2, 150);
  EXPECT_DOUBLE_EQ(box.x1, 7500);
  EXPECT_DOUBLE_EQ(box.y1, 90);
  EXPECT_DOUBLE_EQ(box.y2, 4500);
  expectBox(box, 150, 90, 7350, 4410);
}

TEST(PlotGeometry, WholeProductFillsNinetyEightPercentCentred) {
  const PlotTile whole{2000, 1000, 1000, 0, true};
  expectBox(plotBox(plotFrame(product(), area()), whole, 0), 150, 90, 14700, 8820);
}

TEST(PlotGeometry, PanMovesTheTileAndATopAboveThePictureMakesASquare) {
  // Left arrow then Up: 100 twips right and 100 down.
  expectBox(plotBox(plotFrame(product(), area(100, 100)), quarter(), 0), 250, 190, 7350, 4410);
  // Down: the top would be at -10, so the tile stands as a 7350 square on its bottom at 4400.
  const PlotBox square = plotBox(plotFrame(product(), area(0, -100)), quarter(), 0);
  EXPECT_DOUBLE_EQ(square.y1, 4400 - 7350);
  expectBox(square, 150, 4400 - 7350, 7350, 7350);
}

TEST(PlotGeometry, ZoomScalesAroundTheCentre) {
  PlotArea zoomed = area();
  zoomed.zoom = 2.0f;
  // w 29400, h 17640: the drawing starts at 7500 - 14700 = -7200 and 4500 - 8820.
  // The quarter's top (-4320) lies above the picture: a 14700 square on its bottom at 4500.
  expectBox(plotBox(plotFrame(product(), zoomed), quarter(), 0), -7200, 4500 - 14700, 14700, 14700);
  // A tile in the lower half keeps its shape.
  const PlotTile low{1500, 500, 1000, 0, true};
  expectBox(plotBox(plotFrame(product(), zoomed), low, 0), -7200, 4500, 14700, 8820);
}

TEST(PlotGeometry, ZoomBelowOneDrawsAsOne) {
  PlotArea small = area();
  small.zoom = 0.5f;
  expectBox(plotBox(plotFrame(product(), small), quarter(), 0), 150, 90, 7350, 4410);
}

TEST(PlotGeometry, OneTileWideProductStillDraws) {
  OverallBounds b = product();
  b.greatestLongitude = 0;  // west equals east
  const PlotFrame f = plotFrame(b, area());
  EXPECT_DOUBLE_EQ(f.dx, 1);
  const PlotBox box = plotBox(f, PlotTile{2000, 0, 1000, 0, true}, 0);
  expectBox(box, 150, 90, 0, 8820);
}

TEST(PlotGeometry, OneTileHighProductStillDraws) {
  OverallBounds b = product();
  b.leastLatitude = 2000;  // north equals south
  const PlotFrame f = plotFrame(b, area());
  EXPECT_DOUBLE_EQ(f.dy, 1);
  // Top at 8910 - 0, bottom at 90 + 0: a box as tall as the drawing, no division by zero.
  const PlotBox box = plotBox(f, PlotTile{2000, 1000, 2000, 0, true}, 0);
  EXPECT_DOUBLE_EQ(box.y1, 8910);
  EXPECT_DOUBLE_EQ(box.y2, 90);
  expectBox(box, 150, 90 - 8820, 14700, 8820);
}

TEST(PlotGeometry, TilesSouthOfTheEquatorKeepTheirPlace) {
  OverallBounds b;
  b.leastLongitude = 0;
  b.greatestLongitude = 1000;
  b.greatestLatitude = -10000;
  b.leastLatitude = -20000;
  // The northern half of the product: from the top down to the middle.
  const PlotBox box = plotBox(plotFrame(b, area()), PlotTile{-10000, 1000, -15000, 0, true}, 0);
  expectBox(box, 150, 90, 14700, 4410);
}

TEST(PlotGeometry, TilesFromTheDecodedBoundsRecords) {
  OpenedTiles o;
  TileSpec a;  // 42.1875 / 0.703125 / 39.375 / 0
  openTiles(o, {a});
  const PlotTile t = plotTile(o.form.detailMaps[0]);
  ASSERT_TRUE(t.valid);
  EXPECT_DOUBLE_EQ(t.north, 42187.5);
  EXPECT_DOUBLE_EQ(t.east, 703.12);  // the record shows five decimals, truncated
  EXPECT_DOUBLE_EQ(t.south, 39375);
  EXPECT_DOUBLE_EQ(t.west, 0);
  // The table of recent bounds that plotTiles keeps gives the same numbers.
  const std::vector<PlotTile> all = plotTiles(o.form.detailMaps);
  ASSERT_EQ(all.size(), 1u);
  EXPECT_DOUBLE_EQ(all[0].east, t.east);
  EXPECT_DOUBLE_EQ(all[0].north, t.north);
  const std::vector<PlotTile> tiles = {PlotTile{}};  // not valid: not drawn
  EXPECT_FALSE(plotGeometry(o.file.overallBounds, tiles, area())[0].drawn);
  EXPECT_TRUE(plotGeometry(o.file.overallBounds, std::vector<PlotTile>{}, area()).empty());
}

TEST(PlotGeometry, ColoursCycleThroughFourteenPaletteEntries) {
  EXPECT_EQ(tileColour(0), 0x000000u);
  EXPECT_EQ(tileColour(1), 0x800000u);  // (0, 0, 128) as 0x00BBGGRR
  EXPECT_EQ(tileColour(4), 0x000080u);  // (128, 0, 0)
  EXPECT_EQ(tileColour(7), 0xC0C0C0u);
  EXPECT_EQ(tileColour(9), 0xFF0000u);   // (0, 0, 255)
  EXPECT_EQ(tileColour(12), 0x0000FFu);  // (255, 0, 0)
  EXPECT_EQ(tileColour(13), 0xFF00FFu);
  EXPECT_EQ(tileColour(14), 0x000000u);
  EXPECT_EQ(tileColour(15), 0x800000u);
}

TEST(PlotNavigation, ZoomStepsAndOffsets) {
  OpenedTiles o;
  openTiles(o, {TileSpec{}});
  // W = 200000: each step moves both offsets by |zoom x W - W| / 10000.
  zoomIn(o.form, 200000);
  EXPECT_FLOAT_EQ(o.form.zoom, 1.1f);
  EXPECT_EQ(o.form.panX, -2);
  EXPECT_EQ(o.form.panY, -2);
  zoomIn(o.form, 200000);
  EXPECT_EQ(o.form.panX, -6);
  zoomOut(o.form, 200000);
  EXPECT_EQ(o.form.panX, -4);
  EXPECT_EQ(o.form.panY, -4);
}

TEST(PlotNavigation, FivePlusAndFiveMinusComeBackToOne) {
  OpenedTiles o;
  openTiles(o, {TileSpec{}});
  for (int i = 0; i < 5; ++i) zoomIn(o.form, 15000);
  EXPECT_FLOAT_EQ(o.form.zoom, 1.5f);
  // Steps 0.15, 0.3, 0.45, 0.6, 0.75 twips: the offset rounds to 0, 0, 0, -1, -2.
  EXPECT_EQ(o.form.panX, -2);
  for (int i = 0; i < 5; ++i) zoomOut(o.form, 15000);
  EXPECT_EQ(o.form.zoom, 1.0f);
  // Back by 0.6, 0.45, 0.3, 0.15, 0: -1.4, -0.55, -0.7, -0.85, -1 round to -1.
  EXPECT_EQ(o.form.panX, -1);
}

TEST(PlotNavigation, MinusAtOneLeavesTheDrawingAndStopsAtZero) {
  OpenedTiles o;
  openTiles(o, {TileSpec{}});
  zoomOut(o.form, 15000);
  EXPECT_FLOAT_EQ(o.form.zoom, 0.9f);
  EXPECT_EQ(o.form.panX, 0);
  PlotArea now{15000, 9000, o.form.zoom, o.form.panX, o.form.panY};
  expectBox(plotBox(plotFrame(product(), now), quarter(), 0), 150, 90, 7350, 4410);
  for (int i = 0; i < 12; ++i) zoomOut(o.form, 15000);
  EXPECT_EQ(o.form.zoom, 0.0f);
}

TEST(PlotNavigation, ArrowKeysPanOnlyWithoutATextBox) {
  OpenedTiles o;
  openTiles(o, {TileSpec{}, TileSpec{}});
  o.form.selectedMap = 1;
  EXPECT_TRUE(panKey(o.form, PanKey::Left, false));
  EXPECT_EQ(o.form.panX, 100);
  EXPECT_EQ(o.form.tileState.listIndex, 1);  // the redraw selects the current tile
  EXPECT_EQ(o.form.tileState.highlightLabel, 2);
  panKey(o.form, PanKey::Up, false);
  EXPECT_EQ(o.form.panY, 100);
  panKey(o.form, PanKey::Right, false);
  panKey(o.form, PanKey::Right, false);
  panKey(o.form, PanKey::Down, false);
  EXPECT_EQ(o.form.panX, -100);
  EXPECT_EQ(o.form.panY, 0);
  EXPECT_FALSE(panKey(o.form, PanKey::Left, true));
  EXPECT_EQ(o.form.panX, -100);
}

TEST(PlotRaster, OutlinesOfEveryBatchWithTheLaterBatchOnTop) {
  // Labels in pixels (one unit a pixel) on a 10 x 8 picture: label 0 (batch
  // 0) from (1,1) to (6,5); label 1 (batch 1) from (4,3) to (12,6), cut by
  // the right edge; label 2 not drawn; label 15 (batch 1 again) wholly
  // outside; label 14 (batch 0) a single pixel at (8,1).
  std::vector<PlotLabel> labels(16);
  labels[0] = {1, 1, 5, 4, true};
  labels[1] = {4, 3, 8, 3, true};
  labels[2] = {0, 0, 9, 7, false};
  labels[14] = {8.5, 1.9, 0, 0, true};
  labels[15] = {20, 20, 5, 5, true};
  const OutlineRaster r = rasterOutlines(labels, 10, 8, 1.0);
  const char* expected[] = {
      "..........",  //
      ".000000.0.",  //
      ".0....0...",  //
      ".0..111111",  //
      ".0..1.0...",  //
      ".000100...",  //
      "....111111",  //
      "..........",
  };
  for (int y = 0; y < 8; ++y) {
    std::string row;
    for (int x = 0; x < 10; ++x) row += r.at(x, y) < 0 ? '.' : static_cast<char>('0' + r.at(x, y));
    EXPECT_EQ(row, expected[y]) << "row " << y;
  }
}
