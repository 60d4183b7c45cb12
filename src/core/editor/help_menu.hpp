#pragma once
// The Help menu's ways out of the program: the manual and the maker's web
// pages through the desktop's "Open", and the release notes in the program
// folder.
#include <optional>
#include <string>

#include "../settings/program_folder.hpp"

namespace velmor {

class FileServices;
class Prompter;
class Shell;

// The maker's four addresses. Each can be replaced at run time by an
// environment variable, so that a test or a mirror can point elsewhere.
struct HelpAddresses {
  std::string manual;    // VELMOR_MANUAL_URL, a PDF document
  std::string version;   // VELMOR_VERSION_URL, read by the update check
  std::string download;  // VELMOR_DOWNLOAD_URL
  std::string home;      // VELMOR_HOME_URL
};

// The built-in addresses with the environment's replacements; an empty
// variable counts as unset.
HelpAddresses helpAddresses(const HelpAddresses& builtIn);

// "Manual": a PDF; "pdf" in the message when nothing opens one.
void openManual(const std::string& address, Shell& shell, Prompter& prompter);
// A web page ("Download Page", the About box's link); "html" in the message.
void openWebPage(const std::string& address, Shell& shell, Prompter& prompter);

// The release notes: programFolder + "/system/whatsnew.txt".
std::string whatsNewPath(const Folders& folders);
// "What's New": the file is opened as it is; a missing file is not reported.
void openWhatsNew(const Folders& folders, Shell& shell);
// Puts the release notes into the system folder when they are missing there;
// notes already present (perhaps a map maker's own) are left alone. Returns
// the error text of a failed write.
std::optional<std::string> installReleaseNotes(const Folders& folders, const std::string& text, FileServices& files);

}  // namespace velmor
