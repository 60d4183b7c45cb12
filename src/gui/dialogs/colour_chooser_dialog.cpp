#include "colour_chooser_dialog.hpp"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>
#include <algorithm>

#include "colour_widgets.hpp"

namespace velmor {

namespace {

const char* const kNumberCaptions[] = {"Hue", "Saturation", "Luminance"};

QLabel* captionFor(const QString& caption, QWidget* control, QWidget* parent) {
  auto* label = new QLabel(caption, parent);
  label->setBuddy(control);
  control->setAccessibleName(caption);
  return label;
}

}  // namespace

ColourChooserDialog::ColourChooserDialog(Colour entry, Prompter& prompter, const std::string& systemFolder,
                                         QWidget* parent)
    : QDialog(parent), chooser_(entry), prompter_(prompter) {
  setObjectName("colourChooser");
  setWindowTitle(QStringLiteral("Colour"));
  setModal(true);

  auto* row = new QHBoxLayout(this);
  row->addWidget(buildPalette(), 0, Qt::AlignTop);

  auto* pictures = new QVBoxLayout;
  spectrum_ = new SpectrumPicture(this);
  spectrum_->setObjectName("spectrum");
  spectrum_->setAccessibleName(QStringLiteral("Spectrum"));
  if (!systemFolder.empty()) spectrum_->useCursorFile(QString::fromStdString(systemFolder + "/cur203.cur"));
  pictures->addWidget(spectrum_);
  strip_ = new ShadeStripView(this);
  strip_->setObjectName("shadeStrip");
  strip_->setAccessibleName(QStringLiteral("Shades"));
  pictures->addWidget(strip_);
  pictures->addStretch(1);
  row->addLayout(pictures);

  row->addWidget(buildBoxes(), 0, Qt::AlignTop);
  connectPictures();
  refresh();
}

QWidget* ColourChooserDialog::buildPalette() {
  auto* box = new QWidget(this);
  box->setObjectName("palette");
  box->setAccessibleName(QStringLiteral("Palette"));
  auto* grid = new QGridLayout(box);
  grid->setContentsMargins(0, 0, 0, 0);
  grid->setHorizontalSpacing(6);
  grid->setVerticalSpacing(8);
  for (int k = 0; k < kPaletteSize; ++k) {
    const Colour colour = paletteColours()[static_cast<std::size_t>(k)];
    auto* swatch = new ColourSwatch(colour, box);
    swatch->setObjectName(QStringLiteral("paletteSwatch%1").arg(k + 1));
    swatch->setAccessibleName(QStringLiteral("#") + QString::fromStdString(hexText(colour)));
    grid->addWidget(swatch, k / kPaletteColumns, k % kPaletteColumns);
    connect(swatch, &QAbstractButton::clicked, this, [this, k] {
      chooser_.pickPalette(k);
      refresh();
    });
    palette_[static_cast<std::size_t>(k)] = swatch;
  }
  return box;
}

QWidget* ColourChooserDialog::buildBoxes() {
  auto* box = new QWidget(this);
  auto* grid = new QGridLayout(box);
  grid->setContentsMargins(0, 0, 0, 0);
  int line = 0;

  hex_ = new QLineEdit(box);
  hex_->setObjectName("hexBox");
  hex_->setMaxLength(6);
  hex_->setMinimumWidth(hex_->fontMetrics().horizontalAdvance(QStringLiteral("DDDDDDD")) + 12);
  grid->addWidget(captionFor(QStringLiteral("#"), hex_, box), line, 0);
  grid->addWidget(hex_, line++, 1);
  connect(hex_, &QLineEdit::textEdited, this, [this](const QString& text) {
    const int cursor = hex_->cursorPosition();
    const std::string kept = chooser_.hexEdited(text.toStdString());
    refresh();
    hex_->setCursorPosition(std::min(cursor, static_cast<int>(kept.size())));
  });

  for (int k = 0; k < 3; ++k) {
    const auto which = static_cast<NumberBox>(k);
    auto* edit = new QLineEdit(box);
    edit->setObjectName(QStringLiteral("%1Box").arg(QString::fromLatin1(kNumberCaptions[k]).toLower()));
    edit->setMinimumWidth(edit->fontMetrics().horizontalAdvance(QStringLiteral("0000")) + 12);
    edit->installEventFilter(this);
    grid->addWidget(captionFor(QString::fromLatin1(kNumberCaptions[k]), edit, box), line, 0);
    grid->addWidget(edit, line++, 1);
    connect(edit, &QLineEdit::textEdited, this, [this, which, edit](const QString& text) {
      const int cursor = edit->cursorPosition();
      const std::string kept = chooser_.numberEdited(which, text.toStdString());
      refresh();
      edit->setCursorPosition(std::min(cursor, static_cast<int>(kept.size())));
    });
    numbers_[static_cast<std::size_t>(k)] = edit;
  }

  original_ = new ColourSwatch(chooser_.original(), box);
  original_->setObjectName("originalSwatch");
  grid->addWidget(captionFor(QStringLiteral("Original:"), original_, box), line, 0);
  grid->addWidget(original_, line++, 1);
  connect(original_, &QAbstractButton::clicked, this, [this] {
    chooser_.pickOriginal();
    refresh();
  });
  modified_ = new ColourSwatch(chooser_.modified(), box);
  modified_->setObjectName("modifiedSwatch");
  grid->addWidget(captionFor(QStringLiteral("Modified:"), modified_, box), line, 0);
  grid->addWidget(modified_, line++, 1);
  connect(modified_, &QAbstractButton::clicked, this, [this] {
    chooser_.showModifiedNumbers();
    refresh();
  });

  ok_ = new QPushButton(QStringLiteral("OK"), box);
  ok_->setObjectName("okButton");
  ok_->setDefault(true);
  cancel_ = new QPushButton(QStringLiteral("Cancel"), box);
  cancel_->setObjectName("cancelButton");
  cancel_->setAutoDefault(false);
  grid->setRowStretch(line++, 1);
  grid->addWidget(ok_, line++, 0, 1, 2);
  grid->addWidget(cancel_, line, 0, 1, 2);
  connect(ok_, &QPushButton::clicked, this, [this] {
    exchanged_ = chooser_.ok();
    accept();
  });
  connect(cancel_, &QPushButton::clicked, this, [this] {
    exchanged_ = ColourChooser::cancel();
    reject();
  });
  return box;
}

void ColourChooserDialog::connectPictures() {
  connect(spectrum_, &SpectrumPicture::pressed, this, [this](QPoint at) {
    chooser_.pressSpectrum(spectrum_->pixelAt(at), spectrum_->shareOf(at));
    refresh();
  });
  connect(spectrum_, &SpectrumPicture::dragged, this, [this](QPoint at) {
    chooser_.dragSpectrum(spectrum_->pixelAt(at), spectrum_->shareOf(at));
    refresh();
  });
  connect(spectrum_, &SpectrumPicture::released, this, [this] {
    chooser_.releaseSpectrum();
    refresh();
  });
  connect(strip_, &ShadeStripView::picked, this, [this](int unit) {
    chooser_.pickShade(strip_->colourAtUnit(unit), unit);
    refresh();
  });
}

void ColourChooserDialog::refresh() {
  auto show = [](QLineEdit* edit, const std::string& text) {
    const QString shown = QString::fromStdString(text);
    if (edit->text() != shown) edit->setText(shown);
  };
  show(hex_, chooser_.hexBox());
  for (int k = 0; k < 3; ++k)
    show(numbers_[static_cast<std::size_t>(k)], chooser_.numberBox(static_cast<NumberBox>(k)));
  modified_->setColour(chooser_.modified());
  if (chooser_.stripVersion() != drawnStrip_) {
    strip_->setStrip(chooser_.strip(), chooser_.modified());
    drawnStrip_ = chooser_.stripVersion();
  }
  strip_->setPointer(chooser_.pointerUnit());
  spectrum_->setMarker(chooser_.marker(), chooser_.markerShown());
}

bool ColourChooserDialog::eventFilter(QObject* watched, QEvent* event) {
  // Enter in a number box converts the three boxes; it must not also press
  // "OK" and close the dialog.
  if (event->type() == QEvent::KeyPress) {
    const int key = static_cast<QKeyEvent*>(event)->key();
    if (key == Qt::Key_Return || key == Qt::Key_Enter) {
      for (int k = 0; k < 3; ++k) {
        if (watched != numbers_[static_cast<std::size_t>(k)]) continue;
        chooser_.numberEnter(static_cast<NumberBox>(k), prompter_);
        refresh();
        return true;
      }
    }
  }
  return QDialog::eventFilter(watched, event);
}

Colour ColourChooserDialog::choose(Colour entry, Prompter& prompter, const std::string& systemFolder, QWidget* parent) {
  ColourChooserDialog dialog(entry, prompter, systemFolder, parent);
  dialog.exec();
  return dialog.exchangedValue();
}

}  // namespace velmor
