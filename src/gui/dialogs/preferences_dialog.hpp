#pragma once
// Preferences, "Settings": the four check boxes and the plot's two block
// colours, each chosen in the colour chooser. "OK" stores them in the
// settings, "Cancel" leaves the settings as they were.
#include <QDialog>
#include <array>
#include <functional>

#include "core/editor/colour.hpp"
#include "core/settings/settings.hpp"

class QCheckBox;
class QPushButton;

namespace velmor {

class ColourSwatch;

enum class Preference { ClearCache, CrashWarnings, Logs, NewLogEachDay };

class PreferencesDialog : public QDialog {
  Q_OBJECT
 public:
  // `chooseColour` shows the colour chooser with a colour and returns the
  // chosen one, or a negative value when it was cancelled.
  using ColourChoice = std::function<Colour(Colour current)>;
  PreferencesDialog(Settings& settings, ColourChoice chooseColour, QWidget* parent = nullptr);

  QCheckBox* option(Preference which) const { return options_[static_cast<std::size_t>(which)]; }
  ColourSwatch* blockSwatch() const { return blockSwatch_; }
  ColourSwatch* borderSwatch() const { return borderSwatch_; }
  QPushButton* blockColourButton() const { return blockButton_; }
  QPushButton* borderColourButton() const { return borderButton_; }
  QPushButton* okButton() const { return ok_; }
  QPushButton* cancelButton() const { return cancel_; }

 public slots:
  void accept() override;

 private:
  void choose(ColourSwatch* swatch);

  Settings& settings_;
  ColourChoice chooseColour_;
  std::array<QCheckBox*, 4> options_{};
  ColourSwatch* blockSwatch_ = nullptr;
  ColourSwatch* borderSwatch_ = nullptr;
  QPushButton* blockButton_ = nullptr;
  QPushButton* borderButton_ = nullptr;
  QPushButton* ok_ = nullptr;
  QPushButton* cancel_ = nullptr;
};

}  // namespace velmor
