#include "install_environment.hpp"

#include <filesystem>
#include <system_error>

#ifdef _WIN32
#include "../platform/system_facts.hpp"
#else
#include <sys/stat.h>

#include "../platform/wine_live_registry.hpp"
#include "../platform/wine_prefix.hpp"
#include "../platform/wine_registry.hpp"
#endif

namespace velmor {

namespace fs = std::filesystem;

namespace {

// Our paths are UTF-8 on every system.
fs::path utf8Path(const std::string& path) { return fs::path(std::u8string(path.begin(), path.end())); }

bool isRegularFile(const std::string& path) {
  std::error_code ec;
  return fs::is_regular_file(utf8Path(path), ec);
}

bool isFolder(const std::string& path) {
  std::error_code ec;
  return fs::is_directory(utf8Path(path), ec);
}

#ifndef _WIN32

class WineEnvironment : public InstallEnvironment {
 public:
  explicit WineEnvironment(WinePrefix prefix)
      : prefix_(std::move(prefix)), importer_(wineRegistryImporter(prefix_)) {}

  bool is64BitWindows() override { return prefix_.is64Bit(); }

  RegistryReader* registry() override {
    // The wineserver rewrites system.reg as the registry changes (an
    // import, an installer): read it again when it is not the one we read.
    struct stat st {};
    if (::stat(prefix_.systemRegistryPath().c_str(), &st) != 0) {
      reader_.reset();
      return nullptr;
    }
    const bool same = reader_ && st.st_mtim.tv_sec == stamp_.tv_sec && st.st_mtim.tv_nsec == stamp_.tv_nsec &&
                      st.st_size == size_;
    if (!same) {
      std::string error;
      auto registry = WineRegistry::load(prefix_.systemRegistryPath(), error);
      if (!registry) {
        reader_.reset();
        return nullptr;
      }
      reader_ = std::make_unique<WineRegistryReader>(std::make_shared<const WineRegistry>(std::move(*registry)), true);
      stamp_ = st.st_mtim;
      size_ = st.st_size;
    }
    return reader_.get();
  }

  std::optional<std::string> windowsFolder(const std::string& localFolder) override {
    return prefix_.windowsPath(localFolder);
  }

  std::optional<std::string> localFile(const std::string& windowsPath) override {
    auto path = prefix_.localPath(windowsPath);
    if (!path || !isRegularFile(*path)) return std::nullopt;
    return path;
  }

  std::optional<std::string> mapsFolder() override { return prefix_.mapsFolder(); }
  RegistryImporter& importer() override { return *importer_; }

  RegistryReader* liveRegistry() override {
    if (!prefix_.exists()) return nullptr;
    if (!live_) live_ = wineLiveRegistry(prefix_);
    return live_.get();
  }
  std::optional<std::string> localFolder(const std::string& windowsPath) override {
    std::string folder = windowsPath;
    while (folder.size() > 3 && (folder.back() == '\\' || folder.back() == '/')) folder.pop_back();
    auto path = prefix_.localPath(folder);
    if (!path || !isFolder(*path)) return std::nullopt;
    return path;
  }
  std::optional<std::string> mapProgramsProblem() override {
    if (prefix_.lacks32BitWine()) return std::string(kNo32BitWine);
    return std::nullopt;
  }

 private:
  WinePrefix prefix_;
  std::unique_ptr<RegistryReader> live_;
  std::unique_ptr<RegistryImporter> importer_;
  std::unique_ptr<WineRegistryReader> reader_;
  timespec stamp_{};
  off_t size_ = 0;
};

#else

class WindowsEnvironment : public InstallEnvironment {
 public:
  WindowsEnvironment() : registry_(windowsRegistry()), importer_(shellRegistryImporter()) {}
  bool is64BitWindows() override { return windowsIs64Bit(); }
  RegistryReader* registry() override { return registry_.get(); }
  std::optional<std::string> windowsFolder(const std::string& localFolder) override {
    std::string folder = localFolder;
    for (char& c : folder)
      if (c == '/') c = '\\';
    return folder;
  }
  std::optional<std::string> localFile(const std::string& windowsPath) override {
    if (!isRegularFile(windowsPath)) return std::nullopt;
    return windowsPath;
  }
  std::optional<std::string> mapsFolder() override {
    std::error_code ec;
    if (!fs::is_directory(utf8Path("c:\\programdata\\garmin\\maps"), ec)) return std::nullopt;
    return std::string("c:\\programdata\\garmin\\maps");
  }
  RegistryImporter& importer() override { return *importer_; }
  std::optional<std::string> localFolder(const std::string& windowsPath) override {
    if (!isFolder(windowsPath)) return std::nullopt;
    return windowsPath;
  }

 private:
  std::unique_ptr<RegistryReader> registry_;
  std::unique_ptr<RegistryImporter> importer_;
};

#endif

}  // namespace

std::unique_ptr<InstallEnvironment> systemInstallEnvironment(const std::string& winePrefix) {
#ifndef _WIN32
  return std::make_unique<WineEnvironment>(WinePrefix::locate(winePrefix));
#else
  (void)winePrefix;
  return std::make_unique<WindowsEnvironment>();
#endif
}

}  // namespace velmor
