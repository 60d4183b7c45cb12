#pragma once
// The map-window size lists and the header tail bytes behind them.
#include <cstdint>
#include <optional>
#include <string>

namespace velmor {

struct ProductForm;

inline constexpr int kMapWindowWidthFactor = 1455;
inline constexpr int kMapWindowHeightFactor = 1279;

// Percentage of a list text ("50%" gives 50); a "%" and everything after it are ignored.
std::optional<double> mapWindowPercent(const std::string& text);
// Tail value of a percentage: rounded, then lowered to a multiple of 16.
std::uint16_t mapWindowValue(double percent, int factor);
// List percentage of a tail value: rounded, raised to a multiple of 10, `zeroDefault` for 0.
int mapWindowListPercent(std::uint16_t value, int factor, int zeroDefault);

// Sets the two size lists from the header tail (after a load and after a
// click on "Map Window").
void mapWindowSizeRule(ProductForm& form, int headerTailLength);

// Byte value of an extra-byte box (hexadecimal text, empty counts as 0).
std::optional<std::uint8_t> extraByteValue(const ProductForm& form, int box);

}  // namespace velmor
