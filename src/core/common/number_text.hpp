#pragma once
// Number texts as the product file editor has always shown them. They are
// part of what map makers see and compare, so the digits, truncations and
// rounding steps are kept exactly, and "." is always the decimal separator.
#include <climits>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace velmor {

inline constexpr double kDegreesPerMapUnit = 360.0 / 4294967296.0;

inline double mapUnitsToDegrees(std::int32_t units) { return static_cast<double>(units) * kDegreesPerMapUnit; }

// The 32-bit field holds -180 and +180 as the same value. An east bound of
// 0x80000000 is the antimeridian seen from the west, +180, which is how mkgmap
// writes a tile or an overview that ends there; read as -180 it would put the
// box's east edge half a world west of its west edge.
inline constexpr std::int32_t kAntimeridianUnits = INT32_MIN;
inline double eastMapUnitsToDegrees(std::int32_t units) {
  return units == kAntimeridianUnits ? 180.0 : mapUnitsToDegrees(units);
}

// Shortest decimal text with at most `significantDigits` digits: trailing
// zeros dropped, exponent form ("1.5E-05", "1E+15") below 0.0001 and at or
// above 10^significantDigits.
std::string numberText(double value, int significantDigits);
inline std::string numberText(double value) { return numberText(value, 15); }
inline std::string numberText(float value) { return numberText(static_cast<double>(value), 7); }

// Degrees text of the report, the coordinate boxes and the tile records:
// 5 decimals, truncated. `singlePrecision` writes the value with 7
// significant digits first instead of 15.
std::string formatDegrees(double value, bool singlePrecision = false);
std::string formatDegreesText(const std::string& numberText);
// The number formatDegrees(value, true) shows, read back from its text:
// what the plot places a tile by.
double shownDegrees(float value);

// 1-based position of the first "." (else the first ","), 0 when neither.
std::size_t decimalSeparatorPosition(std::string_view text);

// Rounds a decimal text at its sixth decimal the way the tile decoder does
// (the digit is capped at 9, nothing carries).
std::string roundSixthDecimal(const std::string& text);

// Pads a number text with "1" digits up to 7 decimals.
std::string padDecimals(const std::string& text);
inline std::string padDecimals(float value) { return padDecimals(numberText(value)); }

// The text without leading and trailing blanks and tabs.
std::string_view trimBlanks(std::string_view text);

// Parses a decimal number; "," is accepted as decimal separator. Surrounding
// blanks are allowed, anything else makes it fail.
std::optional<double> parseNumber(std::string_view text);

// Parses a whole number in decimal (optional sign, surrounding blanks).
std::optional<std::int64_t> parseInteger(std::string_view text);

// The tile decoder's steps from map units to the single-precision degrees
// the tile texts and the overall bounds use.
float tileDegrees(std::int32_t units);
// The same for a tile's east edge, where 0x80000000 is +180.
inline float eastTileDegrees(std::int32_t units) { return units == kAntimeridianUnits ? 180.0f : tileDegrees(units); }

}  // namespace velmor
