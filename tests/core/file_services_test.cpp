// The file services a save relies on: replacing a file in one rename, the
// read-only attribute and the test for a file held by another program.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cstring>
#include <filesystem>

#include "core/platform/file_services.hpp"
#include "support/lock_holder.hpp"
#include "support/product_builder.hpp"

using namespace velmor;
using namespace velmor::test;
namespace fs = std::filesystem;

namespace {

mode_t modeOf(const std::string& path) {
  struct stat st {};
  ::stat(path.c_str(), &st);
  return st.st_mode & 07777;
}

std::size_t entries(const std::string& folder) {
  return static_cast<std::size_t>(std::distance(fs::directory_iterator(folder), fs::directory_iterator()));
}

}  // namespace

TEST(AtomicReplace, WritesExactlyTheBytesAndKeepsTheMode) {
  FileServices& files = systemFiles();
  const std::string path = writeTemp(Bytes(5000, 0xEE), "old.tdb");
  ASSERT_EQ(::chmod(path.c_str(), 0640), 0);
  const Bytes shorter = {1, 2, 3};
  ASSERT_EQ(files.atomicReplace(path, shorter), std::nullopt);
  EXPECT_EQ(readFile(path), shorter);  // nothing of the longer old file is left
  EXPECT_EQ(modeOf(path), 0640u);
  EXPECT_EQ(entries(fs::path(path).parent_path().string()), 1u);
}

TEST(AtomicReplace, CreatesANewFileAndAnEmptyOne) {
  FileServices& files = systemFiles();
  const std::string folder = tempDir();
  ASSERT_EQ(files.atomicReplace(folder + "/new.tdb", Bytes{9, 8}), std::nullopt);
  EXPECT_EQ(readFile(folder + "/new.tdb"), (Bytes{9, 8}));
  ASSERT_EQ(files.atomicReplace(folder + "/empty.tdb", Bytes{}), std::nullopt);
  EXPECT_TRUE(fs::exists(folder + "/empty.tdb"));
  EXPECT_EQ(fs::file_size(folder + "/empty.tdb"), 0u);
}

TEST(AtomicReplace, WritesThroughAChainOfLinksAndADanglingOne) {
  FileServices& files = systemFiles();
  const std::string real = writeTemp(Bytes{1}, "real.tdb");
  const std::string dir = tempDir();
  fs::create_symlink(real, dir + "/middle.tdb");
  fs::create_symlink("middle.tdb", dir + "/link.tdb");  // relative to the link's folder
  ASSERT_EQ(files.atomicReplace(dir + "/link.tdb", Bytes{2, 2}), std::nullopt);
  EXPECT_TRUE(fs::is_symlink(dir + "/link.tdb"));
  EXPECT_TRUE(fs::is_symlink(dir + "/middle.tdb"));
  EXPECT_EQ(readFile(real), (Bytes{2, 2}));

  // A link to a file not there yet stays a link; the file it names is made.
  fs::create_symlink("made.tdb", dir + "/dangling.tdb");
  ASSERT_EQ(files.atomicReplace(dir + "/dangling.tdb", Bytes{3}), std::nullopt);
  EXPECT_TRUE(fs::is_symlink(dir + "/dangling.tdb"));
  EXPECT_EQ(readFile(dir + "/made.tdb"), Bytes{3});

  fs::create_symlink("loop-b", dir + "/loop-a");
  fs::create_symlink("loop-a", dir + "/loop-b");
  EXPECT_EQ(files.atomicReplace(dir + "/loop-a", Bytes{4}), std::strerror(ELOOP));
  EXPECT_EQ(entries(dir), 6u);
}

TEST(AtomicReplace, MissingFolderGivesTheSystemsText) {
  auto error = systemFiles().atomicReplace(tempDir() + "/no/such/folder/x.tdb", Bytes{1});
  ASSERT_TRUE(error);
  EXPECT_EQ(*error, "No such file or directory");
}

TEST(ReadOnlyAttribute, SetAndTested) {
  FileServices& files = systemFiles();
  const std::string path = writeTemp(Bytes{1}, "ro.tdb");
  EXPECT_FALSE(files.isReadOnly(path));
  ASSERT_EQ(files.setReadOnly(path), std::nullopt);
  EXPECT_TRUE(files.isReadOnly(path));
  EXPECT_EQ(modeOf(path) & 0222, 0u);
  EXPECT_TRUE(files.heldOpen(path));
  EXPECT_TRUE(files.setReadOnly(path + ".missing"));
}

TEST(HeldOpen, OnlyByLocksOfOthersOrTheAttribute) {
  FileServices& files = systemFiles();
  const std::string path = writeTemp(Bytes{1, 2, 3}, "held.tdb");
  EXPECT_FALSE(files.heldOpen(path + ".missing"));
  EXPECT_FALSE(files.heldOpen(path));
  for (auto kind : {LockHolder::Kind::Record, LockHolder::Kind::Whole}) {
    LockHolder holder(path, kind);
    ASSERT_TRUE(holder.locked());
    EXPECT_TRUE(files.heldOpen(path));
    holder.release();
    EXPECT_FALSE(files.heldOpen(path));
  }
  // Asking leaves no lock of our own behind.
  LockHolder after(path, LockHolder::Kind::Whole);
  EXPECT_TRUE(after.locked());
}

TEST(ReadAll, WholeFileOrTheSystemsText) {
  Bytes big(200000);
  for (std::size_t i = 0; i < big.size(); ++i) big[i] = static_cast<std::uint8_t>(i * 7);
  std::string error;
  EXPECT_EQ(systemFiles().readAll(writeTemp(big), big.size(), error), big);
  EXPECT_EQ(systemFiles().readAll(tempDir() + "/none", big.size(), error), std::nullopt);
  EXPECT_EQ(error, "No such file or directory");
}
