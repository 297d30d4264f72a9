#pragma once

#include <cstdint>

namespace tolvaris {

// The Windows SYSTEMTIME record, field for field: the clock and the HTTP-date parser speak it.
struct TimeRecord {
  uint16_t wYear = 0;
  uint16_t wMonth = 0;
  uint16_t wDayOfWeek = 0;
  uint16_t wDay = 0;
  uint16_t wHour = 0;
  uint16_t wMinute = 0;
  uint16_t wSecond = 0;
  uint16_t wMilliseconds = 0;

  friend bool operator==(const TimeRecord&, const TimeRecord&) = default;
};

// The computer's local wall clock. One realisation per platform; tests use a simulated one.
class Clock {
 public:
  virtual ~Clock() = default;
  // The local wall-clock time (GetLocalTime).
  virtual TimeRecord ReadLocalTime() = 0;
  // Sets the local wall-clock time (SetLocalTime); true when the clock was set.
  virtual bool SetLocalTime(const TimeRecord& localTime) = 0;
};

// What Windows' SetLocalTime accepts: a year from 1601 to 30827, every field in its range, the
// day within its month. wDayOfWeek is not checked (Windows ignores it).
bool IsSettableTimeRecord(const TimeRecord& record);

}  // namespace tolvaris
