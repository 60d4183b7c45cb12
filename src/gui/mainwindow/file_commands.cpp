#include "file_commands.hpp"

#include "core/editor/prompter.hpp"
#include "core/product/bytes.hpp"
#include "core/product/loader.hpp"
#include "core/settings/recent_files.hpp"
#include "main_window.hpp"
#include "services/file_dialog_provider.hpp"

namespace velmor {

namespace {

const FileFilter kTdbFilter{"tdb Files", "*.tdb"};

}  // namespace

std::string fileNamePart(const std::string& path) {
  const auto cut = path.find_last_of("/\\");
  return cut == std::string::npos ? path : path.substr(cut + 1);
}

bool looksLikeProductFile(const std::string& path) {
  // Judged on the file name: a folder such as "maps.old" or "~/.local" says
  // nothing about the file inside it.
  const std::string name = fileNamePart(path);
  return containsNoCase(name, ".tdb") || name.find('.') == std::string::npos;
}

FileCommands::FileCommands(MainWindow& window) : window_(window) {}

Answer FileCommands::saveChangesCheck() {
  EditorState& s = window_.state();
  if (!s.file.modified) return Answer::No;
  const Answer answer = window_.prompter().ask(kSaveChanges, Buttons::YesNoCancel);
  if (answer == Answer::Yes) save(SaveKind::Save);
  return answer;
}

bool FileCommands::closeRule() {
  EditorState& s = window_.state();
  if (!s.file.modified) return true;
  const Answer answer = window_.prompter().ask(kSaveChanges, Buttons::YesNoCancel);
  if (answer == Answer::Cancel) return false;
  // A save that was refused or failed keeps the window open: closing would
  // throw away the edits the user just asked to keep.
  if (answer == Answer::Yes) return save(SaveKind::Save);
  return true;
}

void FileCommands::open() {
  EditorState& s = window_.state();
  saveChangesCheck();
  s.file.errorText.clear();
  if (s.settings.startPath.empty()) s.settings.startPath = s.folders.programFolder;
  if (s.settings.dialogPath.empty()) s.settings.dialogPath = s.settings.startPath;
  const std::string chosen = window_.dialogs().fileDialog(false, &window_, s.settings.dialogPath, "", kTdbFilter);
  if (chosen.empty()) return;
  // The path keeps its case: file names on this system are case-sensitive.
  // The title shows it in lower case.
  if (chosen.find('*') != std::string::npos || !fileExists(chosen)) return;
  if (!looksLikeProductFile(chosen)) {
    window_.prompter().message(kNotTdb);
    return;
  }
  s.settings.dialogPath = chosen;
  openProductFile(chosen, true);
}

void FileCommands::openRecent(int entry) {
  EditorState& s = window_.state();
  if (entry < 0 || entry >= kRecentFileCount) return;
  saveChangesCheck();
  const std::string caption = s.recent.captions[static_cast<std::size_t>(entry)];
  if (caption.empty() || caption.find('*') != std::string::npos || !fileExists(caption)) {
    // The entry shows greyed from the next update on.
    return;
  }
  openProductFile(caption, true);
}

void FileCommands::openProductFile(const std::string& path, bool showErrorsWindow) {
  EditorState& s = window_.state();
  openProduct(s.file, s.form, path, window_.prompter(), window_.activity());
  updatmf(s.recent, path, fileExists);
  window_.showLoadedFile();
  window_.activity().progress(1);
  if (showErrorsWindow && !s.file.errorText.empty()) window_.showErrors(s.file.errorText);
}

bool FileCommands::save(SaveKind kind) {
  EditorState& s = window_.state();
  std::string target = s.file.path;
  if (kind != SaveKind::Save) {
    if (s.file.path.empty()) s.file.path = "untitled.tdb";
    std::string chosen =
        window_.dialogs().fileDialog(true, &window_, s.settings.dialogPath, s.file.path, kTdbFilter);
    if (chosen.empty()) return false;
    const std::string name = fileNamePart(chosen);
    if (!containsNoCase(name, ".tdb")) {
      if (name.find('.') != std::string::npos) {
        window_.prompter().message(kNotTdb);
        return false;
      }
      chosen += ".tdb";
    }
    if (chosen.size() > 3 && fileExists(chosen) &&
        window_.prompter().ask(kReplace, Buttons::YesNoCancel) != Answer::Yes) {
      return false;
    }
    target = chosen;
  }
  const bool written = writeProduct(target, kind);
  window_.rebuildTitle();
  return written;
}

bool FileCommands::writeProduct(const std::string& /*target*/, SaveKind /*kind*/) {
  window_.prompter().message("Saving is not available yet.");
  return false;
}

}  // namespace velmor
