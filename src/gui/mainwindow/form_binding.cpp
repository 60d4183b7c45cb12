#include "form_binding.hpp"

#include <QCheckBox>
#include <QComboBox>

#include "core/product/loader.hpp"
#include "extra_byte_boxes.hpp"
#include "file_commands.hpp"
#include "header_row.hpp"
#include "img_data_panel.hpp"
#include "main_menus.hpp"
#include "main_window.hpp"
#include "more_options_panel.hpp"

namespace velmor {

FormBinding::FormBinding(MainWindow& window) : QObject(&window), window_(window) {
  connectHeader();
  connectMoreOptions();
  connectImgData();
  connectFileMenu();
}

void FormBinding::connectFileMenu() {
  MainMenus* menus = window_.menus();
  FileCommands& commands = window_.fileCommands();
  connect(menus->open(), &QAction::triggered, this, [&commands] { commands.open(); });
  connect(menus->save(), &QAction::triggered, this, [&commands] { commands.save(SaveKind::Save); });
  connect(menus->saveAs(), &QAction::triggered, this, [&commands] { commands.save(SaveKind::SaveAs); });
  connect(menus->saveCopy(), &QAction::triggered, this, [&commands] { commands.save(SaveKind::SaveCopy); });
  connect(menus->exit(), &QAction::triggered, &window_, &MainWindow::close);
  connect(menus, &MainMenus::recentChosen, this, [&commands](int entry) { commands.openRecent(entry); });
}

void FormBinding::connectHeader() {
  HeaderRow* header = window_.headerRow();
  connect(header, &HeaderRow::textEdited, this, &FormBinding::headerText);
  connect(header, &HeaderRow::optionClicked, this, &FormBinding::featureOption);
  connect(header, &HeaderRow::versionPicked, this, &FormBinding::versionPicked);
  connect(header, &HeaderRow::mapWindowSizeEdited, this, &FormBinding::mapWindowSize);
}

void FormBinding::connectMoreOptions() {
  MoreOptionsPanel* panel = window_.moreOptionsPanel();
  ProductForm& form = window_.state().form;
  ProductFile& file = window_.state().file;
  connect(panel, &MoreOptionsPanel::overviewEdited, this, &FormBinding::overview);
  connect(panel, &MoreOptionsPanel::boundEdited, this, &FormBinding::bound);
  connect(panel, &MoreOptionsPanel::copyrightOptionClicked, this, &FormBinding::copyrightOption);
  connect(panel, &MoreOptionsPanel::copyrightTextEdited, this, [this, &form, &file](const QString& text) {
    form.copyrightText = text.toStdString();
    file.copyrightEdited = true;
    MarkModified(file);
    applied();
  });
  connect(panel, &MoreOptionsPanel::tileCopyrightEdited, this, [this, &form, &file](int which, const QString& text) {
    (which == 1 ? form.tileCopyright1 : form.tileCopyright2) = text.toStdString();
    MarkModified(file);
    applied();
  });
  connect(panel, &MoreOptionsPanel::extraByteEdited, this, [&form](int number, const QString& text) {
    // Typing alone does not mark the model modified.
    form.extraBytes[static_cast<std::size_t>(number)].text = text.toStdString();
  });
  connect(panel, &MoreOptionsPanel::overrideClicked, this, [this, &form, &file](bool ticked) {
    form.overrideSettings = ticked;
    MarkModified(file);
    applied();
  });
  connect(panel, &MoreOptionsPanel::codePageEdited, this, [this, &form, &file](const QString& text) {
    form.codePageText = text.toStdString();
    MarkModified(file);
    applied();
  });
  connect(panel, &MoreOptionsPanel::codePagePicked, this, [this, &form](const QString& text) {
    form.codePageText = text.toStdString();
    applied();
  });
}

void FormBinding::connectImgData() {
  // The " img data" panel belongs to the tile views: TileController binds its
  // boxes, "keep changes" and "X" to the tile rules.
}

void FormBinding::headerText(HeaderText which, const QString& text) {
  ProductForm& form = window_.state().form;
  switch (which) {
    case HeaderText::Pid:
      form.pidText = text.toStdString();
      break;
    case HeaderText::Fid:
      form.fidText = text.toStdString();
      break;
    case HeaderText::FamilyName:
      form.familyNameText = text.toStdString();
      break;
    case HeaderText::SeriesName:
      form.seriesNameText = text.toStdString();
      break;
  }
  MarkModified(window_.state().file);
  applied();
}

void FormBinding::featureOption(FeatureOption which) {
  ProductForm& form = window_.state().form;
  const bool ticked = window_.headerRow()->option(which)->isChecked();
  switch (which) {
    case FeatureOption::Routable:
      form.routable = ticked;
      break;
    case FeatureOption::Dem:
      form.dem = ticked;
      break;
    case FeatureOption::Profile:
      form.profile = ticked;
      break;
    case FeatureOption::Printing:
      form.printing = ticked;
      break;
    case FeatureOption::MapWindow:
      form.mapWindow = ticked;
      break;
  }
  MarkModified(window_.state().file);
  applied();
}

void FormBinding::versionPicked(const QString& text) {
  window_.state().form.versionText = text.toStdString();
  MarkModified(window_.state().file);
  applied();
}

void FormBinding::mapWindowSize() {
  ProductForm& form = window_.state().form;
  form.mapWindowWidthText = window_.headerRow()->widthList()->currentText().toStdString();
  form.mapWindowHeightText = window_.headerRow()->heightList()->currentText().toStdString();
  MarkModified(window_.state().file);
  applied();
}

void FormBinding::overview(OverviewText which, const QString& text) {
  ProductForm& form = window_.state().form;
  switch (which) {
    case OverviewText::Name:
      form.overviewNameText = text.toStdString();
      break;
    case OverviewText::Number:
      form.overviewNumberText = text.toStdString();
      break;
    case OverviewText::Parent:
      form.parentNumberText = text.toStdString();
      break;
  }
  window_.state().file.overviewEdited = true;
  MarkModified(window_.state().file);
  applied();
}

void FormBinding::bound(Bound which, const QString& text) {
  ProductForm& form = window_.state().form;
  std::string& box = which == Bound::North   ? form.overviewNorth
                     : which == Bound::East  ? form.overviewEast
                     : which == Bound::South ? form.overviewSouth
                                             : form.overviewWest;
  box = text.toStdString();
  window_.state().file.overviewEdited = true;
  MarkModified(window_.state().file);
  applied();
}

void FormBinding::copyrightOption(CopyrightOption which) {
  ProductForm& form = window_.state().form;
  MoreOptionsPanel* panel = window_.moreOptionsPanel();
  switch (which) {
    case CopyrightOption::Display:
      form.copyrightDisplay = panel->displayOption()->isChecked();
      break;
    case CopyrightOption::Print:
      form.copyrightPrint = panel->printOption()->isChecked();
      break;
    case CopyrightOption::Sources:
      form.copyrightKind = CopyrightKind::Sources;
      break;
    case CopyrightOption::CopyrightInfo:
      form.copyrightKind = CopyrightKind::CopyrightInfo;
      break;
  }
  window_.state().file.copyrightEdited = true;
  MarkModified(window_.state().file);
  applied();
}

void FormBinding::applied() { window_.refreshFromForm(); }

}  // namespace velmor
