#pragma once
// Small shared vocabulary: byte strings, little-endian encoders and the
// hexadecimal texts the product file tools show to the user.
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "error_text.hpp"

namespace velmor {

using Bytes = std::vector<std::uint8_t>;

// Upper-case hexadecimal without leading zeros ("0" for zero). Negative
// 32-bit values come out as their 8-digit two's-complement form.
std::string hexUpper(std::uint32_t value);
inline std::string hexUpper(std::int32_t value) { return hexUpper(static_cast<std::uint32_t>(value)); }
inline std::string hexUpper(std::uint8_t value) { return hexUpper(static_cast<std::uint32_t>(value)); }
inline std::string hexUpper(std::uint16_t value) { return hexUpper(static_cast<std::uint32_t>(value)); }
std::string hexUpper(std::uint64_t value);

// Two upper-case hexadecimal digits, zero padded ("0A").
std::string hexByte2(std::uint8_t value);
// Eight upper-case hex digits, leading zeros kept: a CRC-32 as it is shown.
std::string hexUpper8(std::uint32_t value);

// Decimal text as the old BASIC Str$ wrote it: a leading blank when not negative.
std::string decimalWithSign(std::int64_t value);

void appendLe16(Bytes& out, std::uint16_t value);
void appendLe32(Bytes& out, std::uint32_t value);

std::string toLowerAscii(std::string_view text);
bool containsNoCase(std::string_view haystack, std::string_view needle);

// The value of a text of hexadecimal digits ("", "0".."FF"...); nullopt-like
// failure is reported through ok.
bool parseHex(std::string_view text, std::uint64_t& value);

}  // namespace velmor
