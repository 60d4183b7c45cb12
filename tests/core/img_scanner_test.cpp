// The IMG scanner on crafted images and on tiles mkgmap wrote: what it finds,
// what it must not take for a header, and that it never reads outside the data.
#include <gtest/gtest.h>

#ifndef _WIN32
#include <sys/stat.h>
#endif

#include <cstring>
#include <filesystem>

#include "core/img/img_scanner.hpp"
#include "support/product_builder.hpp"
#include "support/scripted_prompter.hpp"

using namespace velmor;
using namespace velmor::test;

namespace {

using Messages = std::vector<std::string>;

void put24(Bytes& b, std::size_t at, std::uint32_t v) {
  for (int i = 0; i < 3; ++i) b[at + static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(v >> (8 * i));
}
void put32(Bytes& b, std::size_t at, std::uint32_t v) {
  for (int i = 0; i < 4; ++i) b[at + static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(v >> (8 * i));
}

// A bare subfile header of `length` bytes (no container around it).
Bytes header(const char* kind, std::uint16_t length) {
  Bytes h(length, 0);
  h[0] = static_cast<std::uint8_t>(length);
  h[1] = static_cast<std::uint8_t>(length >> 8);
  std::memcpy(&h[2], "GARMIN ", 7);
  std::memcpy(&h[9], kind, 3);
  return h;
}

Bytes tre(std::uint32_t n, std::uint32_t e, std::uint32_t s, std::uint32_t w) {
  Bytes h = header("TRE", 188);
  put24(h, 21, n);
  put24(h, 24, e);
  put24(h, 27, s);
  put24(h, 30, w);
  return h;
}

void place(Bytes& image, std::size_t at, const Bytes& part) {
  if (image.size() < at + part.size()) image.resize(at + part.size());
  std::copy(part.begin(), part.end(), image.begin() + static_cast<std::ptrdiff_t>(at));
}

struct Scan {
  ImgScanResult result;
  Messages messages;
};

Scan scan(const Bytes& image, const ScanLayout& layout = {}) {
  RecordingPrompter prompter;
  MemoryRangeReader reader(image);
  Scan s{loadbinaryfst(reader, prompter, quietActivity(), layout), prompter.messages};
  get_imglimits(s.result);
  return s;
}

Bytes fixture(const std::string& relative) { return readFile(std::string(VELMOR_TEST_DATA) + "/" + relative); }

}  // namespace

TEST(ImgScan, UnitsToDegrees) {
  EXPECT_EQ(imgUnitsToDegrees(0x200000), 45.0f);
  EXPECT_EQ(imgUnitsToDegrees(0xE00000), -45.0f);
  EXPECT_EQ(imgUnitsToDegrees(0x800000), -180.0f);
  // The east edge of a tile that ends on the antimeridian.
  EXPECT_EQ(imgEastToDegrees(0x800000), 180.0f);
  EXPECT_EQ(imgEastToDegrees(0xE00000), -45.0f);
  // Five decimals, cut: 0x72EA6 is 10.0999975...
  EXPECT_EQ(imgUnitsToDegrees(0x72EA6), 10.09999f);
}

TEST(ImgScan, CraftedImagesGiveNoTileAndNoReadOutside) {
  EXPECT_EQ(scan({}).messages, Messages{kNoData});
  EXPECT_EQ(scan({0}).messages, Messages{kNoData});

  // A signature at offset 0 or 1 would put its header before the file.
  Bytes atZero = tre(0x200000, 0x10000, 0x100000, 0);
  atZero.erase(atZero.begin(), atZero.begin() + 2);
  EXPECT_EQ(scan(atZero).messages, (Messages{kNeedsXorring, kNoData}));
  Bytes atOne = atZero;
  atOne.insert(atOne.begin(), 0);
  EXPECT_TRUE(scan(atOne).result.tiles.empty());

  // A header cut off by the end of the file.
  Bytes cut(16, 0);
  place(cut, 16, tre(0x200000, 0x10000, 0x100000, 0));
  cut.resize(16 + 0x20);
  Scan truncated = scan(cut);
  EXPECT_TRUE(truncated.result.tiles.empty());
  EXPECT_FALSE(truncated.result.hasBounds);

  // Text in a container's description: "GARMIN TREK MAP" with a zero
  // "length" in front of it is no TRE header.
  Bytes text(0x49, 0);
  const char description[] = "GARMIN TREK MAP     ";
  text.insert(text.end(), description, description + 20);
  text.resize(0x400, 0);
  EXPECT_TRUE(scan(text).result.tiles.empty());

  // A scrambled tile shows "needs xorring" and yields no signatures.
  Bytes scrambled = fixture("north/63240001.img");
  for (std::uint8_t& b : scrambled) b ^= 0x8D;
  EXPECT_EQ(scan(scrambled).messages, (Messages{kNeedsXorring, kNoData}));
}

TEST(ImgScan, EveryTileCountsWhereverWindowsAndPiecesEnd) {
  // Windows of 4 KiB read in pieces of 1 KiB: one tile in window 0, one in
  // window 1 behind its RGN, a box that is not a box (south above north),
  // and a tile whose header straddles the end of a piece and of window 1.
  const ScanLayout layout{4096, 1024};
  Bytes image(100, 0);
  place(image, 100, tre(0x247000, 0x001000, 0x245000, 0x000000));  // 51.2 .. 51.1 N, 0 .. 0.02 E
  Bytes rgn = header("RGN", 29);
  put32(rgn, 0x19, 0x80000000);  // does not fit the signed field: counts as 0
  place(image, 5000, rgn);
  place(image, 5100, tre(0xE80000, 0x000800, 0xE70000, 0xFFF000));  // south of the equator, west of 0
  place(image, 6000, tre(0x100000, 0x003000, 0x200000, 0x002000));
  place(image, 8192 - 20, tre(0x250000, 0x003000, 0x249000, 0x002000));
  image.resize(10000, 0);

  Scan s = scan(image, layout);
  ASSERT_EQ(s.result.tiles.size(), 4u);
  EXPECT_FALSE(s.result.tiles[2].usable);
  EXPECT_EQ(s.result.tiles[3].offset, 8192 - 20);
  ASSERT_TRUE(s.result.hasBounds);
  EXPECT_EQ(s.result.tileBounds[0], imgUnitsToDegrees(0x250000));
  EXPECT_EQ(s.result.tileBounds[1], imgUnitsToDegrees(0x003000));
  EXPECT_EQ(s.result.tileBounds[2], imgUnitsToDegrees(0xE70000));
  EXPECT_EQ(s.result.tileBounds[3], imgUnitsToDegrees(0xFFF000));
  // The kinds are those first met in the last window: its RGN started the
  // lists anew. Sizes come from the headers: RGN = its length, the field
  // that overflowed counting 0; a TRE of 188 bytes with 0 at 0x8E is 0.
  EXPECT_EQ(s.result.subfileKinds, "RGN,TRE,");
  EXPECT_EQ(s.result.subfileSizes, "1D,0,");
  EXPECT_FALSE(s.result.sizesFromDirectory);
  EXPECT_NE(s.result.errorText.find("bit4:Overflow\r\n"), std::string::npos);
  EXPECT_NE(s.result.errorText.find("TRE at &1770:"), std::string::npos) << s.result.errorText;
  EXPECT_EQ(s.messages, Messages{});
}

TEST(ImgScan, SizesFromTheDirectoryElseFromTheHeaders) {
  // mkgmap's directory, which its product file repeats.
  Bytes tile = fixture("north/63240001.img");
  Scan withDirectory = scan(tile);
  EXPECT_TRUE(withDirectory.result.sizesFromDirectory);
  EXPECT_EQ(withDirectory.result.subfileKinds, "RGN,TRE,LBL,NET,NOD,");
  EXPECT_EQ(withDirectory.result.subfileSizes, "2E0,2C8,25B,133,400,");
  ASSERT_EQ(withDirectory.result.tiles.size(), 1u);

  // Without a readable directory the header fields give the sizes: for
  // mkgmap's tiles the TRE comes out 0 and the LBL 22 bytes short; the
  // tile and its bounds are found all the same.
  std::memset(&tile[0x10], 0, 6);  // "DSKIMG"
  Scan fromHeaders = scan(tile);
  EXPECT_FALSE(fromHeaders.result.sizesFromDirectory);
  EXPECT_EQ(fromHeaders.result.subfileKinds, "RGN,TRE,LBL,NET,NOD,");
  EXPECT_EQ(fromHeaders.result.subfileSizes.substr(0, 10), "2E0,0,245,");
  EXPECT_EQ(fromHeaders.result.tileBounds, withDirectory.result.tileBounds);
}

TEST(ImgScan, ImageAboveTheLimitIsWarnedAboutAndScannedToItsEnd) {
  // A tile followed by padding to 1001 MiB (sparse: no disk space used).
  const std::string path = writeTemp(fixture("north/63240001.img"), "big.img");
  std::filesystem::resize_file(path, 1001ull * 1024 * 1024);
  RecordingPrompter prompter;
  ImgScanResult big = loadbinaryfst(path, prompter);
  get_imglimits(big);
  EXPECT_EQ(prompter.messages, Messages{kImgTooLarge});
  EXPECT_TRUE(big.readable);
  EXPECT_TRUE(big.hasBounds);
  EXPECT_EQ(big.tileBounds, scan(fixture("north/63240001.img")).result.tileBounds);
  std::filesystem::remove_all(std::filesystem::path(path).parent_path());

  // What cannot be read is said, with its path; a FIFO named like a map is
  // refused at once instead of hanging the scan.
  RecordingPrompter missing;
  EXPECT_FALSE(loadbinaryfst("/nonexistent/x.img", missing).readable);
#ifdef _WIN32
  const std::string fifo = "NUL";  // a device: Windows has no FIFO in the file system
#else
  const std::string fifo = tempDir() + "/pipe.img";
  ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
#endif
  EXPECT_FALSE(loadbinaryfst(fifo, missing).readable);
  ASSERT_EQ(missing.messages.size(), 2u);
  EXPECT_NE(missing.messages[0].find("/nonexistent/x.img"), std::string::npos);
  EXPECT_EQ(missing.messages[1], "Not a regular file: " + fifo);
#ifndef _WIN32
  std::filesystem::remove_all(std::filesystem::path(fifo).parent_path());
#endif
}
