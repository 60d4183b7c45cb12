// A product check and a verified install on real parts: two products that
// mkgmap builds from its own test map with the same family id, a fresh Wine
// prefix, the registry file imported by Wine's regedit and read back, the
// clash found by check, the moved folder found by installed --check, and
// the uninstall file removing the keys again.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>

#include "support/product_builder.hpp"
#include "support/run_process.hpp"

using namespace velmor::test;
namespace fs = std::filesystem;

namespace {

class CheckAndInstall : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    if (findOnPath("wine").empty() || findOnPath("mkgmap").empty()) return;
    root_ = tempDir();
    prefix_ = root_ + "/prefix";
    env_ = {"WINEPREFIX=" + prefix_, "WINEDEBUG=-all", "WINEDLLOVERRIDES=mscoree,mshtml=", "DISPLAY="};
    boot_ = runProcess({"wine", "wineboot", "-i"}, root_, env_);
    runProcess({"wineserver", "-w"}, root_, env_);
    // Two products of family 4321 and a rebuild of the second with 4322.
    build("first", 4321, 7111);
    build("second", 4321, 7222);
    build("rebuilt", 4322, 7222);
  }

  static void TearDownTestSuite() {
    if (root_.empty()) return;
    runProcess({"wineserver", "-k"}, root_, env_);
    std::error_code ec;
    fs::remove_all(root_, ec);
  }

  void SetUp() override {
    if (root_.empty()) GTEST_SKIP() << "wine or mkgmap is not installed";
    ASSERT_TRUE(fs::exists(prefix_ + "/system.reg")) << boot_.out << boot_.err;
    for (const auto& [name, result] : builds_) ASSERT_EQ(result.exitCode, 0) << name << result.out << result.err;
  }

  static void build(const std::string& name, int familyId, int mapBase) {
    const std::string folder = root_ + "/" + name;
    fs::create_directories(folder);
    builds_.emplace_back(
        name, runProcess({"mkgmap", "--tdbfile", "--family-id=" + std::to_string(familyId), "--product-id=2",
                          "--series-name=Check " + name, "--overview-mapname=" + std::to_string(mapBase) + "0000",
                          "--mapname=" + std::to_string(mapBase) + "0001", "test-map:all-elements"},
                         folder));
  }

  static std::string product(const std::string& name, int mapBase) {
    return root_ + "/" + name + "/" + std::to_string(mapBase) + "0000.tdb";
  }

  static ProcessResult cli(std::vector<std::string> args) {
    args.insert(args.begin(), VELMOR_CLI);
    return runProcess(args, root_, {"WINEDEBUG=-all", "WINEDLLOVERRIDES=mscoree,mshtml=", "DISPLAY="});
  }

  static std::string systemReg() {
    runProcess({"wineserver", "-w"}, root_, env_);  // the registry reaches system.reg when the server ends
    std::ifstream in(prefix_ + "/system.reg", std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
  }

  static std::string root_;
  static std::string prefix_;
  static std::vector<std::string> env_;
  static ProcessResult boot_;
  static std::vector<std::pair<std::string, ProcessResult>> builds_;
};

std::string CheckAndInstall::root_;
std::string CheckAndInstall::prefix_;
std::vector<std::string> CheckAndInstall::env_;
ProcessResult CheckAndInstall::boot_;
std::vector<std::pair<std::string, ProcessResult>> CheckAndInstall::builds_;

}  // namespace

