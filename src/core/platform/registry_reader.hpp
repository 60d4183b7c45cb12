#pragma once
// Reading the registry of the Windows that MapSource and BaseCamp run in,
// under HKEY_LOCAL_MACHINE, in the view a 32-bit program has of it. The
// program only ever reads: keys are opened for reading, never for full
// access, which ordinary users are refused.
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace velmor {

// Value kinds, numbered as Windows numbers them.
enum RegistryType : std::uint32_t {
  kRegNone = 0,
  kRegSz = 1,
  kRegExpandSz = 2,
  kRegBinary = 3,
  kRegDword = 4,
  kRegLink = 6,
  kRegMultiSz = 7,
  kRegQword = 11,
};

struct RegistryValue {
  std::string name;  // UTF-8; empty for the key's default value
  std::uint32_t type = kRegNone;
  // The data as the registry holds it: texts in UTF-16LE with their
  // terminating 0, a double word in 4 little-endian bytes.
  std::vector<std::uint8_t> data;
};

struct RegistryKeyListing {
  std::vector<RegistryValue> values;  // in enumeration order
  std::vector<std::string> subkeys;   // names, in enumeration order
  bool closeFailed = false;           // the key could not be closed after reading
};

class RegistryReader {
 public:
  virtual ~RegistryReader() = default;
  // The values and subkeys of a key; `path` is relative to
  // HKEY_LOCAL_MACHINE, parts separated by "\" (empty parts are ignored),
  // matched without regard to case. nullopt when the key cannot be opened.
  virtual std::optional<RegistryKeyListing> readKey(const std::string& path) = 0;
  // The text of a key's default value: "" when the key has none, nullopt
  // when the key or the value cannot be read.
  virtual std::optional<std::string> defaultValue(const std::string& path) = 0;
};

// The text of a string value (up to its first 0), UTF-8.
std::string registryText(const RegistryValue& value);
// The value of that name in a key (names match without regard to case, as
// the registry matches them); nullptr when the key has none.
const RegistryValue* valueNamed(const RegistryKeyListing& key, const std::string& name);

// The parts of a key path, without empty parts.
std::vector<std::string> registryPathParts(const std::string& path);

#ifdef _WIN32
// The Windows registry itself, in the 32-bit view (KEY_WOW64_32KEY).
std::unique_ptr<RegistryReader> windowsRegistry();
#endif

}  // namespace velmor
