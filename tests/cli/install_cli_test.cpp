// velmor-cli reg and installed against a Wine prefix laid out on disk as Wine
// lays it out (drives, system.reg), without running Wine; velmor-cli basemap
// with a stand-in compiler.
#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <filesystem>
#include <fstream>
#include <thread>

#include "support/product_builder.hpp"
#include "support/run_process.hpp"
#include "support/test_files.hpp"
#include "support/cli_run.hpp"

using namespace velmor;
using namespace velmor::test;
namespace fs = std::filesystem;

namespace {

// A 64-bit prefix whose drive C holds Maps/Alps with the product's files.
fs::path makePrefix() {
  const fs::path prefix = fs::canonical(tempDir());
  fs::create_directories(prefix / "drive_c/Maps/Alps");
  fs::create_directories(prefix / "dosdevices");
  fs::create_directory_symlink("../drive_c", prefix / "dosdevices/c:");
  fs::create_directory_symlink("/", prefix / "dosdevices/z:");
  fs::copy_file(std::string(VELMOR_TEST_DATA) + "/wine/system.reg", prefix / "system.reg");
  for (const char* name : {"alps.mdx", "basemap.img"}) std::ofstream(prefix / "drive_c/Maps/Alps" / name);
  // A product file of family 4660, product 3: what reg checks its options against.
  const velmor::Bytes header = block(0x50, headerBody(3, 4660, 409, "Alps", "Alps", defaultTail(58)));
  std::ofstream(prefix / "drive_c/Maps/Alps/alps.tdb", std::ios::binary)
      .write(reinterpret_cast<const char*>(header.data()), static_cast<std::streamsize>(header.size()));
  return prefix;
}

}  // namespace

TEST(CliReg, FolderAndBranchFollowTheWinePrefixUnlessToldOtherwise) {
  const fs::path prefix = makePrefix();
  const fs::path alps = prefix / "drive_c/Maps/Alps";
  const std::vector<std::string> files = {(alps / "alps.tdb").string(), (alps / "alps.mdx").string(),
                                          (alps / "basemap.img").string()};

  std::vector<std::string> args = {"reg", "--name", "Alps Topo", "--fid", "4660", "--wine-prefix", prefix.string()};
  args.insert(args.end(), files.begin(), files.end());
  ProcessResult r = cli(args);
  ASSERT_EQ(r.exitCode, 0) << r.err;
  const std::string text = slurp((alps / "Alps Topo.reg").string());
  EXPECT_NE(text.find("[HKEY_LOCAL_MACHINE\\SOFTWARE\\Wow6432Node\\Garmin\\MapSource\\Families\\Alps Topo]\r\n"),
            std::string::npos);
  EXPECT_NE(text.find("\"TDB\"=\"C:\\\\Maps\\\\Alps\\\\alps.tdb\"\r\n"), std::string::npos);

  // A Windows folder is written as given; --32 chooses the branch; -o the place.
  const std::string out = (prefix / "other.reg").string();
  args = {"reg",      "--name",           "Alps Topo", "--fid", "4660",          "--32",
          "--folder", "D:\\Karten\\Alps", "-o",        out,     "--wine-prefix", prefix.string()};
  args.insert(args.end(), files.begin(), files.end());
  r = cli(args);
  ASSERT_EQ(r.exitCode, 0) << r.err;
  EXPECT_EQ(r.out, out + "\n");
  EXPECT_NE(slurp(out).find("[HKEY_LOCAL_MACHINE\\SOFTWARE\\Garmin\\MapSource\\Families\\Alps Topo\\3]\r\n"
                            "\"LOC\"=\"D:\\\\Karten\\\\Alps\\\\\"\r\n"),
            std::string::npos);

  // An import that cannot happen (no prefix there) leaves the file written, says how, and exits 1.
  args = {"reg", "--name", "Alps Topo", "--fid",         "4660",
          "-o",  out,      "--import",  "--wine-prefix", (prefix / "none").string()};
  args.insert(args.end(), files.begin(), files.end());
  r = cli(args);
  EXPECT_EQ(r.exitCode, 1);
  EXPECT_TRUE(fs::exists(out));
  EXPECT_NE(r.err.find("was written but not imported"), std::string::npos) << r.err;

  // A refusal prints its message, exits 1 and writes nothing.
  fs::remove(out);
  args = {"reg", "--name", "Alps/Topo", "--fid", "4660", "-o", out, "--wine-prefix", prefix.string()};
  args.insert(args.end(), files.begin(), files.end());
  r = cli(args);
  EXPECT_EQ(r.exitCode, 1);
  EXPECT_NE(r.err.find("The Mapsource Name \"Alps/Topo\" cannot be used"), std::string::npos) << r.err;
  EXPECT_FALSE(fs::exists(out));
  r = cli({"reg", "--name", "Alps", "--fid", "1", "-o", out, files[0], files[0]});
  EXPECT_EQ(r.exitCode, 1);
  EXPECT_NE(r.err.find("Can't have 2 tdb files"), std::string::npos);
  EXPECT_FALSE(fs::exists(out));

  // What reg is given must agree with the product file, or --yes insists.
  r = cli({"reg", "--name", "Alps", "--fid", "4661", "-o", out, "--wine-prefix", prefix.string(), files[0]});
  EXPECT_EQ(r.exitCode, 1);
  EXPECT_NE(r.err.find("--fid 4661 is not the family id of " + files[0] + " (4660)"), std::string::npos) << r.err;
  EXPECT_FALSE(fs::exists(out));
  const std::string missing = (alps / "gone.tdb").string();
  r = cli({"reg", "--name", "Alps", "--fid", "4660", "-o", out, "--wine-prefix", prefix.string(), missing});
  EXPECT_EQ(r.exitCode, 1);
  EXPECT_NE(r.err.find("The product file " + missing + " cannot be read. Pass --yes"), std::string::npos) << r.err;
  EXPECT_FALSE(fs::exists(out));
  r = cli({"reg", "--name", "Alps", "--fid", "4660", "-o", out, "--wine-prefix", prefix.string(), "--yes", missing});
  EXPECT_EQ(r.exitCode, 0) << r.err;
  EXPECT_NE(slurp(out).find("\\Alps\\1]\r\n"), std::string::npos);  // no product id to take: 1
}

