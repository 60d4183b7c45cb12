// The settings file: its exact line format, what a partial or odd file
// reads as, and where it lives.
#include <gtest/gtest.h>
#include <cstring>
#ifndef _WIN32
#include <sys/resource.h>
#include <sys/wait.h>

#include <csignal>
#endif

#include <filesystem>
#include <fstream>

#include "core/settings/program_folder.hpp"
#include "core/settings/recent_files.hpp"
#include "core/settings/settings.hpp"
#include "core/settings/settings_file.hpp"
#include "core/settings/text_file.hpp"
#include "support/product_builder.hpp"
#include "support/scripted_prompter.hpp"
#include "support/system_texts.hpp"

namespace velmor {
namespace {

std::vector<std::string> linesOf(const std::string& text) {
  std::vector<std::string> lines;
  std::size_t start = 0;
  for (std::size_t p; (p = text.find("\r\n", start)) != std::string::npos; start = p + 2)
    lines.push_back(text.substr(start, p - start));
  EXPECT_EQ(start, text.size()) << "text does not end in CR LF";
  return lines;
}

TEST(SettingsText, DefaultsWriteThirtyFourLines) {
  Settings s;
  std::string text = settingsText(s);
  auto lines = linesOf(text);
  ASSERT_EQ(lines.size(), 34u);
  EXPECT_EQ(lines[0], "123");
  for (int i = 1; i <= 6; ++i) EXPECT_EQ(lines[static_cast<std::size_t>(i)], " ") << i;
  EXPECT_EQ(lines[13], "False");
  EXPECT_EQ(lines[14], " ");
  EXPECT_EQ(lines[15], "");
  EXPECT_EQ(lines[19], "0");
  EXPECT_EQ(lines[21], "0");
  EXPECT_EQ(lines[33], "0");
  EXPECT_EQ(text.find('\n'), 4u);  // "123\r\n"
}

TEST(SettingsText, EveryLineInItsPlace) {
  Settings s;
  s.recentFiles = {"c:\\a.tdb", "", "   ", "d:\\b.tdb", "", "\\\\server\\c.tdb"};
  s.startPath = "c:\\start";
  s.dialogPath = "c:\\dialog\\x.tdb";
  s.reserved9 = "nine";
  s.reserved10 = " ten ";
  s.mapCompilerPath = "c:\\cgps\\cgpsmapper.exe";
  s.mapSourcePath = "c:\\ms\\mapsource.exe";
  s.reserved14 = "fourteen";
  s.reserved15 = "";
  s.lastMapFolder = "c:\\maps";
  s.blockColour = -16777216;
  s.blockBorderColour = 255;
  s.moreOptionsShown = true;
  s.baseCampPath = "c:\\bc\\basecamp.exe";
  s.imgPanelLeft = 1234.5f;
  s.imgPanelTop = 0.1f;
  s.overrideSettings = true;
  s.windowWidth = 15360;
  s.windowHeight = 11520;
  s.logsEnabled = true;
  s.newLogEachDay = false;
  s.windowTop = -60;
  s.windowLeft = 7.25f;
  s.suppressCrashWarnings = true;
  s.clearCache = false;
  s.qlandkartePath = "/usr/bin/qlandkartegt";
  s.defaultProgram = 2;
  std::string expected =
      "123\r\nc:\\a.tdb\r\n \r\n \r\nd:\\b.tdb\r\n \r\n\\\\server\\c.tdb\r\n"
      "c:\\start\r\nc:\\dialog\\x.tdb\r\nnine\r\n ten \r\nc:\\cgps\\cgpsmapper.exe\r\n"
      "c:\\ms\\mapsource.exe\r\nFalse\r\nfourteen\r\n\r\nc:\\maps\r\n-16777216\r\n255\r\n1\r\n"
      "c:\\bc\\basecamp.exe\r\n1234.5\r\n0.1\r\n1\r\n15360\r\n11520\r\n1\r\n0\r\n-60\r\n7.25\r\n"
      "1\r\n0\r\n/usr/bin/qlandkartegt\r\n2\r\n";
  EXPECT_EQ(settingsText(s), expected);

  // Read back into fresh settings: everything but the unread window top/left returns.
  Settings back;
  parseSettings(expected, back);
  EXPECT_EQ(back.recentFiles[0], "c:\\a.tdb");
  EXPECT_EQ(back.recentFiles[1], "");
  EXPECT_EQ(back.recentFiles[2], "");
  EXPECT_EQ(back.recentFiles[5], "\\\\server\\c.tdb");
  EXPECT_EQ(back.reserved10, " ten ");
  EXPECT_EQ(back.blockColour, -16777216);
  EXPECT_FLOAT_EQ(back.imgPanelLeft, 1234.5f);
  EXPECT_FLOAT_EQ(back.imgPanelTop, 0.1f);
  EXPECT_TRUE(back.overrideSettings);
  EXPECT_EQ(back.windowWidth, 15360);
  EXPECT_EQ(back.defaultProgram, 2);
  EXPECT_EQ(back.windowTop, 0.0f);
  EXPECT_EQ(back.windowLeft, 0.0f);
  back.windowTop = -60;
  back.windowLeft = 7.25f;
  EXPECT_EQ(settingsText(back), expected);
}

TEST(SettingsParse, ShortFileKeepsTheRest) {
  Settings s;
  s.mapSourcePath = "kept";
  s.logsEnabled = true;
  s.blockColour = 77;
  parseSettings("123\r\nc:\\x.tdb\r\n \r\n", s);
  EXPECT_EQ(s.recentFiles[0], "c:\\x.tdb");
  EXPECT_EQ(s.recentFiles[1], "");
  EXPECT_EQ(s.mapSourcePath, "kept");
  EXPECT_TRUE(s.logsEnabled);
  EXPECT_EQ(s.blockColour, 77);
  // Window sizes are raised even when their lines are missing.
  EXPECT_EQ(s.windowWidth, 1000);
  EXPECT_EQ(s.windowHeight, 1000);
}

TEST(SettingsParse, OddLines) {
  std::vector<std::string> lines(34, "");
  lines[0] = "whatever";
  lines[13] = "1";       // reads false whatever it holds
  lines[17] = "red";     // does not convert: kept
  lines[18] = "12,5";    // not a whole number: kept
  lines[21] = "12,5";    // single precision accepts ","
  lines[22] = "1E+300";  // beyond single precision: kept
  lines[24] = "999";
  lines[25] = "-5";
  lines[26] = "1";
  lines[27] = "x";
  lines[33] = "7";  // no such program: kept
  std::string text;
  for (auto& l : lines) text += l + "\r\n";
  text += "line 34\r\nline 35\r\n";  // ignored
  Settings s;
  s.newLogEachDay = true;
  s.defaultProgram = 1;
  s.flag13 = true;
  parseSettings(text, s);
  EXPECT_FALSE(s.flag13);
  EXPECT_EQ(s.blockColour, kDefaultBlockColour);
  EXPECT_EQ(s.blockBorderColour, kDefaultBlockBorderColour);
  EXPECT_FLOAT_EQ(s.imgPanelLeft, 12.5f);
  EXPECT_EQ(s.imgPanelTop, 0.0f);
  EXPECT_EQ(s.windowWidth, 1000);
  EXPECT_EQ(s.windowHeight, 1000);
  EXPECT_TRUE(s.logsEnabled);
  EXPECT_TRUE(s.newLogEachDay);
  EXPECT_EQ(s.defaultProgram, 1);
  EXPECT_EQ(linesOf(settingsText(s))[13], "False");
}

TEST(SettingsParse, ReservedLinesComeBackExactly) {
  std::string text =
      "123\r\n \r\n \r\n \r\n \r\n \r\n \r\n\r\n\r\n  a\tb  \r\nÄ;\"x\"\r\nc:\\cg.exe\r\n\r\nTrue\r\n\r\n q \r\n";
  Settings s;
  parseSettings(text, s);
  auto lines = linesOf(settingsText(s));
  EXPECT_EQ(lines[9], "  a\tb  ");
  EXPECT_EQ(lines[10], "Ä;\"x\"");
  EXPECT_EQ(lines[11], "c:\\cg.exe");
  EXPECT_EQ(lines[13], "False");
  EXPECT_EQ(lines[14], " ");  // empty line 14 goes out as a blank
  EXPECT_EQ(lines[15], " q ");
}

TEST(SettingsParse, BareLineFeedsStillSplit) {
  Settings s;
  parseSettings("123\nc:\\a.tdb\n", s);
  EXPECT_EQ(s.recentFiles[0], "c:\\a.tdb");
}

TEST(SettingsFile, SaveThenLoadUnderTheSystemFolder) {
  Folders f = foldersUnder(test::tempDir());
  makeFolders(f);
  EXPECT_TRUE(std::filesystem::is_directory(f.systemFolder));
  EXPECT_TRUE(std::filesystem::is_directory(f.tdbFolder));
  EXPECT_TRUE(std::filesystem::is_directory(f.logFolder));
  EXPECT_EQ(settingsPath(f), f.programFolder + "/system/velmor.dat");

  bool found = true;
  Settings start = startupSettings(f, &found);
  EXPECT_FALSE(found);
  EXPECT_EQ(start.lastMapFolder, f.programFolder);

  Settings s;
  s.qlandkartePath = "/opt/q";
  test::ScriptedPrompter quiet;
  ASSERT_TRUE(savedata(f, s, quiet));
  Settings back = startupSettings(f, &found);
  EXPECT_TRUE(found);
  EXPECT_EQ(back.qlandkartePath, "/opt/q");
  EXPECT_EQ(back.lastMapFolder, "");  // the file's line 16 wins
  // No temporary file is left beside it.
  int count = 0;
  for (auto& e : std::filesystem::directory_iterator(f.systemFolder)) {
    (void)e;
    ++count;
  }
  EXPECT_EQ(count, 1);
}

#ifndef _WIN32  // a file-size limit (RLIMIT_FSIZE) in a forked child is POSIX only
TEST(SettingsFile, FailedWriteKeepsTheOldFileAndSays) {
  Folders f = foldersUnder(test::tempDir());
  makeFolders(f);
  const std::string path = settingsPath(f);
  { std::ofstream(path, std::ios::binary) << "123\r\nold\r\n"; }
  const pid_t child = ::fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    // Files may not grow past 100 bytes in this process: the write stops half-way.
    std::signal(SIGXFSZ, SIG_IGN);
    struct rlimit limit {
      100, 100
    };
    ::setrlimit(RLIMIT_FSIZE, &limit);
    Settings settings;
    settings.recentFiles[0] = "/home/someone/maps/a-rather-long-folder-name/and-a-long-product-name.tdb";
    test::RecordingPrompter prompter;
    const bool refused = !savedata(f, settings, prompter);
    const bool said = prompter.messages.size() == 1 && prompter.messages[0] == path + " " + std::strerror(EFBIG);
    ::_exit(refused && said ? 0 : 1);
  }
  int status = 0;
  ASSERT_EQ(::waitpid(child, &status, 0), child);
  ASSERT_TRUE(WIFEXITED(status));
  EXPECT_EQ(WEXITSTATUS(status), 0) << "the failed write was not reported with the path and the system's text";
  EXPECT_EQ(loadtext(path), "123\r\nold\r\n");
  std::size_t files = 0;
  for ([[maybe_unused]] const auto& entry : std::filesystem::directory_iterator(f.systemFolder)) ++files;
  EXPECT_EQ(files, 1u) << "the temporary file was left behind";
}
#endif

TEST(SettingsFile, MissingFolderIsReportedWithThePath) {
  Folders f = foldersUnder(test::tempDir() + "/absent");
  test::RecordingPrompter prompter;
  EXPECT_FALSE(savedata(f, Settings{}, prompter));
  ASSERT_EQ(prompter.messages.size(), 1u);
  EXPECT_EQ(prompter.messages[0], settingsPath(f) + " " + test::missingFolderText());
  EXPECT_FALSE(std::filesystem::exists(f.systemFolder));
}

TEST(ProgramFolder, Choice) {
  ProgramFolderFacts facts;
  facts.executableFolder = "/opt/velmor";
  facts.executableFolderWritable = true;
  facts.xdgDataHome = "/data";
  facts.home = "/home/u";
  facts.velmorHome = "/tmp/v";
  EXPECT_EQ(chooseProgramFolder(facts), "/tmp/v");
  facts.velmorHome = "";
  EXPECT_EQ(chooseProgramFolder(facts), "/opt/velmor");
  facts.executableInstalled = true;  // /usr/bin as root: writable, yet installed
  EXPECT_EQ(chooseProgramFolder(facts), "/data/velmor");
  facts.executableInstalled = false;
  facts.executableFolderWritable = false;
  EXPECT_EQ(chooseProgramFolder(facts), "/data/velmor");
  facts.xdgDataHome = "";
  EXPECT_EQ(chooseProgramFolder(facts), "/home/u/.local/share/velmor");
  facts.xdgDataHome.reset();
  EXPECT_EQ(chooseProgramFolder(facts), "/home/u/.local/share/velmor");
}

TEST(Updatmf, Moves) {
  RecentFileMenu m;
  m.captions = {"a", "b", "c", "d", "e", "f"};
  auto all = [](const std::string&) { return true; };
  updatmf(m, "d", all);  // entry 4 moves to the top, 1-3 shift down
  EXPECT_EQ(m.captions, (std::array<std::string, 6>{"d", "a", "b", "c", "e", "f"}));
  updatmf(m, "new", all);  // a new path drops entry 6
  EXPECT_EQ(m.captions, (std::array<std::string, 6>{"new", "d", "a", "b", "c", "e"}));
  updatmf(m, "new", all);  // already first: nothing moves
  EXPECT_EQ(m.captions, (std::array<std::string, 6>{"new", "d", "a", "b", "c", "e"}));
  updatmf(m, "e", all);  // the last entry
  EXPECT_EQ(m.captions, (std::array<std::string, 6>{"e", "new", "d", "a", "b", "c"}));
  updatmf(m, "E", all);  // comparison is case-sensitive
  EXPECT_EQ(m.captions, (std::array<std::string, 6>{"E", "e", "new", "d", "a", "b"}));
}

TEST(Updatmf, GreysMissingFilesButNeverProbesNetworkPaths) {
  RecentFileMenu m;
  m.captions = {"/x/one.tdb", "\\\\server\\maps\\gone.tdb", "/x/gone.tdb", "", "/x/two.tdb", "/x/six.tdb"};
  m.enabled[1] = true;
  std::vector<std::string> probed;
  auto exists = [&](const std::string& p) {
    probed.push_back(p);
    return p == "/x/one.tdb" || p == "/x/two.tdb" || p == "/x/six.tdb" || p == "/x/new.tdb";
  };
  updatmf(m, "/x/new.tdb", exists);
  for (auto& p : probed) EXPECT_EQ(p.find("\\\\"), std::string::npos) << p;
  EXPECT_EQ(m.captions, (std::array<std::string, 6>{"/x/new.tdb", "/x/one.tdb", "\\\\server\\maps\\gone.tdb",
                                                    "/x/gone.tdb", "", "/x/two.tdb"}));
  EXPECT_EQ(m.enabled, (std::array<bool, 6>{true, true, true, false, false, true}));
}

}  // namespace
}  // namespace velmor

namespace velmor {
namespace {

// Whatever a damaged file holds, reading it never fails and writing gives
// the 34-line format again.
TEST(SettingsParse, ArbitraryBytes) {
  std::uint32_t seed = 12345;
  auto next = [&] {
    seed = seed * 1103515245u + 12345u;
    return static_cast<char>((seed >> 16) & 0xFF);
  };
  for (int round = 0; round < 200; ++round) {
    std::string text;
    int length = round * 7;
    for (int i = 0; i < length; ++i) {
      char c = next();
      text.push_back(i % 5 == 0 ? '\n' : (i % 11 == 0 ? '\r' : c));
    }
    Settings s;
    parseSettings(text, s);
    std::string out = settingsText(s);
    std::size_t lines = 0;
    for (std::size_t p = 0; (p = out.find("\r\n", p)) != std::string::npos; p += 2) ++lines;
    EXPECT_GE(lines, 34u);
    EXPECT_EQ(out.substr(0, 5), "123\r\n");
    EXPECT_GE(s.windowWidth, 1000);
    EXPECT_TRUE(s.defaultProgram >= 0 && s.defaultProgram <= 2);
  }
}

}  // namespace
}  // namespace velmor
