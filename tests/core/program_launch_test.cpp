// The launch button with a stand-in MapSource, a stand-in native program and
// a stand-in `wine` on the PATH, all of which record how they were started;
// the tile cache they find; the browse rules of "Locate Programs".
#ifndef _WIN32
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <thread>

#include "core/install/locate_programs.hpp"
#include "core/install/program_launch.hpp"
#include "support/product_builder.hpp"
#include "support/scripted_prompter.hpp"

using namespace velmor;
using namespace velmor::test;

namespace {

namespace fs = std::filesystem;

void writeFile(const std::string& path, const std::string& text) { std::ofstream(path, std::ios::binary) << text; }

std::string recorder(const std::string& path, const std::string& record) {
  writeFile(path,
            "#!/bin/sh\n{ echo \"$#\"; for a in \"$@\"; do echo \"$a\"; done; echo \"WINEPREFIX=$WINEPREFIX\"; } > '" +
                record + ".tmp' && mv '" + record + ".tmp' '" + record + "'\n");
  ::chmod(path.c_str(), 0755);
  return path;
}

// A started program runs on its own; its record appears when it has run.
std::vector<std::string> awaitRecord(const std::string& record) {
  for (int k = 0; k < 500 && !fs::exists(record); ++k) std::this_thread::sleep_for(std::chrono::milliseconds(10));
  std::vector<std::string> out;
  std::ifstream in(record);
  for (std::string line; std::getline(in, line);) out.push_back(line);
  return out;
}

class Launch : public ::testing::Test {
 protected:
  void SetUp() override {
    root_ = tempDir();
    fs::create_directories(root_ + "/bin");
    // A Wine prefix with MapSource in it and its tile cache.
    prefix_ = root_ + "/garmin prefix";
    cache_ = prefix_ + "/drive_c/users/ann/AppData/Roaming/Garmin/MapSource/TileCache";
    fs::create_directories(cache_ + "/sub");
    writeFile(prefix_ + "/system.reg", "WINE REGISTRY Version 2\n");
    for (const char* name : {"a", "b", "c", "sub/kept", ".hidden"}) writeFile(cache_ + "/" + name, "tile");
    writeFile(root_ + "/outside", "not the cache's");
    fs::create_symlink(root_ + "/outside", cache_ + "/link");
    fs::create_directories(prefix_ + "/drive_c/Program Files/Garmin");
    mapsource_ = prefix_ + "/drive_c/Program Files/Garmin/Map & 'Source'.exe";
    writeFile(mapsource_, "MZ");
    oldPath_ = std::getenv("PATH") ? std::getenv("PATH") : "";
    ::setenv("PATH", (root_ + "/bin:" + oldPath_).c_str(), 1);
    facts_.appData = "C:\\users\\ann\\AppData\\Roaming";
    facts_.winePrefix = prefix_;
  }
  void TearDown() override { ::setenv("PATH", oldPath_.c_str(), 1); }

  int cacheEntries() const {
    int n = 0;
    for ([[maybe_unused]] const auto& entry : fs::directory_iterator(cache_)) ++n;
    return n;
  }

  std::string root_, prefix_, cache_, mapsource_, oldPath_;
  LocationFacts facts_;
};

}  // namespace

TEST_F(Launch, MapSourceStartsUnderWineInItsOwnPrefixAfterItsCacheIsEmptied) {
  recorder(root_ + "/bin/wine", root_ + "/wine.txt");
  Settings settings;
  settings.mapSourcePath = "  " + mapsource_ + " ";
  settings.clearCache = true;
  const ProgramLocations locations(facts_);
  ScriptedPrompter prompter;
  EXPECT_EQ(launchDefaultProgram({false, settings, locations}, prompter, systemProcesses()), LaunchOutcome::Started);

  // One argument however the path is written; the prefix the program lives in.
  EXPECT_EQ(awaitRecord(root_ + "/wine.txt"), (std::vector<std::string>{"1", mapsource_, "WINEPREFIX=" + prefix_}));
  // Files directly inside went, the link as a link; the folder, the hidden
  // file and what the link named stay.
  for (const char* gone : {"a", "b", "c", "link"})
    EXPECT_FALSE(fs::exists(fs::symlink_status(cache_ + "/" + gone))) << gone;
  EXPECT_TRUE(fs::exists(cache_ + "/sub/kept"));
  EXPECT_TRUE(fs::exists(cache_ + "/.hidden"));
  EXPECT_TRUE(fs::exists(root_ + "/outside"));
}

