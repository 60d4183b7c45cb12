#include "file_commands.hpp"

#include "core/editor/leave_rules.hpp"
#include "core/common/prompter.hpp"
#include "core/common/bytes.hpp"
#include "core/product/damage_verdict.hpp"
#include "core/product/loader.hpp"
#include "core/product/save.hpp"
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

class FileCommands::Working {
 public:
  explicit Working(FileCommands& commands) : commands_(commands) { ++commands_.working_; }
  ~Working() { --commands_.working_; }
  Working(const Working&) = delete;
  Working& operator=(const Working&) = delete;

 private:
  FileCommands& commands_;
};

FileCommands::FileCommands(MainWindow& window) : window_(window) {}

Answer FileCommands::saveChangesCheck() {
  return askSaveChanges(window_.state().file, window_.prompter(),
                        [this](const std::string&) { return save(SaveKind::Save); });
}

bool FileCommands::closeRule() {
  return velmor::closeRule(window_.state().file, window_.prompter(),
                           [this](const std::string&) { return save(SaveKind::Save); });
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
  const std::string caption = s.recent.captions[static_cast<std::size_t>(entry)];
  if (caption.empty() || caption.find('*') != std::string::npos) return;
  if (!fileExists(caption)) {
    // Said before the question about unsaved changes: nothing will be
    // opened, so the open product stays as it is.
    if (window_.prompter().ask(missingRecentQuestion(caption), Buttons::YesNo) == Answer::Yes) {
      dropRecent(s.recent, entry);
    } else {
      s.recent.enabled[static_cast<std::size_t>(entry)] = false;  // greyed, as the next update would
    }
    window_.refreshFromForm();
    return;
  }
  saveChangesCheck();
  openProductFile(caption, true);
}

void FileCommands::openProductFile(const std::string& path, bool showErrorsWindow) {
  EditorState& s = window_.state();
  Working working(*this);
  openProduct(s.file, s.form, path, window_.prompter(), window_.activity());
  updatmf(s.recent, path, fileExists);
  window_.showLoadedFile();
  window_.activity().progress(1);
  // Said once, as the file opens: an edit and a save would otherwise build
  // a fresh checksum over a broken file and hide what happened to it.
  if (const DamageVerdict verdict = judgeProductFile(s.file)) window_.prompter().message(verdict.text);
  if (showErrorsWindow && !s.file.errorText.empty()) window_.showErrors(s.file.errorText);
}

bool FileCommands::save(SaveKind kind) {
  EditorState& s = window_.state();
  Working working(*this);
  SaveContext context{s.file, s.form, window_.prompter(), window_.activity(), window_.log(), s.folders.systemFolder};
  SaveOutcome outcome = SaveOutcome::Refused;
  if (kind == SaveKind::Save) {
    outcome = saveToPath(context);
  } else {
    const std::string answer =
        window_.dialogs().fileDialog(true, &window_, s.settings.dialogPath, proposedSaveName(s.file), kTdbFilter);
    if (answer.empty()) return false;
    if (kind == SaveKind::SaveAs) {
      outcome = saveAs(context, answer);
    } else {
      // A copy is another file: the open one still holds the unsaved edits,
      // and the close must still ask about them.
      const bool unsaved = s.file.modified;
      outcome = saveCopy(context, answer);
      if (outcome == SaveOutcome::Saved) s.file.modified = unsaved;
    }
  }
  window_.activity().progress(1);
  // "Save a Copy" leaves the title alone; the others show the saved path.
  if (kind != SaveKind::SaveCopy) window_.rebuildTitle();
  return outcome == SaveOutcome::Saved;
}

}  // namespace velmor
