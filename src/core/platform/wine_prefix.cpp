// Wine prefixes exist where Wine runs; on Windows the registry is read directly.
#ifndef _WIN32
#include "wine_prefix.hpp"

#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cctype>
#include <cstdlib>
#include <filesystem>
#include <system_error>
#include <vector>

#include "file_start.hpp"
#include "system_facts.hpp"
#include "unicode_text.hpp"
#include "wine_registry.hpp"

namespace velmor {

namespace fs = std::filesystem;

namespace {

std::string environment(const char* name) { return environmentValue(name).value_or(""); }

std::string userName() {
  std::string name = environment("USER");
  if (!name.empty()) return name;
  if (const passwd* entry = ::getpwuid(::getuid())) return entry->pw_name;
  return "user";
}

// Whether every part of `root` leads `path` (both normal and absolute).
bool leads(const fs::path& root, const fs::path& path) {
  auto r = root.begin();
  auto p = path.begin();
  for (; r != root.end(); ++r, ++p) {
    if (r->empty()) continue;  // a trailing separator
    if (p == path.end() || *r != *p) return false;
  }
  return true;
}

std::string registryString(const WineRegistry& registry, const std::vector<std::string>& key, const std::string& name) {
  const WineRegistry::Key* found = registry.find(key);
  if (!found) return "";
  for (const RegistryValue& value : found->values) {
    if (equalsNoCase(value.name, name) && (value.type == kRegSz || value.type == kRegExpandSz))
      return registryText(value);
  }
  return "";
}

const std::vector<std::string> kCurrentVersionKey = {"Software", "Microsoft", "Windows", "CurrentVersion"};

std::string machineString(const WinePrefix& prefix, const std::string& name) {
  std::string error;
  // Only the one key: the window asks this at start-up, and a system.reg
  // can be large.
  auto registry = WineRegistry::load(prefix.systemRegistryPath(), error, &kCurrentVersionKey);
  return registry ? registryString(*registry, kCurrentVersionKey, name) : "";
}

}  // namespace

WinePrefix::WinePrefix(std::string folder) : folder_(std::move(folder)) {
  while (folder_.size() > 1 && folder_.back() == '/') folder_.pop_back();
}

WinePrefix WinePrefix::locate(const std::string& explicitFolder) {
  if (!explicitFolder.empty()) return WinePrefix(explicitFolder);
  std::string folder = environment("WINEPREFIX");
  if (!folder.empty()) return WinePrefix(folder);
  std::string home = environment("HOME");
  if (home.empty()) {
    if (const passwd* entry = ::getpwuid(::getuid())) home = entry->pw_dir;
  }
  return WinePrefix(home + "/.wine");
}

std::string WinePrefix::systemRegistryPath() const { return folder_ + "/system.reg"; }
std::string WinePrefix::userRegistryPath() const { return folder_ + "/user.reg"; }

bool WinePrefix::exists() const {
  struct stat st {};
  return ::stat(systemRegistryPath().c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

bool WinePrefix::lacks32BitWine() const {
  if (!exists() || !is64Bit()) return false;
  std::error_code ec;
  const std::filesystem::path folder = std::filesystem::path(folder_) / "drive_c" / "windows" / "syswow64";
  std::filesystem::directory_iterator it(folder, ec);
  return ec || it == std::filesystem::directory_iterator();
}

bool WinePrefix::is64Bit() const {
  // The architecture line stands in the file's head, before the first key.
  std::string error;
  auto head = readFileStart(systemRegistryPath(), 4096, error);
  if (!head) return false;
  std::string_view text(reinterpret_cast<const char*>(head->data()), head->size());
  for (std::size_t start = 0; start < text.size();) {
    std::size_t end = text.find('\n', start);
    if (end == std::string_view::npos) end = text.size();
    std::string_view line = text.substr(start, end - start);
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    if (!line.empty() && line[0] == '[') break;
    if (line == "#arch=win64") return true;
    start = end + 1;
  }
  return false;
}

std::optional<std::string> WinePrefix::driveRoot(char letter) const {
  std::error_code ec;
  const fs::path devices = fs::path(folder_) / "dosdevices";
  if (fs::is_directory(devices, ec)) {
    const fs::path link = devices / (std::string(1, letter) + ":");
    if (!fs::exists(link, ec)) return std::nullopt;
    fs::path root = fs::canonical(link, ec);
    if (ec) return std::nullopt;
    return root.string();
  }
  // A prefix without its links (never started, or made by hand): Wine's
  // own first two drives.
  if (letter == 'c') {
    fs::path root = fs::canonical(fs::path(folder_) / "drive_c", ec);
    if (!ec) return root.string();
  }
  if (letter == 'z') return std::string("/");
  return std::nullopt;
}

std::optional<std::string> WinePrefix::windowsPath(const std::string& localPath) const {
  std::error_code ec;
  fs::path path = fs::weakly_canonical(fs::absolute(localPath, ec), ec);
  if (ec) return std::nullopt;
  path = path.lexically_normal();
  std::optional<char> best;
  fs::path bestRoot;
  std::size_t bestDepth = 0;
  for (char letter = 'a'; letter <= 'z'; ++letter) {
    auto root = driveRoot(letter);
    if (!root) continue;
    const fs::path r = fs::path(*root).lexically_normal();
    if (!leads(r, path)) continue;
    const auto depth = static_cast<std::size_t>(std::distance(r.begin(), r.end()));
    if (!best || depth > bestDepth) {
      best = letter;
      bestRoot = r;
      bestDepth = depth;
    }
  }
  if (!best) return std::nullopt;
  std::string out = std::string(1, static_cast<char>(*best - 'a' + 'A')) + ":";
  const fs::path rest = path.lexically_relative(bestRoot);
  for (const fs::path& part : rest) {
    if (part.empty() || part == ".") continue;
    out += "\\" + part.string();
  }
  if (out.size() == 2) out += "\\";
  return out;
}

std::optional<std::string> WinePrefix::localPath(const std::string& windowsPath) const {
  if (!isWindowsDrivePath(windowsPath)) return std::nullopt;
  const char letter = static_cast<char>(std::tolower(static_cast<unsigned char>(windowsPath[0])));
  auto root = driveRoot(letter);
  if (!root) return std::nullopt;
  const fs::path top(*root);
  fs::path current = top;
  std::size_t start = 2;
  std::error_code ec;
  while (start < windowsPath.size()) {
    std::size_t end = windowsPath.find_first_of("\\/", start);
    if (end == std::string::npos) end = windowsPath.size();
    const std::string part = windowsPath.substr(start, end - start);
    start = end + 1;
    if (part.empty() || part == ".") continue;
    if (part == "..") {
      if (current != top) current = current.parent_path();
      continue;
    }
    fs::path next = current / part;
    if (!fs::exists(fs::symlink_status(next, ec)) && fs::is_directory(current, ec)) {
      // Windows names are case-blind: "maps" is the folder "Maps".
      for (fs::directory_iterator it(current, ec), end; !ec && it != end; it.increment(ec)) {
        if (equalsNoCase(it->path().filename().string(), part)) {
          next = it->path();
          break;
        }
      }
    }
    current = next;
  }
  return current.string();
}

std::string WinePrefix::appDataFolder() const {
  std::string error;
  const std::vector<std::string> shellFolders = {"Software",       "Microsoft", "Windows",
                                                 "CurrentVersion", "Explorer",  "Shell Folders"};
  if (auto registry = WineRegistry::load(userRegistryPath(), error, &shellFolders)) {
    std::string folder = registryString(*registry, shellFolders, "AppData");
    if (!folder.empty()) return folder;
  }
  return "C:\\users\\" + userName() + "\\AppData\\Roaming";
}

std::string WinePrefix::programFilesFolder() const {
  std::string folder = machineString(*this, "ProgramFilesDir");
  return folder.empty() ? "C:\\Program Files" : folder;
}

std::string WinePrefix::programFilesX86Folder() const {
  if (!is64Bit()) return "";
  std::string folder = machineString(*this, "ProgramFilesDir (x86)");
  return folder.empty() ? "C:\\Program Files (x86)" : folder;
}

std::optional<std::string> WinePrefix::mapsFolder() const {
  auto folder = localPath(kGarminMapsFolder);
  std::error_code ec;
  if (!folder || !fs::is_directory(*folder, ec)) return std::nullopt;
  return folder;
}

}  // namespace velmor
#endif
