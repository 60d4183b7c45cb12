#include "get_tdb_command.hpp"

#include "context/command_context.hpp"
#include "core/common/prompter.hpp"
#include "core/settings/recent_files.hpp"
#include "installed_products_dialog.hpp"

namespace velmor {

void getTdbFromMapsource(const CommandContext& context) {
  std::optional<InstalledProduct> chosen;
  {
    InstalledProductsDialog dialog(context.install(), context.prompter, context.activity, context.parent);
    dialog.exec();
    chosen = dialog.chosenProduct();
  }
  if (!chosen) return;
  Prompter& prompter = context.prompter;
  // Only No goes on: Yes and Cancel leave the open file as it is.
  if (context.state.file.modified && prompter.ask(kSaveAsTdbFirst, Buttons::YesNoCancel) != Answer::No) {
    return;
  }
  // The registry may name a file that has gone since it was listed.
  if (!chosen->file || !fileExists(*chosen->file)) {
    prompter.message(kCannotLocate + chosen->tdb);
    return;
  }
  context.openProduct(*chosen->file, true);
}

}  // namespace velmor
