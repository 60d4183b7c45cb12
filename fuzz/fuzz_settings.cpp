// Feeds arbitrary bytes to the settings reader as if velmor.dat held them:
// nothing may crash, and writing the result gives the 34-line file again,
// which reads back to the same settings.
#include <cstddef>
#include <cstdint>
#include <string>

#include "core/settings/settings.hpp"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  velmor::Settings settings;
  velmor::parseSettings(std::string(reinterpret_cast<const char*>(data), size), settings);
  const std::string text = velmor::settingsText(settings);
  if (text.compare(0, 5, "123\r\n") != 0) __builtin_trap();
  if (settings.windowWidth < velmor::kMinimumWindowSize || settings.windowHeight < velmor::kMinimumWindowSize)
    __builtin_trap();
  velmor::Settings again = settings;
  velmor::parseSettings(text, again);
  if (velmor::settingsText(again) != text) __builtin_trap();
  return 0;
}
