#pragma once
// "Updates": the current version, the link that starts the check, the
// answer, and "Download Page" once a newer version is known. The check runs
// in the background; the window and this dialog stay usable meanwhile.
#include <QDialog>
#include <string>

class QLabel;
class QPushButton;

namespace velmor {

class LinkButton;
class Prompter;
class Shell;
class VersionPageFetch;

class UpdatesDialog : public QDialog {
  Q_OBJECT
 public:
  UpdatesDialog(std::string versionAddress, std::string downloadAddress, Shell& shell, Prompter& prompter,
                QWidget* parent = nullptr);

  // How long the check waits for the page (10 s unless a test shortens it).
  void setTimeout(int milliseconds);

  QLabel* versionLabel() const { return version_; }
  LinkButton* checkLink() const { return link_; }
  QLabel* resultLabel() const { return result_; }
  QPushButton* downloadButton() const { return download_; }
  QPushButton* closeButton() const { return close_; }
  bool checking() const;

 signals:
  void checkFinished();

 private:
  void startCheck();
  void showAnswer(const QString& text, bool updateAvailable);
  void openDownloadPage();

  std::string versionAddress_;
  std::string downloadAddress_;
  Shell& shell_;
  Prompter& prompter_;
  VersionPageFetch* fetch_ = nullptr;
  QLabel* version_ = nullptr;
  LinkButton* link_ = nullptr;
  QLabel* result_ = nullptr;
  QPushButton* download_ = nullptr;
  QPushButton* close_ = nullptr;
};

}  // namespace velmor
