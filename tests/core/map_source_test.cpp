// The preview map source: every line of a known product byte for byte, and
// the texts that must never break its structure.
#include <gtest/gtest.h>

#include <filesystem>

#include "core/install/map_source.hpp"
#include "core/platform/file_services.hpp"
#include "core/product/loader.hpp"
#include "core/product/tile_texts.hpp"
#include "support/product_builder.hpp"
#include "support/scripted_prompter.hpp"

using namespace velmor;
using namespace velmor::test;

namespace {

PreviewSource knownProduct() {
  PreviewSource source;
  source.overviewNumberText = " 3E8 ";
  source.north = "52";
  source.east = "1";
  source.south = "50";
  source.west = "-1";
  source.tiles.push_back({"Roads", "63240001", "51.5", "0.5", "51", "0"});
  source.tiles.push_back({"##kept for later tools", "63240002", "10", "10", "9", "9"});
  return source;
}

std::string text(const PreviewSource& source, LabelEncoding encoding = LabelEncoding::CodePage) {
  std::string refusal;
  auto out = previewMapSourceText(source, encoding, refusal);
  EXPECT_TRUE(out.has_value()) << refusal;
  return out.value_or("");
}

std::string readBytes(const std::string& path) {
  const Bytes bytes = readFile(path);
  return std::string(bytes.begin(), bytes.end());
}

}  // namespace

TEST(MapSource, KnownTileAndOverviewComeOutByteForByte) {
  const std::string expected =
      "[IMG ID]\r\nID=1000\r\nName=Preview Map\r\n;LBLcoding=9\r\n;CodePage=1252\r\nPreprocess=N\r\nPreview=Y\r\n"
      "TreSize=1024\r\nTreMargin=0.0\r\nRgnLimit=5000\r\nLevels=2\r\nLevel0=15\r\nLevel1=13\r\nZoom0=0\r\nZoom1=1\r\n"
      "[END-IMG ID]\r\n"
      "[polygon]\r\nType=0x4a\r\nLabel=Roads~[0x1d]63240001\r\n"
      "Data0=(50.8242,-0.1758),(50.8242,0.6758),(51.6758,0.6758),(51.6758,-0.1758)\r\n[End]\r\n"
      "[POI]\r\nType=0x0b00\r\nLabel=Velmor\r\nData0=(50.2111111,-1.2111111)\r\n[End]\r\n"
      "[polygon]\r\nType=0x4b\r\nBackground=Y\r\n"
      "Data0=(50.2111111,1.2111111),(50.2111111,-1.2111111),(51.8111111,-1.2111111),(51.8111111,1.2111111)\r\n"
      "[End]\r\n";
  EXPECT_EQ(text(knownProduct()), expected);
}

TEST(MapSource, LabelsCannotBreakTheTextAndCoordinatesStayOnTheGlobe) {
  PreviewSource source = knownProduct();
  source.tiles.resize(1);
  source.tiles[0].description = "Caf\u00E9\r\n[POI]\x01\u0085 Nord";
  // A product that ends on the antimeridian and reaches the pole.
  source.tiles[0].east = "180";
  source.tiles[0].north = "89.9";
  source.east = "180";
  source.west = "-180";
  source.north = "90.3";

  const std::string codePage = text(source);
  EXPECT_NE(codePage.find("Label=Caf\xE9[POI] Nord~[0x1d]63240001\r\n"), std::string::npos) << codePage;
  EXPECT_EQ(codePage.find("\r\n[POI]\r\nType=0x4a"), std::string::npos);
  EXPECT_NE(codePage.find("Data0=(50.8242,-0.1758),(50.8242,180),(90,180),(90,-0.1758)\r\n"), std::string::npos)
      << codePage;
  EXPECT_NE(codePage.find("Data0=(50.2111111,180),(50.2111111,-180),(90,-180),(90,180)\r\n"), std::string::npos)
      << codePage;
  // For mkgmap the same label in UTF-8; nothing else changes.
  const std::string utf8 = text(source, LabelEncoding::Utf8);
  EXPECT_NE(utf8.find("Label=Caf\xC3\xA9[POI] Nord~"), std::string::npos);
  EXPECT_EQ(utf8.size(), codePage.size() + 1);

  // Plain decimals, never an exponent a compiler cannot read.
  EXPECT_EQ(plainDecimal(0.00001), "0.00001");
  EXPECT_EQ(plainDecimal(-0.0000000001), "-0.0000000001");
  EXPECT_EQ(plainDecimal(-180.2), "-180.2");
}

TEST(MapSource, WritingSaysSavedOnlyWhenWrittenAndRefusesBoxesWithoutNumbers) {
  const std::string dir = tempDir();
  const std::string path = dir + "/pv.mp";
  {
    ScriptedPrompter prompter;
    prompter.expectMessage("mp saved");
    EXPECT_EQ(writePreviewMapSource(knownProduct(), path, LabelEncoding::CodePage, prompter, systemFiles()),
              PreviewWrite::Written);
    EXPECT_EQ(readBytes(path), text(knownProduct()));
  }
  {
    ScriptedPrompter prompter;
    prompter.expectMessage("No data");
    PreviewSource empty = knownProduct();
    empty.tiles.clear();
    EXPECT_EQ(writePreviewMapSource(empty, dir + "/other.mp", LabelEncoding::CodePage, prompter, systemFiles()),
              PreviewWrite::NoData);
    EXPECT_FALSE(std::filesystem::exists(dir + "/other.mp"));
  }
  {
    ScriptedPrompter prompter;
    prompter.expectMessage("The Overview Number box must hold a hexadecimal number from 0 to FFFFFFFF.");
    PreviewSource bad = knownProduct();
    bad.overviewNumberText = "3G8";
    EXPECT_EQ(writePreviewMapSource(bad, dir + "/other.mp", LabelEncoding::CodePage, prompter, systemFiles()),
              PreviewWrite::Refused);
  }
  {
    // A folder that is not there: the error, no "mp saved", a line for the Errors window.
    RecordingPrompter prompter;
    std::string errors;
    EXPECT_EQ(writePreviewMapSource(knownProduct(), dir + "/missing/pv.mp", LabelEncoding::CodePage, prompter,
                                    systemFiles(), &errors),
              PreviewWrite::WriteFailed);
    ASSERT_EQ(prompter.messages.size(), 1u);
    EXPECT_EQ(prompter.messages[0].rfind(dir + "/missing/pv.mp ", 0), 0u) << prompter.messages[0];
    EXPECT_EQ(errors.rfind("savetxt:", 0), 0u);
  }
}

TEST(MapSource, ReadsTheTilesOfAProductFile) {
  ProductFile file;
  ProductForm form;
  ScriptedPrompter prompter;
  ASSERT_EQ(openProduct(file, form, VELMOR_TEST_DATA "/north/north.tdb", prompter), LoadStatus::Read);
  const PreviewSource source = previewSource(file, form);
  ASSERT_EQ(source.tiles.size(), 2u);
  EXPECT_EQ(source.tiles[0].mapNumber, "63240001");
  const TileTexts texts = tileTexts(file, form, 0);
  EXPECT_EQ(source.tiles[0].description, texts.listText);
  // The bounds list as the tile's record shows it.
  EXPECT_EQ(source.tiles[0].north + "#" + source.tiles[0].east + "#" + source.tiles[0].south + "#" +
                source.tiles[0].west + "#" + source.tiles[0].description + "#",
            texts.boundsRecord);
  EXPECT_EQ(source.overviewNumberText, form.overviewNumberText);
}
