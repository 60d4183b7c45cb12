// velmor-cli bounds and mdx: the map maker's steps after compiling tiles,
// for a Makefile: the overview bounds from the tiles, then the MDX index.
#include <iostream>

#include "cli_prompter.hpp"
#include "commands.hpp"
#include "core/editor/file_log.hpp"
#include "core/img/mdx_writer.hpp"
#include "core/img/overview_bounds.hpp"
#include "core/product/loader.hpp"
#include "core/product/save.hpp"
#include "core/settings/program_folder.hpp"
#include "core/settings/settings_file.hpp"

namespace velmor::cli {

namespace {

struct BoundsArgs {
  std::string product;
  std::vector<std::string> files;
  std::string out;
  bool yes = false;
};

int runBounds(const BoundsArgs& args) {
  Folders folders = programFolders();
  Settings settings = startupSettings(folders);
  FileLog log(settings, folders.logFolder);
  CliPrompter prompter(args.yes);
  ProductFile file;
  ProductForm form;
  if (openProduct(file, form, args.product, prompter) != LoadStatus::Read) return 1;
  const std::size_t loadErrors = file.errorText.size();
  CreateTdbResult result = create_tdb(file, form, args.files, prompter);
  if (file.errorText.size() > loadErrors) std::cerr << file.errorText.substr(loadErrors);
  if (!result.boundsFound) return 1;
  std::cout << "Overview N " << form.overviewNorth << " E " << form.overviewEast << " S " << form.overviewSouth << " W "
            << form.overviewWest << " from " << result.tiles << " tile" << (result.tiles == 1 ? "" : "s") << " in "
            << result.filesWithBounds << " file" << (result.filesWithBounds == 1 ? "" : "s") << "\n";

  SaveContext context{file, form, prompter, quietActivity(), log, folders.systemFolder};
  const SaveOutcome outcome = args.out.empty() ? saveToPath(context) : saveCopy(context, args.out);
  if (outcome != SaveOutcome::Saved) return 1;
  std::cout << "Saved " << (args.out.empty() ? file.path : args.out) << "\n";
  return 0;
}

int runMdx(const std::string& product, const std::string& out) {
  CliPrompter prompter;
  ProductFile file;
  ProductForm form;
  if (openProduct(file, form, product, prompter) != LoadStatus::Read) return 1;
  if (writeMdx(out, file, form, prompter, systemFiles()) != MdxOutcome::Written) return 1;
  std::cout << "Wrote " << out << " (" << form.detailMaps.size() << " tile" << (form.detailMaps.size() == 1 ? "" : "s")
            << ")\n";
  return 0;
}

}  // namespace

void addBoundsCommand(CLI::App& app, int& exitCode) {
  auto* cmd = app.add_subcommand("bounds", "Set a product file's overview bounds from its IMG tiles and save it");
  auto args = std::make_shared<BoundsArgs>();
  cmd->add_option("PRODUCT", args->product, "Product file (.tdb)")->required();
  cmd->add_option("FILES", args->files, "IMG tiles (other files are scanned and give no bounds)")->required();
  cmd->add_option("-o,--output", args->out, "Save a copy here and leave PRODUCT as it is");
  cmd->add_flag("--yes", args->yes, "Answer Yes to the editor's questions");
  cmd->callback([args, &exitCode] { exitCode = runBounds(*args); });
}

void addMdxCommand(CLI::App& app, int& exitCode) {
  auto* cmd = app.add_subcommand("mdx", "Write the MDX index of a product file's tiles");
  auto product = std::make_shared<std::string>();
  auto out = std::make_shared<std::string>();
  cmd->add_option("PRODUCT", *product, "Product file (.tdb)")->required();
  cmd->add_option("-o,--output", *out, "The MDX file to write")->required();
  cmd->callback([product, out, &exitCode] { exitCode = runMdx(*product, *out); });
}

}  // namespace velmor::cli
