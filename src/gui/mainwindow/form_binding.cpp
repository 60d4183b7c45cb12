#include "form_binding.hpp"

#include <QCheckBox>
#include <QComboBox>
#include <QPlainTextEdit>

#include "core/editor/field_rules.hpp"
#include "core/editor/header_rules.hpp"
#include "core/product/code_page.hpp"
#include "core/product/loader.hpp"
#include "file_commands.hpp"
#include "header_row.hpp"
#include "tiles/img_data_panel.hpp"
#include "key_filter.hpp"
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
  ProductFile& file = window_.state().file;
  ProductForm& form = window_.state().form;
  for (HeaderText which : {HeaderText::Pid, HeaderText::Fid}) {
    new KeyFilter(header->textBox(which), [&file](char32_t key) { return pidFidKey(file, key); });
  }
  for (HeaderText which : {HeaderText::FamilyName, HeaderText::SeriesName}) {
    new KeyFilter(header->textBox(which), [&file, &form](char32_t key) { return nameKey(file, form, key); });
  }
  connect(header, &HeaderRow::textEdited, this, &FormBinding::headerText);
  connect(header, &HeaderRow::enterPressed, this, [this, &file, &form](HeaderText which) {
    if (which == HeaderText::Fid) fidEnter(file, form, window_.prompter());
  });
  connect(header, &HeaderRow::optionClicked, this, &FormBinding::featureOption);
  connect(header, &HeaderRow::versionPicked, this, &FormBinding::versionPicked);
  connect(header, &HeaderRow::versionTyped, this, [this](const QString& text) {
    // Leaving the box unchanged, or the moment after a refused pick (the box
    // is about to be put back), is no new version.
    if (versionBusy_ || window_.versionRevertPending()) return;
    if (text.toStdString() == window_.state().form.versionText) return;
    versionPicked(text);
  });
  connect(header, &HeaderRow::mapWindowSizeEdited, this, [this, &file, &form](bool width, const QString& text) {
    mapWindowSizeChanged(file, form, width, text.toStdString());
    applied();
  });
}

void FormBinding::connectMoreOptions() {
  MoreOptionsPanel* panel = window_.moreOptionsPanel();
  ProductForm& form = window_.state().form;
  ProductFile& file = window_.state().file;
  for (OverviewText which : {OverviewText::Name, OverviewText::Number, OverviewText::Parent}) {
    new KeyFilter(panel->overviewBox(which), [&file, &form](char32_t key) { return nameKey(file, form, key); });
  }
  for (Bound which : {Bound::North, Bound::East, Bound::South, Bound::West}) {
    new KeyFilter(panel->boundBox(which), [](char32_t key) { return boundKeyPasses(key); });
  }
  connect(panel, &MoreOptionsPanel::overviewEdited, this, &FormBinding::overview);
  connect(panel, &MoreOptionsPanel::boundEdited, this, &FormBinding::bound);
  connect(panel, &MoreOptionsPanel::copyrightOptionClicked, this, &FormBinding::copyrightOption);
  connect(panel, &MoreOptionsPanel::copyrightTextEdited, this, [this, &form, &file](const QString& text) {
    form.copyrightText = text.toStdString();
    copyrightEdited(file);
    applied();
  });
  connect(panel, &MoreOptionsPanel::tileCopyrightEdited, this, [this, &form, &file](int which, const QString& text) {
    (which == 1 ? form.tileCopyright1 : form.tileCopyright2) = text.toStdString();
    tileCopyrightKey(file);
    applied();
  });
  connect(panel, &MoreOptionsPanel::extraByteEdited, this, [this, &form, &file](int number, const QString& text) {
    // A typed byte is written at the next save, so it is a change to keep:
    // closing without saving must ask first.
    form.extraBytes[static_cast<std::size_t>(number)].text = text.toStdString();
    MarkModified(file);
    window_.rebuildTitle();
  });
  connect(panel, &MoreOptionsPanel::overrideClicked, this, [this, &form, &file](bool ticked) {
    form.overrideSettings = ticked;
    overrideSettingsClicked(file, form);
    applied();
  });
  connect(panel, &MoreOptionsPanel::codePageEdited, this, [this, &form, &file](const QString& text) {
    codePageChanged(file, form, text.toStdString(), true);
    applied();
  });
  connect(panel, &MoreOptionsPanel::codePagePicked, this, [this, &form, &file](const QString& text) {
    codePageChanged(file, form, text.toStdString(), false);
    applied();
  });
}

