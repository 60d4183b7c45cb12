#pragma once
// The Windows the map programs run in: on Linux a Wine prefix, on Windows
// the system itself. Everything that differs between the two lives behind
// these calls, so the layers above name no operating system.
#include <memory>
#include <optional>
#include <string>

#include "registry_importer.hpp"
#include "registry_reader.hpp"

namespace velmor {

// The separator of this system's own paths.
#ifdef _WIN32
inline constexpr char kLocalSeparator = '\\';
#else
inline constexpr char kLocalSeparator = '/';
#endif

// `path` with this system's separators: '/' becomes '\' on Windows; unchanged elsewhere.
std::string withLocalSeparators(std::string path);

class WindowsHost {
 public:
  virtual ~WindowsHost() = default;
  virtual bool is64Bit() = 0;
  // The registry as a 32-bit MapSource sees it, as it is now; nullptr when
  // there is none to read.
  virtual RegistryReader* registry() = 0;
  // How that Windows names a local folder; nullopt when it cannot reach it.
  virtual std::optional<std::string> windowsFolder(const std::string& localFolder) = 0;
  // The local path of a Windows path; nullopt when it cannot be reached.
  virtual std::optional<std::string> localPath(const std::string& windowsPath) = 0;
  // The local folder of "c:\programdata\garmin\maps"; nullopt when there is none.
  virtual std::optional<std::string> mapsFolder() = 0;
  virtual RegistryImporter& importer() = 0;
  // Where the registry and the maps folder were looked for, for a list of
  // installed products that came out empty.
  virtual std::string whereLooked() = 0;
  // The registry as it is this moment, for reading back what an import
  // just did (a Wine prefix writes its registry file only later).
  virtual RegistryReader* liveRegistry() { return registry(); }
  // Why MapSource and BaseCamp cannot start here, or nullopt.
  virtual std::optional<std::string> mapProgramsProblem() { return std::nullopt; }
};

// This machine's: on Linux the Wine prefix `winePrefix` (else $WINEPREFIX,
// else ~/.wine).
std::unique_ptr<WindowsHost> systemWindowsHost(const std::string& winePrefix);

// The folder of the Wine prefix the map programs run in (`winePrefix`, else
// $WINEPREFIX, else ~/.wine); "" on Windows.
std::string hostWinePrefixFolder(const std::string& winePrefix);

// The Windows folders of a prefix, "" for each that is unknown.
struct HostFolders {
  std::string appData;
  std::string programFiles;
  std::string programFilesX86;
};
// The folders of the Wine prefix `prefixFolder`, when it exists (Wine's
// defaults for a missing one would name folders nobody made); all "" on
// Windows, whose environment names them.
HostFolders winePrefixFolders(const std::string& prefixFolder);

// The local path of a Windows path: on Linux mapped into the prefix
// `prefixFolder`, an absolute Unix path taken as it is; on Windows a drive
// or network path as it is. "" when it cannot be reached; never a folder
// relative to wherever the program was started.
std::string hostLocalPath(const std::string& windowsPath, const std::string& prefixFolder);

// The Wine prefix a Windows program should run in: the one whose drive_c
// holds it (a prefix has a system registry), else `fallback`. "" on Windows.
std::string winePrefixHolding(const std::string& executable, const std::string& fallback);

// How the Wine prefix `prefixFolder` names a local path; nullopt when it
// cannot reach it, and always on Windows.
std::optional<std::string> wineWindowsPath(const std::string& localPath, const std::string& prefixFolder);

// Whether `program` is started through wine here: a ".exe" on Linux, never on Windows.
bool runsThroughWine(const std::string& program);

}  // namespace velmor
