#pragma once
// The launch button: MapSource, BaseCamp or QlandkarteGT, whichever is the
// default program, started after its tile cache was emptied.
#include <string>

#include "../platform/process_launcher.hpp"
#include "../settings/settings.hpp"
#include "program_locations.hpp"

namespace velmor {

class Prompter;

enum class MapProgram { MapSource = 0, BaseCamp = 1, Qlandkarte = 2 };

// `defaultProgram` as a program; values out of range count as MapSource.
MapProgram defaultMapProgram(const Settings& settings);
// The stored executable of a program.
std::string& programPath(Settings& settings, MapProgram program);
const std::string& programPath(const Settings& settings, MapProgram program);

// How an executable is started here: on Linux a Windows program (a name
// ending in ".exe") as "wine EXE" in the Wine prefix it belongs to, anything
// else directly; always with an argument list. It starts in its own folder.
ProcessRequest programStart(const std::string& executable, const ProgramLocations& locations);

enum class LaunchOutcome {
  NotConfirmed,  // unsaved changes and the user did not go on
  NotLocated,    // "Please locate program in Preferences."
  Started,
  NoAssociation,  // nothing here can start it (no wine for a Windows program)
  Failed,         // it could not be started for another reason, shown with its text
};

struct LaunchRequest {
  bool unsavedChanges = false;
  const Settings& settings;
  const ProgramLocations& locations;
};

// The launch button's steps: the unsaved-changes question, the executable
// and tile cache of `defaultProgram`, the cache emptied (`clearTileCache`),
// then the start. Every message goes through `prompter`.
LaunchOutcome launchDefaultProgram(const LaunchRequest& request, Prompter& prompter, ProcessLauncher& processes);

inline constexpr const char* kChangesNotSaved = "Changes have not been saved. Continue?";
inline constexpr const char* kLocateProgram = "Please locate program in Preferences.";

}  // namespace velmor
