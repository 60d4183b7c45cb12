#include "header_row.hpp"

#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QSignalBlocker>
#include <QVBoxLayout>

#include "user_toggle.hpp"

namespace velmor {

QStringList mapWindowSizeEntries() {
  QStringList entries;
  for (int percent = 10; percent <= 100; percent += 10) entries << QString::number(percent) + "%";
  return entries;
}

QStringList versionEntries() { return {"3.00", "4.03", "4.07", "4.08", "4.09", "4.11"}; }

namespace {

// A label above its field, as the header row is laid out. The label is the
// field's buddy, so a screen reader names the field by it.
QWidget* captioned(const char* caption, QWidget* field, QWidget* parent) {
  auto* box = new QWidget(parent);
  auto* column = new QVBoxLayout(box);
  column->setContentsMargins(0, 0, 0, 0);
  column->setSpacing(1);
  auto* label = new QLabel(QString::fromUtf8(caption), box);
  label->setBuddy(field);
  column->addWidget(label);
  column->addWidget(field);
  return box;
}

void setEditText(QComboBox* box, const std::string& text) {
  const QString shown = QString::fromStdString(text);
  const int at = box->findText(shown);
  if (at >= 0) box->setCurrentIndex(at);
  box->setEditText(shown);
}

}  // namespace

HeaderRow::HeaderRow(QWidget* parent) : QWidget(parent) {
  setObjectName("headerRow");
  // Two lines, so that the row fits a small screen: the fields, then the
  // options with their size lists and "More Options".
  auto* lines = new QVBoxLayout(this);
  lines->setContentsMargins(4, 2, 4, 2);
  lines->setSpacing(2);
  auto* row = new QHBoxLayout;
  auto* flags = new QHBoxLayout;
  lines->addLayout(row);
  lines->addLayout(flags);

  version_ = new QComboBox(this);
  version_->setObjectName("versionBox");
  version_->setEditable(true);
  version_->setInsertPolicy(QComboBox::NoInsert);
  version_->addItems(versionEntries());
  version_->setCurrentText("4.11");
  version_->setMinimumContentsLength(5);
  row->addWidget(captioned("TDB", version_, this));
  connect(version_, &QComboBox::textActivated, this, &HeaderRow::versionPicked);
  // A version typed into the box counts once it is confirmed with Enter or
  // the box is left; the rule then accepts it or puts the box back.
  connect(version_->lineEdit(), &QLineEdit::editingFinished, this,
          [this] { emit versionTyped(version_->currentText()); });

  fid_ = addText(HeaderText::Fid, "FID", 60);
  row->addWidget(fid_->parentWidget());
  pid_ = addText(HeaderText::Pid, "PID", 50);
  row->addWidget(pid_->parentWidget());
  family_ = addText(HeaderText::FamilyName, "Faimily Name", 170);
  row->addWidget(family_->parentWidget());
  series_ = addText(HeaderText::SeriesName, "Mapsource Name", 170);
  row->addWidget(series_->parentWidget());

  launch_ = new QToolButton(this);
  launch_->setObjectName("launchButton");
  // Its icon, name and action come with the map programs (ProgramCommands).
  launch_->setText(QStringLiteral("MapSource"));
  row->addWidget(launch_, 0, Qt::AlignBottom);
  row->addStretch(1);

  auto* options = new QWidget(this);
  auto* optionGrid = new QHBoxLayout(options);
  optionGrid->setContentsMargins(0, 0, 0, 0);
  auto addOption = [&](FeatureOption which, const char* caption, const char* name) {
    auto* box = new QCheckBox(QString::fromUtf8(caption), options);
    box->setObjectName(name);
    optionGrid->addWidget(box);
    onUserToggle(box, this, [this, which](bool) { emit optionClicked(which); });
    return box;
  };
  routable_ = addOption(FeatureOption::Routable, "Routable", "routableOption");
  dem_ = addOption(FeatureOption::Dem, "DEM", "demOption");
  profile_ = addOption(FeatureOption::Profile, " Profile", "profileOption");
  printing_ = addOption(FeatureOption::Printing, "Printing", "printingOption");
  mapWindow_ = addOption(FeatureOption::MapWindow, "Map Window", "mapWindowOption");
  showChecked(printing_, true);
  flags->addWidget(options);

  auto addSizeList = [&](const char* caption, const char* name, const char* selected, bool isWidth) {
    auto* list = new QComboBox(this);
    list->setObjectName(name);
    list->setEditable(true);
    list->setInsertPolicy(QComboBox::NoInsert);
    list->addItems(mapWindowSizeEntries());
    list->setCurrentText(selected);
    list->setEnabled(false);
    list->setMinimumContentsLength(4);
    flags->addSpacing(12);
    auto* label = new QLabel(QString::fromUtf8(caption), this);
    label->setBuddy(list);
    flags->addWidget(label);
    flags->addWidget(list);
    connect(list, &QComboBox::textActivated, this,
            [this, isWidth](const QString& text) { emit mapWindowSizeEdited(isWidth, text); });
    connect(list->lineEdit(), &QLineEdit::textEdited, this,
            [this, isWidth](const QString& text) { emit mapWindowSizeEdited(isWidth, text); });
    return list;
  };
  width_ = addSizeList("Width", "mapWindowWidth", "50%", true);
  height_ = addSizeList("Height", "mapWindowHeight", "40%", false);

  flags->addStretch(1);
  moreOptions_ = new QPushButton(QStringLiteral("More Options"), this);
  moreOptions_->setObjectName("moreOptionsButton");
  flags->addWidget(moreOptions_);
  connect(moreOptions_, &QPushButton::clicked, this, &HeaderRow::moreOptionsPressed);
}

QLineEdit* HeaderRow::addText(HeaderText which, const char* caption, int width) {
  auto* edit = new QLineEdit(this);
  static const char* const names[] = {"pidBox", "fidBox", "familyNameBox", "seriesNameBox"};
  edit->setObjectName(names[static_cast<int>(which)]);
  // Ids are short; the names take what room there is, up to a point.
  if (which == HeaderText::Pid || which == HeaderText::Fid) {
    edit->setFixedWidth(width);
  } else {
    edit->setMinimumWidth(width);
    edit->setMaximumWidth(2 * width);
  }
  captioned(caption, edit, this);
  connect(edit, &QLineEdit::textEdited, this, [this, which](const QString& text) { emit textEdited(which, text); });
  connect(edit, &QLineEdit::returnPressed, this, [this, which] { emit enterPressed(which); });
  return edit;
}

QList<QWidget*> HeaderRow::tabOrder() const {
  return {version_, fid_,     pid_,      family_,    series_, launch_, routable_,
          dem_,     profile_, printing_, mapWindow_, width_,  height_, moreOptions_};
}

QLineEdit* HeaderRow::textBox(HeaderText which) const {
  switch (which) {
    case HeaderText::Pid: return pid_;
    case HeaderText::Fid: return fid_;
    case HeaderText::FamilyName: return family_;
    case HeaderText::SeriesName: return series_;
  }
  return pid_;
}

QCheckBox* HeaderRow::option(FeatureOption which) const {
  switch (which) {
    case FeatureOption::Routable: return routable_;
    case FeatureOption::Dem: return dem_;
    case FeatureOption::Profile: return profile_;
    case FeatureOption::Printing: return printing_;
    case FeatureOption::MapWindow: return mapWindow_;
  }
  return routable_;
}

void HeaderRow::showForm(const ProductForm& form) {
  const QSignalBlocker blockVersion(version_);
  const QSignalBlocker blockWidth(width_);
  const QSignalBlocker blockHeight(height_);
  setEditText(version_, form.versionText);
  auto setText = [](QLineEdit* edit, const std::string& text) {
    const QString shown = QString::fromStdString(text);
    // Leaving an unchanged text alone keeps the cursor where the user typed.
    if (edit->text() != shown) edit->setText(shown);
  };
  setText(pid_, form.pidText);
  setText(fid_, form.fidText);
  setText(family_, form.familyNameText);
  setText(series_, form.seriesNameText);
  showChecked(routable_, form.routable);
  showChecked(dem_, form.dem);
  showChecked(profile_, form.profile);
  showChecked(printing_, form.printing);
  showChecked(mapWindow_, form.mapWindow);
  width_->setEnabled(form.mapWindowListsEnabled);
  height_->setEnabled(form.mapWindowListsEnabled);
  if (width_->currentText() != QString::fromStdString(form.mapWindowWidthText))
    setEditText(width_, form.mapWindowWidthText);
  if (height_->currentText() != QString::fromStdString(form.mapWindowHeightText))
    setEditText(height_, form.mapWindowHeightText);
}

}  // namespace velmor
