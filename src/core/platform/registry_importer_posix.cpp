// "wine regedit FILE" in a Wine prefix. No shell is involved: the file's
// path is one argument of the argument list.
#ifndef _WIN32
#include <unistd.h>

#include "process_launcher.hpp"
#include "registry_importer.hpp"
#include "wine_prefix.hpp"

namespace velmor {

namespace {

std::string byHand(const std::string& file) { return "Import it with:\r\n\r\nwine regedit \"" + file + "\""; }

class WineImporter : public RegistryImporter {
 public:
  explicit WineImporter(const WinePrefix& prefix) : prefix_(prefix) {}

  ImportResult import(const std::string& file, const std::function<void()>& whileWaiting) override {
    // Without a prefix, wine would make a new one in its place: a Windows
    // the map programs are not installed in.
    if (::access(prefix_.systemRegistryPath().c_str(), F_OK) != 0) {
      return {ImportStatus::NoImporter, "There is no Wine prefix at " + prefix_.folder() +
                                            " (set WINEPREFIX to the prefix MapSource runs in). " + byHand(file)};
    }
    // Wine resolves a Unix path against its current drive, so the file is
    // named as Windows sees it.
    const std::string target = prefix_.windowsPath(file).value_or(file);
    const ProcessRequest request{"wine", {"regedit", target}, {{"WINEPREFIX", prefix_.folder()}}, "", false, ""};
    // regedit may take a while to start the wineserver; the window repaints.
    const ProcessEnd end = runAndWait(systemProcesses(), request, whileWaiting);
    if (end.start == StartStatus::NotFound) return {ImportStatus::NoImporter, "Wine is not installed. " + byHand(file)};
    if (!end.started()) return {ImportStatus::Failed, end.error + ". " + byHand(file)};
    if (!end.succeeded()) {
      const int code = end.exited ? end.exitCode : -1;
      return {ImportStatus::Failed, "wine regedit ended with code " + std::to_string(code) + ". " + byHand(file)};
    }
    return {ImportStatus::Started, ""};
  }

 private:
  WinePrefix prefix_;
};

}  // namespace

std::unique_ptr<RegistryImporter> wineRegistryImporter(const WinePrefix& prefix) {
  return std::make_unique<WineImporter>(prefix);
}

}  // namespace velmor
#endif
