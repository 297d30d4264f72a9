#include "platform/posix/posix_clock.h"

#include <gtest/gtest.h>
#include <linux/capability.h>
#include <sys/prctl.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <fstream>
#include <ostream>
#include <string>
#include <vector>

#include "support/time_record.h"

namespace tolvaris {
namespace {

using testing::MakeTimeRecord;

constexpr int kCapSysTime = 25;  // CAP_SYS_TIME

// A PosixClock whose setter only records: nothing here can reach the system clock.
struct RecordingClock {
  explicit RecordingClock(bool answer)
      : clock([this, answer](const TimeRecord& record) {
          handedOver.push_back(record);
          return answer;
        }) {}
  std::vector<TimeRecord> handedOver;
  PosixClock clock;
};

struct RefusedCase {
  std::string name;
  TimeRecord record;
};

void PrintTo(const RefusedCase& c, std::ostream* os) { *os << c.name; }

class PosixClockRefuses : public ::testing::TestWithParam<RefusedCase> {};

TEST_P(PosixClockRefuses, WithoutReachingTheSetter) {
  RecordingClock recording(/*answer=*/true);
  EXPECT_FALSE(recording.clock.SetLocalTime(GetParam().record));
  EXPECT_TRUE(recording.handedOver.empty());
}

INSTANTIATE_TEST_SUITE_P(
    OutOfRange, PosixClockRefuses,
    ::testing::Values(RefusedCase{"AllZero", TimeRecord{}},
                      RefusedCase{"YearBefore1601", MakeTimeRecord(1600, 12, 31, 23, 59, 59)},
                      RefusedCase{"Year100Fallback", MakeTimeRecord(100, 1, 1, 0, 0, 0)},
                      RefusedCase{"YearAfter30827", MakeTimeRecord(30828, 1, 1, 0, 0, 0)},
                      RefusedCase{"MonthZero", MakeTimeRecord(2025, 0, 1, 0, 0, 0)},
                      RefusedCase{"Month13", MakeTimeRecord(2025, 13, 1, 0, 0, 0)},
                      RefusedCase{"DayZero", MakeTimeRecord(2025, 1, 0, 0, 0, 0)},
                      RefusedCase{"April31", MakeTimeRecord(2025, 4, 31, 0, 0, 0)},
                      RefusedCase{"Feb29OfACommonYear", MakeTimeRecord(2023, 2, 29, 0, 0, 0)},
                      RefusedCase{"Feb29Of1900", MakeTimeRecord(1900, 2, 29, 0, 0, 0)},
                      RefusedCase{"Hour24", MakeTimeRecord(2025, 1, 1, 24, 0, 0)},
                      RefusedCase{"Minute60", MakeTimeRecord(2025, 1, 1, 0, 60, 0)},
                      RefusedCase{"Second60", MakeTimeRecord(2025, 1, 1, 23, 59, 60)},
                      RefusedCase{"Millisecond1000", MakeTimeRecord(2025, 1, 1, 0, 0, 0, 1000)}),
    [](const ::testing::TestParamInfo<RefusedCase>& info) { return info.param.name; });

class PosixClockHandsOver : public ::testing::TestWithParam<TimeRecord> {};

TEST_P(PosixClockHandsOver, AcceptedRecordsAndReturnsTheSettersAnswer) {
  for (bool answer : {true, false}) {
    RecordingClock recording(answer);
    EXPECT_EQ(recording.clock.SetLocalTime(GetParam()), answer);
    ASSERT_EQ(recording.handedOver.size(), 1u);
    EXPECT_EQ(recording.handedOver[0], GetParam());
  }
}

INSTANTIATE_TEST_SUITE_P(Settable, PosixClockHandsOver,
                         ::testing::Values(MakeTimeRecord(1601, 1, 1, 0, 0, 0),
                                           MakeTimeRecord(2024, 2, 29, 23, 59, 59, 999),
                                           MakeTimeRecord(2000, 2, 29, 12, 0, 0),
                                           MakeTimeRecord(2025, 12, 31, 0, 0, 0),
                                           MakeTimeRecord(30827, 12, 31, 23, 59, 59, 999)));

// Sets TZ for one test and puts the old value back.
class ScopedTimeZone {
 public:
  explicit ScopedTimeZone(const char* zone) {
    if (const char* old = std::getenv("TZ")) old_ = old;
    setenv("TZ", zone, 1);
    tzset();
  }
  ~ScopedTimeZone() {
    if (old_.empty()) {
      unsetenv("TZ");
    } else {
      setenv("TZ", old_.c_str(), 1);
    }
    tzset();
  }

