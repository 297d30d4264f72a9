#include "core/datetime.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "core/fatal_error.h"
#include "core/gbk_literals.h"

namespace tolvaris {
namespace {

constexpr double kOneSecond = 1.1574074074074073e-5;  // the double nearest 1/86400 of a day
constexpr double kHalfSecond = 5.787037037037037e-6;  // of a day; also the guard, in seconds
constexpr double kOneHour = 0.041666666666666664;     // the double nearest 1/24 of a day
constexpr int64_t kUnixEpochDay = 25569;              // 1970-01-01 counted from 1899-12-30

bool IsLeapYear(int64_t year) { return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0; }

int32_t DaysInMonth(int32_t year, int32_t month) {  // month in [1, 12]
  constexpr int32_t kDays[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  return month == 2 && IsLeapYear(year) ? 29 : kDays[month - 1];
}

int64_t FloorDivide(int64_t value, int64_t divisor) {
  return value / divisor - ((value % divisor != 0) && ((value < 0) != (divisor < 0)) ? 1 : 0);
}

// Days from 1899-12-30 to a proleptic Gregorian date (after H. Hinnant's days_from_civil).
// Defined for any fields the 16-bit clock record can carry, though only real dates mean anything.
int64_t DayNumber(int64_t year, int64_t month, int64_t day) {
  year -= month <= 2 ? 1 : 0;
  const int64_t era = FloorDivide(year, 400);
  const int64_t yearOfEra = year - era * 400;  // [0, 399]
  const int64_t dayOfYear = (153 * (month > 2 ? month - 3 : month + 9) + 2) / 5 + day - 1;
  const int64_t dayOfEra = yearOfEra * 365 + yearOfEra / 4 - yearOfEra / 100 + dayOfYear;
  return era * 146097 + dayOfEra - 719468 + kUnixEpochDay;
}

struct CalendarDate {
  int32_t year;
  int32_t month;
  int32_t day;
};

// The inverse of DayNumber (H. Hinnant's civil_from_days).
CalendarDate DateOfDayNumber(int64_t dayNumber) {
  const int64_t shifted = dayNumber - kUnixEpochDay + 719468;
  const int64_t era = FloorDivide(shifted, 146097);
  const int64_t dayOfEra = shifted - era * 146097;  // [0, 146096]
  const int64_t yearOfEra =
      (dayOfEra - dayOfEra / 1460 + dayOfEra / 36524 - dayOfEra / 146096) / 365;  // [0, 399]
  const int64_t dayOfYear = dayOfEra - (365 * yearOfEra + yearOfEra / 4 - yearOfEra / 100);
  const int64_t monthIndex = (5 * dayOfYear + 2) / 153;  // [0, 11], March first
  const int64_t day = dayOfYear - (153 * monthIndex + 2) / 5 + 1;
  const int64_t month = monthIndex < 10 ? monthIndex + 3 : monthIndex - 9;
  const int64_t year = yearOfEra + era * 400 + (month <= 2 ? 1 : 0);
  return {static_cast<int32_t>(year), static_cast<int32_t>(month), static_cast<int32_t>(day)};
}

// Sunday 0 to Saturday 6; 1899-12-30 was a Saturday.
uint16_t DayOfWeek(int64_t dayNumber) { return static_cast<uint16_t>((dayNumber % 7 + 7 + 6) % 7); }

// Steps 3 and 4 of composing: the day count and the time of day, which counts away from zero
// before 1899-12-30.
DateTime StoredDateTime(int64_t dayNumber, int64_t secondOfDay) {
  const double days = static_cast<double>(dayNumber);
  const double timeOfDay = static_cast<double>(secondOfDay) * kOneSecond;
  return DateTime{dayNumber >= 0 ? days + timeOfDay : days - timeOfDay};
}

// The signed number of days since 1899-12-30 00:00, and back.
double LinearDays(double stored) { return stored >= 0 ? stored : 2 * std::ceil(stored) - stored; }
double StoredOfLinear(double linear) {
  return linear >= 0 ? linear : 2 * std::floor(linear) - linear;
}

struct DayAndTime {
  int64_t dayNumber;
  DateParts parts;
};

DayAndTime ReadDayAndTime(DateTime value) {
  const double stored = LimitDateTime(value).stored;
  const double moved = stored > 0 ? stored + kHalfSecond : stored - kHalfSecond;
  const double whole = std::trunc(moved);
  // Limited, so whole lies in [-657434, 2958465] and every conversion below is in range.
  const int64_t dayNumber = static_cast<int64_t>(whole);
  const double fraction = std::fabs(moved) - std::fabs(whole);  // exact: [0, 1)
  const int32_t secondOfDay = std::min(static_cast<int32_t>(fraction * 86400.0), 86399);

  const CalendarDate date = DateOfDayNumber(dayNumber);
  DateParts parts;
  parts.year = date.year;
  parts.month = date.month;
  parts.day = date.day;
  parts.hour = secondOfDay / 3600;
  parts.minute = secondOfDay / 60 % 60;
  parts.second = secondOfDay % 60;
  return {dayNumber, parts};
}

}  // namespace

DateTime LimitDateTime(DateTime value) {
  // NaN fails both comparisons below, so it is caught first; the infinities fall out by sign.
  if (std::isnan(value.stored)) return EarliestDateTime;
  if (value.stored < EarliestDateTime.stored) return EarliestDateTime;
  if (value.stored > LatestDateTime.stored) return LatestDateTime;
  return value;
}

DateTime ComposeDateTime(int32_t year, int32_t month, int32_t day, int32_t hour, int32_t minute,
                         int32_t second) {
  // Each field on its own: no carry from one into the next.
  year = std::clamp(year, 100, 9999);
  month = std::clamp(month, 1, 12);
  day = std::clamp(day, 1, DaysInMonth(year, month));
  hour = std::clamp(hour, 0, 23);
  minute = std::clamp(minute, 0, 59);
  second = std::clamp(second, 0, 59);
  return StoredDateTime(DayNumber(year, month, day), hour * 3600 + minute * 60 + second);
}

DateTime AddHours(DateTime value, int32_t hours) {
  if (hours == 0) return value;
  const double linear = LinearDays(LimitDateTime(value).stored) + hours * kOneHour;
  // Not limited here: limits apply when the result is read.
  return DateTime{StoredOfLinear(linear)};
}

int32_t SecondsBetween(DateTime first, DateTime second) {
  if (first.stored == second.stored) return 0;
  const double days =
      LinearDays(LimitDateTime(first).stored) - LinearDays(LimitDateTime(second).stored);
  double seconds = days * 86400.0;
  if (seconds > 0) seconds += kHalfSecond;
  if (seconds < 0) seconds -= kHalfSecond;
  // The limits are about 3.6 million days apart, more than the 32-bit range of seconds holds.
  constexpr int32_t kMost = std::numeric_limits<int32_t>::max();
  if (seconds >= kMost) return kMost;
  if (seconds <= -kMost) return -kMost;
  return static_cast<int32_t>(seconds);
}

DateParts ReadDateParts(DateTime value) { return ReadDayAndTime(value).parts; }

Text DateTimeToText(DateTime value) {
  const DateParts parts = ReadDateParts(value);
  const Text date = ConcatTexts({IntegerToText(parts.year).View(), gbk::kYearSuffix,
                                 IntegerToText(parts.month).View(), gbk::kMonthSuffix,
                                 IntegerToText(parts.day).View(), gbk::kDaySuffix});
  const Text hour = IntegerToText(parts.hour);
  const Text minute = IntegerToText(parts.minute);
  // The time of day is shown down to its last field that is not zero.
  if (parts.second != 0) {
    return ConcatTexts({date.View(), hour.View(), gbk::kHourSuffix, minute.View(),
                        gbk::kMinuteSuffix, IntegerToText(parts.second).View(),
                        gbk::kSecondSuffix});
  }
  if (parts.minute != 0) {
    return ConcatTexts(
        {date.View(), hour.View(), gbk::kHourSuffix, minute.View(), gbk::kMinuteSuffix});
  }
  if (parts.hour != 0) return ConcatTexts({date.View(), hour.View(), gbk::kHourSuffix});
  return date;
}

double RealRemainder(double dividend, double divisor) {
  if (divisor == 0.0) RaiseFatalError(Text(gbk::kRemainderByZero));
  return std::fmod(dividend, divisor);
}

DateTime CurrentDateTime(Clock& clock) {
  const TimeRecord now = clock.ReadLocalTime();
  // The milliseconds are dropped: the program works to the second.
  return StoredDateTime(DayNumber(now.wYear, now.wMonth, now.wDay),
                        int64_t{now.wHour} * 3600 + int64_t{now.wMinute} * 60 + now.wSecond);
}

bool SetLocalClock(Clock& clock, DateTime value) {
  const DayAndTime read = ReadDayAndTime(value);
  TimeRecord record;
  record.wYear = static_cast<uint16_t>(read.parts.year);
  record.wMonth = static_cast<uint16_t>(read.parts.month);
  record.wDayOfWeek = DayOfWeek(read.dayNumber);
  record.wDay = static_cast<uint16_t>(read.parts.day);
  record.wHour = static_cast<uint16_t>(read.parts.hour);
  record.wMinute = static_cast<uint16_t>(read.parts.minute);
  record.wSecond = static_cast<uint16_t>(read.parts.second);
  record.wMilliseconds = 0;
  return clock.SetLocalTime(record);
}

}  // namespace tolvaris
