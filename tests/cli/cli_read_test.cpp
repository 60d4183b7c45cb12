// velmor-cli report, show and verify, run as a map maker would run them.
#include <gtest/gtest.h>
#ifndef _WIN32
#include <sys/stat.h>
#endif
#include <zlib.h>

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <nlohmann/json.hpp>

#include "support/product_builder.hpp"
#include "support/run_process.hpp"
#include "support/system_texts.hpp"
#include "support/cli_run.hpp"

using namespace velmor;
using namespace velmor::test;

namespace {
const std::string kCli = VELMOR_CLI;
const std::string kNorth = std::string(VELMOR_TEST_DATA) + "/north/north.tdb";

}  // namespace

TEST(CliReport, PrintsTheReportOfMkgmapsFile) {
  ProcessResult r = cli({"report", kNorth});
  ASSERT_EQ(r.exitCode, 0) << r.err;
  // The checksum line first (stored at 0x396 = 918, the 23 last bytes of the 941-byte file),
  // then the header block of 0x4B bytes, map level 0x18.
  EXPECT_EQ(r.out.substr(0, r.out.find('\n')), "CRC32:AD 67 C1 26  @ &396");
  EXPECT_NE(r.out.find("\nBlock id=&50 length=4B\nMap Level:24\nroutable:1\nprofile info:0\nDEM capability:0\n"),
            std::string::npos);
  EXPECT_NE(r.out.find("\nMapnumber: 63240000\n"), std::string::npos);
  EXPECT_EQ(r.out.find('\r'), std::string::npos);

  ProcessResult crlf = cli({"report", "--crlf", kNorth});
  EXPECT_NE(crlf.out.find("Map Level:24\r\nroutable:1\r\n"), std::string::npos);
}

TEST(CliReport, DamagedFileIsToldBesideTheReport) {
  // A whole file says nothing more; a copy cut short says so on stderr and
  // the report still shows what was read.
  ProcessResult whole = cli({"report", kNorth});
  EXPECT_EQ(whole.err.find("damaged"), std::string::npos) << whole.err;
  Bytes cut = readFile(kNorth);
  cut.resize(700);
  const std::string path = writeTemp(cut, "cut.tdb");
  ProcessResult r = cli({"report", path});
  EXPECT_EQ(r.exitCode, 0) << r.err;
  EXPECT_NE(r.err.find("The file is damaged: it is cut off."), std::string::npos) << r.err;
  EXPECT_NE(r.err.find("Read: 700 bytes"), std::string::npos) << r.err;
  EXPECT_NE(r.out.find("Block id=&50 length=4B\n"), std::string::npos);
  ProcessResult shown = cli({"show", path});
  EXPECT_NE(shown.err.find("The file is damaged: it is cut off."), std::string::npos) << shown.err;
}

TEST(CliReport, RefusalsAndUsage) {
  ProcessResult missing = cli({"report", "/nonexistent/roads.tdb"});
  EXPECT_EQ(missing.exitCode, 1);
  EXPECT_NE(missing.err.find(missingFolderText()), std::string::npos) << missing.err;

  std::string big = tempDir() + "/big.tdb";
  { std::ofstream(pathFromUtf8(big), std::ios::binary).put(0x50); }
  std::filesystem::resize_file(pathFromUtf8(big), 26214401);
  ProcessResult tooBig = cli({"report", big});
  EXPECT_EQ(tooBig.exitCode, 1);
  EXPECT_NE(tooBig.err.find("tdb files are limited to 25mb."), std::string::npos);

  EXPECT_EQ(cli({"report"}).exitCode, 2);
  EXPECT_EQ(cli({"frobnicate"}).exitCode, 2);
  EXPECT_EQ(cli({}).exitCode, 2);

  // Messages of the decoding go to stderr, the report still comes out.
  Bytes odd = cat({block(0x50, headerBody(1, 2, 409, "S", "F", defaultTail(58))), block(0x41, Bytes{1})});
  ProcessResult unknown = cli({"report", writeTemp(odd)});
  EXPECT_EQ(unknown.exitCode, 0);
  EXPECT_NE(unknown.err.find("Unknown header:41 Header length incorrect."), std::string::npos);
}

