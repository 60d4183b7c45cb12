#pragma once
// The main window. It owns the editing state and mirrors the form: a widget
// edit calls the core rule, the rule changes the form, the window refreshes
// from the form. The parts of the window live in their own classes.
#include <QMainWindow>
#include <QTimer>
#include <functional>
#include <memory>
#include <string>

#include "core/common/log_sink.hpp"
#include "context/command_context.hpp"

class QPlainTextEdit;
class QProgressBar;
class QPushButton;

namespace velmor {

class Activity;
class FileCommands;
class FileDialogProvider;
class FileLog;
class FormBinding;
class HeaderRow;
class ImgDataPanel;
class InstallEnvironment;
class MainMenus;
class MapArea;
class MapsourceCommands;
class MoreOptionsPanel;
class ProgressActivity;
class ProcessLauncher;
class ProgramCommands;
class Prompter;
class ReplotDebouncer;
class Shell;
class TileController;

// What the window asks the outside world. Tests replace every part; a part
// left empty gets the desktop's own (message boxes, Qt's file dialogs ...).
struct WindowServices {
  Prompter* prompter = nullptr;
  FileDialogProvider* dialogs = nullptr;
  Shell* shell = nullptr;
  // The registry, maps folder and importer of MapSource's Windows (the Wine
  // prefix on Linux).
  InstallEnvironment* install = nullptr;
  // Starts the map compiler and the map programs; the system's when null.
  ProcessLauncher* processes = nullptr;
  std::function<void(const std::string& errorText)> showErrors;
};

class MainWindow : public QMainWindow {
  Q_OBJECT
 public:
  explicit MainWindow(WindowServices services = {}, QWidget* parent = nullptr);
  ~MainWindow() override;

  // Start-up: folders, settings, lists, log line, the command-line file,
  // the panels as they were left; then shows the window.
  void startUp(const std::string& commandLine);

  EditorState& state() { return state_; }
  const EditorState& state() const { return state_; }
  Prompter& prompter() { return *prompter_; }
  FileDialogProvider& dialogs() { return *dialogs_; }
  Shell& shell() { return *shell_; }
  InstallEnvironment& installEnvironment();
  ProcessLauncher& processes() { return *processes_; }
  Activity& activity();
  LogSink& log();

  HeaderRow* headerRow() const { return header_; }
  MoreOptionsPanel* moreOptionsPanel() const { return moreOptions_; }
  ImgDataPanel* imgDataPanel() const { return imgData_; }
  MapArea* mapArea() const { return mapArea_; }
  MainMenus* menus() const { return menus_; }
  TileController* tiles() const { return tiles_; }
  QPlainTextEdit* reportBox() const { return report_; }
  QProgressBar* progressBar() const { return progress_; }
  FileCommands& fileCommands() { return *fileCommands_; }
  ProgramCommands& programCommands() { return *programs_; }
  // Tools, "Create Mapsource Files" and the "Create TDB Files" button.
  MapsourceCommands& mapsourceCommands() { return *mapsource_; }
  QPushButton* createFilesButton() const { return createFiles_; }
  ReplotDebouncer& replotDebouncer() { return *replot_; }
  bool versionRevertPending() const { return versionRevert_.isActive(); }

  // Shows the form in every control, the title and the recent files.
  void refreshFromForm();
  // After a load: the controls, the tile list, the plot and the report.
  void showLoadedFile();
  void rebuildTitle();
  void refreshp1();
  // Puts the version box back to the last accepted version 100 ms from now.
  void startVersionRevert();

  void openMoreOptions();
  void closeMoreOptions();
  void showErrors(const std::string& errorText);
  // The plot and its block sample take blockColour and blockBorderColour.
  void applyBlockColours();

  // What a command of the menus gets of the window.
  CommandContext commandContext();
  // A tool runs an outside program (see ToolRun): the window is not closed under it.
  bool toolRunning() const { return toolRuns_ > 0; }

  // Puts the window's state into the settings and writes the settings file.
  bool writeSettings();

 protected:
  void closeEvent(QCloseEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;

 private:
  void buildLayout();
  // The commands of the other folders, wired to the menus and buttons.
  void connectCommands();
  void connectLogs();
  void keepImgPanelInView();
  void orderTabs();

  EditorState state_;
  std::unique_ptr<Prompter> ownPrompter_;
  std::unique_ptr<FileDialogProvider> ownDialogs_;
  std::unique_ptr<Shell> ownShell_;
  Prompter* prompter_ = nullptr;
  FileDialogProvider* dialogs_ = nullptr;
  Shell* shell_ = nullptr;
  std::unique_ptr<InstallEnvironment> ownInstall_;
  InstallEnvironment* install_ = nullptr;
  ProcessLauncher* processes_ = nullptr;
  std::function<void(const std::string&)> errorsPresenter_;
  std::unique_ptr<ProgressActivity> activity_;
  std::unique_ptr<FileLog> fileLog_;
  SilentLog silentLog_;

  HeaderRow* header_ = nullptr;
  MoreOptionsPanel* moreOptions_ = nullptr;
  ImgDataPanel* imgData_ = nullptr;
  MapArea* mapArea_ = nullptr;
  MainMenus* menus_ = nullptr;
  QPlainTextEdit* report_ = nullptr;
  QProgressBar* progress_ = nullptr;
  std::unique_ptr<FileCommands> fileCommands_;
  MapsourceCommands* mapsource_ = nullptr;
  QPushButton* createFiles_ = nullptr;
  std::unique_ptr<FormBinding> binding_;
  ReplotDebouncer* replot_ = nullptr;
  TileController* tiles_ = nullptr;
  ProgramCommands* programs_ = nullptr;
  QTimer versionRevert_;
  int toolRuns_ = 0;
  bool closing_ = false;
};

}  // namespace velmor
