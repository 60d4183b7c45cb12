#include "program_commands.hpp"

#include <QAction>
#include <QMouseEvent>
#include <QToolButton>

#include "dialogs/colour_chooser_dialog.hpp"
#include "dialogs/locate_programs_dialog.hpp"
#include "dialogs/preferences_dialog.hpp"
#include "mainwindow/header_row.hpp"
#include "mainwindow/main_menus.hpp"
#include "mainwindow/main_window.hpp"

// Resources of a static library are registered by hand, outside any namespace.
static void registerProgramIcons() {
  static bool registered = false;
  if (registered) return;
  registered = true;
  Q_INIT_RESOURCE(programs);
}

namespace velmor {

QIcon programIcon(MapProgram program) {
  registerProgramIcons();
  switch (program) {
    case MapProgram::BaseCamp:
      return QIcon(QStringLiteral(":/programs/basecamp.xpm"));
    case MapProgram::Qlandkarte:
      return QIcon(QStringLiteral(":/programs/qlandkarte.xpm"));
    case MapProgram::MapSource:
      break;
  }
  return QIcon(QStringLiteral(":/programs/mapsource.xpm"));
}

QString programName(MapProgram program) {
  switch (program) {
    case MapProgram::BaseCamp:
      return QStringLiteral("BaseCamp");
    case MapProgram::Qlandkarte:
      return QStringLiteral("QlandkarteGT");
    case MapProgram::MapSource:
      break;
  }
  return QStringLiteral("MapSource");
}

ProgramCommands::ProgramCommands(MainWindow& window) : QObject(&window), window_(window) {
  QToolButton* button = window.headerRow()->launchButton();
  button->setEnabled(true);
  button->setIconSize(QSize(32, 32));
  button->setToolButtonStyle(Qt::ToolButtonIconOnly);
  button->installEventFilter(this);
  connect(button, &QToolButton::clicked, this, &ProgramCommands::launch);
  connectLater(window.menus()->locatePrograms(), this, &ProgramCommands::locatePrograms);
  connectLater(window.menus()->settings(), this, &ProgramCommands::preferences);
  showDefaultProgram();
}

void ProgramCommands::showDefaultProgram() {
  QToolButton* button = window_.headerRow()->launchButton();
  const MapProgram program = defaultMapProgram(window_.state().settings);
  button->setIcon(programIcon(program));
  // The icon is the caption; a screen reader reads the program's name.
  button->setText(programName(program));
  button->setAccessibleName(QStringLiteral("Start ") + programName(program));
  button->setToolTip(QStringLiteral("Start ") + programName(program));
}

void ProgramCommands::launch() {
  EditorState& s = window_.state();
  const LaunchRequest request{s.file.modified, s.settings, s.locations};
  launchDefaultProgram(request, window_.prompter(), window_.processes());
}

void ProgramCommands::locatePrograms() {
  EditorState& s = window_.state();
  {
    LocateProgramsDialog dialog(s.settings, s.folders.programFolder, s.locations, window_.dialogs(),
                                window_.prompter(), &window_);
    dialog.exec();
  }
  showDefaultProgram();
}

void ProgramCommands::preferences() {
  EditorState& s = window_.state();
  {
    PreferencesDialog dialog(
        s.settings,
        [this](Colour current) {
          return ColourChooserDialog::choose(current, window_.prompter(), window_.state().folders.systemFolder,
                                             &window_);
        },
        &window_);
    dialog.exec();
  }
  window_.applyBlockColours();
}

bool ProgramCommands::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() == QEvent::MouseButtonRelease) {
    auto* mouse = static_cast<QMouseEvent*>(event);
    auto* button = qobject_cast<QToolButton*>(watched);
    // The left button arrives as clicked(); the others are ours.
    if (button && mouse->button() != Qt::LeftButton && button->rect().contains(mouse->position().toPoint())) {
      launch();
      return true;
    }
  }
  return QObject::eventFilter(watched, event);
}

}  // namespace velmor
