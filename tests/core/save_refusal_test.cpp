// Saves that must not happen or cannot complete: every check that refuses,
// a target that is read-only or held by another program, a write that fails
// half-way. In each case the file on disk and the backup stay as they were.
#include <gtest/gtest.h>
#ifndef _WIN32
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>
#endif

#include <cerrno>
#include <cstring>
#include <filesystem>

#include "support/forwarding_files.hpp"
#include "support/lock_holder.hpp"
#include "support/save_session.hpp"
#include "support/system_texts.hpp"
#include "support/test_files.hpp"

using namespace velmor;
using namespace velmor::test;
namespace fs = std::filesystem;

namespace {

// Files beside a product file.
std::size_t filesBeside(const std::string& path) { return filesInFolder(fs::path(path).parent_path().string()); }

Bytes productWithHeader(const Bytes& header, bool withTile = true) {
  Bytes content = cat({header, block(0x44, copyrightBody(3, 6, {"C"})),
                       block(0x42, overviewBody(1, 0, 0x20000000, 0x01000000, 0x1C000000, 0, "O"))});
  if (withTile) {
    content = cat({content, block(0x4C, tileBody(1, 1, 0x1E000000, 0x00800000, 0x1C000000, 0, "T", {{"1.TRE", 1}}))});
  }
  return cat({content, checksumBlock(0)});
}

// A save of an opened file that must be refused with `message` and leave
// the file alone, with no backup made.
struct Refused : ::testing::Test {
  Session s;
  std::string path;
  Bytes original;
  void openBytes(const Bytes& bytes) {
    path = writeTemp(bytes, "roads.tdb");
    original = bytes;
    s.open(path);
  }
  void expectRefused(const std::string& message) {
    const auto blocks = s.file.blocks;
    const bool modified = s.file.modified;
    s.prompter.expectMessage(message);
    EXPECT_EQ(s.saveTo(path), SaveOutcome::Refused);
    EXPECT_EQ(readFile(path), original);
    EXPECT_EQ(filesBeside(path), 1u) << "no backup and no temporary file";
    EXPECT_EQ(s.file.blocks, blocks);
    EXPECT_EQ(s.file.modified, modified);
    EXPECT_TRUE(s.log.lines.empty());
  }
};

// File services that fail to write one path and pass everything else on.
class FailingWrite : public ForwardingFiles {
 public:
  explicit FailingWrite(std::string path) : path_(std::move(path)) {}
  std::optional<std::string> atomicReplace(const std::string& p, std::span<const std::uint8_t> bytes,
                                           FileIdentity* written) override {
    if (p == path_) return std::string("No space left on device");
    return ForwardingFiles::atomicReplace(p, bytes, written);
  }

 private:
  std::string path_;
};

}  // namespace

// --- Checks before anything is written ----------------------------------------

TEST_F(Refused, ProductWithoutTiles) {
  openBytes(productWithHeader(block(0x50, headerBody(7, 9, 409, "S", "F", defaultTail(58))), false));
  s.file.modified = true;
  expectRefused("No data.");
}

TEST_F(Refused, PrintingDisabledBelowVersion409) {
  openBytes(productWithHeader(block(0x50, headerBody(7, 9, 408, "S", "F", defaultTail(49)))));
  s.form.printing = false;
  s.file.modified = true;
  expectRefused("Change version to 4.09 or higher to disable Printing.");
}

TEST_F(Refused, ZeroIdAnsweredNoOrCancel) {
  openBytes(productWithHeader(block(0x50, headerBody(0, 9, 409, "S", "F", defaultTail(58)))));
  s.file.modified = true;
  for (Answer answer : {Answer::No, Answer::Cancel}) {
    s.prompter.expectQuestion("FID or PID should not be zero.\r\n\r\nPlease check.\r\n\r\nContinue?", answer);
    EXPECT_EQ(s.saveTo(path), SaveOutcome::Refused);
  }
  EXPECT_EQ(readFile(path), original);
  EXPECT_EQ(filesBeside(path), 1u);
}

TEST_F(Refused, ZeroIdAnsweredYesIsSaved) {
  openBytes(productWithHeader(block(0x50, headerBody(7, 9, 409, "S", "F", defaultTail(58)))));
  s.form.fidText = "";  // a blank box counts as 0
  s.file.modified = true;
  s.prompter.expectQuestion("FID or PID should not be zero.\r\n\r\nPlease check.\r\n\r\nContinue?", Answer::Yes);
  s.prompter.expectMessage(backupMessage(backupName(path)));
  ASSERT_EQ(s.saveTo(path), SaveOutcome::Saved);
  const Bytes saved = readFile(path);
  EXPECT_EQ(saved[5], 0);
  EXPECT_EQ(saved[6], 0);
}

TEST_F(Refused, FieldThatCannotBeEncoded) {
  openBytes(sampleProduct());
  s.form.pidText = "70000";
  s.file.modified = true;
  expectRefused("The PID box must hold a number from 0 to 65535. Nothing was saved.");
}

