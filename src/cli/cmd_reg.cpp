// velmor-cli reg: the registry file that installs a product into MapSource
// and BaseCamp, from a list of its files.
#include <algorithm>
#include <filesystem>
#include <iostream>

#include "cli_prompter.hpp"
#include "commands.hpp"
#include "core/install/install_environment.hpp"
#include "core/install/product_summary.hpp"
#include "core/install/registry_file.hpp"
#include "core/install/registry_uninstall.hpp"
#include "core/platform/file_services.hpp"
#include "core/platform/unicode_text.hpp"
#include "core/product/field_encoding.hpp"
#include "core/platform/utf8_path.hpp"
#include "core/platform/wine_prefix.hpp"

namespace velmor::cli {

namespace {

namespace fs = std::filesystem;

struct RegOptions {
  std::string name;
  std::string fid;
  std::string folder;
  std::string winePrefix;
  std::string output;
  bool bits32 = false;
  bool bits64 = false;
  bool import = false;
  bool yes = false;
  std::string uninstall;
  std::vector<std::string> files;
};

// The folder all listed files lie in; "" when they lie in several.
std::string commonFolder(const std::vector<std::string>& files) {
  std::string folder;
  for (const std::string& file : files) {
    std::error_code ec;
    const std::string parent = utf8FromPath(fs::absolute(pathFromUtf8(file), ec).lexically_normal().parent_path());
    if (!folder.empty() && parent != folder) return "";
    folder = parent;
  }
  return folder;
}

bool endsWithTdb(const std::string& path) {
  return path.size() > 4 && lowerUtf8(path.substr(path.size() - 4)) == ".tdb";
}

// What the registry file is given, against the product file itself: a
// missing product file or another family id installs a product MapSource
// cannot show. Returns false when the user did not insist (--yes).
bool agreesWithProductFile(RegOptions& o, MapsourceFilesRequest& request) {
  auto tdb = std::find_if(o.files.begin(), o.files.end(), endsWithTdb);
  // None or several: the generator refuses and says why.
  if (std::count_if(o.files.begin(), o.files.end(), endsWithTdb) != 1) return true;
  auto insist = [&o](const std::string& problem) {
    std::cerr << problem << (o.yes ? " Written all the same (--yes).\n" : " Pass --yes to write it all the same.\n");
    return o.yes;
  };
  SilentPrompter quiet;
  auto summary = productSummary(*tdb, quiet);
  if (!summary) return insist("The product file " + *tdb + " cannot be read.");
  request.productId = static_cast<std::uint16_t>(summary->productHigh << 8 | summary->productLow);
  const auto fid = box16(o.fid);
  if (fid && *fid != summary->familyId()) {
    return insist("--fid " + std::to_string(*fid) + " is not the family id of " + *tdb + " (" +
                  std::to_string(summary->familyId()) + "): MapSource would not find the product's tiles.");
  }
  return true;
}

int runUninstall(const RegOptions& o) {
  auto environment = systemInstallEnvironment(o.winePrefix);
  UninstallRequest request;
  request.familyKeyName = o.uninstall;
  request.is64BitWindows = o.bits64 || (!o.bits32 && environment->is64BitWindows());
  request.outputPath = o.output.empty() ? o.uninstall + " uninstall.reg" : o.output;
  CliPrompter prompter;
  const UninstallResult result =
      remove_mapsourcefamily(request, prompter, systemFiles(), o.import ? &environment->importer() : nullptr,
                             quietActivity(), environment->liveRegistry());
  if (!result.written) return 1;
  std::cout << result.registryFile << "\n";
  return o.import && !result.removed ? 1 : 0;
}

int runReg(RegOptions& o) {
  if (!o.uninstall.empty()) return runUninstall(o);
  if (o.name.empty() || o.fid.empty() || o.files.empty()) {
    std::cerr << "reg needs --name, --fid and the product's files (or --uninstall NAME).\n";
    return 2;
  }
  auto environment = systemInstallEnvironment(o.winePrefix);
  MapsourceFilesRequest request;
  request.chosenFiles = o.files;
  request.familyKeyName = o.name;
  request.fidText = o.fid;
  request.outputPath = o.output;
  request.is64BitWindows = o.bits64 || (!o.bits32 && environment->is64BitWindows());
  const std::string filesFolder = commonFolder(o.files);
  if (!o.folder.empty() && isWindowsDrivePath(o.folder)) {
    // Written as given: the folder of the files on the Windows they are installed on.
    request.registryFolder = o.folder;
    request.localFolder = filesFolder;
  } else {
    request.localFolder = o.folder.empty() ? filesFolder : o.folder;
    if (request.localFolder.empty()) {
      std::cerr << "The listed files lie in different folders: name the product folder with --folder.\n";
      return 1;
    }
    auto windows = environment->windowsFolder(request.localFolder);
    if (!windows) {
      std::cerr << "The folder " << request.localFolder << " cannot be reached from the Wine prefix.\n";
      return 1;
    }
    request.registryFolder = *windows;
  }
  if (!agreesWithProductFile(o, request)) return 1;
  CliPrompter prompter;
  const MapsourceFilesResult result =
      create_mapsourcefiles(request, prompter, systemFiles(), o.import ? &environment->importer() : nullptr,
                            quietActivity(), environment->liveRegistry());
  if (result.status != MapsourceFilesStatus::Written) return 1;
  std::cout << result.registryFile << "\n";
  if (o.import) {
    if (auto problem = environment->mapProgramsProblem()) std::cerr << "warning: " << *problem << "\n";
  }
  // Written but not imported, or imported without the keys arriving: the
  // message says what is missing and how to import by hand.
  return o.import && !(result.importStarted && result.importVerified) ? 1 : 0;
}

}  // namespace

void addRegCommand(CLI::App& app, int& exitCode) {
  auto* cmd = app.add_subcommand("reg", "Write the registry file that installs a product into MapSource/BaseCamp");
  auto o = std::make_shared<RegOptions>();
  cmd->add_option("--name", o->name, "Mapsource Name: the family's registry key and the file's name");
  cmd->add_option("--fid", o->fid, "Family id (decimal)");
  cmd->add_option("--folder", o->folder,
                  "Product folder: a Windows path (C:\\Maps\\Alps) is written as given, a local folder is mapped "
                  "into the Wine prefix (default: the folder of the listed files)");
  auto* b32 = cmd->add_flag("--32", o->bits32, "Keys for 32-bit Windows");
  cmd->add_flag("--64", o->bits64, "Keys for 64-bit Windows (under Wow6432Node)")->excludes(b32);
  addWinePrefixOption(cmd, o->winePrefix);
  cmd->add_option("-o,--output", o->output, "Write the registry file here instead of next to the map files");
  cmd->add_flag("--import", o->import, "Import the written file (wine regedit), wait for it and read the keys back");
  cmd->add_flag("--yes", o->yes, "Write the file even when the product file is missing or has another family id");
  cmd->add_option("--uninstall", o->uninstall,
                  "Write the registry file that removes the family NAME instead (-o: where; default \"NAME "
                  "uninstall.reg\")");
  cmd->add_option("FILE", o->files, "The product's files: .tdb, .mdx, *mdr.img, basemap .img, .typ, tiles");
  cmd->callback([&exitCode, o] { exitCode = runReg(*o); });
}

}  // namespace velmor::cli
