#include "program_commands.hpp"

#include <QAction>
#include <QMouseEvent>
#include <QToolButton>

#include "context/connect_later.hpp"
#include "dialogs/colour_chooser_dialog.hpp"
#include "dialogs/locate_programs_dialog.hpp"
#include "dialogs/preferences_dialog.hpp"

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
    case MapProgram::BaseCamp: return QIcon(QStringLiteral(":/programs/basecamp.xpm"));
    case MapProgram::Qlandkarte: return QIcon(QStringLiteral(":/programs/qlandkarte.xpm"));
    case MapProgram::MapSource: break;
  }
  return QIcon(QStringLiteral(":/programs/mapsource.xpm"));
}

QString programName(MapProgram program) {
  switch (program) {
    case MapProgram::BaseCamp: return QStringLiteral("BaseCamp");
    case MapProgram::Qlandkarte: return QStringLiteral("QlandkarteGT");
    case MapProgram::MapSource: break;
  }
  return QStringLiteral("MapSource");
}

ProgramCommands::ProgramCommands(CommandContext context, QToolButton* launchButton, QAction* locate, QAction* settings)
    : QObject(context.parent), context_(std::move(context)), launchButton_(launchButton) {
  QToolButton* button = launchButton_;
  button->setEnabled(true);
  button->setIconSize(QSize(32, 32));
  button->setToolButtonStyle(Qt::ToolButtonIconOnly);
  button->installEventFilter(this);
  connect(button, &QToolButton::clicked, this, &ProgramCommands::launch);
  connectLater(locate, this, &ProgramCommands::locatePrograms);
  connectLater(settings, this, &ProgramCommands::preferences);
  showDefaultProgram();
}

void ProgramCommands::showDefaultProgram() {
  QToolButton* button = launchButton_;
  const MapProgram program = defaultMapProgram(context_.state.settings);
  button->setIcon(programIcon(program));
  // The icon is the caption; a screen reader reads the program's name.
  button->setText(programName(program));
  button->setAccessibleName(QStringLiteral("Start ") + programName(program));
  button->setToolTip(QStringLiteral("Start ") + programName(program));
}

void ProgramCommands::launch() {
  EditorState& s = context_.state;
  const LaunchRequest request{s.file.modified, s.settings, s.locations};
  launchDefaultProgram(request, context_.prompter, context_.processes);
}

void ProgramCommands::locatePrograms() {
  EditorState& s = context_.state;
  {
    LocateProgramsDialog dialog(s.settings, s.folders.programFolder, s.locations, context_.dialogs, context_.prompter,
                                context_.parent);
    dialog.exec();
  }
  showDefaultProgram();
}

void ProgramCommands::preferences() {
  EditorState& s = context_.state;
  {
    PreferencesDialog dialog(
        s.settings,
        [this](Colour current) {
          return ColourChooserDialog::choose(current, context_.prompter, context_.state.folders.systemFolder,
                                             context_.parent);
        },
        context_.parent);
    dialog.exec();
  }
  context_.applyBlockColours();
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