TEST_F(Launch, ACacheThatIsALinkOrLeadsOutOfThePrefixIsNotClearedAndTheUserIsTold) {
  recorder(root_ + "/bin/wine", root_ + "/wine.txt");
  // The user's own files, which a linked cache names.
  const std::string photos = root_ + "/photos";
  fs::create_directories(photos);
  writeFile(photos + "/holiday.jpg", "mine");
  Settings settings;
  settings.mapSourcePath = mapsource_;
  settings.clearCache = true;
  const ProgramLocations locations(facts_);
  const std::string shown = locations.mapSourceTileCache();
  fs::rename(cache_, root_ + "/old cache");
  fs::create_symlink(photos, cache_);
  {
    ScriptedPrompter prompter;
    prompter.expectMessage("The tile cache " + shown + " was not cleared: it is a symbolic link.");
    EXPECT_EQ(launchDefaultProgram({false, settings, locations}, prompter, systemProcesses()), LaunchOutcome::Started);
    EXPECT_TRUE(fs::exists(photos + "/holiday.jpg"));
  }
  // A link further up the way leads out of the prefix just the same.
  fs::remove(cache_);
  const std::string garmin = prefix_ + "/drive_c/users/ann/AppData/Roaming/Garmin";
  fs::rename(garmin, root_ + "/old garmin");
  fs::create_directories(root_ + "/elsewhere/MapSource");
  fs::create_symlink(root_ + "/elsewhere", garmin);
  fs::create_directories(root_ + "/elsewhere/MapSource/TileCache");
  writeFile(root_ + "/elsewhere/MapSource/TileCache/tile", "x");
  {
    ScriptedPrompter prompter;
    prompter.expectMessage("The tile cache " + shown + " was not cleared: it leads out of " + prefix_ + " (to " +
                           fs::canonical(root_ + "/elsewhere/MapSource/TileCache").string() + ").");
    EXPECT_EQ(launchDefaultProgram({false, settings, locations}, prompter, systemProcesses()), LaunchOutcome::Started);
  }
  EXPECT_TRUE(fs::exists(photos + "/holiday.jpg"));
  EXPECT_TRUE(fs::exists(root_ + "/elsewhere/MapSource/TileCache/tile"));
}

TEST_F(Launch, CacheStaysWhenClearingIsOffOrTheProgramKeepsNone) {
  recorder(root_ + "/bin/wine", root_ + "/wine.txt");
  const std::string qmapshack = recorder(root_ + "/qmapshack", root_ + "/native.txt");
  Settings settings;
  settings.mapSourcePath = mapsource_;
  settings.qlandkartePath = qmapshack;
  const ProgramLocations locations(facts_);
  ScriptedPrompter prompter;
  const int before = cacheEntries();
  EXPECT_EQ(launchDefaultProgram({false, settings, locations}, prompter, systemProcesses()), LaunchOutcome::Started);
  awaitRecord(root_ + "/wine.txt");
  EXPECT_EQ(cacheEntries(), before);

  // QlandkarteGT: no cache cleared even with clearing on; a native program
  // is started itself, not through wine.
  settings.clearCache = true;
  settings.defaultProgram = 2;
  EXPECT_EQ(launchDefaultProgram({false, settings, locations}, prompter, systemProcesses()), LaunchOutcome::Started);
  EXPECT_EQ(awaitRecord(root_ + "/native.txt").at(0), "0");
  EXPECT_EQ(cacheEntries(), before);
}

TEST_F(Launch, UnsavedChangesMissingProgramAndMissingWineEachStopTheStart) {
  Settings settings;
  settings.clearCache = true;
  settings.mapSourcePath = mapsource_;
  const ProgramLocations locations(facts_);
  const int before = cacheEntries();
  {
    ScriptedPrompter prompter;
    prompter.expectQuestion("Changes have not been saved. Continue?", Answer::No);
    EXPECT_EQ(launchDefaultProgram({true, settings, locations}, prompter, systemProcesses()),
              LaunchOutcome::NotConfirmed);
  }
  {
    Settings elsewhere = settings;
    elsewhere.defaultProgram = 1;  // BaseCamp, never located
    ScriptedPrompter prompter;
    prompter.expectMessage("Please locate program in Preferences.");
    EXPECT_EQ(launchDefaultProgram({false, elsewhere, locations}, prompter, systemProcesses()),
              LaunchOutcome::NotLocated);
  }
  EXPECT_EQ(cacheEntries(), before);
  {
    // Nothing on this PATH starts a Windows program.
    ::setenv("PATH", (root_ + "/bin").c_str(), 1);
    ScriptedPrompter prompter;
    prompter.expectMessage("Cannot launch file . No association with 'exe' files.");
    EXPECT_EQ(launchDefaultProgram({false, settings, locations}, prompter, systemProcesses()),
              LaunchOutcome::NoAssociation);
  }
}

