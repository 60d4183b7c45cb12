// Lower case through Windows, in the invariant locale so that the result
// does not depend on the user's language (no Turkish dotless i).
#include <windows.h>

#include "unicode_text.hpp"

namespace velmor {

char32_t lowerChar(char32_t ch) {
  if (ch < 0x80) return ch >= 'A' && ch <= 'Z' ? ch + 32 : ch;
  wchar_t in[2];
  int units = 1;
  if (ch >= 0x10000) {
    in[0] = static_cast<wchar_t>(0xD800 + ((ch - 0x10000) >> 10));
    in[1] = static_cast<wchar_t>(0xDC00 + ((ch - 0x10000) & 0x3FF));
    units = 2;
  } else {
    in[0] = static_cast<wchar_t>(ch);
  }
  wchar_t out[4] = {};
  const int n = ::LCMapStringEx(LOCALE_NAME_INVARIANT, LCMAP_LOWERCASE, in, units, out, 4, nullptr, nullptr, 0);
  if (n == 1) return out[0];
  if (n == 2 && out[0] >= 0xD800 && out[0] <= 0xDBFF)
    return 0x10000 + ((static_cast<char32_t>(out[0]) - 0xD800) << 10) + (static_cast<char32_t>(out[1]) - 0xDC00);
  return ch;
}

}  // namespace velmor
