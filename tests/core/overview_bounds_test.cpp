// Overview bounds from IMG tiles into the product file, through a real save
// and reload; and the antimeridian as an east bound, read and written.
#include <gtest/gtest.h>

#include "core/img/overview_bounds.hpp"
#include "core/common/byte_reader.hpp"
#include "core/common/number_text.hpp"
#include "core/product/tile_texts.hpp"
#include "support/save_session.hpp"
#include "support/scripted_prompter.hpp"
#include "support/tile_product.hpp"

using namespace velmor;
using namespace velmor::test;

namespace {

std::string data(const std::string& relative) { return std::string(VELMOR_TEST_DATA) + "/" + relative; }

std::array<std::string, 4> overviewBoxes(const ProductForm& form) {
  return {form.overviewNorth, form.overviewEast, form.overviewSouth, form.overviewWest};
}

}  // namespace

TEST(OverviewBounds, TilesGiveTheBoxTheNextSaveWrites) {
  Session s;
  const std::string path = writeTemp(readFile(data("north/north.tdb")), "north.tdb");
  s.open(path);
  ASSERT_FALSE(s.file.modified);
  // The product file among the chosen files has no tiles ("no data"); a tile
  // listed twice changes nothing.
  s.prompter.expectMessage(kNeedsXorring).expectMessage(kNoData);
  const std::vector<std::string> chosen = {data("north/63240002.img"), data("north/north.tdb"),
                                           data("north/63240001.img"), data("north/63240002.img")};
  CreateTdbResult result = create_tdb(s.file, s.form, chosen, s.prompter);
  EXPECT_TRUE(result.boundsFound);
  EXPECT_EQ(result.filesWithBounds, 3);
  // The union of the two tiles, rounded outward to five decimals: mkgmap's
  // product file shows them cut toward zero as 50.99999 .. 52 N and
  // 0 .. 0.99999 E, but their edges lie just past 52 N and 0.99999 E.
  EXPECT_EQ(overviewBoxes(s.form), (std::array<std::string, 4>{"52.00001", "1", "50.99999", "0"}));
  EXPECT_TRUE(s.file.overviewEdited);
  EXPECT_TRUE(s.file.modified);
  // The box holds every tile whole: each edge, exact in the tile's own
  // units, lies on or inside it (the texts the tiles show are cut toward
  // zero and would leave a strip outside).
  for (const std::string& img : {data("north/63240001.img"), data("north/63240002.img")}) {
    RecordingPrompter quiet;
    const ImgScanResult scan = loadbinaryfst(img, quiet);
    ASSERT_FALSE(scan.tiles.empty()) << img;
    for (const ImgTile& t : scan.tiles) {
      auto exact = [](std::uint32_t units) {
        const double d = static_cast<double>(units & 0xFFFFFF) * 360.0 / 16777216.0;
        return (units & 0xFFFFFF) > 0x7FFFFF ? d - 360.0 : d;
      };
      EXPECT_LE(exact(t.north), *parseNumber(s.form.overviewNorth)) << img;
      EXPECT_LE(exact(t.east), *parseNumber(s.form.overviewEast)) << img;
      EXPECT_GE(exact(t.south), *parseNumber(s.form.overviewSouth)) << img;
      EXPECT_GE(exact(t.west), *parseNumber(s.form.overviewWest)) << img;
    }
  }

  s.prompter.expectMessage(backupMessage(path.substr(0, path.size() - 4) + "_bak.tdb"));
  ASSERT_EQ(s.saveTo(path), SaveOutcome::Saved);
  // The file now holds the box (to the map unit; shown again cut to five
  // decimals, so a fifth decimal may drop by one).
  Session reloaded;
  reloaded.open(path);
  const auto wrote = overviewBoxes(s.form);
  const auto read = overviewBoxes(reloaded.form);
  for (std::size_t i = 0; i < 4; ++i) EXPECT_NEAR(*parseNumber(read[i]), *parseNumber(wrote[i]), 1.1e-5) << i;
  EXPECT_FALSE(reloaded.file.overviewEdited);
}

