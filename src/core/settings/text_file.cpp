#include "text_file.hpp"

#include "../common/prompter.hpp"
#include "../platform/file_services.hpp"

namespace velmor {

std::string loadtext(const std::string& path, std::size_t limit) {
  FileRead read = systemFiles().readFile(path, limit, OverLimit::Truncate);
  if (!read) return {};
  return std::string(read.bytes.begin(), read.bytes.end());
}

std::string replaceFileContent(const std::string& path, const std::string& text) {
  // The same temporary-file-and-rename as every other file the program writes.
  const auto* first = reinterpret_cast<const std::uint8_t*>(text.data());
  auto failed = systemFiles().atomicReplace(path, std::span<const std::uint8_t>(first, text.size()));
  return failed ? *failed : std::string();
}

bool Savetext(const std::string& path, const std::string& text, Prompter& prompter) {
  std::string error = replaceFileContent(path, text);
  if (error.empty()) return true;
  prompter.message(path + " " + error);
  return false;
}

}  // namespace velmor
