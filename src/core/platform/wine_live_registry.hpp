#pragma once
// The registry of a Wine prefix as the running wineserver holds it. The
// wineserver writes system.reg only some seconds after the last program in
// the prefix ends; what an import just did is read here through Wine's own
// "reg export", in the view a 32-bit program has (/reg:32).
#ifndef _WIN32
#include <memory>

#include "registry_reader.hpp"
#include "wine_prefix.hpp"

namespace velmor {

std::unique_ptr<RegistryReader> wineLiveRegistry(const WinePrefix& prefix);

// Key `keyPath` (as the file names it, "HKEY_LOCAL_MACHINE\...") of an
// exported registry file's text: its values and its direct subkeys; nullopt
// when the text holds no such key.
std::optional<RegistryKeyListing> exportedKey(const std::string& text, const std::string& keyPath);

}  // namespace velmor
#endif
