// The MDX index: its bytes, the once-only backup, refused ids, and an old
// index that survives a failed backup.
#include <gtest/gtest.h>

#include <filesystem>

#include "core/img/mdx_writer.hpp"
#include "support/forwarding_files.hpp"
#include "support/product_builder.hpp"
#include "support/tile_product.hpp"
#include "support/scripted_prompter.hpp"

using namespace velmor;
using namespace velmor::test;

namespace {

// A product opened with tiles of these map numbers, and the two id boxes.
struct Indexed : OpenedTiles {
  Indexed(const std::vector<std::int32_t>& numbers, std::string pid, std::string fid) {
    std::vector<TileSpec> tiles(numbers.size());
    for (std::size_t i = 0; i < numbers.size(); ++i) tiles[i].number = numbers[i];
    openTiles(*this, tiles);
    form.pidText = std::move(pid);
    form.fidText = std::move(fid);
  }
};

std::optional<Bytes> compose(const std::vector<std::int32_t>& numbers, std::string pid, std::string fid,
                             Prompter& prompter) {
  const Indexed product(numbers, std::move(pid), std::move(fid));
  return composeMdx(product.file, product.form, prompter);
}

MdxOutcome write(const std::string& path, const std::vector<std::int32_t>& numbers, std::string pid, std::string fid,
                 Prompter& prompter, FileServices& files) {
  const Indexed product(numbers, std::move(pid), std::move(fid));
  return writeMdx(path, product.file, product.form, prompter, files);
}

const Bytes kOld = {'o', 'l', 'd'};

// The system's file services, except that writing `failing` fails.
class FailingReplace : public ForwardingFiles {
 public:
  explicit FailingReplace(std::string failing) : failing_(std::move(failing)) {}
  std::optional<std::string> atomicReplace(const std::string& p, std::span<const std::uint8_t> b,
                                           FileIdentity* written) override {
    if (p == failing_) return std::string("No space left on device");
    return ForwardingFiles::atomicReplace(p, b, written);
  }
  BackupResult createBackup(const std::string& original, const std::string& backup, std::string& error) override {
    if (backup != failing_) return ForwardingFiles::createBackup(original, backup, error);
    error = "No space left on device";
    return BackupResult::Failed;
  }

 private:
  std::string failing_;
};

}  // namespace

TEST(MdxWriter, RecordsHoldNumberIdsNumber) {
  ScriptedPrompter prompter;
  auto one = compose({63240001}, "1", "4660", prompter);
  ASSERT_TRUE(one);
  EXPECT_EQ(*one, (Bytes{0x4D, 0x69, 0x64, 0x78, 0x64, 0x00, 0x0C, 0x00, 0x00, 0x00, 0x01, 0x00, 0x00,
                         0x00, 0x41, 0xF7, 0xC4, 0x03, 0x01, 0x00, 0x34, 0x12, 0x41, 0xF7, 0xC4, 0x03}));
  auto three = compose({1, -2, 3}, "65535", "0", prompter);
  ASSERT_TRUE(three);
  ASSERT_EQ(three->size(), 50u);
  EXPECT_EQ(Bytes(three->begin() + 26, three->begin() + 38),
            (Bytes{0xFE, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0x00, 0x00, 0xFE, 0xFF, 0xFF, 0xFF}));
}

TEST(MdxWriter, BackupOnceReadOnlyThenReplace) {
  const std::string path = writeTemp(kOld, "alps.mdx");
  const std::string backup = path.substr(0, path.size() - 4) + "_bak.mdx";
  ScriptedPrompter prompter;
  prompter.expectMessage(std::string(kMdxBackupMessage) + backup);
  ASSERT_EQ(write(path, {5}, "1", "2", prompter, systemFiles()), MdxOutcome::Written);
  EXPECT_EQ(readFile(backup), kOld);
  EXPECT_TRUE(systemFiles().isReadOnly(backup));
  EXPECT_EQ(readFile(path).size(), 26u);

  // The second write finds the backup and leaves it as the first one made it.
  ASSERT_EQ(write(path, {5, 6}, "1", "2", prompter, systemFiles()), MdxOutcome::Written);
  EXPECT_EQ(readFile(backup), kOld);
  EXPECT_EQ(readFile(path).size(), 38u);
  EXPECT_EQ(mdxBackupName("/maps/index"), "/maps/index_bak.mdx");
}

TEST(MdxWriter, RefusalsAndFailuresLeaveTheOldIndex) {
  const std::string path = writeTemp(kOld, "x.mdx");
  ScriptedPrompter prompter;
  // 0x12345 does not fit: cut to 16 bits it would index another product.
  prompter.expectMessage("The PID box must hold a whole number from 0 to 65535. No MDX was written.");
  EXPECT_EQ(write(path, {5}, "74565", "1", prompter, systemFiles()), MdxOutcome::Refused);
  prompter.expectMessage("The FID box must hold a whole number from 0 to 65535. No MDX was written.");
  EXPECT_EQ(write(path, {5}, "1", "12x", prompter, systemFiles()), MdxOutcome::Refused);
  prompter.expectMessage(kMdxNoTiles);
  EXPECT_EQ(write(path, {}, "1", "1", prompter, systemFiles()), MdxOutcome::Refused);
  EXPECT_EQ(readFile(path), kOld);

  // A backup that cannot be written stops the write: the old index stays.
  const std::string backup = mdxBackupName(path);
  FailingReplace noBackup(backup);
  prompter.expectMessage(std::string(kMdxBackupMessage) + backup).expectMessage("No space left on device: " + backup);
  EXPECT_EQ(write(path, {5}, "1", "1", prompter, noBackup), MdxOutcome::Failed);
  EXPECT_EQ(readFile(path), kOld);
  EXPECT_FALSE(std::filesystem::exists(backup));
}

#ifndef _WIN32
TEST(MdxWriter, ABackupNameTakenByAFolderOrADeviceLinkStopsTheWriteAndKeepsTheOldIndex) {
  const std::string path = writeTemp(kOld, "taken.mdx");
  const std::string backup = mdxBackupName(path);
  std::filesystem::create_directory(backup);
  ScriptedPrompter prompter;
  prompter.expectMessage("Is a folder, not a regular file: " + backup);
  EXPECT_EQ(write(path, {5}, "1", "1", prompter, systemFiles()), MdxOutcome::Failed);
  EXPECT_EQ(readFile(path), kOld);
  EXPECT_TRUE(prompter.done());
  std::filesystem::remove(backup);
  std::filesystem::create_symlink("/dev/null", backup);
  prompter.expectMessage("Leads to a device (/dev/null), not a regular file: " + backup);
  EXPECT_EQ(write(path, {5}, "1", "1", prompter, systemFiles()), MdxOutcome::Failed);
  EXPECT_EQ(readFile(path), kOld);
}
#endif
