#pragma once
// The rules of the "Locate Programs" dialog: where each "<<" browse starts
// and which chosen file a row takes. The dialog itself only shows them.
#include <optional>
#include <string>

namespace velmor {

class Prompter;
class ProgramLocations;
struct Settings;

// The first three in MapProgram's order.
enum class ProgramRow { MapSource, BaseCamp, Qlandkarte, MapCompiler };

// The folder a browse for `storedPath` starts in: its text up to the file
// name, without the last separator; `programFolder` when the stored path
// has no folder part.
std::string browseStartFolder(const std::string& storedPath, const std::string& programFolder);

// The QlandkarteGT browse starts at the stored path; when it names no
// existing file, the program-files folder takes its place in the settings
// first (and stays there even if the browse is then cancelled).
std::string qlandkarteBrowseStart(Settings& settings, const ProgramLocations& locations);

// Judges the file chosen in a row's browse dialog; the path the row takes,
// or nullopt when it takes nothing (a message has been shown where there is
// one). The path keeps its letter case: file names here are case-sensitive.
//  MapSource, BaseCamp: an existing file whose name holds ".exe", else
//    "Mapsource not found." / "Basecamp not found.";
//  QlandkarteGT: an existing file without "*"; a file name with an
//    extension other than ".exe" gives "This is not an exe file." (a native
//    program without extension is taken);
//  Map compiler: any existing file (mkgmap has no extension on Linux).
std::optional<std::string> acceptBrowsedProgram(ProgramRow row, const std::string& answer, Prompter& prompter);

// The map compiler's box as "OK" takes it: empty (none set) or an existing
// file. Otherwise the refusal to show; the dialog stays open so that the
// path can be put right before a basemap run finds it missing.
std::optional<std::string> refuseCompilerPath(const std::string& typed);

// Start-up: when `baseCampPath` names no file, BaseCamp's usual place in the
// program-files folder of 32-bit programs is tried and taken when it is there.
void findBaseCamp(Settings& settings, const ProgramLocations& locations, bool is64BitWindows);

inline constexpr const char* kMapSourceNotFound = "Mapsource not found.";
inline constexpr const char* kBaseCampNotFound = "Basecamp not found.";
inline constexpr const char* kNotAnExeFile = "This is not an exe file.";

}  // namespace velmor
