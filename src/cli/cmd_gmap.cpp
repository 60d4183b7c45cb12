// velmor-cli gmap and typ: map bundles for BaseCamp, and the ids of TYP
// files.
#include <charconv>
#include <filesystem>
#include <iostream>

#include "cli_prompter.hpp"
#include "commands.hpp"
#include "core/img/typ_file.hpp"
#include "core/install/gmap_bundle.hpp"
#include "core/install/install_environment.hpp"
#include "core/platform/file_services.hpp"
#include "core/platform/utf8_path.hpp"

namespace velmor::cli {

namespace {

struct GmapOptions {
  std::string product;
  std::vector<std::string> files;
  std::string typ;
  std::string output;
  std::string winePrefix;
  bool gmapi = false;
  bool install = false;
  bool yes = false;
  bool giveTypIds = false;
  bool keepTypIds = false;
};

int runGmap(const GmapOptions& o) {
  if (o.output.empty() && !o.install) {
    std::cerr << "Name the folder for the bundle with -o, or install it with --install.\n";
    return 1;
  }
  CliPrompter prompter(o.yes);
  GmapRequest request;
  request.productFile = o.product;
  request.files = o.files;
  request.typFile = o.typ;
  request.typIds = o.giveTypIds ? TypIdChoice::Give : o.keepTypIds ? TypIdChoice::Keep : TypIdChoice::Refuse;
  GmapPlanResult planned = planGmap(request, prompter);
  if (!planned.plan) {
    std::cerr << planned.error << "\n";
    if (planned.typIdsDiffer)
      std::cerr << "Give --typ-ids to put a copy with the product's ids into the bundle (as x<name>.typ), "
                   "or --keep-typ-ids to copy it as it is.\n";
    return 1;
  }
  const GmapPlan& plan = *planned.plan;
  if (!o.output.empty()) {
    const std::string name = o.gmapi ? plan.info.name + ".gmapi" : plan.bundleName;
    const std::string target = utf8FromPath(pathFromUtf8(o.output) / pathFromUtf8(name));
    if (auto failed = writeGmap(plan, target, o.gmapi, systemFiles())) {
      std::cerr << *failed << "\n";
      return 1;
    }
    std::cout << target << "\n";
  }
  if (o.install) {
    auto environment = systemInstallEnvironment(o.winePrefix);
    auto maps = environment->mapsFolderPath();
    if (!maps) {
      std::cerr << "The maps folder cannot be found in the Wine prefix (no drive C:).\n";
      return 1;
    }
    std::string error;
    auto installed = installGmap(plan, *maps, prompter, systemFiles(), error);
    if (!installed) {
      std::cerr << error << "\n";
      return 1;
    }
    std::cout << *installed << "\n";
  }
  return 0;
}

bool parseId(const std::string& text, std::uint16_t& out) {
  unsigned value = 0;
  auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (ec != std::errc() || end != text.data() + text.size() || value > 0xFFFF) return false;
  out = static_cast<std::uint16_t>(value);
  return true;
}

struct TypOptions {
  std::string file;
  std::string fid;
  std::string pid;
  std::string output;
};

int runTyp(const TypOptions& o) {
  std::string error;
  auto ids = readTypIds(o.file, error);
  if (!ids) {
    std::cerr << error << "\n";
    return 1;
  }
  if (o.fid.empty() && o.pid.empty()) {
    if (!o.output.empty()) {
      std::cerr << "-o writes a copy with new ids: give --fid or --pid.\n";
      return 1;
    }
    std::cout << "family id: " << ids->familyId << "\nproduct id: " << ids->productId
              << "\ncode page: " << ids->codePage << "\n";
    return 0;
  }
  std::uint16_t fid = ids->familyId;
  std::uint16_t pid = ids->productId;
  if ((!o.fid.empty() && !parseId(o.fid, fid)) || (!o.pid.empty() && !parseId(o.pid, pid))) {
    std::cerr << "The ids are numbers from 0 to 65535.\n";
    return 1;
  }
  const std::filesystem::path source = pathFromUtf8(o.file);
  const std::string target =
      o.output.empty()
          ? utf8FromPath(source.parent_path() / pathFromUtf8(patchedTypName(utf8FromPath(source.filename()))))
          : o.output;
  if (auto failed = writeTypWithIds(o.file, target, fid, pid, systemFiles())) {
    std::cerr << *failed << "\n";
    return 1;
  }
  std::cout << target << "\n";
  return 0;
}

}  // namespace

void addGmapCommand(CLI::App& app, int& exitCode) {
  auto* cmd = app.add_subcommand("gmap", "Write the map bundle (.gmap folder) that BaseCamp reads");
  auto o = std::make_shared<GmapOptions>();
  cmd->add_option("PRODUCT", o->product, "The product file (.tdb)")->required();
  cmd->add_option("FILE", o->files, "The overview map, every tile, the .mdx and the *_mdr.img")->required();
  cmd->add_option("--typ", o->typ, "The style (.typ) to put into the bundle");
  cmd->add_option("-o,--output", o->output, "Write <family name>.gmap into this folder");
  cmd->add_flag("--gmapi", o->gmapi, "Wrap it as <family name>.gmapi/<family name>.gmap, as macOS imports it");
  cmd->add_flag("--install", o->install, "Install it into the Wine prefix's ProgramData/Garmin/Maps");
  cmd->add_flag("--yes", o->yes, "Replace an installed bundle of the same product without asking");
  addWinePrefixOption(cmd, o->winePrefix);
  auto* give = cmd->add_flag("--typ-ids", o->giveTypIds,
                             "When the TYP's ids are not the product's, put a copy with the product's ids "
                             "(x<name>.typ) into the bundle");
  cmd->add_flag("--keep-typ-ids", o->keepTypIds, "When the TYP's ids are not the product's, copy it as it is")
      ->excludes(give);
  cmd->callback([&exitCode, o] { exitCode = runGmap(*o); });
}

void addTypCommand(CLI::App& app, int& exitCode) {
  auto* cmd = app.add_subcommand("typ", "Show a TYP file's ids, or write a copy with other ids");
  auto o = std::make_shared<TypOptions>();
  cmd->add_option("FILE", o->file, "The TYP file")->required();
  cmd->add_option("--fid", o->fid, "Family id of the copy");
  cmd->add_option("--pid", o->pid, "Product id of the copy");
  cmd->add_option("-o,--output", o->output, "Where to write the copy (default: x<name>.typ beside it)");
  cmd->callback([&exitCode, o] { exitCode = runTyp(*o); });
}

}  // namespace velmor::cli
