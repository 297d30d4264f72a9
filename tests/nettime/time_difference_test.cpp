#include "nettime/time_difference.h"

#include <gtest/gtest.h>

#include <chrono>
#include <ostream>
#include <string>

#include "support/gbk.h"

namespace tolvaris {
namespace {

using testing::Gbk;

// The date-time offsetSeconds away from 2024-03-10 12:00:00, composed from its calendar fields.
DateTime AtOffset(int64_t offsetSeconds) {
  using namespace std::chrono;
  const sys_seconds base = sys_days{year{2024} / March / 10} + hours{12};
  const sys_seconds moment = base + seconds{offsetSeconds};
  const auto day = floor<days>(moment);
  const year_month_day ymd{day};
  const hh_mm_ss time{moment - day};
  return ComposeDateTime(
      static_cast<int>(ymd.year()), static_cast<unsigned>(ymd.month()),
      static_cast<unsigned>(ymd.day()), static_cast<int32_t>(time.hours().count()),
      static_cast<int32_t>(time.minutes().count()), static_cast<int32_t>(time.seconds().count()));
}

struct DifferenceCase {
  int64_t firstAfterSecond;  // seconds
  std::string expected;      // UTF-8
};

void PrintTo(const DifferenceCase& c, std::ostream* os) { *os << c.firstAfterSecond << " s"; }

class FormatTimeDifferenceCases : public ::testing::TestWithParam<DifferenceCase> {};

TEST_P(FormatTimeDifferenceCases, GivesTheSizeInDaysHoursMinutesSeconds) {
  const DifferenceCase& c = GetParam();
  EXPECT_EQ(FormatTimeDifference(AtOffset(c.firstAfterSecond), AtOffset(0)), Gbk(c.expected))
      << c.firstAfterSecond;
  // The direction never shows.
  EXPECT_EQ(FormatTimeDifference(AtOffset(0), AtOffset(c.firstAfterSecond)), Gbk(c.expected))
      << -c.firstAfterSecond;
}

INSTANTIATE_TEST_SUITE_P(
    Differences, FormatTimeDifferenceCases,
    ::testing::Values(DifferenceCase{0, ""}, DifferenceCase{1, "1秒"}, DifferenceCase{-1, "1秒"},
                      DifferenceCase{10, "10秒"}, DifferenceCase{-10, "10秒"},
                      DifferenceCase{59, "59秒"}, DifferenceCase{60, "1分"},
                      DifferenceCase{61, "1分1秒"}, DifferenceCase{3600, "1时"},
                      DifferenceCase{3601, "1时1秒"}, DifferenceCase{3661, "1时1分1秒"},
                      DifferenceCase{28800, "8时"}, DifferenceCase{-28800, "8时"},
                      DifferenceCase{86399, "23时59分59秒"}, DifferenceCase{86400, "1天"},
                      DifferenceCase{86400 + 60, "1天1分"}, DifferenceCase{86400 + 1, "1天1秒"},
                      DifferenceCase{86400 + 3661, "1天1时1分1秒"}, DifferenceCase{864000, "10天"},
                      // Across the leap day of 2024 and into other months and years.
                      DifferenceCase{-20 * 86400, "20天"},
                      DifferenceCase{400LL * 86400 + 5, "400天5秒"}));

TEST(FormatTimeDifference, LessThanASecondApartIsEmpty) {
  const DateTime second = AtOffset(0);
  const DateTime first{second.stored + 0.4 / 86400};
  EXPECT_EQ(FormatTimeDifference(first, second), Text());
}

TEST(FormatTimeDifference, FallbackAgainstTodayGivesTheSaturatedCount) {
  // 0100-01-01 lies about 1925 years before today: far past the 32-bit range of seconds, so the
  // text is that of 2147483647 seconds in either order.
  const DateTime today = ComposeDateTime(2025, 3, 7, 9, 5, 3);
  EXPECT_EQ(FormatTimeDifference(today, EarliestDateTime), Gbk("24855天3时14分7秒"));
  EXPECT_EQ(FormatTimeDifference(EarliestDateTime, today), Gbk("24855天3时14分7秒"));
  EXPECT_EQ(FormatTimeDifference(LatestDateTime, EarliestDateTime), Gbk("24855天3时14分7秒"));
}

}  // namespace
}  // namespace tolvaris
