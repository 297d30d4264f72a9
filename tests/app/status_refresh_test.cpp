#include "app/status_refresh.h"

#include <gtest/gtest.h>

#include <optional>
#include <ostream>
#include <string>

#include "app_doubles.h"
#include "core/datetime.h"

namespace tolvaris::testing {
namespace {

TEST(OnMainWindowCreated, WritesTheWaitingTextsThenStartsTheRefreshWithoutRunningIt) {
  AppDoubles doubles;
  AppEnvironment environment = doubles.Environment();

  OnMainWindowCreated(environment);

  EXPECT_EQ(doubles.log, (EventLog{
                             "SetControlText 编辑框1 本地时间：正在获取......",
                             "SetControlText 编辑框2 北京时间：正在获取......",
                             "StartThread",
                         }));
  ASSERT_EQ(doubles.threads.HeldCount(), 1u);

  // The started routine is the status refresh: with the source unreachable it reads the clock
  // and fills the boxes from the fallback date.
  doubles.clock.QueueReading(LocalTime(2025, 3, 7, 9, 5, 0));
  doubles.clock.QueueReading(LocalTime(2025, 3, 7, 9, 5, 1));
  doubles.log.clear();
  doubles.threads.RunHeld();
  EXPECT_EQ(doubles.log, (EventLog{
                             "ReadLocalTime",
                             "SetControlText 编辑框1 本地时间：2025年3月7日9时5分",
                             "QueryNetworkTime",
                             "SetControlText 编辑框2 北京时间：100年1月1日",
                             "SetControlTextColour 编辑框2 65280",
                             "ReadLocalTime",
                             "QueryNetworkTime",
                             "SetControlText 编辑框_相差 24855天3时14分7秒",
                             "SetControlTextColour 编辑框_相差 255",
                             "SetControlTextColour 编辑框1 255",
                         }));
}

struct RefreshCase {
  const char* name;
  // nullopt: the query fails and gives its fallback.
  std::optional<DateTime> firstNetworkTime;
  const char* networkTimeShown;
  TimeRecord secondLocalTime;
  std::optional<DateTime> secondNetworkTime;
  const char* differenceShown;
  const char* colour;  // of 编辑框_相差 and 编辑框1
};

// The first local reading is always 2025-03-07 09:05:00 and differs from the first network time
// on purpose: only the second pair of readings may decide the difference.
const DateTime kNoon = ComposeDateTime(2025, 3, 7, 12, 0, 0);
const DateTime kSecondNetworkTime = ComposeDateTime(2025, 3, 7, 9, 6, 0);

const RefreshCase kRefreshCases[] = {
    {"ClockAgrees", kNoon, "北京时间：2025年3月7日12时", LocalTime(2025, 3, 7, 9, 6, 0),
     kSecondNetworkTime, "恭喜，时间正确！", "65280"},
    {"OneSecondBehind", kNoon, "北京时间：2025年3月7日12时", LocalTime(2025, 3, 7, 9, 5, 59),
     kSecondNetworkTime, "1秒", "255"},
    {"OneSecondAhead", kNoon, "北京时间：2025年3月7日12时", LocalTime(2025, 3, 7, 9, 6, 1),
     kSecondNetworkTime, "1秒", "255"},
    {"TenSecondsBehind", kNoon, "北京时间：2025年3月7日12时", LocalTime(2025, 3, 7, 9, 5, 50),
     kSecondNetworkTime, "10秒", "255"},
    {"TenSecondsAhead", kNoon, "北京时间：2025年3月7日12时", LocalTime(2025, 3, 7, 9, 6, 10),
     kSecondNetworkTime, "10秒", "255"},
    {"OneHourOneSecondAhead", kNoon, "北京时间：2025年3月7日12时", LocalTime(2025, 3, 7, 10, 6, 1),
     kSecondNetworkTime, "1时1秒", "255"},
    {"NetworkTimeWithSeconds", ComposeDateTime(2025, 3, 7, 9, 5, 7),
     "北京时间：2025年3月7日9时5分7秒", LocalTime(2025, 3, 7, 9, 6, 0), kSecondNetworkTime,
     "恭喜，时间正确！", "65280"},
    // Both queries fail: the fallback date is shown in green like any network time, and the
    // difference to it, past the 32-bit range of seconds, in red.
    {"SourceUnreachable", std::nullopt, "北京时间：100年1月1日", LocalTime(2025, 3, 7, 9, 6, 0),
     std::nullopt, "24855天3时14分7秒", "255"},
    // Only the second query fails.
    {"SecondQueryFails", kNoon, "北京时间：2025年3月7日12时", LocalTime(2025, 3, 7, 9, 6, 0),
     std::nullopt, "24855天3时14分7秒", "255"},
};

void PrintTo(const RefreshCase& c, std::ostream* os) { *os << c.name; }

class RefreshStatusTest : public ::testing::TestWithParam<RefreshCase> {};

TEST_P(RefreshStatusTest, FillsTheBoxesInOrderFromTwoSeparateReadings) {
  const RefreshCase& c = GetParam();
  AppDoubles doubles;
  doubles.clock.QueueReading(LocalTime(2025, 3, 7, 9, 5, 0));
  doubles.clock.QueueReading(c.secondLocalTime);
  // A failed query is the double running out of answers; the second answer can only be
  // queued when the first one exists.
  if (c.firstNetworkTime) {
    doubles.network.QueueAnswer(*c.firstNetworkTime);
    if (c.secondNetworkTime) doubles.network.QueueAnswer(*c.secondNetworkTime);
  }
  AppEnvironment environment = doubles.Environment();

  RefreshStatus(environment);

  EXPECT_EQ(doubles.log, (EventLog{
                             "ReadLocalTime",
                             "SetControlText 编辑框1 本地时间：2025年3月7日9时5分",
                             "QueryNetworkTime",
                             std::string("SetControlText 编辑框2 ") + c.networkTimeShown,
                             "SetControlTextColour 编辑框2 65280",
                             "ReadLocalTime",
                             "QueryNetworkTime",
                             std::string("SetControlText 编辑框_相差 ") + c.differenceShown,
                             std::string("SetControlTextColour 编辑框_相差 ") + c.colour,
                             std::string("SetControlTextColour 编辑框1 ") + c.colour,
                         }));
  EXPECT_EQ(doubles.threads.HeldCount(), 0u) << "a refresh starts nothing";
}

INSTANTIATE_TEST_SUITE_P(Cases, RefreshStatusTest, ::testing::ValuesIn(kRefreshCases),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace tolvaris::testing
