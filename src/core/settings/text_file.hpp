#pragma once
// Whole text files: the settings file and the other small texts the
// program keeps. Written through a temporary file in the same folder that
// is renamed over the target, so a failed write leaves the old file whole.
#include <cstddef>
#include <string>

namespace velmor {

class Prompter;

// The content of a text file, at most its first `limit` bytes: the program's
// own small texts never need more, and a huge or endless file must not stall
// the start. Empty when it does not exist, cannot be read or is no regular file.
inline constexpr std::size_t kTextFileLimit = 64 * 1024;
std::string loadtext(const std::string& path, std::size_t limit = kTextFileLimit);

// Replaces the file's content. Returns the error's description on failure,
// an empty text on success.
std::string replaceFileContent(const std::string& path, const std::string& text);

// Replaces the file's content; a failure is shown as the path, a blank and
// the error's description. Returns whether the file now holds the text.
bool Savetext(const std::string& path, const std::string& text, Prompter& prompter);

}  // namespace velmor
