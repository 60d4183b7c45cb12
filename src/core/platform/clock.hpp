#pragma once
// The local date and time, behind a function so that the log can be
// driven by a fixed clock.
#include <functional>

namespace velmor {

struct LocalTime {
  int year = 1970;
  int month = 1;  // 1-12
  int day = 1;    // 1-31
  int hour = 0;
  int minute = 0;
  int second = 0;
};

using Clock = std::function<LocalTime()>;

LocalTime localTimeNow();
inline Clock systemClock() { return localTimeNow; }

}  // namespace velmor
