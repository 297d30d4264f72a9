#pragma once

#include <cstdint>

#include "core/clock.h"

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
