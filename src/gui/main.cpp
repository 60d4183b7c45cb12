// velmor: the desktop editor for map product files.
#include <string>

#include "mainwindow/main_window.hpp"
#include "services/guarded_application.hpp"

int main(int argc, char* argv[]) {
  velmor::GuardedApplication app(argc, argv);
  QApplication::setApplicationName(QStringLiteral("Velmor"));
  // The program takes the whole command line as one path, so that a path
  // with blanks needs no quotes.
  std::string commandLine;
  for (int k = 1; k < argc; ++k) {
    if (k > 1) commandLine += ' ';
    commandLine += argv[k];
  }
  velmor::MainWindow window;
  window.startUp(commandLine);
  return QApplication::exec();
}
