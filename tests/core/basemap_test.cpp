// Create Basemap with stand-in compilers (small shell scripts that record
// how they were started) on a system folder whose name a command
// interpreter would split and run: what is run, what is kept, what is said.
#ifndef _WIN32
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "core/install/basemap.hpp"
#include "core/platform/file_services.hpp"
#include "support/lock_holder.hpp"
#include "support/product_builder.hpp"
#include "support/scripted_prompter.hpp"

using namespace velmor;
using namespace velmor::test;

namespace {

namespace fs = std::filesystem;

std::string readBytes(const std::string& path) {
  const Bytes bytes = readFile(path);
  return std::string(bytes.begin(), bytes.end());
}

void writeFile(const std::string& path, const std::string& text) { std::ofstream(path, std::ios::binary) << text; }

std::vector<std::string> lines(const std::string& path) {
  std::vector<std::string> out;
  std::istringstream in(readBytes(path));
  for (std::string line; std::getline(in, line);) out.push_back(line);
  return out;
}

class Basemap : public ::testing::Test {
 protected:
  void SetUp() override {
    root_ = tempDir();
    // Blanks, "&", a semicolon and quotes: one argument all the same.
    system_ = root_ + "/sys & echo 'x'; \"q\"";
    fs::create_directories(system_);
    record_ = root_ + "/record.txt";
  }

  // A stand-in compiler: records its argument count, its arguments and its
  // folder, then runs `body`.
  std::string compiler(const std::string& name, const std::string& body) {
    const std::string path = root_ + "/" + name;
    writeFile(path, "#!/bin/sh\n{ echo \"$#\"; for a in \"$@\"; do echo \"$a\"; done; pwd; } > '" + record_ +
                        "'\n" + body + "\n");
    ::chmod(path.c_str(), 0755);
    return path;
  }

  BasemapJob job(const std::string& compilerPath, const std::string& target) {
    BasemapJob j;
    j.source.overviewNumberText = "3E8";
    j.source.north = "52";
    j.source.east = "1";
    j.source.south = "50";
    j.source.west = "-1";
    j.source.tiles.push_back({"Caf\u00E9", "63240001", "51.5", "0.5", "51", "0"});
    j.target = target;
    j.systemFolder = system_;
    j.compilerPath = compilerPath;
    return j;
  }

  BasemapOutcome run(BasemapJob& j, Prompter& prompter, std::string mkgmap = "") {
    int polls = 0;
    BasemapServices services{prompter, systemFiles(), systemProcesses(), [&polls] { ++polls; }};
    services.findMkgmap = [mkgmap] { return mkgmap; };
    return create_basemap(j, services);
  }

  std::string root_, system_, record_;
};

// cgpsmapper leaves pv.img beside pv.mp; this one copies the map source.
const char* kCopyingCgpsmapper = "cp \"$1\" \"${1%.mp}.img\"";

}  // namespace

TEST_F(Basemap, CgpsmapperGetsTheMapSourceAsOneArgumentAndItsMapIsCopiedOntoTheTarget) {
  const std::string cgpsmapper = compiler("cgpsmapper", kCopyingCgpsmapper);
  const std::string target = root_ + "/Roads.IMG";
  BasemapJob j = job(cgpsmapper, target);
  ScriptedPrompter prompter;
  prompter.expectMessage("mp saved").expectMessage("New basemap created");
  EXPECT_EQ(run(j, prompter).status, BasemapStatus::Created);

  EXPECT_EQ(lines(record_), (std::vector<std::string>{"1", system_ + "/pv.mp", system_}));
  // The target keeps its letter case; it holds what the compiler made from
  // the map source, whose label is in the product's code page for cgpsmapper.
  const std::string map = readBytes(target);
  EXPECT_NE(map.find("Label=Caf\xE9~[0x1d]63240001\r\n"), std::string::npos);
  EXPECT_FALSE(fs::exists(system_ + "/pv.mp"));
  EXPECT_FALSE(fs::exists(root_ + "/Roads_bak.img"));
}