TEST(OverviewBounds, NothingFoundLeavesTheBoxesAndTheFileAlone) {
  Session s;
  s.open(writeTemp(readFile(data("north/north.tdb")), "north.tdb"));
  const auto before = overviewBoxes(s.form);
  s.prompter.expectMessage(kNeedsXorring).expectMessage(kNoData).expectMessage(kNoBoundsFound);
  CreateTdbResult result = create_tdb(s.file, s.form, {data("north/north.mdx")}, s.prompter);
  EXPECT_FALSE(result.boundsFound);
  EXPECT_EQ(overviewBoxes(s.form), before);
  EXPECT_FALSE(s.file.overviewEdited);
  EXPECT_FALSE(s.file.modified);

  // An empty list scans nothing and says so too.
  s.prompter.expectMessage(kNoBoundsFound);
  EXPECT_FALSE(create_tdb(s.file, s.form, {}, s.prompter).boundsFound);
  // Without an open product there is nowhere to put bounds.
  ProductFile none;
  ProductForm noForm;
  s.prompter.expectMessage(kNoProductOpen);
  EXPECT_FALSE(create_tdb(none, noForm, {data("north/63240001.img")}, s.prompter).boundsFound);
}

TEST(OverviewBounds, BoundTextsKeepTheFiveDecimalsOfTheTiles) {
  // Single-precision 7.1 is 7.0999999: the box shows 7.1, not 7.09999.
  EXPECT_EQ(overviewBoundText(static_cast<double>(7.1f)), "7.1");
  EXPECT_EQ(overviewBoundText(static_cast<double>(-10.09999f)), "-10.09999");
  EXPECT_EQ(overviewBoundText(static_cast<double>(-34.2f)), "-34.2");
  EXPECT_EQ(overviewBoundText(180.0), "180");
  EXPECT_EQ(overviewBoundText(-0.000001), "0");
}

TEST(OverviewBounds, AntimeridianAsEastBoundReadsAndWritesAsPlus180) {
  // A tile from 179.5 E to the antimeridian, as mkgmap writes it: east 0x80000000.
  TileSpec edge;
  edge.number = 777;
  edge.n = 0x08000000;
  edge.s = 0x07000000;
  edge.w = 0x7FA00000;
  edge.e = INT32_MIN;
  Bytes bytes = tileProduct({edge});
  const Bytes overview = block(0x42, overviewBody(1, 0, 0x08000000, INT32_MIN, 0x07000000, 0x7FA00000, "O"));
  bytes.insert(bytes.begin() + block(0x50, headerBody(7, 4660, 409, "Series", "Family", defaultTail(58))).size(),
               overview.begin(), overview.end());
  const std::string path = writeTemp(bytes, "edge.tdb");
  Session s;
  s.open(path);
  ASSERT_EQ(s.form.detailMaps.size(), 1u);
  EXPECT_EQ(s.form.detailMaps[0].east, 180.0f);
  EXPECT_EQ(tileTexts(s.file, s.form, 0).boundsRecord.substr(0, 18), "11.25#180#9.84375#");
  EXPECT_EQ(s.form.overviewEast, "180");
  EXPECT_NE(s.file.report.find("N:11.25, E:180\r\n"), std::string::npos) << s.file.report;
  EXPECT_NE(s.file.report.find("maxlon:180000 "), std::string::npos) << s.file.report;

  // +180 typed into the east box is written as 0x80000000 again.
  s.form.overviewEast = "180";
  s.form.overviewWest = "179";
  s.file.overviewEdited = true;
  MarkModified(s.file);
  s.prompter.expectMessage(backupMessage(path.substr(0, path.size() - 4) + "_bak.tdb"));
  ASSERT_EQ(s.saveTo(path), SaveOutcome::Saved);
  const Bytes saved = readFile(path);
  ByteReader r(saved);
  const std::int64_t o =
      static_cast<std::int64_t>(block(0x50, headerBody(7, 4660, 409, "Series", "Family", defaultTail(58))).size());
  ASSERT_EQ(r.dat(o), 0x42);
  EXPECT_EQ(r.bit4(o + 15), INT32_MIN);
  EXPECT_EQ(r.bit4(o + 23), static_cast<std::int32_t>(std::nearbyint(179.0 / kDegreesPerMapUnit)));
}
