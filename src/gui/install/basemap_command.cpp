#include "basemap_command.hpp"

#include "context/command_context.hpp"
#include "core/common/prompter.hpp"
#include "core/install/basemap.hpp"
#include "core/platform/file_services.hpp"
#include "compiler_wait_dialog.hpp"
#include "services/file_dialog_provider.hpp"

namespace velmor {

namespace {

const FileFilter kImgFilter{"IMG Files", "*.img"};

// The product's folder, "" for a name without one or in the root folder.
std::string folderOf(const std::string& path) {
  const std::size_t slash = path.find_last_of("/\\");
  return slash == std::string::npos ? "" : path.substr(0, slash);
}

}  // namespace

std::string basemapSuggestion(const std::string& productPath) {
  const std::string tdb = ".tdb";
  if (productPath.size() >= tdb.size() && productPath.compare(productPath.size() - tdb.size(), tdb.size(), tdb) == 0)
    return productPath.substr(0, productPath.size() - tdb.size()) + ".img";
  return productPath;
}

void createBasemap(const CommandContext& context) {
  EditorState& s = context.state;
  Prompter& prompter = context.prompter;
  if (s.file.path.empty()) {
    prompter.message(kNoDataLoaded);
    return;
  }
  const std::string chosen = context.dialogs.fileDialog(true, context.parent, folderOf(s.file.path),
                                                        basemapSuggestion(s.file.path), kImgFilter);
  if (chosen.size() < 4) return;

  BasemapJob job;
  job.source = previewSource(s.file, s.form);
  job.target = chosen;
  job.productPath = s.file.path;
  job.systemFolder = s.folders.systemFolder;
  job.compilerPath = s.settings.mapCompilerPath;
  job.winePrefix = s.locations.winePrefix();
  // The compiler may run for minutes: the window is drawn meanwhile, but
  // neither closed nor given another command before it has finished; the
  // wait dialog says so, counts the time and can stop it.
  CompilerWaitDialog wait(context.parent);
  BasemapServices services{prompter, systemFiles(), context.processes, [&wait] { wait.tick(); }};
  services.errorText = &s.file.errorText;
  services.compilerRunning = [&wait](bool running) { wait.running(running); };
  services.cancelled = [&wait] { return wait.cancelRequested(); };
  const ToolRun running(context.toolRuns);
  const BasemapOutcome outcome = create_basemap(job, services);
  if (outcome.compilerChosen) s.settings.mapCompilerPath = job.compilerPath;
}

}  // namespace velmor
