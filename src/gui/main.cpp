// velmor: the desktop editor for map product files.
#include <cstdio>
#include <string>
#include <vector>

#include "core/editor/window_title.hpp"
#include "core/platform/system_facts.hpp"
#include "mainwindow/main_window.hpp"
#include "services/guarded_application.hpp"

int main(int argc, char* argv[]) {
  // Answered before any window exists, so they work without a display. A
  // product file of either name is still opened as ./--version.
  if (argc == 2) {
    const std::string only = argv[1];
    if (only == "--version") {
      std::printf("velmor %s\n", velmor::kProgramVersion);
      return 0;
    }
    if (only == "--help" || only == "-h") {
      std::printf(
          "Usage: velmor [FILE.tdb]\n"
          "Opens the map product file FILE.tdb (the whole command line is its path) in the editor.\n"
          "  --version  print the version and exit\n"
          "  --help     print this text and exit\n"
          "See velmor(1) and velmor-cli(1).\n");
      return 0;
    }
  }
  velmor::GuardedApplication app(argc, argv);
  QApplication::setApplicationName(QStringLiteral("Velmor"));
  // The program takes the whole command line as one path, so that a path
  // with blanks needs no quotes; UTF-8 on Windows too.
  std::string commandLine;
  const std::vector<std::string> arguments = velmor::commandLineArguments(argc, argv);
  for (std::size_t k = 0; k < arguments.size(); ++k) {
    if (k > 0) commandLine += ' ';
    commandLine += arguments[k];
  }
  velmor::MainWindow window;
  window.startUp(commandLine);
  return QApplication::exec();
}
