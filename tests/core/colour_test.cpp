// The colour chooser's arithmetic and rules: conversions both ways, the
// hexadecimal box, the palette, the shade strip, the spectrum marker and
// the number boxes' Enter.
#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "core/editor/colour.hpp"
#include "core/editor/colour_chooser.hpp"
#include "support/scripted_prompter.hpp"

namespace velmor {
namespace {

constexpr Colour kRed = 0x0000FF;
constexpr Colour kBlue = 0xFF0000;

TEST(ColourArithmetic, ConvertsBothWays) {
  EXPECT_EQ(colourToHsb(kRed), (Hsb{0, 100, 100}));
  const Hsb grey = colourToHsb(rgbColour(0x80, 0x80, 0x80));
  EXPECT_EQ(grey.saturation, 0);
  EXPECT_EQ(grey.luminance, 50);
  EXPECT_EQ(colourToHsb(rgbColour(0, 0, 255)).hue, 240);
  // Red above blue puts the hue below 0 before it is turned into 300-360.
  EXPECT_EQ(colourToHsb(rgbColour(255, 0, 51)).hue, 348);
  EXPECT_EQ(colourToHsb(0), (Hsb{0, 0, 0}));

  // One colour from each sixth of the circle, and its edges.
  EXPECT_EQ(HSLToRGB02(0, 100, 100), kRed);
  EXPECT_EQ(HSLToRGB02(60, 100, 100), rgbColour(255, 255, 0));
  EXPECT_EQ(HSLToRGB02(120, 100, 100), rgbColour(0, 255, 0));
  EXPECT_EQ(HSLToRGB02(180, 100, 100), rgbColour(0, 255, 255));
  EXPECT_EQ(HSLToRGB02(240, 100, 100), kBlue);
  EXPECT_EQ(HSLToRGB02(300, 100, 100), rgbColour(255, 0, 255));
  EXPECT_EQ(HSLToRGB02(30, 50, 80), rgbColour(204, 153, 102));
  // 360 falls in the 301-360 sixth and gives what 0 gives; beyond is black.
  EXPECT_EQ(HSLToRGB02(360, 40, 70), HSLToRGB02(0, 40, 70));
  EXPECT_EQ(HSLToRGB02(361, 100, 100), 0);

  EXPECT_EQ(CToRGB(rgbColour(0x12, 0x34, 0x56)), (Rgb{0x12, 0x34, 0x56}));
  EXPECT_EQ(rev("12AB"), "AB1200");
  EXPECT_EQ(rev("AB1200"), "0012AB");
}

TEST(ColourArithmetic, EveryPaletteColourRoundTripsThroughTheHexBox) {
  const char* listed[kPaletteSize] = {"ffff00", "ff11ff", "0000ff", "ffffff", "e2202c", "e62565", "9b2fae", "673fb4",
                                      "4054b2", "587bf8", "1eaaf1", "1fbcd2", "159588", "2c992d", "8cc152", "cdda49",
                                      "fee94e", "fdc02f", "fd9727", "fc5830", "fc5830", "9e9e9e", "785549", "000000"};
  for (int k = 0; k < kPaletteSize; ++k) {
    SCOPED_TRACE(listed[k]);
    ColourChooser picked(0x123456);
    picked.pickPalette(k);
    std::string upper = listed[k];
    for (char& c : upper) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    EXPECT_EQ(picked.hexBox(), upper);

    ColourChooser typed(0x123456);
    EXPECT_EQ(typed.hexEdited(listed[k]), upper);
    EXPECT_EQ(typed.modified(), picked.modified());
    EXPECT_EQ(typed.numberBox(NumberBox::Hue), picked.numberBox(NumberBox::Hue));
  }
  EXPECT_EQ(paletteColours()[19], paletteColours()[20]);
  EXPECT_EQ(paletteColours()[0], rgbColour(255, 255, 0));  // yellow, RRGGBB ffff00
}

TEST(ColourChooserRules, HexBoxKeepsOnlyHexDigitsAndTakesSix) {
  ColourChooser chooser(kRed);
  EXPECT_EQ(chooser.hexEdited("0g0 0f"), "000F");
  EXPECT_EQ(chooser.modified(), kRed);  // four digits are no colour yet
  EXPECT_EQ(chooser.hexEdited("0000ff12"), "0000FF");
  EXPECT_EQ(chooser.modified(), kBlue);
  EXPECT_EQ(chooser.numberBox(NumberBox::Hue), "240");
  EXPECT_NEAR(chooser.marker().x, 240.0 / 360, 1e-9);
}

TEST(ColourChooserRules, NumberBoxesConvertOnEnterWithinTheirMaximum) {
  test::ScriptedPrompter prompter;
  ColourChooser chooser(rgbColour(10, 20, 30));
  const Colour before = chooser.modified();
  EXPECT_EQ(chooser.numberEdited(NumberBox::Hue, "4a0x0"), "400");
  prompter.expectMessage("Maximum value:360");
  chooser.numberEnter(NumberBox::Hue, prompter);
  EXPECT_EQ(chooser.modified(), before);

  chooser.numberEdited(NumberBox::Hue, "0");
  chooser.numberEdited(NumberBox::Saturation, "101");
  prompter.expectMessage("Maximum value:100");
  chooser.numberEnter(NumberBox::Hue, prompter);
  EXPECT_EQ(chooser.modified(), before);

  chooser.numberEdited(NumberBox::Saturation, "100");
  chooser.numberEdited(NumberBox::Luminance, "100");
  chooser.numberEnter(NumberBox::Luminance, prompter);
  EXPECT_EQ(chooser.modified(), kRed);
  EXPECT_EQ(chooser.hexBox(), "FF0000");
  EXPECT_EQ(chooser.ok(), kRed);
  EXPECT_EQ(ColourChooser::cancel(), -1);
  EXPECT_EQ(chooser.original(), rgbColour(10, 20, 30));

  // An empty box converts nothing and says nothing.
  chooser.numberEdited(NumberBox::Saturation, "");
  chooser.numberEnter(NumberBox::Saturation, prompter);
  EXPECT_EQ(chooser.modified(), kRed);
}

TEST(ColourChooserRules, ShadeStripRunsFromNearBlackThroughTheColourToNearWhite) {
  const ShadeStrip strip = shadeStrip(rgbColour(200, 100, 0));
  // x = 0, k = 127: 200 - int(200 / 128 * 127) and 200 + int(55 / 128 * 127).
  EXPECT_EQ(strip.boxes[0].unit, 0);
  EXPECT_EQ(CToRGB(strip.boxes[0].colour), (Rgb{2, 1, 0}));
  EXPECT_EQ(strip.boxes[1].unit, 255);
  EXPECT_EQ(CToRGB(strip.boxes[1].colour), (Rgb{254, 253, 253}));
  // x = 120, k = 7: the boxes next to the middle.
  EXPECT_EQ(strip.boxes[30].unit, 120);
  EXPECT_EQ(CToRGB(strip.boxes[30].colour), (Rgb{190, 95, 0}));
  EXPECT_EQ(strip.boxes[31].unit, 135);
  EXPECT_EQ(CToRGB(strip.boxes[31].colour), (Rgb{203, 108, 13}));
  EXPECT_FALSE(strip.pointerUnit);
  // White's light shades are all white: the pointer follows to the last.
  EXPECT_EQ(shadeStrip(0xFFFFFF).pointerUnit, 120);

  ColourChooser chooser(rgbColour(200, 100, 0));
  const int version = chooser.stripVersion();
  chooser.pickShade(strip.boxes[0].colour, 3);
  EXPECT_EQ(chooser.modified(), strip.boxes[0].colour);
  EXPECT_EQ(chooser.pointerUnit(), 3);
  EXPECT_EQ(chooser.stripVersion(), version);  // picking a shade keeps the strip
  chooser.pickOriginal();
  EXPECT_EQ(chooser.modified(), rgbColour(200, 100, 0));
}

TEST(ColourChooserRules, SpectrumMarkerLandsWhereTheColourIsDrawn) {
  // The marker must point at the pixel of the drawn spectrum that holds the
  // colour: hue across, luminance 100 at the top down to 50 at the bottom.
  for (int y = 0; y < kSpectrumHeight; y += 13) {
    for (int x = 0; x < kSpectrumWidth; x += 11) {
      const MarkerPosition at = markerPosition(colourToHsb(spectrumColour(x, y)));
      EXPECT_LE(std::abs(at.x * kSpectrumWidth - x), 1.5) << x << "," << y;
      EXPECT_LE(std::abs(at.y * kSpectrumHeight - y), 2.5) << x << "," << y;
    }
  }
  EXPECT_EQ(spectrumColour(0, 0), kRed);

  ColourChooser chooser(kRed);
  chooser.pressSpectrum(spectrumColour(116, 100), {116.0 / kSpectrumWidth, 100.0 / kSpectrumHeight});
  EXPECT_FALSE(chooser.markerShown());
  chooser.dragSpectrum(-1, {});  // outside the picture: ignored
  EXPECT_EQ(chooser.modified(), spectrumColour(116, 100));
  chooser.releaseSpectrum();
  EXPECT_TRUE(chooser.markerShown());
  EXPECT_NEAR(chooser.marker().x * kSpectrumWidth, 116, 1.5);
}

}  // namespace
}  // namespace velmor
