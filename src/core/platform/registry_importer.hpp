#pragma once
// Handing a registry file (REGEDIT4) to the system to be merged into the
// registry: "wine regedit FILE" in the Wine prefix on Linux, the shell's
// "Open" on Windows. The program never writes the registry itself.
#include <functional>
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
  // Returns when the importer has ended, where it can be waited for (wine
  // regedit); `whileWaiting` runs between looks at it, so a window repaints.
  virtual ImportResult import(const std::string& registryFile, const std::function<void()>& whileWaiting) = 0;
};

#ifdef _WIN32
// The shell's "Open" verb on the file: the registry editor asks and merges it.
std::unique_ptr<RegistryImporter> shellRegistryImporter();
#else
// "wine regedit FILE" with WINEPREFIX set to the prefix, started with an
// argument list. The file is named by its Windows path in the prefix; a
// regedit that fails is reported with its exit code.
std::unique_ptr<RegistryImporter> wineRegistryImporter(const WinePrefix& prefix);
#endif

}  // namespace velmor
