#pragma once
// Where the editor's log lines go ("Saved:" + path, "Changed Routing" ...).
// The file log of the logs folder implements it; callers without a log use
// the silent one.
#include <string>

namespace velmor {

class LogSink {
 public:
  virtual ~LogSink() = default;
  // Appends one line (the sink adds the time and decides whether logging is on).
  virtual void savelog(const std::string& message) = 0;
};

class SilentLog : public LogSink {
 public:
  void savelog(const std::string&) override {}
};

}  // namespace velmor
