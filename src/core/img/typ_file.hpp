#pragma once
// The ids a TYP file (the map's drawing rules) carries. MapSource and
// BaseCamp use a TYP only for the family whose id it holds.
#include <cstdint>
#include <optional>
#include <string>

namespace velmor {

struct TypIds {
  std::uint16_t familyId = 0;
  std::uint16_t productId = 0;
  std::uint16_t codePage = 0;
};

// The ids a TYP file carries (LE16 family id at 0x2F, product id at 0x31,
// code page at 0x15); nullopt and a reason when it is no TYP file.
std::optional<TypIds> readTypIds(const std::string& path, std::string& error);

}  // namespace velmor
