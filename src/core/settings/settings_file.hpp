#pragma once
// Reading and writing velmor.dat in the system folder.
#include <string>

#include "program_folder.hpp"
#include "settings.hpp"

namespace velmor {

class Prompter;

// Reads the settings file into `settings` when it exists and returns
// whether it did. A missing or unreadable file is not an error: the
// settings keep their values.
bool loaddata(const Folders& folders, Settings& settings);

// Writes the settings file (the caller has put the window's state into
// `settings`). A failure is shown through `prompter`; the old file stays.
bool savedata(const Folders& folders, const Settings& settings, Prompter& prompter);

// Start-up's settings: lastMapFolder is the program folder unless the file
// says otherwise.
Settings startupSettings(const Folders& folders, bool* fileFound = nullptr);

}  // namespace velmor
