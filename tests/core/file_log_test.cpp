// The log files: names, line format, where each line goes, and the Logs menu.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "core/editor/file_log.hpp"
#include "core/editor/log_menu.hpp"
#include "core/platform/shell.hpp"
#include "core/settings/program_folder.hpp"
#include "core/settings/settings.hpp"
#include "core/settings/text_file.hpp"
#include "support/product_builder.hpp"
#include "support/scripted_prompter.hpp"

namespace velmor {
namespace {

TEST(LogText, LinesNamesAndDates) {
  LocalTime t{2026, 12, 7, 14, 3, 22};
  EXPECT_EQ(logLine(t, "Saved:/maps/a.tdb"), "14:03:22:Saved:/maps/a.tdb");
  EXPECT_EQ(logLine(LocalTime{2027, 1, 2, 0, 0, 5}, "Changed DEM"), "00:00:05:Changed DEM");
  EXPECT_EQ(logDate(t), "12-07-2026");
  EXPECT_EQ(dayLogPath("/l", LocalTime{2027, 3, 9, 1, 2, 3}), "/l/tdb_03-09-2027.txt");
  EXPECT_EQ(mainLogPath("/l"), "/l/tdblog.txt");
  EXPECT_EQ(startupLogMessage(t), "--------------------12-07-2026--------------------");
}

struct LogFixture : ::testing::Test {
  Folders folders = foldersUnder(test::tempDir());
  Settings settings;
  LocalTime now{2026, 12, 7, 9, 8, 7};
  void SetUp() override { makeFolders(folders); }
  FileLog log() {
    return FileLog(settings, folders.logFolder, [this] { return now; });
  }
  int fileCount() {
    int n = 0;
    for (auto& e : std::filesystem::directory_iterator(folders.logFolder)) {
      (void)e;
      ++n;
    }
    return n;
  }
};

TEST_F(LogFixture, OffWritesNothing) {
  FileLog l = log();
  l.logStart();
  l.savelog("Saved:/x.tdb");
  EXPECT_EQ(fileCount(), 0);
}

TEST_F(LogFixture, MainLogAppends) {
  settings.logsEnabled = true;
  FileLog l = log();
  l.logStart();
  now.second = 9;
  l.savelog("Changed Routing");
  EXPECT_EQ(loadtext(mainLogPath(folders.logFolder)),
            "09:08:07:--------------------12-07-2026--------------------\r\n09:08:09:Changed Routing\r\n");
  EXPECT_EQ(fileCount(), 1);
}

TEST_F(LogFixture, DayLogsFollowTheDateAndClearingKeepsThem) {
  settings.logsEnabled = true;
  settings.newLogEachDay = true;
  FileLog l = log();
  l.savelog("Saved:/a.tdb");
  now = {2026, 12, 8, 23, 59, 59};
  l.savelog("Saved:/b.tdb");
  EXPECT_EQ(loadtext(folders.logFolder + "/tdb_12-07-2026.txt"), "09:08:07:Saved:/a.tdb\r\n");
  EXPECT_EQ(loadtext(folders.logFolder + "/tdb_12-08-2026.txt"), "23:59:59:Saved:/b.tdb\r\n");
  // Turning the day logs off mid-run goes back to the main log.
  settings.newLogEachDay = false;
  l.savelog("x");
  EXPECT_EQ(loadtext(mainLogPath(folders.logFolder)), "23:59:59:x\r\n");

  test::ScriptedPrompter yes;
  yes.expectQuestion("Are you sure?", Answer::Yes);
  EXPECT_TRUE(clearMainLog(folders.logFolder, yes));
  EXPECT_FALSE(std::filesystem::exists(mainLogPath(folders.logFolder)));
  EXPECT_EQ(fileCount(), 2);
}

TEST_F(LogFixture, MissingFolderLosesTheLineSilently) {
  settings.logsEnabled = true;
  std::filesystem::remove_all(folders.logFolder);
  FileLog l = log();
  l.savelog("Saved:/a.tdb");  // no exception, no file
  EXPECT_FALSE(std::filesystem::exists(folders.logFolder));
}

TEST_F(LogFixture, ClearMainLogAnswers) {
  std::string path = mainLogPath(folders.logFolder);
  { std::ofstream(pathFromUtf8(path), std::ios::binary) << "line\r\n"; }
  for (Answer a : {Answer::No, Answer::Cancel}) {
    test::ScriptedPrompter p;
    p.expectQuestion("Are you sure?", a);
    EXPECT_FALSE(clearMainLog(folders.logFolder, p));
    EXPECT_EQ(loadtext(path), "line\r\n");
  }
  test::ScriptedPrompter yes;
  yes.expectQuestion("Are you sure?", Answer::Yes);
  EXPECT_TRUE(clearMainLog(folders.logFolder, yes));
  // Already gone: asked again, no error.
  test::ScriptedPrompter again;
  again.expectQuestion("Are you sure?", Answer::Yes);
  EXPECT_FALSE(clearMainLog(folders.logFolder, again));

  std::filesystem::remove_all(folders.logFolder);
  test::ScriptedPrompter none;
  none.expectMessage("No log details.");
  EXPECT_FALSE(clearMainLog(folders.logFolder, none));
}

class FakeShell : public Shell {
 public:
  ShellResult answer = ShellResult::Opened;
  std::vector<std::string> opened;
  ShellResult open(const std::string& target) override {
    opened.push_back(target);
    return answer;
  }
};

TEST_F(LogFixture, ReadLogsOpensTheFolder) {
  FakeShell shell;
  test::ScriptedPrompter quiet;
  readLogs(folders.logFolder, shell, quiet);
  ASSERT_EQ(shell.opened.size(), 1u);
  EXPECT_EQ(shell.opened[0], folders.logFolder);

  shell.answer = ShellResult::NoAssociation;
  test::ScriptedPrompter none;
  none.expectMessage("Cannot launch file . No association with 'txt' files.");
  readLogs(folders.logFolder, shell, none);

  std::filesystem::remove_all(folders.logFolder);
  test::ScriptedPrompter missing;
  missing.expectMessage("No log details.");
  readLogs(folders.logFolder, shell, missing);
  EXPECT_EQ(shell.opened.size(), 2u);
}

}  // namespace
}  // namespace velmor

