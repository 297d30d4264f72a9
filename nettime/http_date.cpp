#include "nettime/http_date.h"

#include <array>
#include <chrono>
#include <cstdint>
#include <tuple>

namespace tolvaris {
namespace {

constexpr std::array<std::string_view, 7> kShortDayNames = {"Sun", "Mon", "Tue", "Wed",
                                                            "Thu", "Fri", "Sat"};
constexpr std::array<std::string_view, 7> kLongDayNames = {
    "Sunday", "Monday", "Tuesday", "Wednesday", "Thursday", "Friday", "Saturday"};
constexpr std::array<std::string_view, 12> kMonthNames = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                                          "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};

// The fields as read, before any check of their ranges.
struct RawDate {
  int year = 0;    // four digits, or two for the RFC 850 form
  int month = 0;   // [1, 12]
  int day = 0;     // [0, 99] until checked
  int hour = 0;    // [0, 99] until checked
  int minute = 0;  // [0, 99] until checked
  int second = 0;  // [0, 99] until checked
};

// Walks the text from left to right; every step either consumes what it expects or fails.
class Reader {
 public:
  explicit Reader(std::string_view text) : rest_(text) {}

  bool AtEnd() const { return rest_.empty(); }

  bool Literal(std::string_view expected) {
    if (!rest_.starts_with(expected)) return false;
    rest_.remove_prefix(expected.size());
    return true;
  }

  // Exactly count ASCII digits.
  bool Digits(int count, int& value) {
    if (rest_.size() < static_cast<size_t>(count)) return false;
    int result = 0;
    for (int i = 0; i < count; ++i) {
      char c = rest_[i];
      if (c < '0' || c > '9') return false;
      result = result * 10 + (c - '0');
    }
    rest_.remove_prefix(count);
    value = result;
    return true;
  }

  template <size_t N>
  bool OneOf(const std::array<std::string_view, N>& names, int& index) {
    for (size_t i = 0; i < N; ++i) {
      if (Literal(names[i])) {
        index = static_cast<int>(i);
        return true;
      }
    }
    return false;
  }

  bool Month(int& month) {
    int index = 0;
    if (!OneOf(kMonthNames, index)) return false;
    month = index + 1;
    return true;
  }

  // time-of-day = hour ":" minute ":" second
  bool TimeOfDay(RawDate& date) {
    return Digits(2, date.hour) && Literal(":") && Digits(2, date.minute) && Literal(":") &&
           Digits(2, date.second);
  }

