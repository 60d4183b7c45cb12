// System facts on Linux and other POSIX systems.
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <system_error>

#include "system_facts.hpp"

namespace velmor {

std::optional<std::string> environmentValue(const std::string& name) {
  const char* value = std::getenv(name.c_str());
  if (value == nullptr) return std::nullopt;
  return std::string(value);
}

std::string executablePath() {
  std::error_code ec;
  const std::filesystem::path exe = std::filesystem::read_symlink("/proc/self/exe", ec);
  return ec ? std::string() : exe.string();
}

bool folderWritable(const std::string& folder) { return ::access(folder.c_str(), W_OK) == 0; }

void prepareTextOutput() {}

std::vector<std::string> commandLineArguments(int argc, char** argv) {
  std::vector<std::string> out;
  for (int k = 1; k < argc; ++k) out.emplace_back(argv[k]);
  return out;
}

}  // namespace velmor
