#pragma once
// The desktop's "Open" of a file, folder, program or web address.
#include <memory>
#include <string>

namespace velmor {

enum class ShellResult {
  Opened,
  NoAssociation,  // no program is associated with this kind of file
  Failed,
};

class Shell {
 public:
  virtual ~Shell() = default;
  virtual ShellResult open(const std::string& target) = 0;
};

// The desktop's own shell: xdg-open on Linux, started with an argument
// list so that no path is ever read by a command interpreter; on Windows
// the shell's "Open" verb.
std::unique_ptr<Shell> desktopShell();

}  // namespace velmor
