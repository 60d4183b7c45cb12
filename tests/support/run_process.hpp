#pragma once
// Runs a program with an argument list (no shell) and collects its output.
#include <string>
#include <vector>

namespace velmor::test {

struct ProcessResult {
  int exitCode = -1;
  std::string out;
  std::string err;
};

ProcessResult runProcess(const std::vector<std::string>& argv, const std::string& workingDir = "",
                         const std::vector<std::string>& extraEnv = {});

// Full path of a program found on PATH, empty when there is none.
std::string findOnPath(const std::string& name);

}  // namespace velmor::test
