#include "colour_chooser.hpp"

#include <array>
#include <cctype>
#include <optional>

#include "../common/prompter.hpp"

namespace velmor {

namespace {

constexpr std::size_t kHexDigits = 6;
constexpr std::size_t kNumberDigits = 3;

std::optional<int> boxValue(const std::string& text) {
  if (text.empty() || text.size() > kNumberDigits) return std::nullopt;
  int value = 0;
  for (char c : text) {
    if (c < '0' || c > '9') return std::nullopt;
    value = value * 10 + (c - '0');
  }
  return value;
}

}  // namespace

int numberBoxMaximum(NumberBox box) { return box == NumberBox::Hue ? 360 : 100; }

ColourChooser::ColourChooser(Colour entry) : original_(entry), modified_(entry) {
  hex_ = hexText(entry);
  shades(entry);
  find_color(entry);
}

const std::string& ColourChooser::numberBox(NumberBox box) const {
  switch (box) {
    case NumberBox::Hue: return hue_;
    case NumberBox::Saturation: return saturation_;
    case NumberBox::Luminance: break;
  }
  return luminance_;
}

void ColourChooser::writeNumbers(Colour colour) {
  const Hsb hsb = colourToHsb(colour);
  hue_ = std::to_string(hsb.hue);
  saturation_ = std::to_string(hsb.saturation);
  luminance_ = std::to_string(hsb.luminance);
}

void ColourChooser::setModified(Colour colour) {
  modified_ = colour;
  hex_ = hexText(colour);
}

void ColourChooser::shades(Colour colour) {
  if (colour < 0) return;
  setModified(colour);
  strip_ = shadeStrip(colour);
  if (strip_.pointerUnit) pointerUnit_ = *strip_.pointerUnit;
  ++stripVersion_;
  writeNumbers(colour);
}

void ColourChooser::find_color(Colour colour) {
  writeNumbers(colour);
  marker_ = markerPosition(colourToHsb(colour));
  markerShown_ = true;
}

void ColourChooser::pickPalette(int index) {
  if (index < 0 || index >= kPaletteSize) return;
  const Colour colour = paletteColours()[static_cast<std::size_t>(index)];
  shades(colour);
  find_color(colour);
}

void ColourChooser::pickOriginal() {
  shades(original_);
  find_color(original_);
}

void ColourChooser::showModifiedNumbers() { writeNumbers(modified_); }

void ColourChooser::pressSpectrum(Colour pixel, MarkerPosition at) {
  if (pixel < 0) return;
  markerShown_ = false;
  shades(pixel);
  marker_ = at;
}

void ColourChooser::dragSpectrum(Colour pixel, MarkerPosition at) {
  if (pixel < 0) return;
  setModified(pixel);
  writeNumbers(pixel);
  marker_ = at;
}

void ColourChooser::releaseSpectrum() { find_color(modified_); }

void ColourChooser::pickShade(Colour pixel, int unit) {
  if (pixel < 0) return;
  setModified(pixel);
  writeNumbers(pixel);
  pointerUnit_ = unit;
}

std::string ColourChooser::hexEdited(const std::string& text) {
  std::string kept;
  for (char c : text) {
    const char upper = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    if ((upper >= '0' && upper <= '9') || (upper >= 'A' && upper <= 'F')) kept += upper;
  }
  if (kept.size() > kHexDigits) kept.resize(kHexDigits);
  hex_ = kept;
  if (const auto colour = colourFromHex(kept)) {
    modified_ = *colour;
    find_color(*colour);
  }
  return hex_;
}

std::string ColourChooser::numberEdited(NumberBox box, const std::string& text) {
  std::string kept;
  for (char c : text)
    if (c >= '0' && c <= '9') kept += c;
  if (kept.size() > kNumberDigits) kept.resize(kNumberDigits);
  switch (box) {
    case NumberBox::Hue: hue_ = kept; break;
    case NumberBox::Saturation: saturation_ = kept; break;
    case NumberBox::Luminance: luminance_ = kept; break;
  }
  return kept;
}

void ColourChooser::numberEnter(NumberBox box, Prompter& prompter) {
  // The box Enter was pressed in speaks first; a value above its maximum in
  // another box would turn into a channel out of range, so it is refused too.
  const std::array<NumberBox, 4> order{box, NumberBox::Hue, NumberBox::Saturation, NumberBox::Luminance};
  for (NumberBox b : order) {
    const auto value = boxValue(numberBox(b));
    if (value && *value > numberBoxMaximum(b)) {
      prompter.message("Maximum value:" + std::to_string(numberBoxMaximum(b)));
      return;
    }
  }
  const auto hue = boxValue(hue_);
  const auto saturation = boxValue(saturation_);
  const auto luminance = boxValue(luminance_);
  // A box that holds no number: nothing to convert, the dialog stays as it is.
  if (!hue || !saturation || !luminance) return;
  const Colour colour = HSLToRGB02(*hue, *saturation, *luminance);
  shades(colour);
  find_color(colour);
}

}  // namespace velmor
