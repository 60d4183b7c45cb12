#include "help_menu.hpp"

#include <span>

#include "../common/no_association.hpp"
#include "../platform/file_services.hpp"
#include "../platform/shell.hpp"
#include "../platform/system_facts.hpp"

namespace velmor {

namespace {

std::string fromEnvironment(const char* name, const std::string& builtIn) {
  const std::string value = environmentValue(name).value_or("");
  return value.empty() ? builtIn : value;
}

void openDocument(const std::string& address, const char* kind, Shell& shell, Prompter& prompter) {
  if (shell.open(address) == ShellResult::NoAssociation) reportNoAssociation(kind, prompter);
}

}  // namespace

HelpAddresses helpAddresses(const HelpAddresses& builtIn) {
  return {fromEnvironment("VELMOR_MANUAL_URL", builtIn.manual), fromEnvironment("VELMOR_VERSION_URL", builtIn.version),
          fromEnvironment("VELMOR_DOWNLOAD_URL", builtIn.download), fromEnvironment("VELMOR_HOME_URL", builtIn.home)};
}

void openManual(const std::string& address, Shell& shell, Prompter& prompter) {
  openDocument(address, "pdf", shell, prompter);
}

void openWebPage(const std::string& address, Shell& shell, Prompter& prompter) {
  openDocument(address, "html", shell, prompter);
}

std::string whatsNewPath(const Folders& folders) { return folders.programFolder + "/system/whatsnew.txt"; }

void openWhatsNew(const Folders& folders, Shell& shell) { shell.open(whatsNewPath(folders)); }

std::optional<std::string> installReleaseNotes(const Folders& folders, const std::string& text, FileServices& files) {
  const std::string path = whatsNewPath(folders);
  if (files.exists(path)) return std::nullopt;
  const auto* bytes = reinterpret_cast<const std::uint8_t*>(text.data());
  return files.atomicReplace(path, std::span<const std::uint8_t>(bytes, text.size()));
}

}  // namespace velmor
