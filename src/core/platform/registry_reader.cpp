#include "registry_reader.hpp"

#include "unicode_text.hpp"

namespace velmor {

const RegistryValue* valueNamed(const RegistryKeyListing& key, const std::string& name) {
  for (const RegistryValue& v : key.values)
    if (equalsNoCase(v.name, name)) return &v;
  return nullptr;
}

std::string registryText(const RegistryValue& value) {
  std::u16string units;
  for (std::size_t i = 0; i + 1 < value.data.size(); i += 2) {
    const auto unit = static_cast<char16_t>(value.data[i] | (value.data[i + 1] << 8));
    if (unit == 0) break;
    units.push_back(unit);
  }
  return utf16ToUtf8(units);
}

std::vector<std::string> registryPathParts(const std::string& path) {
  std::vector<std::string> parts;
  std::size_t start = 0;
  while (start <= path.size()) {
    std::size_t end = path.find('\\', start);
    if (end == std::string::npos) end = path.size();
    if (end > start) parts.push_back(path.substr(start, end - start));
    start = end + 1;
  }
  return parts;
}

}  // namespace velmor
