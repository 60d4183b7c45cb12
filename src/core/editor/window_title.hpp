#pragma once
#include <string>

namespace velmor {

inline constexpr const char* kProgramVersion = "2.1";

// "Velmor 2.1 c:\maps\roads.tdb+": rebuilt from its parts, never appended to.
std::string windowTitle(const std::string& path, bool modified);

}  // namespace velmor
