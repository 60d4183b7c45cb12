// velmor-cli: the product file editor's reading, checking and editing from
// the command line, on the same core as the window.
#include <exception>
#include <iostream>

#include "commands.hpp"

int main(int argc, char** argv) {
  CLI::App app{"Velmor command-line tool: read, check and edit Garmin map product files (.tdb), scan IMG tiles, write MDX indexes, install products into MapSource/BaseCamp", "velmor-cli"};
  app.require_subcommand(1);
  int exitCode = 0;
  velmor::cli::addReportCommand(app, exitCode);
  velmor::cli::addShowCommand(app, exitCode);
  velmor::cli::addVerifyCommand(app, exitCode);
  velmor::cli::addEditCommand(app, exitCode);
  velmor::cli::addRegCommand(app, exitCode);
  velmor::cli::addInstalledCommand(app, exitCode);
  velmor::cli::addImgCommand(app, exitCode);
  velmor::cli::addBoundsCommand(app, exitCode);
  velmor::cli::addMdxCommand(app, exitCode);
  velmor::cli::addBasemapCommands(app, exitCode);
  try {
    app.parse(argc, argv);
  } catch (const CLI::CallForHelp& e) {
    return app.exit(e);
  } catch (const CLI::CallForAllHelp& e) {
    return app.exit(e);
  } catch (const CLI::ParseError& e) {
    app.exit(e);
    return 2;
  } catch (const std::exception& e) {
    // Whatever went wrong inside a command (memory, a file system error):
    // a message and a failure, never an abort.
    std::cerr << "velmor-cli: " << e.what() << "\n";
    return 1;
  } catch (...) {
    std::cerr << "velmor-cli: unexpected error\n";
    return 1;
  }
  return exitCode;
}