TEST_F(Basemap, AMapLeftByAnEarlierRunIsNeverTakenForANewOne) {
  const std::string target = root_ + "/roads.img";
  writeFile(system_ + "/pv.img", "from an earlier run");
  BasemapJob j = job(compiler("cgpsmapper", "exit 0"), target);
  ScriptedPrompter prompter;
  prompter.expectMessage("mp saved").expectMessage("Not successful");
  EXPECT_EQ(run(j, prompter).status, BasemapStatus::NotSuccessful);
  EXPECT_FALSE(fs::exists(target));
  EXPECT_FALSE(fs::exists(system_ + "/pv.mp"));

  // A map source that cannot be written stops the command before the
  // compiler ever sees the folder.
  fs::remove(record_);
  BasemapJob lost = job(compiler("cgpsmapper", kCopyingCgpsmapper), target);
  lost.systemFolder = root_ + "/no such folder";
  RecordingPrompter said;
  EXPECT_EQ(run(lost, said).status, BasemapStatus::Stopped);
  ASSERT_EQ(said.messages.size(), 1u);
  EXPECT_EQ(said.messages[0].rfind(lost.systemFolder + "/pv.mp ", 0), 0u) << said.messages[0];
  EXPECT_FALSE(fs::exists(record_));
}

TEST_F(Basemap, ReplacingAskedFirstWithOneReadOnlyBackupMadeOnce) {
  const std::string cgpsmapper = compiler("cgpsmapper", kCopyingCgpsmapper);
  const std::string target = root_ + "/roads.img";
  const std::string backup = root_ + "/roads_bak.img";
  writeFile(target, "the basemap before");
  {
    BasemapJob j = job(cgpsmapper, target);
    ScriptedPrompter prompter;
    prompter.expectMessage("mp saved").expectQuestion("File exists\r\nReplace " + target + "?", Answer::No);
    EXPECT_EQ(run(j, prompter).status, BasemapStatus::Stopped);
    EXPECT_EQ(readBytes(target), "the basemap before");
  }
  {
    BasemapJob j = job(cgpsmapper, target);
    ScriptedPrompter prompter;
    prompter.expectMessage("mp saved")
        .expectQuestion("File exists\r\nReplace " + target + "?", Answer::Yes)
        .expectMessage("Backup:" + backup + " created")
        .expectMessage("New basemap created");
    EXPECT_EQ(run(j, prompter).status, BasemapStatus::Created);
  }
  EXPECT_EQ(readBytes(backup), "the basemap before");
  EXPECT_EQ(fs::status(backup).permissions() & fs::perms::owner_write, fs::perms::none);
  {
    // The backup is never replaced.
    BasemapJob j = job(cgpsmapper, target);
    j.source.tiles[0].description = "Second run";
    ScriptedPrompter prompter;
    prompter.expectMessage("mp saved")
        .expectQuestion("File exists\r\nReplace " + target + "?", Answer::Yes)
        .expectMessage("New basemap created");
    EXPECT_EQ(run(j, prompter).status, BasemapStatus::Created);
  }
  EXPECT_EQ(readBytes(backup), "the basemap before");
  EXPECT_NE(readBytes(target).find("Label=Second run~"), std::string::npos);
  {
    // MapSource holds the basemap open: said so, nothing replaced.
    LockHolder mapsource(target, LockHolder::Kind::Record);
    ASSERT_TRUE(mapsource.locked());
    BasemapJob j = job(cgpsmapper, target);
    ScriptedPrompter prompter;
    prompter.expectMessage("mp saved")
        .expectQuestion("File exists\r\nReplace " + target + "?", Answer::Yes)
        .expectMessage("Close Mapsource and try again");
    EXPECT_EQ(run(j, prompter).status, BasemapStatus::Stopped);
    EXPECT_NE(readBytes(target).find("Label=Second run~"), std::string::npos);
    EXPECT_FALSE(fs::exists(system_ + "/pv.mp"));
  }
}

