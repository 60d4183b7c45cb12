// Map bundles and TYP files against mkgmap's own: one mkgmap build of its
// test map with an index, a product file, a TYP it compiled from text, and
// its bundle. Ours, made from the same files, must be the same tree byte
// for byte; broken input must leave nothing behind.
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <nlohmann/json.hpp>

#include "core/install/gmap_info.hpp"
#include "support/product_builder.hpp"
#include "support/run_process.hpp"

using namespace velmor;
using namespace velmor::test;
namespace fs = std::filesystem;

namespace {

// A one-point style with ids of its own, so that the bundle needs the
// product's ids put in (mkgmap's x<name>.typ), and a code page to read back.
constexpr const char* kTypText =
    "[_id]\nCodePage=1251\nFID=1234\nProductCode=5\n[end]\n\n"
    "[_point]\nType=0x2f06\nString1=0x04,Bike\nXpm=\"1 1 1 1\"\n\"! c #ff0000\"\n\"!\"\n[end]\n";

constexpr const char* kBundle = "Test Fam.gmap";

// Every file under `root` by its path relative to it, with its bytes.
std::map<std::string, Bytes> treeOf(const std::string& root) {
  std::map<std::string, Bytes> tree;
  for (const auto& entry : fs::recursive_directory_iterator(root)) {
    const std::string relative = fs::relative(entry.path(), root).string();
    tree[relative + (entry.is_directory() ? "/" : "")] =
        entry.is_directory() ? Bytes{} : readFile(entry.path().string());
  }
  return tree;
}

std::string textOf(const std::string& path) {
  const Bytes bytes = readFile(path);
  return std::string(bytes.begin(), bytes.end());
}

class MkgmapBundle : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    if (findOnPath("mkgmap").empty()) return;
    dir_ = tempDir();
    fs::create_directories(dir_ + "/typ");
    fs::create_directories(dir_ + "/mk");
    std::ofstream(dir_ + "/typ/style.txt") << kTypText;
    // mkgmap takes the TYP's code page from its option, not from the text.
    build_ = runProcess({"mkgmap", "--code-page=1251", "style.txt"}, dir_ + "/typ");
    if (build_.exitCode != 0) return;
    fs::copy_file(dir_ + "/typ/style.typ", dir_ + "/mk/style.typ");
    build_ = runProcess(
        {"mkgmap", "--family-id=4711", "--product-id=1", "--family-name=Test Fam", "--series-name=Test Series",
         "--index", "--tdbfile", "--gmapi", "test-map:all-elements", "style.typ"},
        dir_ + "/mk");
  }

  void SetUp() override {
    if (findOnPath("mkgmap").empty()) GTEST_SKIP() << "mkgmap is not installed";
    ASSERT_EQ(build_.exitCode, 0) << build_.out << build_.err;
    out_ = tempDir();
  }

  static std::string mk(const std::string& name) { return dir_ + "/mk/" + name; }

  // `velmor-cli gmap` on mkgmap's product, with `files` instead of all of them when given.
  static ProcessResult gmap(const std::string& out, std::vector<std::string> extra = {},
                            std::vector<std::string> files = {}) {
    if (files.empty()) files = {mk("osmmap.img"), mk("63240001.img"), mk("osmmap.mdx"), mk("osmmap_mdr.img")};
    std::vector<std::string> args = {VELMOR_CLI, "gmap", mk("osmmap.tdb")};
    args.insert(args.end(), files.begin(), files.end());
    args.insert(args.end(), {"--typ", dir_ + "/typ/style.typ", "-o", out});
    args.insert(args.end(), extra.begin(), extra.end());
    return runProcess(args);
  }

  // Nothing at all in `folder`: no bundle, no temporary folder.
  static void expectEmpty(const std::string& folder) {
    EXPECT_TRUE(fs::is_empty(folder)) << fs::directory_iterator(folder)->path();
  }

  static std::string dir_;
  static ProcessResult build_;
  std::string out_;
};

std::string MkgmapBundle::dir_;
ProcessResult MkgmapBundle::build_;

}  // namespace

