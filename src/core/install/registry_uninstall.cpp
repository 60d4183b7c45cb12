#include "registry_uninstall.hpp"

#include "../common/error_text.hpp"
#include "../common/prompter.hpp"
#include "../platform/file_services.hpp"
#include "../platform/registry_importer.hpp"
#include "../platform/registry_reader.hpp"
#include "../product/code_page.hpp"
#include "registry_file.hpp"

namespace velmor {

std::string uninstallRegistryText(const std::string& familyKeyName, bool is64BitWindows) {
  // The prefix opens the key with "["; a "-" after it deletes the key.
  return std::string("REGEDIT4") + kCrLf + kCrLf + "[-" + registryKeyPrefix(is64BitWindows).substr(1) + familyKeyName +
         "]" + kCrLf + kCrLf;
}

UninstallResult remove_mapsourcefamily(const UninstallRequest& request, Prompter& prompter, FileServices& files,
                                       RegistryImporter* importer, Activity& activity, RegistryReader* readBack) {
  UninstallResult result;
  if (auto refusal = familyKeyNameRefusal(request.familyKeyName)) {
    prompter.message(*refusal);
    return result;
  }
  const std::string text = uninstallRegistryText(request.familyKeyName, request.is64BitWindows);
  const CodePage& page = CodePage::get(1252);
  if (auto bad = page.firstUnencodable(text)) {
    prompter.message("A registry file is written in code page 1252, which cannot write \"" + *bad +
                     "\". No registry file was written.");
    return result;
  }
  result.registryFile = request.outputPath;
  if (auto error = files.atomicReplace(result.registryFile, *page.encode(text))) {
    prompter.message("Cannot write the registry file " + result.registryFile + ":\r\n\r\n" + *error);
    return result;
  }
  result.written = true;
  if (!importer) return result;
  activity.busy(true);
  const ImportResult imported = importer->import(result.registryFile, [&activity] { activity.yieldEvents(); });
  activity.busy(false);
  result.importStarted = imported.status == ImportStatus::Started;
  if (!result.importStarted) {
    prompter.message("The registry file " + result.registryFile + " was written but not imported.\r\n\r\n" +
                     imported.advice);
    return result;
  }
  if (!readBack) return result;
  const std::string key = familyKeyPath(request.familyKeyName);
  result.removed = !readBack->readKey(key).has_value();
  prompter.message(result.removed ? "Removed: the registry no longer holds " + key
                                  : "The removal failed: the importer ended, but the registry still holds " + key);
  return result;
}

}  // namespace velmor