TEST_F(Launch, TileCachesAreFoundInThePrefixWhenTheEnvironmentNamesNone) {
  LocationFacts facts;
  facts.winePrefix = prefix_;
  const std::string user = std::getenv("USER") ? std::getenv("USER") : "";
  ::setenv("USER", "ann", 1);
  const ProgramLocations fromPrefix(facts);
  ::setenv("USER", user.c_str(), 1);
  EXPECT_EQ(fromPrefix.appData(), "C:\\users\\ann\\AppData\\Roaming");
  // Looked up without regard to case, as Windows would.
  EXPECT_EQ(fromPrefix.mapSourceTileCache(), fs::canonical(cache_).string());
  EXPECT_EQ(fromPrefix.programFilesFolder(false), fs::canonical(prefix_ + "/drive_c/Program Files").string());
  EXPECT_EQ(baseCampTileCachePath("C:\\Users\\Ann\\AppData\\Roaming"),
            "C:\\Users\\Ann\\AppData\\local\\Garmin\\BaseCamp\\TileCache");
  // No AppData and no prefix: no cache folder at all, never a relative one.
  EXPECT_EQ(ProgramLocations(LocationFacts{}).mapSourceTileCache(), "");
  EXPECT_EQ(mapSourceTileCachePath(""), "");
  // A Windows program runs in the prefix it is installed in, whichever is
  // the default one.
  LocationFacts other;
  other.winePrefix = root_ + "/another prefix";
  EXPECT_EQ(ProgramLocations(other).winePrefixFor(mapsource_), prefix_);
  EXPECT_EQ(ProgramLocations(other).winePrefixFor(root_ + "/outside.exe"), other.winePrefix);
}

TEST_F(Launch, BrowsedProgramsAreJudgedByTheirFileName) {
  const std::string folder = root_ + "/maps.old";
  fs::create_directories(folder);
  for (const char* name : {"MapSource.EXE", "notes.txt", "qmapshack"}) writeFile(folder + "/" + name, "");
  ScriptedPrompter prompter;
  prompter.expectMessage("Mapsource not found.")
      .expectMessage("Basecamp not found.")
      .expectMessage("This is not an exe file.");
  EXPECT_EQ(acceptBrowsedProgram(ProgramRow::MapSource, folder + "/MapSource.EXE", prompter),
            folder + "/MapSource.EXE");
  EXPECT_FALSE(acceptBrowsedProgram(ProgramRow::MapSource, folder + "/qmapshack", prompter));
  EXPECT_FALSE(acceptBrowsedProgram(ProgramRow::BaseCamp, folder + "/notes.txt", prompter));
  EXPECT_FALSE(acceptBrowsedProgram(ProgramRow::Qlandkarte, folder + "/notes.txt", prompter));
  // A native program without extension, in a folder with a dot.
  EXPECT_EQ(acceptBrowsedProgram(ProgramRow::Qlandkarte, folder + "/qmapshack", prompter), folder + "/qmapshack");
  EXPECT_FALSE(acceptBrowsedProgram(ProgramRow::MapSource, folder + "/missing.exe", prompter));

  EXPECT_EQ(browseStartFolder("C:\\Garmin\\MapSource.exe", "/velmor"), "C:\\Garmin");
  EXPECT_EQ(browseStartFolder("", "/velmor"), "/velmor");
  // A program in the root folder starts the browse there; a stored folder
  // (no file name after its separator) or a bare name starts in ours.
  EXPECT_EQ(browseStartFolder("/mapsource.exe", "/velmor"), "/");
  EXPECT_EQ(browseStartFolder("C:\\Garmin\\", "/velmor"), "/velmor");
  EXPECT_EQ(browseStartFolder("mapsource.exe", "/velmor"), "/velmor");
  // A QlandkarteGT path that is gone gives way to the program-files folder,
  // kept even when the browse is then cancelled.
  Settings settings;
  settings.qlandkartePath = root_ + "/gone/qlandkartegt.exe";
  LocationFacts facts;
  facts.winePrefix = prefix_;
  facts.programFiles = "C:\\Program Files";
  const std::string start = qlandkarteBrowseStart(settings, ProgramLocations(facts));
  EXPECT_EQ(start, fs::canonical(prefix_ + "/drive_c/Program Files").string());
  EXPECT_EQ(settings.qlandkartePath, start);
}
#endif
