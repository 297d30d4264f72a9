#include "core/clock.h"

#include <gtest/gtest.h>

#include <optional>
#include <vector>

#include "core/datetime.h"
#include "support/time_record.h"

namespace tolvaris {
namespace {

using testing::MakeTimeRecord;

TEST(IsSettableTimeRecord, AcceptsWhatSetLocalTimeAccepts) {
  const struct {
    TimeRecord record;
    bool settable;
    const char* why;
  } cases[] = {
      {MakeTimeRecord(2025, 3, 7, 9, 5, 3), true, "an ordinary time"},
      {MakeTimeRecord(1601, 1, 1), true, "first year"},
      {MakeTimeRecord(30827, 12, 31, 23, 59, 59, 999), true, "last moment"},
      {MakeTimeRecord(1600, 12, 31, 23, 59, 59), false, "before 1601"},
      {MakeTimeRecord(100, 1, 1), false, "the fallback date"},
      {MakeTimeRecord(30828, 1, 1), false, "after 30827"},
      {MakeTimeRecord(2025, 0, 1), false, "month 0"},
      {MakeTimeRecord(2025, 13, 1), false, "month 13"},
      {MakeTimeRecord(2025, 1, 0), false, "day 0"},
      {MakeTimeRecord(2025, 4, 31), false, "31 April"},
      {MakeTimeRecord(2023, 2, 29), false, "29 February of a common year"},
      {MakeTimeRecord(2024, 2, 29), true, "29 February of a leap year"},
      {MakeTimeRecord(1900, 2, 29), false, "1900 is no leap year"},
      {MakeTimeRecord(2000, 2, 29), true, "2000 is a leap year"},
      {MakeTimeRecord(2025, 1, 1, 24), false, "hour 24"},
      {MakeTimeRecord(2025, 1, 1, 0, 60), false, "minute 60"},
      {MakeTimeRecord(2025, 1, 1, 0, 0, 60), false, "second 60"},
      {MakeTimeRecord(2025, 1, 1, 0, 0, 0, 1000), false, "1000 milliseconds"},
  };
  for (const auto& c : cases) EXPECT_EQ(IsSettableTimeRecord(c.record), c.settable) << c.why;

  TimeRecord anyWeekday = MakeTimeRecord(2025, 3, 7);
  anyWeekday.wDayOfWeek = 42;
  EXPECT_TRUE(IsSettableTimeRecord(anyWeekday)) << "the day of the week is not checked";
}

// A clock that shows a fixed time and keeps what it was asked to set.
class SimulatedClock : public Clock {
 public:
  explicit SimulatedClock(TimeRecord now, bool accepts = true) : now_(now), accepts_(accepts) {}
  TimeRecord ReadLocalTime() override { return now_; }
  bool SetLocalTime(const TimeRecord& localTime) override {
    setCalls.push_back(localTime);
    if (accepts_) now_ = localTime;
    return accepts_;
  }
  std::vector<TimeRecord> setCalls;

 private:
  TimeRecord now_;
  bool accepts_;
};

TEST(CurrentDateTime, ComposesTheClockToTheSecond) {
  SimulatedClock clock(MakeTimeRecord(2025, 3, 7, 9, 5, 3, 999));
  const DateTime now = CurrentDateTime(clock);
  EXPECT_EQ(now, ComposeDateTime(2025, 3, 7, 9, 5, 3)) << "milliseconds dropped, not rounded";
  EXPECT_EQ(DateTimeToText(now), DateTimeToText(ComposeDateTime(2025, 3, 7, 9, 5, 3)));

  SimulatedClock early(MakeTimeRecord(1899, 12, 29, 6, 0, 0));
  EXPECT_EQ(CurrentDateTime(early).stored, -1.25) << "the time counts away from zero";
}

TEST(SetLocalClock, PassesTheNearestSecondWithItsDayOfWeek) {
  const struct {
    DateTime value;
    TimeRecord expected;
    uint16_t dayOfWeek;
    const char* why;
  } cases[] = {
      {ComposeDateTime(2025, 3, 7, 9, 5, 3), MakeTimeRecord(2025, 3, 7, 9, 5, 3), 5, "a Friday"},
      {ComposeDateTime(2024, 2, 29, 23, 59, 59), MakeTimeRecord(2024, 2, 29, 23, 59, 59), 4,
       "leap day"},
      {ComposeDateTime(1899, 12, 30, 0, 0, 0), MakeTimeRecord(1899, 12, 30), 6,
       "day 0, a Saturday"},
      {ComposeDateTime(1899, 12, 29, 6, 0, 0), MakeTimeRecord(1899, 12, 29, 6), 5, "before day 0"},
      {DateTime{45723.5 + 0.6 / 86400}, MakeTimeRecord(2025, 3, 7, 12, 0, 1), 5, "rounded up"},
      {DateTime{45723.5 + 0.4 / 86400}, MakeTimeRecord(2025, 3, 7, 12, 0, 0), 5, "rounded down"},
      {DateTime{45723.999995}, MakeTimeRecord(2025, 3, 8), 6,
       "23:59:59.568 rounds into the next day"},
      {EarliestDateTime, MakeTimeRecord(100, 1, 1), 5, "lower limit"},
      {DateTime{1e300}, MakeTimeRecord(9999, 12, 31), 5, "limited"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.why);
    SimulatedClock clock(MakeTimeRecord(2000, 1, 1));
    EXPECT_TRUE(SetLocalClock(clock, c.value));
    TimeRecord expected = c.expected;
    expected.wDayOfWeek = c.dayOfWeek;
    ASSERT_EQ(clock.setCalls.size(), 1u);
    EXPECT_EQ(clock.setCalls[0], expected);
  }
}

TEST(SetLocalClock, ReportsWhatTheClockReports) {
  SimulatedClock refusing(MakeTimeRecord(2000, 1, 1), false);
  EXPECT_FALSE(SetLocalClock(refusing, ComposeDateTime(2025, 3, 7, 9, 5, 3)));
  EXPECT_EQ(refusing.setCalls.size(), 1u);

  SimulatedClock accepting(MakeTimeRecord(2000, 1, 1));
  const DateTime value = ComposeDateTime(2025, 3, 7, 9, 5, 3);
  ASSERT_TRUE(SetLocalClock(accepting, value));
  EXPECT_EQ(CurrentDateTime(accepting), value) << "the clock reads back what was set";
}

}  // namespace
}  // namespace tolvaris
