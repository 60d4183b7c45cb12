#include "guarded_application.hpp"

#include <QMessageBox>
#include <exception>
#include <iostream>

namespace velmor {

GuardedApplication::GuardedApplication(int& argc, char** argv) : QApplication(argc, argv) {}

QString GuardedApplication::failureText(const QString& what) {
  return QStringLiteral("The action was stopped by an unexpected error:\n\n") + what +
         QStringLiteral("\n\nFiles are replaced in one step, so a file on disk is either as it was or fully saved.");
}

bool GuardedApplication::notify(QObject* receiver, QEvent* event) {
  try {
    return QApplication::notify(receiver, event);
  } catch (const std::exception& e) {
    reportFailure(QString::fromLocal8Bit(e.what()));
  } catch (...) {
    reportFailure(QStringLiteral("unknown error"));
  }
  return false;
}

void GuardedApplication::reportFailure(const QString& what) {
  // The message box runs events of its own; a second failure while it is
  // up goes to the terminal rather than stacking boxes.
  if (reporting_) {
    std::cerr << "velmor: " << what.toStdString() << "\n";
    return;
  }
  reporting_ = true;
  if (report) {
    report(what);
  } else {
    QMessageBox::critical(activeWindow(), applicationName().isEmpty() ? QStringLiteral("Velmor") : applicationName(),
                          failureText(what));
  }
  reporting_ = false;
}

}  // namespace velmor
