// The window's commands in other folders (Tools, Preferences, Help): each
// gets the window's CommandContext and the controls that start it, and
// nothing else of the window.
#include <QAction>
#include <QPushButton>

#include "createfiles/mapsource_commands.hpp"
#include "file_commands.hpp"
#include "header_row.hpp"
#include "help/help_commands.hpp"
#include "install/basemap_command.hpp"
#include "install/check_product_dialog.hpp"
#include "install/get_tdb_command.hpp"
#include "install/program_commands.hpp"
#include "main_menus.hpp"
#include "main_window.hpp"
#include "services/progress_activity.hpp"

namespace velmor {

CommandContext MainWindow::commandContext() {
  return CommandContext{state_,
                        *prompter_,
                        *dialogs_,
                        *activity_,
                        *processes_,
                        *shell_,
                        [this]() -> InstallEnvironment& { return installEnvironment(); },
                        this,
                        [this](const std::string& path, bool showErrorsWindow) {
                          fileCommands_->openProductFile(path, showErrorsWindow);
                        },
                        [this] { refreshFromForm(); },
                        [this] { applyBlockColours(); },
                        toolRuns_};
}

void MainWindow::connectCommands() {
  mapsource_ = new MapsourceCommands(commandContext());
  connectLater(menus_->createAll(), mapsource_, &MapsourceCommands::openCreateFilesDialog);
  connect(createFiles_, &QPushButton::clicked, mapsource_, &MapsourceCommands::openCreateFilesDialog);
  connectLater(menus_->createMdx(), mapsource_, &MapsourceCommands::createMdx);
  new HelpCommands(commandContext(),
                   {menus_->manual(), menus_->checkForUpdates(), menus_->about(), menus_->whatsNew()});
  connectLater(menus_->getTdb(), this, [this] { getTdbFromMapsource(commandContext()); });
  connectLater(menus_->checkProduct(), this, [this] { checkOpenProduct(commandContext()); });
  programs_ =
      new ProgramCommands(commandContext(), header_->launchButton(), menus_->locatePrograms(), menus_->settings());
  connectLater(menus_->createBasemap(), this, [this] { createBasemap(commandContext()); });
}

}  // namespace velmor
