#include <gtest/gtest.h>

#include "core/common/number_text.hpp"

using namespace velmor;

TEST(NumberText, ShortestTextUpToFifteenDigits) {
  EXPECT_EQ(numberText(0.0), "0");
  EXPECT_EQ(numberText(4.03), "4.03");
  EXPECT_EQ(numberText(3.0), "3");
  EXPECT_EQ(numberText(4.1), "4.1");
  EXPECT_EQ(numberText(-0.5), "-0.5");
  EXPECT_EQ(numberText(0.0001), "0.0001");
  EXPECT_EQ(numberText(0.00009), "9E-05");
  EXPECT_EQ(numberText(1.5e-5), "1.5E-05");
  EXPECT_EQ(numberText(1e15), "1E+15");
  EXPECT_EQ(numberText(123456789012345.0), "123456789012345");
  EXPECT_EQ(numberText(50.11874997988343), "50.1187499798834");
  EXPECT_EQ(numberText(50118.75), "50118.75");
  // Single precision is written with 7 significant digits.
  EXPECT_EQ(numberText(50.11875f), "50.11875");
  EXPECT_EQ(numberText(0.1f), "0.1");
}

TEST(NumberText, FormatDegreesTruncatesToFiveDecimals) {
  EXPECT_EQ(formatDegrees(51.123456789), "51.12345");
  EXPECT_EQ(formatDegrees(-0.5), "-0.5");
  EXPECT_EQ(formatDegrees(180), "180");
  EXPECT_EQ(formatDegrees(-0.0000123), "-0.00001");
  EXPECT_EQ(formatDegrees(1.5e-5), "0.00001");
  EXPECT_EQ(formatDegrees(8.381903171539307e-08), "0.00000");
  EXPECT_EQ(formatDegrees(mapUnitsToDegrees(0x20000000)), "45");
  EXPECT_EQ(formatDegrees(mapUnitsToDegrees(0x01000000)), "1.40625");
  EXPECT_EQ(formatDegrees(-179.99999999), "-179.99999");
  EXPECT_EQ(formatDegrees(123456.5), "123456.5");
}

TEST(NumberText, MapUnits) {
  EXPECT_DOUBLE_EQ(mapUnitsToDegrees(1), 8.381903171539307e-08);
  EXPECT_DOUBLE_EQ(mapUnitsToDegrees(INT32_MIN), -180.0);
  EXPECT_DOUBLE_EQ(mapUnitsToDegrees(0x40000000), 90.0);
}

TEST(NumberText, RoundSixthDecimalCapsTheDigit) {
  EXPECT_EQ(roundSixthDecimal("51.1234567"), "51.123457");
  EXPECT_EQ(roundSixthDecimal("51.1234549"), "51.123454");
  EXPECT_EQ(roundSixthDecimal("51.1234599"), "51.123459");
  EXPECT_EQ(roundSixthDecimal("51.12"), "51.12");
  EXPECT_EQ(roundSixthDecimal("180"), "180");
  EXPECT_EQ(roundSixthDecimal("0,1234567"), "0,123457");
  // An exponent text is not cut: 5E-05 must stay a tiny number.
  EXPECT_EQ(roundSixthDecimal("8.38190317153931E-08"), "8.38190317153931E-08");
}

TEST(NumberText, PadDecimalsAndSeparator) {
  EXPECT_EQ(padDecimals("51.12346"), "51.1234611");
  EXPECT_EQ(padDecimals("51"), "51");
  EXPECT_EQ(padDecimals("1.12345678"), "1.12345678");
  EXPECT_EQ(padDecimals(2.5f), "2.5111111");
  EXPECT_EQ(decimalSeparatorPosition("1,5"), 2u);
  EXPECT_EQ(decimalSeparatorPosition("12.5,1"), 3u);
  EXPECT_EQ(decimalSeparatorPosition("12"), 0u);
}

TEST(NumberText, TileDegreesOfKnownBounds) {
  EXPECT_EQ(formatDegrees(tileDegrees(0x23A3D70A), true), "50.11875");
  EXPECT_EQ(formatDegrees(tileDegrees(static_cast<std::int32_t>(0xF8A432EB)), true), "-10.34803");
  EXPECT_EQ(formatDegrees(tileDegrees(0x00800000), true), "0.70312");
  EXPECT_EQ(formatDegrees(tileDegrees(0), true), "0");
  // A bound a few map units from the meridian keeps its tiny value.
  EXPECT_NEAR(tileDegrees(600), 0.0000503, 1e-9);
}

TEST(NumberText, ParseAcceptsCommaAndRejectsJunk) {
  EXPECT_EQ(parseNumber("1,5"), 1.5);
  EXPECT_EQ(parseNumber(" 2 "), 2.0);
  EXPECT_EQ(parseNumber("+4.09"), 4.09);
  EXPECT_EQ(parseNumber("-0.25"), -0.25);
  EXPECT_FALSE(parseNumber("abc"));
  EXPECT_FALSE(parseNumber(""));
  EXPECT_FALSE(parseNumber("1.5x"));
  EXPECT_EQ(parseInteger("65535"), 65535);
  EXPECT_FALSE(parseInteger("12a"));
}
