// The shell's "Open" verb on a registry file: the registry editor asks the
// user and merges it.
#ifdef _WIN32
#include <windows.h>
#include <shellapi.h>

#include "registry_importer.hpp"
#include "unicode_text.hpp"

namespace velmor {

namespace {

class ShellImporter : public RegistryImporter {
 public:
  // The registry editor asks the user and says how it went itself.
  ImportResult import(const std::string& file, const std::function<void()>& /*whileWaiting*/) override {
    const HINSTANCE answer =
        ShellExecuteW(nullptr, L"open", wideFromUtf8(file).c_str(), nullptr, nullptr, SW_SHOWNORMAL);
    const auto code = reinterpret_cast<INT_PTR>(answer);
    if (code > 32) return {ImportStatus::Started, ""};
    const std::string byHand = "Import it by opening it in the registry editor (regedit).";
    if (code == SE_ERR_NOASSOC) return {ImportStatus::NoImporter, "No program opens registry files. " + byHand};
    return {ImportStatus::Failed, "The shell could not open it (error " + std::to_string(code) + "). " + byHand};
  }
};

}  // namespace

std::unique_ptr<RegistryImporter> shellRegistryImporter() { return std::make_unique<ShellImporter>(); }

}  // namespace velmor
#endif
