#include "platform/posix/timedate_service.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <fstream>
#include <string>

#include "private_bus.h"
#include "support/time_record.h"

namespace tolvaris {
namespace {

using testing::MakeTimeRecord;

using ::testing::ElementsAre;
using testing::FakeTimeService;
using ::testing::IsEmpty;
using testing::PrivateBus;
using testing::SetTimeCall;

constexpr auto kServiceWait = std::chrono::seconds(10);

SetTimeCall AbsoluteInteractiveCall(int64_t usecUtc) {
  return SetTimeCall{"xbb", usecUtc, /*relative=*/false, /*interactive=*/true,
                     /*allowInteractiveFlag=*/true};
}

// Every test talks to a bus of its own: the code finds it through DBUS_SYSTEM_BUS_ADDRESS, which
// is set before anything else runs, so no call can fall back to the machine's system bus.
class TimeServiceTest : public ::testing::Test {
 protected:
  void SetUp() override {
    const std::string unsafe = testing::WhyThisProcessIsUnsafeForClockTests();
    ASSERT_EQ(unsafe, "") << "refusing to run";
    ASSERT_NE(bus_.address(), "") << "the private dbus-daemon did not start";
    setenv("DBUS_SYSTEM_BUS_ADDRESS", bus_.address().c_str(), 1);
  }

  static void UseZone(const char* zone) {
    setenv("TZ", zone, 1);
    tzset();
  }

