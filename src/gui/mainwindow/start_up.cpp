#include "start_up.hpp"

#include <QSignalBlocker>
#include <cstdlib>
#include <filesystem>
#include <system_error>

#include "core/editor/file_log.hpp"
#include "core/editor/help_menu.hpp"
#include "core/platform/file_services.hpp"
#include "core/platform/utf8_path.hpp"
#include "core/install/install_environment.hpp"
#include "core/install/locate_programs.hpp"
#include "core/install/program_locations.hpp"
#include "core/common/bytes.hpp"
#include "core/settings/recent_files.hpp"
#include "core/settings/settings_file.hpp"
#include "file_commands.hpp"
#include "header_row.hpp"
#include "help/help_commands.hpp"
#include "install/program_commands.hpp"
#include "tiles/img_data_panel.hpp"
#include "main_window.hpp"
#include "services/progress_activity.hpp"
#include "twips.hpp"

namespace velmor {

std::string cleanCommandLine(const std::string& text) {
  std::string out;
  out.reserve(text.size());
  for (char c : text)
    if (c != '\0' && c != '"') out += c;
  return out;
}

std::optional<std::string> commandLineFile(const std::string& text) {
  std::string path = cleanCommandLine(text);
  // A folder is not a product file, though it exists.
  std::error_code ec;
  if (path.empty() || path.find('*') != std::string::npos || !std::filesystem::is_regular_file(pathFromUtf8(path), ec))
    return std::nullopt;
  return path;
}

void MainWindow::startUp(const std::string& commandLine) {
  EditorState& s = state_;
  // The search box's colour is given when the list is built.
  s.folders = programFolders();
  // "What's New" opens the notes from the program folder; a failure here is
  // as silent as every other start-up step.
  installReleaseNotes(s.folders, releaseNotes(), systemFiles());
  s.settings = startupSettings(s.folders, &s.settingsFileFound);
  for (int k = 0; k < kRecentFileCount; ++k) {
    std::string caption = s.settings.recentFiles[static_cast<std::size_t>(k)];
    // An empty entry is stored as a blank.
    if (caption.find_first_not_of(' ') == std::string::npos) caption.clear();
    s.recent.captions[static_cast<std::size_t>(k)] = caption;
  }
  s.form.overrideSettings = s.settings.overrideSettings;
  if (s.settings.imgPanelLeft != 0 || s.settings.imgPanelTop != 0)
    imgData_->move(pixelsFromTwips(s.settings.imgPanelLeft), pixelsFromTwips(s.settings.imgPanelTop));
  fileLog_ = std::make_unique<FileLog>(s.settings, s.folders.logFolder);
  programs_->showDefaultProgram();

  // The Windows MapSource runs in: on Linux the Wine prefix's architecture.
  s.is64BitWindows = installEnvironment().is64BitWindows();
  s.form.codePageText.clear();
  s.file.path.clear();
  rebuildTitle();
  activity_->progress(1);
  // AppData and the program folders: the environment's, else the Wine prefix's.
  s.locations = ProgramLocations(currentLocationFacts());
  findBaseCamp(s.settings, s.locations, s.is64BitWindows);

  // A fresh window edits a 4.11 product: tail of 61 bytes.
  s.form.versionText = "4.11";
  s.form.fallbackVersionText = "4.11";
  s.file.headerTailLength = 61;
  s.form.tailBoxCount = 61;
  s.form.countBoxText = "61";

  if (s.settings.logsEnabled) fileLog_->logStart();
  s.form.mapWindowWidthText = "50%";
  s.form.mapWindowHeightText = "40%";
  refreshFromForm();

  if (auto path = commandLineFile(commandLine)) {
    s.settings.startPath = *path;
    fileCommands_->openProductFile(*path, false);
  }

  imgData_->raise();
  if (s.settings.moreOptionsShown) openMoreOptions();
  if (s.settingsFileFound) {
    show();
  } else {
    showMaximized();
  }
  // Wherever the settings put the panel, it starts inside the window.
  keepImgPanelInView();
  // The first control of the Tab order starts with the focus.
  header_->versionBox()->setFocus(Qt::OtherFocusReason);
  s.mapSourceTileCache = s.locations.mapSourceTileCache();
  s.baseCampTileCache = s.locations.baseCampTileCache();
}

}  // namespace velmor
