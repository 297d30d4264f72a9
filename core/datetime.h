#pragma once

#include <cstdint>

#include "core/clock.h"
#include "core/text.h"

namespace tolvaris {

// OLE Automation date: days since 1899-12-30; the fraction is the time of day, counted away
// from zero before day 0 (1899-12-29 06:00 is -1.25). Limits apply when a value is read, never
// when it is produced. A stored NaN reads as EarliestDateTime, +inf as LatestDateTime and
// -inf as EarliestDateTime.
struct DateTime {
  double stored = 0.0;
  friend bool operator==(const DateTime&, const DateTime&) = default;
};

inline constexpr DateTime EarliestDateTime{-657434.0};  // 0100-01-01 00:00:00
inline constexpr DateTime LatestDateTime{2958465.0};    // 9999-12-31 00:00:00

struct DateParts {
  int32_t year = 0;
  int32_t month = 0;
  int32_t day = 0;
  int32_t hour = 0;
  int32_t minute = 0;
  int32_t second = 0;
  friend bool operator==(const DateParts&, const DateParts&) = default;
};

// The stored number as every reading sees it: within [EarliestDateTime, LatestDateTime].
DateTime LimitDateTime(DateTime value);

DateTime ComposeDateTime(int32_t year, int32_t month, int32_t day, int32_t hour, int32_t minute,
                         int32_t second);
DateTime AddHours(DateTime value, int32_t hours);
// first minus second in whole seconds; saturates at +-2147483647 when the values lie further
// apart than the 32-bit range (about 68 years).
int32_t SecondsBetween(DateTime first, DateTime second);
DateParts ReadDateParts(DateTime value);
Text DateTimeToText(DateTime value);
// fmod; a zero divisor is the fatal run-time error "不能求余数于零".
double RealRemainder(double dividend, double divisor);

DateTime CurrentDateTime(Clock& clock);
bool SetLocalClock(Clock& clock, DateTime value);

}  // namespace tolvaris