TEST_F(Refused, BlockWhoseLengthFieldDisagrees) {
  openBytes(sampleProduct());
  s.file.blocks.set(3, {0x4C, 0x00, 0x0A});  // raw bytes claiming a 2560-byte body
  s.file.modified = true;
  expectRefused("Block 3 (type 4C) holds 0 body bytes but its length field says 2560. Nothing was saved.");
}

TEST_F(Refused, BlockWithEmptyBodyWouldHideTheRest) {
  openBytes(sampleProduct());
  s.file.blocks.set(3, {0x4C, 0x00, 0x00});
  s.file.modified = true;
  expectRefused("Block 3 (type 4C) has an empty body; the blocks after it would not be read. Nothing was saved.");
}

TEST_F(Refused, SecondChecksumBlockInTheMiddle) {
  openBytes(sampleProduct());
  s.file.blocks.set(3, checksumBlock(0));
  s.file.modified = true;
  expectRefused("The file would hold 2 checksum blocks. Nothing was saved.");
}

TEST_F(Refused, FileTooLargeToOpenAgain) {
  openBytes(sampleProduct());
  // 400 blocks of 65538 bytes are 26215200 bytes, past the 26214400 the loader accepts.
  Bytes big = block(0x4C, Bytes(65535, 0x11));
  for (int i = 0; i < 400; ++i) s.file.blocks.insert(4, big);
  s.file.checksumIndex += 400;
  s.file.modified = true;
  const std::size_t size = original.size() + 400 * 65538;
  expectRefused("The file would be " + std::to_string(size) +
                " bytes long, more than the 25 MB a product file may have. Nothing was saved.");
}

// --- The target on disk ---------------------------------------------------------

TEST_F(Refused, ReadOnlyTargetGivesTheSystemsTextFirst) {
  openBytes(sampleProduct());
  // No write bits: the read-only attribute on Windows.
  std::filesystem::permissions(
      pathFromUtf8(path),
      std::filesystem::perms::owner_write | std::filesystem::perms::group_write | std::filesystem::perms::others_write,
      std::filesystem::perm_options::remove);
  s.file.modified = true;
  expectRefused(accessDeniedText() + "   " + kFileInUse);
}

TEST_F(Refused, TargetWithRecordLockOfAnotherProcess) {
  openBytes(sampleProduct());
  LockHolder holder(path, LockHolder::Kind::Record);
  ASSERT_TRUE(holder.locked());
  s.file.modified = true;
  expectRefused(kFileInUse);
}

TEST_F(Refused, TargetWithWholeFileLockOfAnotherProcess) {
  openBytes(sampleProduct());
  LockHolder holder(path, LockHolder::Kind::Whole);
  ASSERT_TRUE(holder.locked());
  s.file.modified = true;
  expectRefused(kFileInUse);
  holder.release();
  s.prompter.expectMessage(backupMessage(backupName(path)));
  EXPECT_EQ(s.saveTo(path), SaveOutcome::Saved);
}

TEST(SaveFaults, FailedWriteReportsAndKeepsTheModel) {
  const std::string path = writeTemp(sampleProduct(), "roads.tdb");
  Session s;
  s.open(path);
  s.form.pidText = "99";
  s.form.tileCopyright1 = "new";
  s.file.modified = true;
  const auto blocks = s.file.blocks;
  const Bytes loaded = s.file.loadedData;
  FailingWrite files(path);
  SaveContext c = s.context();
  c.files = &files;
  s.prompter.expectMessage(backupMessage(backupName(path)));
  s.prompter.expectMessage("No space left on device: " + path + "\r\n\r\nThe file was not changed.");
  EXPECT_EQ(save(c, path), SaveOutcome::Failed);
  EXPECT_EQ(readFile(path), sampleProduct());
  EXPECT_TRUE(s.file.modified);
  EXPECT_EQ(s.file.blocks, blocks);
  EXPECT_EQ(s.file.block52Index, -1);
  EXPECT_EQ(s.file.loadedData, loaded);
  EXPECT_TRUE(s.log.lines.empty());
}

#ifndef _WIN32  // a file-size limit (RLIMIT_FSIZE) in a forked child is POSIX only
TEST(SaveFaults, WriteCutOffHalfWayLeavesFileAndBackupIntact) {
  const std::string path = writeTemp(sampleProduct(), "roads.tdb");
  {
    Session s;
    s.open(path);
    s.form.pidText = "11";
    s.file.modified = true;
    s.prompter.expectMessage(backupMessage(backupName(path)));
    ASSERT_EQ(s.saveTo(path), SaveOutcome::Saved);
  }
  const Bytes saved = readFile(path);
  const Bytes backup = readFile(backupName(path));
  ASSERT_GT(saved.size(), 200u);

  const pid_t child = ::fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    // Files may not grow past 200 bytes in this process: the write stops half-way.
    std::signal(SIGXFSZ, SIG_IGN);
    struct rlimit limit {
      200, 200
    };
    ::setrlimit(RLIMIT_FSIZE, &limit);
    ProductFile file;
    ProductForm form;
    RecordingPrompter prompter;
    openProduct(file, form, path, prompter);
    form.pidText = "12";
    file.modified = true;
    SilentLog log;
    FixedRandom random;
    SaveContext c{file, form, prompter, quietActivity(), log, "", nullptr, &random};
    const bool ok = save(c, path) == SaveOutcome::Failed && prompter.messages.size() == 1 &&
                    prompter.messages[0].rfind(std::strerror(EFBIG), 0) == 0 && file.modified;
    ::_exit(ok ? 0 : 1);
  }
  int status = 0;
  ASSERT_EQ(::waitpid(child, &status, 0), child);
  ASSERT_TRUE(WIFEXITED(status));
  EXPECT_EQ(WEXITSTATUS(status), 0) << "the save did not fail with the system's text";
  EXPECT_EQ(readFile(path), saved);
  EXPECT_EQ(readFile(backupName(path)), backup);
  EXPECT_EQ(filesBeside(path), 2u) << "the temporary file was left behind";
}
#endif

