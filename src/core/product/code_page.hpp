#pragma once
// Texts in product files are single-byte code-page bytes. The program keeps
// those bytes and shows them as UTF-8, converting with the product's own
// Windows code page. Every byte has a character (undefined bytes map to the
// character of the same number, as Windows does), so decoding and encoding
// an unedited text gives back exactly the bytes that were read.
#include <array>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "../platform/unicode_text.hpp"

#include "../common/bytes.hpp"

namespace velmor {

class CodePage {
 public:
  // The page for a code page number; numbers other than 874 and 1250-1258
  // give 1252.
  static const CodePage& get(int number);
  static bool isSupported(int number);

  int number() const { return number_; }
  std::string decode(std::span<const std::uint8_t> bytes) const;
  // nullopt when a character has no byte in this code page.
  std::optional<Bytes> encode(std::string_view utf8) const;
  // The code-page byte of one Unicode character, nullopt when it has none.
  std::optional<std::uint8_t> byteFor(char32_t ch) const;

  // First character of `utf8` that cannot be written, for messages.
  std::optional<std::string> firstUnencodable(std::string_view utf8) const;

 private:
  explicit CodePage(int number);
  // The byte whose table entry is `ch`, if any.
  std::optional<std::uint8_t> tableByteFor(char32_t ch) const;
  int number_;
  std::array<char32_t, 256> toUnicode_{};
  std::array<std::string, 256> utf8_{};
};

}  // namespace velmor
