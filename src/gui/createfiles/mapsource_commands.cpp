#include "mapsource_commands.hpp"

#include "core/img/mdx_writer.hpp"
#include "core/platform/file_services.hpp"
#include "mainwindow/main_window.hpp"
#include "services/file_dialog_provider.hpp"

namespace velmor {

MapsourceCommands::MapsourceCommands(MainWindow& window) : QObject(&window), window_(window) {}

void MapsourceCommands::openCreateFilesDialog() {
  if (dialog_) return;
  CreateFilesDialog dialog(window_.state(), window_.prompter(), &window_);
  if (createHandler_) dialog.setCreateHandler(createHandler_);
  connect(&dialog, &CreateFilesDialog::boundsSet, &window_, [this] { window_.refreshFromForm(); });
  dialog_ = &dialog;
  dialog.exec();
  dialog_ = nullptr;
}

void MapsourceCommands::createMdx() {
  EditorState& s = window_.state();
  if (s.file.path.empty()) {
    window_.prompter().message("No Data.");
    return;
  }
  const std::string answer =
      window_.dialogs().fileDialog(true, &window_, s.file.path, "*.mdx", FileFilter{"MDX Files", "*.mdx"});
  if (answer.size() < 4) return;
  writeMdx(answer, s.file, s.form, window_.prompter(), systemFiles(), window_.activity());
}

}  // namespace velmor