// --- File menu --------------------------------------------------------------

TEST(SaveNames, BackupNameComesFromTheFileName) {
  EXPECT_EQ(backupName("/maps.old/roads.tdb"), "/maps.old/roads_bak.tdb");
  EXPECT_EQ(backupName("/maps/roads.v2.tdb"), "/maps/roads_bak.tdb");
  EXPECT_EQ(backupName("/maps.old/roads"), "/maps.old/roads_bak.tdb");
  EXPECT_EQ(backupName("/maps/.roads"), "/maps/.roads_bak.tdb");
  EXPECT_EQ(backupName("C:\\maps.old\\roads.tdb"), "C:\\maps.old\\roads_bak.tdb");
  EXPECT_EQ(backupName("roads.tdb"), "roads_bak.tdb");
}

TEST(SaveNames, DialogAnswerChecks) {
  const std::string folder = tempDir();
  {
    ScriptedPrompter p;
    EXPECT_EQ(checkSaveName("", p, systemFiles()), std::nullopt);
    EXPECT_EQ(checkSaveName(folder + "/Roads", p, systemFiles()), folder + "/Roads.tdb");
    EXPECT_EQ(checkSaveName(folder + "/Roads.TDB", p, systemFiles()), folder + "/Roads.TDB");
    // A "." in a folder name says nothing about the file.
    EXPECT_EQ(checkSaveName("/maps.old/roads", p, systemFiles()), "/maps.old/roads.tdb");
  }
  {
    ScriptedPrompter p;
    p.expectMessage("This is not a tdb file.");
    EXPECT_EQ(checkSaveName(folder + "/roads.img", p, systemFiles()), std::nullopt);
  }
  const std::string existing = writeTemp(sampleProduct(), "there.tdb");
  for (Answer answer : {Answer::No, Answer::Cancel, Answer::Yes}) {
    ScriptedPrompter p;
    p.expectQuestion("File exists. Replace this file?", answer);
    auto target = checkSaveName(existing.substr(0, existing.size() - 4), p, systemFiles());
    if (answer == Answer::Yes) {
      EXPECT_EQ(target, existing);
    } else {
      EXPECT_EQ(target, std::nullopt);
    }
  }
}

TEST(SaveNames, SaveAsMovesThePathSaveACopyDoesNot) {
  const std::string path = writeTemp(sampleProduct(), "roads.tdb");
  const std::string folder = fs::path(path).parent_path().string();
  Session s;
  s.open(path);
  s.form.pidText = "21";
  s.file.modified = true;
  SaveContext c = s.context();
  ASSERT_EQ(saveCopy(c, folder + "/copy"), SaveOutcome::Saved);
  EXPECT_EQ(s.file.path, path);
  EXPECT_EQ(readFile(path), sampleProduct());
  EXPECT_EQ(Session::split(readFile(folder + "/copy.tdb"))[0],
            block(0x50, headerBody(21, 4660, 409, "Sample Series", "Sample Family", defaultTail(58))));

  // A later Save writes to the path the model had before, with the edit.
  s.prompter.expectMessage(backupMessage(backupName(path)));
  ASSERT_EQ(saveToPath(c), SaveOutcome::Saved);
  EXPECT_EQ(readFile(path), readFile(folder + "/copy.tdb"));

  ASSERT_EQ(saveAs(c, folder + "/renamed"), SaveOutcome::Saved);
  EXPECT_EQ(s.file.path, folder + "/renamed.tdb");

  ProductFile unnamed;
  EXPECT_EQ(proposedSaveName(unnamed), "untitled.tdb");
  EXPECT_EQ(proposedSaveName(s.file), folder + "/renamed.tdb");
}

TEST(SaveNames, RefusedSaveAsKeepsThePath) {
  const std::string path =
      writeTemp(productWithHeader(block(0x50, headerBody(7, 9, 409, "S", "F", defaultTail(58))), false), "empty.tdb");
  Session s;
  s.open(path);
  SaveContext c = s.context();
  s.prompter.expectMessage("No data.");
  EXPECT_EQ(saveAs(c, fs::path(path).parent_path().string() + "/other"), SaveOutcome::Refused);
  EXPECT_EQ(s.file.path, path);
}
