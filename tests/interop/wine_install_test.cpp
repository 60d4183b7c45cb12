// Installing an mkgmap product into a real Wine prefix: the registry file we
// write is imported by Wine's own regedit, and what the wineserver then
// writes to system.reg is what our listing reads back and opens. A fresh
// 64-bit prefix (the Debian default) is made once, so the keys lie under
// Wow6432Node as they do for MapSource.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <nlohmann/json.hpp>

#include "support/product_builder.hpp"
#include "support/run_process.hpp"
#include "support/test_files.hpp"

using namespace velmor::test;
namespace fs = std::filesystem;

namespace {

class WinePrefixInstall : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    if (findOnPath("wine").empty() || findOnPath("wineserver").empty()) return;
    root_ = tempDir();
    prefix_ = root_ + "/prefix";
    // Headless: no display is needed to make a prefix or to import, and the
    // Mono and Gecko installers are not wanted.
    env_ = {"WINEPREFIX=" + prefix_, "WINEDEBUG=-all", "WINEDLLOVERRIDES=mscoree,mshtml=", "DISPLAY="};
    boot_ = runProcess({"wine", "wineboot", "-i"}, root_, env_);
    runProcess({"wineserver", "-w"}, root_, env_);
  }

  static void TearDownTestSuite() {
    if (root_.empty()) return;
    runProcess({"wineserver", "-k"}, root_, env_);
    std::error_code ec;
    fs::remove_all(root_, ec);  // a prefix takes hundreds of megabytes
  }

  void SetUp() override {
    if (root_.empty()) GTEST_SKIP() << "wine is not installed";
    ASSERT_TRUE(fs::exists(prefix_ + "/system.reg")) << boot_.out << boot_.err;
  }

  static ProcessResult cli(std::vector<std::string> args) {
    args.insert(args.begin(), VELMOR_CLI);
    return runProcess(args, root_, {"WINEDEBUG=-all", "WINEDLLOVERRIDES=mscoree,mshtml=", "DISPLAY="});
  }

  static std::string root_;
  static std::string prefix_;
  static std::vector<std::string> env_;
  static ProcessResult boot_;
};

std::string WinePrefixInstall::root_;
std::string WinePrefixInstall::prefix_;
std::vector<std::string> WinePrefixInstall::env_;
ProcessResult WinePrefixInstall::boot_;

}  // namespace

TEST_F(WinePrefixInstall, RegistryFileImportedByWineIsListedAndItsProductOpens) {
  // mkgmap's north set, in a folder of the prefix's drive C whose name has a
  // blank and capitals.
  const fs::path maps = fs::path(prefix_) / "drive_c/Maps/North Set";
  fs::create_directories(maps);
  std::vector<std::string> files;
  for (const char* name : {"north.tdb", "north.img", "north.mdx", "north_mdr.img", "63240001.img", "63240002.img"}) {
    fs::copy_file(std::string(VELMOR_TEST_DATA) + "/north/" + name, maps / name);
    files.push_back((maps / name).string());
  }

  std::vector<std::string> reg = {"reg", "--name", "North Topo", "--fid", "4660", "--wine-prefix", prefix_, "--import"};
  reg.insert(reg.end(), files.begin(), files.end());
  ProcessResult written = cli(reg);
  ASSERT_EQ(written.exitCode, 0) << written.out << written.err;
  const std::string regFile = (maps / "North Topo.reg").string();
  EXPECT_EQ(written.out, regFile + "\n");
  EXPECT_NE(slurp(regFile).find("\"TDB\"=\"C:\\\\Maps\\\\North Set\\\\north.tdb\"\r\n"), std::string::npos);
  // The wineserver writes the registry to system.reg when the last program has ended.
  runProcess({"wineserver", "-w"}, root_, env_);
  const std::string systemReg = slurp(prefix_ + "/system.reg");
  EXPECT_NE(systemReg.find("[Software\\\\Wow6432Node\\\\Garmin\\\\MapSource\\\\Families\\\\North Topo\\\\1]"),
            std::string::npos);

  // BaseCamp's map folder: a TYP file beside Product1.
  const fs::path gmap = fs::path(prefix_) / "drive_c/ProgramData/Garmin/Maps/North.gmap";
  fs::create_directories(gmap / "Product1");
  std::ofstream(gmap / "north.typ") << "typ";
  fs::copy_file(maps / "north.tdb", gmap / "Product1/north.tdb");

  ProcessResult listed = cli({"installed", "--wine-prefix", prefix_, "--json"});
  ASSERT_EQ(listed.exitCode, 0) << listed.err;
  const auto products = nlohmann::json::parse(listed.out);
  ASSERT_EQ(products.size(), 2u) << listed.out;
  EXPECT_EQ(products[0]["name"], "north topo");
  EXPECT_EQ(products[0]["line"], "    north topo   c:\\maps\\north set");
  EXPECT_EQ(products[0]["tdb"], "c:\\maps\\north set\\north.tdb");
  // The lower-case path leads to the file as it is written on this disk.
  ASSERT_EQ(products[0]["file"], (maps / "north.tdb").string());
  EXPECT_EQ(products[1]["line"], "    4660 North Series");
  EXPECT_EQ(products[1]["file"], (gmap / "Product1/north.tdb").string());

  ProcessResult shown = cli({"show", products[0]["file"].get<std::string>(), "--json"});
  ASSERT_EQ(shown.exitCode, 0) << shown.err;
  const auto product = nlohmann::json::parse(shown.out);
  EXPECT_EQ(product["header"]["familyId"], 4660);
  EXPECT_EQ(product["tiles"].size(), 2u);

  // The Windows build, run in the same prefix, reads the same registry
  // through the Win32 calls and must list exactly the same products; only
  // where the files lie here is said the Windows way.
  if (!fs::exists(VELMOR_WINDOWS_CLI)) GTEST_SKIP() << "no Windows build at " << VELMOR_WINDOWS_CLI;
  ProcessResult windows = runProcess({"wine", VELMOR_WINDOWS_CLI, "installed", "--json"}, root_, env_);
  ASSERT_EQ(windows.exitCode, 0) << windows.err;
  auto seen = nlohmann::json::parse(windows.out);
  ASSERT_EQ(seen.size(), products.size()) << windows.out;
  for (std::size_t k = 0; k < products.size(); ++k) {
    EXPECT_FALSE(seen[k]["file"].is_null()) << windows.out;
    seen[k]["file"] = products[k]["file"];
  }
  EXPECT_EQ(seen, products) << windows.out;
  EXPECT_EQ(nlohmann::json::parse(windows.out)[0]["file"], "c:\\maps\\north set\\north.tdb");
}
