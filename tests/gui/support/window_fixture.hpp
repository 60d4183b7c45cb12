#pragma once
// What every window test needs: a Prompter and a file dialog that the test
// answers, a fresh program folder, and a copy of a fixture to edit.
#include <QStringList>
#include <QTemporaryDir>
#include <deque>
#include <functional>
#include <memory>
#include <string>

#include "core/common/prompter.hpp"
#include "core/platform/shell.hpp"
#include "mainwindow/main_window.hpp"
#include "services/file_dialog_provider.hpp"

namespace velmor::test {

// Every message and question must have been announced; anything else is
// recorded as a failure (and questions are answered Cancel).
class QtScriptedPrompter : public Prompter {
 public:
  QtScriptedPrompter& expectMessage(std::string text);
  QtScriptedPrompter& expectQuestion(std::string text, Answer answer);
  void message(const std::string& text) override;
  Answer ask(const std::string& text, Buttons buttons) override;

  // Failures so far plus every expectation that was never met.
  QStringList problems() const;
  QStringList seen;
  // Runs while a message is up, as a user acting behind a message would.
  std::function<void(const std::string&)> whileShown;

 private:
  struct Step {
    std::string text;
    bool question;
    Answer answer;
  };
  std::deque<Step> script_;
  QStringList failures_;
};

struct DialogCall {
  bool save;
  std::string startPath;
  std::string fileName;
  FileFilter filter;
};

class ScriptedDialogs : public FileDialogProvider {
 public:
  void answer(std::string path) { answers_.push_back(std::move(path)); }
  std::string fileDialog(bool save, QWidget* owner, const std::string& startPath, const std::string& fileName,
                         const FileFilter& filter) override;
  std::vector<DialogCall> calls;
  int unanswered = 0;

 private:
  std::deque<std::string> answers_;
};

class RecordingShell : public Shell {
 public:
  ShellResult open(const std::string& target) override {
    opened.push_back(target);
    return result;
  }
  std::vector<std::string> opened;
  ShellResult result = ShellResult::Opened;
};

// A window on a private program folder (VELMOR_HOME) with scripted services.
class WindowFixture {
 public:
  WindowFixture();
  ~WindowFixture();

  // Copies a file of tests/data into the work folder and returns its path.
  std::string copyFixture(const std::string& relative, const std::string& asName = "");
  std::string workPath(const std::string& name) const;
  std::string programFolder() const;
  std::string settingsFile() const;

  MainWindow& window();
  // Creates the window (once) and runs its start-up with the command line.
  MainWindow& start(const std::string& commandLine = "");

  QtScriptedPrompter prompter;
  ScriptedDialogs dialogs;
  RecordingShell shell;
  // MapSource's Windows for the install tools; the machine's own when null.
  InstallEnvironment* install = nullptr;
  std::vector<std::string> errorsShown;

 private:
  QTemporaryDir home_;
  QTemporaryDir work_;
  std::unique_ptr<MainWindow> window_;
};

// The bytes of a file, and the lines of a text file split at CR LF.
std::string readText(const std::string& path);
QStringList crlfLines(const std::string& text);

}  // namespace velmor::test
