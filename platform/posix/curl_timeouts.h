#pragma once

#include <cstdint>
#include <optional>

namespace tolvaris {

// How long one transfer of the libcurl request object may wait, in milliseconds.
struct CurlTimeouts {
  // Name resolution and connection, proxy and TLS handshakes included.
  int64_t connectPhaseMs = 0;
  // Longest time without progress while the request body goes out.
  int64_t sendStallMs = 0;
  // Longest time without a byte of the answer once connected.
  int64_t receiveStallMs = 0;

  friend bool operator==(const CurlTimeouts&, const CurlTimeouts&) = default;
};

// Until SetTimeouts is called: the connect and the send/receive defaults of the Windows object
// (60 s, 30 s, 30 s); name resolution shares the connect budget.
inline constexpr CurlTimeouts kDefaultCurlTimeouts{60000, 30000, 30000};

// The four time-outs of SetTimeouts. Resolution and connection add up to the connect phase. On
// Windows 0 and -1 mean "wait forever"; no request here may hang, so they fall back to the
// default of their phase (resolution: no time of its own). A value below -1 is refused
// (nullopt), as Windows refuses it.
std::optional<CurlTimeouts> CurlTimeoutsFrom(int32_t resolveMs, int32_t connectMs, int32_t sendMs,
                                             int32_t receiveMs);

}  // namespace tolvaris
