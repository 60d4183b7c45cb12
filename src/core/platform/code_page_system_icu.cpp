// Code pages through ICU (every system but Windows).
#include <unicode/ucnv.h>

#include <string>

#include "code_page_system.hpp"

namespace velmor {

void readSystemCodePage(int number, std::array<char32_t, 256>& table) {
  const std::string name = "windows-" + std::to_string(number);
  UErrorCode status = U_ZERO_ERROR;
  UConverter* conv = ucnv_open(name.c_str(), &status);
  if (conv == nullptr) return;
  if (U_SUCCESS(status)) {
    for (int b = 0x80; b < 256; ++b) {
      const char in = static_cast<char>(b);
      UChar out[4];
      UErrorCode e = U_ZERO_ERROR;
      ucnv_reset(conv);
      const int32_t n = ucnv_toUChars(conv, out, 4, &in, 1, &e);
      if (U_SUCCESS(e) && n == 1 && out[0] != 0xFFFD && out[0] != 0x1A) table[static_cast<std::size_t>(b)] = out[0];
    }
  }
  ucnv_close(conv);
  // Windows reads 0xCA of the Hebrew page as HEBREW POINT HOLAM HASER FOR
  // VAV; ICU's table is older and lacks it.
  if (number == 1255) table[0xCA] = 0x05BA;
}

std::optional<std::uint8_t> systemCodePageByte(int, char32_t) { return std::nullopt; }

}  // namespace velmor
