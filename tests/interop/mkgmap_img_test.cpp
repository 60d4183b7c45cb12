// IMG tiles, a gmapsupp and an MDX that mkgmap writes fresh: our scan must
// agree with the product file mkgmap wrote for the same tiles, our MDX must
// be its MDX, and the bounds command must give an overview around every tile.
// The set has a tile that ends on the antimeridian, one south of the equator
// and one in Europe, all described "GARMIN TREK MAP".
#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <map>

#include "core/img/img_scanner.hpp"
#include "core/common/byte_reader.hpp"
#include "core/product/loader.hpp"
#include "core/common/number_text.hpp"
#include "core/product/tile_layout.hpp"
#include "core/product/tile_texts.hpp"
#include "support/osm_writer.hpp"
#include "support/product_builder.hpp"
#include "support/run_process.hpp"
#include "support/scripted_prompter.hpp"

using namespace velmor;
using namespace velmor::test;

namespace {

const OsmArea kImgAreas[] = {
    {10.0, 179.9, 10.1, 180.0, 1000, "Edge"},
    {-10.1, 20.0, -10.0, 20.1, 2000, "South"},
    {45.0, 7.0, 45.1, 7.1, 3000, "Alps"},
};

// A product file bound as the degrees the editor shows, cut to five decimals.
float shown(std::int32_t units, bool east) {
  return std::stof(formatDegrees(east ? eastMapUnitsToDegrees(units) : mapUnitsToDegrees(units)));
}

class MkgmapImg : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    if (findOnPath("mkgmap").empty()) return;
    dir_ = tempDir();
    std::vector<std::string> args = {"mkgmap",
                                     "--tdbfile",
                                     "--route",
                                     "--index",
                                     "--gmapsupp",
                                     "--family-id=777",
                                     "--product-id=3",
                                     "--series-name=Trek",
                                     "--overview-mapname=55550000",
                                     "--mapname=55550001",
                                     "--description=GARMIN TREK MAP"};
    int i = 0;
    for (const OsmArea& area : kImgAreas) {
      std::string name = "tile" + std::to_string(++i) + ".osm";
      std::ofstream(dir_ + "/" + name) << osmXml(area);
      args.push_back(name);
    }
    result_ = runProcess(args, dir_);
  }

  void SetUp() override {
    if (findOnPath("mkgmap").empty()) GTEST_SKIP() << "mkgmap is not installed";
    ASSERT_EQ(result_.exitCode, 0) << result_.out << result_.err;
    ScriptedPrompter quiet;
    ASSERT_EQ(openProduct(file_, form_, dir_ + "/55550000.tdb", quiet), LoadStatus::Read);
    ASSERT_EQ(form_.detailMaps.size(), 3u);
    ByteReader reader(file_.data);
    for (const DetailMapView& view : form_.detailMaps) tiles_.push_back(readTileLayout(reader, view.blockOffset));
  }

  std::string tilePath(std::size_t i) const {
    return dir_ + "/" + tileImgName(file_, form_, static_cast<int>(i)) + ".img";
  }

  ProcessResult cli(std::vector<std::string> args) const {
    args.insert(args.begin(), VELMOR_CLI);
    return runProcess(args, dir_, {"VELMOR_HOME=" + dir_ + "/home"});
  }

  static std::string dir_;
  static ProcessResult result_;
  ProductFile file_;
  ProductForm form_;
  std::vector<TileLayout> tiles_;
};

std::string MkgmapImg::dir_;
ProcessResult MkgmapImg::result_;

}  // namespace

TEST_F(MkgmapImg, ScanAgreesWithTheProductFileTileByTile) {
  for (std::size_t i = 0; i < tiles_.size(); ++i) {
    SCOPED_TRACE(tilePath(i));
    Bytes image = readFile(tilePath(i));
    // The description really stands in the container's header.
    ASSERT_EQ(std::memcmp(&image[0x49], "GARMIN TREK MAP", 15), 0);
    RecordingPrompter prompter;
    MemoryRangeReader reader(image);
    ImgScanResult scan = loadbinaryfst(reader, prompter);
    get_imglimits(scan);
    EXPECT_TRUE(prompter.messages.empty());
    EXPECT_EQ(scan.errorText, "");
    ASSERT_EQ(scan.tiles.size(), 1u);
    // Same 24-bit units; mkgmap's 32-bit bounds are them shifted by 8.
    const TileLayout& t = tiles_[i];
    const ImgTile& tile = scan.tiles[0];
    EXPECT_EQ(tile.north, static_cast<std::uint32_t>(t.north) >> 8);
    EXPECT_EQ(tile.east, static_cast<std::uint32_t>(t.east) >> 8);
    EXPECT_EQ(tile.south, static_cast<std::uint32_t>(t.south) >> 8);
    EXPECT_EQ(tile.west, static_cast<std::uint32_t>(t.west) >> 8);
    EXPECT_EQ(scan.tileBounds, (std::array<float, 4>{shown(t.north, false), shown(t.east, true), shown(t.south, false),
                                                     shown(t.west, false)}));
    // The directory's sizes are the sizes mkgmap's product file lists.
    std::map<std::string, std::int32_t> listed;
    for (const TileSubfile& sub : t.subfiles) {
      const std::string name(sub.name->begin(), sub.name->end());
      listed[name.substr(name.size() - 3)] = sub.size;
    }
    EXPECT_EQ(scan.subfileKinds, "RGN,TRE,LBL,NET,NOD,");
    std::string expected;
    for (const char* kind : {"RGN", "TRE", "LBL", "NET", "NOD"}) expected += hexUpper(listed.at(kind)) + ",";
    EXPECT_EQ(scan.subfileSizes, expected);

    // Without the directory the header check alone still turns the
    // description down and finds the one real TRE.
    std::memset(&image[0x10], 0, 6);
    MemoryRangeReader bare(image);
    ImgScanResult fallback = loadbinaryfst(bare, prompter);
    get_imglimits(fallback);
    EXPECT_EQ(fallback.tiles.size(), 1u);
    EXPECT_EQ(fallback.tileBounds, scan.tileBounds);
  }
  // mkgmap ends the first tile on the antimeridian: +180 in the product
  // file too, so the tile lies where it is.
  EXPECT_EQ(tiles_[0].east, INT32_MIN);
  EXPECT_EQ(form_.detailMaps[0].east, 180.0f);
  EXPECT_EQ(form_.overviewEast, "180");
  EXPECT_NE(file_.report.find("maxlon:180000 "), std::string::npos) << file_.report;
}

