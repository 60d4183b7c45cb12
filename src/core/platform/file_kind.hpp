#pragma once
// What kind of thing a path names, for the layers that look before they
// hand a path on (to a program, a registry file, a folder listing).
#include <filesystem>
#include <string>

namespace velmor {

// A regular file, links followed; false for "", a folder, a device or nothing at all.
bool isRegularFile(const std::string& utf8Path);
// A folder, links followed; false for "" and for anything else.
bool isFolder(const std::string& utf8Path);

// Whether a folder listing of files leaves the entry out: a hidden or system
// file on Windows, a name starting with "." elsewhere.
bool hiddenFromListing(const std::filesystem::path& entry);

}  // namespace velmor
