#include "platform/win32/win32_clock.h"

#include <windows.h>

#include "platform/win32/system_time.h"

namespace tolvaris {

TimeRecord Win32Clock::ReadLocalTime() {
  SYSTEMTIME now{};
  GetLocalTime(&now);
  return FromSystemTime(now);
}

bool Win32Clock::SetLocalTime(const TimeRecord& localTime) {
  if (!IsSettableTimeRecord(localTime)) return false;
  const SYSTEMTIME time = ToSystemTime(localTime);
  return ::SetLocalTime(&time) != FALSE;
}

}  // namespace tolvaris
