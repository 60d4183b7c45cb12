// velmor-cli basemap with the real mkgmap, on a product mkgmap itself made,
// its tile described with accented letters: the basemap it compiles covers
// the background, carries the description right, and velmor-cli img reads
// it back.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <fstream>
#include <nlohmann/json.hpp>
#include <sstream>

#include "core/editor/description_edit.hpp"
#include "core/product/loader.hpp"
#include "core/common/number_text.hpp"
#include "core/product/save.hpp"
#include "support/save_session.hpp"
#include "support/osm_writer.hpp"
#include "support/product_builder.hpp"
#include "support/run_process.hpp"
#include "support/scripted_prompter.hpp"

using namespace velmor;
using namespace velmor::test;

namespace {

namespace fs = std::filesystem;

// What the degree texts of velmor-cli img may lose: one IMG unit and the
// cut after five decimals.
constexpr double kTolerance = 360.0 / 16777216.0 + 0.00001;

std::string readBytes(const std::string& path) {
  const Bytes bytes = readFile(path);
  return std::string(bytes.begin(), bytes.end());
}

double degrees(const nlohmann::json& text) { return parseNumber(text.get<std::string>()).value_or(1e9); }

}  // namespace

TEST(BasemapInterop, MkgmapCompilesTheBasemapOfMkgmapsOwnProduct) {
  const std::string mkgmap = findOnPath("mkgmap");
  if (mkgmap.empty()) GTEST_SKIP() << "mkgmap is not installed";
  const std::string dir = tempDir();
  const std::string home = dir + "/velmor home";
  fs::create_directories(home);
  std::ofstream(dir + "/tile.osm") << osmXml({50.95, -0.10, 51.05, 0.05, 3000, "Lewes"});
  ProcessResult made = runProcess({"mkgmap", "--tdbfile", "--code-page=1252", "--family-id=778", "--product-id=1",
                                   "--overview-mapname=56560000", "--mapname=56560001", "tile.osm"},
                                  dir);
  ASSERT_EQ(made.exitCode, 0) << made.out << made.err;
  const std::string product = dir + "/56560000.tdb";
  {
    // mkgmap writes descriptions in ASCII; the map maker describes the tile
    // in the editor.
    Session edit;
    edit.open(product);
    RecordingPrompter quiet;
    ASSERT_EQ(editDescription(edit.file, edit.form, 0, "Caf\u00E9 Zo\u00EB", quiet), DescriptionEdit::Changed);
    SaveContext context{edit.file, edit.form, quiet, edit.activity, edit.log, "", nullptr, &edit.random};
    ASSERT_EQ(save(context, product), SaveOutcome::Saved);
  }

  // --yes takes the mkgmap on PATH: no compiler is set in this fresh home.
  const std::string basemap = dir + "/Lewes Base.img";
  ProcessResult run =
      runProcess({VELMOR_CLI, "basemap", product, "-o", basemap, "--yes"}, dir, {"VELMOR_HOME=" + home});
  ASSERT_EQ(run.exitCode, 0) << run.out << run.err;
  EXPECT_NE(run.err.find("No map compiler is set. Use mkgmap (" + mkgmap + ")?"), std::string::npos) << run.err;
  EXPECT_NE(run.err.find("New basemap created"), std::string::npos) << run.err;
  // mkgmap read every label of the map source without complaint.
  EXPECT_EQ((run.out + run.err).find("error decoding label"), std::string::npos) << run.out << run.err;

  // The label came through in code page 1252 with its letter case kept:
  // é is 0xE9, not the two bytes of its UTF-8, and nothing is in capitals.
  const std::string bytes = readBytes(basemap);
  EXPECT_NE(bytes.find("Caf\xE9 Zo\xEB"), std::string::npos);
  EXPECT_EQ(bytes.find("CAF\xC9"), std::string::npos);
  EXPECT_EQ(bytes.find("Caf\xC3"), std::string::npos);

  // The compiled map's bounds cover the background the map source drew:
  // the overview bounds 0.2 degrees in from north and south, out east and west.
  ProductFile file;
  ProductForm form;
  ScriptedPrompter prompter;
  ASSERT_EQ(openProduct(file, form, product, prompter), LoadStatus::Read);
  const double north = *parseNumber(form.overviewNorth) - 0.2;
  const double south = *parseNumber(form.overviewSouth) + 0.2;
  const double east = *parseNumber(form.overviewEast) + 0.2;
  const double west = *parseNumber(form.overviewWest) - 0.2;
  ProcessResult img = runProcess({VELMOR_CLI, "img", basemap, "--json"});
  ASSERT_EQ(img.exitCode, 0) << img.out << img.err;
  const nlohmann::json scan = nlohmann::json::parse(img.out);
  ASSERT_TRUE(scan["bounds"].is_object()) << img.out;
  const nlohmann::json& b = scan["bounds"];
  EXPECT_GE(degrees(b["north"]) + kTolerance, std::max(north, south)) << img.out;
  EXPECT_LE(degrees(b["south"]) - kTolerance, std::min(north, south)) << img.out;
  EXPECT_GE(degrees(b["east"]) + kTolerance, east) << img.out;
  EXPECT_LE(degrees(b["west"]) - kTolerance, west) << img.out;

  // A second run replaces it after a backup, made once and read-only.
  ProcessResult again = runProcess({VELMOR_CLI, "basemap", product, "-o", basemap, "--compiler", mkgmap, "--yes"}, dir,
                                   {"VELMOR_HOME=" + home});
  ASSERT_EQ(again.exitCode, 0) << again.out << again.err;
  const std::string backup = dir + "/Lewes Base_bak.img";
  EXPECT_EQ(readBytes(backup), bytes);
  EXPECT_EQ(fs::status(backup).permissions() & fs::perms::owner_write, fs::perms::none);
}
