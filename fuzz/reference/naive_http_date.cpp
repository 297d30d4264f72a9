#include "fuzz/reference/naive_http_date.h"

#include <cstdio>
#include <vector>

namespace tolvaris::naive {
namespace {

const std::vector<std::string> kDayNames = {"Sun", "Mon", "Tue", "Wed", "Thu", "Fri", "Sat"};
const std::vector<std::string> kLongDayNames = {"Sunday",   "Monday", "Tuesday", "Wednesday",
                                                "Thursday", "Friday", "Saturday"};
const std::vector<std::string> kMonthNames = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                              "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};

bool IsLeapYear(int64_t year) { return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0; }

int64_t DaysInMonth(int64_t year, int64_t month) {
  const int64_t lengths[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  if (month == 2 && IsLeapYear(year)) return 29;
  return lengths[month - 1];
}

// 0000-01-01 of the proleptic Gregorian calendar was a Saturday.
int64_t DayOfWeek(int64_t year, int64_t month, int64_t day) {
  int64_t days = 0;
  for (int64_t y = 0; y < year; ++y) days += IsLeapYear(y) ? 366 : 365;
  for (int64_t m = 1; m < month; ++m) days += DaysInMonth(year, m);
  days += day - 1;
  return (6 + days) % 7;
}

// Reads the text from left to right; any step that does not fit spoils the whole reading.
class Cursor {
 public:
  explicit Cursor(const std::string& text) : text_(text) {}

  void Literal(const std::string& expected) {
    for (char c : expected) {
      if (position_ >= text_.size() || text_[position_] != c) ok_ = false;
      ++position_;
    }
  }
  int64_t Digits(int count) {
    int64_t value = 0;
    for (int i = 0; i < count; ++i) {
      if (position_ >= text_.size() || text_[position_] < '0' || text_[position_] > '9') {
        ok_ = false;
      } else {
        value = value * 10 + (text_[position_] - '0');
      }
      ++position_;
    }
    return value;
  }
  // The index of the name that stands here; names are tried in turn, each from this position.
  int64_t OneOf(const std::vector<std::string>& names) {
    if (position_ > text_.size()) ok_ = false;
    for (size_t i = 0; ok_ && i < names.size(); ++i) {
      if (text_.compare(position_, names[i].size(), names[i]) == 0) {
        position_ += names[i].size();
        return static_cast<int64_t>(i);
      }
    }
    ok_ = false;
    return 0;
  }
  bool At(char c) const { return position_ < text_.size() && text_[position_] == c; }
  bool Finished() const { return ok_ && position_ == text_.size(); }

 private:
  const std::string& text_;
  size_t position_ = 0;
  bool ok_ = true;
};

void TimeOfDay(Cursor& cursor, HttpDate& date) {
  date.hour = cursor.Digits(2);
  cursor.Literal(":");
  date.minute = cursor.Digits(2);
  cursor.Literal(":");
  date.second = cursor.Digits(2);
}

std::optional<HttpDate> ImfFixdate(const std::string& text) {
  Cursor cursor(text);
  HttpDate date;
  cursor.OneOf(kDayNames);
  cursor.Literal(", ");
  date.day = cursor.Digits(2);
  cursor.Literal(" ");
  date.month = cursor.OneOf(kMonthNames) + 1;
  cursor.Literal(" ");
  date.year = cursor.Digits(4);
  cursor.Literal(" ");
  TimeOfDay(cursor, date);
  cursor.Literal(" GMT");
  if (!cursor.Finished()) return std::nullopt;
  return date;
}

std::optional<HttpDate> Rfc850Date(const std::string& text, const HttpDate& now) {
  Cursor cursor(text);
  HttpDate date;
  cursor.OneOf(kLongDayNames);
  cursor.Literal(", ");
  date.day = cursor.Digits(2);
  cursor.Literal("-");
  date.month = cursor.OneOf(kMonthNames) + 1;
  cursor.Literal("-");
  int64_t twoDigits = cursor.Digits(2);
  cursor.Literal(" ");
  TimeOfDay(cursor, date);
  cursor.Literal(" GMT");
  if (!cursor.Finished()) return std::nullopt;
  // Fifty years on from now, field by field; a date after that is a century earlier.
  HttpDate latest = now;
  latest.year += 50;
  date.year = latest.year;
  while (date.year % 100 != twoDigits) --date.year;
  const int64_t dateFields[] = {date.year, date.month,  date.day,
                                date.hour, date.minute, date.second};
  const int64_t latestFields[] = {latest.year, latest.month,  latest.day,
                                  latest.hour, latest.minute, latest.second};
  for (int i = 0; i < 6; ++i) {
    if (dateFields[i] != latestFields[i]) {
      if (dateFields[i] > latestFields[i]) date.year -= 100;
      break;
    }
  }
  return date;
}

std::optional<HttpDate> AsctimeDate(const std::string& text) {
  Cursor cursor(text);
  HttpDate date;
  cursor.OneOf(kDayNames);
  cursor.Literal(" ");
  date.month = cursor.OneOf(kMonthNames) + 1;
  cursor.Literal(" ");
  if (cursor.At(' ')) {
    cursor.Literal(" ");
    date.day = cursor.Digits(1);
  } else {
    date.day = cursor.Digits(2);
  }
  cursor.Literal(" ");
  TimeOfDay(cursor, date);
  cursor.Literal(" ");
  date.year = cursor.Digits(4);
  if (!cursor.Finished()) return std::nullopt;
  return date;
}

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

}  // namespace

std::optional<HttpDate> ParseHttpDate(const std::string& text, const HttpDate& now) {
  size_t begin = 0, end = text.size();
  while (begin < end && IsBlank(text[begin])) ++begin;
  while (end > begin && IsBlank(text[end - 1])) --end;
  std::string date = text.substr(begin, end - begin);

  std::optional<HttpDate> read = ImfFixdate(date);
  if (!read) read = Rfc850Date(date, now);
  if (!read) read = AsctimeDate(date);
  if (!read) return std::nullopt;

  if (read->year > 9999) return std::nullopt;
  if (read->day < 1 || read->day > DaysInMonth(read->year, read->month)) return std::nullopt;
  if (read->hour > 23 || read->minute > 59) return std::nullopt;
  bool leapSecond = read->hour == 23 && read->minute == 59 && read->second == 60;
  if (read->second > 59 && !leapSecond) return std::nullopt;
  if (leapSecond) read->second = 59;
  read->dayOfWeek = DayOfWeek(read->year, read->month, read->day);
  return read;
}

std::string FormatImfFixdate(const HttpDate& date) {
  char text[64];
  std::snprintf(text, sizeof text, "%s, %02lld %s %04lld %02lld:%02lld:%02lld GMT",
                kDayNames[static_cast<size_t>(date.dayOfWeek)].c_str(),
                static_cast<long long>(date.day),
                kMonthNames[static_cast<size_t>(date.month - 1)].c_str(),
                static_cast<long long>(date.year), static_cast<long long>(date.hour),
                static_cast<long long>(date.minute), static_cast<long long>(date.second));
  return text;
}

}  // namespace tolvaris::naive