void FormBinding::connectImgData() {
  // The " img data" panel belongs to the tile views: TileController binds its
  // boxes, "keep changes" and "X" to the tile rules.
}

void FormBinding::headerText(HeaderText which, const QString& text) {
  ProductForm& form = window_.state().form;
  ProductFile& file = window_.state().file;
  const std::string typed = text.toStdString();
  // Keys are judged one by one as they are pressed; a pasted text must pass
  // the same test as a whole, or the box goes back to what it held.
  const bool digits = which == HeaderText::Pid || which == HeaderText::Fid;
  const CodePage& page = CodePage::get(form.textCodePage);
  const auto refused = digits ? firstRefusedCharacter(typed, pidFidKeyPasses)
                              : firstRefusedCharacter(typed, [&page](char32_t c) { return nameKeyPasses(c, page); });
  if (!refused) {
    std::string& field = which == HeaderText::Pid          ? form.pidText
                         : which == HeaderText::Fid        ? form.fidText
                         : which == HeaderText::FamilyName ? form.familyNameText
                                                           : form.seriesNameText;
    field = typed;
    // A deletion with the Delete key or a cut is an edit too.
    MarkModified(file);
  }
  applied();
}

void FormBinding::featureOption(FeatureOption which) {
  EditorState& s = window_.state();
  // The form takes the new state first; the rule may take it back.
  featureState(s.form, which) = window_.headerRow()->option(which)->isChecked();
  featureOptionClicked(s.file, s.form, which, s.settings.suppressCrashWarnings, window_.prompter(), window_.log());
  applied();
}

void FormBinding::versionPicked(const QString& text) {
  EditorState& s = window_.state();
  // The message of a refusal takes the focus from the box, which reports the
  // same text again as it loses it: one message per change.
  versionBusy_ = true;
  const VersionChange change = changeVersion(s.file, s.form, text.toStdString(), window_.prompter());
  versionBusy_ = false;
  if (change.outcome == RuleOutcome::Accepted) MarkModified(s.file);
  applied();
  // The list finishes its own handling of the pick after this; the timer
  // puts the accepted version back once it has.
  if (change.outcome == RuleOutcome::Refused) window_.startVersionRevert();
}

void FormBinding::overview(OverviewText which, const QString& text) {
  ProductForm& form = window_.state().form;
  const CodePage& page = CodePage::get(form.textCodePage);
  const std::string typed = text.toStdString();
  if (!firstRefusedCharacter(typed, [&page](char32_t c) { return nameKeyPasses(c, page); })) {
    std::string& field = which == OverviewText::Name     ? form.overviewNameText
                         : which == OverviewText::Number ? form.overviewNumberText
                                                         : form.parentNumberText;
    field = typed;
    window_.state().file.overviewEdited = true;
    MarkModified(window_.state().file);
  }
  applied();
}

void FormBinding::bound(Bound which, const QString& text) {
  ProductForm& form = window_.state().form;
  const std::string typed = text.toStdString();
  if (!firstRefusedCharacter(typed, boundKeyPasses)) {
    std::string& box = which == Bound::North   ? form.overviewNorth
                       : which == Bound::East  ? form.overviewEast
                       : which == Bound::South ? form.overviewSouth
                                               : form.overviewWest;
    box = typed;
    boundKeyReleased(window_.state().file);
  }
  applied();
}

void FormBinding::copyrightOption(CopyrightOption which) {
  ProductForm& form = window_.state().form;
  MoreOptionsPanel* panel = window_.moreOptionsPanel();
  switch (which) {
    case CopyrightOption::Display: form.copyrightDisplay = panel->displayOption()->isChecked(); break;
    case CopyrightOption::Print: form.copyrightPrint = panel->printOption()->isChecked(); break;
    case CopyrightOption::Sources: form.copyrightKind = CopyrightKind::Sources; break;
    case CopyrightOption::CopyrightInfo: form.copyrightKind = CopyrightKind::CopyrightInfo; break;
  }
  copyrightEdited(window_.state().file);
  applied();
}

void FormBinding::applied() { window_.refreshFromForm(); }

}  // namespace velmor
