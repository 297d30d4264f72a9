#pragma once

#include <windows.h>

#include "core/clock.h"

namespace tolvaris {

// TimeRecord is SYSTEMTIME field for field; copying by name keeps that true whatever the padding.
inline SYSTEMTIME ToSystemTime(const TimeRecord& record) {
  SYSTEMTIME time{};
  time.wYear = record.wYear;
  time.wMonth = record.wMonth;
  time.wDayOfWeek = record.wDayOfWeek;
  time.wDay = record.wDay;
  time.wHour = record.wHour;
  time.wMinute = record.wMinute;
  time.wSecond = record.wSecond;
  time.wMilliseconds = record.wMilliseconds;
  return time;
}

inline TimeRecord FromSystemTime(const SYSTEMTIME& time) {
  TimeRecord record;
  record.wYear = time.wYear;
  record.wMonth = time.wMonth;
  record.wDayOfWeek = time.wDayOfWeek;
  record.wDay = time.wDay;
  record.wHour = time.wHour;
  record.wMinute = time.wMinute;
  record.wSecond = time.wSecond;
  record.wMilliseconds = time.wMilliseconds;
  return record;
}

}  // namespace tolvaris
