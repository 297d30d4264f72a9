#include "nettime/http_date.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <ctime>
#include <optional>
#include <ostream>
#include <string>

#include "support/time_record.h"

namespace tolvaris {
namespace {

// y, m, d, h, min, s, day of week (Sunday 0); milliseconds are always 0.
TimeRecord Utc(int year, int month, int day, int hour, int minute, int second, int dayOfWeek) {
  return testing::MakeTimeRecord(year, month, day, hour, minute, second, 0, dayOfWeek);
}

const TimeRecord kMid2025 = Utc(2025, 6, 15, 12, 0, 0, 0);
const TimeRecord kSunday1994 = Utc(1994, 11, 6, 8, 49, 37, 0);

struct ValidCase {
  std::string text;
  TimeRecord expected;
};

void PrintTo(const ValidCase& c, std::ostream* os) { *os << '"' << c.text << '"'; }

class ParseHttpDateValid : public ::testing::TestWithParam<ValidCase> {};

TEST_P(ParseHttpDateValid, ReadsTheDate) {
  const std::optional<TimeRecord> parsed = ParseHttpDate(GetParam().text, kMid2025);
  ASSERT_TRUE(parsed.has_value()) << GetParam().text;
  EXPECT_EQ(*parsed, GetParam().expected) << GetParam().text;
}

INSTANTIATE_TEST_SUITE_P(
    Forms, ParseHttpDateValid,
    ::testing::Values(
        ValidCase{"Sun, 06 Nov 1994 08:49:37 GMT", kSunday1994},
        ValidCase{"Sunday, 06-Nov-94 08:49:37 GMT", kSunday1994},
        ValidCase{"Sun Nov  6 08:49:37 1994", kSunday1994},
        ValidCase{"Sun Nov 06 08:49:37 1994", kSunday1994},
        // As the header block hands it over: the space after "Date:" comes along.
        ValidCase{" Sun, 06 Nov 1994 08:49:37 GMT", kSunday1994},
        ValidCase{" \t Sun, 06 Nov 1994 08:49:37 GMT \t ", kSunday1994},
        ValidCase{"  Sunday, 06-Nov-94 08:49:37 GMT  ", kSunday1994},
        ValidCase{"\tSun Nov  6 08:49:37 1994 ", kSunday1994},
        ValidCase{"Tue, 31 Dec 2024 20:00:00 GMT", Utc(2024, 12, 31, 20, 0, 0, 2)},
        ValidCase{"Thu, 29 Feb 2024 23:59:59 GMT", Utc(2024, 2, 29, 23, 59, 59, 4)},
        ValidCase{"Tue, 29 Feb 2000 00:00:00 GMT", Utc(2000, 2, 29, 0, 0, 0, 2)},
        ValidCase{"Fri, 31 Dec 9999 23:59:59 GMT", Utc(9999, 12, 31, 23, 59, 59, 5)},
        ValidCase{"Mon, 01 Jan 0001 00:00:00 GMT", Utc(1, 1, 1, 0, 0, 0, 1)},
        // Every month name.
        ValidCase{"Sat, 01 Jan 2000 00:00:00 GMT", Utc(2000, 1, 1, 0, 0, 0, 6)},
        ValidCase{"Tue, 01 Feb 2000 00:00:00 GMT", Utc(2000, 2, 1, 0, 0, 0, 2)},
        ValidCase{"Wed, 01 Mar 2000 00:00:00 GMT", Utc(2000, 3, 1, 0, 0, 0, 3)},
        ValidCase{"Sat, 01 Apr 2000 00:00:00 GMT", Utc(2000, 4, 1, 0, 0, 0, 6)},
        ValidCase{"Mon, 01 May 2000 00:00:00 GMT", Utc(2000, 5, 1, 0, 0, 0, 1)},
        ValidCase{"Thu, 01 Jun 2000 00:00:00 GMT", Utc(2000, 6, 1, 0, 0, 0, 4)},
        ValidCase{"Sat, 01 Jul 2000 00:00:00 GMT", Utc(2000, 7, 1, 0, 0, 0, 6)},
        ValidCase{"Tue, 01 Aug 2000 00:00:00 GMT", Utc(2000, 8, 1, 0, 0, 0, 2)},
        ValidCase{"Fri, 01 Sep 2000 00:00:00 GMT", Utc(2000, 9, 1, 0, 0, 0, 5)},
        ValidCase{"Sun, 01 Oct 2000 00:00:00 GMT", Utc(2000, 10, 1, 0, 0, 0, 0)},
        ValidCase{"Wed, 01 Nov 2000 00:00:00 GMT", Utc(2000, 11, 1, 0, 0, 0, 3)},
        ValidCase{"Fri, 01 Dec 2000 00:00:00 GMT", Utc(2000, 12, 1, 0, 0, 0, 5)},
        // Every long day name of the RFC 850 form.
        ValidCase{"Monday, 07-Nov-94 00:00:00 GMT", Utc(1994, 11, 7, 0, 0, 0, 1)},
        ValidCase{"Tuesday, 08-Nov-94 00:00:00 GMT", Utc(1994, 11, 8, 0, 0, 0, 2)},
        ValidCase{"Wednesday, 09-Nov-94 00:00:00 GMT", Utc(1994, 11, 9, 0, 0, 0, 3)},
        ValidCase{"Thursday, 10-Nov-94 00:00:00 GMT", Utc(1994, 11, 10, 0, 0, 0, 4)},
        ValidCase{"Friday, 11-Nov-94 00:00:00 GMT", Utc(1994, 11, 11, 0, 0, 0, 5)},
        ValidCase{"Saturday, 12-Nov-94 00:00:00 GMT", Utc(1994, 11, 12, 0, 0, 0, 6)},
        // A leap second reads as the last ordinary second of its minute.
        ValidCase{"Wed, 31 Dec 2008 23:59:60 GMT", Utc(2008, 12, 31, 23, 59, 59, 3)},
        ValidCase{"Tue, 30 Jun 2015 23:59:60 GMT", Utc(2015, 6, 30, 23, 59, 59, 2)},
        // The day name is not checked against the date; the record's weekday is the date's.
        ValidCase{"Mon, 06 Nov 1994 08:49:37 GMT", kSunday1994},
        ValidCase{"Friday, 06-Nov-94 08:49:37 GMT", kSunday1994},
        ValidCase{"Sat Nov  6 08:49:37 1994", kSunday1994}));

class ParseHttpDateRejected : public ::testing::TestWithParam<std::string> {};

TEST_P(ParseHttpDateRejected, GivesNothing) {
  EXPECT_EQ(ParseHttpDate(GetParam(), kMid2025), std::nullopt) << '"' << GetParam() << '"';
}

INSTANTIATE_TEST_SUITE_P(
    NotADate, ParseHttpDateRejected,
    ::testing::Values("", " ", "\t \t", "GMT", "Sun", "Sun, 06 Nov 1994",
                      "Sun, 06 Nov 1994 08:49:37", "junk", "1994-11-06T08:49:37Z", "784111777",
                      // Cut short or carrying more.
                      "Sun, 06 Nov 1994 08:49:37 GM", "Sun, 06 Nov 1994 08:49:37 GMT junk",
                      "Sun, 06 Nov 1994 08:49:37 GMTX", "Sun Nov  6 08:49:37 1994 GMT",
                      "xSun, 06 Nov 1994 08:49:37 GMT", "Sun, 06 Nov 1994 08:49:37 GMT\r\n",
                      "\r\nSun, 06 Nov 1994 08:49:37 GMT", "Sun, 06 Nov 1994 08:49:37 GMT\n",
                      // Another zone, or none where one is required.
                      "Sun, 06 Nov 1994 08:49:37 UTC", "Sun, 06 Nov 1994 08:49:37 +0000",
                      "Sun, 06 Nov 1994 16:49:37 +0800", "Sunday, 06-Nov-94 08:49:37",
                      // Names are case-sensitive and must come from the grammar.
                      "sun, 06 nov 1994 08:49:37 gmt", "SUN, 06 NOV 1994 08:49:37 GMT",
                      "Sun, 06 nov 1994 08:49:37 GMT", "Sun, 06 Nov 1994 08:49:37 gmt",
                      "Sun, 06 Foo 1994 08:49:37 GMT", "Xyz, 06 Nov 1994 08:49:37 GMT",
                      "Sunday, 06 Nov 1994 08:49:37 GMT", "Sun, 06-Nov-94 08:49:37 GMT",
                      "Sunday Nov  6 08:49:37 1994", "Sund, 06 Nov 1994 08:49:37 GMT",
                      "Sun, 06 November 1994 08:49:37 GMT",
                      // Digits: exactly as many as the grammar says, ASCII only, no signs.
                      "Sun, 6 Nov 1994 08:49:37 GMT", "Sun, 006 Nov 1994 08:49:37 GMT",
                      "Sun, 06 Nov 94 08:49:37 GMT", "Sun, 06 Nov 01994 08:49:37 GMT",
                      "Sun, 06 Nov 1994 8:49:37 GMT", "Sun, 06 Nov 1994 08:9:37 GMT",
                      "Sun, 06 Nov 1994 08:49:7 GMT", "Sun, +6 Nov 1994 08:49:37 GMT",
                      "Sun, -6 Nov 1994 08:49:37 GMT", "Sun, 0x Nov 1994 08:49:37 GMT",
                      "Sunday, 06-Nov-1994 08:49:37 GMT", "Sunday, 6-Nov-94 08:49:37 GMT",
                      "Sun Nov 6 08:49:37 1994", "Sun Nov   6 08:49:37 1994",
                      "Sun Nov  06 08:49:37 1994", "Sun Nov  6 08:49:37 94",
                      // Separators and spacing inside the date.
                      "Sun,06 Nov 1994 08:49:37 GMT", "Sun, 06  Nov 1994 08:49:37 GMT",
                      "Sun, 06 Nov 1994  08:49:37 GMT", "Sun, 06-Nov-1994 08:49:37 GMT",
                      "Sun, 06 Nov 1994 08.49.37 GMT", "Sun,\t06 Nov 1994 08:49:37 GMT",
                      "Sunday, 06 Nov 94 08:49:37 GMT",
                      // Impossible fields.
                      "Sun, 00 Nov 1994 08:49:37 GMT", "Sun, 31 Nov 1994 08:49:37 GMT",
                      "Sun, 32 Dec 1994 08:49:37 GMT", "Sun, 32 Feb 2024 08:49:37 GMT",
                      "Fri, 30 Feb 2024 08:49:37 GMT", "Wed, 29 Feb 2023 08:49:37 GMT",
                      "Thu, 29 Feb 1900 08:49:37 GMT", "Sun, 06 Nov 1994 24:00:00 GMT",
                      "Sun, 06 Nov 1994 25:00:00 GMT", "Sun, 06 Nov 1994 08:60:00 GMT",
                      "Sun, 06 Nov 1994 08:49:61 GMT", "Sun, 06 Nov 1994 08:49:99 GMT",
                      "Sunday, 31-Nov-94 08:49:37 GMT", "Sun Feb 30 08:49:37 2024",
                      "Sun Nov  0 08:49:37 1994",
                      // Second 60 only as the leap second at the end of a day.
                      "Sun, 06 Nov 1994 08:49:60 GMT", "Sun, 06 Nov 1994 23:58:60 GMT",
                      "Sun, 06 Nov 1994 22:59:60 GMT",
                      // Bytes of other scripts (GBK) around or inside.
                      "\xC8\xD5Sun, 06 Nov 1994 08:49:37 GMT",
                      "Sun, 06 Nov 1994 08:49:37 GMT\xA1\xA1",
                      "Sun, \xA3\xB0\xA3\xB6 Nov 1994 08:49:37 GMT"));

struct TwoDigitYearCase {
  std::string text;
  TimeRecord now;
  int expectedYear;  // 0: rejected
};

void PrintTo(const TwoDigitYearCase& c, std::ostream* os) {
  *os << '"' << c.text << "\" read in " << c.now.wYear << '-' << c.now.wMonth << '-' << c.now.wDay;
}

class ParseHttpDateTwoDigitYear : public ::testing::TestWithParam<TwoDigitYearCase> {};

TEST_P(ParseHttpDateTwoDigitYear, TakesTheLatestYearNotMoreThanFiftyYearsAhead) {
  const TwoDigitYearCase& c = GetParam();
  const std::optional<TimeRecord> parsed = ParseHttpDate(c.text, c.now);
  if (c.expectedYear == 0) {
    EXPECT_EQ(parsed, std::nullopt) << c.text;
  } else {
    ASSERT_TRUE(parsed.has_value()) << c.text;
    EXPECT_EQ(parsed->wYear, c.expectedYear) << c.text;
  }
}

INSTANTIATE_TEST_SUITE_P(
    FiftyYearRule, ParseHttpDateTwoDigitYear,
    ::testing::Values(
        TwoDigitYearCase{"Sunday, 06-Nov-94 08:49:37 GMT", kMid2025, 1994},
        TwoDigitYearCase{"Saturday, 01-Jan-00 00:00:00 GMT", kMid2025, 2000},
        TwoDigitYearCase{"Sunday, 15-Jun-25 12:00:00 GMT", kMid2025, 2025},
        TwoDigitYearCase{"Monday, 01-Jan-74 00:00:00 GMT", kMid2025, 2074},
        // 50 years ahead to the second is not "more than 50 years"; one second later is.
        TwoDigitYearCase{"Saturday, 15-Jun-75 12:00:00 GMT", kMid2025, 2075},
        TwoDigitYearCase{"Saturday, 15-Jun-75 12:00:01 GMT", kMid2025, 1975},
        TwoDigitYearCase{"Sunday, 16-Jun-75 00:00:00 GMT", kMid2025, 1975},
        TwoDigitYearCase{"Friday, 14-Jun-75 23:59:59 GMT", kMid2025, 2075},
        TwoDigitYearCase{"Friday, 01-Jan-99 00:00:00 GMT", kMid2025, 1999},
        // Near the end of a century, next century's years are the near ones.
        TwoDigitYearCase{"Saturday, 01-Jan-01 00:00:00 GMT", Utc(2099, 1, 1, 0, 0, 0, 4), 2101},
        TwoDigitYearCase{"Saturday, 01-Jan-49 00:00:00 GMT", Utc(2099, 1, 1, 0, 0, 0, 4), 2149},
        TwoDigitYearCase{"Saturday, 01-Jan-50 00:00:00 GMT", Utc(2099, 1, 1, 0, 0, 0, 4), 2050},
        // The day is checked in the year the rule picks: 2100 is no leap year, 2000 is.
        TwoDigitYearCase{"Monday, 29-Feb-00 00:00:00 GMT", Utc(2060, 1, 1, 0, 0, 0, 4), 0},
        TwoDigitYearCase{"Tuesday, 29-Feb-00 00:00:00 GMT", kMid2025, 2000},
        TwoDigitYearCase{"Thursday, 29-Feb-24 00:00:00 GMT", kMid2025, 2024},
        TwoDigitYearCase{"Wednesday, 29-Feb-23 00:00:00 GMT", kMid2025, 0},
        // A year past 9999 has no four-digit form.
        TwoDigitYearCase{"Monday, 01-Jan-30 00:00:00 GMT", Utc(9990, 1, 1, 0, 0, 0, 0), 0},
        TwoDigitYearCase{"Monday, 01-Jan-45 00:00:00 GMT", Utc(9990, 1, 1, 0, 0, 0, 0), 9945}));

TEST(ParseHttpDate, FourDigitFormsDoNotDependOnNow) {
  for (const TimeRecord& now :
       {Utc(1970, 1, 1, 0, 0, 0, 4), kMid2025, Utc(9999, 1, 1, 0, 0, 0, 5)}) {
    EXPECT_EQ(ParseHttpDate("Sun, 06 Nov 1994 08:49:37 GMT", now), kSunday1994);
    EXPECT_EQ(ParseHttpDate("Sun Nov  6 08:49:37 1994", now), kSunday1994);
  }
  EXPECT_EQ(ParseHttpDate("Sun, 06 Nov 1994 08:49:37 GMT"), kSunday1994);
}

TEST(ParseHttpDate, ReadsTwoDigitYearsAgainstTheSystemClock) {
  // 1994 lies well within 50 years of any "now" this test runs at; 2094 would need 2044.
  EXPECT_EQ(ParseHttpDate("Sunday, 06-Nov-94 08:49:37 GMT"), kSunday1994);
}

TEST(CurrentUtcTimeRecord, MatchesTheCLibrarysUtcClock) {
  const std::time_t before = std::time(nullptr);
  const TimeRecord now = CurrentUtcTimeRecord();
  const std::time_t after = std::time(nullptr);

  // Back to seconds since the epoch through the record's own date: checks every field at once.
  char text[64];
  std::snprintf(text, sizeof text, "%04d-%02d-%02d %02d:%02d:%02d", now.wYear, now.wMonth, now.wDay,
                now.wHour, now.wMinute, now.wSecond);
  bool matched = false;
  for (std::time_t t = before; t <= after; ++t) {
    const std::tm* utc = std::gmtime(&t);
    char expected[64];
    std::strftime(expected, sizeof expected, "%Y-%m-%d %H:%M:%S", utc);
    if (std::string(expected) == text && utc->tm_wday == now.wDayOfWeek) matched = true;
  }
  EXPECT_TRUE(matched) << text;
  EXPECT_EQ(now.wMilliseconds, 0);
}

}  // namespace
}  // namespace tolvaris
