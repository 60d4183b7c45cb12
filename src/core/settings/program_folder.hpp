#pragma once
// Where the program keeps its settings, logs and work files.
#include <functional>
#include <optional>
#include <string>

namespace velmor {

struct Folders {
  std::string programFolder;
  std::string systemFolder;  // the settings file, map source and preview files
  std::string tdbFolder;     // created only
  std::string logFolder;     // the log files
};

// What the choice of the program folder depends on, so that it can be
// decided without touching the real environment.
struct ProgramFolderFacts {
  std::optional<std::string> velmorHome;  // VELMOR_HOME
  std::string executableFolder;
  bool executableFolderWritable = false;
  // The executable lies in an installed tree (bin/ beside share/velmor/, as
  // `cmake --install` and the Debian package lay it out): its folder is
  // never the program folder, even for a user who may write there (root).
  bool executableInstalled = false;
  std::optional<std::string> appData;      // APPDATA, on Windows
  std::optional<std::string> xdgDataHome;  // XDG_DATA_HOME
  std::optional<std::string> home;         // HOME
};

// VELMOR_HOME when set and not empty; else the executable's folder when it
// is writable and not an installed tree (a portable install); else the per-user data folder: on
// Windows %APPDATA%\Velmor, elsewhere $XDG_DATA_HOME/velmor, with
// ~/.local/share as the default data folder.
std::string chooseProgramFolder(const ProgramFolderFacts& facts);

// The facts of this process: its environment and its executable.
ProgramFolderFacts currentProgramFolderFacts();

Folders foldersUnder(const std::string& programFolder);

// Creates the system, tdb and logs folders (and the program folder) when
// missing; failures are silent, as start-up goes on without them.
void makeFolders(const Folders& folders);

// The folders of this process, created when missing.
Folders programFolders();

// systemFolder + "/velmor.dat".
std::string settingsPath(const Folders& folders);

}  // namespace velmor
