#pragma once
// Stand-ins for the machine's registry, Wine prefix and importer, so that the
// listing and the registry-file generator can be driven without Wine.
#include <map>
#include <string>
#include <vector>

#include "core/install/install_environment.hpp"
#include "core/platform/unicode_text.hpp"

namespace velmor::test {

// Keys by path (case-blind, parents made on the way); values in the order added.
class FakeRegistry : public RegistryReader {
 public:
  FakeRegistry& text(const std::string& key, const std::string& name, const std::string& value) {
    std::vector<std::uint8_t> data;
    for (char16_t unit : utf8ToUtf16(value)) {
      data.push_back(static_cast<std::uint8_t>(unit & 0xFF));
      data.push_back(static_cast<std::uint8_t>(unit >> 8));
    }
    data.insert(data.end(), {0, 0});
    return add(key, {name, kRegSz, data});
  }
  FakeRegistry& binary(const std::string& key, const std::string& name, std::vector<std::uint8_t> data) {
    return add(key, {name, kRegBinary, std::move(data)});
  }
  FakeRegistry& dword(const std::string& key, const std::string& name, std::uint32_t v) {
    return add(
        key, {name, kRegDword, {std::uint8_t(v), std::uint8_t(v >> 8), std::uint8_t(v >> 16), std::uint8_t(v >> 24)}});
  }
  FakeRegistry& key(const std::string& path) {
    std::string at;
    for (const std::string& part : registryPathParts(path)) {
      Key& parent = keys_[lowerUtf8(at)];
      at += (at.empty() ? "" : "\\") + part;
      if (!keys_.count(lowerUtf8(at))) parent.subkeys.push_back(part);
      keys_[lowerUtf8(at)];
    }
    return *this;
  }
  FakeRegistry& unreadableDefault(const std::string& path) {
    key(path);
    keys_[norm(path)].defaultReadable = false;
    return *this;
  }
  FakeRegistry& closeFails(const std::string& path) {
    key(path);
    keys_[norm(path)].closeFails = true;
    return *this;
  }

  std::optional<RegistryKeyListing> readKey(const std::string& path) override {
    auto it = keys_.find(norm(path));
    if (it == keys_.end()) return std::nullopt;
    return RegistryKeyListing{it->second.values, it->second.subkeys, it->second.closeFails};
  }
  std::optional<std::string> defaultValue(const std::string& path) override {
    auto it = keys_.find(norm(path));
    if (it == keys_.end() || !it->second.defaultReadable) return std::nullopt;
    for (const RegistryValue& v : it->second.values)
      if (v.name.empty()) return registryText(v);
    return std::string();
  }

 private:
  struct Key {
    std::vector<RegistryValue> values;
    std::vector<std::string> subkeys;
    bool defaultReadable = true;
    bool closeFails = false;
  };
  static std::string norm(const std::string& path) {
    std::string out;
    for (const std::string& part : registryPathParts(path)) out += (out.empty() ? "" : "\\") + lowerUtf8(part);
    return out;
  }
  FakeRegistry& add(const std::string& path, RegistryValue value) {
    key(path);
    keys_[norm(path)].values.push_back(std::move(value));
    return *this;
  }
  std::map<std::string, Key> keys_;
};

class RecordingImporter : public RegistryImporter {
 public:
  ImportResult import(const std::string& file, const std::function<void()>& /*whileWaiting*/) override {
    imported.push_back(file);
    return result;
  }
  std::vector<std::string> imported;
  ImportResult result{ImportStatus::Started, ""};
};

// A Windows whose files are local files named in `files`, whose folders are
// written as "Z:" followed by the local path, as Wine's drive Z names them.
class FakeInstallEnvironment : public InstallEnvironment {
 public:
  bool is64BitWindows() override { return is64; }
  RegistryReader* registry() override { return &registryReader; }
  std::optional<std::string> windowsFolder(const std::string& localFolder) override {
    std::string out = "Z:" + localFolder;
    for (char& c : out)
      if (c == '/') c = '\\';
    return out;
  }
  std::optional<std::string> localFile(const std::string& windowsPath) override {
    auto it = files.find(lowerUtf8(windowsPath));
    if (it == files.end()) return std::nullopt;
    return it->second;
  }
  std::optional<std::string> mapsFolder() override { return maps; }
  RegistryImporter& importer() override { return recordingImporter; }
  std::optional<std::string> localFolder(const std::string& windowsPath) override {
    auto it = folders.find(lowerUtf8(windowsPath));
    if (it == folders.end()) return std::nullopt;
    return it->second;
  }

  FakeRegistry registryReader;
  RecordingImporter recordingImporter;
  bool is64 = false;
  std::map<std::string, std::string> files;    // lower-case Windows path -> local file
  std::map<std::string, std::string> folders;  // lower-case Windows path -> local folder
  std::optional<std::string> maps;
};

}  // namespace velmor::test
