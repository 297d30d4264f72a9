#pragma once

#include <optional>
#include <string_view>

#include "core/clock.h"

namespace tolvaris {

// Reads an HTTP-date as RFC 9110 (section 5.6.7) defines it, in any of its three forms:
//   IMF-fixdate   "Sun, 06 Nov 1994 08:49:37 GMT"
//   RFC 850       "Sunday, 06-Nov-94 08:49:37 GMT"
//   asctime       "Sun Nov  6 08:49:37 1994"
// Spaces and tabs before and after the date are skipped; everything else must follow the grammar
// exactly, names included (HTTP-date is case-sensitive). The result holds the date in UTC with
// wDayOfWeek computed from the date (Sunday 0) and wMilliseconds 0; std::nullopt for any text
// that is not such a date.
//
// Choices where the grammar leaves room:
// - Fields must name a real moment: day within its month (leap years by the proleptic Gregorian
//   calendar), hour 0..23, minute 0..59, second 0..59.
// - A leap second, 23:59:60, is accepted as the grammar allows and stored as 23:59:59, so that
//   the record always holds a time a clock can show; the result is one second early at most.
// - The day name must be one of the grammar's names, but it need not match the date: it carries
//   nothing the date does not, and a server that computes it wrongly still sends a good time.
// - The RFC 850 form's two-digit year becomes the latest year with those two digits that is not
//   more than 50 years after nowUtc (the RFC's rule); a year past 9999 is rejected.
std::optional<TimeRecord> ParseHttpDate(std::string_view text, const TimeRecord& nowUtc);

// The same, reading two-digit years against the system clock's current UTC time.
std::optional<TimeRecord> ParseHttpDate(std::string_view text);

// The system clock's current time in UTC, to the second.
TimeRecord CurrentUtcTimeRecord();

}  // namespace tolvaris
