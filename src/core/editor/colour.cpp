#include "colour.hpp"

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace velmor {

namespace {

int roundToInt(double value) { return static_cast<int>(std::lround(value)); }

bool isHexDigit(char c) { return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F'); }

std::array<Colour, kPaletteSize> parsePalette() {
  // fc5830 stands twice, side by side, as map makers know the palette.
  const std::string list = std::string("ffff00,ff11ff,0000ff,ffffff,") + "e2202c,e62565,9b2fae,673fb4," +
                           "4054b2,587bf8,1eaaf1,1fbcd2," + "159588,2c992d,8cc152,cdda49," +
                           "fee94e,fdc02f,fd9727,fc5830," + "fc5830,9e9e9e,785549,000000";
  std::array<Colour, kPaletteSize> colours{};
  std::size_t start = 0;
  for (int k = 0; k < kPaletteSize; ++k) {
    std::size_t end = list.find(',', start);
    if (end == std::string::npos) end = list.size();
    colours[static_cast<std::size_t>(k)] = colourFromHex(list.substr(start, end - start)).value_or(0);
    start = end + 1;
  }
  return colours;
}

}  // namespace

Rgb CToRGB(Colour colour) {
  const auto c = static_cast<std::uint32_t>(colour);
  return {static_cast<int>(c & 255), static_cast<int>((c & 65280) / 256), static_cast<int>((c & 0xFF0000) / 65536)};
}

Colour rgbColour(int red, int green, int blue) {
  auto channel = [](int v) { return static_cast<Colour>(std::clamp(v, 0, 255)); };
  return channel(red) | (channel(green) << 8) | (channel(blue) << 16);
}

Hsb colourToHsb(Colour colour) {
  const Rgb c = CToRGB(colour);
  const int max = std::max({c.red, c.green, c.blue});
  const int min = std::min({c.red, c.green, c.blue});
  Hsb out;
  out.luminance = roundToInt(max * 100.0 / 255.0);
  if (max >= 1) {
    const double range = max - min;
    out.saturation = roundToInt(range / max * 100.0);
    if (range >= 1) {
      double h = 0;
      if (max == c.red) {
        h = (c.green - c.blue) / range;
      } else if (max == c.green) {
        h = (c.blue - c.red) / range + 2;
      } else {
        h = (c.red - c.green) / range + 4;
      }
      double hue = h * 60;
      if (hue < 0) hue += 360;
      out.hue = roundToInt(hue);
    } else {
      out.saturation = 0;
    }
  }
  return out;
}

Colour HSLToRGB02(int hue, int saturation, int luminance) {
  const int max = roundToInt(luminance * 255.0 / 100.0);
  const int min = roundToInt((100 - saturation) * max / 100.0);
  const float q = static_cast<float>(max - min) / 60.0F;
  auto mid = [&](int steps) {
    return static_cast<int>(std::lround(static_cast<float>(min) + q * static_cast<float>(steps)));
  };
  if (hue >= 0 && hue <= 60) return rgbColour(max, mid(hue), min);
  if (hue >= 61 && hue <= 120) return rgbColour(mid(120 - hue), max, min);
  if (hue >= 121 && hue <= 180) return rgbColour(min, max, mid(hue - 120));
  if (hue >= 181 && hue <= 240) return rgbColour(min, mid(240 - hue), max);
  if (hue >= 241 && hue <= 300) return rgbColour(mid(hue - 240), min, max);
  if (hue >= 301 && hue <= 360) return rgbColour(max, min, mid(360 - hue));
  return 0;
}

std::string rev(const std::string& text) {
  std::string t = text;
  if (t.size() < 6) t.insert(0, 6 - t.size(), '0');
  return t.substr(t.size() - 2, 2) + t.substr(2, 2) + t.substr(0, 2);
}

std::string hexText(Colour colour) {
  char bgr[16];
  std::snprintf(bgr, sizeof bgr, "%X", static_cast<unsigned>(colour) & 0xFFFFFFU);
  return rev(bgr);
}

std::optional<Colour> colourFromHex(const std::string& text) {
  if (text.size() != 6 || !std::all_of(text.begin(), text.end(), isHexDigit)) return std::nullopt;
  return static_cast<Colour>(std::stoul(rev(text), nullptr, 16));
}

const std::array<Colour, kPaletteSize>& paletteColours() {
  static const std::array<Colour, kPaletteSize> colours = parsePalette();
  return colours;
}

ShadeStrip shadeStrip(Colour colour) {
  const Rgb c = CToRGB(colour);
  // Shares of k/128 towards black or white; the division by 128 is exact.
  auto darker = [](int v, int k) { return v - static_cast<int>(v / 128.0 * k); };
  auto lighter = [](int v, int k) { return v + static_cast<int>((255 - v) / 128.0 * k); };
  ShadeStrip strip;
  std::size_t n = 0;
  for (int x = 0; x <= 120; x += kShadeBoxUnits) {
    const int k = 127 - x;
    strip.boxes[n++] = {x, rgbColour(darker(c.red, k), darker(c.green, k), darker(c.blue, k))};
    const Colour light = rgbColour(lighter(c.red, k), lighter(c.green, k), lighter(c.blue, k));
    strip.boxes[n++] = {(127 - x) + 128, light};
    if (light == (colour & 0xFFFFFF)) strip.pointerUnit = x;
  }
  return strip;
}

Colour spectrumColour(int x, int y, int width, int height) {
  const int hue = roundToInt(x * 360.0 / width);
  const int luminance = roundToInt(100.0 - y * 50.0 / height);
  return HSLToRGB02(hue, 100, luminance);
}

MarkerPosition markerPosition(const Hsb& hsb) { return {hsb.hue / 360.0, (100 - hsb.luminance) / 50.0}; }

}  // namespace velmor