TEST(CliShow, JsonCarriesEveryDecodedField) {
  ProcessResult r = cli({"show", "--json", writeTemp(sampleProduct())});
  ASSERT_EQ(r.exitCode, 0) << r.err;
  for (const char* piece : {"\"productId\": 7",
                            "\"familyId\": 4660",
                            "\"tdbVersion\": 409",
                            "\"version\": \"4.09\"",
                            "\"seriesName\": \"Sample Series\"",
                            "\"familyName\": \"Sample Family\"",
                            "\"tailLength\": 58",
                            "\"codePage\": \"1252\"",
                            "\"kind\": \"Copyright Info\"",
                            "\"mapNumber\": \"123456\"",
                            "\"name\": \"Sample overview\"",
                            "\"north\": \"45\"",
                            "\"description\": \"First tile\"",
                            "\"north\": \"42.1875\"",
                            "\"east\": \"0.70312\"",
                            "\"name\": \"10001.RGN\"",
                            "\"size\": 4096",
                            "\"subfileCount\": 2",
                            "\"maxlat\": 45000.0",
                            "\"type\": \"54\""}) {
    EXPECT_NE(r.out.find(piece), std::string::npos) << piece << "\n" << r.out;
  }
  ProcessResult text = cli({"show", kNorth});
  EXPECT_EQ(text.exitCode, 0);
  EXPECT_NE(text.out.find("PID / FID:       1 / 4660"), std::string::npos);
}

TEST(CliShow, SubfileSizesAreUnsigned) {
  const Bytes tile = block(0x4C, tileBody(10001, 0x00123456, 0x1E000000, 0x00800000, 0x1C000000, 0, "Big",
                                          {{"10001.TRE", 0x80000000u}, {"10001.RGN", 0xFFFFFFFFu}}));
  const std::string path = writeTemp(cat({block(0x50, headerBody(1, 2, 409, "S", "F", defaultTail(58))), tile}));
  ProcessResult text = cli({"show", path});
  ASSERT_EQ(text.exitCode, 0) << text.err;
  EXPECT_NE(text.out.find("    10001.TRE 2147483648\n    10001.RGN 4294967295\n"), std::string::npos) << text.out;
  ProcessResult json = cli({"show", "--json", path});
  ASSERT_EQ(json.exitCode, 0) << json.err;
  EXPECT_NE(json.out.find("\"size\": 2147483648"), std::string::npos) << json.out;
  EXPECT_NE(json.out.find("\"size\": 4294967295"), std::string::npos) << json.out;
}

TEST(CliVerify, AgreesWithZlibAndCatchesDamage) {
  ProcessResult good = cli({"verify", kNorth});
  EXPECT_EQ(good.exitCode, 0) << good.out << good.err;
  EXPECT_NE(good.out.find("stored:   AD67C126"), std::string::npos);

  Bytes bytes = readFile(kNorth);
  bytes[40] ^= 0x01;  // a tail byte of the header
  ProcessResult bad = cli({"verify", writeTemp(bytes)});
  EXPECT_EQ(bad.exitCode, 1);
  auto crc = static_cast<std::uint32_t>(crc32(0L, bytes.data(), 918));
  char expected[32];
  std::snprintf(expected, sizeof expected, "computed: %08X", crc);
  EXPECT_NE(bad.out.find(expected), std::string::npos) << bad.out;
  EXPECT_NE(bad.out.find("CRC MISMATCH"), std::string::npos);

  Bytes noSum = cat({block(0x50, headerBody(1, 2, 409, "S", "F", defaultTail(58)))});
  ProcessResult none = cli({"verify", writeTemp(noSum)});
  EXPECT_EQ(none.exitCode, 1);
  EXPECT_NE(none.err.find("No checksum block"), std::string::npos);
}