TEST(CliInstalled, AFolderThatIsNoPrefixIsSaidToBeNone) {
  const std::string folder = tempDir();
  for (const std::vector<std::string>& args :
       {std::vector<std::string>{"installed", "--wine-prefix", folder},
        {"installed", "--check", "--wine-prefix", folder},
        {"check", std::string(VELMOR_TEST_DATA) + "/north/north.tdb", "--wine-prefix", folder}}) {
    ProcessResult r = cli(args);
    EXPECT_EQ(r.exitCode, 2) << args[0];
    EXPECT_EQ(r.err, folder + " is not a Wine prefix (it holds no system.reg).\n");
    EXPECT_EQ(r.out, "");
  }
}

TEST(CliInstalled, ListsThePrefixRegistryAndSaysWhichFilesAreHere) {
  const fs::path prefix = makePrefix();
  ProcessResult r = cli({"installed", "--wine-prefix", prefix.string(), "--json"});
  ASSERT_EQ(r.exitCode, 0) << r.err;
  // Alps Topo's product file is in the prefix; Grid's is not.
  EXPECT_NE(r.out.find("\"tdb\": \"c:\\\\maps\\\\alps\\\\alps.tdb\",\n    \"file\": \"" +
                       (prefix / "drive_c/Maps/Alps/alps.tdb").string() + "\""),
            std::string::npos)
      << r.out;
  EXPECT_NE(r.out.find("\"tdb\": \"z:\\\\tmp\\\\grid\\\\grid.tdb\",\n    \"file\": null"), std::string::npos);
  // A folder that is no prefix is said to be none: an empty list would read as "nothing installed".
  r = cli({"installed", "--wine-prefix", prefix.string() + "/none"});
  EXPECT_EQ(r.exitCode, 2);
  EXPECT_EQ(r.out, "");
  EXPECT_NE(r.err.find("is not a Wine prefix"), std::string::npos) << r.err;
}

