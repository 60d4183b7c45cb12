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

}  // namespace velmor
