#pragma once
// The registry file that removes a product family from MapSource and
// BaseCamp: REGEDIT4 that deletes the family's key and all under it, in the
// registry view a 32-bit MapSource reads. Like installing, it is handed to
// the system to import and then read back: the key must be gone.
#include <string>

namespace velmor {

class Activity;
class FileServices;
class Prompter;
class RegistryImporter;
class RegistryReader;

// "REGEDIT4", a blank line and "[-HKEY_LOCAL_MACHINE\...\Families\NAME]".
std::string uninstallRegistryText(const std::string& familyKeyName, bool is64BitWindows);

struct UninstallRequest {
  std::string familyKeyName;
  bool is64BitWindows = false;
  std::string outputPath;  // where the registry file goes
};

struct UninstallResult {
  bool written = false;
  bool importStarted = false;
  // Read back after the import: the family's key is gone.
  bool removed = false;
  std::string registryFile;
};

// Writes the file (refused for a name that cannot be a key) and, with an
// importer, imports it and reads back. Every step's failure is shown.
UninstallResult remove_mapsourcefamily(const UninstallRequest& request, Prompter& prompter, FileServices& files,
                                       RegistryImporter* importer, Activity& activity, RegistryReader* readBack);

}  // namespace velmor
