#include "window_title.hpp"

#include "../common/bytes.hpp"

namespace velmor {

std::string windowTitle(const std::string& path, bool modified) {
  return std::string("Velmor ") + kProgramVersion + " " + toLowerAscii(path) + (modified ? "+" : "");
}

}  // namespace velmor