#ifndef _WIN32
TEST(CliBasemap, AnInterruptStopsTheCompilerWithWhatItStartedAndLeavesNothingBehind) {
  const std::string dir = fs::canonical(tempDir()).string();
  const std::string home = dir + "/home";
  fs::create_directories(home);
  const std::string product = dir + "/north.tdb";
  fs::copy_file(std::string(VELMOR_TEST_DATA) + "/north/north.tdb", product);
  const std::string productBytes = slurp(product);

  // Ctrl+C in the terminal: the compiler has a group of its own, so only
  // velmor-cli is told, as this compiler tells it.
  const std::string child = dir + "/child.pid";
  const std::string compiler = dir + "/cgpsmapper";
  std::ofstream(compiler) << "#!/bin/sh\nsleep 300 & echo $! > '" << child << "'\nkill -INT $PPID\nwait\n";
  fs::permissions(compiler, fs::perms::owner_all);
  const std::string target = dir + "/north.img";
  ProcessResult r =
      runProcess({VELMOR_CLI, "basemap", product, "-o", target, "--compiler", compiler}, dir, {"VELMOR_HOME=" + home});
  EXPECT_EQ(r.exitCode, 130) << r.err;
  EXPECT_NE(
      r.err.find("Create Basemap was cancelled: the map compiler " + compiler + " was stopped. Nothing was replaced."),
      std::string::npos)
      << r.err;
  EXPECT_FALSE(fs::exists(target));
  int pid = 0;
  std::ifstream(child) >> pid;
  ASSERT_GT(pid, 0);
  bool gone = false;
  for (int k = 0; k < 200 && !gone; ++k) {
    std::ifstream stat("/proc/" + std::to_string(pid) + "/stat");
    std::string skip, state;
    gone = !(stat >> skip >> skip >> state) || state == "Z";
    if (!gone) std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  EXPECT_TRUE(gone) << "the compiler's own child still runs";
  // Neither a map source nor a work folder stays behind.
  auto workFolders = [&home] {
    int found = 0;
    for (const auto& entry : fs::recursive_directory_iterator(home)) {
      const std::string name = entry.path().filename().string();
      // A map source only ever inside a work folder.
      if (name == "pv.mp") {
        EXPECT_EQ(entry.path().parent_path().filename().string().rfind("basemap-", 0), 0u);
      }
      if (name.rfind("basemap-", 0) == 0) ++found;
    }
    return found;
  };
  EXPECT_EQ(workFolders(), 0);

  // A kill gives velmor-cli no chance to clear up: its work folder stays
  // until the next run, which clears it and leaves none of its own.
  auto standIn = [&dir](const std::string& kind, const std::string& body) {
    fs::create_directories(dir + "/" + kind);
    const std::string path = dir + "/" + kind + "/cgpsmapper";
    std::ofstream(path) << "#!/bin/sh\n" << body << "\n";
    fs::permissions(path, fs::perms::owner_all);
    return path;
  };
  const std::vector<std::string> env{"VELMOR_HOME=" + home};
  ProcessResult killed = runProcess(
      {VELMOR_CLI, "basemap", product, "-o", target, "--compiler", standIn("killing", "kill -KILL $PPID")}, dir, env);
  EXPECT_EQ(killed.exitCode, 128 + SIGKILL);
  EXPECT_EQ(workFolders(), 1);
  ProcessResult next = runProcess(
      {VELMOR_CLI, "basemap", product, "-o", target, "--compiler", standIn("copying", "cp \"$1\" \"${1%.mp}.img\"")},
      dir, env);
  EXPECT_EQ(next.exitCode, 0) << next.err;
  EXPECT_TRUE(fs::exists(target));
  EXPECT_EQ(workFolders(), 0);

  // The product file itself as the target: refused before anything is written.
  ProcessResult over = runProcess({VELMOR_CLI, "basemap", product, "-o", product, "--compiler", compiler, "--yes"}, dir,
                                  {"VELMOR_HOME=" + home});
  EXPECT_EQ(over.exitCode, 1);
  EXPECT_NE(over.err.find("A basemap is never written over a product file: " + product), std::string::npos) << over.err;
  EXPECT_EQ(slurp(product), productBytes);
  EXPECT_FALSE(fs::exists(dir + "/north_bak.img"));
}
#endif
