// Product files that mkgmap writes fresh from our own synthetic data, with
// ids, accented names and places other than the stored fixtures: tiles south
// of the equator and west of Greenwich.
#include <gtest/gtest.h>
#include <zlib.h>

#include <fstream>

#include "core/product/block_walk.hpp"
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

// One unit of the tile bounds mkgmap computes (24-bit map units) in degrees.
constexpr double kImgUnit = 360.0 / 16777216.0;

const OsmArea kProductAreas[] = {
    {-34.60, -58.50, -34.50, -58.40, 1000, "S\u00E3o Tom\u00E9"},
    {-34.60, -58.40, -34.50, -58.30, 2000, "\u00D1and\u00FA"},
};

class MkgmapProduct : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    if (findOnPath("mkgmap").empty()) return;
    dir_ = tempDir();
    std::vector<std::string> args = {"mkgmap",
                                     "--tdbfile",
                                     "--route",
                                     "--code-page=1252",
                                     "--family-id=777",
                                     "--product-id=3",
                                     "--series-name=S\u00E9ries Sul",
                                     "--family-name=Fam\u00EDlia Teste",
                                     "--overview-mapname=55550000",
                                     "--mapname=55550001"};
    int i = 0;
    for (const OsmArea& area : kProductAreas) {
      std::string name = "tile" + std::to_string(++i) + ".osm";
      std::ofstream(dir_ + "/" + name) << osmXml(area);
      args.push_back("--description=Tile " + std::to_string(i));
      args.push_back(name);
    }
    result_ = runProcess(args, dir_);
  }

  void SetUp() override {
    if (findOnPath("mkgmap").empty()) GTEST_SKIP() << "mkgmap is not installed";
    ASSERT_EQ(result_.exitCode, 0) << result_.out << result_.err;
  }

  static std::string dir_;
  static ProcessResult result_;
};

std::string MkgmapProduct::dir_;
ProcessResult MkgmapProduct::result_;

}  // namespace

TEST_F(MkgmapProduct, HeaderAndNamesAgreeWithWhatMkgmapWasTold) {
  ProductFile file;
  ProductForm form;
  ScriptedPrompter prompter;
  ASSERT_EQ(openProduct(file, form, dir_ + "/55550000.tdb", prompter), LoadStatus::Read);
  EXPECT_EQ(form.pidText, "3");
  EXPECT_EQ(form.fidText, "777");
  EXPECT_EQ(form.codePageText, "1252");
  EXPECT_EQ(form.seriesNameText, "S\u00E9ries Sul");
  EXPECT_EQ(form.familyNameText, "Fam\u00EDlia Teste");
  // The name bytes in the file are code page 1252: é is 0xE9.
  EXPECT_EQ(file.seriesName, (Bytes{'S', 0xE9, 'r', 'i', 'e', 's', ' ', 'S', 'u', 'l'}));
  // Every tile names the overview map as its parent.
  ASSERT_EQ(form.detailMaps.size(), 2u);
  for (int i = 0; i < 2; ++i) {
    const std::string info = tileTexts(file, form, i).infoText;
    EXPECT_EQ(info.rfind("Overview Map Number:" + form.overviewNumberText + "\r\n", 0), 0u) << info;
  }
  EXPECT_TRUE(file.errorText.empty()) << file.errorText;
}

TEST_F(MkgmapProduct, TilesLieWhereTheDataLies) {
  ProductFile file;
  ProductForm form;
  ScriptedPrompter prompter;
  openProduct(file, form, dir_ + "/55550000.tdb", prompter);
  ASSERT_EQ(form.detailMaps.size(), 2u);
  ByteReader reader(file.data);
  for (std::size_t i = 0; i < 2; ++i) {
    const DetailMapView& view = form.detailMaps[i];
    EXPECT_EQ(tileImgName(file, form, static_cast<int>(i)), std::to_string(55550001 + i));
    EXPECT_NE(tileListText(file, form, static_cast<int>(i)).find("Tile " + std::to_string(i + 1)), std::string::npos);
    TileLayout t = readTileLayout(reader, view.blockOffset);
    const OsmArea& a = kProductAreas[i];
    EXPECT_NEAR(mapUnitsToDegrees(t.north), a.north, kImgUnit);
    EXPECT_NEAR(mapUnitsToDegrees(t.south), a.south, kImgUnit);
    EXPECT_NEAR(mapUnitsToDegrees(t.east), a.east, kImgUnit);
    EXPECT_NEAR(mapUnitsToDegrees(t.west), a.west, kImgUnit);
    EXPECT_LT(view.north, 0.0f);
    EXPECT_LT(view.west, 0.0f);
    EXPECT_GE(t.subfiles.size(), 3u);
  }
  EXPECT_LT(file.overallBounds.greatestLatitude, 0);
  EXPECT_LT(file.overallBounds.greatestLongitude, 0);
}

TEST_F(MkgmapProduct, VerifyAgreesWithTheCrcMkgmapStored) {
  const std::string path = dir_ + "/55550000.tdb";
  ProcessResult r = runProcess({VELMOR_CLI, "verify", path});
  EXPECT_EQ(r.exitCode, 0) << r.out << r.err;
  Bytes data = readFile(path);
  const std::int64_t p = findChecksumBlock(data);
  ASSERT_GT(p, 0);
  char expected[32];
  std::snprintf(expected, sizeof expected, "computed: %08X",
                static_cast<unsigned>(crc32(0L, data.data(), static_cast<uInt>(p))));
  EXPECT_NE(r.out.find(expected), std::string::npos);
}
