#pragma once
// This build's velmor-cli, run with an argument list.
#include <string>
#include <vector>

#include "support/run_process.hpp"

namespace velmor::test {

inline ProcessResult cli(std::vector<std::string> args) {
  args.insert(args.begin(), VELMOR_CLI);
  return runProcess(args);
}

}  // namespace velmor::test
