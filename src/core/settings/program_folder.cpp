#include "program_folder.hpp"

#include <filesystem>
#include <system_error>

#include "../platform/system_facts.hpp"
#include "../platform/utf8_path.hpp"

namespace velmor {

namespace {

std::string joined(const std::string& folder, const std::string& name) {
  if (!folder.empty() && folder.back() == '/') return folder + name;
  return folder + "/" + name;
}

}  // namespace

std::string chooseProgramFolder(const ProgramFolderFacts& facts) {
  if (facts.velmorHome && !facts.velmorHome->empty()) return *facts.velmorHome;
  if (!facts.executableFolder.empty() && facts.executableFolderWritable && !facts.executableInstalled)
    return facts.executableFolder;
  if (facts.appData && !facts.appData->empty()) return joined(*facts.appData, "Velmor");
  // An empty XDG_DATA_HOME counts as unset, as the base-directory rules say.
  if (facts.xdgDataHome && !facts.xdgDataHome->empty()) return joined(*facts.xdgDataHome, "velmor");
  std::string home = facts.home.value_or("");
  if (home.empty()) home = ".";
  return joined(joined(home, ".local/share"), "velmor");
}

ProgramFolderFacts currentProgramFolderFacts() {
  ProgramFolderFacts facts;
  facts.velmorHome = environmentValue("VELMOR_HOME");
#ifdef _WIN32
  facts.appData = environmentValue("APPDATA");
#else
  facts.xdgDataHome = environmentValue("XDG_DATA_HOME");
  facts.home = environmentValue("HOME");
#endif
  const std::string exe = executablePath();
  if (!exe.empty()) {
    facts.executableFolder = utf8FromPath(pathFromUtf8(exe).parent_path());
    facts.executableFolderWritable = folderWritable(facts.executableFolder);
    std::error_code ec;
    facts.executableInstalled =
        std::filesystem::is_directory(pathFromUtf8(exe).parent_path().parent_path() / "share" / "velmor", ec);
  }
  return facts;
}

Folders foldersUnder(const std::string& programFolder) {
  Folders f;
  f.programFolder = programFolder;
  f.systemFolder = joined(programFolder, "system");
  f.tdbFolder = joined(programFolder, "tdb");
  f.logFolder = joined(programFolder, "logs");
  return f;
}

void makeFolders(const Folders& folders) {
  std::error_code ec;
  for (const std::string* folder : {&folders.systemFolder, &folders.tdbFolder, &folders.logFolder}) {
    std::filesystem::create_directories(pathFromUtf8(*folder), ec);
  }
}

Folders programFolders() {
  Folders folders = foldersUnder(chooseProgramFolder(currentProgramFolderFacts()));
  makeFolders(folders);
  return folders;
}

std::string settingsPath(const Folders& folders) { return folders.systemFolder + "/velmor.dat"; }

}  // namespace velmor
