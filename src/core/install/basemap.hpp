#pragma once
// "Create Basemap": the preview map source compiled by an outside map
// compiler (cgpsmapper, or mkgmap on Linux) into the product's basemap IMG,
// copied onto the file the user chose with a one-time read-only backup.
// Each run works in a folder of its own below the system folder, so that
// two runs at once (the window and a Makefile) never share a map source.
#include <chrono>
#include <cstdint>
#include <functional>
#include <string>

#include "../platform/process_launcher.hpp"
#include "map_source.hpp"

namespace velmor {

class FileServices;
class Prompter;

struct BasemapJob {
  PreviewSource source;
  std::string target;        // the chosen path, kept as chosen
  std::string productPath;   // the open product file, never to be written over
  std::string systemFolder;  // each run's work folder is made here
  std::string compilerPath;  // `mapCompilerPath`; the mkgmap offer may fill it
  std::string winePrefix;    // where a Windows compiler (".exe") runs on Linux
};

struct BasemapServices {
  Prompter& prompter;
  FileServices& files;
  ProcessLauncher& processes;
  // Runs between looks at the running compiler: the window repaints there.
  std::function<void()> betweenPolls{};
  // Told when the compiler starts (true) and when it has ended (false): the
  // window shows the busy pointer meanwhile.
  std::function<void(bool running)> compilerRunning{};
  // The mkgmap offered when no compiler is set; "" when there is none.
  std::function<std::string()> findMkgmap = [] { return findOnPath("mkgmap"); };
  std::string* errorText = nullptr;
  // Asked while the compiler runs: true stops it (the window's "Cancel",
  // an interrupted command line) and nothing is replaced.
  std::function<bool()> cancelled{};
  // A compiler that runs longer is stopped and nothing is replaced.
  std::chrono::milliseconds compilerTimeout = std::chrono::hours(1);
};

enum class BasemapStatus {
  Stopped,        // refused, declined or failed before anything was replaced; a message said why
  NotSuccessful,  // the compiler left no map
  Created,        // the target holds the new basemap
};

struct BasemapOutcome {
  BasemapStatus status = BasemapStatus::Stopped;
  // The user took the mkgmap found on PATH: `job.compilerPath` names it and
  // belongs in `mapCompilerPath`.
  bool compilerChosen = false;
  // The end of what the compiler wrote to its error output (its warnings
  // when it succeeded), for a command line to pass on.
  std::string compilerErrors;
};

// The whole command, every message through `services.prompter`.
BasemapOutcome create_basemap(BasemapJob& job, BasemapServices& services);

enum class CompilerKind { Cgpsmapper, Mkgmap };
// mkgmap when the program's file name holds "mkgmap" (any case).
CompilerKind compilerKind(const std::string& compilerPath);

// How `compiler` (an absolute path) is run on workFolder/pv.mp, as an argument list:
//  cgpsmapper: COMPILER WORK/pv.mp (a Windows cgpsmapper.exe through wine on Linux);
//  mkgmap: COMPILER --output-dir=WORK --mapname=NNNNNNNN --no-tdbfile
//          --code-page=1252 --lower-case pv.mp (a mkgmap.jar through java -jar),
// both started in the work folder, in a process group of their own, their
// error output kept in WORK/compiler.err.
ProcessRequest compilerRequest(const std::string& compiler, const std::string& winePrefix, std::uint32_t mapNumber,
                               const std::string& workFolder);

// The compiler the user named, as the absolute path that is both checked
// and run: a relative path against our current folder, a bare name there or
// else on PATH. "" when there is no such file.
std::string resolveCompiler(const std::string& compilerPath);

// mkgmap's name of the map: the map number in 8 decimal digits.
std::string mkgmapMapName(std::uint32_t mapNumber);

// The target without ".img" followed by "_bak.img".
std::string basemapBackupName(const std::string& target);

inline constexpr const char* kNoDataLoaded = "No Data.";
inline constexpr const char* kCannotLocateCompiler = "Cannot locate cgpsmapper. Check Settings.";
inline constexpr const char* kNewBasemapCreated = "New basemap created";
inline constexpr const char* kNotSuccessful = "Not successful";
inline constexpr const char* kCloseMapsource = "Close Mapsource and try again";

// The message when the map compiler is not there: the fixed text when none
// is set; otherwise it names the compiler kind actually set (mkgmap is not
// cgpsmapper) and the path that was looked for.
std::string cannotLocateCompilerText(const std::string& compilerPath);

// "File exists" CR LF "Replace TARGET?"
std::string replaceBasemapQuestion(const std::string& target);
// "No map compiler is set. Use mkgmap (PATH)?"
std::string useMkgmapQuestion(const std::string& mkgmap);

}  // namespace velmor
