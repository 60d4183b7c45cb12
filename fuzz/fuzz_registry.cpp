// Feeds arbitrary bytes to the reader of a Wine prefix's system.reg: nothing
// may crash or read out of bounds, every subkey a key lists can be opened,
// and the installed-products walk gets through whatever the file holds.
#include <cstddef>
#include <cstdint>
#include <string>

#include "core/common/prompter.hpp"
#include "core/install/installed_products.hpp"
#include "core/platform/wine_registry.hpp"

namespace {

void visit(velmor::RegistryReader& reader, const std::string& path, int depth) {
  auto key = reader.readKey(path);
  if (!key) __builtin_trap();
  for (const velmor::RegistryValue& value : key->values) (void)velmor::registryText(value);
  if (depth > 32) return;
  for (const std::string& name : key->subkeys) {
    const std::string child = path.empty() ? name : path + "\\" + name;
    (void)reader.defaultValue(child);
    visit(reader, child, depth + 1);
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  auto registry = std::make_shared<const velmor::WineRegistry>(
      velmor::WineRegistry::parse(std::string_view(reinterpret_cast<const char*>(data), size)));
  velmor::WineRegistryReader native(registry, false);
  visit(native, "", 0);
  velmor::WineRegistryReader view32(registry, true);
  velmor::SilentPrompter prompter;
  (void)velmor::walkRegistryKey(view32, "Software", 4, prompter);
  return 0;
}