TEST_F(MkgmapBundle, OurBundleIsMkgmapsBundleByteForByte) {
  ProcessResult r = gmap(out_, {"--typ-ids"});
  ASSERT_EQ(r.exitCode, 0) << r.err;
  const auto ours = treeOf(out_ + "/" + kBundle);
  const auto theirs = treeOf(mk(kBundle));
  std::vector<std::string> ourNames, theirNames;
  for (const auto& [name, bytes] : ours) ourNames.push_back(name);
  for (const auto& [name, bytes] : theirs) theirNames.push_back(name);
  ASSERT_EQ(ourNames, theirNames);
  for (const auto& [name, bytes] : theirs) EXPECT_EQ(ours.at(name), bytes) << name;

  // Element by element too, so that a difference says which one.
  auto a = parseInfoXml(textOf(out_ + "/" + kBundle + "/Info.xml"));
  auto b = parseInfoXml(textOf(mk(kBundle) + "/Info.xml"));
  ASSERT_TRUE(a && b);
  EXPECT_EQ(a->name, "Test Fam");
  EXPECT_EQ(a->name, b->name);
  EXPECT_EQ(a->dataVersion, b->dataVersion);
  EXPECT_EQ(a->id, b->id);
  EXPECT_EQ(a->idx, b->idx);
  EXPECT_EQ(a->mdr, b->mdr);
  EXPECT_EQ(a->typ, "xstyle.typ");
  EXPECT_EQ(a->typ, b->typ);
  ASSERT_EQ(a->subProducts.size(), 1u);
  ASSERT_EQ(b->subProducts.size(), 1u);
  EXPECT_EQ(a->subProducts[0].name, b->subProducts[0].name);
  EXPECT_EQ(a->subProducts[0].id, b->subProducts[0].id);
  EXPECT_EQ(a->subProducts[0].baseMap, b->subProducts[0].baseMap);
  EXPECT_EQ(a->subProducts[0].tdb, b->subProducts[0].tdb);
  EXPECT_EQ(a->subProducts[0].directory, b->subProducts[0].directory);

  // For macOS the same bundle goes inside NAME.gmapi.
  const std::string wrapped = tempDir();
  ASSERT_EQ(gmap(wrapped, {"--typ-ids", "--gmapi"}).exitCode, 0);
  EXPECT_EQ(treeOf(wrapped + "/Test Fam.gmapi/" + kBundle), ours);
}

// Told --overview-mapname=NUMBER, as map makers often tell it, mkgmap names
// the overview map like a tile. Its overview block keeps another number, the
// one inside the overview map: that tells which IMG it is.
TEST(MkgmapNumberedOverview, IsTheBundlesBaseMapAsInMkgmapsBundle) {
  if (findOnPath("mkgmap").empty()) GTEST_SKIP() << "mkgmap is not installed";
  const std::string dir = tempDir();
  ProcessResult built =
      runProcess({"mkgmap", "--family-id=4711", "--product-id=1", "--family-name=Num Fam", "--series-name=Num Series",
                  "--tdbfile", "--gmapi", "--overview-mapname=71110000", "test-map:all-elements"},
                 dir);
  ASSERT_EQ(built.exitCode, 0) << built.out << built.err;
  const std::string out = tempDir();
  ProcessResult r =
      runProcess({VELMOR_CLI, "gmap", dir + "/71110000.tdb", dir + "/63240001.img", dir + "/71110000.img", "-o", out});
  ASSERT_EQ(r.exitCode, 0) << r.err;
  EXPECT_EQ(treeOf(out + "/Num Fam.gmap"), treeOf(dir + "/Num Fam.gmap"));
  auto info = parseInfoXml(textOf(out + "/Num Fam.gmap/Info.xml"));
  ASSERT_TRUE(info && info->subProducts.size() == 1);
  EXPECT_EQ(info->subProducts[0].baseMap, "71110000");
}

TEST_F(MkgmapBundle, TypCommandWritesWhatMkgmapWritesForOtherIds) {
  const std::string typ = dir_ + "/typ/style.typ";
  ProcessResult shown = runProcess({VELMOR_CLI, "typ", typ});
  ASSERT_EQ(shown.exitCode, 0) << shown.err;
  EXPECT_EQ(shown.out, "family id: 1234\nproduct id: 5\ncode page: 1251\n");

  ProcessResult r = runProcess({VELMOR_CLI, "typ", typ, "--fid", "4711", "--pid", "1", "-o", out_ + "/x.typ"});
  ASSERT_EQ(r.exitCode, 0) << r.err;
  EXPECT_EQ(readFile(out_ + "/x.typ"), readFile(mk("xstyle.typ")));
  EXPECT_NE(runProcess({VELMOR_CLI, "typ", typ, "--fid", "65536", "-o", out_ + "/y.typ"}).exitCode, 0);
  EXPECT_NE(runProcess({VELMOR_CLI, "typ", mk("osmmap.tdb")}).exitCode, 0);
}

TEST_F(MkgmapBundle, ATypWithOtherIdsIsRefusedUnlessToldWhatToDo) {
  ProcessResult r = gmap(out_);
  EXPECT_EQ(r.exitCode, 1);
  EXPECT_NE(r.err.find("family 1234, product 5"), std::string::npos) << r.err;
  EXPECT_NE(r.err.find("--typ-ids"), std::string::npos) << r.err;
  expectEmpty(out_);
  ASSERT_EQ(gmap(out_, {"--keep-typ-ids"}).exitCode, 0);
  EXPECT_EQ(readFile(out_ + "/" + kBundle + "/style.typ"), readFile(dir_ + "/typ/style.typ"));
}

