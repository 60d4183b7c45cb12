#include "program_folder.hpp"

#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <system_error>

namespace velmor {

namespace {

std::optional<std::string> environment(const char* name) {
  const char* v = std::getenv(name);
  if (v == nullptr) return std::nullopt;
  return std::string(v);
}

std::string joined(const std::string& folder, const std::string& name) {
  if (!folder.empty() && folder.back() == '/') return folder + name;
  return folder + "/" + name;
}

}  // namespace

std::string chooseProgramFolder(const ProgramFolderFacts& facts) {
  if (facts.velmorHome && !facts.velmorHome->empty()) return *facts.velmorHome;
  if (!facts.executableFolder.empty() && facts.executableFolderWritable) return facts.executableFolder;
  // An empty XDG_DATA_HOME counts as unset, as the base-directory rules say.
  if (facts.xdgDataHome && !facts.xdgDataHome->empty()) return joined(*facts.xdgDataHome, "velmor");
  std::string home = facts.home.value_or("");
  if (home.empty()) home = ".";
  return joined(joined(home, ".local/share"), "velmor");
}

ProgramFolderFacts currentProgramFolderFacts() {
  ProgramFolderFacts facts;
  facts.velmorHome = environment("VELMOR_HOME");
  facts.xdgDataHome = environment("XDG_DATA_HOME");
  facts.home = environment("HOME");
  std::error_code ec;
  std::filesystem::path exe = std::filesystem::read_symlink("/proc/self/exe", ec);
  if (!ec) {
    facts.executableFolder = exe.parent_path().string();
    facts.executableFolderWritable = ::access(facts.executableFolder.c_str(), W_OK) == 0;
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
    std::filesystem::create_directories(*folder, ec);
  }
}

Folders programFolders() {
  Folders folders = foldersUnder(chooseProgramFolder(currentProgramFolderFacts()));
  makeFolders(folders);
  return folders;
}

std::string settingsPath(const Folders& folders) { return folders.systemFolder + "/velmor.dat"; }

}  // namespace velmor
