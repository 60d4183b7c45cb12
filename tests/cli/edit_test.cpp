// velmor-cli edit, end to end: the built tool on a crafted product file,
// with its own program folder, checked byte by byte.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <zlib.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <future>
#include <thread>

#include "core/settings/settings.hpp"
#include "support/lock_holder.hpp"
#include "support/product_builder.hpp"
#include "support/run_process.hpp"
#include "support/test_files.hpp"

namespace velmor {
namespace {

using namespace velmor::test;

using CliRun = ProcessResult;

// Runs the tool with its own program folder.
CliRun runCli(const std::string& home, std::vector<std::string> args) {
  args.insert(args.begin(), VELMOR_CLI);
  return runProcess(args, "", {"VELMOR_HOME=" + home});
}

struct EditCli : ::testing::Test {
  std::string home = tempDir();
  Bytes original = sampleProduct();
  std::string file;
  // The sample's header block: 3 + 94 bytes (ids, version, two names of 14
  // bytes with their 0, product version, a 58-byte tail).
  static constexpr std::size_t kHeaderBlock = 97;
  static constexpr std::size_t kTailOffset = 39;  // file offset of tail byte 0

  void SetUp() override { file = writeTemp(original); }

  void writeSettings(const Settings& s) {
    std::filesystem::create_directories(home + "/system");
    std::ofstream(home + "/system/velmor.dat", std::ios::binary) << settingsText(s);
  }

