#pragma once

// HTTP-date (RFC 9110, section 5.6.7) matched form by form, character by character, with this
// program's choices: spaces and tabs around the date are skipped; the fields must name a real
// moment; 23:59:60 is read as 23:59:59; the day name need not fit the date; a two-digit year is
// the latest year with those digits that puts the date not more than 50 years after the current
// time.

#include <cstdint>
#include <optional>
#include <string>

namespace tolvaris::naive {

struct HttpDate {
  int64_t year = 0, month = 0, day = 0, hour = 0, minute = 0, second = 0;
  int64_t dayOfWeek = 0;  // Sunday 0
  friend bool operator==(const HttpDate&, const HttpDate&) = default;
};

// now: the current UTC time (dayOfWeek unused).
std::optional<HttpDate> ParseHttpDate(const std::string& text, const HttpDate& now);

// The IMF-fixdate form of a date, as a server sends it.
std::string FormatImfFixdate(const HttpDate& date);

}  // namespace tolvaris::naive
