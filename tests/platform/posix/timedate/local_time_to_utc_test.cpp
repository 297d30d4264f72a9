#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <optional>
#include <ostream>
#include <string>

#include "platform/posix/timedate_service.h"
#include "support/time_record.h"

namespace tolvaris {
namespace {

using testing::MakeTimeRecord;

struct Conversion {
  const char* zone;
  TimeRecord local;
  int64_t usecUtc;
  const char* why;
};

void PrintTo(const Conversion& row, std::ostream* out) {
  char text[64];
  std::snprintf(text, sizeof text, "%04u-%02u-%02u %02u:%02u:%02u.%03u", row.local.wYear,
                row.local.wMonth, row.local.wDay, row.local.wHour, row.local.wMinute,
                row.local.wSecond, row.local.wMilliseconds);
  *out << row.zone << " " << text;
}

// Expected instants were worked out with Python's zoneinfo (a separate reading of tzdata) and,
// beyond its year 9999, by day counting.
const Conversion kConversions[] = {
    {"Asia/Shanghai", MakeTimeRecord(2025, 3, 7, 9, 5, 3), 1741309503000000, "UTC+8 all year"},
    {"Asia/Shanghai", MakeTimeRecord(2025, 3, 7, 9, 5, 3, 250), 1741309503250000,
     "milliseconds kept"},
    {"America/New_York", MakeTimeRecord(2025, 1, 15, 12, 0, 0), 1736960400000000, "EST, UTC-5"},
    {"America/New_York", MakeTimeRecord(2025, 7, 4, 12, 0, 0), 1751644800000000, "EDT, UTC-4"},
    {"America/New_York", MakeTimeRecord(2025, 3, 9, 2, 30, 0), 1741505400000000,
     "02:30 does not exist that night: taken as 03:30 EDT"},
    {"America/New_York", MakeTimeRecord(2025, 11, 2, 1, 30, 0), 1762061400000000,
     "01:30 happens twice that night: the first one, EDT"},
    {"America/New_York", MakeTimeRecord(1969, 12, 31, 18, 59, 59), -1000000,
     "the instant whose time_t is mktime's error value"},
    {"Asia/Shanghai", MakeTimeRecord(1601, 1, 1, 0, 0, 0), -11644502743000000,
     "earliest settable year; local mean time +8:05:43 before 1901"},
    {"Asia/Shanghai", MakeTimeRecord(30827, 12, 31, 23, 59, 59, 999), 910670486399999000,
     "latest settable instant"},
    {"UTC0", MakeTimeRecord(2038, 1, 19, 3, 14, 8), 2147483648000000, "past the 32-bit time_t"},
};

class LocalTimeToUtcTest : public ::testing::TestWithParam<Conversion> {
 protected:
  void SetUp() override {
    const char* zone = std::getenv("TZ");
    if (zone) savedZone_ = zone;
  }
  void TearDown() override {
    if (savedZone_) {
      setenv("TZ", savedZone_->c_str(), 1);
    } else {
      unsetenv("TZ");
    }
    tzset();
  }

 private:
  std::optional<std::string> savedZone_;
};

TEST_P(LocalTimeToUtcTest, GivesTheInstantOfTheWallClockTimeInTheZone) {
  const Conversion& row = GetParam();
  setenv("TZ", row.zone, 1);
  tzset();
  EXPECT_EQ(LocalTimeToUtcMicroseconds(row.local), std::optional<int64_t>(row.usecUtc))
      << row.zone << ": " << row.why;
}

INSTANTIATE_TEST_SUITE_P(Table, LocalTimeToUtcTest, ::testing::ValuesIn(kConversions));

}  // namespace
}  // namespace tolvaris
