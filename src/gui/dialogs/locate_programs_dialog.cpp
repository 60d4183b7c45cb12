#include "locate_programs_dialog.hpp"

#include <QButtonGroup>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

#include "core/platform/system_facts.hpp"
#include "core/common/prompter.hpp"
#include "ok_cancel_row.hpp"
#include "services/file_dialog_provider.hpp"

namespace velmor {

namespace {

struct RowCaption {
  ProgramRow row;
  const char* caption;
  const char* name;
};

const RowCaption kRows[] = {
    {ProgramRow::MapSource, "mapsource.exe", "mapSource"},
    {ProgramRow::BaseCamp, "basecamp.exe", "baseCamp"},
    {ProgramRow::Qlandkarte, "QlandkarteGT", "qlandkarte"},
    {ProgramRow::MapCompiler, "Map compiler", "mapCompiler"},
};

const FileFilter kExeFilter{"EXE Files", "*.exe"};
const FileFilter kCompilerFilter = kProgramsEndInExe ? kExeFilter : FileFilter{"Programs", "*"};

// The three map programs' rows stand in MapProgram's order.
static_assert(static_cast<int>(ProgramRow::MapSource) == static_cast<int>(MapProgram::MapSource) &&
              static_cast<int>(ProgramRow::BaseCamp) == static_cast<int>(MapProgram::BaseCamp) &&
              static_cast<int>(ProgramRow::Qlandkarte) == static_cast<int>(MapProgram::Qlandkarte));
std::string& storedPath(Settings& settings, ProgramRow row) {
  if (row == ProgramRow::MapCompiler) return settings.mapCompilerPath;
  return programPath(settings, static_cast<MapProgram>(row));
}

}  // namespace

LocateProgramsDialog::LocateProgramsDialog(Settings& settings, std::string programFolder,
                                           const ProgramLocations& locations, FileDialogProvider& dialogs,
                                           Prompter& prompter, QWidget* parent)
    : QDialog(parent),
      settings_(settings),
      programFolder_(std::move(programFolder)),
      locations_(locations),
      dialogs_(dialogs),
      prompter_(prompter) {
  setObjectName("locatePrograms");
  setWindowTitle(QStringLiteral("Settings"));
  // Preferences has two dialogs of this title; the description tells a
  // screen reader which one has opened.
  setAccessibleDescription(
      QStringLiteral("Locate Programs: the paths of MapSource, BaseCamp, QlandkarteGT and the map compiler"));
  setModal(true);

  auto* column = new QVBoxLayout(this);
  auto* grid = new QGridLayout;
  column->addLayout(grid);
  auto* group = new QButtonGroup(this);
  for (const RowCaption& r : kRows) {
    const int line = static_cast<int>(index(r.row));
    const QString caption = QString::fromUtf8(r.caption);
    auto* label = new QLabel(caption, this);
    auto* box = new QLineEdit(QString::fromStdString(storedPath(settings_, r.row)), this);
    box->setObjectName(QStringLiteral("%1Path").arg(r.name));
    box->setMinimumWidth(360);
    label->setBuddy(box);
    auto* browse = new QPushButton(QStringLiteral("<<"), this);
    browse->setObjectName(QStringLiteral("%1Browse").arg(r.name));
    // "<<" read out alone says nothing of the row it belongs to.
    browse->setAccessibleName(QStringLiteral("<< ") + caption);
    browse->setToolTip(QStringLiteral("Locate ") + caption);
    browse->setAutoDefault(false);
    connect(browse, &QPushButton::clicked, this, [this, row = r.row] { browseFor(row); });
    grid->addWidget(label, line, 0);
    grid->addWidget(box, line, 1);
    grid->addWidget(browse, line, 2);
    boxes_[index(r.row)] = box;
    browse_[index(r.row)] = browse;
    if (r.row == ProgramRow::MapCompiler) continue;
    auto* option = new QRadioButton(QStringLiteral("Default"), this);
    option->setObjectName(QStringLiteral("%1Default").arg(r.name));
    option->setAccessibleName(QStringLiteral("Default ") + caption);
    group->addButton(option, line);
    grid->addWidget(option, line, 3);
    defaults_[index(r.row)] = option;
  }
  defaults_[static_cast<std::size_t>(defaultMapProgram(settings_))]->setChecked(true);

  const OkCancel row = addOkCancelRow(*this, *column);
  ok_ = row.ok;
  cancel_ = row.cancel;
}

void LocateProgramsDialog::browseFor(ProgramRow row) {
  std::string& stored = storedPath(settings_, row);
  std::string start;
  if (row == ProgramRow::Qlandkarte) {
    start = qlandkarteBrowseStart(settings_, locations_);
  } else {
    start = browseStartFolder(stored, programFolder_);
  }
  const FileFilter& filter = row == ProgramRow::MapCompiler ? kCompilerFilter : kExeFilter;
  const std::string answer = dialogs_.fileDialog(false, this, start, "", filter);
  if (answer.empty()) return;
  const std::optional<std::string> taken = acceptBrowsedProgram(row, answer, prompter_);
  if (!taken) return;
  stored = *taken;
  boxes_[index(row)]->setText(QString::fromStdString(*taken));
}

void LocateProgramsDialog::accept() {
  QLineEdit* compiler = boxes_[index(ProgramRow::MapCompiler)];
  if (auto refusal = refuseCompilerPath(compiler->text().toStdString())) {
    prompter_.message(*refusal);
    compiler->setFocus();
    return;
  }
  for (const RowCaption& r : kRows) storedPath(settings_, r.row) = boxes_[index(r.row)]->text().toStdString();
  for (std::size_t k = 0; k < defaults_.size(); ++k) {
    if (defaults_[k]->isChecked()) settings_.defaultProgram = static_cast<int>(k);
  }
  QDialog::accept();
}

}  // namespace velmor