 private:
  std::string_view rest_;
};

// IMF-fixdate = day-name "," SP day SP month SP year SP time-of-day SP "GMT"
std::optional<RawDate> ReadImfFixdate(std::string_view text) {
  Reader reader(text);
  RawDate date;
  int dayName = 0;
  if (reader.OneOf(kShortDayNames, dayName) && reader.Literal(", ") && reader.Digits(2, date.day) &&
      reader.Literal(" ") && reader.Month(date.month) && reader.Literal(" ") &&
      reader.Digits(4, date.year) && reader.Literal(" ") && reader.TimeOfDay(date) &&
      reader.Literal(" GMT") && reader.AtEnd()) {
    return date;
  }
  return std::nullopt;
}

// rfc850-date = day-name-l "," SP day "-" month "-" 2DIGIT SP time-of-day SP "GMT"
std::optional<RawDate> ReadRfc850Date(std::string_view text) {
  Reader reader(text);
  RawDate date;
  int dayName = 0;
  if (reader.OneOf(kLongDayNames, dayName) && reader.Literal(", ") && reader.Digits(2, date.day) &&
      reader.Literal("-") && reader.Month(date.month) && reader.Literal("-") &&
      reader.Digits(2, date.year) && reader.Literal(" ") && reader.TimeOfDay(date) &&
      reader.Literal(" GMT") && reader.AtEnd()) {
    return date;
  }
  return std::nullopt;
}

// asctime-date = day-name SP month SP ( 2DIGIT / ( SP DIGIT ) ) SP time-of-day SP year
std::optional<RawDate> ReadAsctimeDate(std::string_view text) {
  Reader reader(text);
  RawDate date;
  int dayName = 0;
  if (!reader.OneOf(kShortDayNames, dayName) || !reader.Literal(" ") || !reader.Month(date.month) ||
      !reader.Literal(" ")) {
    return std::nullopt;
  }
  bool dayRead = reader.Literal(" ") ? reader.Digits(1, date.day) : reader.Digits(2, date.day);
  if (dayRead && reader.Literal(" ") && reader.TimeOfDay(date) && reader.Literal(" ") &&
      reader.Digits(4, date.year) && reader.AtEnd()) {
    return date;
  }
  return std::nullopt;
}

// The RFC's rule for rfc850-date: a timestamp that appears to be more than 50 years in the
// future stands for the most recent year in the past with the same last two digits. Of the
// three candidate centuries around now, the latest one not past that horizon is taken.
int ResolveTwoDigitYear(const RawDate& date, const TimeRecord& nowUtc) {
  const int horizonYear = nowUtc.wYear + 50;
  const auto horizon = std::make_tuple(horizonYear, int{nowUtc.wMonth}, int{nowUtc.wDay},
                                       int{nowUtc.wHour}, int{nowUtc.wMinute}, int{nowUtc.wSecond});
  const int currentCentury = nowUtc.wYear - nowUtc.wYear % 100;
  for (int year = currentCentury + 100 + date.year; year >= 0; year -= 100) {
    if (std::make_tuple(year, date.month, date.day, date.hour, date.minute, date.second) <=
        horizon) {
      return year;
    }
  }
  return date.year;
}

std::optional<TimeRecord> ToTimeRecord(const RawDate& date) {
  using namespace std::chrono;
  if (date.year < 0 || date.year > 9999) return std::nullopt;
  const year_month_day ymd{year{date.year}, month{static_cast<unsigned>(date.month)},
                           day{static_cast<unsigned>(date.day)}};
  if (!ymd.ok()) return std::nullopt;  // 00 Jan, 30 Feb, 29 Feb of a common year, 31 Apr...
  if (date.hour > 23 || date.minute > 59) return std::nullopt;
  const bool leapSecond = date.second == 60 && date.hour == 23 && date.minute == 59;
  if (date.second > 59 && !leapSecond) return std::nullopt;

  TimeRecord record;
  record.wYear = static_cast<uint16_t>(date.year);
  record.wMonth = static_cast<uint16_t>(date.month);
  record.wDayOfWeek = static_cast<uint16_t>(weekday{sys_days{ymd}}.c_encoding());
  record.wDay = static_cast<uint16_t>(date.day);
  record.wHour = static_cast<uint16_t>(date.hour);
  record.wMinute = static_cast<uint16_t>(date.minute);
  record.wSecond = static_cast<uint16_t>(leapSecond ? 59 : date.second);
  record.wMilliseconds = 0;
  return record;
}

std::string_view TrimSpacesAndTabs(std::string_view text) {
  const auto isBlank = [](char c) { return c == ' ' || c == '\t'; };
  while (!text.empty() && isBlank(text.front())) text.remove_prefix(1);
  while (!text.empty() && isBlank(text.back())) text.remove_suffix(1);
  return text;
}

}  // namespace

std::optional<TimeRecord> ParseHttpDate(std::string_view text, const TimeRecord& nowUtc) {
  const std::string_view date = TrimSpacesAndTabs(text);
  if (auto fixdate = ReadImfFixdate(date)) return ToTimeRecord(*fixdate);
  if (auto rfc850 = ReadRfc850Date(date)) {
    rfc850->year = ResolveTwoDigitYear(*rfc850, nowUtc);
    return ToTimeRecord(*rfc850);
  }
  if (auto asctime = ReadAsctimeDate(date)) return ToTimeRecord(*asctime);
  return std::nullopt;
}

std::optional<TimeRecord> ParseHttpDate(std::string_view text) {
  return ParseHttpDate(text, CurrentUtcTimeRecord());
}

TimeRecord CurrentUtcTimeRecord() {
  using namespace std::chrono;
  const auto now = floor<seconds>(system_clock::now());
  const auto today = floor<days>(now);
  const year_month_day ymd{today};
  const hh_mm_ss timeOfDay{now - today};
  TimeRecord record;
  record.wYear = static_cast<uint16_t>(static_cast<int>(ymd.year()));
  record.wMonth = static_cast<uint16_t>(static_cast<unsigned>(ymd.month()));
  record.wDayOfWeek = static_cast<uint16_t>(weekday{today}.c_encoding());
  record.wDay = static_cast<uint16_t>(static_cast<unsigned>(ymd.day()));
  record.wHour = static_cast<uint16_t>(timeOfDay.hours().count());
  record.wMinute = static_cast<uint16_t>(timeOfDay.minutes().count());
  record.wSecond = static_cast<uint16_t>(timeOfDay.seconds().count());
  return record;
}

}  // namespace tolvaris
