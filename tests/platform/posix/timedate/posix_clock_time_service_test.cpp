// The real PosixClock, run without CAP_SYS_TIME: SetLocalClock must reach the time service on
// the test's private bus, and only for a date it may set.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <ctime>
#include <string>

#include "core/datetime.h"
#include "platform/posix/posix_clock.h"
#include "platform/posix/timedate_service.h"
#include "private_bus.h"

namespace tolvaris {
namespace {

using ::testing::ElementsAre;
using testing::FakeTimeService;
using ::testing::IsEmpty;
using testing::PrivateBus;
using testing::SetTimeCall;

class PosixClockTimeServiceTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_EQ(testing::WhyThisProcessIsUnsafeForClockTests(), "") << "refusing to run";
    ASSERT_FALSE(ProcessHoldsSysTime());
    ASSERT_NE(bus_.address(), "") << "the private dbus-daemon did not start";
    setenv("DBUS_SYSTEM_BUS_ADDRESS", bus_.address().c_str(), 1);
    setenv("TZ", "Asia/Shanghai", 1);
    tzset();
  }

  PrivateBus bus_;
  PosixClock clock_;
};

TEST_F(PosixClockTimeServiceTest, WithoutTheRightTheClockIsSetThroughTheService) {
  const FakeTimeService service(bus_, "accept");
  ASSERT_TRUE(service.ready());

  EXPECT_TRUE(SetLocalClock(clock_, ComposeDateTime(2025, 3, 7, 9, 5, 3)));
  EXPECT_THAT(service.RecordedCalls(),
              ElementsAre(SetTimeCall{"xbb", 1741309503000000, false, true, true}));
}

TEST_F(PosixClockTimeServiceTest, TheServiceRefusingGivesFalse) {
  const FakeTimeService service(bus_, "error:org.freedesktop.DBus.Error.AccessDenied");
  ASSERT_TRUE(service.ready());

  EXPECT_FALSE(SetLocalClock(clock_, ComposeDateTime(2025, 3, 7, 9, 5, 3)));
}

TEST_F(PosixClockTimeServiceTest, NoServiceGivesFalse) {
  EXPECT_FALSE(SetLocalClock(clock_, ComposeDateTime(2025, 3, 7, 9, 5, 3)));
}

// A failed network query hands over EarliestDateTime (year 100): refused before the bus.
TEST_F(PosixClockTimeServiceTest, TheFallbackDateNeverReachesTheService) {
  const FakeTimeService service(bus_, "accept");
  ASSERT_TRUE(service.ready());

  EXPECT_FALSE(SetLocalClock(clock_, EarliestDateTime));
  EXPECT_FALSE(SetLocalClock(clock_, ComposeDateTime(1600, 12, 31, 23, 59, 59)));
  EXPECT_THAT(service.RecordedCalls(), IsEmpty());
}

}  // namespace
}  // namespace tolvaris
