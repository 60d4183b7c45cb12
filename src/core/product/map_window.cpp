#include "map_window.hpp"

#include <cmath>

#include "field_encoding.hpp"
#include "../common/number_text.hpp"
#include "product_form.hpp"

namespace velmor {

std::optional<double> mapWindowPercent(const std::string& text) {
  std::string number = text.substr(0, text.find('%'));
  return parseNumber(number);
}

std::uint16_t mapWindowValue(double percent, int factor) {
  double raw = std::nearbyint(percent / 100.0 * factor);
  if (raw < 0) raw = 0;
  if (raw > 65535) raw = 65535;
  auto v = static_cast<std::uint32_t>(raw);
  return static_cast<std::uint16_t>(v - v % 16);
}

int mapWindowListPercent(std::uint16_t value, int factor, int zeroDefault) {
  auto pct = static_cast<int>(std::nearbyint(value * 100.0 / factor));
  if (pct % 10 != 0) pct += 10 - pct % 10;
  return pct == 0 ? zeroDefault : pct;
}

std::optional<std::uint8_t> extraByteValue(const ProductForm& form, int box) {
  return hexByteBox(form.extraBytes[static_cast<std::size_t>(box)].text);
}

void mapWindowSizeRule(ProductForm& form, int headerTailLength) {
  form.mapWindowListsEnabled = form.mapWindow;
  if (form.mapWindow && !form.overrideSettings && headerTailLength > 49) {
    auto byte = [&](int box) -> std::uint16_t { return extraByteValue(form, box).value_or(0); };
    auto width = static_cast<std::uint16_t>(byte(51) << 8 | byte(50));
    auto height = static_cast<std::uint16_t>(byte(55) << 8 | byte(54));
    form.mapWindowWidthText = std::to_string(mapWindowListPercent(width, kMapWindowWidthFactor, 40)) + "%";
    form.mapWindowHeightText = std::to_string(mapWindowListPercent(height, kMapWindowHeightFactor, 50)) + "%";
  } else if (!form.overrideSettings) {
    for (int box = 50; box <= 57; ++box) form.extraBytes[static_cast<std::size_t>(box)].text = "0";
  }
}

}  // namespace velmor
