#pragma once
// The modal colour chooser: palette, spectrum, shade strip, the "#" box and
// the "Hue", "Saturation" and "Luminance" boxes, "Original:" and "Modified:",
// "OK" and "Cancel". The caller reads the chosen colour or -1.
#include <QDialog>
#include <array>
#include <string>

#include "core/editor/colour_chooser.hpp"

class QLineEdit;
class QPushButton;

namespace velmor {

class ColourSwatch;
class Prompter;
class ShadeStripView;
class SpectrumPicture;

class ColourChooserDialog : public QDialog {
  Q_OBJECT
 public:
  // `systemFolder` is where the optional spectrum cursor "cur203.cur" lies.
  ColourChooserDialog(Colour entry, Prompter& prompter, const std::string& systemFolder = {},
                      QWidget* parent = nullptr);

  // Shows the dialog modally; the chosen colour, or -1 after "Cancel".
  static Colour choose(Colour entry, Prompter& prompter, const std::string& systemFolder, QWidget* parent);
  // What the dialog hands back once it is closed.
  Colour exchangedValue() const { return exchanged_; }

  const ColourChooser& chooser() const { return chooser_; }
  ColourSwatch* paletteSwatch(int index) const { return palette_[static_cast<std::size_t>(index)]; }
  ColourSwatch* originalSwatch() const { return original_; }
  ColourSwatch* modifiedSwatch() const { return modified_; }
  QLineEdit* hexBox() const { return hex_; }
  QLineEdit* numberBox(NumberBox box) const { return numbers_[static_cast<std::size_t>(box)]; }
  SpectrumPicture* spectrum() const { return spectrum_; }
  ShadeStripView* shadeStrip() const { return strip_; }
  QPushButton* okButton() const { return ok_; }
  QPushButton* cancelButton() const { return cancel_; }

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  QWidget* buildPalette();
  QWidget* buildBoxes();
  void connectPictures();
  // Shows the chooser's state in every control.
  void refresh();

  ColourChooser chooser_;
  Prompter& prompter_;
  Colour exchanged_ = kColourCancelled;
  int drawnStrip_ = -1;
  std::array<ColourSwatch*, kPaletteSize> palette_{};
  ColourSwatch* original_ = nullptr;
  ColourSwatch* modified_ = nullptr;
  QLineEdit* hex_ = nullptr;
  std::array<QLineEdit*, 3> numbers_{};
  SpectrumPicture* spectrum_ = nullptr;
  ShadeStripView* strip_ = nullptr;
  QPushButton* ok_ = nullptr;
  QPushButton* cancel_ = nullptr;
};

}  // namespace velmor
