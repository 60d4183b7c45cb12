#pragma once
// The Wine prefix in which map makers run MapSource and BaseCamp on Linux:
// the Windows those programs see. Its registry lives in system.reg, its
// drives are the links in dosdevices ("c:" to drive_c, "z:" to "/").
#include <optional>
#include <string>

namespace velmor {

class WinePrefix {
 public:
  explicit WinePrefix(std::string folder);
  // `explicitFolder` when given (--wine-prefix), else $WINEPREFIX, else ~/.wine.
  static WinePrefix locate(const std::string& explicitFolder = "");

  const std::string& folder() const { return folder_; }
  std::string systemRegistryPath() const;
  std::string userRegistryPath() const;

  // The folder is a Wine prefix: it holds the registry file system.reg.
  bool exists() const;
  // A 64-bit prefix made by a Wine without its 32-bit half: its
  // drive_c/windows/syswow64 is missing or empty, and no 32-bit program
  // (MapSource and BaseCamp are) can start in it.
  bool lacks32BitWine() const;

  // A 64-bit prefix ("#arch=win64" in system.reg): a 32-bit MapSource finds
  // its keys under Software\Wow6432Node there.
  bool is64Bit() const;

  // The Windows path of a local file or folder as Wine gives it: under a
  // drive's folder (drive_c) that drive, elsewhere the drive whose link
  // leads to the deepest folder above it ("Z:\" for "/"). nullopt when no
  // drive leads there.
  std::optional<std::string> windowsPath(const std::string& localPath) const;
  // The local path of a Windows path ("C:\Maps\x.tdb" or "c:/maps/x.tdb"):
  // each part is looked up without regard to case, as Windows would; parts
  // that do not exist are kept as written. nullopt for a path without a
  // drive letter or a drive the prefix does not have.
  std::optional<std::string> localPath(const std::string& windowsPath) const;

  // The user's AppData folder and the two program folders as Windows paths,
  // from the prefix's registry (Wine's defaults when it does not say).
  std::string appDataFolder() const;
  std::string programFilesFolder() const;
  std::string programFilesX86Folder() const;  // "" in a 32-bit prefix

  // Where BaseCamp keeps installed maps, "c:\programdata\garmin\maps", as a
  // local folder; nullopt when the prefix has no such folder.
  std::optional<std::string> mapsFolder() const;

 private:
  std::optional<std::string> driveRoot(char letter) const;
  std::string folder_;
};

// What to tell the user when lacks32BitWine().
inline constexpr const char* kNo32BitWine =
    "MapSource and BaseCamp are 32-bit programs and cannot start in this Wine prefix: it is 64-bit and its "
    "drive_c/windows/syswow64 is empty (Wine was installed without its 32-bit part). Install 32-bit Wine "
    "(Debian: the package wine32, after \"dpkg --add-architecture i386\") and make the prefix again.";

inline constexpr const char* kGarminMapsFolder = "c:\\programdata\\garmin\\maps";

// Whether a text is a Windows path with a drive letter ("C:\Maps", "c:").
inline bool isWindowsDrivePath(const std::string& path) {
  const char letter = path.empty() ? '\0' : path[0];
  const bool isLetter = (letter >= 'a' && letter <= 'z') || (letter >= 'A' && letter <= 'Z');
  return isLetter && path.size() >= 2 && path[1] == ':' && (path.size() == 2 || path[2] == '\\' || path[2] == '/');
}

}  // namespace velmor
