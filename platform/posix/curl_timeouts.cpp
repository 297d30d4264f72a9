#include "platform/posix/curl_timeouts.h"

namespace tolvaris {
namespace {

int64_t OrDefault(int32_t value, int64_t fallback) { return value > 0 ? value : fallback; }

}  // namespace

std::optional<CurlTimeouts> CurlTimeoutsFrom(int32_t resolveMs, int32_t connectMs, int32_t sendMs,
                                             int32_t receiveMs) {
  if (resolveMs < -1 || connectMs < -1 || sendMs < -1 || receiveMs < -1) return std::nullopt;
  return CurlTimeouts{
      OrDefault(resolveMs, 0) + OrDefault(connectMs, kDefaultCurlTimeouts.connectPhaseMs),
      OrDefault(sendMs, kDefaultCurlTimeouts.sendStallMs),
      OrDefault(receiveMs, kDefaultCurlTimeouts.receiveStallMs)};
}

}  // namespace tolvaris
