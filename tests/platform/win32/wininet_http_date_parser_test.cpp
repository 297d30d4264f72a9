#include "platform/win32/wininet_http_date_parser.h"

#include <gtest/gtest.h>

#include <string>

namespace tolvaris {
namespace {

struct DateCase {
  const char* text;
  TimeRecord expected;  // only wYear..wSecond are compared
};

void ExpectSameMoment(const TimeRecord& actual, const TimeRecord& expected, const char* text) {
  EXPECT_EQ(actual.wYear, expected.wYear) << text;
  EXPECT_EQ(actual.wMonth, expected.wMonth) << text;
  EXPECT_EQ(actual.wDay, expected.wDay) << text;
  EXPECT_EQ(actual.wHour, expected.wHour) << text;
  EXPECT_EQ(actual.wMinute, expected.wMinute) << text;
  EXPECT_EQ(actual.wSecond, expected.wSecond) << text;
}

TEST(WininetHttpDateParserTest, FillsTheRecordFromAValidHttpDate) {
  const DateCase cases[] = {
      // As the query hands it over: the space after "Date:" still in front.
      {" Sun, 06 Nov 1994 08:49:37 GMT", {1994, 11, 0, 6, 8, 49, 37, 0}},
      {"Sun, 06 Nov 1994 08:49:37 GMT", {1994, 11, 0, 6, 8, 49, 37, 0}},
      {" Tue, 31 Dec 2024 20:00:00 GMT", {2024, 12, 0, 31, 20, 0, 0, 0}},
      {" Thu, 29 Feb 2024 23:59:59 GMT ", {2024, 2, 0, 29, 23, 59, 59, 0}},
      // The obsolete forms, which Wine's parser gets wrong (year 94; a scrambled asctime).
      {"Sunday, 06-Nov-94 08:49:37 GMT", {1994, 11, 0, 6, 8, 49, 37, 0}},
      {"Sun Nov  6 08:49:37 1994", {1994, 11, 0, 6, 8, 49, 37, 0}},
  };
  WininetHttpDateParser parser;
  for (const DateCase& c : cases) {
    TimeRecord record;
    parser.InternetTimeToSystemTime(c.text, record);
    ExpectSameMoment(record, c.expected, c.text);
  }
}

// The platform's parser answers these with success and the current time (or with impossible
// fields); none of that may reach the record.
TEST(WininetHttpDateParserTest, LeavesTheRecordAsItWasForAnythingButAnHttpDate) {
  const char* junk[] = {
      "",
      " ",
      "garbage",
      "2024-01-01T00:00:00Z",
      "Sun, 32 Nov 1994 08:49:37 GMT",
      "Wed, 29 Feb 2023 10:00:00 GMT",
      "Sun, 06 Nov 1994 25:00:00 GMT",
      "Sun, 06 Nov 1994 08:49:37",
      "sun, 06 nov 1994 08:49:37 gmt",
  };
  WininetHttpDateParser parser;
  const TimeRecord marked{2001, 2, 3, 4, 5, 6, 7, 8};
  for (const char* text : junk) {
    TimeRecord zero;
    parser.InternetTimeToSystemTime(text, zero);
    EXPECT_EQ(zero, TimeRecord()) << '"' << text << '"';
    TimeRecord record = marked;
    parser.InternetTimeToSystemTime(text, record);
    EXPECT_EQ(record, marked) << '"' << text << '"';
  }
}

}  // namespace
}  // namespace tolvaris
