#pragma once
// The system's own converter for the Windows code pages (874, 1250-1258):
// ICU, or Windows itself in the Windows build.
#include <array>
#include <cstdint>
#include <optional>

namespace velmor {

// Fills the entries 0x80-0xFF of `table` with the characters the system
// reads those bytes of page `number` as; bytes it cannot convert stay as they are.
void readSystemCodePage(int number, std::array<char32_t, 256>& table);

// The byte the system writes for `ch` in page `number`; nullopt when it
// writes none, or when its converter is only read from (ICU).
std::optional<std::uint8_t> systemCodePageByte(int number, char32_t ch);

}  // namespace velmor
