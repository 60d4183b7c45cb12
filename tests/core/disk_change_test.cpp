// A save over a file that another program changed since it was opened asks
// first; our own saves never make it ask.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "core/product/disk_state.hpp"
#include "support/save_session.hpp"

using namespace velmor;
using namespace velmor::test;
namespace fs = std::filesystem;

namespace {

void writeBytes(const std::string& path, const Bytes& bytes) {
  std::ofstream(pathFromUtf8(path), std::ios::binary | std::ios::trunc)
      .write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

// Another program rewrites the file in place, same size, and puts the old
// modification time back: only the bytes tell.
void rewriteBehindOurBack(const std::string& path, std::uint8_t fill) {
  const fs::file_time_type before = fs::last_write_time(pathFromUtf8(path));
  Bytes other = readFile(path);
  other[20] = fill;
  writeBytes(path, other);
  fs::last_write_time(pathFromUtf8(path), before);
}

}  // namespace

TEST(ChangedOnDisk, AnotherProgramsWriteIsNeverSilentlyUndone) {
  const std::string path = writeTemp(sampleProduct(), "roads.tdb");
  Session s;
  s.open(path);
  s.form.pidText = "21";
  s.file.modified = true;

  // The same size and time, other bytes.
  rewriteBehindOurBack(path, 0x5A);
  const Bytes theirs = readFile(path);
  s.prompter.expectQuestion(kChangedByAnotherProgram, Answer::No);
  EXPECT_EQ(s.saveTo(path), SaveOutcome::Refused);
  EXPECT_EQ(readFile(path), theirs);
  EXPECT_FALSE(fs::exists(backupName(path)));
  EXPECT_TRUE(s.file.modified);

  // Replaced by rename, as another editor saves.
  const std::string elsewhere = writeTemp(sampleProduct(), "other.tdb");
  fs::rename(pathFromUtf8(elsewhere), pathFromUtf8(path));
  s.prompter.expectQuestion(kChangedByAnotherProgram, Answer::Yes);
  s.prompter.expectMessage(backupMessage(backupName(path)));
  ASSERT_EQ(s.saveTo(path), SaveOutcome::Saved);

  // Our own saves refresh what was loaded: saving again asks nothing, even
  // within the timestamps' granularity.
  s.form.pidText = "22";
  s.file.modified = true;
  ASSERT_EQ(s.saveTo(path), SaveOutcome::Saved);
  EXPECT_FALSE(changedByAnotherProgram(s.file, path, systemFiles()));

  // A longer file is another file's content.
  Bytes longer = readFile(path);
  longer.push_back(0);
  writeBytes(path, longer);
  EXPECT_TRUE(changedByAnotherProgram(s.file, path, systemFiles()));

  // Save As to a new name, then Save there: the new file is the one watched.
  const std::string copy = utf8FromPath(pathFromUtf8(path).parent_path()) + "/copy.tdb";
  SaveContext context = s.context();
  ASSERT_EQ(saveAs(context, copy), SaveOutcome::Saved);
  EXPECT_FALSE(changedByAnotherProgram(s.file, copy, systemFiles()));
  EXPECT_FALSE(changedByAnotherProgram(s.file, path, systemFiles())) << "no longer the open file";

  // A file that is gone loses nothing when written anew.
  fs::remove(pathFromUtf8(copy));
  EXPECT_FALSE(changedByAnotherProgram(s.file, copy, systemFiles()));
}
