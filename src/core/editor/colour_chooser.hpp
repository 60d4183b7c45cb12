#pragma once
// What the colour chooser's controls hold and how clicks and keys change it.
// The dialog shows this state; it never decides anything itself.
#include <string>

#include "colour.hpp"

namespace velmor {

class Prompter;

// What the caller reads back after "Cancel".
inline constexpr Colour kColourCancelled = -1;

enum class NumberBox { Hue, Saturation, Luminance };

class ColourChooser {
 public:
  // Opening: the entry colour is the original; shades and find_color with it.
  explicit ColourChooser(Colour entry);

  Colour original() const { return original_; }
  Colour modified() const { return modified_; }
  const std::string& hexBox() const { return hex_; }
  const std::string& numberBox(NumberBox box) const;
  const ShadeStrip& strip() const { return strip_; }
  // Pointer over the shade strip, in strip units.
  int pointerUnit() const { return pointerUnit_; }
  MarkerPosition marker() const { return marker_; }
  bool markerShown() const { return markerShown_; }
  // Bumped whenever the strip must be drawn anew.
  int stripVersion() const { return stripVersion_; }

  // The colour becomes the modified colour; the hexadecimal box and the
  // strip follow, and the number boxes. A negative colour (a point outside
  // a picture) is ignored.
  void shades(Colour colour);
  // The number boxes show the colour and the spectrum marker moves to it.
  void find_color(Colour colour);

  void pickPalette(int index);
  void pickOriginal();
  // A click on "Modified:": the number boxes show the modified colour.
  void showModifiedNumbers();

  // A press on the spectrum (hides the marker until release), a drag over
  // it, the release. Colours are the pixels under the mouse.
  void pressSpectrum(Colour pixel, MarkerPosition at);
  void dragSpectrum(Colour pixel, MarkerPosition at);
  void releaseSpectrum();

  // A press or drag on the shade strip: the strip stays as it is.
  void pickShade(Colour pixel, int unit);

  // Typing in the boxes: the text the box is to hold afterwards.
  std::string hexEdited(const std::string& text);
  std::string numberEdited(NumberBox box, const std::string& text);
  // Enter in a number box: either "Maximum value:" and the colour stays, or
  // the three boxes become the modified colour.
  void numberEnter(NumberBox box, Prompter& prompter);

  // What "OK" and "Cancel" hand back.
  Colour ok() const { return modified_; }
  static Colour cancel() { return kColourCancelled; }

 private:
  void writeNumbers(Colour colour);
  void setModified(Colour colour);

  Colour original_;
  Colour modified_;
  std::string hex_;
  std::string hue_;
  std::string saturation_;
  std::string luminance_;
  ShadeStrip strip_;
  int pointerUnit_ = kShadeStripUnits / 2;  // over the colour itself, in the middle
  MarkerPosition marker_;
  bool markerShown_ = true;
  int stripVersion_ = 0;
};

// The highest value a number box takes: 360 for "Hue", 100 for the others.
int numberBoxMaximum(NumberBox box);

}  // namespace velmor
