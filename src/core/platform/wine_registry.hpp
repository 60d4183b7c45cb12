#pragma once
// The registry files of a Wine prefix (system.reg for HKEY_LOCAL_MACHINE,
// user.reg for the user's hive), in the text format the wineserver writes:
//
//   WINE REGISTRY Version 2
//   #arch=win64
//   [Software\\Garmin\\MapSource\\Families\\Alps] 1700000000
//   #time=1d9f...
//   @="default"
//   "TDB"="C:\\Maps\\alps.tdb"
//   "ID"=hex:34,12
//   "Long"=hex:00,01,...,2e,<backslash>   (a long value goes on in the next line)
//     2f,30
//
// Key lines carry every key that has values; the keys above them exist
// without a line of their own.
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "registry_reader.hpp"

namespace velmor {

class WineRegistry {
 public:
  struct Key {
    std::string name;
    std::vector<RegistryValue> values;  // in file order, which is Wine's enumeration order
    std::vector<std::string> subkeys;   // sorted as Windows enumerates them
  };

  // Never fails: lines it cannot read are passed over, as Wine does. Time
  // and memory grow with the text, however deep its keys. With `onlyKey`,
  // only that key (its parts, any case) is taken in, with its values: a
  // look at a few values costs no tree of the whole file.
  static WineRegistry parse(std::string_view text, const std::vector<std::string>* onlyKey = nullptr);
  // nullopt with the reason in `error` when the file cannot be read.
  static std::optional<WineRegistry> load(const std::string& path, std::string& error,
                                          const std::vector<std::string>* onlyKey = nullptr);

  // "#arch=win64" in the file's head: a 64-bit prefix.
  bool is64Bit() const { return is64Bit_; }
  // The key at a path of parts, matched without regard to case; nullptr when there is none.
  const Key* find(const std::vector<std::string>& parts) const;
  std::size_t keyCount() const { return nodes_.size(); }

 private:
  // A tree of keys, each knowing its subkeys by lower-cased name: a key
  // line of thousands of parts costs time and memory in step with its
  // length, not with its square.
  struct Node {
    Key key;
    std::unordered_map<std::string, std::size_t> children;  // lower-cased name -> index in nodes_
    std::unordered_map<std::string, std::size_t> valueAt;   // lower-cased name -> index in key.values
  };
  std::size_t ensureKey(const std::vector<std::string>& parts);
  std::vector<Node> nodes_;  // nodes_[0] is the root
  bool is64Bit_ = false;
};

// HKEY_LOCAL_MACHINE of a Wine prefix, read from its system.reg. With
// `view32` on a 64-bit prefix, paths under Software lead to
// Software\Wow6432Node, as they do for a 32-bit program such as MapSource.
class WineRegistryReader : public RegistryReader {
 public:
  WineRegistryReader(std::shared_ptr<const WineRegistry> registry, bool view32);
  std::optional<RegistryKeyListing> readKey(const std::string& path) override;
  std::optional<std::string> defaultValue(const std::string& path) override;

 private:
  const WineRegistry::Key* find(const std::string& path) const;
  std::shared_ptr<const WineRegistry> registry_;
  bool view32_;
};

// A registry file bigger than this is not read.
inline constexpr std::size_t kMaxWineRegistrySize = 512u * 1024 * 1024;

}  // namespace velmor
