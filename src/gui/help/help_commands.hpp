#pragma once
// The Help menu: "Manual", "Check for Updates", "About", "What's New".
#include <QObject>
#include <string>

#include "core/editor/help_menu.hpp"

namespace velmor {

class MainWindow;

class HelpCommands : public QObject {
  Q_OBJECT
 public:
  explicit HelpCommands(MainWindow& window);

  // The build's addresses with the environment's replacements, read when
  // the window is made.
  const HelpAddresses& addresses() const { return addresses_; }

  void manual();
  void checkForUpdates();
  void about();
  void whatsNew();

 private:
  MainWindow& window_;
  HelpAddresses addresses_;
};

// The addresses compiled into the program.
HelpAddresses builtInHelpAddresses();
// The release notes shipped inside the program.
std::string releaseNotes();

}  // namespace velmor
