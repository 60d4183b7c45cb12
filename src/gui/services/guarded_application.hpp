#pragma once
// The application object of the desktop program. Every click, key and timer
// reaches the window through notify(); an exception that escapes an action
// is caught there and shown in a message box, and the window goes on
// instead of ending with the user's unsaved work.
#include <QApplication>
#include <QString>
#include <functional>

namespace velmor {

class GuardedApplication : public QApplication {
 public:
  GuardedApplication(int& argc, char** argv);

  bool notify(QObject* receiver, QEvent* event) override;

  // Shows the text of a failure; a message box unless a test puts its own here.
  std::function<void(const QString&)> report;

  static QString failureText(const QString& what);

 private:
  void reportFailure(const QString& what);
  bool reporting_ = false;
};

}  // namespace velmor
