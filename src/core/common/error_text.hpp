#pragma once
// Runtime errors met while reading, decoding or writing are collected as
// lines of one text, which the Errors window shows; every layer appends to it
// the same way.
#include <string>
#include <string_view>

namespace velmor {

inline constexpr const char* kCrLf = "\r\n";

// Appends `line` and a CR LF to `errorText`.
inline void appendErrorLine(std::string& errorText, std::string_view line) {
  errorText += line;
  errorText += kCrLf;
}

}  // namespace velmor
