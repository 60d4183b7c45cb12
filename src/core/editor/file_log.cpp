#include "file_log.hpp"

#include <cstdio>
#include <cstdint>
#include <span>

#include "../platform/file_services.hpp"
#include "../settings/settings.hpp"

namespace velmor {

namespace {

std::string twoDigits(int v) {
  char buf[16];
  std::snprintf(buf, sizeof buf, "%02d", v);
  return buf;
}

}  // namespace

std::string logLine(const LocalTime& t, const std::string& message) {
  return twoDigits(t.hour) + ":" + twoDigits(t.minute) + ":" + twoDigits(t.second) + ":" + message;
}

std::string logDate(const LocalTime& t) {
  char year[16];
  std::snprintf(year, sizeof year, "%04d", t.year);
  return twoDigits(t.month) + "-" + twoDigits(t.day) + "-" + year;
}

std::string startupLogMessage(const LocalTime& t) {
  std::string dashes(20, '-');
  return dashes + logDate(t) + dashes;
}

std::string mainLogPath(const std::string& logFolder) { return logFolder + "/tdblog.txt"; }

std::string dayLogPath(const std::string& logFolder, const LocalTime& t) {
  return logFolder + "/tdb_" + logDate(t) + ".txt";
}

void procsave(const std::string& path, const std::string& text) {
  // A log line that cannot be written is skipped; a log that is a link to a
  // pipe or a device is refused rather than waited on.
  const std::string line = text + "\r\n";
  const auto* first = reinterpret_cast<const std::uint8_t*>(line.data());
  (void)systemFiles().appendToFile(path, std::span<const std::uint8_t>(first, line.size()));
}

FileLog::FileLog(const Settings& settings, std::string logFolder, Clock clock)
    : settings_(settings), logFolder_(std::move(logFolder)), clock_(std::move(clock)) {}

void FileLog::savelog(const std::string& message) {
  if (!settings_.logsEnabled) return;
  LocalTime now = clock_();
  std::string path = settings_.newLogEachDay ? dayLogPath(logFolder_, now) : mainLogPath(logFolder_);
  procsave(path, logLine(now, message));
}

void FileLog::logStart() {
  if (!settings_.logsEnabled) return;
  savelog(startupLogMessage(clock_()));
}

}  // namespace velmor
