// On Linux the map programs' Windows is a Wine prefix.
#include <sys/stat.h>

#include <filesystem>
#include <system_error>

#include "wine_live_registry.hpp"
#include "wine_prefix.hpp"
#include "wine_registry.hpp"
#include "windows_host.hpp"

namespace velmor {

namespace fs = std::filesystem;

namespace {

class WineHost : public WindowsHost {
 public:
  explicit WineHost(WinePrefix prefix) : prefix_(std::move(prefix)), importer_(wineRegistryImporter(prefix_)) {}

  bool is64Bit() override { return prefix_.is64Bit(); }

  RegistryReader* registry() override {
    // The wineserver rewrites system.reg as the registry changes (an
    // import, an installer): read it again when it is not the one we read.
    struct stat st {};
    if (::stat(prefix_.systemRegistryPath().c_str(), &st) != 0) {
      reader_.reset();
      return nullptr;
    }
    const bool same =
        reader_ && st.st_mtim.tv_sec == stamp_.tv_sec && st.st_mtim.tv_nsec == stamp_.tv_nsec && st.st_size == size_;
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
  std::optional<std::string> localPath(const std::string& windowsPath) override {
    return prefix_.localPath(windowsPath);
  }
  std::optional<std::string> mapsFolder() override { return prefix_.mapsFolder(); }
  RegistryImporter& importer() override { return *importer_; }

  RegistryReader* liveRegistry() override {
    if (!prefix_.exists()) return nullptr;
    if (!live_) live_ = wineLiveRegistry(prefix_);
    return live_.get();
  }
  std::optional<std::string> mapProgramsProblem() override {
    if (prefix_.lacks32BitWine()) return std::string(kNo32BitWine);
    return std::nullopt;
  }

  std::string whereLooked() override {
    std::error_code ec;
    std::string text = "the Wine prefix " + prefix_.folder();
    if (!fs::is_directory(prefix_.folder(), ec)) {
      text += ", which does not exist (set WINEPREFIX, or start MapSource once under Wine)";
    } else if (!fs::is_regular_file(prefix_.systemRegistryPath(), ec)) {
      text += ", which has no registry " + prefix_.systemRegistryPath();
    } else {
      text += " (registry " + prefix_.systemRegistryPath() + ")";
    }
    text += ", and its maps folder " + std::string(kGarminMapsFolder);
    const auto maps = prefix_.mapsFolder();
    text += maps ? " (" + *maps + ")" : ", which it does not have";
    return text;
  }

 private:
  WinePrefix prefix_;
  std::unique_ptr<RegistryReader> live_;
  std::unique_ptr<RegistryImporter> importer_;
  std::unique_ptr<WineRegistryReader> reader_;
  timespec stamp_{};
  off_t size_ = 0;
};

}  // namespace

std::string withLocalSeparators(std::string path) { return path; }

std::unique_ptr<WindowsHost> systemWindowsHost(const std::string& winePrefix) {
  return std::make_unique<WineHost>(WinePrefix::locate(winePrefix));
}

std::string hostWinePrefixFolder(const std::string& winePrefix) { return WinePrefix::locate(winePrefix).folder(); }

HostFolders winePrefixFolders(const std::string& prefixFolder) {
  HostFolders folders;
  if (prefixFolder.empty()) return folders;
  const WinePrefix prefix(prefixFolder);
  std::error_code ec;
  if (!fs::is_directory(prefix.folder() + "/drive_c", ec)) return folders;
  folders.appData = prefix.appDataFolder();
  folders.programFiles = prefix.programFilesFolder();
  folders.programFilesX86 = prefix.programFilesX86Folder();
  return folders;
}

std::string hostLocalPath(const std::string& windowsPath, const std::string& prefixFolder) {
  if (windowsPath.empty()) return "";
  if (windowsPath[0] == '/') {
    std::string path = windowsPath;
    for (char& c : path)
      if (c == '\\') c = '/';
    return path;
  }
  if (!isWindowsDrivePath(windowsPath) || prefixFolder.empty()) return "";
  return WinePrefix(prefixFolder).localPath(windowsPath).value_or("");
}

std::string winePrefixHolding(const std::string& executable, const std::string& fallback) {
  // A map maker may keep the Garmin programs in a prefix of their own:
  // the folder above the drive_c that holds the program, when it is a
  // prefix (it has a system registry).
  std::error_code ec;
  fs::path at = fs::absolute(fs::path(executable), ec).lexically_normal();
  for (fs::path folder = at.parent_path(); !folder.empty() && folder != folder.root_path();
       folder = folder.parent_path()) {
    if (folder.filename() == "drive_c" && fs::is_regular_file(folder.parent_path() / "system.reg", ec))
      return folder.parent_path().string();
  }
  return fallback;
}

std::optional<std::string> wineWindowsPath(const std::string& localPath, const std::string& prefixFolder) {
  return WinePrefix(prefixFolder).windowsPath(localPath);
}

bool runsThroughWine(const std::string& program) {
  if (program.size() <= 4) return false;
  const std::string end = program.substr(program.size() - 4);
  return end[0] == '.' && (end[1] | 0x20) == 'e' && (end[2] | 0x20) == 'x' && (end[3] | 0x20) == 'e';
}

}  // namespace velmor
