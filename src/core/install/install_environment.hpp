#pragma once
// What installing and listing map products needs of the machine: the
// registry MapSource reads, how its Windows names our folders, where
// BaseCamp keeps installed maps, and who imports a registry file. On Linux
// all of it is the Wine prefix the map programs run in; on Windows it is
// Windows itself.
#include <memory>
#include <optional>
#include <string>

#include "../platform/registry_importer.hpp"
#include "../platform/registry_reader.hpp"

namespace velmor {

class InstallEnvironment {
 public:
  virtual ~InstallEnvironment() = default;
  // `is64BitWindows`: the registry file then writes under Wow6432Node.
  virtual bool is64BitWindows() = 0;
  // The registry as a 32-bit MapSource sees it, as it is now; nullptr when
  // there is none to read.
  virtual RegistryReader* registry() = 0;
  // How a local folder is written into a registry file ("Z:\home\me\maps");
  // nullopt when that Windows cannot reach it.
  virtual std::optional<std::string> windowsFolder(const std::string& localFolder) = 0;
  // The local file that a product path read from the registry names;
  // nullopt when there is no such file here.
  virtual std::optional<std::string> localFile(const std::string& windowsPath) = 0;
  // The local folder of "c:\programdata\garmin\maps"; nullopt when there is none.
  virtual std::optional<std::string> mapsFolder() = 0;
  // Where that folder is or would be, for installing into it (made when
  // missing); nullopt when this machine has no place for it.
  virtual std::optional<std::string> mapsFolderPath() { return mapsFolder(); }
  virtual RegistryImporter& importer() = 0;
  // Where the registry and the maps folder were looked for, in words, for
  // the map maker who finds no products listed ("" when there is nothing
  // more to say than the registry keys themselves).
  virtual std::string whereLooked() { return ""; }

  // The registry as it is this moment, for reading back what an import
  // just did (a Wine prefix writes its registry file only later).
  virtual RegistryReader* liveRegistry() { return registry(); }
  // The local folder a folder path read from the registry names; nullopt
  // when there is no such folder here.
  virtual std::optional<std::string> localFolder(const std::string& windowsPath) {
    (void)windowsPath;
    return std::nullopt;
  }
  // Why MapSource and BaseCamp cannot start here, or nullopt.
  virtual std::optional<std::string> mapProgramsProblem() { return std::nullopt; }
};

// This machine's: on Linux the Wine prefix `winePrefix` (else $WINEPREFIX,
// else ~/.wine).
std::unique_ptr<InstallEnvironment> systemInstallEnvironment(const std::string& winePrefix = "");

}  // namespace velmor
