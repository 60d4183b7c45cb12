#pragma once
// The map programs in the window: the launch button beside the name fields
// (the default program's icon), Preferences, "Locate Programs" and
// Preferences, "Settings".
#include <QIcon>
#include <QObject>

#include "core/install/program_launch.hpp"

namespace velmor {

class MainWindow;

// Our own icons of the three programs.
QIcon programIcon(MapProgram program);
QString programName(MapProgram program);

class ProgramCommands : public QObject {
  Q_OBJECT
 public:
  explicit ProgramCommands(MainWindow& window);

  // The launch button shows the icon of `defaultProgram`.
  void showDefaultProgram();
  void launch();
  void locatePrograms();
  void preferences();

 protected:
  // The launch button answers any mouse button, not only the left one.
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  MainWindow& window_;
};

}  // namespace velmor
