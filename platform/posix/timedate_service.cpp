#include "platform/posix/timedate_service.h"

#include <linux/capability.h>
#include <sys/syscall.h>
#include <systemd/sd-bus.h>
#include <unistd.h>

#include <algorithm>
#include <ctime>
#include <memory>

namespace tolvaris {
namespace {

constexpr char kService[] = "org.freedesktop.timedate1";
constexpr char kObjectPath[] = "/org/freedesktop/timedate1";
constexpr char kInterface[] = "org.freedesktop.timedate1";

struct BusCloser {
  void operator()(sd_bus* bus) const { sd_bus_flush_close_unref(bus); }
};
struct MessageUnref {
  void operator()(sd_bus_message* message) const { sd_bus_message_unref(message); }
};
using BusConnection = std::unique_ptr<sd_bus, BusCloser>;
using BusMessage = std::unique_ptr<sd_bus_message, MessageUnref>;

class BusError {
 public:
  BusError() = default;
  BusError(const BusError&) = delete;
  BusError& operator=(const BusError&) = delete;
  ~BusError() { sd_bus_error_free(&error_); }
  sd_bus_error* get() { return &error_; }

 private:
  sd_bus_error error_ = SD_BUS_ERROR_NULL;
};

}  // namespace

bool SetTimeThroughTimeService(int64_t usecUtc, std::chrono::microseconds timeout) {
  // A fresh connection per call: sd-bus connections must not be shared between threads, and
  // the sync command is rare enough that connecting each time costs nothing worth saving.
  sd_bus* rawBus = nullptr;
  if (sd_bus_open_system(&rawBus) < 0) return false;
  const BusConnection bus(rawBus);

  sd_bus_message* rawCall = nullptr;
  if (sd_bus_message_new_method_call(bus.get(), &rawCall, kService, kObjectPath, kInterface,
                                     "SetTime") < 0) {
    return false;
  }
  const BusMessage call(rawCall);
  const int relative = 0;
  const int interactive = 1;
  if (sd_bus_message_append(call.get(), "xbb", usecUtc, relative, interactive) < 0) return false;
  // The header flag is D-Bus' own way to allow an authorisation dialog, the argument the
  // service's; set both, so that whichever the service reads lets polkit ask.
  if (sd_bus_message_set_allow_interactive_authorization(call.get(), 1) < 0) return false;

  // sd-bus reads a timeout of 0 as "its own default", so the shortest wait we ask for is 1 us.
  const auto timeoutUsec = static_cast<uint64_t>(std::max<int64_t>(timeout.count(), 1));
  BusError error;
  sd_bus_message* rawReply = nullptr;
  const int result = sd_bus_call(bus.get(), call.get(), timeoutUsec, error.get(), &rawReply);
  const BusMessage reply(rawReply);
  return result >= 0;
}

std::optional<int64_t> LocalTimeToUtcMicroseconds(const TimeRecord& localTime) {
  std::tm fields{};
  fields.tm_year = localTime.wYear - 1900;
  fields.tm_mon = localTime.wMonth - 1;
  fields.tm_mday = localTime.wDay;
  fields.tm_hour = localTime.wHour;
  fields.tm_min = localTime.wMinute;
  fields.tm_sec = localTime.wSecond;
  fields.tm_isdst = -1;  // let the zone's rules say whether summer time is in force
  // mktime's -1 is also the valid instant 1969-12-31 23:59:59 UTC; only a failed call leaves
  // tm_wday untouched.
  fields.tm_wday = -1;
  const std::time_t seconds = std::mktime(&fields);
  if (seconds == static_cast<std::time_t>(-1) && fields.tm_wday == -1) return std::nullopt;

  int64_t usec = 0;
  if (__builtin_mul_overflow(static_cast<int64_t>(seconds), int64_t{1'000'000}, &usec) ||
      __builtin_add_overflow(usec, int64_t{localTime.wMilliseconds} * 1000, &usec)) {
    return std::nullopt;
  }
  return usec;
}

bool SetLocalTimeThroughTimeService(const TimeRecord& localTime,
                                    std::chrono::microseconds timeout) {
  if (!IsSettableTimeRecord(localTime)) return false;
  const std::optional<int64_t> usecUtc = LocalTimeToUtcMicroseconds(localTime);
  if (!usecUtc) return false;
  return SetTimeThroughTimeService(*usecUtc, timeout);
}

bool ProcessHoldsSysTime() { return ProcessHoldsCapability(CAP_SYS_TIME); }

bool ProcessHoldsCapability(int capability) {
  if (capability < 0 || capability >= 32 * _LINUX_CAPABILITY_U32S_3) return false;
  __user_cap_header_struct header{};
  header.version = _LINUX_CAPABILITY_VERSION_3;
  header.pid = 0;  // this thread
  __user_cap_data_struct sets[_LINUX_CAPABILITY_U32S_3]{};
  if (syscall(SYS_capget, &header, sets) != 0) return false;
  return (sets[CAP_TO_INDEX(capability)].effective & CAP_TO_MASK(capability)) != 0;
}

}  // namespace tolvaris
