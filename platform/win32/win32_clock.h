#pragma once

#include "core/clock.h"

namespace tolvaris {

// The local wall clock through GetLocalTime and SetLocalTime.
class Win32Clock final : public Clock {
 public:
  TimeRecord ReadLocalTime() override;
  // False without a system call for a record Windows would refuse anyway (IsSettableTimeRecord);
  // otherwise what SetLocalTime reports. Needs the right to change the system time.
  bool SetLocalTime(const TimeRecord& localTime) override;
};

}  // namespace tolvaris
