#pragma once
// "Information": the program's version, a short notice and a link to the
// maker's home page.
#include <QDialog>
#include <string>

class QLabel;
class QPushButton;

namespace velmor {

class LinkButton;
class Prompter;
class Shell;

class AboutBox : public QDialog {
  Q_OBJECT
 public:
  AboutBox(std::string homeAddress, Shell& shell, Prompter& prompter, QWidget* parent = nullptr);

  QLabel* versionLine() const { return version_; }
  LinkButton* homeLink() const { return home_; }
  QPushButton* okButton() const { return ok_; }

 private:
  std::string homeAddress_;
  QLabel* version_ = nullptr;
  LinkButton* home_ = nullptr;
  QPushButton* ok_ = nullptr;
};

// "Version 2.1" and the notice under it.
QString aboutText();

}  // namespace velmor