TEST_F(CheckAndInstall, ClashFoundMovedFolderFoundAndUninstallRemovesTheKeys) {
  // The first product with a TYP of its family, installed and read back.
  const std::string first = root_ + "/first";
  velmor::Bytes typ(0x5B, 0);
  typ[0] = 0x5B;
  const std::string signature = "GARMIN TYP";
  std::copy(signature.begin(), signature.end(), typ.begin() + 2);
  typ[0x2F] = 4321 & 0xFF;
  typ[0x30] = 4321 >> 8;
  typ[0x31] = 2;
  std::ofstream(first + "/First.typ", std::ios::binary).write(reinterpret_cast<const char*>(typ.data()), 0x5B);
  std::vector<std::string> reg = {"reg",  "--name",        "Check First", "--fid",
                                  "4321", "--wine-prefix", prefix_,       "--import"};
  for (const char* name : {"71110000.tdb", "71110000.img", "71110001.img", "First.typ"})
    reg.push_back(first + "/" + name);
  const ProcessResult installed = cli(reg);
  ASSERT_EQ(installed.exitCode, 0) << installed.out << installed.err;
  // The one message: written, imported and, read back, what is installed
  // (under the product id 2, with the TYP).
  EXPECT_NE(installed.err.find("Imported. The registry now holds:"), std::string::npos) << installed.err;
  EXPECT_NE(installed.err.find("SOFTWARE\\Garmin\\MapSource\\Families\\Check First\\2\r\n"), std::string::npos);
  std::string windowsFirst = "Z:" + first;
  std::replace(windowsFirst.begin(), windowsFirst.end(), '/', '\\');
  EXPECT_NE(installed.err.find("    TYP = " + windowsFirst + "\\First.typ\r\n"), std::string::npos) << installed.err;
  const std::string registry = systemReg();
  EXPECT_NE(registry.find("Families\\\\Check First\\\\2]"), std::string::npos);
  EXPECT_NE(registry.find("\"TYP\"=\"Z:"), std::string::npos);
  // mkgmap named the overview map by its number; it is the basemap all the same.
  EXPECT_NE(installed.err.find("    BMAP = " + windowsFirst + "\\71110000.img\r\n"), std::string::npos)
      << installed.err;
  EXPECT_NE(registry.find("\"BMAP\"=\"Z:"), std::string::npos);

  // The second product has the same family id: check names the clash.
  ProcessResult clash = cli({"check", product("second", 7222), "--wine-prefix", prefix_});
  EXPECT_EQ(clash.exitCode, 1) << clash.out << clash.err;
  EXPECT_NE(clash.out.find("error: family id 4321 is already used by installed product \"check first\""),
            std::string::npos)
      << clash.out;
  EXPECT_EQ(clash.out.rfind("error: ", 0), 0u) << "errors come first:\n" << clash.out;
  // Rebuilt with another family id it checks clean.
  ProcessResult clean = cli({"check", product("rebuilt", 7222), "--wine-prefix", prefix_});
  EXPECT_EQ(clean.exitCode, 0) << clean.out << clean.err;
  EXPECT_EQ(clean.out.find("error:"), std::string::npos) << clean.out;
  EXPECT_NE(clean.out.find("ok: 1 detail map, each with its IMG of the same subfiles and sizes"), std::string::npos)
      << clean.out;

  // The first product's folder moved away: installed --check names what is gone.
  ASSERT_EQ(cli({"installed", "--check", "--wine-prefix", prefix_}).exitCode, 0);
  fs::rename(first, root_ + "/first-moved");
  ProcessResult moved = cli({"installed", "--check", "--wine-prefix", prefix_});
  EXPECT_EQ(moved.exitCode, 1) << moved.out;
  for (const char* gone : {"TYP names a file that does not exist", "LOC names a folder that does not exist",
                           "TDB names a file that does not exist"})
    EXPECT_NE(moved.out.find(gone), std::string::npos) << moved.out;
  EXPECT_NE(moved.out.find("TDB names a file that does not exist: Z:"), std::string::npos) << moved.out;
  EXPECT_NE(moved.out.find("LOC names a folder that does not exist: Z:"), std::string::npos) << moved.out;

  // The uninstall file removes the keys, as read back.
  const std::string removal = root_ + "/remove.reg";
  ProcessResult removed =
      cli({"reg", "--uninstall", "Check First", "-o", removal, "--wine-prefix", prefix_, "--import"});
  EXPECT_EQ(removed.exitCode, 0) << removed.out << removed.err;
  EXPECT_NE(removed.err.find("Removed: the registry no longer holds"), std::string::npos) << removed.err;
  EXPECT_EQ(systemReg().find("Check First"), std::string::npos);
  EXPECT_EQ(cli({"installed", "--check", "--wine-prefix", prefix_}).exitCode, 0);
}

TEST_F(CheckAndInstall, AKeyNameOf255CharactersInstallsAndOneOf256IsRefused) {
  const std::string folder = root_ + "/rebuilt";
  const std::string longest(255, 'k');
  ProcessResult fits = cli({"reg", "--name", longest, "--fid", "4322", "--wine-prefix", prefix_, "--import", "-o",
                            root_ + "/long.reg", folder + "/72220000.tdb"});
  EXPECT_EQ(fits.exitCode, 0) << fits.err;
  EXPECT_NE(fits.err.find("Imported. The registry now holds:"), std::string::npos) << fits.err;

  ProcessResult tooLong = cli({"reg", "--name", longest + "k", "--fid", "4322", "--wine-prefix", prefix_, "-o",
                               root_ + "/longer.reg", folder + "/72220000.tdb"});
  EXPECT_EQ(tooLong.exitCode, 1);
  EXPECT_NE(tooLong.err.find("The Mapsource Name is 256 characters long, but a registry key name holds at most 255."),
            std::string::npos)
      << tooLong.err;
  EXPECT_FALSE(fs::exists(root_ + "/longer.reg"));
  cli({"reg", "--uninstall", longest, "-o", root_ + "/unlong.reg", "--wine-prefix", prefix_, "--import"});
}
