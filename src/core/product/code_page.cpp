#include "code_page.hpp"

#include <map>
#include <memory>
#include <mutex>

#include "../platform/code_page_system.hpp"

namespace velmor {

bool CodePage::isSupported(int number) { return number == 874 || (number >= 1250 && number <= 1258); }

const CodePage& CodePage::get(int number) {
  static std::mutex mutex;
  static std::map<int, std::unique_ptr<CodePage>> pages;
  if (!isSupported(number)) number = 1252;
  std::lock_guard<std::mutex> lock(mutex);
  auto& slot = pages[number];
  if (!slot) slot.reset(new CodePage(number));
  return *slot;
}

CodePage::CodePage(int number) : number_(number) {
  for (char32_t b = 0; b < 256; ++b) toUnicode_[b] = b;
  // Bytes the system leaves without one clear character keep the identity,
  // so that every byte still has a character of its own.
  readSystemCodePage(number_, toUnicode_);
  // A private-use character is no character: ICU gives some for bytes
  // Windows leaves undefined (874: 0xDB-0xDE, 0xFC-0xFF). Such a byte stands
  // for itself, as on Windows, so both builds read every file alike.
  for (std::size_t b = 0x80; b < 256; ++b) {
    if (toUnicode_[b] >= 0xE000 && toUnicode_[b] <= 0xF8FF) toUnicode_[b] = static_cast<char32_t>(b);
  }
  // Two bytes must never share a character, or the round trip would break.
  for (int b = 0x80; b < 256; ++b) {
    for (int a = 0; a < b; ++a) {
      if (toUnicode_[static_cast<std::size_t>(a)] == toUnicode_[static_cast<std::size_t>(b)]) {
        toUnicode_[static_cast<std::size_t>(b)] = static_cast<char32_t>(b);
      }
    }
  }
  for (std::size_t b = 0; b < 256; ++b) appendUtf8(utf8_[b], toUnicode_[b]);
}

std::string CodePage::decode(std::span<const std::uint8_t> bytes) const {
  bool ascii = true;
  for (std::uint8_t b : bytes) ascii = ascii && b < 0x80;
  if (ascii) return std::string(bytes.begin(), bytes.end());
  std::string out;
  out.reserve(bytes.size() + 8);
  for (std::uint8_t b : bytes) {
    if (b < 0x80) out.push_back(static_cast<char>(b));
    else out += utf8_[b];
  }
  return out;
}

std::optional<std::uint8_t> CodePage::tableByteFor(char32_t ch) const {
  if (ch < 0x80) return static_cast<std::uint8_t>(ch);
  for (std::size_t b = 0x80; b < 256; ++b) {
    if (toUnicode_[b] == ch) return static_cast<std::uint8_t>(b);
  }
  return std::nullopt;
}

std::optional<std::uint8_t> CodePage::byteFor(char32_t ch) const {
  // Only a byte that reads back as the same character: anything else
  // would change the text on the next load.
  const auto b = systemCodePageByte(number_, ch);
  if (b && (ch < 0x80 || toUnicode_[*b] == ch)) return b;
  // A byte the page leaves undefined stands for the character of its own
  // number, which Windows does not write.
  return tableByteFor(ch);
}

std::optional<Bytes> CodePage::encode(std::string_view utf8) const {
  Bytes out;
  out.reserve(utf8.size());
  std::size_t pos = 0;
  while (pos < utf8.size()) {
    char32_t ch = nextUtf8(utf8, pos);
    auto b = byteFor(ch);
    if (!b) return std::nullopt;
    out.push_back(*b);
  }
  return out;
}

std::optional<std::string> CodePage::firstUnencodable(std::string_view utf8) const {
  std::size_t pos = 0;
  while (pos < utf8.size()) {
    char32_t ch = nextUtf8(utf8, pos);
    if (!byteFor(ch)) {
      std::string s;
      appendUtf8(s, ch);
      return s;
    }
  }
  return std::nullopt;
}

}  // namespace velmor