 private:
  std::string old_;
};

// Seconds since the epoch of a wall-clock record read in the zone offsetHours east of UTC.
int64_t EpochSeconds(const TimeRecord& record, int offsetHours) {
  const int64_t y = record.wYear - (record.wMonth <= 2);
  const int64_t era = (y >= 0 ? y : y - 399) / 400;
  const int64_t yearOfEra = y - era * 400;
  const int64_t dayOfYear =
      (153 * (record.wMonth + (record.wMonth > 2 ? -3 : 9)) + 2) / 5 + record.wDay - 1;
  const int64_t dayOfEra = yearOfEra * 365 + yearOfEra / 4 - yearOfEra / 100 + dayOfYear;
  const int64_t days = era * 146097 + dayOfEra - 719468;
  return days * 86400 + record.wHour * 3600 + record.wMinute * 60 + record.wSecond -
         offsetHours * 3600;
}

struct ZoneCase {
  const char* zone;
  int offsetHours;
};

void PrintTo(const ZoneCase& c, std::ostream* os) { *os << "TZ=" << c.zone; }

class PosixClockReads : public ::testing::TestWithParam<ZoneCase> {};

TEST_P(PosixClockReads, TheWallClockOfTheLocalZone) {
  const ScopedTimeZone zone(GetParam().zone);
  PosixClock clock;

  const time_t before = time(nullptr);
  const TimeRecord now = clock.ReadLocalTime();
  const time_t after = time(nullptr);

  const int64_t seconds = EpochSeconds(now, GetParam().offsetHours);
  EXPECT_GE(seconds, before);
  EXPECT_LE(seconds, after);
  EXPECT_LT(now.wMilliseconds, 1000);
  // 1970-01-01 was a Thursday (4).
  const int64_t daysSinceEpoch = (seconds + GetParam().offsetHours * 3600) / 86400;
  EXPECT_EQ(now.wDayOfWeek, (daysSinceEpoch + 4) % 7);
  EXPECT_TRUE(IsSettableTimeRecord(now));
}

// POSIX zone strings: no time-zone database needed. "CST-8" is eight hours east of UTC.
INSTANTIATE_TEST_SUITE_P(Zones, PosixClockReads,
                         ::testing::Values(ZoneCase{"UTC0", 0}, ZoneCase{"CST-8", 8},
                                           ZoneCase{"EST5", -5}));

TEST(PosixClock, ReadsMilliseconds) {
  PosixClock clock;
  // Over a few reads spread across more than a second, some read must fall past the first
  // millisecond of its second.
  bool sawMilliseconds = false;
  for (int i = 0; i < 12 && !sawMilliseconds; ++i) {
    sawMilliseconds = clock.ReadLocalTime().wMilliseconds != 0;
    const timespec pause{0, 97'000'000};
    nanosleep(&pause, nullptr);
  }
  EXPECT_TRUE(sawMilliseconds);
}

// Bit 25 of a capability mask line ("CapEff:\t0000003fffffffff") of /proc/self/status.
bool StatusShowsSysTime(const std::string& field) {
  std::ifstream status("/proc/self/status");
  std::string line;
  while (std::getline(status, line)) {
    if (line.rfind(field + ":", 0) == 0) {
      const unsigned long long mask = std::stoull(line.substr(field.size() + 1), nullptr, 16);
      return ((mask >> kCapSysTime) & 1) != 0;
    }
  }
  return true;  // unreadable: assume the worst
}

// Drops CAP_SYS_TIME from the bounding, effective, permitted and inheritable sets of this
// process. The bounding drop needs CAP_SETPCAP and is moot when the bit is gone already, so only
// the check of the outcome counts.
bool DropSysTimeAndCheck() {
  prctl(PR_CAPBSET_DROP, kCapSysTime, 0, 0, 0);
  __user_cap_header_struct header{_LINUX_CAPABILITY_VERSION_3, 0};
  __user_cap_data_struct data[2] = {};
  if (syscall(SYS_capget, &header, data) != 0) return false;
  const unsigned bit = 1u << kCapSysTime;
  data[0].effective &= ~bit;
  data[0].permitted &= ~bit;
  data[0].inheritable &= ~bit;
  if (syscall(SYS_capset, &header, data) != 0) return false;
  return !StatusShowsSysTime("CapEff") && !StatusShowsSysTime("CapPrm") &&
         !StatusShowsSysTime("CapBnd");
}

// Exit codes of the child below.
constexpr int kChildRefused = 0;
constexpr int kChildCapabilityStillHeld = 90;
constexpr int kChildClockWasSet = 91;
constexpr int kChildRefusedForAnotherReason = 92;

TEST(PosixClockWithoutSysTime, TheRealSetterFails) {
  const pid_t child = fork();
  ASSERT_NE(child, -1);
  if (child == 0) {
    // Only this child ever calls the real setter, and only once the right is verifiably gone.
    if (!DropSysTimeAndCheck()) _exit(kChildCapabilityStillHeld);
    PosixClock clock;
    // The present time: were the call ever let through, the clock would barely move.
    const TimeRecord now = clock.ReadLocalTime();
    errno = 0;
    if (SetSystemClockToLocalTime(now)) _exit(kChildClockWasSet);
    _exit(errno == EPERM ? kChildRefused : kChildRefusedForAnotherReason);
  }
  int status = 0;
  ASSERT_EQ(waitpid(child, &status, 0), child);
  ASSERT_TRUE(WIFEXITED(status)) << "child ended by signal " << WTERMSIG(status);
  ASSERT_NE(WEXITSTATUS(status), kChildCapabilityStillHeld)
      << "CAP_SYS_TIME could not be dropped; the real setter was not called";
  EXPECT_EQ(WEXITSTATUS(status), kChildRefused);
}

}  // namespace
}  // namespace tolvaris
