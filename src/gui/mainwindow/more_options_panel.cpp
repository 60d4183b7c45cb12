#include "more_options_panel.hpp"

#include <QButtonGroup>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QSignalBlocker>
#include <QToolButton>
#include <QVBoxLayout>
#include <algorithm>

#include "extra_byte_boxes.hpp"
#include "user_toggle.hpp"

namespace velmor {

QStringList codePageEntries() {
  QStringList entries;
  for (int k = 0; k <= 8; ++k) entries << QString::number(1250 + k);
  return entries;
}

namespace {

QLineEdit* lineBox(QWidget* parent, const char* name, int width = 0) {
  auto* edit = new QLineEdit(parent);
  edit->setObjectName(name);
  if (width > 0) edit->setFixedWidth(width);
  return edit;
}

// A label that names the field beside it, for the eye and for screen readers.
QLabel* labelFor(const QString& caption, QWidget* field, QWidget* parent) {
  auto* label = new QLabel(caption, parent);
  label->setBuddy(field);
  return label;
}

void showText(QLineEdit* edit, const std::string& text) {
  const QString shown = QString::fromStdString(text);
  if (edit->text() != shown) edit->setText(shown);
}

// Pale red marks the two boxes whose text goes into the tile blocks.
const char* const kTileCopyrightStyle = "QLineEdit { background-color: rgb(247, 223, 217); }";

}  // namespace

MoreOptionsPanel::MoreOptionsPanel(QWidget* parent) : QFrame(parent) {
  setObjectName("moreOptionsPanel");
  setFrameShape(QFrame::StyledPanel);
  setAutoFillBackground(true);
  auto* column = new QVBoxLayout(this);
  column->setContentsMargins(6, 4, 6, 6);
  column->setSpacing(4);

  auto* top = new QHBoxLayout;
  codePage_ = new QComboBox(this);
  top->addWidget(labelFor(QStringLiteral("Code Page"), codePage_, this));
  codePage_->setObjectName("codePageBox");
  codePage_->setEditable(true);
  codePage_->setInsertPolicy(QComboBox::NoInsert);
  codePage_->addItems(codePageEntries());
  codePage_->setEditText(QString());
  codePage_->setMinimumContentsLength(5);
  top->addWidget(codePage_);
  top->addStretch(1);
  close_ = new QToolButton(this);
  close_->setObjectName("moreOptionsClose");
  close_->setText(QStringLiteral("X"));
  close_->setToolTip(QStringLiteral("Close More Options"));
  top->addWidget(close_);
  column->addLayout(top);
  connect(close_, &QToolButton::clicked, this, &MoreOptionsPanel::closePressed);
  connect(codePage_, &QComboBox::textActivated, this, &MoreOptionsPanel::codePagePicked);
  connect(codePage_->lineEdit(), &QLineEdit::textEdited, this, &MoreOptionsPanel::codePageEdited);

  auto* overview = new QGridLayout;
  overviewName_ = lineBox(this, "overviewNameBox");
  overviewNumber_ = lineBox(this, "overviewNumberBox", 90);
  parentNumber_ = lineBox(this, "parentNumberBox", 90);
  overview->addWidget(labelFor(QStringLiteral("Overview Name"), overviewName_, this), 0, 0);
  overview->addWidget(overviewName_, 0, 1, 1, 3);
  overview->addWidget(labelFor(QStringLiteral("Overview Number"), overviewNumber_, this), 1, 0);
  overview->addWidget(overviewNumber_, 1, 1);
  overview->addWidget(labelFor(QStringLiteral("Parent Number"), parentNumber_, this), 1, 2);
  overview->addWidget(parentNumber_, 1, 3);
  column->addLayout(overview);
  auto overviewSignal = [this](QLineEdit* edit, OverviewText which) {
    connect(edit, &QLineEdit::textEdited, this,
            [this, which](const QString& text) { emit overviewEdited(which, text); });
  };
  overviewSignal(overviewName_, OverviewText::Name);
  overviewSignal(overviewNumber_, OverviewText::Number);
  overviewSignal(parentNumber_, OverviewText::Parent);

  // The overview bounds as a compass: north above, south below.
  auto* compass = new QGridLayout;
  north_ = lineBox(this, "northBox", 90);
  south_ = lineBox(this, "southBox", 90);
  west_ = lineBox(this, "westBox", 90);
  east_ = lineBox(this, "eastBox", 90);
  compass->addWidget(labelFor(QStringLiteral("N"), north_, this), 0, 2, Qt::AlignRight);
  compass->addWidget(north_, 0, 3);
  compass->addWidget(labelFor(QStringLiteral("W"), west_, this), 1, 0, Qt::AlignRight);
  compass->addWidget(west_, 1, 1);
  compass->addWidget(labelFor(QStringLiteral("E"), east_, this), 1, 4, Qt::AlignRight);
  compass->addWidget(east_, 1, 5);
  compass->addWidget(labelFor(QStringLiteral("S"), south_, this), 2, 2, Qt::AlignRight);
  compass->addWidget(south_, 2, 3);
  // One letter is terse when read out without the compass in view.
  north_->setAccessibleName(QStringLiteral("N, north bound"));
  east_->setAccessibleName(QStringLiteral("E, east bound"));
  south_->setAccessibleName(QStringLiteral("S, south bound"));
  west_->setAccessibleName(QStringLiteral("W, west bound"));
  column->addLayout(compass);
  auto boundSignal = [this](QLineEdit* edit, Bound which) {
    connect(edit, &QLineEdit::textEdited, this, [this, which](const QString& text) { emit boundEdited(which, text); });
  };
  boundSignal(north_, Bound::North);
  boundSignal(east_, Bound::East);
  boundSignal(south_, Bound::South);
  boundSignal(west_, Bound::West);

  auto* copyrightRow = new QHBoxLayout;
  sources_ = new QRadioButton(QStringLiteral("Sources"), this);
  sources_->setObjectName("sourcesOption");
  copyrightInfo_ = new QRadioButton(QStringLiteral("Copyright Info"), this);
  copyrightInfo_->setObjectName("copyrightInfoOption");
  auto* kinds = new QButtonGroup(this);
  kinds->addButton(sources_);
  kinds->addButton(copyrightInfo_);
  display_ = new QCheckBox(QStringLiteral("Display"), this);
  display_->setObjectName("displayOption");
  print_ = new QCheckBox(QStringLiteral("Print"), this);
  print_->setObjectName("printOption");
  copyrightByte2_ = lineBox(this, "copyrightByte2Box", 30);
  copyrightByte3_ = lineBox(this, "copyrightByte3Box", 30);
  copyrightByte2_->setReadOnly(true);
  copyrightByte3_->setReadOnly(true);
  copyrightByte2_->setAccessibleName(QStringLiteral("Copyright byte 2"));
  copyrightByte3_->setAccessibleName(QStringLiteral("Copyright byte 3"));
  for (QWidget* w :
       std::initializer_list<QWidget*>{sources_, copyrightInfo_, display_, print_, copyrightByte2_, copyrightByte3_})
    copyrightRow->addWidget(w);
  copyrightRow->addStretch(1);
  column->addLayout(copyrightRow);
  onUserToggle(sources_, this, [this](bool) { emit copyrightOptionClicked(CopyrightOption::Sources); });
  onUserToggle(copyrightInfo_, this, [this](bool) { emit copyrightOptionClicked(CopyrightOption::CopyrightInfo); });
  onUserToggle(display_, this, [this](bool) { emit copyrightOptionClicked(CopyrightOption::Display); });
  onUserToggle(print_, this, [this](bool) { emit copyrightOptionClicked(CopyrightOption::Print); });

  copyright_ = new QPlainTextEdit(this);
  copyright_->setObjectName("copyrightBox");
  copyright_->setAccessibleName(QStringLiteral("Copyright text"));
  copyright_->setFixedHeight(64);
  // Tab moves on to the next field, as everywhere else in the panel.
  copyright_->setTabChangesFocus(true);
  column->addWidget(copyright_);
  connect(copyright_, &QPlainTextEdit::textChanged, this, [this] {
    // Only what the user typed counts as an edit; showForm blocks the signal.
    // The form keeps the CR LF line ends of the file.
    emit copyrightTextEdited(copyright_->toPlainText().replace(QStringLiteral("\n"), QStringLiteral("\r\n")));
  });

  auto* tiles = new QHBoxLayout;
  tileCopyright1_ = lineBox(this, "tileCopyright1Box");
  tileCopyright2_ = lineBox(this, "tileCopyright2Box");
  tiles->addWidget(labelFor(QStringLiteral("Tile Copyright"), tileCopyright1_, this));
  // One label for two boxes: each box gets a name of its own.
  tileCopyright1_->setAccessibleName(QStringLiteral("Tile Copyright 1"));
  tileCopyright2_->setAccessibleName(QStringLiteral("Tile Copyright 2"));
  tileCopyright1_->setStyleSheet(kTileCopyrightStyle);
  tileCopyright2_->setStyleSheet(kTileCopyrightStyle);
  tiles->addWidget(tileCopyright1_);
  tiles->addWidget(tileCopyright2_);
  column->addLayout(tiles);
  connect(tileCopyright1_, &QLineEdit::textEdited, this, [this](const QString& t) { emit tileCopyrightEdited(1, t); });
  connect(tileCopyright2_, &QLineEdit::textEdited, this, [this](const QString& t) { emit tileCopyrightEdited(2, t); });

  auto* extraRow = new QHBoxLayout;
  count_ = lineBox(this, "countBox", 40);
  count_->setReadOnly(true);
  extraRow->addWidget(labelFor(QStringLiteral("Extra"), count_, this));
  extraRow->addWidget(count_);
  auto* caution = new QLabel(QStringLiteral("Caution: Do not edit unless you've made a backup!"), this);
  caution->setStyleSheet(QStringLiteral("QLabel { color: rgb(192, 0, 0); }"));
  extraRow->addWidget(caution);
  extraRow->addStretch(1);
  column->addLayout(extraRow);

  extraBytes_ = new ExtraByteBoxes(this);
  column->addWidget(extraBytes_);
  connect(extraBytes_, &ExtraByteBoxes::boxEdited, this, &MoreOptionsPanel::extraByteEdited);

  auto* buttons = new QHBoxLayout;
  override_ = new QCheckBox(QStringLiteral("Override settings"), this);
  override_->setObjectName("overrideSettings");
  buttons->addWidget(override_);
  onUserToggle(override_, this, [this](bool on) { emit overrideClicked(on); });
  auto addButton = [&](const char* caption, const char* name) {
    auto* button = new QPushButton(QString::fromUtf8(caption), this);
    button->setObjectName(name);
    // These work on the tile list and arrive with it.
    button->setEnabled(false);
    button->setToolTip(QStringLiteral("Not available yet."));
    buttons->addWidget(button);
    return button;
  };
  copyStream_ = addButton("Copy Stream", "copyStreamButton");
  pasteStream_ = addButton("Paste Stream", "pasteStreamButton");
  recalculate_ = addButton("Recalculate", "recalculateButton");
  column->addLayout(buttons);
  column->addStretch(1);
  // As wide as the rows of extra-byte boxes: the rest of the width is the plot's.
  const QMargins margins = column->contentsMargins();
  setMaximumWidth(
      std::max(sizeHint().width(), extraBytes_->width() + margins.left() + margins.right() + 2 * frameWidth()));
}

QList<QWidget*> MoreOptionsPanel::tabOrder() const {
  QList<QWidget*> order{codePage_,      close_,          overviewName_,   overviewNumber_, parentNumber_,
                        north_,         west_,           east_,           south_,          sources_,
                        copyrightInfo_, display_,        print_,          copyrightByte2_, copyrightByte3_,
                        copyright_,     tileCopyright1_, tileCopyright2_, count_};
  for (int k = 1; k <= kExtraByteBoxes; ++k) order << extraBytes_->box(k);
  order << override_ << copyStream_ << pasteStream_ << recalculate_;
  return order;
}

QLineEdit* MoreOptionsPanel::overviewBox(OverviewText which) const {
  switch (which) {
    case OverviewText::Name: return overviewName_;
    case OverviewText::Number: return overviewNumber_;
    case OverviewText::Parent: return parentNumber_;
  }
  return overviewName_;
}

QLineEdit* MoreOptionsPanel::boundBox(Bound which) const {
  switch (which) {
    case Bound::North: return north_;
    case Bound::East: return east_;
    case Bound::South: return south_;
    case Bound::West: return west_;
  }
  return north_;
}

void MoreOptionsPanel::showForm(const ProductForm& form) {
  {
    const QSignalBlocker block(codePage_);
    const QString page = QString::fromStdString(form.codePageText);
    if (codePage_->currentText() != page) codePage_->setEditText(page);
  }
  showText(overviewName_, form.overviewNameText);
  showText(overviewNumber_, form.overviewNumberText);
  showText(parentNumber_, form.parentNumberText);
  showText(north_, form.overviewNorth);
  showText(east_, form.overviewEast);
  showText(south_, form.overviewSouth);
  showText(west_, form.overviewWest);
  showChecked(display_, form.copyrightDisplay);
  showChecked(print_, form.copyrightPrint);
  {
    // An exclusive group cannot show "neither" without this.
    sources_->group()->setExclusive(false);
    showChecked(sources_, form.copyrightKind == CopyrightKind::Sources);
    showChecked(copyrightInfo_, form.copyrightKind == CopyrightKind::CopyrightInfo);
    sources_->group()->setExclusive(true);
  }
  showText(copyrightByte2_, form.copyrightByte2Text);
  showText(copyrightByte3_, form.copyrightByte3Text);
  {
    const QSignalBlocker block(copyright_);
    const QString text =
        QString::fromStdString(form.copyrightText).replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    if (copyright_->toPlainText() != text) copyright_->setPlainText(text);
    copyright_->setReadOnly(!form.copyrightTextEnabled);
  }
  showText(tileCopyright1_, form.tileCopyright1);
  showText(tileCopyright2_, form.tileCopyright2);
  tileCopyright1_->setEnabled(form.tileCopyright1Enabled);
  tileCopyright2_->setEnabled(form.tileCopyright2Enabled);
  showText(count_, form.countBoxText);
  showChecked(override_, form.overrideSettings);
  override_->setEnabled(form.overrideSettingsEnabled);
  extraBytes_->showForm(form);
}

}  // namespace velmor
