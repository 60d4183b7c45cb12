// Product files written by mkgmap, an independent compiler: what we decode
// must agree with what it was told to write.
#include <gtest/gtest.h>
#include <zlib.h>

#include "core/product/block_walk.hpp"
#include "core/product/loader.hpp"
#include "core/product/tile_texts.hpp"
#include "support/product_builder.hpp"
#include "support/scripted_prompter.hpp"
#include "support/test_files.hpp"

using namespace velmor;
using namespace velmor::test;

namespace {

Opened openFixture(const std::string& name) {
  Opened o;
  ScriptedPrompter prompter;
  EXPECT_EQ(openProduct(o.file, o.form, std::string(VELMOR_TEST_DATA) + "/" + name, prompter), LoadStatus::Read);
  return o;
}

std::uint32_t storedCrc(const Bytes& d, std::int64_t p) {
  auto at = [&](std::int64_t i) { return static_cast<std::uint32_t>(d[static_cast<std::size_t>(i)]); };
  return at(p + 5) << 24 | at(p + 12) << 16 | at(p + 15) << 8 | at(p + 20);
}

}  // namespace

TEST(MkgmapFixtures, NorthSet) {
  Opened o = openFixture("north/north.tdb");
  EXPECT_EQ(o.form.fidText, "4660");
  EXPECT_EQ(o.form.pidText, "1");
  EXPECT_EQ(o.form.versionText, "4.07");
  EXPECT_EQ(o.form.codePageText, "1252");
  EXPECT_TRUE(o.form.routable);
  EXPECT_EQ(o.form.overviewNumberText, "3C4F740");  // 63240000
  ASSERT_EQ(o.form.detailMaps.size(), 2u);
  EXPECT_EQ(tileImgName(o.file, o.form, 0), "63240001");
  EXPECT_EQ(tileImgName(o.file, o.form, 1), "63240002");
  EXPECT_NE(tileTexts(o.file, o.form, 0).infoText.find("63240001.TRE:&"), std::string::npos);
  // Two adjacent tiles: the first one's north is the second one's south, near 51 N, 0 E.
  EXPECT_EQ(o.form.detailMaps[0].north, o.form.detailMaps[1].south);
  EXPECT_NEAR(o.form.detailMaps[0].south, 51.0, 0.01);
  EXPECT_NEAR(o.form.detailMaps[1].north, 52.0, 0.01);
  EXPECT_NEAR(o.form.detailMaps[0].west, 0.0, 0.01);
  EXPECT_EQ(o.form.detailMaps[0].east, o.form.detailMaps[1].west);
  EXPECT_TRUE(o.file.errorText.empty());

  const std::int64_t p = findChecksumBlock(o.file.data);
  ASSERT_EQ(p, static_cast<std::int64_t>(o.file.data.size()) - 23);
  EXPECT_EQ(storedCrc(o.file.data, p), static_cast<std::uint32_t>(crc32(0L, o.file.data.data(), static_cast<uInt>(p))));
}

TEST(MkgmapFixtures, GridSet) {
  Opened o = openFixture("grid/grid.tdb");
  EXPECT_EQ(o.form.fidText, "300");
  EXPECT_EQ(o.form.pidText, "2");
  ASSERT_EQ(o.form.detailMaps.size(), 16u);
  for (std::size_t i = 0; i < 16; ++i) {
    EXPECT_EQ(tileImgName(o.file, o.form, static_cast<int>(i)), std::to_string(12340001 + i));
    EXPECT_LT(o.form.detailMaps[i].south, o.form.detailMaps[i].north);
    EXPECT_LT(o.form.detailMaps[i].west, o.form.detailMaps[i].east);
  }
  // The overall bounds enclose every tile, in thousandths of a degree.
  for (const DetailMapView& t : o.form.detailMaps) {
    EXPECT_LE(t.north * 1000.0f, o.file.overallBounds.greatestLatitude);
    EXPECT_GE(t.south * 1000.0f, o.file.overallBounds.leastLatitude);
    EXPECT_GE(t.west * 1000.0f, o.file.overallBounds.leastLongitude);
  }
  // Central Europe.
  EXPECT_GT(o.file.overallBounds.leastLatitude, 40000);
  EXPECT_LT(o.file.overallBounds.greatestLatitude, 60000);
  const std::int64_t p = findChecksumBlock(o.file.data);
  ASSERT_GT(p, 0);
  EXPECT_EQ(storedCrc(o.file.data, p), static_cast<std::uint32_t>(crc32(0L, o.file.data.data(), static_cast<uInt>(p))));
}