  // Everything before the checksum block, and a check that the block holds its CRC.
  static Bytes withoutChecksum(const Bytes& bytes) {
    EXPECT_GE(bytes.size(), 23u);
    if (bytes.size() < 23) return {};
    Bytes body(bytes.begin(), bytes.end() - 23);
    const std::uint8_t* c = bytes.data() + bytes.size() - 23;
    EXPECT_EQ(c[0], 0x54);
    EXPECT_EQ(c[1], 20);
    EXPECT_EQ(c[2], 0);
    auto crc = static_cast<std::uint32_t>(::crc32(0L, body.data(), static_cast<uInt>(body.size())));
    std::uint32_t stored = static_cast<std::uint32_t>(c[5]) << 24 | static_cast<std::uint32_t>(c[12]) << 16 |
                           static_cast<std::uint32_t>(c[15]) << 8 | c[20];
    EXPECT_EQ(stored, crc);
    return body;
  }
  Bytes originalAfterHeader() const { return Bytes(original.begin() + kHeaderBlock, original.end() - 23); }
};

TEST_F(EditCli, HeaderEditsAreWrittenAndTheOriginalIsBackedUp) {
  CliRun r = runCli(home, {"edit", file, "--pid", "513", "--routable", "on", "--version", "4.11"});
  ASSERT_EQ(r.exitCode, 0) << r.err;
  Bytes written = withoutChecksum(readFile(file));

  Bytes tail = defaultTail(61);  // what 4.11 brings in: the same defaults, 61 bytes
  tail[38] = 1;                  // routable
  Bytes expected =
      cat({block(0x50, headerBody(513, 4660, 411, "Sample Series", "Sample Family", tail)), originalAfterHeader()});
  EXPECT_EQ(written, expected);
  EXPECT_EQ(written[1], 0x61);  // header length 94 + 3

  std::string bak = file.substr(0, file.size() - 4) + "_bak.tdb";
  EXPECT_EQ(readFile(bak), original);
  struct stat st {};
  ASSERT_EQ(::stat(bak.c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 0222, 0u);
}

TEST_F(EditCli, TailBytesAndCodePage) {
  CliRun r = runCli(home, {"edit", file, "--tail-byte", "20=5a", "--code-page", "1250", "--tail-byte", "21=F"});
  ASSERT_EQ(r.exitCode, 0) << r.err;
  Bytes written = withoutChecksum(readFile(file));
  ASSERT_EQ(written.size(), original.size() - 23);
  EXPECT_EQ(written[kTailOffset + 20], 0x5A);
  EXPECT_EQ(written[kTailOffset + 21], 0x0F);
  EXPECT_EQ(written[kTailOffset + 30], 0xE2);  // 1250 = 0x04E2
  EXPECT_EQ(written[kTailOffset + 31], 0x04);
  Bytes rest(written.begin() + kHeaderBlock, written.end());
  EXPECT_EQ(rest, originalAfterHeader());
}

TEST_F(EditCli, RefusalWritesNothing) {
  struct Case {
    std::vector<std::string> args;
    std::string message;
  };
  const Case cases[] = {
      {{"--version", "4.03", "--printing", "off"},
       "Option only available with TDB version 4.09+.\r\nChange TDB version first."},
      {{"--version", "4.10"}, "Unknown tdb version. Please report this version."},
      {{"--map-window", "50%,40%"},
       "This could cause a problem in Mapsource.\r\n\r\nTick printing or Map Window option only."},
      {{"--family-name", "Topo.v2"}, "The Faimily Name box does not take '.'."},
      {{"--pid", "-3"}, "The PID box does not take '-'."},
      {{"--tail-byte", "58=1"}, "Tail byte 58 is outside the header tail of 58 bytes."},
      {{"--routable", "maybe"}, "--routable takes on or off, not 'maybe'."},
      // Order matters: printing goes off at 4.09, then 4.03 is accepted, and the save refuses.
      {{"--printing", "off", "--version", "4.03"}, "Change version to 4.09 or higher to disable Printing."},
  };
  for (const Case& c : cases) {
    std::vector<std::string> args{"edit", file};
    args.insert(args.end(), c.args.begin(), c.args.end());
    CliRun r = runCli(home, args);
    EXPECT_EQ(r.exitCode, 1) << c.message;
    EXPECT_NE(r.err.find(c.message), std::string::npos) << r.err;
    EXPECT_EQ(readFile(file), original) << c.message;
    EXPECT_FALSE(std::filesystem::exists(file.substr(0, file.size() - 4) + "_bak.tdb")) << c.message;
  }
}

TEST_F(EditCli, MapWindowWithPrintingWhenWarningsAreSuppressed) {
  Settings s;
  s.suppressCrashWarnings = true;
  writeSettings(s);
  CliRun r = runCli(home, {"edit", file, "--map-window", "50%,40%"});
  ASSERT_EQ(r.exitCode, 0) << r.err;
  Bytes w = withoutChecksum(readFile(file));
  // 50 % of 1455 = 727.5 -> 728 -> 720 (multiple of 16) = 0x02D0;
  // 40 % of 1279 = 511.6 -> 512 = 0x0200.
  EXPECT_EQ(w[kTailOffset + 50], 0xD0);
  EXPECT_EQ(w[kTailOffset + 51], 0x02);
  EXPECT_EQ(w[kTailOffset + 54], 0x00);
  EXPECT_EQ(w[kTailOffset + 55], 0x02);
  EXPECT_EQ(w[kTailOffset + 49], 0x00);  // printing stays on
}

TEST_F(EditCli, SaveACopyLeavesTheFileAlone) {
  std::string out = tempDir() + "/copy.tdb";
  CliRun r = runCli(home, {"edit", file, "--dem", "on", "-o", out});
  ASSERT_EQ(r.exitCode, 0) << r.err;
  EXPECT_EQ(readFile(file), original);
  Bytes w = withoutChecksum(readFile(out));
  EXPECT_EQ(w[kTailOffset + 39], 1);
  EXPECT_FALSE(std::filesystem::exists(file.substr(0, file.size() - 4) + "_bak.tdb"));

  // An existing copy is replaced only with --yes.
  Bytes first = readFile(out);
  CliRun again = runCli(home, {"edit", file, "--profile", "on", "-o", out});
  EXPECT_EQ(again.exitCode, 1);
  EXPECT_NE(again.err.find("File exists. Replace this file?"), std::string::npos);
  EXPECT_EQ(readFile(out), first);
  CliRun yes = runCli(home, {"edit", file, "--profile", "on", "-o", out, "--yes"});
  EXPECT_EQ(yes.exitCode, 0) << yes.err;
  EXPECT_EQ(withoutChecksum(readFile(out))[kTailOffset + 40], 1);

  CliRun bad = runCli(home, {"edit", file, "--dem", "on", "-o", tempDir() + "/copy.txt"});
  EXPECT_EQ(bad.exitCode, 1);
  EXPECT_NE(bad.err.find("This is not a tdb file."), std::string::npos);
}

TEST_F(EditCli, LogLinesGoWhereTheSettingsSay) {
  CliRun quiet = runCli(home, {"edit", file, "--routable", "on"});
  ASSERT_EQ(quiet.exitCode, 0) << quiet.err;
  EXPECT_FALSE(std::filesystem::exists(home + "/logs/tdblog.txt"));

  Settings s;
  s.logsEnabled = true;
  writeSettings(s);
  CliRun r = runCli(home, {"edit", file, "--routable", "off"});
  ASSERT_EQ(r.exitCode, 0) << r.err;
  std::string log = slurp(home + "/logs/tdblog.txt");
  // "HH:MM:SS:Changed Routing" CR LF "HH:MM:SS:Saved:" path CR LF
  std::string saved = ":Saved:" + file + "\r\n";
  ASSERT_EQ(log.size(), 9 + std::string("Changed Routing\r\n").size() + 8 + saved.size()) << log;
  EXPECT_EQ(log.substr(8, 18), ":Changed Routing\r\n");
  EXPECT_EQ(log.substr(26 + 8), saved);
  EXPECT_EQ(log[2], ':');
  EXPECT_EQ(log[5], ':');
}

TEST_F(EditCli, NamesAndCopyright) {
  CliRun r = runCli(home, {"edit", file, "--series-name", "New Series", "--family-name", "Fam", "--fid", "4661"});
  ASSERT_EQ(r.exitCode, 0) << r.err;
  Bytes w = withoutChecksum(readFile(file));
  Bytes expectedHeader = block(0x50, headerBody(7, 4661, 409, "New Series", "Fam", defaultTail(58)));
  ASSERT_GE(w.size(), expectedHeader.size());
  EXPECT_EQ(Bytes(w.begin(), w.begin() + static_cast<std::ptrdiff_t>(expectedHeader.size())), expectedHeader);
  Bytes rest(w.begin() + static_cast<std::ptrdiff_t>(expectedHeader.size()), w.end());
  EXPECT_EQ(rest, originalAfterHeader());
}

}  // namespace
}  // namespace velmor

namespace velmor {
namespace {

using namespace velmor::test;

// The sample's blocks: header [0, 97), copyright [97, 142) (records of
// 4 + 21 + 1 and 4 + 11 + 1 bytes), overview [142, 185) (24 + 15 + 1), tiles.
TEST_F(EditCli, OverviewAndCopyrightBlocks) {
  CliRun r = runCli(home, {"edit", file, "--overview-bounds", "45,22.5,11.25,-90", "--overview-name", "Alps",
                           "--overview-number", "1A2B", "--parent-number", "5", "--copyright-print", "off"});
  ASSERT_EQ(r.exitCode, 0) << r.err;
  Bytes w = withoutChecksum(readFile(file));
  Bytes expected = cat({Bytes(original.begin(), original.begin() + 97),
                        block(0x44, copyrightBody(1, 6, {"Copyright sample maps", "Second line"})),
                        block(0x42, overviewBody(0x1A2B, 5, 0x20000000, 0x10000000, 0x08000000, -0x40000000, "Alps")),
                        Bytes(original.begin() + 185, original.end() - 23)});
  EXPECT_EQ(w, expected);

  CliRun bad = runCli(home, {"edit", file, "--overview-bounds", "45,22.5,11.25"});
  EXPECT_EQ(bad.exitCode, 1);
  CliRun comma = runCli(home, {"edit", file, "--overview-bounds", "45,2e1,11.25,-90"});
  EXPECT_EQ(comma.exitCode, 1);
  EXPECT_NE(comma.err.find("The overview bound box does not take 'e'."), std::string::npos) << comma.err;
}

TEST_F(EditCli, TwoEditsAtOnceBothSurvive) {
  auto ids = [&] {
    const Bytes w = readFile(file);
    return std::make_pair(w[3] | w[4] << 8, w[5] | w[6] << 8);
  };
  for (int round = 0; round < 4; ++round) {
    std::ofstream(pathFromUtf8(file), std::ios::binary | std::ios::trunc)
        .write(reinterpret_cast<const char*>(original.data()), static_cast<std::streamsize>(original.size()));
    // The backup is read-only, which Windows will not delete.
    const std::filesystem::path backup = pathFromUtf8(file.substr(0, file.size() - 4) + "_bak.tdb");
    std::error_code ec;
    std::filesystem::permissions(backup, std::filesystem::perms::owner_write, std::filesystem::perm_options::add, ec);
    std::filesystem::remove(backup, ec);
    auto first = std::async(std::launch::async, [&] { return runCli(home, {"edit", file, "--pid", "5"}); });
    CliRun second = runCli(home, {"edit", file, "--fid", "4242"});
    CliRun other = first.get();
    ASSERT_EQ(other.exitCode, 0) << other.err;
    ASSERT_EQ(second.exitCode, 0) << second.err;
    EXPECT_EQ(ids(), std::make_pair(5, 4242)) << "round " << round;
  }

  // Another program's lock: the edit waits for it and then goes on. On
  // Windows that is a byte-range lock, which covers the byte edits lock.
#ifdef _WIN32
  LockHolder holder(file, LockHolder::Kind::Record);
#else
  LockHolder holder(file, LockHolder::Kind::Whole);
#endif
  ASSERT_TRUE(holder.locked());
  // Held long enough that the edit surely meets it, even when starting a
  // program is slow (Wine on a busy machine takes more than a second).
  std::thread release([&] {
    std::this_thread::sleep_for(std::chrono::seconds(3));
    holder.release();
  });
  CliRun waited = runCli(home, {"edit", file, "--pid", "6"});
  release.join();
  EXPECT_EQ(waited.exitCode, 0) << waited.err;
  EXPECT_NE(waited.err.find("Waiting for another edit of " + file + " to finish..."), std::string::npos);
  EXPECT_EQ(ids(), std::make_pair(6, 4242));
}

TEST_F(EditCli, DroppingBlocksAfterTheChecksumIsAQuestion) {
  // A tile after the checksum block: the save leaves it out, so the file
  // would shrink. Without --yes nothing is written.
  const Bytes extra = block(0x4C, Bytes{1, 2, 3, 4});
  const std::string corrupt = writeTemp(cat({original, extra}), "corrupt.tdb");
  const std::string out = home + "/out.tdb";
  CliRun no = runCli(home, {"edit", corrupt, "-o", out});
  EXPECT_EQ(no.exitCode, 1);
  EXPECT_NE(no.err.find("1 block follows the checksum block of " + corrupt +
                        ". Saving leaves them out of the file. Save anyway? [answered No; pass --yes to answer Yes]"),
            std::string::npos)
      << no.err;
  EXPECT_FALSE(std::filesystem::exists(out));
  EXPECT_EQ(readFile(corrupt), cat({original, extra}));

  CliRun yes = runCli(home, {"edit", corrupt, "-o", out, "--yes"});
  ASSERT_EQ(yes.exitCode, 0) << yes.err;
  EXPECT_EQ(withoutChecksum(readFile(out)), Bytes(original.begin(), original.end() - 23));
}

}  // namespace
}  // namespace velmor
