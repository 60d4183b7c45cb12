#pragma once
// The parts of a path written as text, with either separator ('/' or '\'),
// as paths come from Windows, from Wine and from our own folders alike.
#include <string>

namespace velmor {

// The name after the last separator; the whole text when there is none.
std::string fileNameOf(const std::string& path);

// The text before the last separator: "" when there is none, the separator
// itself for a name in the root folder ("/mapsource.exe" lies in "/").
std::string folderOf(const std::string& path);

}  // namespace velmor
