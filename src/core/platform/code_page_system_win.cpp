// Code pages through Windows itself: MultiByteToWideChar fills the table,
// WideCharToMultiByte writes characters. Windows would quietly write a
// "best fit" for a character the page lacks ("o" for "ő" in 1252); that is
// turned off and a used default character counts as a refusal, as it does
// with ICU.
#include <windows.h>

#include "code_page_system.hpp"

namespace velmor {

void readSystemCodePage(int number, std::array<char32_t, 256>& table) {
  for (int b = 0x80; b < 256; ++b) {
    const char in = static_cast<char>(b);
    wchar_t out[4] = {};
    const int n = ::MultiByteToWideChar(static_cast<UINT>(number), MB_ERR_INVALID_CHARS, &in, 1, out, 4);
    if (n == 1 && out[0] != 0xFFFD && out[0] != 0x1A) table[static_cast<std::size_t>(b)] = out[0];
  }
}

std::optional<std::uint8_t> systemCodePageByte(int number, char32_t ch) {
  if (ch < 0x80) return static_cast<std::uint8_t>(ch);
  if (ch >= 0x10000 || (ch >= 0xD800 && ch <= 0xDFFF)) return std::nullopt;
  const wchar_t in = static_cast<wchar_t>(ch);
  char out[4] = {};
  BOOL usedDefault = FALSE;
  const int n =
      ::WideCharToMultiByte(static_cast<UINT>(number), WC_NO_BEST_FIT_CHARS, &in, 1, out, 4, nullptr, &usedDefault);
  if (n != 1 || usedDefault) return std::nullopt;
  return static_cast<std::uint8_t>(out[0]);
}

}  // namespace velmor
