// Writes that must not damage what they do not own: a device, pipe or folder
// behind a name, another user's file and its permissions, a long file name,
// and the leftovers of a save that was killed half-way.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstring>
#include <filesystem>
#include <fstream>

#include "core/settings/text_file.hpp"
#include "support/lock_holder.hpp"
#include "support/save_session.hpp"

using namespace velmor;
using namespace velmor::test;
namespace fs = std::filesystem;

namespace {

struct stat statOf(const std::string& path) {
  struct stat st {};
  EXPECT_EQ(::lstat(path.c_str(), &st), 0) << path;
  return st;
}

std::size_t entries(const std::string& folder) {
  return static_cast<std::size_t>(std::distance(fs::directory_iterator(folder), fs::directory_iterator()));
}

// An opened sample with an edit, ready to be saved somewhere.
struct EditedSample {
  Session s;
  std::string path;
  explicit EditedSample(const std::string& name = "roads.tdb") {
    path = writeTemp(sampleProduct(), name);
    s.open(path);
    s.form.pidText = "77";
    s.file.modified = true;
  }
};

}  // namespace

TEST(WriteSafety, NothingButRegularFilesIsReplaced) {
  const std::string dir = tempDir();
  const std::string fifo = dir + "/pipe.tdb";
  ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
  const std::string toNull = dir + "/null.tdb";
  const std::string toFifo = dir + "/fifo-link.tdb";
  fs::create_symlink("/dev/null", toNull);
  fs::create_symlink("pipe.tdb", toFifo);
  fs::create_directory(dir + "/folder.tdb");

  FileServices& files = systemFiles();
  for (const std::string& target : {toNull, fifo, toFifo, dir + "/folder.tdb"}) {
    EXPECT_TRUE(files.checkWritable(target)) << target;
    EXPECT_TRUE(files.atomicReplace(target, Bytes{1, 2, 3})) << target;
    const Bytes line = {'x', '\r', '\n'};
    EXPECT_TRUE(files.appendToFile(target, line)) << target;  // a log never waits on a pipe
  }
  EXPECT_EQ(*files.atomicReplace(toNull, Bytes{1}), "Leads to a device (/dev/null), not a regular file");
  EXPECT_TRUE(S_ISCHR(statOf("/dev/null").st_mode));
  EXPECT_TRUE(S_ISLNK(statOf(toNull).st_mode));
  EXPECT_TRUE(S_ISFIFO(statOf(fifo).st_mode));
  EXPECT_TRUE(fs::is_directory(dir + "/folder.tdb"));
  EXPECT_TRUE(fs::is_empty(dir + "/folder.tdb"));

  // The settings file at a window's close.
  RecordingPrompter prompter;
  EXPECT_FALSE(Savetext(toFifo, "123\r\n", prompter));
  ASSERT_EQ(prompter.messages.size(), 1u);
  EXPECT_EQ(prompter.messages[0], toFifo + " Leads to a pipe (FIFO) (" + dir + "/pipe.tdb), not a regular file");

  // A product save through a link to a device: refused before any backup.
  EditedSample sample;
  sample.s.prompter.expectMessage("Leads to a device (/dev/null), not a regular file: " + toNull +
                                  "\r\n\r\nThe file was not changed.");
  EXPECT_EQ(sample.s.saveTo(toNull), SaveOutcome::Refused);
  EXPECT_FALSE(fs::exists(fs::symlink_status(backupName(toNull))));
  EXPECT_TRUE(S_ISCHR(statOf("/dev/null").st_mode));
  EXPECT_TRUE(sample.s.file.modified);
  EXPECT_EQ(entries(dir), 4u) << "no temporary file left";
}

