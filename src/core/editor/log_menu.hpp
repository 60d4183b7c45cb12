#pragma once
// The Logs menu: "Read Logs" shows the log folder, "Clear Main Log"
// deletes the main log after a question.
#include <string>

namespace velmor {

class Prompter;
class Shell;

void readLogs(const std::string& logFolder, Shell& shell, Prompter& prompter);
// Returns whether the main log was deleted.
bool clearMainLog(const std::string& logFolder, Prompter& prompter);

}  // namespace velmor
