#pragma once

#include <cstdint>
#include <cstdio>
#include <ostream>

#include "core/clock.h"

namespace tolvaris {

// Test names and failure messages show a record as its date and time.
inline void PrintTo(const TimeRecord& r, std::ostream* os) {
  char text[48];
  std::snprintf(text, sizeof text, "%04u-%02u-%02u %02u:%02u:%02u.%03u", r.wYear, r.wMonth, r.wDay,
                r.wHour, r.wMinute, r.wSecond, r.wMilliseconds);
  *os << text;
}

}  // namespace tolvaris

namespace tolvaris::testing {

// A TimeRecord from its fields; wDayOfWeek is left 0 unless given.
inline TimeRecord MakeTimeRecord(int year, int month, int day, int hour = 0, int minute = 0,
                                 int second = 0, int milliseconds = 0, int dayOfWeek = 0) {
  TimeRecord record;
  record.wYear = static_cast<uint16_t>(year);
  record.wMonth = static_cast<uint16_t>(month);
  record.wDayOfWeek = static_cast<uint16_t>(dayOfWeek);
  record.wDay = static_cast<uint16_t>(day);
  record.wHour = static_cast<uint16_t>(hour);
  record.wMinute = static_cast<uint16_t>(minute);
  record.wSecond = static_cast<uint16_t>(second);
  record.wMilliseconds = static_cast<uint16_t>(milliseconds);
  return record;
}

}  // namespace tolvaris::testing
