#include "preferences_dialog.hpp"

#include <QCheckBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QPushButton>
#include <QVBoxLayout>

#include "colour_widgets.hpp"
#include "ok_cancel_row.hpp"

namespace velmor {

namespace {

struct OptionCaption {
  Preference which;
  const char* caption;
  const char* name;
  bool Settings::*field;
};

const OptionCaption kOptions[] = {
    {Preference::ClearCache, "Clear Mapsource/Basecamp cache", "clearCacheOption", &Settings::clearCache},
    {Preference::CrashWarnings, "Cancel Mapsource Crash Warnings", "crashWarningsOption",
     &Settings::suppressCrashWarnings},
    {Preference::Logs, "Enable Logs", "logsOption", &Settings::logsEnabled},
    {Preference::NewLogEachDay, "New Log for Each Day", "newLogOption", &Settings::newLogEachDay},
};

}  // namespace

PreferencesDialog::PreferencesDialog(Settings& settings, ColourChoice chooseColour, QWidget* parent)
    : QDialog(parent), settings_(settings), chooseColour_(std::move(chooseColour)) {
  setObjectName("preferences");
  setWindowTitle(QStringLiteral("Settings"));
  // "Locate Programs" has the same title; the description tells a screen
  // reader which of the two has opened.
  setAccessibleDescription(QStringLiteral("Preferences: tile caches, crash warnings, logs and block colours"));
  setModal(true);

  auto* column = new QVBoxLayout(this);
  for (const OptionCaption& o : kOptions) {
    auto* box = new QCheckBox(QString::fromUtf8(o.caption), this);
    box->setObjectName(o.name);
    box->setChecked(settings_.*(o.field));
    column->addWidget(box);
    options_[static_cast<std::size_t>(o.which)] = box;
  }

  auto* colours = new QGridLayout;
  auto addColour = [&](int line, Colour colour, const char* caption, const char* name, ColourSwatch*& swatch,
                       QPushButton*& button) {
    swatch = new ColourSwatch(colour, this);
    swatch->setObjectName(QStringLiteral("%1Swatch").arg(name));
    swatch->setAccessibleName(QString::fromUtf8(caption) + QStringLiteral(" sample"));
    // The swatch shows the colour; the button beside it chooses it.
    swatch->setFocusPolicy(Qt::NoFocus);
    button = new QPushButton(QString::fromUtf8(caption), this);
    button->setObjectName(QStringLiteral("%1Button").arg(name));
    button->setAutoDefault(false);
    colours->addWidget(swatch, line, 0);
    colours->addWidget(button, line, 1);
    connect(button, &QPushButton::clicked, this, [this, swatch] { choose(swatch); });
    connect(swatch, &QAbstractButton::clicked, this, [this, swatch] { choose(swatch); });
  };
  addColour(0, settings_.blockColour, "Block Colour", "blockColour", blockSwatch_, blockButton_);
  addColour(1, settings_.blockBorderColour, "Block Border Colour", "blockBorderColour", borderSwatch_, borderButton_);
  colours->setColumnStretch(2, 1);
  column->addLayout(colours);

  const OkCancel row = addOkCancelRow(*this, *column);
  ok_ = row.ok;
  cancel_ = row.cancel;
}

void PreferencesDialog::choose(ColourSwatch* swatch) {
  if (!chooseColour_) return;
  const Colour chosen = chooseColour_(swatch->colour());
  // A negative value is the chooser's "Cancel".
  if (chosen >= 0) swatch->setColour(chosen);
}

void PreferencesDialog::accept() {
  settings_.blockColour = blockSwatch_->colour();
  settings_.blockBorderColour = borderSwatch_->colour();
  for (const OptionCaption& o : kOptions) settings_.*(o.field) = option(o.which)->isChecked();
  QDialog::accept();
}

}  // namespace velmor
