#include "platform/posix/posix_http_date_parser.h"

#include <gtest/gtest.h>

namespace tolvaris {
namespace {

TEST(PosixHttpDateParser, FillsTheWholeRecordForAValidDate) {
  TimeRecord record{1, 2, 3, 4, 5, 6, 7, 8};
  PosixHttpDateParser().InternetTimeToSystemTime(" Sun, 06 Nov 1994 08:49:37 GMT", record);
  EXPECT_EQ(record, (TimeRecord{1994, 11, 0, 6, 8, 49, 37, 0}));
}

TEST(PosixHttpDateParser, LeavesTheRecordAsItWasForAnythingElse) {
  for (const char* text :
       {"", " ", "junk", " Sun, 31 Nov 1994 08:49:37 GMT", " Sun, 06 Nov 1994 08:49:37 CST"}) {
    TimeRecord zero{};
    PosixHttpDateParser().InternetTimeToSystemTime(text, zero);
    EXPECT_EQ(zero, TimeRecord{}) << '"' << text << '"';

    TimeRecord filled{1, 2, 3, 4, 5, 6, 7, 8};
    PosixHttpDateParser().InternetTimeToSystemTime(text, filled);
    EXPECT_EQ(filled, (TimeRecord{1, 2, 3, 4, 5, 6, 7, 8})) << '"' << text << '"';
  }
}

}  // namespace
}  // namespace tolvaris
