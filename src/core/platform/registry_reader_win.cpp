// The Windows registry, read only, in the view a 32-bit MapSource has of it.
#ifdef _WIN32
#include <windows.h>

#include <string>
#include <vector>

#include "registry_reader.hpp"
#include "unicode_text.hpp"

namespace velmor {

namespace {

// KEY_READ, never KEY_ALL_ACCESS: ordinary users may not open these keys
// for writing, and we only read. KEY_WOW64_32KEY: a 32-bit MapSource finds
// its keys under Wow6432Node on 64-bit Windows, whatever our own build is.
constexpr REGSAM kAccess = KEY_READ | KEY_WOW64_32KEY;
// Enumeration retries when a value grows between two calls.
constexpr int kRetries = 4;

std::wstring widePath(const std::string& path) {
  std::string joined;
  for (const std::string& part : registryPathParts(path)) {
    if (!joined.empty()) joined += '\\';
    joined += part;
  }
  return wideFromUtf8(joined);
}

class OpenKey {
 public:
  explicit OpenKey(const std::string& path) {
    const std::wstring wide = widePath(path);
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, wide.c_str(), 0, kAccess, &key_) != ERROR_SUCCESS) key_ = nullptr;
  }
  ~OpenKey() {
    if (key_) RegCloseKey(key_);
  }
  OpenKey(const OpenKey&) = delete;
  OpenKey& operator=(const OpenKey&) = delete;
  HKEY get() const { return key_; }
  // Closes now; false when the close failed.
  bool close() {
    const LONG rc = RegCloseKey(key_);
    key_ = nullptr;
    return rc == ERROR_SUCCESS;
  }

 private:
  HKEY key_ = nullptr;
};

class Win32Registry : public RegistryReader {
 public:
  std::optional<RegistryKeyListing> readKey(const std::string& path) override {
    OpenKey key(path);
    if (!key.get()) return std::nullopt;
    RegistryKeyListing listing;
    DWORD maxSubkey = 0;
    DWORD maxName = 0;
    DWORD maxData = 0;
    if (RegQueryInfoKeyW(key.get(), nullptr, nullptr, nullptr, nullptr, &maxSubkey, nullptr, nullptr, &maxName,
                         &maxData, nullptr, nullptr) != ERROR_SUCCESS) {
      maxSubkey = 255;
      maxName = 16383;
      maxData = 1024;
    }
    for (DWORD index = 0;; ++index) {
      RegistryValue value;
      LONG rc = ERROR_MORE_DATA;
      for (int attempt = 0; attempt < kRetries && rc == ERROR_MORE_DATA; ++attempt) {
        std::vector<wchar_t> name(maxName + 1u);
        std::vector<BYTE> data(maxData > 0 ? maxData : 1u);
        DWORD nameLength = static_cast<DWORD>(name.size());
        DWORD dataLength = static_cast<DWORD>(data.size());
        DWORD type = 0;
        rc = RegEnumValueW(key.get(), index, name.data(), &nameLength, nullptr, &type, data.data(), &dataLength);
        if (rc == ERROR_MORE_DATA) {
          maxName = maxName * 2 + 256;
          maxData = dataLength > maxData ? dataLength : maxData * 2 + 1024;
          continue;
        }
        if (rc == ERROR_SUCCESS) {
          value.name = utf8FromWide({name.data(), nameLength});
          value.type = type;
          value.data.assign(data.begin(), data.begin() + dataLength);
        }
      }
      if (rc == ERROR_NO_MORE_ITEMS) break;
      if (rc != ERROR_SUCCESS) continue;  // this value could not be read; the others still can
      listing.values.push_back(std::move(value));
    }
    for (DWORD index = 0;; ++index) {
      std::vector<wchar_t> name(maxSubkey + 1u > 256u ? maxSubkey + 1u : 256u);
      DWORD nameLength = static_cast<DWORD>(name.size());
      const LONG rc = RegEnumKeyExW(key.get(), index, name.data(), &nameLength, nullptr, nullptr, nullptr, nullptr);
      if (rc != ERROR_SUCCESS) break;
      listing.subkeys.push_back(utf8FromWide({name.data(), nameLength}));
    }
    listing.closeFailed = !key.close();
    return listing;
  }

  std::optional<std::string> defaultValue(const std::string& path) override {
    OpenKey key(path);
    if (!key.get()) return std::nullopt;
    DWORD type = 0;
    DWORD size = 0;
    LONG rc = RegQueryValueExW(key.get(), nullptr, nullptr, &type, nullptr, &size);
    if (rc == ERROR_FILE_NOT_FOUND) return std::string();  // a key without a default value
    if (rc != ERROR_SUCCESS || (type != REG_SZ && type != REG_EXPAND_SZ)) return std::nullopt;
    std::vector<BYTE> data(size + sizeof(wchar_t));
    DWORD length = size;
    rc = RegQueryValueExW(key.get(), nullptr, nullptr, &type, data.data(), &length);
    if (rc != ERROR_SUCCESS) return std::nullopt;
    RegistryValue value;
    value.type = type;
    value.data.assign(data.begin(), data.begin() + length);
    return registryText(value);
  }
};

}  // namespace

std::unique_ptr<RegistryReader> windowsRegistry() { return std::make_unique<Win32Registry>(); }

}  // namespace velmor
#endif