TEST_F(Basemap, MissingOrCrashingCompilerIsReportedWithItsOwnText) {
  const std::string target = root_ + "/roads.img";
  {
    BasemapJob j = job("", target);
    ScriptedPrompter prompter;
    prompter.expectMessage("mp saved").expectMessage("Cannot locate cgpsmapper. Check Settings.");
    EXPECT_EQ(run(j, prompter).status, BasemapStatus::Stopped);
    EXPECT_TRUE(fs::exists(system_ + "/pv.mp"));  // kept for a look at it
  }
  // A compiler set but gone: the message names the kind that was set and
  // the path looked for, not always cgpsmapper.
  for (const std::string& gone : {root_ + "/tools/mkgmap", root_ + "/tools/cgpsmapper.exe"}) {
    BasemapJob j = job(gone, target);
    ScriptedPrompter prompter;
    const std::string kind = gone.ends_with("mkgmap") ? "mkgmap" : "cgpsmapper";
    prompter.expectMessage("mp saved")
        .expectMessage("Cannot locate " + kind + ". Check Settings. The map compiler set is " + gone +
                       ", which is not a file.");
    EXPECT_EQ(run(j, prompter).status, BasemapStatus::Stopped);
  }
  {
    const std::string crashing = compiler("cgpsmapper", "kill -SEGV $$");
    BasemapJob j = job(crashing, target);
    ScriptedPrompter prompter;
    prompter.expectMessage("mp saved").expectMessage("The map compiler " + crashing + " ended abnormally (signal 11).");
    EXPECT_EQ(run(j, prompter).status, BasemapStatus::Stopped);
    EXPECT_FALSE(fs::exists(target));
  }
}

TEST_F(Basemap, MkgmapOnPathIsOfferedAndRunWithItsOwnOptions) {
  // mkgmap names its map after --mapname in --output-dir.
  const std::string mkgmap = compiler(
      "mkgmap",
      "for a in \"$@\"; do case \"$a\" in --output-dir=*) d=\"${a#*=}\";; --mapname=*) n=\"${a#*=}\";; esac; done\n"
      "cp pv.mp \"$d/$n.img\"");
  const std::string target = root_ + "/roads.img";
  BasemapJob j = job("  ", target);
  ScriptedPrompter prompter;
  prompter.expectQuestion("No map compiler is set. Use mkgmap (" + mkgmap + ")?", Answer::Yes)
      .expectMessage("mp saved")
      .expectMessage("New basemap created");
  const BasemapOutcome outcome = run(j, prompter, mkgmap);
  EXPECT_EQ(outcome.status, BasemapStatus::Created);
  EXPECT_TRUE(outcome.compilerChosen);
  EXPECT_EQ(j.compilerPath, mkgmap);
  EXPECT_EQ(lines(record_), (std::vector<std::string>{"5", "--output-dir=" + system_ + "/mkgmap", "--mapname=00001000",
                                                      "--no-tdbfile", "--code-page=1252", "pv.mp", system_}));
  // mkgmap reads the labels right as UTF-8 under the same header.
  const std::string map = readBytes(target);
  EXPECT_NE(map.find("Label=Caf\xC3\xA9~[0x1d]63240001\r\n"), std::string::npos);
  EXPECT_NE(map.find(";CodePage=1252\r\n"), std::string::npos);

  // An overview number of more than 8 digits cannot name an mkgmap map.
  BasemapJob big = job(mkgmap, target);
  big.source.overviewNumberText = "FFFFFFFF";
  ScriptedPrompter refused;
  refused.expectMessage("mp saved")
      .expectMessage("mkgmap names a map with 8 digits: the overview map number 4294967295 has more. "
                     "Choose a smaller Overview Number.");
  EXPECT_EQ(run(big, refused).status, BasemapStatus::Stopped);
}
#endif