TEST(WriteSafety, AProductSaveKeepsOwnerAndModeAndTheBackupIsPrivateToo) {
  EditedSample sample;
  const std::string& path = sample.path;
  ASSERT_EQ(::chmod(path.c_str(), 0600), 0);
  const bool root = ::geteuid() == 0;
  // Another user's file, edited by the superuser.
  if (root) {
    ASSERT_EQ(::chown(path.c_str(), 4321, 4322), 0);
  }
  sample.s.prompter.expectMessage(backupMessage(backupName(path)));
  ASSERT_EQ(sample.s.saveTo(path), SaveOutcome::Saved);

  const struct stat saved = statOf(path);
  const struct stat backup = statOf(backupName(path));
  EXPECT_EQ(saved.st_mode & 07777, 0600u);
  EXPECT_EQ(backup.st_mode & 07777, 0400u) << "the original's mode without write bits";
  EXPECT_EQ(readFile(backupName(path)), sampleProduct());
  if (root) {
    EXPECT_EQ(saved.st_uid, 4321u);
    EXPECT_EQ(saved.st_gid, 4322u);
    EXPECT_EQ(backup.st_uid, 4321u);
    EXPECT_EQ(backup.st_gid, 4322u);
  }
}

TEST(WriteSafety, LongNamesSaveWithTheirBackupOrNotAtAll) {
  // 240 bytes: the file and its backup (244) fit the 255-byte limit; the
  // temporary files must too, whatever the name.
  EditedSample fits(std::string(236, 'n') + ".tdb");
  fits.s.prompter.expectMessage(backupMessage(backupName(fits.path)));
  ASSERT_EQ(fits.s.saveTo(fits.path), SaveOutcome::Saved);
  EXPECT_EQ(readFile(backupName(fits.path)), sampleProduct());
  EXPECT_EQ(entries(fs::path(fits.path).parent_path().string()), 2u);

  // 254 bytes: the backup's name would be 258, so no backup can be made and
  // the save is refused rather than reported without one.
  EditedSample tooLong(std::string(250, 'n') + ".tdb");
  tooLong.s.prompter.expectMessage(std::string(std::strerror(ENAMETOOLONG)) + ": " + backupName(tooLong.path) +
                                   "\r\n\r\nThe backup could not be made, so the file was not saved.");
  EXPECT_EQ(tooLong.s.saveTo(tooLong.path), SaveOutcome::Refused);
  EXPECT_EQ(readFile(tooLong.path), sampleProduct());
  EXPECT_TRUE(tooLong.s.file.modified);
  EXPECT_EQ(entries(fs::path(tooLong.path).parent_path().string()), 1u);
}

TEST(WriteSafety, LeftoversOfAKilledSaveGoAtTheNextOneAndNothingElse) {
  EditedSample sample;
  const std::string dir = fs::path(sample.path).parent_path().string();
  auto put = [&](const std::string& name) {
    std::ofstream(dir + "/" + name, std::ios::binary) << std::string(100000, 'x');
    return dir + "/" + name;
  };
  // What a SIGKILL in the middle of a save leaves behind.
  const std::string stale = put(".velmor-Ab3xQ9.tmp");
  // Another Velmor writing right now: its file is locked.
  const std::string busy = put(".velmor-Busy01.tmp");
  LockHolder writer(busy, LockHolder::Kind::Whole);
  ASSERT_TRUE(writer.locked());
  // Near misses of the pattern belong to someone else.
  const std::vector<std::string> others = {put(".velmor-Ab3xQ.tmp"),  put(".velmor-Ab3xQ99.tmp"),
                                           put("velmor-Ab3xQ9.tmp"),  put(".velmor-Ab3xQ9.tmp.keep"),
                                           put(".velmor-Ab_xQ9.tmp"), put(".VELMOR-Ab3xQ9.tmp")};
  fs::create_symlink("roads.tdb", dir + "/.velmor-Link01.tmp");

  sample.s.prompter.expectMessage(backupMessage(backupName(sample.path)));
  ASSERT_EQ(sample.s.saveTo(sample.path), SaveOutcome::Saved);
  EXPECT_FALSE(fs::exists(stale));
  EXPECT_TRUE(fs::exists(busy));
  for (const std::string& other : others) EXPECT_TRUE(fs::exists(other)) << other;
  EXPECT_TRUE(fs::is_symlink(dir + "/.velmor-Link01.tmp"));
  EXPECT_EQ(entries(dir), 2u + 1u + others.size() + 1u);
}
