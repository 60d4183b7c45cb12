#pragma once
// The log files of the logs folder: one main log, or one log per day.
#include <string>

#include "../platform/clock.hpp"
#include "../common/log_sink.hpp"

namespace velmor {

struct Settings;

// "14:03:22:" + message.
std::string logLine(const LocalTime& time, const std::string& message);
// "12-07-2026": two-digit month and day, four-digit year.
std::string logDate(const LocalTime& time);
// The start-up line: 20 "-", the date, 20 "-".
std::string startupLogMessage(const LocalTime& time);

std::string mainLogPath(const std::string& logFolder);                        // logFolder/tdblog.txt
std::string dayLogPath(const std::string& logFolder, const LocalTime& time);  // logFolder/tdb_MM-DD-YYYY.txt

// Appends text + CR LF to the file, creating it when missing. A failure
// loses the line silently: logging never interrupts the user.
void procsave(const std::string& path, const std::string& text);

// Writes to the main log or today's day log as the settings say, and
// nothing while logging is off. The settings are read at every line, so a
// change in the preferences takes effect at once.
class FileLog : public LogSink {
 public:
  FileLog(const Settings& settings, std::string logFolder, Clock clock = systemClock());
  void savelog(const std::string& message) override;
  // Start-up's dashed date line.
  void logStart();

 private:
  const Settings& settings_;
  std::string logFolder_;
  Clock clock_;
};

}  // namespace velmor
