#pragma once
// Handing a registry file (REGEDIT4) to the system to be merged into the
// registry: "wine regedit FILE" in the Wine prefix on Linux, the shell's
// "Open" on Windows. The program never writes the registry itself.
#include <memory>
#include <string>

namespace velmor {

class WinePrefix;

enum class ImportStatus {
  Started,     // the importer runs (or ran) on the file
  NoImporter,  // nothing here can import it (no wine, no association)
  Failed,      // the importer could not be started
};

struct ImportResult {
  ImportStatus status = ImportStatus::Failed;
  // For NoImporter and Failed: what went wrong and how the user can import
  // the file by hand.
  std::string advice;
};

class RegistryImporter {
 public:
  virtual ~RegistryImporter() = default;
  virtual ImportResult import(const std::string& registryFile) = 0;
};

#ifdef _WIN32
// The shell's "Open" verb on the file: the registry editor asks and merges it.
std::unique_ptr<RegistryImporter> shellRegistryImporter();
#else
// "wine regedit FILE" with WINEPREFIX set to the prefix, started with an
// argument list. The file is named by its Windows path in the prefix. With
// `waitForEnd` the call returns when regedit has ended (the command-line
// tool); otherwise at once, while regedit goes on (the window).
std::unique_ptr<RegistryImporter> wineRegistryImporter(const WinePrefix& prefix, bool waitForEnd);
#endif

}  // namespace velmor
