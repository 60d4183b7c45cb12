#include "locate_programs.hpp"

#include <filesystem>
#include <system_error>

#include "../common/prompter.hpp"
#include "../product/bytes.hpp"
#include "../product/number_text.hpp"
#include "../settings/settings.hpp"
#include "program_locations.hpp"

namespace velmor {

namespace fs = std::filesystem;

namespace {

bool existingFile(const std::string& path) {
  std::error_code ec;
  return !path.empty() && fs::is_regular_file(fs::path(std::u8string(path.begin(), path.end())), ec);
}

std::string fileNameOf(const std::string& path) {
  const std::size_t slash = path.find_last_of("/\\");
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

}  // namespace

std::string browseStartFolder(const std::string& storedPath, const std::string& programFolder) {
  const std::size_t slash = storedPath.find_last_of("/\\");
  if (slash == std::string::npos || slash + 1 == storedPath.size()) return programFolder;
  // "/mapsource.exe" lies in the root folder, which has no text before its separator.
  return slash == 0 ? storedPath.substr(0, 1) : storedPath.substr(0, slash);
}

std::string qlandkarteBrowseStart(Settings& settings, const ProgramLocations& locations) {
  if (!existingFile(settings.qlandkartePath)) {
    // "ProgramFiles", as Windows names the folder of 64-bit programs.
    settings.qlandkartePath = locations.localPath(locations.programFiles());
  }
  return settings.qlandkartePath;
}

void findBaseCamp(Settings& settings, const ProgramLocations& locations, bool is64BitWindows) {
  if (existingFile(settings.baseCampPath)) return;
  const std::string& programFiles =
      is64BitWindows && !locations.programFilesX86().empty() ? locations.programFilesX86() : locations.programFiles();
  if (programFiles.empty()) return;
  std::string windowsPath = programFiles + "\\garmin\\basecamp\\basecamp.exe";
  for (std::size_t at = windowsPath.find("\\\\"); at != std::string::npos; at = windowsPath.find("\\\\", at))
    windowsPath.erase(at, 1);
  // On Linux the folders are looked up without regard to case, as Windows
  // would: the file is "Garmin/BaseCamp/BaseCamp.exe" there.
  const std::string path = locations.localPath(windowsPath);
  if (existingFile(path)) settings.baseCampPath = path;
}

std::optional<std::string> refuseCompilerPath(const std::string& typed) {
  const std::string path(trimBlanks(typed));
  if (path.empty() || existingFile(path)) return std::nullopt;
  return "The map compiler " + path + " does not exist. Choose the program file with \"<<\" or leave the box empty.";
}

std::optional<std::string> acceptBrowsedProgram(ProgramRow row, const std::string& answer, Prompter& prompter) {
  if (answer.empty()) return std::nullopt;
  if (!existingFile(answer)) {
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
    case ProgramRow::MapCompiler:
      return answer;
  }
  return std::nullopt;
}

}  // namespace velmor
