// velmor-cli reg: the registry file that installs a product into MapSource
// and BaseCamp, from a list of its files.
#include <filesystem>
#include <iostream>

#include "cli_prompter.hpp"
#include "commands.hpp"
#include "core/install/install_environment.hpp"
#include "core/install/registry_file.hpp"
#include "core/platform/file_services.hpp"
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

int runReg(const RegOptions& o) {
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
  CliPrompter prompter;
  const MapsourceFilesResult result = create_mapsourcefiles(request, prompter, systemFiles(),
                                                            o.import ? &environment->importer() : nullptr,
                                                            quietActivity());
  if (result.status != MapsourceFilesStatus::Written) return 1;
  std::cout << result.registryFile << "\n";
  // Written but not imported, when importing was asked for: the message says how to do it by hand.
  return o.import && !result.importStarted ? 1 : 0;
}

}  // namespace

void addRegCommand(CLI::App& app, int& exitCode) {
  auto* cmd = app.add_subcommand("reg", "Write the registry file that installs a product into MapSource/BaseCamp");
  auto o = std::make_shared<RegOptions>();
  cmd->add_option("--name", o->name, "Mapsource Name: the family's registry key and the file's name")->required();
  cmd->add_option("--fid", o->fid, "Family id (decimal)")->required();
  cmd->add_option("--folder", o->folder,
                  "Product folder: a Windows path (C:\\Maps\\Alps) is written as given, a local folder is mapped "
                  "into the Wine prefix (default: the folder of the listed files)");
  auto* b32 = cmd->add_flag("--32", o->bits32, "Keys for 32-bit Windows");
  cmd->add_flag("--64", o->bits64, "Keys for 64-bit Windows (under Wow6432Node)")->excludes(b32);
  cmd->add_option("--wine-prefix", o->winePrefix, "Wine prefix (default: $WINEPREFIX, else ~/.wine)");
  cmd->add_option("-o,--output", o->output, "Write the registry file here instead of next to the map files");
  cmd->add_flag("--import", o->import, "Import the written file (wine regedit) and wait for it");
  cmd->add_option("FILE", o->files, "The product's files: .tdb, .mdx, *mdr.img, basemap .img, tiles")->required();
  cmd->callback([&exitCode, o] { exitCode = runReg(*o); });
}

}  // namespace velmor::cli
