// Create Basemap with stand-in compilers (small shell scripts that record
// how they were started) on a system folder whose name a command
// interpreter would split and run: what is run, what is kept, what is said.
#ifndef _WIN32
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <signal.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <thread>

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
    writeFile(path, "#!/bin/sh\n{ echo \"$#\"; for a in \"$@\"; do echo \"$a\"; done; pwd; } > '" + record_ + "'\n" +
                        body + "\n");
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

  BasemapOutcome run(BasemapJob& j, Prompter& prompter, std::string mkgmap = "",
                     const std::function<void(BasemapServices&)>& adjust = {}) {
    int polls = 0;
    BasemapServices services{prompter, systemFiles(), systemProcesses(), [&polls] { ++polls; }};
    services.findMkgmap = [mkgmap] { return mkgmap; };
    if (adjust) adjust(services);
    return create_basemap(j, services);
  }

  // What is left in the system folder besides a kept pv.mp: no work folder.
  std::vector<std::string> leftInSystemFolder() const {
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(system_)) names.push_back(entry.path().filename().string());
    return names;
  }

  std::string root_, system_, record_;
};

// cgpsmapper leaves pv.img beside pv.mp; this one copies the map source.
const char* kCopyingCgpsmapper = "cp \"$1\" \"${1%.mp}.img\"";

// Whether the process has gone (a zombie waiting for its reaper counts as
// gone); waits up to two seconds for it.
bool processGone(const std::string& pidFile) {
  int pid = 0;
  std::ifstream(pidFile) >> pid;
  if (pid <= 0) return false;
  for (int k = 0; k < 200; ++k) {
    std::string state;
    std::ifstream stat("/proc/" + std::to_string(pid) + "/stat");
    std::string skip;
    if (!(stat >> skip >> skip >> state) || state == "Z") return true;
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  return false;
}

}  // namespace

TEST_F(Basemap, CgpsmapperGetsTheMapSourceAsOneArgumentAndItsMapIsCopiedOntoTheTarget) {
  const std::string cgpsmapper = compiler("cgpsmapper", kCopyingCgpsmapper);
  const std::string target = root_ + "/Roads.IMG";
  BasemapJob j = job(cgpsmapper, target);
  ScriptedPrompter prompter;
  prompter.expectMessage("mp saved").expectMessage("New basemap created");
  EXPECT_EQ(run(j, prompter).status, BasemapStatus::Created);

  // It ran in a work folder of this run's own below the system folder,
  // which is gone again.
  const std::vector<std::string> seen = lines(record_);
  ASSERT_EQ(seen.size(), 3u);
  EXPECT_EQ(seen[0], "1");
  EXPECT_EQ(seen[1], seen[2] + "/pv.mp");
  EXPECT_EQ(seen[2].rfind(system_ + "/basemap-", 0), 0u) << seen[2];
  EXPECT_FALSE(fs::exists(seen[2]));
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
  EXPECT_EQ(said.messages[0].rfind("Cannot make a work folder in " + lost.systemFolder + ": ", 0), 0u)
      << said.messages[0];
  EXPECT_FALSE(fs::exists(record_));
}

