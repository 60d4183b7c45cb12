#include "window_fixture.hpp"

#include <QDir>
#include <QFileInfo>
#include <QFile>
#include <fstream>
#include <sstream>

namespace velmor::test {

QtScriptedPrompter& QtScriptedPrompter::expectMessage(std::string text) {
  script_.push_back({std::move(text), false, Answer::Ok});
  return *this;
}

QtScriptedPrompter& QtScriptedPrompter::expectQuestion(std::string text, Answer answer) {
  script_.push_back({std::move(text), true, answer});
  return *this;
}

void QtScriptedPrompter::message(const std::string& text) {
  seen << QString::fromStdString(text);
  if (whileShown) whileShown(text);
  if (script_.empty() || script_.front().question || script_.front().text != text) {
    failures_ << "unexpected message: " + QString::fromStdString(text);
    return;
  }
  script_.pop_front();
}

Answer QtScriptedPrompter::ask(const std::string& text, Buttons) {
  seen << QString::fromStdString(text);
  if (script_.empty() || !script_.front().question || script_.front().text != text) {
    failures_ << "unexpected question: " + QString::fromStdString(text);
    return Answer::Cancel;
  }
  const Answer answer = script_.front().answer;
  script_.pop_front();
  return answer;
}

QStringList QtScriptedPrompter::problems() const {
  QStringList all = failures_;
  for (const Step& step : script_) all << "expected but not shown: " + QString::fromStdString(step.text);
  return all;
}

std::string ScriptedDialogs::fileDialog(bool save, QWidget*, const std::string& startPath, const std::string& fileName,
                                        const FileFilter& filter) {
  calls.push_back({save, startPath, fileName, filter});
  if (answers_.empty()) {
    ++unanswered;
    return "";
  }
  std::string answer = answers_.front();
  answers_.pop_front();
  return answer;
}

WindowFixture::WindowFixture() { qputenv("VELMOR_HOME", home_.path().toUtf8()); }

WindowFixture::~WindowFixture() {
  window_.reset();
  qunsetenv("VELMOR_HOME");
}

std::string WindowFixture::copyFixture(const std::string& relative, const std::string& asName) {
  const QString from = QStringLiteral(VELMOR_TEST_DATA "/") + QString::fromStdString(relative);
  const QString name = asName.empty() ? QFileInfo(from).fileName() : QString::fromStdString(asName);
  const QString to = QDir(work_.path()).filePath(name);
  QFile::remove(to);
  QFile::copy(from, to);
  QFile::setPermissions(to, QFile::ReadOwner | QFile::WriteOwner | QFile::ReadUser | QFile::WriteUser);
  return to.toStdString();
}

std::string WindowFixture::workPath(const std::string& name) const {
  return QDir(work_.path()).filePath(QString::fromStdString(name)).toStdString();
}

std::string WindowFixture::programFolder() const { return home_.path().toStdString(); }

std::string WindowFixture::settingsFile() const { return programFolder() + "/system/velmor.dat"; }

MainWindow& WindowFixture::window() {
  if (!window_) {
    WindowServices services;
    services.prompter = &prompter;
    services.dialogs = &dialogs;
    services.shell = &shell;
    services.install = install;
    services.showErrors = [this](const std::string& text) { errorsShown.push_back(text); };
    window_ = std::make_unique<MainWindow>(services);
  }
  return *window_;
}

MainWindow& WindowFixture::start(const std::string& commandLine) {
  MainWindow& w = window();
  w.startUp(commandLine);
  return w;
}

std::string readText(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream out;
  out << in.rdbuf();
  return out.str();
}

QStringList crlfLines(const std::string& text) {
  QStringList lines = QString::fromStdString(text).split(QStringLiteral("\r\n"));
  // Every line ends in CR LF, so the split leaves one empty piece at the end.
  if (!lines.isEmpty() && lines.back().isEmpty()) lines.pop_back();
  return lines;
}

}  // namespace velmor::test
