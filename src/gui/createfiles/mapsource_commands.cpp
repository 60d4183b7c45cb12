#include "mapsource_commands.hpp"

#include "core/img/mdx_writer.hpp"
#include "core/install/install_environment.hpp"
#include "core/platform/file_services.hpp"
#include "install/create_registry_file.hpp"
#include "services/file_dialog_provider.hpp"

namespace velmor {

MapsourceCommands::MapsourceCommands(CommandContext context) : QObject(context.parent), context_(std::move(context)) {
  // "Create" in the dialog: the registry file that installs the chosen files.
  createHandler_ = [this](const CreateFilesRequest& request) {
    QStringList files;
    for (const std::string& file : request.chosenFiles) files << QString::fromStdString(file);
    // wine regedit is waited for, so that a failed import is told; the
    // window repaints meanwhile but is not closed under it.
    const ToolRun running(context_.toolRuns);
    createRegistryFile(files, QString::fromStdString(request.mapsourceName), QString::fromStdString(request.fidText),
                       productFolderOf(files, QString::fromStdString(request.folder)), context_.prompter,
                       context_.install(), context_.activity);
  };
}

void MapsourceCommands::openCreateFilesDialog() {
  if (dialog_) return;
  CreateFilesDialog dialog(context_.state, context_.prompter, context_.parent);
  if (createHandler_) dialog.setCreateHandler(createHandler_);
  dialog.setMapsFolder([this] { return context_.install().mapsFolderPath(); });
  connect(&dialog, &CreateFilesDialog::boundsSet, this, [this] { context_.refreshForm(); });
  dialog_ = &dialog;
  dialog.exec();
  dialog_ = nullptr;
}

void MapsourceCommands::createMdx() {
  EditorState& s = context_.state;
  if (s.file.path.empty()) {
    context_.prompter.message("No Data.");
    return;
  }
  const std::string answer =
      context_.dialogs.fileDialog(true, context_.parent, s.file.path, "*.mdx", FileFilter{"MDX Files", "*.mdx"});
  if (answer.size() < 4) return;
  writeMdx(answer, s.file, s.form, context_.prompter, systemFiles(), context_.activity);
}

}  // namespace velmor
