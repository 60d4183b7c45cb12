#include "install_environment.hpp"

#include "../platform/file_kind.hpp"
#include "../platform/windows_host.hpp"

namespace velmor {

namespace {

// The machine's Windows, with the one rule installing adds: a product path
// from the registry counts only when it names a file that is here.
class HostEnvironment : public InstallEnvironment {
 public:
  explicit HostEnvironment(std::unique_ptr<WindowsHost> host) : host_(std::move(host)) {}

  bool is64BitWindows() override { return host_->is64Bit(); }
  RegistryReader* registry() override { return host_->registry(); }
  std::optional<std::string> windowsFolder(const std::string& localFolder) override {
    return host_->windowsFolder(localFolder);
  }
  std::optional<std::string> localFile(const std::string& windowsPath) override {
    auto path = host_->localPath(windowsPath);
    if (!path || !isRegularFile(*path)) return std::nullopt;
    return path;
  }
  std::optional<std::string> mapsFolder() override { return host_->mapsFolder(); }
  RegistryImporter& importer() override { return host_->importer(); }

  std::string whereLooked() override { return host_->whereLooked(); }
  // Written as Windows writes it, so that a folder made here has its usual name.
  std::optional<std::string> mapsFolderPath() override { return host_->localPath("C:\\ProgramData\\Garmin\\Maps"); }

  RegistryReader* liveRegistry() override { return host_->liveRegistry(); }
  std::optional<std::string> localFolder(const std::string& windowsPath) override {
    std::string folder = windowsPath;
    while (folder.size() > 3 && (folder.back() == '\\' || folder.back() == '/')) folder.pop_back();
    auto path = host_->localPath(folder);
    if (!path || !isFolder(*path)) return std::nullopt;
    return path;
  }
  std::optional<std::string> mapProgramsProblem() override { return host_->mapProgramsProblem(); }

 private:
  std::unique_ptr<WindowsHost> host_;
};

}  // namespace

std::unique_ptr<InstallEnvironment> systemInstallEnvironment(const std::string& winePrefix) {
  return std::make_unique<HostEnvironment>(systemWindowsHost(winePrefix));
}

}  // namespace velmor