TEST_F(Basemap, WorkFoldersOfKilledRunsAreClearedAndThoseOfRunningOnesKept) {
  auto workFolder = [this](const std::string& name, bool withLock) {
    const std::string folder = system_ + "/" + name;
    fs::create_directories(folder);
    writeFile(folder + "/pv.mp", "left");
    if (withLock) writeFile(folder + "/run.lock", "");
    return folder;
  };
  // A run killed mid-compile left its folder with a lock nobody holds.
  const std::string killed = workFolder("basemap-0000dead", true);
  // Another run is compiling: it holds its lock.
  const std::string running = workFolder("basemap-0000beef", true);
  LockHolder other(running + "/run.lock", LockHolder::Kind::Whole);
  ASSERT_TRUE(other.locked());
  // Without a lock file: an old folder is a leftover, a new one may be a
  // run that is just making its lock.
  const std::string old = workFolder("basemap-00000001", false);
  fs::last_write_time(old, fs::file_time_type::clock::now() - std::chrono::hours(1));
  const std::string fresh = workFolder("basemap-00000002", false);
  // Names that are not ours are never touched.
  const std::string mine = workFolder("basemap-mine", true);
  fs::create_directory_symlink(mine, system_ + "/basemap-0000cafe");

  // The compiler looks whether its run holds the lock of its own folder.
  const std::string looks = "if flock -n run.lock true; then echo free; else echo held; fi >> '" + record_ + "'\n";
  BasemapJob j = job(compiler("cgpsmapper", looks + kCopyingCgpsmapper), root_ + "/roads.img");
  ScriptedPrompter prompter;
  prompter.expectMessage("mp saved").expectMessage("New basemap created");
  EXPECT_EQ(run(j, prompter).status, BasemapStatus::Created);
  const std::vector<std::string> seen = lines(record_);
  ASSERT_EQ(seen.size(), 4u);
  EXPECT_EQ(seen[3], "held");
  EXPECT_FALSE(fs::exists(seen[2]));
  EXPECT_FALSE(fs::exists(killed));
  EXPECT_FALSE(fs::exists(old));
  EXPECT_TRUE(fs::exists(running + "/pv.mp"));
  EXPECT_TRUE(fs::exists(fresh + "/pv.mp"));
  EXPECT_TRUE(fs::exists(mine + "/pv.mp"));
  EXPECT_TRUE(fs::is_symlink(system_ + "/basemap-0000cafe"));
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
    prompter.expectMessage("mp saved")
        .expectMessage("The map compiler " + crashing + " ended abnormally (signal 11). Nothing was replaced.");
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
  const std::vector<std::string> seen = lines(record_);
  ASSERT_EQ(seen.size(), 8u);
  const std::string work = seen.back();
  EXPECT_EQ(seen, (std::vector<std::string>{"6", "--output-dir=" + work, "--mapname=00001000", "--no-tdbfile",
                                            "--code-page=1252", "--lower-case", "pv.mp", work}));
  // mkgmap reads the labels right as UTF-8 under the same header.
  const std::string map = readBytes(target);
  EXPECT_NE(map.find("Label=Caf\xC3\xA9~[0x1d]63240001\r\n"), std::string::npos);
  EXPECT_NE(map.find(";CodePage=1252\r\n"), std::string::npos);

  // An overview number of more than 8 digits cannot name an mkgmap map.
  BasemapJob big = job(mkgmap, target);
  big.source.overviewNumberText = "FFFFFFFF";
  ScriptedPrompter refused;
  refused.expectMessage("mp saved")
      .expectMessage(
          "mkgmap names a map with 8 digits: the overview map number 4294967295 has more. "
          "Choose a smaller Overview Number.");
  EXPECT_EQ(run(big, refused).status, BasemapStatus::Stopped);
}

TEST_F(Basemap, AFailingCompilerLeavesItsHalfWrittenMapUnusedAndItsLastErrorLinesAreShown) {
  const std::string target = root_ + "/roads.img";
  writeFile(target, "the basemap before");
  const std::string failing =
      compiler("cgpsmapper", std::string(kCopyingCgpsmapper) +
                                 "\ni=1; while [ $i -le 12 ]; do echo \"error line $i\" >&2; i=$((i+1)); done; exit 1");
  BasemapJob j = job(failing, target);
  ScriptedPrompter prompter;
  std::string shown = "The map compiler " + failing + " failed (exit code 1). Nothing was replaced.";
  for (int line = 3; line <= 12; ++line) shown += "\nerror line " + std::to_string(line);
  prompter.expectMessage("mp saved").expectMessage(shown);
  EXPECT_EQ(run(j, prompter).status, BasemapStatus::Stopped);
  EXPECT_EQ(readBytes(target), "the basemap before");
  EXPECT_FALSE(fs::exists(root_ + "/roads_bak.img"));
  EXPECT_TRUE(leftInSystemFolder().empty());

  // mkgmap's map left in its output folder before a failure is no map either.
  const std::string mkgmap = compiler("mkgmap",
                                      "for a in \"$@\"; do case \"$a\" in --output-dir=*) d=\"${a#*=}\";; esac; done\n"
                                      "cp pv.mp \"$d/00001000.img\"; exit 2");
  BasemapJob m = job(mkgmap, target);
  RecordingPrompter said;
  EXPECT_EQ(run(m, said).status, BasemapStatus::Stopped);
  ASSERT_EQ(said.messages.size(), 2u);
  EXPECT_EQ(said.messages[1], "The map compiler " + mkgmap + " failed (exit code 2). Nothing was replaced.");
  EXPECT_EQ(readBytes(target), "the basemap before");
}

TEST_F(Basemap, TwoRunsAtOnceOnOneSystemFolderEachCompileTheirOwnProduct) {
  // Slow enough that the two runs overlap from map source to copy.
  const std::string slow = compiler("cgpsmapper", std::string("sleep 0.4; ") + kCopyingCgpsmapper);
  BasemapJob first = job(slow, root_ + "/first.img");
  first.source.tiles[0].description = "First product";
  BasemapJob second = job(slow, root_ + "/second.img");
  second.source.tiles[0].description = "Second product";
  RecordingPrompter saidFirst, saidSecond;
  BasemapStatus firstStatus{}, secondStatus{};
  std::thread other([&] { secondStatus = run(second, saidSecond).status; });
  std::this_thread::sleep_for(std::chrono::milliseconds(100));
  firstStatus = run(first, saidFirst).status;
  other.join();
  ASSERT_EQ(firstStatus, BasemapStatus::Created);
  ASSERT_EQ(secondStatus, BasemapStatus::Created);
  const std::string a = readBytes(root_ + "/first.img");
  const std::string b = readBytes(root_ + "/second.img");
  EXPECT_NE(a.find("Label=First product~"), std::string::npos);
  EXPECT_EQ(a.find("Second product"), std::string::npos);
  EXPECT_NE(b.find("Label=Second product~"), std::string::npos);
  EXPECT_EQ(b.find("First product"), std::string::npos);
  EXPECT_TRUE(leftInSystemFolder().empty());
}