  PrivateBus bus_;
};

struct SyncCase {
  const char* zone;
  TimeRecord local;
  int64_t usecUtc;
};

void PrintTo(const SyncCase& row, std::ostream* out) {
  char text[64];
  std::snprintf(text, sizeof text, "%04u-%02u-%02u %02u:%02u:%02u", row.local.wYear,
                row.local.wMonth, row.local.wDay, row.local.wHour, row.local.wMinute,
                row.local.wSecond);
  *out << row.zone << " " << text;
}

class TimeServiceCallTest : public TimeServiceTest,
                            public ::testing::WithParamInterface<SyncCase> {};

TEST_P(TimeServiceCallTest, SendsTheUtcInstantAbsoluteAndInteractive) {
  const SyncCase& row = GetParam();
  UseZone(row.zone);
  const FakeTimeService service(bus_, "accept");
  ASSERT_TRUE(service.ready());

  EXPECT_TRUE(SetLocalTimeThroughTimeService(row.local));
  EXPECT_THAT(service.RecordedCalls(), ElementsAre(AbsoluteInteractiveCall(row.usecUtc)))
      << row.zone;
}

INSTANTIATE_TEST_SUITE_P(
    Zones, TimeServiceCallTest,
    ::testing::Values(
        SyncCase{"Asia/Shanghai", MakeTimeRecord(2025, 3, 7, 9, 5, 3), 1741309503000000},
        SyncCase{"America/New_York", MakeTimeRecord(2025, 1, 15, 12, 0, 0), 1736960400000000},
        SyncCase{"America/New_York", MakeTimeRecord(2025, 7, 4, 12, 0, 0), 1751644800000000}));

class TimeServiceErrorTest : public TimeServiceTest,
                             public ::testing::WithParamInterface<const char*> {};

// Each answer a real service gives when it does not set the clock.
TEST_P(TimeServiceErrorTest, AnErrorAnswerGivesFalse) {
  const FakeTimeService service(bus_, GetParam());
  ASSERT_TRUE(service.ready());

  EXPECT_FALSE(SetTimeThroughTimeService(1741309503000000));
  EXPECT_THAT(service.WaitForCalls(1, kServiceWait),
              ElementsAre(AbsoluteInteractiveCall(1741309503000000)));
}

INSTANTIATE_TEST_SUITE_P(
    Answers, TimeServiceErrorTest,
    ::testing::Values("error:org.freedesktop.timedate1.AutomaticTimeSyncEnabled",
                      "error:org.freedesktop.DBus.Error.InteractiveAuthorizationRequired",
                      "error:org.freedesktop.DBus.Error.AccessDenied",
                      "error:org.freedesktop.DBus.Error.NotSupported",
                      // The service leaves the bus before it answers: the bus answers NoReply.
                      "vanish"));

TEST_F(TimeServiceTest, NoServiceOnTheBusGivesFalse) {
  EXPECT_FALSE(SetTimeThroughTimeService(1741309503000000));
}

TEST_F(TimeServiceTest, NoBusGivesFalse) {
  for (const std::string& address :
       {"unix:path=" + bus_.directory() + "/no-bus-here", std::string("not a bus address")}) {
    setenv("DBUS_SYSTEM_BUS_ADDRESS", address.c_str(), 1);
    EXPECT_FALSE(SetTimeThroughTimeService(1741309503000000)) << address;
  }
}

TEST_F(TimeServiceTest, AServiceThatNeverAnswersGivesFalseAfterTheTimeout) {
  const FakeTimeService service(bus_, "silent");
  ASSERT_TRUE(service.ready());
  constexpr auto kTimeout = std::chrono::milliseconds(300);

  const auto start = std::chrono::steady_clock::now();
  EXPECT_FALSE(SetTimeThroughTimeService(1741309503000000, kTimeout));
  const auto waited = std::chrono::steady_clock::now() - start;
  EXPECT_GE(waited, kTimeout);
  // Well short of sd-bus' own 25 s default: the timeout we pass is the one that counts.
  EXPECT_LT(waited, std::chrono::seconds(10));
  EXPECT_THAT(service.WaitForCalls(1, kServiceWait),
              ElementsAre(AbsoluteInteractiveCall(1741309503000000)));
}

// The refusal rules of SetLocalTime come before any bus traffic: the fallback network time
// (year 100) must not even reach the authorisation dialog.
TEST_F(TimeServiceTest, ARefusedRecordNeverReachesTheService) {
  UseZone("Asia/Shanghai");
  const FakeTimeService service(bus_, "accept");
  ASSERT_TRUE(service.ready());
  TimeRecord badMilliseconds = MakeTimeRecord(2025, 3, 7, 9, 5, 3);
  badMilliseconds.wMilliseconds = 1000;
  const TimeRecord refused[] = {
      MakeTimeRecord(100, 1, 1, 0, 0, 0),
      MakeTimeRecord(1600, 12, 31, 23, 59, 59),
      MakeTimeRecord(30828, 1, 1, 0, 0, 0),
      MakeTimeRecord(2025, 2, 29, 12, 0, 0),
      MakeTimeRecord(2025, 13, 1, 12, 0, 0),
      MakeTimeRecord(2025, 4, 31, 12, 0, 0),
      MakeTimeRecord(2025, 3, 7, 24, 0, 0),
      MakeTimeRecord(2025, 3, 7, 9, 60, 0),
      MakeTimeRecord(2025, 3, 7, 9, 5, 60),
      MakeTimeRecord(2025, 3, 0, 9, 5, 3),
      badMilliseconds,
  };
  for (const TimeRecord& record : refused) {
    EXPECT_FALSE(SetLocalTimeThroughTimeService(record))
        << record.wYear << "-" << record.wMonth << "-" << record.wDay << " " << record.wHour << ":"
        << record.wMinute << ":" << record.wSecond << "." << record.wMilliseconds;
  }
  EXPECT_THAT(service.RecordedCalls(), IsEmpty());

  // The service was listening all along: the first settable record does reach it.
  EXPECT_TRUE(SetLocalTimeThroughTimeService(MakeTimeRecord(2025, 3, 7, 9, 5, 3)));
  EXPECT_THAT(service.RecordedCalls(), ElementsAre(AbsoluteInteractiveCall(1741309503000000)));
}

TEST(ProcessHoldsCapabilityTest, AgreesWithTheEffectiveSetInProc) {
  std::ifstream status("/proc/self/status");
  std::string line;
  uint64_t effective = 0;
  while (std::getline(status, line)) {
    if (line.rfind("CapEff:", 0) == 0) effective = std::stoull(line.substr(7), nullptr, 16);
  }
  // Run as root without CAP_SYS_TIME, this sees both answers: most bits set, bit 25 clear.
  for (int capability = 0; capability < 64; ++capability) {
    EXPECT_EQ(ProcessHoldsCapability(capability), ((effective >> capability) & 1) != 0)
        << "capability " << capability;
  }
  EXPECT_EQ(ProcessHoldsSysTime(), ((effective >> 25) & 1) != 0);
}

}  // namespace
}  // namespace tolvaris
