#include "program_launch.hpp"

#include "../common/no_association.hpp"
#include "../common/number_text.hpp"
#include "../common/path_text.hpp"
#include "../common/prompter.hpp"
#include "../platform/file_kind.hpp"
#include "../platform/windows_host.hpp"
#include "tile_cache.hpp"

namespace velmor {

MapProgram defaultMapProgram(const Settings& settings) {
  switch (settings.defaultProgram) {
    case 1: return MapProgram::BaseCamp;
    case 2: return MapProgram::Qlandkarte;
    default: return MapProgram::MapSource;
  }
}

std::string& programPath(Settings& settings, MapProgram program) {
  switch (program) {
    case MapProgram::BaseCamp: return settings.baseCampPath;
    case MapProgram::Qlandkarte: return settings.qlandkartePath;
    case MapProgram::MapSource: break;
  }
  return settings.mapSourcePath;
}

const std::string& programPath(const Settings& settings, MapProgram program) {
  return programPath(const_cast<Settings&>(settings), program);
}

ProcessRequest programStart(const std::string& executable, const ProgramLocations& locations) {
  ProcessRequest request;
  request.workingFolder = folderOf(executable);
  if (runsThroughWine(executable)) {
    // Wine takes the program's Unix path; the prefix decides which Windows
    // (registry, AppData, installed maps) it runs in.
    request.program = "wine";
    request.arguments = {executable};
    const std::string prefix = locations.winePrefixFor(executable);
    if (!prefix.empty()) request.environment.emplace_back("WINEPREFIX", prefix);
    return request;
  }
  request.program = executable;
  return request;
}

LaunchOutcome launchDefaultProgram(const LaunchRequest& request, Prompter& prompter, ProcessLauncher& processes) {
  if (request.unsavedChanges && prompter.ask(kChangesNotSaved, Buttons::YesNo) != Answer::Yes)
    return LaunchOutcome::NotConfirmed;
  const MapProgram program = defaultMapProgram(request.settings);
  const std::string executable(trimBlanks(programPath(request.settings, program)));
  if (executable.empty() || !isRegularFile(executable)) {
    prompter.message(kLocateProgram);
    return LaunchOutcome::NotLocated;
  }
  std::string cache;
  switch (program) {
    case MapProgram::MapSource: cache = request.locations.mapSourceTileCache(); break;
    case MapProgram::BaseCamp: cache = request.locations.baseCampTileCache(); break;
    case MapProgram::Qlandkarte:  // keeps no cache of ours to clear
      break;
  }
  const CacheClearing cleared = clearTileCache(cache, request.settings.clearCache, request.locations.cacheHome());
  // The program starts all the same: an old cache costs a look, not files.
  if (!cleared.skipped.empty()) prompter.message(cleared.skipped);
  const ProcessEnd start = processes.startDetached(programStart(executable, request.locations));
  switch (start.start) {
    case StartStatus::Started: return LaunchOutcome::Started;
    case StartStatus::NotFound:
    case StartStatus::NotExecutable: reportNoAssociation("exe", prompter); return LaunchOutcome::NoAssociation;
    case StartStatus::Failed: break;
  }
  prompter.message("Cannot start " + executable + ": " + start.error);
  return LaunchOutcome::Failed;
}

}  // namespace velmor
