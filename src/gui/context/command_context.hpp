#pragma once
// What a window command gets of the window: the editing state, the
// services it asks, and the few things it may ask the window to do. A
// command sees nothing else of the window, so the commands' folders do not
// reach back into the window's.
#include <functional>
#include <string>

#include "editor_state.hpp"

class QWidget;

namespace velmor {

class Activity;
class FileDialogProvider;
class InstallEnvironment;
class ProcessLauncher;
class Prompter;
class Shell;

// While a tool runs an outside program (the map compiler) and lets the
// window repaint, the window is not closed under it: the count says how
// many such runs are under way.
class ToolRun {
 public:
  explicit ToolRun(int& count) : count_(count) { ++count_; }
  ~ToolRun() { --count_; }
  ToolRun(const ToolRun&) = delete;
  ToolRun& operator=(const ToolRun&) = delete;

 private:
  int& count_;
};

struct CommandContext {
  EditorState& state;
  Prompter& prompter;
  FileDialogProvider& dialogs;
  Activity& activity;
  ProcessLauncher& processes;
  Shell& shell;
  // The registry, maps folder and importer of MapSource's Windows; made
  // when first asked for.
  std::function<InstallEnvironment&()> install;
  // The window, as the parent of the command's dialogs.
  QWidget* parent = nullptr;
  // Opens a product file as File, Open does; `showErrorsWindow` as
  // FileCommands::openProductFile takes it.
  std::function<void(const std::string& path, bool showErrorsWindow)> openProduct;
  // Shows the form in every control of the window (after a command changed it).
  std::function<void()> refreshForm;
  // The plot and its block sample take the settings' block colours.
  std::function<void()> applyBlockColours;
  // The window's count of running tools (see ToolRun).
  int& toolRuns;
};

}  // namespace velmor