#ifndef _WIN32  // xdg-open is the Linux desktop's opener; Windows has its own shell test
namespace velmor {
namespace {

// The desktop shell is xdg-open, started with the folder as one argument:
// a stand-in xdg-open on PATH records what it got and answers as told.
TEST(DesktopShell, StartsXdgOpenWithOneArgument) {
  std::string bin = test::tempDir();
  std::string record = bin + "/args";
  {
    std::ofstream script(bin + "/xdg-open");
    script << "#!/bin/sh\nprintf '%s|' \"$#\" \"$1\" > '" << record << "'\nexit \"$(cat '" << bin << "/code')\"\n";
  }
  std::filesystem::permissions(bin + "/xdg-open", std::filesystem::perms::owner_all);
  const char* oldPath = std::getenv("PATH");
  std::string savedPath = oldPath ? oldPath : "";
  ::setenv("PATH", (bin + ":" + savedPath).c_str(), 1);

  std::string folder = bin + "/logs $(touch " + bin + "/pwned); x";
  auto shell = desktopShell();
  { std::ofstream(bin + "/code") << "0"; }
  EXPECT_EQ(shell->open(folder), ShellResult::Opened);
  EXPECT_EQ(loadtext(record), "1|" + folder + "|");
  EXPECT_FALSE(std::filesystem::exists(bin + "/pwned"));
  { std::ofstream(bin + "/code") << "3"; }
  EXPECT_EQ(shell->open(folder), ShellResult::NoAssociation);
  { std::ofstream(bin + "/code") << "4"; }
  EXPECT_EQ(shell->open(folder), ShellResult::NoAssociation);
  { std::ofstream(bin + "/code") << "1"; }
  EXPECT_EQ(shell->open(folder), ShellResult::Failed);

  ::setenv("PATH", bin.c_str(), 1);
  std::filesystem::remove(bin + "/xdg-open");
  EXPECT_EQ(shell->open(folder), ShellResult::NoAssociation);
  ::setenv("PATH", savedPath.c_str(), 1);
}

}  // namespace
}  // namespace velmor
#endif
