#pragma once
// The map programs in the window: the launch button beside the name fields
// (the default program's icon), Preferences, "Locate Programs" and
// Preferences, "Settings".
#include <QIcon>
#include <QObject>

#include "context/command_context.hpp"
#include "core/install/program_launch.hpp"

class QAction;
class QToolButton;

namespace velmor {

// Our own icons of the three programs.
QIcon programIcon(MapProgram program);
QString programName(MapProgram program);

class ProgramCommands : public QObject {
  Q_OBJECT
 public:
  // A child of the context's parent; `launchButton` is the button beside
  // the name fields, `locate` and `settings` the two Preferences entries.
  ProgramCommands(CommandContext context, QToolButton* launchButton, QAction* locate, QAction* settings);

  // The launch button shows the icon of `defaultProgram`.
  void showDefaultProgram();
  void launch();
  void locatePrograms();
  void preferences();

 protected:
  // The launch button answers any mouse button, not only the left one.
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  CommandContext context_;
  QToolButton* launchButton_;
};

}  // namespace velmor
