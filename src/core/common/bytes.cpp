#include "bytes.hpp"

#include <cctype>

namespace velmor {

std::string hexUpper(std::uint64_t value) {
  static const char digits[] = "0123456789ABCDEF";
  char buf[16];
  std::size_t n = sizeof buf;
  do {
    buf[--n] = digits[value & 0xF];
    value >>= 4;
  } while (value != 0);
  return std::string(buf + n, sizeof buf - n);
}

std::string hexUpper(std::uint32_t value) { return hexUpper(static_cast<std::uint64_t>(value)); }

std::string hexByte2(std::uint8_t value) {
  static const char digits[] = "0123456789ABCDEF";
  return std::string{digits[value >> 4], digits[value & 0xF]};
}

std::string hexUpper8(std::uint32_t value) {
  const std::string digits = hexUpper(value);
  return std::string(8 - digits.size(), '0') + digits;
}

std::string decimalWithSign(std::int64_t value) {
  std::string text = std::to_string(value);
  return value < 0 ? text : " " + text;
}

void appendLe16(Bytes& out, std::uint16_t value) {
  out.push_back(static_cast<std::uint8_t>(value & 0xFF));
  out.push_back(static_cast<std::uint8_t>(value >> 8));
}

void appendLe32(Bytes& out, std::uint32_t value) {
  for (int i = 0; i < 4; ++i) out.push_back(static_cast<std::uint8_t>((value >> (8 * i)) & 0xFF));
}

std::string toLowerAscii(std::string_view text) {
  std::string out(text);
  for (char& c : out) {
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  }
  return out;
}

bool containsNoCase(std::string_view haystack, std::string_view needle) {
  return toLowerAscii(haystack).find(toLowerAscii(needle)) != std::string::npos;
}

bool parseHex(std::string_view text, std::uint64_t& value) {
  value = 0;
  if (text.empty() || text.size() > 16) return false;
  for (char c : text) {
    int digit;
    if (c >= '0' && c <= '9') digit = c - '0';
    else if (c >= 'a' && c <= 'f') digit = c - 'a' + 10;
    else if (c >= 'A' && c <= 'F') digit = c - 'A' + 10;
    else return false;
    value = value * 16 + static_cast<std::uint64_t>(digit);
  }
  return true;
}

}  // namespace velmor
