#pragma once
// What the program asks of the system it runs on: environment values, its
// own executable, whether a folder takes new files, its arguments, and
// whether Windows is 64-bit. Every text is UTF-8, on Windows too, where the
// narrow C library calls would give the ANSI code page instead.
#include <optional>
#include <string>
#include <vector>

namespace velmor {

// The value of an environment variable (names compare without regard to
// case on Windows: "AppData" finds APPDATA); nullopt when it is not set.
std::optional<std::string> environmentValue(const std::string& name);

// Whether this system's programs end in ".exe": map compilers (cgpsmapper,
// mkgmap's launcher) have no extension elsewhere.
#ifdef _WIN32
inline constexpr bool kProgramsEndInExe = true;
#else
inline constexpr bool kProgramsEndInExe = false;
#endif

// The full path of this program's executable; "" when the system will not say.
std::string executablePath();

// True when a new file can be made in `folder` by this user. On Windows
// this is tried, not read from attributes: a folder under Program Files
// carries no read-only attribute, its access list keeps users out.
bool folderWritable(const std::string& folder);

// The program's arguments after its name, as UTF-8. On Windows they are
// taken from the wide command line, so that a name outside the ANSI code
// page arrives intact; elsewhere they are argv as given.
std::vector<std::string> commandLineArguments(int argc, char** argv);

// Readies the standard output and error for our texts: UTF-8, and line
// ends as we write them. On Windows the console is told the code page and
// the streams go binary (no LF becomes CR LF on the way); elsewhere there
// is nothing to do.
void prepareTextOutput();

// Windows is a 64-bit one (so a 32-bit MapSource has its registry keys
// under Wow6432Node). Windows only; on Linux the Wine prefix tells.
#ifdef _WIN32
bool windowsIs64Bit();
// Whether `process` is a 32-bit program on 64-bit Windows, through
// IsWow64Process found at run time (older Windows lack it: nullopt).
std::optional<bool> isWow64Process(void* process);
// The system's own text for a Windows error code, without its line break.
std::string windowsErrorText(unsigned long code);
#endif

}  // namespace velmor
