#include "core/clock.h"

namespace tolvaris {
namespace {

bool IsLeapYear(int year) { return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0; }

int DaysInMonth(int year, int month) {
  constexpr int kDays[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  return month == 2 && IsLeapYear(year) ? 29 : kDays[month - 1];
}

}  // namespace

bool IsSettableTimeRecord(const TimeRecord& record) {
  if (record.wYear < 1601 || record.wYear > 30827) return false;
  if (record.wMonth < 1 || record.wMonth > 12) return false;
  if (record.wDay < 1 || record.wDay > DaysInMonth(record.wYear, record.wMonth)) return false;
  return record.wHour <= 23 && record.wMinute <= 59 && record.wSecond <= 59 &&
         record.wMilliseconds <= 999;
}

}  // namespace tolvaris
