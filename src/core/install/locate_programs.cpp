#include "locate_programs.hpp"

#include "../common/bytes.hpp"
#include "../common/path_text.hpp"
#include "../common/prompter.hpp"
#include "../common/number_text.hpp"
#include "../platform/file_kind.hpp"
#include "../settings/settings.hpp"
#include "program_locations.hpp"

namespace velmor {

std::string browseStartFolder(const std::string& storedPath, const std::string& programFolder) {
  const std::string name = fileNameOf(storedPath);
  if (name.empty() || name.size() == storedPath.size()) return programFolder;
  return folderOf(storedPath);
}

std::string qlandkarteBrowseStart(Settings& settings, const ProgramLocations& locations) {
  if (!isRegularFile(settings.qlandkartePath)) {
    // "ProgramFiles", as Windows names the folder of 64-bit programs.
    settings.qlandkartePath = locations.localPath(locations.programFiles());
  }
  return settings.qlandkartePath;
}

void findBaseCamp(Settings& settings, const ProgramLocations& locations, bool is64BitWindows) {
  if (isRegularFile(settings.baseCampPath)) return;
  const std::string& programFiles =
      is64BitWindows && !locations.programFilesX86().empty() ? locations.programFilesX86() : locations.programFiles();
  if (programFiles.empty()) return;
  std::string windowsPath = programFiles + "\\garmin\\basecamp\\basecamp.exe";
  for (std::size_t at = windowsPath.find("\\\\"); at != std::string::npos; at = windowsPath.find("\\\\", at))
    windowsPath.erase(at, 1);
  // On Linux the folders are looked up without regard to case, as Windows
  // would: the file is "Garmin/BaseCamp/BaseCamp.exe" there.
  const std::string path = locations.localPath(windowsPath);
  if (isRegularFile(path)) settings.baseCampPath = path;
}

std::optional<std::string> refuseCompilerPath(const std::string& typed) {
  const std::string path(trimBlanks(typed));
  if (path.empty() || isRegularFile(path)) return std::nullopt;
  return "The map compiler " + path + " does not exist. Choose the program file with \"<<\" or leave the box empty.";
}

std::optional<std::string> acceptBrowsedProgram(ProgramRow row, const std::string& answer, Prompter& prompter) {
  if (answer.empty()) return std::nullopt;
  if (!isRegularFile(answer)) {
    // A name typed into the file dialog: the compiler is told, as "OK" would.
    if (row == ProgramRow::MapCompiler) {
      if (auto refusal = refuseCompilerPath(answer)) prompter.message(*refusal);
    }
    return std::nullopt;
  }
  // Only the file name counts: a folder such as "~/.wine" or "maps.old"
  // says nothing about the program.
  const std::string name = toLowerAscii(fileNameOf(answer));
  switch (row) {
    case ProgramRow::MapSource:
    case ProgramRow::BaseCamp:
      if (name.find(".exe") == std::string::npos) {
        prompter.message(row == ProgramRow::MapSource ? kMapSourceNotFound : kBaseCampNotFound);
        return std::nullopt;
      }
      return answer;
    case ProgramRow::Qlandkarte:
      if (answer.find('*') != std::string::npos) return std::nullopt;
      if (name.find('.') != std::string::npos && name.find(".exe") == std::string::npos) {
        prompter.message(kNotAnExeFile);
        return std::nullopt;
      }
      return answer;
    case ProgramRow::MapCompiler: return answer;
  }
  return std::nullopt;
}

}  // namespace velmor
