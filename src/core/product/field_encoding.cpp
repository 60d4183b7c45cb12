#include "field_encoding.hpp"

#include <cmath>

#include "block_types.hpp"
#include "../common/number_text.hpp"

namespace velmor {

std::string refusalText(const std::string& reason) { return reason + " Nothing was saved."; }

std::optional<std::uint16_t> box16(std::string_view text) {
  text = trimBlanks(text);
  if (text.empty()) return 0;
  for (char c : text) {
    if (c < '0' || c > '9') return std::nullopt;
  }
  auto value = parseInteger(text);
  if (!value || *value < 0 || *value > 65535) return std::nullopt;
  return static_cast<std::uint16_t>(*value);
}

std::optional<std::uint8_t> hexByteBox(std::string_view text) {
  std::string digits;
  for (char c : text) {
    if (c != ' ') digits.push_back(c);
  }
  if (digits.empty()) return 0;
  std::uint64_t value = 0;
  if (!parseHex(digits, value) || value > 0xFF) return std::nullopt;
  return static_cast<std::uint8_t>(value);
}

Refusal appendStoredOrText(const CodePage& page, std::string_view text, std::span<const std::uint8_t> stored,
                           const std::string& field, Bytes& out) {
  if (text == page.decode(stored)) {
    out.insert(out.end(), stored.begin(), stored.end());
    out.push_back(0);
    return std::nullopt;
  }
  return appendText(page, text, field, out);
}

Refusal appendText(const CodePage& page, std::string_view text, const std::string& field, Bytes& out) {
  if (auto bad = page.firstUnencodable(text)) {
    return refusalText(field + " holds \"" + *bad + "\", which code page " + std::to_string(page.number()) +
                       " cannot write.");
  }
  auto bytes = page.encode(text);
  for (std::uint8_t b : *bytes) {
    // A 0 would end the text early and shift every field after it.
    if (b == 0) return refusalText(field + " holds a zero character, which would end the text early.");
  }
  out.insert(out.end(), bytes->begin(), bytes->end());
  out.push_back(0);
  return std::nullopt;
}

Refusal frameBlock(std::uint8_t type, const Bytes& body, const std::string& what, Bytes& out) {
  if (body.size() > kMaxBodyLength) {
    return refusalText(what + " would be " + std::to_string(body.size()) + " bytes long; a block holds at most 65535.");
  }
  out.clear();
  out.reserve(body.size() + kBlockHeaderSize);
  out.push_back(type);
  appendLe16(out, static_cast<std::uint16_t>(body.size()));
  out.insert(out.end(), body.begin(), body.end());
  return std::nullopt;
}

std::optional<std::uint32_t> degreesToUnits(std::string_view text) {
  auto degrees = parseNumber(text);
  if (!degrees || !std::isfinite(*degrees) || *degrees < -180.0 || *degrees > 180.0) return std::nullopt;
  const double units = std::nearbyint(*degrees / kDegreesPerMapUnit);
  if (units >= 2147483648.0) return 0x80000000u;
  return static_cast<std::uint32_t>(static_cast<std::int32_t>(units));
}

}  // namespace velmor
