#include "log_menu.hpp"

#include <filesystem>
#include <system_error>

#include "../common/no_association.hpp"
#include "../platform/utf8_path.hpp"
#include "../common/prompter.hpp"
#include "../platform/shell.hpp"
#include "file_log.hpp"

namespace velmor {

namespace {

constexpr const char* kNoLogDetails = "No log details.";

bool folderExists(const std::string& folder) {
  std::error_code ec;
  return std::filesystem::is_directory(pathFromUtf8(folder), ec);
}

}  // namespace

void readLogs(const std::string& logFolder, Shell& shell, Prompter& prompter) {
  if (!folderExists(logFolder)) {
    prompter.message(kNoLogDetails);
    return;
  }
  if (shell.open(logFolder) == ShellResult::NoAssociation) reportNoAssociation("txt", prompter);
}

bool clearMainLog(const std::string& logFolder, Prompter& prompter) {
  if (!folderExists(logFolder)) {
    prompter.message(kNoLogDetails);
    return false;
  }
  if (prompter.ask("Are you sure?", Buttons::YesNoCancel) != Answer::Yes) return false;
  // Day logs stay: only the main log is the program's to clear. A main log
  // that is already gone is no error.
  std::error_code ec;
  return std::filesystem::remove(pathFromUtf8(mainLogPath(logFolder)), ec);
}

}  // namespace velmor
