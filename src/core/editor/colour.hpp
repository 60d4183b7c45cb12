#pragma once
// Colour arithmetic of the colour chooser. Colours are 0x00BBGGRR, red in
// the low byte, as the settings file stores them; the hexadecimal box shows
// them the other way round, as RRGGBB.
#include <array>
#include <cstdint>
#include <optional>
#include <string>

namespace velmor {

using Colour = std::int32_t;

struct Rgb {
  int red = 0;
  int green = 0;
  int blue = 0;
  bool operator==(const Rgb&) const = default;
};

// Hue 0-360, saturation and luminance 0-100. "Luminance" is the brightest
// channel as a share of 255, so a saturated colour has luminance 100.
struct Hsb {
  int hue = 0;
  int saturation = 0;
  int luminance = 0;
  bool operator==(const Hsb&) const = default;
};

Rgb CToRGB(Colour colour);
Colour rgbColour(int red, int green, int blue);

Hsb colourToHsb(Colour colour);
// Any hue outside 0-360 gives black.
Colour HSLToRGB02(int hue, int saturation, int luminance);

// RRGGBB <-> BBGGRR, after left-padding the text with "0" to six characters.
std::string rev(const std::string& text);
// The colour as the hexadecimal box shows it: RRGGBB, upper case, six digits.
std::string hexText(Colour colour);
// Six hexadecimal digits RRGGBB as a colour; nothing for anything else.
std::optional<Colour> colourFromHex(const std::string& text);

inline constexpr int kPaletteSize = 24;
inline constexpr int kPaletteColumns = 4;
// The palette, left to right and top to bottom.
const std::array<Colour, kPaletteSize>& paletteColours();

// The shade strip: 256 units wide, 32 boxes of 8 units from near black on
// the left through the colour to near white on the right.
inline constexpr int kShadeStripUnits = 256;
inline constexpr int kShadeBoxUnits = 8;
inline constexpr int kShadeBoxCount = 32;
struct ShadeBox {
  int unit = 0;  // left edge
  Colour colour = 0;
};
struct ShadeStrip {
  std::array<ShadeBox, kShadeBoxCount> boxes{};
  // Where the pointer goes when a light shade is the colour itself.
  std::optional<int> pointerUnit;
};
ShadeStrip shadeStrip(Colour colour);

// The spectrum picture: hue across, luminance 100 at the top to 50 at the
// bottom, full saturation. The program draws it pixel by pixel with this.
inline constexpr int kSpectrumWidth = 233;
inline constexpr int kSpectrumHeight = 227;
Colour spectrumColour(int x, int y, int width = kSpectrumWidth, int height = kSpectrumHeight);

// Where the spectrum marker's centre goes for a colour, as shares of the
// picture's width and height (a dark colour lies below the picture).
struct MarkerPosition {
  double x = 0;
  double y = 0;
};
MarkerPosition markerPosition(const Hsb& hsb);

}  // namespace velmor
