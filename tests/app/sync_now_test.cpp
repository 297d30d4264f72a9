#include "app/sync_now.h"

#include <gtest/gtest.h>

#include <optional>
#include <ostream>
#include <string>

#include "app_doubles.h"
#include "core/datetime.h"

namespace tolvaris::testing {
namespace {

struct SyncCase {
  const char* name;
  bool clockMayBeSet;
  // nullopt: the query fails and gives its fallback.
  std::optional<DateTime> networkTime;
  const char* clockSetTo;
  const char* message;
};

const SyncCase kSyncCases[] = {
    {"ClockSet", true, ComposeDateTime(2025, 3, 7, 9, 5, 0),
     "SetLocalTime 2025-03-07 09:05:00.000 weekday 5", "时间同步成功！"},
    {"NoRightToSetTheClock", false, ComposeDateTime(2025, 3, 7, 9, 5, 0),
     "SetLocalTime 2025-03-07 09:05:00.000 weekday 5", "时间同步失败！"},
    // The fallback date goes to the clock unchecked, which refuses a year before 1601.
    {"SourceUnreachable", true, std::nullopt, "SetLocalTime 0100-01-01 00:00:00.000 weekday 5",
     "时间同步失败！"},
};

void PrintTo(const SyncCase& c, std::ostream* os) { *os << c.name; }

class SyncNowTest : public ::testing::TestWithParam<SyncCase> {};

TEST_P(SyncNowTest, DisablesQueriesSetsReportsStartsARefreshAndEnables) {
  const SyncCase& c = GetParam();
  AppDoubles doubles(c.clockMayBeSet);
  if (c.networkTime) doubles.network.QueueAnswer(*c.networkTime);
  AppEnvironment environment = doubles.Environment();

  OnSyncNowClicked(environment);

  EXPECT_EQ(doubles.log, (EventLog{
                             "SetControlEnabled 按钮1 false",
                             "QueryNetworkTime",
                             c.clockSetTo,
                             std::string("ShowMessageBox ") + c.message,
                             "StartThread",
                             "SetControlEnabled 按钮1 true",
                         }));
}

INSTANTIATE_TEST_SUITE_P(Cases, SyncNowTest, ::testing::ValuesIn(kSyncCases),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(OnSyncNowClicked, TheRefreshItStartsReplacesTheTextsWithoutWaitingTexts) {
  AppDoubles doubles(/*clockMayBeSet=*/true);
  doubles.network.QueueAnswer(ComposeDateTime(2025, 3, 7, 9, 5, 0));  // the sync's query
  doubles.network.QueueAnswer(ComposeDateTime(2025, 3, 7, 9, 5, 0));  // the refresh's first
  doubles.network.QueueAnswer(ComposeDateTime(2025, 3, 7, 9, 5, 1));  // and second
  doubles.clock.QueueReading(LocalTime(2025, 3, 7, 9, 5, 0));
  doubles.clock.QueueReading(LocalTime(2025, 3, 7, 9, 5, 1));
  AppEnvironment environment = doubles.Environment();

  OnSyncNowClicked(environment);
  ASSERT_EQ(doubles.threads.HeldCount(), 1u);
  doubles.log.clear();
  doubles.threads.RunHeld();

  EXPECT_EQ(doubles.log, (EventLog{
                             "ReadLocalTime",
                             "SetControlText 编辑框1 本地时间：2025年3月7日9时5分",
                             "QueryNetworkTime",
                             "SetControlText 编辑框2 北京时间：2025年3月7日9时5分",
                             "SetControlTextColour 编辑框2 65280",
                             "ReadLocalTime",
                             "QueryNetworkTime",
                             "SetControlText 编辑框_相差 恭喜，时间正确！",
                             "SetControlTextColour 编辑框_相差 65280",
                             "SetControlTextColour 编辑框1 65280",
                         }));
}

}  // namespace
}  // namespace tolvaris::testing