TEST_F(Basemap, ACompilerPastItsTimeOrCancelledIsStoppedWithWhatItStartedAndNothingIsReplaced) {
  const std::string target = root_ + "/roads.img";
  writeFile(target, "the basemap before");
  const std::string child = root_ + "/child.pid";
  // A compiler that hangs in a program of its own, as java or wine would.
  const std::string hanging = compiler("cgpsmapper", "sleep 300 & echo $! > '" + child + "'; wait");
  {
    BasemapJob j = job(hanging, target);
    ScriptedPrompter prompter;
    prompter.expectMessage("mp saved")
        .expectMessage("The map compiler " + hanging +
                       " did not finish within 1 s and was stopped. Nothing was replaced.");
    const BasemapOutcome outcome =
        run(j, prompter, "", [](BasemapServices& s) { s.compilerTimeout = std::chrono::seconds(1); });
    EXPECT_EQ(outcome.status, BasemapStatus::Stopped);
    EXPECT_TRUE(processGone(child));
  }
  fs::remove(child);
  {
    BasemapJob j = job(hanging, target);
    ScriptedPrompter prompter;
    prompter.expectMessage("mp saved")
        .expectMessage("Create Basemap was cancelled: the map compiler " + hanging +
                       " was stopped. Nothing was replaced.");
    // The user cancels once the compiler is well under way.
    const BasemapOutcome outcome =
        run(j, prompter, "", [&child](BasemapServices& s) { s.cancelled = [&child] { return fs::exists(child); }; });
    EXPECT_EQ(outcome.status, BasemapStatus::Stopped);
    EXPECT_TRUE(processGone(child));
  }
  EXPECT_EQ(readBytes(target), "the basemap before");
  EXPECT_TRUE(leftInSystemFolder().empty());
}

TEST_F(Basemap, ARelativeCompilerIsResolvedOnceAndRunByItsAbsolutePath) {
  compiler("cgpsmapper", kCopyingCgpsmapper);
  // A program of the same name in the system folder is never the one run.
  writeFile(system_ + "/cgpsmapper", "#!/bin/sh\necho decoy > '" + root_ + "/decoy.txt'\n");
  ::chmod((system_ + "/cgpsmapper").c_str(), 0755);
  const fs::path before = fs::current_path();
  fs::current_path(root_);
  EXPECT_EQ(resolveCompiler(" ./cgpsmapper "), root_ + "/cgpsmapper");
  EXPECT_EQ(resolveCompiler("./no such compiler"), "");
  BasemapJob j = job("./cgpsmapper", root_ + "/roads.img");
  ScriptedPrompter prompter;
  prompter.expectMessage("mp saved").expectMessage("New basemap created");
  EXPECT_EQ(run(j, prompter).status, BasemapStatus::Created);
  fs::current_path(before);
  EXPECT_FALSE(fs::exists(root_ + "/decoy.txt"));
  EXPECT_EQ(lines(record_).at(0), "1");
  // A bare name is the program PATH holds.
  EXPECT_EQ(resolveCompiler("sh"), findOnPath("sh"));
}

TEST_F(Basemap, AProductFileIsNeverTheTargetWhateverItIsCalled) {
  const std::string cgpsmapper = compiler("cgpsmapper", kCopyingCgpsmapper);
  const std::string product = root_ + "/roads.tdb";
  writeFile(product, "the product");
  const std::string alias = root_ + "/roads.img";
  fs::create_symlink(product, alias);
  for (const std::string& target : {product, root_ + "/Other.TDB", alias}) {
    BasemapJob j = job(cgpsmapper, target);
    j.productPath = product;
    ScriptedPrompter prompter;
    prompter.expectMessage("A basemap is never written over a product file: " + target + ". Choose an .img file.");
    EXPECT_EQ(run(j, prompter).status, BasemapStatus::Stopped);
  }
  EXPECT_EQ(readBytes(product), "the product");
  EXPECT_FALSE(fs::exists(root_ + "/Other.TDB"));
  EXPECT_FALSE(fs::exists(record_));
  EXPECT_TRUE(leftInSystemFolder().empty());
}
#endif
