#pragma once
// The Help menu: "Manual", "Check for Updates", "About", "What's New".
#include <QObject>
#include <string>

#include "context/command_context.hpp"
#include "core/editor/help_menu.hpp"

class QAction;

namespace velmor {

// The menu's four entries.
struct HelpActions {
  QAction* manual = nullptr;
  QAction* checkForUpdates = nullptr;
  QAction* about = nullptr;
  QAction* whatsNew = nullptr;
};

class HelpCommands : public QObject {
  Q_OBJECT
 public:
  // A child of the context's parent.
  HelpCommands(CommandContext context, const HelpActions& actions);

  // The build's addresses with the environment's replacements, read when
  // the window is made.
  const HelpAddresses& addresses() const { return addresses_; }

  void manual();
  void checkForUpdates();
  void about();
  void whatsNew();

 private:
  CommandContext context_;
  HelpAddresses addresses_;
};

// The addresses compiled into the program.
HelpAddresses builtInHelpAddresses();
// The release notes shipped inside the program.
std::string releaseNotes();

}  // namespace velmor
