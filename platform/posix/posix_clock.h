#pragma once

#include <functional>

#include "core/clock.h"

namespace tolvaris {

// Sets the system clock (CLOCK_REALTIME) to a local wall-clock time, read through the local time
// zone. Needs CAP_SYS_TIME; false when the time cannot be converted or the kernel refuses it.
// The record is not checked here: PosixClock::SetLocalTime does that before calling it.
bool SetSystemClockToLocalTime(const TimeRecord& localTime);

// The local clock of a POSIX system.
class PosixClock final : public Clock {
 public:
  // How an accepted record reaches the system; tests put a recording one here.
  using ClockSetter = std::function<bool(const TimeRecord& localTime)>;

  // Sets the clock itself when the process holds CAP_SYS_TIME, else asks the system's time
  // service (org.freedesktop.timedate1) on the system bus, which may ask the user through polkit.
  PosixClock();
  explicit PosixClock(ClockSetter setter);

  // CLOCK_REALTIME through the local time zone, milliseconds included.
  TimeRecord ReadLocalTime() override;
  // Refuses what Windows' SetLocalTime refuses (IsSettableTimeRecord) without touching the
  // system; hands anything else to the setter and returns its answer.
  bool SetLocalTime(const TimeRecord& localTime) override;

 private:
  ClockSetter setter_;
};

}  // namespace tolvaris
