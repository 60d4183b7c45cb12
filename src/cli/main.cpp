// velmor-cli: the product file editor's reading, checking and editing from
// the command line, on the same core as the window.
#include <exception>
#include <iostream>
#include <string>
#include <vector>

#include "commands.hpp"
#include "core/editor/window_title.hpp"
#include "core/platform/system_facts.hpp"

int main(int argc, char** argv) {
  // Our output is UTF-8, and its line ends are ours to choose (report --crlf).
  velmor::prepareTextOutput();
  // The arguments as UTF-8 on every system (Windows hands argv over in the
  // ANSI code page, which cannot name every file).
  std::vector<std::string> arguments = velmor::commandLineArguments(argc, argv);
  arguments.insert(arguments.begin(), argc > 0 ? argv[0] : "velmor-cli");
  std::vector<char*> utf8Argv;
  for (std::string& argument : arguments) utf8Argv.push_back(argument.data());
  utf8Argv.push_back(nullptr);

  CLI::App app{
      "Velmor command-line tool: read, check and edit Garmin map product files (.tdb), scan IMG tiles, write MDX indexes, install products into MapSource/BaseCamp",
      "velmor-cli"};
  app.set_version_flag("--version", std::string("velmor-cli ") + velmor::kProgramVersion);
  app.require_subcommand(1);
  // "/name" is a path, never an option, on every system (before the
  // sub-commands are added, which take the setting from here).
  app.allow_windows_style_options(false);
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
  velmor::cli::addGmapCommand(app, exitCode);
  velmor::cli::addTypCommand(app, exitCode);
  velmor::cli::addCheckCommand(app, exitCode);
  try {
    app.parse(static_cast<int>(arguments.size()), utf8Argv.data());
  } catch (const CLI::CallForHelp& e) {
    return app.exit(e);
  } catch (const CLI::CallForAllHelp& e) {
    return app.exit(e);
  } catch (const CLI::CallForVersion& e) {
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
