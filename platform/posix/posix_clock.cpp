#include "platform/posix/posix_clock.h"

#include <time.h>

#include <cstdint>
#include <optional>
#include <utility>

#include "platform/posix/timedate_service.h"

namespace tolvaris {
namespace {

// A desktop user holds no CAP_SYS_TIME: the system's time service sets the clock for them once
// polkit agrees. A process that holds the right sets the clock itself, as on Windows.
bool SetLocalTimeWithTheRightsHeld(const TimeRecord& localTime) {
  if (ProcessHoldsSysTime()) return SetSystemClockToLocalTime(localTime);
  return SetLocalTimeThroughTimeService(localTime);
}

}  // namespace

bool SetSystemClockToLocalTime(const TimeRecord& localTime) {
  const std::optional<int64_t> usecUtc = LocalTimeToUtcMicroseconds(localTime);
  if (!usecUtc) return false;
  // Whole seconds rounded down, so that the nanoseconds are never negative.
  int64_t seconds = *usecUtc / 1'000'000;
  int64_t usec = *usecUtc % 1'000'000;
  if (usec < 0) {
    usec += 1'000'000;
    --seconds;
  }
  const timespec target{static_cast<time_t>(seconds), static_cast<long>(usec * 1000)};
  return clock_settime(CLOCK_REALTIME, &target) == 0;
}

PosixClock::PosixClock() : setter_(SetLocalTimeWithTheRightsHeld) {}

PosixClock::PosixClock(ClockSetter setter) : setter_(std::move(setter)) {}

TimeRecord PosixClock::ReadLocalTime() {
  timespec now{};
  tm local{};
  if (clock_gettime(CLOCK_REALTIME, &now) != 0 || localtime_r(&now.tv_sec, &local) == nullptr) {
    return TimeRecord{};
  }
  TimeRecord record;
  record.wYear = static_cast<uint16_t>(local.tm_year + 1900);
  record.wMonth = static_cast<uint16_t>(local.tm_mon + 1);
  record.wDayOfWeek = static_cast<uint16_t>(local.tm_wday);
  record.wDay = static_cast<uint16_t>(local.tm_mday);
  record.wHour = static_cast<uint16_t>(local.tm_hour);
  record.wMinute = static_cast<uint16_t>(local.tm_min);
  // A zone with leap seconds ("right/...") can show second 60, which no SYSTEMTIME holds.
  record.wSecond = static_cast<uint16_t>(local.tm_sec > 59 ? 59 : local.tm_sec);
  record.wMilliseconds = static_cast<uint16_t>(now.tv_nsec / 1000000);
  return record;
}

bool PosixClock::SetLocalTime(const TimeRecord& localTime) {
  if (!IsSettableTimeRecord(localTime)) return false;
  return setter_ ? setter_(localTime) : false;
}

}  // namespace tolvaris
