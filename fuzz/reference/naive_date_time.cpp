#include "fuzz/reference/naive_date_time.h"

#include <cmath>
#include <string>
#include <vector>

#include "core/gbk_literals.h"

namespace tolvaris::naive {
namespace {

constexpr double kHalfSecond = 5.787037037037037e-6;
constexpr double kOneSecond = 1.1574074074074073e-5;
constexpr double kOneHour = 0.041666666666666664;

bool IsLeapYear(int64_t year) { return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0; }

// The calendar from 0100-01-01 (day -657434) to 9999-12-31 (day 2958465), counted out one day at
// a time: the date of every day number, and the day number of every year's first day.
struct Calendar {
  struct Date {
    uint16_t year;
    uint8_t month;
    uint8_t day;
  };
  std::vector<Date> dates;
  std::vector<int64_t> firstDayOfYear;  // by year - 100

  Calendar() {
    Date date{100, 1, 1};
    for (int64_t n = static_cast<int64_t>(kEarliest); n <= static_cast<int64_t>(kLatest); ++n) {
      if (date.month == 1 && date.day == 1) firstDayOfYear.push_back(n);
      dates.push_back(date);
      if (date.day < DaysInMonth(date.year, date.month)) {
        ++date.day;
      } else if (date.month < 12) {
        date.day = 1;
        ++date.month;
      } else {
        date = {static_cast<uint16_t>(date.year + 1), 1, 1};
      }
    }
  }
};

const Calendar& TheCalendar() {
  static const Calendar calendar;
  return calendar;
}

// Days from 1899-12-30 to the date.
int64_t DayNumber(int64_t year, int64_t month, int64_t day) {
  int64_t days = TheCalendar().firstDayOfYear[static_cast<size_t>(year - 100)];
  for (int64_t m = 1; m < month; ++m) days += DaysInMonth(year, m);
  return days + day - 1;
}

double LinearDays(double stored) { return stored >= 0 ? stored : 2 * std::ceil(stored) - stored; }

double StoredFromLinear(double linear) {
  return linear >= 0 ? linear : 2 * std::floor(linear) - linear;
}

int64_t Clamped(int64_t value, int64_t lowest, int64_t highest) {
  if (value < lowest) return lowest;
  if (value > highest) return highest;
  return value;
}

double RoundedToSecond(double stored) {
  double limited = Limit(stored);
  return limited > 0 ? limited + kHalfSecond : limited - kHalfSecond;
}

}  // namespace

int64_t DaysInMonth(int64_t year, int64_t month) {
  const int64_t lengths[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  if (month == 2 && IsLeapYear(year)) return 29;
  return lengths[month - 1];
}

double Limit(double stored) {
  if (std::isnan(stored)) return kEarliest;
  if (stored < kEarliest) return kEarliest;
  if (stored > kLatest) return kLatest;
  return stored;
}

double Compose(int64_t year, int64_t month, int64_t day, int64_t hour, int64_t minute,
               int64_t second) {
  year = Clamped(year, 100, 9999);
  month = Clamped(month, 1, 12);
  day = Clamped(day, 1, 31);
  hour = Clamped(hour, 0, 23);
  minute = Clamped(minute, 0, 59);
  second = Clamped(second, 0, 59);
  if (day > DaysInMonth(year, month)) day = DaysInMonth(year, month);
  double n = static_cast<double>(DayNumber(year, month, day));
  double t = static_cast<double>(hour * 3600 + minute * 60 + second) * kOneSecond;
  return n >= 0 ? n + t : n - t;
}

double AddHours(double stored, int32_t hours) {
  if (hours == 0) return stored;
  return StoredFromLinear(LinearDays(Limit(stored)) + static_cast<double>(hours) * kOneHour);
}

int64_t SecondsBetween(double first, double second) {
  if (first == second) return 0;
  double days = LinearDays(Limit(first)) - LinearDays(Limit(second));
  double seconds = days * 86400;
  if (seconds > 0) seconds += kHalfSecond;
  if (seconds < 0) seconds -= kHalfSecond;
  double whole = std::trunc(seconds);
  if (whole > 2147483647.0) return 2147483647;
  if (whole < -2147483647.0) return -2147483647;
  return static_cast<int64_t>(whole);
}

Parts ReadParts(double stored) {
  double rounded = RoundedToSecond(stored);
  int64_t dayNumber = static_cast<int64_t>(std::trunc(rounded));
  double magnitude = std::fabs(rounded);
  double fraction = magnitude - std::floor(magnitude);
  int64_t secondOfDay = static_cast<int64_t>(std::trunc(fraction * 86400));

  const Calendar::Date& date =
      TheCalendar().dates[static_cast<size_t>(dayNumber - static_cast<int64_t>(kEarliest))];
  Parts parts;
  parts.year = date.year;
  parts.month = date.month;
  parts.day = date.day;
  parts.hour = secondOfDay / 3600;
  parts.minute = secondOfDay % 3600 / 60;
  parts.second = secondOfDay % 60;
  return parts;
}

int64_t DayOfWeek(double stored) {
  // 1899-12-30 was a Saturday.
  int64_t dayNumber = static_cast<int64_t>(std::trunc(RoundedToSecond(stored)));
  return ((dayNumber % 7 + 7) % 7 + 6) % 7;
}

Bytes PartsText(const Parts& p) {
  auto number = [](int64_t value) { return std::to_string(value); };
  Bytes text = number(p.year) + gbk::kYearSuffix + number(p.month) + gbk::kMonthSuffix +
               number(p.day) + gbk::kDaySuffix;
  if (p.second != 0) {
    return text + number(p.hour) + gbk::kHourSuffix + number(p.minute) + gbk::kMinuteSuffix +
           number(p.second) + gbk::kSecondSuffix;
  }
  if (p.minute != 0)
    return text + number(p.hour) + gbk::kHourSuffix + number(p.minute) + gbk::kMinuteSuffix;
  if (p.hour != 0) return text + number(p.hour) + gbk::kHourSuffix;
  return text;
}

Bytes DifferenceText(int64_t seconds) {
  if (seconds < 0) seconds = -seconds;
  int64_t days = seconds / 86400;
  int64_t hours = seconds % 86400 / 3600;
  int64_t minutes = seconds % 3600 / 60;
  int64_t rest = seconds % 60;
  Bytes text;
  if (days != 0) text += std::to_string(days) + gbk::kDaysSuffix;
  if (hours != 0) text += std::to_string(hours) + gbk::kHourSuffix;
  if (minutes != 0) text += std::to_string(minutes) + gbk::kMinuteSuffix;
  if (rest != 0) text += std::to_string(rest) + gbk::kSecondSuffix;
  return text;
}

}  // namespace tolvaris::naive
