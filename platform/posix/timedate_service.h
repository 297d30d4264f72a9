#pragma once

#include <chrono>
#include <cstdint>
#include <optional>

#include "core/clock.h"

namespace tolvaris {

// Setting the clock the way a Linux desktop does it: through systemd's time service
// (org.freedesktop.timedate1) on the system bus, which asks polkit, which may ask the user for
// a password. No right of our own is needed for this road; the service holds CAP_SYS_TIME.
//
// The system bus is the one sd-bus finds: $DBUS_SYSTEM_BUS_ADDRESS when it is set, else
// unix:path=/run/dbus/system_bus_socket.

// How long one SetTime call may wait for its answer. The answer comes only after polkit has
// decided, and polkit may be showing a password dialog; 25 s (sd-bus' default) is too short for
// a person to read it and type a password. Because the sync command blocks the window while it
// waits, an unbounded wait would freeze the program for good behind a service that never
// answers; two minutes bounds that.
inline constexpr std::chrono::microseconds kTimeServiceCallTimeout = std::chrono::minutes(2);

// org.freedesktop.timedate1.SetTime(x usecUtc, b relative = false, b interactive = true), with
// the message's "allow interactive authorisation" flag set as well. True only when the service
// answers without error; no bus, no service, an error answer (automatic time synchronisation on,
// authorisation refused, ...) and a timeout all give false. Opens and closes its own bus
// connection, so it may be called from any thread.
bool SetTimeThroughTimeService(int64_t usecUtc,
                               std::chrono::microseconds timeout = kTimeServiceCallTimeout);

// The UTC instant, in microseconds since 1970-01-01 00:00:00 UTC, of the local wall-clock time
// in localTime (wDayOfWeek ignored) under the process' time zone ($TZ or /etc/localtime), as
// mktime with tm_isdst = -1 finds it. A time repeated when the clock falls back gives one of its
// two instants; a time skipped when the clock springs forward is moved across the gap by the
// size of the gap. nullopt when mktime cannot represent it.
std::optional<int64_t> LocalTimeToUtcMicroseconds(const TimeRecord& localTime);

// What SetLocalTime does without CAP_SYS_TIME: a record that IsSettableTimeRecord refuses gives
// false without any bus traffic; any other goes to SetTimeThroughTimeService as its UTC instant.
bool SetLocalTimeThroughTimeService(const TimeRecord& localTime,
                                    std::chrono::microseconds timeout = kTimeServiceCallTimeout);

// True when CAP_SYS_TIME is in this thread's effective capability set, that is when
// clock_settime may set the real-time clock directly.
bool ProcessHoldsSysTime();
// The same for any capability number of <linux/capability.h>; false when it cannot be read.
bool ProcessHoldsCapability(int capability);

}  // namespace tolvaris
