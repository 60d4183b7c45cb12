// The desktop's "Open" on Windows: the shell's own verb, which finds the
// program for a file type, a folder window or the browser for an address.
#ifdef _WIN32
#include <windows.h>
#include <shellapi.h>

#include "shell.hpp"
#include "unicode_text.hpp"

namespace velmor {

namespace {

class WindowsShell : public Shell {
 public:
  ShellResult open(const std::string& target) override {
    const HINSTANCE answer =
        ::ShellExecuteW(nullptr, L"open", wideFromUtf8(target).c_str(), nullptr, nullptr, SW_SHOWNORMAL);
    // Values above 32 mean started; below are the shell's error numbers.
    const auto code = reinterpret_cast<INT_PTR>(answer);
    if (code > 32) return ShellResult::Opened;
    if (code == SE_ERR_NOASSOC || code == SE_ERR_ASSOCINCOMPLETE) return ShellResult::NoAssociation;
    return ShellResult::Failed;
  }
};

}  // namespace

std::unique_ptr<Shell> desktopShell() { return std::make_unique<WindowsShell>(); }

}  // namespace velmor
#endif
