#include "get_tdb_command.hpp"

#include "core/common/prompter.hpp"
#include "core/settings/recent_files.hpp"
#include "installed_products_dialog.hpp"
#include "mainwindow/file_commands.hpp"
#include "mainwindow/main_window.hpp"

namespace velmor {

void getTdbFromMapsource(MainWindow& window) {
  std::optional<InstalledProduct> chosen;
  {
    InstalledProductsDialog dialog(window.installEnvironment(), window.prompter(), window.activity(), &window);
    dialog.exec();
    chosen = dialog.chosenProduct();
  }
  if (!chosen) return;
  Prompter& prompter = window.prompter();
  // Only No goes on: Yes and Cancel leave the open file as it is.
  if (window.state().file.modified &&
      prompter.ask(kSaveAsTdbFirst, Buttons::YesNoCancel) != Answer::No) {
    return;
  }
  // The registry may name a file that has gone since it was listed.
  if (!chosen->file || !fileExists(*chosen->file)) {
    prompter.message(kCannotLocate + chosen->tdb);
    return;
  }
  window.fileCommands().openProductFile(*chosen->file, true);
}

}  // namespace velmor
