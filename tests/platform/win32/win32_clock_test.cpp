#include "platform/win32/win32_clock.h"

#include <gtest/gtest.h>

#include <ctime>

namespace tolvaris {
namespace {

TEST(Win32ClockTest, ReadsTheLocalWallClock) {
  Win32Clock clock;
  const std::time_t before = std::time(nullptr);
  const TimeRecord now = clock.ReadLocalTime();
  const std::time_t after = std::time(nullptr);

  std::tm fields{};
  fields.tm_year = now.wYear - 1900;
  fields.tm_mon = now.wMonth - 1;
  fields.tm_mday = now.wDay;
  fields.tm_hour = now.wHour;
  fields.tm_min = now.wMinute;
  fields.tm_sec = now.wSecond;
  fields.tm_isdst = -1;
  const std::time_t read = std::mktime(&fields);
  EXPECT_GE(read, before - 1);
  EXPECT_LE(read, after + 1);
  EXPECT_LT(now.wMilliseconds, 1000);
  EXPECT_EQ(now.wDayOfWeek, fields.tm_wday);
}

// Records Windows would refuse never reach the system call; a refusal is all the caller sees.
TEST(Win32ClockTest, RefusesRecordsWindowsCannotSet) {
  Win32Clock clock;
  const TimeRecord refused[] = {
      {.wYear = 100, .wMonth = 1, .wDay = 1},  // the fallback network time
      {.wYear = 1600, .wMonth = 12, .wDay = 31, .wHour = 23},
      {.wYear = 2024, .wMonth = 13, .wDay = 1},
      {.wYear = 2023, .wMonth = 2, .wDay = 29},
      {.wYear = 2024, .wMonth = 1, .wDay = 1, .wHour = 24},
      {},
  };
  for (const TimeRecord& record : refused) {
    EXPECT_FALSE(clock.SetLocalTime(record)) << record.wYear << "-" << record.wMonth;
  }
}

}  // namespace
}  // namespace tolvaris