TEST_F(MkgmapImg, GmapsuppGivesTheUnionOfItsTiles) {
  ProcessResult r = cli({"img", "gmapsupp.img", "--json"});
  EXPECT_EQ(r.exitCode, 0) << r.err;
  EXPECT_NE(r.out.find("\"tileCount\": 3"), std::string::npos) << r.out;
  // North of the Alps tile, east of the edge tile, south of the southern one.
  char bounds[256];
  std::snprintf(bounds, sizeof bounds,
                "\"bounds\": {\n    \"north\": \"%s\",\n    \"east\": \"180\",\n    \"south\": \"%s\"",
                numberText(shown(tiles_[2].north, false)).c_str(), numberText(shown(tiles_[1].south, false)).c_str());
  EXPECT_NE(r.out.find(bounds), std::string::npos) << r.out;

  ProcessResult product = cli({"img", "55550000.tdb"});
  EXPECT_EQ(product.exitCode, 1);
  EXPECT_NE(product.err.find("no data"), std::string::npos) << product.err;
}

TEST_F(MkgmapImg, MdxIsMkgmapsMdx) {
  ProcessResult r = cli({"mdx", "55550000.tdb", "-o", "ours.mdx"});
  ASSERT_EQ(r.exitCode, 0) << r.err;
  EXPECT_EQ(readFile(dir_ + "/ours.mdx"), readFile(dir_ + "/55550000.mdx"));
}

TEST_F(MkgmapImg, BoundsCommandPutsEveryTileInsideTheOverview) {
  const std::string copy = dir_ + "/bounds.tdb";
  std::filesystem::copy_file(dir_ + "/55550000.tdb", copy, std::filesystem::copy_options::overwrite_existing);
  std::vector<std::string> args = {"bounds", "bounds.tdb"};
  for (std::size_t i = 0; i < tiles_.size(); ++i) args.push_back(tilePath(i));
  ProcessResult r = cli(args);
  ASSERT_EQ(r.exitCode, 0) << r.out << r.err;
  EXPECT_TRUE(std::filesystem::exists(dir_ + "/bounds_bak.tdb"));

  ProductFile file;
  ProductForm form;
  ScriptedPrompter quiet;
  ASSERT_EQ(openProduct(file, form, copy, quiet), LoadStatus::Read);
  // Contains every tile, to the five decimals both sides are shown with.
  const double slack = 1.1e-5;
  for (const TileLayout& t : tiles_) {
    EXPECT_GE(*parseNumber(form.overviewNorth) + slack, shown(t.north, false));
    EXPECT_LE(*parseNumber(form.overviewSouth) - slack, shown(t.south, false));
    EXPECT_GE(*parseNumber(form.overviewEast) + slack, shown(t.east, true));
    EXPECT_LE(*parseNumber(form.overviewWest) - slack, shown(t.west, false));
  }
  // The east edge at +180 is written as mkgmap writes it.
  ByteReader reader(file.data);
  EXPECT_EQ(reader.bit4(file.nameFields[2].blockOffset + 15), INT32_MIN);
  // And without slack: the saved box holds every tile to the map unit,
  // against mkgmap's own bounds of the tiles (+180 is 0x80000000 there too).
  auto eastUnits = [](std::int32_t v) { return v == INT32_MIN ? std::int64_t{1} << 31 : std::int64_t{v}; };
  const std::int64_t o = file.nameFields[2].blockOffset;
  for (const TileLayout& t : tiles_) {
    EXPECT_GE(reader.bit4(o + 11), t.north);
    EXPECT_GE(eastUnits(reader.bit4(o + 15)), eastUnits(t.east));
    EXPECT_LE(reader.bit4(o + 19), t.south);
    EXPECT_LE(reader.bit4(o + 23), t.west);
  }

  // Listing no tile writes nothing at all.
  const Bytes before = readFile(copy);
  std::filesystem::remove(dir_ + "/bounds_bak.tdb");
  ProcessResult none = cli({"bounds", "bounds.tdb", "55550000.mdx"});
  EXPECT_EQ(none.exitCode, 1);
  EXPECT_NE(none.err.find("The overview bounds were left as they were."), std::string::npos) << none.err;
  EXPECT_EQ(readFile(copy), before);
  EXPECT_FALSE(std::filesystem::exists(dir_ + "/bounds_bak.tdb"));
}
