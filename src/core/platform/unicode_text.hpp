#pragma once
// UTF-16 <-> UTF-8 and case folding for the texts that come from Windows:
// registry names and values, and Windows paths, which compare without
// regard to case.
#include <string>
#include <string_view>

namespace velmor {

void appendUtf8(std::string& out, char32_t ch);
// Decodes one character at `pos`, advancing it; invalid sequences, surrogates
// and values past U+10FFFF give U+FFFD.
char32_t nextUtf8(std::string_view text, std::size_t& pos);

// Unpaired surrogates and invalid UTF-8 sequences become U+FFFD.
std::string utf16ToUtf8(std::u16string_view text);
std::u16string utf8ToUtf16(std::string_view text);

// Lower case, character by character: the simple mapping of ICU, or of
// Windows itself in the Windows build.
std::string lowerUtf8(std::string_view text);
char32_t lowerChar(char32_t ch);
bool equalsNoCase(std::string_view a, std::string_view b);

#ifdef _WIN32
// Windows' wide texts are UTF-16.
inline std::wstring wideFromUtf8(std::string_view utf8) {
  const std::u16string units = utf8ToUtf16(utf8);
  return std::wstring(units.begin(), units.end());
}
inline std::string utf8FromWide(std::wstring_view text) {
  return utf16ToUtf8(std::u16string_view(reinterpret_cast<const char16_t*>(text.data()), text.size()));
}
#endif

}  // namespace velmor
