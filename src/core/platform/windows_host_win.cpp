// On Windows the map programs' Windows is the system itself.
#include <filesystem>
#include <system_error>

#include "system_facts.hpp"
#include "utf8_path.hpp"
#include "wine_prefix.hpp"
#include "windows_host.hpp"

namespace velmor {

namespace {

class NativeHost : public WindowsHost {
 public:
  NativeHost() : registry_(windowsRegistry()), importer_(shellRegistryImporter()) {}
  bool is64Bit() override { return windowsIs64Bit(); }
  RegistryReader* registry() override { return registry_.get(); }
  std::optional<std::string> windowsFolder(const std::string& localFolder) override {
    return withLocalSeparators(localFolder);
  }
  std::optional<std::string> localPath(const std::string& windowsPath) override { return windowsPath; }
  std::optional<std::string> mapsFolder() override {
    std::error_code ec;
    if (!std::filesystem::is_directory(pathFromUtf8(kGarminMapsFolder), ec)) return std::nullopt;
    return std::string(kGarminMapsFolder);
  }
  RegistryImporter& importer() override { return *importer_; }
  std::string whereLooked() override {
    return std::string("the registry under HKEY_LOCAL_MACHINE\\SOFTWARE\\Garmin\\MapSource and the folder ") +
           (mapsFolder() ? "" : "(missing) ") + kGarminMapsFolder;
  }

 private:
  std::unique_ptr<RegistryReader> registry_;
  std::unique_ptr<RegistryImporter> importer_;
};

}  // namespace

std::string withLocalSeparators(std::string path) {
  for (char& c : path)
    if (c == '/') c = '\\';
  return path;
}

std::unique_ptr<WindowsHost> systemWindowsHost(const std::string&) { return std::make_unique<NativeHost>(); }

std::string hostWinePrefixFolder(const std::string&) { return ""; }

HostFolders winePrefixFolders(const std::string&) { return {}; }

std::string hostLocalPath(const std::string& windowsPath, const std::string&) {
  // Never a folder relative to wherever the program was started.
  return isWindowsDrivePath(windowsPath) || windowsPath.rfind("\\\\", 0) == 0 ? windowsPath : "";
}

std::string winePrefixHolding(const std::string&, const std::string&) { return ""; }

std::optional<std::string> wineWindowsPath(const std::string&, const std::string&) { return std::nullopt; }

bool runsThroughWine(const std::string&) { return false; }

}  // namespace velmor
