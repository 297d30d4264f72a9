#include "platform/posix/posix_clock.h"

#include <time.h>

#include <utility>

#include "platform/posix/timedate_service.h"

namespace tolvaris {
namespace {

tm ToTm(const TimeRecord& record) {
  tm fields{};
  fields.tm_year = record.wYear - 1900;
  fields.tm_mon = record.wMonth - 1;
  fields.tm_mday = record.wDay;
  fields.tm_hour = record.wHour;
  fields.tm_min = record.wMinute;
  fields.tm_sec = record.wSecond;
  fields.tm_isdst = -1;  // let the zone's rules decide whether summer time applies
  return fields;
}

bool SameWallClock(const tm& a, const tm& b) {
  return a.tm_year == b.tm_year && a.tm_mon == b.tm_mon && a.tm_mday == b.tm_mday &&
         a.tm_hour == b.tm_hour && a.tm_min == b.tm_min && a.tm_sec == b.tm_sec;
}

// A desktop user holds no CAP_SYS_TIME: the system's time service sets the clock for them once
// polkit agrees. A process that holds the right sets the clock itself, as on Windows.
bool SetLocalTimeWithTheRightsHeld(const TimeRecord& localTime) {
  if (ProcessHoldsSysTime()) return SetSystemClockToLocalTime(localTime);
  return SetLocalTimeThroughTimeService(localTime);
}

}  // namespace

bool SetSystemClockToLocalTime(const TimeRecord& localTime) {
  const tm wanted = ToTm(localTime);
  tm converted = wanted;
  const time_t instant = mktime(&converted);
  if (instant == static_cast<time_t>(-1)) {
    // -1 is also the honest answer for 1969-12-31 23:59:59 UTC; only then is it no error.
    tm check{};
    if (localtime_r(&instant, &check) == nullptr || !SameWallClock(check, wanted)) return false;
  }
  const timespec target{instant, 0};
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
