#pragma once

// The date-time operations as described, on a calendar counted out one day at a time from
// 0100-01-01 to 9999-12-31 (built once, on first use).

#include <cstdint>

#include "fuzz/reference/naive_text.h"

namespace tolvaris::naive {

struct Parts {
  int64_t year = 0, month = 0, day = 0, hour = 0, minute = 0, second = 0;
  friend bool operator==(const Parts&, const Parts&) = default;
};

inline constexpr double kEarliest = -657434.0;
inline constexpr double kLatest = 2958465.0;

double Limit(double stored);
double Compose(int64_t year, int64_t month, int64_t day, int64_t hour, int64_t minute,
               int64_t second);
double AddHours(double stored, int32_t hours);
int64_t SecondsBetween(double first, double second);
Parts ReadParts(double stored);
// Sunday 0 to Saturday 6, of the date ReadParts gives.
int64_t DayOfWeek(double stored);
Bytes PartsText(const Parts& parts);
Bytes DifferenceText(int64_t seconds);
int64_t DaysInMonth(int64_t year, int64_t month);

}  // namespace tolvaris::naive