TEST(CliReads, WhatIsNoProductFileEndsAtOnceWithAMessage) {
  const std::string dir = tempDir();
  const std::string sparse = dir + "/huge.tdb";
  { std::ofstream(pathFromUtf8(sparse), std::ios::binary).put(0x50); }
  std::filesystem::resize_file(pathFromUtf8(sparse), 3ull << 30);
  struct Case {
    std::vector<std::string> args;
    std::string message;
  };
#ifdef _WIN32
  const std::string device = "NUL";
  const Case cases[] = {
    {{"report", device}, "Is a device or a pipe, not a regular file"},
    {{"show", "--json", device}, "Is a device or a pipe, not a regular file"},
    {{"edit", device, "--pid", "3"}, "Is a device or a pipe, not a regular file"},
#else
  const std::string fifo = dir + "/pipe.tdb";
  ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
  const Case cases[] = {
      {{"report", "/dev/zero"}, "Is a device, not a regular file"},
      {{"report", fifo}, "Is a pipe (FIFO), not a regular file"},
      {{"show", "--json", fifo}, "Is a pipe (FIFO), not a regular file"},
      {{"edit", fifo, "--pid", "3"}, "Is a pipe (FIFO), not a regular file"},
#endif
    {{"verify", dir}, "Is a folder, not a regular file"},
    {{"verify", sparse}, "tdb files are limited to 25mb."},
  };
  for (const Case& c : cases) {
    ProcessResult r = cli(c.args);
    EXPECT_EQ(r.exitCode, 1) << c.args[0] << " " << c.args.back();
    EXPECT_NE(r.err.find(c.message), std::string::npos) << r.err;
  }
}

TEST(CliConventions, VersionHelpOfEveryCommandAndNamesBeyondAscii) {
  ProcessResult version = cli({"--version"});
  EXPECT_EQ(version.exitCode, 0);
  EXPECT_EQ(version.out, "velmor-cli 2.1\n");
  for (const std::string command :
       {"report", "show", "verify", "edit", "reg", "installed", "img", "bounds", "mdx", "preview", "basemap"}) {
    ProcessResult help = cli({command, "--help"});
    EXPECT_EQ(help.exitCode, 0) << command;
    EXPECT_NE(help.out.find("velmor-cli " + command), std::string::npos) << help.out;
  }

  // A folder with blanks and a name no ANSI code page holds whole: on
  // Windows the arguments and every file call must go the wide way.
  const std::string folder = tempDir() + "/Caf\u00E9 maps";
  std::filesystem::create_directory(pathFromUtf8(folder));
  const std::string path = folder + "/N\u00F6rth \u03A9.tdb";
  std::filesystem::copy_file(pathFromUtf8(kNorth), pathFromUtf8(path));
  ProcessResult edited = runProcess({kCli, "edit", path, "--pid", "9"}, "", {"VELMOR_HOME=" + tempDir()});
  ASSERT_EQ(edited.exitCode, 0) << edited.err;
  EXPECT_NE(cli({"show", "--json", path}).out.find("\"productId\": 9"), std::string::npos);
  EXPECT_EQ(cli({"verify", path}).exitCode, 0);
  EXPECT_EQ(readFile(folder + "/N\u00F6rth \u03A9_bak.tdb"), readFile(kNorth));
}

TEST(CliImg, AMillionTileShapeIsStreamedWholeWithItsBrokenTilesCountedNotListed) {
  // Bare TRE headers, 36 bytes apiece, as in a crafted file of a million:
  // every fifth one holds a box on the map, the rest are left out.
  constexpr int kTiles = 1000;
  std::string image(static_cast<std::size_t>(kTiles) * 36, '\0');
  for (int k = 0; k < kTiles; ++k) {
    char* h = &image[static_cast<std::size_t>(k) * 36];
    h[0] = 36;
    std::memcpy(h + 2, "GARMIN TRE", 10);
    const bool box = k % 5 == 0;
    // North 45 or -45 degrees (in 24-bit units), east 45, south and west 0.
    const std::uint32_t north = box ? 0x200000 : 0xE00000;
    for (int b = 0; b < 3; ++b) h[21 + b] = static_cast<char>(north >> (8 * b));
    for (int b = 0; b < 3; ++b) h[24 + b] = static_cast<char>(0x200000 >> (8 * b));
  }
  const std::string path = tempDir() + "/crafted.img";
  std::ofstream(path, std::ios::binary) << image;

  ProcessResult json = cli({"img", path, "--json"});
  ASSERT_EQ(json.exitCode, 0) << json.err;
  const nlohmann::json scan = nlohmann::json::parse(json.out);
  EXPECT_EQ(scan["tileCount"], kTiles);
  ASSERT_EQ(scan["tiles"].size(), static_cast<std::size_t>(kTiles));
  EXPECT_EQ(scan["tiles"][kTiles - 1]["offset"], (kTiles - 1) * 36);
  EXPECT_EQ(scan["tiles"][5]["usable"], true);
  EXPECT_EQ(scan["tiles"][6]["usable"], false);
  EXPECT_EQ(scan["bounds"]["north"], "45");
  // A hundred left-out tiles by name, the other 700 in one line.
  const std::string errors = scan["errors"];
  std::size_t named = 0;
  for (std::size_t at = 0; (at = errors.find("the tile is left out\r\n", at)) != std::string::npos; ++at) ++named;
  EXPECT_EQ(named, 100u) << errors;
  EXPECT_NE(errors.find("700 more TRE headers have bounds that are not a box on the map; their tiles are left out"),
            std::string::npos);

  ProcessResult text = cli({"img", path});
  ASSERT_EQ(text.exitCode, 0) << text.err;
  EXPECT_NE(text.out.find("Tiles:    1000\n"), std::string::npos);
  EXPECT_NE(text.out.find("  TRE at &B4: N 45 E 45 S 0 W 0\n"), std::string::npos) << text.out.substr(0, 400);
  EXPECT_NE(text.out.find("  TRE at &D8: N -45 E 45 S 0 W 0 (left out)\n"), std::string::npos);
  EXPECT_NE(text.out.find("Bounds:   N 45 E 45 S 0 W 0\n"), std::string::npos);
}
