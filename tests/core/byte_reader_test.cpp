#include <gtest/gtest.h>
#include <zlib.h>

#include "core/common/byte_reader.hpp"
#include "core/product/code_page.hpp"

using namespace velmor;

TEST(ByteReader, NumbersAndTheEnd) {
  Bytes d = {0xFF, 0xFF, 0xFF, 0xFF, 0x00, 0x00, 0x00, 0x80, 0x34, 0x12};
  ByteReader r(d);
  EXPECT_EQ(r.bit4(0), -1);
  EXPECT_EQ(r.bit4(4), INT32_MIN);
  EXPECT_EQ(r.bit2(8), 0x1234);
  EXPECT_EQ(r.bit2(9), 0x0012);  // the byte past the end reads 0
  EXPECT_EQ(r.dat(10), 0);
  EXPECT_EQ(r.dat(-1), 0);
  EXPECT_EQ(r.bit4(1000000), 0);
  EXPECT_TRUE(r.inside(6, 4));
  EXPECT_FALSE(r.inside(7, 4));
}

TEST(ByteReader, GettextPlainAndRecords) {
  Bytes d = {'A', 'B', 0, 9, 9, 9, 9, 'C', 0, 1, 2, 3, 4, 'D', 'E'};
  ByteReader r(d);
  EXPECT_EQ(r.gettext(0, 0), (Bytes{'A', 'B'}));
  // A text that reaches the end of the data ends there.
  EXPECT_EQ(r.gettext(13, 0), (Bytes{'D', 'E'}));
  // Records: the 0 and the four bytes after it become one line break.
  EXPECT_EQ(r.gettext(0, 8), (Bytes{'A', 'B', '\r', '\n', 'C', '\r', '\n'}));
  // Bounded by an end offset, bytes from there read as 0.
  EXPECT_EQ(r.gettext(13, 0, 14), (Bytes{'D'}));
  EXPECT_EQ(r.textLength(7), 1u);
  // A negative limit reads nothing.
  EXPECT_TRUE(r.gettext(0, -1).empty());
  EXPECT_TRUE(r.gettext(0, -2, 3).empty());
}

TEST(CodePage, DecodesAndEncodesEveryByteBack) {
  for (int number : {874, 1250, 1251, 1252, 1253, 1254, 1255, 1256, 1257, 1258}) {
    const CodePage& cp = CodePage::get(number);
    Bytes all;
    for (int b = 1; b < 256; ++b) all.push_back(static_cast<std::uint8_t>(b));
    auto back = cp.encode(cp.decode(all));
    ASSERT_TRUE(back) << number;
    EXPECT_EQ(*back, all) << number;
  }
}

TEST(CodePage, KnownCharactersAndRefusals) {
  EXPECT_EQ(CodePage::get(1252).decode(Bytes{0xA9}), "\u00A9");
  EXPECT_EQ(CodePage::get(1252).decode(Bytes{0x80}), "\u20AC");
  EXPECT_EQ(CodePage::get(1251).decode(Bytes{0xC0}), "\u0410");
  EXPECT_EQ(CodePage::get(1250).decode(Bytes{0x8A}), "\u0160");
  EXPECT_EQ(CodePage::get(1252).encode("Z\u00FCrich"), (Bytes{'Z', 0xFC, 'r', 'i', 'c', 'h'}));
  EXPECT_FALSE(CodePage::get(1252).encode("\u03A9mega"));
  EXPECT_EQ(CodePage::get(1252).firstUnencodable("ab\u0416c"), "\u0416");
  // Unknown pages fall back to 1252.
  EXPECT_EQ(CodePage::get(437).number(), 1252);
  EXPECT_EQ(CodePage::get(0).number(), 1252);
}

TEST(CodePage, NoLookAlikesAndTheSameTableOnEverySystem) {
  // A character the page lacks is refused, never written as the look-alike
  // Windows would choose ("o" for "ő", "8" for "∞", "e" for "é" in Cyrillic).
  EXPECT_FALSE(CodePage::get(1252).encode("\u0151"));
  EXPECT_FALSE(CodePage::get(1252).encode("\u221E"));
  EXPECT_FALSE(CodePage::get(1251).encode("\u00E9"));
  EXPECT_EQ(CodePage::get(1250).encode("\u0151\u0141"), (Bytes{0xF5, 0xA3}));
  EXPECT_EQ(CodePage::get(874).encode("\u0E01"), Bytes{0xA1});
  EXPECT_EQ(CodePage::get(1258).encode("\u0110"), Bytes{0xD0});

  // Every byte of every page reads as the same character whichever system
  // converts it (ICU on Linux, Windows itself): CRC-32 of the UTF-8 of
  // bytes 0x80-0xFF.
  const std::pair<int, std::uint32_t> tables[] = {
      {874, 0x907DFB22u},  {1250, 0xC074359Du}, {1251, 0x9B079C3Eu}, {1252, 0xDD22F8ABu}, {1253, 0xF4CC8B3Fu},
      {1254, 0xB2CDC8D9u}, {1255, 0xE60156BFu}, {1256, 0xD7096196u}, {1257, 0x30E1BC7Du}, {1258, 0x1DBFB4DAu}};
  Bytes high;
  for (int b = 0x80; b < 256; ++b) high.push_back(static_cast<std::uint8_t>(b));
  for (const auto& [number, expected] : tables) {
    const std::string text = CodePage::get(number).decode(high);
    const auto crc = static_cast<std::uint32_t>(
        crc32(0L, reinterpret_cast<const Bytef*>(text.data()), static_cast<uInt>(text.size())));
    EXPECT_EQ(crc, expected) << number;
  }
}
