// Reads that must end, quickly and with a message: a device that never
// ends, a pipe nobody writes, a folder, a sparse file of gigabytes.
#include <gtest/gtest.h>
#ifdef _WIN32
#include <windows.h>
#else
#include <sys/stat.h>
#endif

#include <algorithm>
#include <filesystem>
#include <fstream>

#include "core/platform/file_services.hpp"
#include "core/product/block_types.hpp"
#include "core/settings/settings_file.hpp"
#include "support/product_builder.hpp"

using namespace velmor;
using namespace velmor::test;
namespace fs = std::filesystem;

namespace {

std::string sparseFile(std::uintmax_t size, const std::string& start = "") {
  const std::string path = tempDir() + "/sparse.tdb";
  std::ofstream(pathFromUtf8(path), std::ios::binary) << start;
  fs::resize_file(pathFromUtf8(path), size);  // no block of it is ever written
  return path;
}

constexpr std::uintmax_t kThreeGiB = 3ull << 30;

}  // namespace

TEST(ReadSafety, OnlyRegularFilesAndNeverPastTheLimit) {
  FileServices& files = systemFiles();
  struct Case {
    std::string path;
    ReadStatus status;
    const char* error;
  };
#ifdef _WIN32
  // A named pipe whose server waits for a client that never writes.
  const std::string pipe = "\\\\.\\pipe\\velmor-read-safety";
  HANDLE server =
      ::CreateNamedPipeW(L"\\\\.\\pipe\\velmor-read-safety", PIPE_ACCESS_DUPLEX, PIPE_TYPE_BYTE, 1, 0, 0, 0, nullptr);
  ASSERT_NE(server, INVALID_HANDLE_VALUE);
  const Case devices[] = {Case{"NUL", ReadStatus::NotRegular, "Is a device or a pipe, not a regular file"},
                          Case{pipe, ReadStatus::NotRegular, "Is a device or a pipe, not a regular file"}};
#else
  const std::string fifo = tempDir() + "/pipe.tdb";
  ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
  const Case devices[] = {Case{"/dev/zero", ReadStatus::NotRegular, "Is a device, not a regular file"},
                          Case{fifo, ReadStatus::NotRegular, "Is a pipe (FIFO), not a regular file"}};
#endif
  // The read into a buffer for looking only keeps the same rules.
  for (const Case& c : devices) {
    FileRead read = files.readFile(c.path, kMaxProductFileSize, OverLimit::Refuse);
    EXPECT_EQ(read.status, c.status) << c.path;
    EXPECT_EQ(read.error, c.error) << c.path;
#ifdef _WIN32
    // The pipe's one instance was taken by the read above.
    if (c.path == pipe) continue;
#endif
    BufferedRead buffered = files.readToBuffer(c.path, kMaxProductFileSize);
    EXPECT_EQ(buffered.status, c.status) << c.path;
    EXPECT_EQ(buffered.error, c.error) << c.path;
  }
#ifdef _WIN32
  ::CloseHandle(server);
#endif
  for (const Case& c : {Case{tempDir(), ReadStatus::NotRegular, "Is a folder, not a regular file"},
                        Case{sparseFile(kThreeGiB), ReadStatus::TooLarge, ""}}) {
    FileRead read = files.readFile(c.path, kMaxProductFileSize, OverLimit::Refuse);
    EXPECT_EQ(read.status, c.status) << c.path;
    EXPECT_EQ(read.error, c.error) << c.path;
    EXPECT_TRUE(read.bytes.empty()) << c.path;
    BufferedRead buffered = files.readToBuffer(c.path, kMaxProductFileSize);
    EXPECT_EQ(buffered.status, c.status) << c.path;
    EXPECT_EQ(buffered.bytes.size(), 0u) << c.path;
  }
  // Exactly at the limit is read; a text file is cut at its limit instead.
  EXPECT_TRUE(files.readFile(sparseFile(1000), 1000, OverLimit::Refuse));
  EXPECT_TRUE(files.readToBuffer(sparseFile(1000), 1000));
  EXPECT_EQ(files.readToBuffer(sparseFile(1001), 1000).status, ReadStatus::TooLarge);
  // Small files and files of megabytes (other memory) give the same bytes.
  for (std::size_t size : {std::size_t{0}, std::size_t{3}, (std::size_t{9} << 20) + 5}) {
    Bytes bytes(size);
    for (std::size_t i = 0; i < size; ++i) bytes[i] = static_cast<std::uint8_t>(i * 31 + i / 4096);
    const std::string path = writeTemp(bytes);
    BufferedRead buffered = files.readToBuffer(path, kMaxProductFileSize);
    ASSERT_TRUE(buffered) << size;
    EXPECT_TRUE(std::equal(bytes.begin(), bytes.end(), buffered.bytes.bytes().begin(), buffered.bytes.bytes().end()))
        << size;
    EXPECT_EQ(buffered.identity.size, size);
  }
  FileRead head = files.readFile(sparseFile(kThreeGiB, "123\r\n"), 65536, OverLimit::Truncate);
  ASSERT_TRUE(head);
  EXPECT_EQ(head.bytes.size(), 65536u);
  EXPECT_EQ(head.bytes[0], '1');
  EXPECT_EQ(head.identity.size, kThreeGiB);
}

TEST(ReadSafety, SettingsFileIsReadOnlyAsFarAsItsFirst64KiB) {
  // A settings file grown to gigabytes still gives its first lines at once.
  std::string text = "123\r\n/maps/a.tdb\r\n";
  for (int k = 2; k <= 20; ++k) text += " \r\n";
  text += "nan\r\ninf\r\n1\r\n";  // lines 21 (panel left), 22 (panel top), 23
  const std::string path = sparseFile(kThreeGiB, text);
  Folders folders;
  folders.systemFolder = utf8FromPath(pathFromUtf8(path).parent_path());
  fs::rename(pathFromUtf8(path), pathFromUtf8(folders.systemFolder + "/velmor.dat"));

  Settings settings;
  settings.imgPanelLeft = 1500;
  settings.imgPanelTop = 3000;
  ASSERT_TRUE(loaddata(folders, settings));
  EXPECT_EQ(settings.recentFiles[0], "/maps/a.tdb");
  EXPECT_TRUE(settings.overrideSettings);
  // "nan" and "inf" do not convert: the panel keeps its place.
  EXPECT_EQ(settings.imgPanelLeft, 1500);
  EXPECT_EQ(settings.imgPanelTop, 3000);

  std::string upToLine20 = "123\r\n";
  for (int k = 1; k <= 20; ++k) upToLine20 += " \r\n";
  for (const char* wild : {"-inf", "1e12", "-3.221225E+10", "NaN"}) {
    Settings s;
    s.imgPanelLeft = 15;
    parseSettings(upToLine20 + wild + "\r\n", s);
    EXPECT_EQ(s.imgPanelLeft, 15) << wild;
  }
  Settings edge;
  parseSettings(upToLine20 + "-251658225\r\n", edge);  // 2^24 - 1 pixels to the left
  EXPECT_EQ(edge.imgPanelLeft, -251658225.0f);
}