TEST_F(MkgmapBundle, BrokenInputLeavesNothingBehind) {
  // A tile whose directory places a subfile past the end of the file.
  Bytes tile = readFile(mk("63240001.img"));
  const std::size_t dirStart = tile[0x40] * 512u;
  const std::size_t entry = dirStart + 512;  // the first subfile's entry
  tile[entry + 0x20] = 0xF0;
  tile[entry + 0x21] = 0x7F;
  const std::string damaged = tempDir() + "/63240001.img";
  std::ofstream(damaged, std::ios::binary)
      .write(reinterpret_cast<const char*>(tile.data()), std::streamsize(tile.size()));
  ProcessResult r = gmap(out_, {"--typ-ids"}, {mk("osmmap.img"), damaged});
  EXPECT_EQ(r.exitCode, 1);
  EXPECT_NE(r.err.find("past the end"), std::string::npos) << r.err;
  expectEmpty(out_);

  r = gmap(out_, {"--typ-ids"}, {mk("osmmap.img"), mk("osmmap.mdx")});
  EXPECT_EQ(r.exitCode, 1);
  EXPECT_NE(r.err.find("Tile 63240001"), std::string::npos) << r.err;
  expectEmpty(out_);

  // A bundle that is there already stays as it was.
  ASSERT_EQ(gmap(out_, {"--typ-ids"}).exitCode, 0);
  const auto first = treeOf(out_);
  r = gmap(out_, {"--typ-ids", "--keep-typ-ids"});
  EXPECT_NE(r.exitCode, 0);
  r = gmap(out_, {"--keep-typ-ids"});
  EXPECT_EQ(r.exitCode, 1);
  EXPECT_NE(r.err.find("exists already"), std::string::npos) << r.err;
  EXPECT_EQ(treeOf(out_), first);

  // A folder that cannot be written in (root writes into any folder of a
  // disk: then /proc, which no one can add to).
  const std::string locked = tempDir();
  fs::permissions(locked, fs::perms::owner_read | fs::perms::owner_exec);
  r = gmap(::geteuid() == 0 ? "/proc" : locked, {"--typ-ids"});
  EXPECT_EQ(r.exitCode, 1);
  EXPECT_NE(r.err.find("Cannot write in"), std::string::npos) << r.err;
  fs::permissions(locked, fs::perms::owner_all);
  expectEmpty(locked);

  // A family name Windows cannot take as a folder name.
  const std::string renamed = tempDir() + "/osmmap.tdb";
  ASSERT_EQ(runProcess({VELMOR_CLI, "edit", mk("osmmap.tdb"), "--family-name", "Test: Fam", "-o", renamed}).exitCode,
            0);
  r = runProcess({VELMOR_CLI, "gmap", renamed, mk("osmmap.img"), mk("63240001.img"), "-o", out_ + "/"});
  EXPECT_EQ(r.exitCode, 1);
  EXPECT_NE(r.err.find("\":\""), std::string::npos) << r.err;
  EXPECT_EQ(treeOf(out_), first);
}

TEST_F(MkgmapBundle, InstalledBundleIsListedAndReplacedOnlyWhenAsked) {
  const std::string prefix = tempDir();
  fs::create_directories(prefix + "/drive_c/ProgramData");
  // A prefix is known by its registry; an empty one will do here.
  std::ofstream(prefix + "/system.reg") << "WINE REGISTRY Version 2\n#arch=win32\n";
  auto install = [&](std::vector<std::string> extra) {
    std::vector<std::string> args = {VELMOR_CLI,         "gmap",      mk("osmmap.tdb"), mk("osmmap.img"),
                                     mk("63240001.img"), "--install", "--wine-prefix",  prefix};
    args.insert(args.end(), extra.begin(), extra.end());
    return runProcess(args);
  };
  ProcessResult r = install({});
  ASSERT_EQ(r.exitCode, 0) << r.err;
  const std::string maps = prefix + "/drive_c/ProgramData/Garmin/Maps";
  ASSERT_TRUE(fs::exists(maps + "/" + kBundle + "/Product1/osmmap.tdb"));

  r = runProcess({VELMOR_CLI, "installed", "--json", "--wine-prefix", prefix});
  ASSERT_EQ(r.exitCode, 0) << r.err;
  const auto listed = nlohmann::json::parse(r.out);
  ASSERT_EQ(listed.size(), 1u) << r.out;
  EXPECT_EQ(listed[0]["bundle"], true);
  EXPECT_EQ(listed[0]["familyId"], 4711);
  EXPECT_EQ(listed[0]["productId"], 1);
  EXPECT_EQ(listed[0]["name"], "Test Fam");
  EXPECT_EQ(listed[0]["productName"], "Test Series");
  EXPECT_EQ(fs::path(listed[0]["file"].get<std::string>()), fs::path(maps + "/" + kBundle + "/Product1/osmmap.tdb"));

  // Again: not without --yes; with it, the new one (with a style now) takes its place.
  r = install({});
  EXPECT_EQ(r.exitCode, 1);
  EXPECT_FALSE(fs::exists(maps + "/" + kBundle + "/style.typ"));
  r = install({"--yes", "--typ", dir_ + "/typ/style.typ", "--keep-typ-ids"});
  ASSERT_EQ(r.exitCode, 0) << r.err;
  EXPECT_TRUE(fs::exists(maps + "/" + kBundle + "/style.typ"));
  std::vector<std::string> left;
  for (const auto& e : fs::directory_iterator(maps)) left.push_back(e.path().filename().string());
  EXPECT_EQ(left, std::vector<std::string>{kBundle});
}
