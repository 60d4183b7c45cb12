// velmor-cli: the product file editor's reading, checking and editing from
// the command line, on the same core as the window.
#include <iostream>

#include "commands.hpp"

int main(int argc, char** argv) {
  CLI::App app{"Velmor command-line tool: read, check and edit Garmin map product files (.tdb), scan IMG tiles, write MDX indexes", "velmor-cli"};
  app.require_subcommand(1);
  int exitCode = 0;
  velmor::cli::addReportCommand(app, exitCode);
  velmor::cli::addShowCommand(app, exitCode);
  velmor::cli::addVerifyCommand(app, exitCode);
  velmor::cli::addEditCommand(app, exitCode);
  velmor::cli::addImgCommand(app, exitCode);
  velmor::cli::addBoundsCommand(app, exitCode);
  velmor::cli::addMdxCommand(app, exitCode);
  try {
    app.parse(argc, argv);
  } catch (const CLI::CallForHelp& e) {
    return app.exit(e);
  } catch (const CLI::CallForAllHelp& e) {
    return app.exit(e);
  } catch (const CLI::ParseError& e) {
    app.exit(e);
    return 2;
  }
  return exitCode;
}
