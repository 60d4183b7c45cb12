// velmor-cli preview and basemap: the preview map source of a product, and
// its basemap compiled by cgpsmapper or mkgmap, as Tools, "Create Basemap"
// makes them.
#include <atomic>
#include <csignal>
#include <iostream>

#include "cli_prompter.hpp"
#include "commands.hpp"
#include "core/install/basemap.hpp"
#include "core/install/map_source.hpp"
#include "core/install/program_locations.hpp"
#include "core/platform/file_services.hpp"
#include "core/product/loader.hpp"
#include "core/settings/program_folder.hpp"
#include "core/settings/settings_file.hpp"

namespace velmor::cli {

namespace {

struct BasemapOptions {
  std::string product;
  std::string output;
  std::string compiler;
  int timeoutSeconds = 3600;
  bool yes = false;
};

// Set by SIGINT or SIGTERM while the compiler runs. The compiler has a
// process group of its own, so the terminal's Ctrl+C reaches only us: the
// run then stops the whole group and removes its work folder.
volatile std::sig_atomic_t interrupted = 0;

void noteInterrupt(int signal) { interrupted = signal; }

void catchInterrupts(bool on) {
  std::signal(SIGINT, on ? noteInterrupt : SIG_DFL);
  std::signal(SIGTERM, on ? noteInterrupt : SIG_DFL);
}

bool loadProduct(const std::string& path, ProductFile& file, ProductForm& form, Prompter& prompter) {
  return openProduct(file, form, path, prompter) == LoadStatus::Read;
}

int runPreview(const BasemapOptions& o) {
  CliPrompter prompter;
  ProductFile file;
  ProductForm form;
  if (!loadProduct(o.product, file, form, prompter)) return 1;
  std::string output = o.output;
  if (output.empty()) output = programFolders().systemFolder + "/pv.mp";
  const PreviewWrite written =
      writePreviewMapSource(previewSource(file, form), output, LabelEncoding::CodePage, prompter, systemFiles());
  if (written != PreviewWrite::Written) return 1;
  std::cout << output << "\n";
  return 0;
}

int runBasemap(const BasemapOptions& o) {
  CliPrompter prompter(o.yes);
  ProductFile file;
  ProductForm form;
  if (!loadProduct(o.product, file, form, prompter)) return 1;
  const Folders folders = programFolders();
  const Settings settings = startupSettings(folders);
  BasemapJob job;
  job.source = previewSource(file, form);
  job.target = o.output;
  job.productPath = o.product;
  job.systemFolder = folders.systemFolder;
  job.compilerPath = o.compiler.empty() ? settings.mapCompilerPath : o.compiler;
  job.winePrefix = currentLocationFacts().winePrefix;
  BasemapServices services{prompter, systemFiles(), systemProcesses(), {}};
  services.compilerRunning = catchInterrupts;
  services.cancelled = [] { return interrupted != 0; };
  services.compilerTimeout = std::chrono::seconds(o.timeoutSeconds);
  // The compiler's ordinary output goes to the terminal as it comes; its
  // error output, kept for a failure's message, is passed on after it.
  const BasemapOutcome outcome = create_basemap(job, services);
  if (outcome.status == BasemapStatus::Created && !outcome.compilerErrors.empty()) std::cerr << outcome.compilerErrors;
  // 128 + the signal, as a shell reports a command it interrupted.
  if (interrupted) return 128 + interrupted;
  if (outcome.status != BasemapStatus::Created) return 1;
  std::cout << o.output << "\n";
  return 0;
}

}  // namespace

void addBasemapCommands(CLI::App& app, int& exitCode) {
  auto preview = std::make_shared<BasemapOptions>();
  auto* pv = app.add_subcommand("preview", "Write the preview map source (Polish format) of a product file");
  pv->add_option("PRODUCT", preview->product, "Product file (.tdb)")->required();
  pv->add_option("-o,--output", preview->output, "Map source to write (default: pv.mp in the program's system folder)");
  pv->callback([&exitCode, preview] { exitCode = runPreview(*preview); });

  auto basemap = std::make_shared<BasemapOptions>();
  auto* bm = app.add_subcommand("basemap", "Compile the product's basemap IMG with cgpsmapper or mkgmap");
  bm->add_option("PRODUCT", basemap->product, "Product file (.tdb)")->required();
  bm->add_option("-o,--output", basemap->output, "Basemap to write (.img)")->required();
  bm->add_option(
      "--compiler", basemap->compiler,
      "Map compiler (cgpsmapper, or mkgmap when its name holds \"mkgmap\"); default: the one in the settings");
  bm->add_option("--timeout", basemap->timeoutSeconds,
                 "Seconds the compiler may run before it is stopped and nothing is replaced (default: 3600)")
      ->check(CLI::PositiveNumber);
  bm->add_flag("--yes", basemap->yes, "Answer Yes: replace an existing basemap (after a backup), use mkgmap from PATH");
  bm->callback([&exitCode, basemap] { exitCode = runBasemap(*basemap); });
}

}  // namespace velmor::cli
