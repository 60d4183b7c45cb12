#pragma once
// Pieces of start-up that need no window.
#include <optional>
#include <string>

#include "core/settings/settings.hpp"

namespace velmor {

// The command-line text with every NUL and double quote removed.
std::string cleanCommandLine(const std::string& text);
// The product file named on the command line, when the text names one:
// not empty, no "*", an existing file.
std::optional<std::string> commandLineFile(const std::string& text);

// The tile caches of MapSource and BaseCamp below AppData, lower-cased; the
// BaseCamp one is always the local one. Empty when AppData is not set, so an
// empty variable never makes a root-relative folder of them.
std::string mapSourceTileCache(const std::string& appData);
std::string baseCampTileCache(const std::string& appData);

// BaseCamp's usual place under the program-files folder, when `baseCampPath`
// names no file.
void findBaseCamp(Settings& settings, bool is64BitWindows);

}  // namespace velmor
