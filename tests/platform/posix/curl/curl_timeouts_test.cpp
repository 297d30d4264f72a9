#include "platform/posix/curl_timeouts.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <limits>

namespace tolvaris {
namespace {

struct TimeoutCase {
  int32_t resolve, connect, send, receive;
  std::optional<CurlTimeouts> expected;
  const char* why;
};

TEST(CurlTimeoutsTest, FourTimeoutsBecomeAConnectBudgetAndTwoStallLimits) {
  constexpr int32_t kMost = std::numeric_limits<int32_t>::max();
  const TimeoutCase cases[] = {
      {15000, 15000, 15000, 15000, CurlTimeouts{30000, 15000, 15000}, "the request routine's"},
      {1000, 2000, 3000, 4000, CurlTimeouts{3000, 3000, 4000}, "each its own"},
      {0, 0, 0, 0, kDefaultCurlTimeouts, "0 means no limit on Windows: the default here"},
      {-1, -1, -1, -1, kDefaultCurlTimeouts, "so does -1"},
      {-1, 5000, 0, 7000, CurlTimeouts{5000, 30000, 7000}, "mixed"},
      {kMost, kMost, kMost, kMost, CurlTimeouts{2 * int64_t{kMost}, kMost, kMost}, "no overflow"},
      {-2, 1000, 1000, 1000, std::nullopt, "below -1 is refused"},
      {1000, 1000, 1000, std::numeric_limits<int32_t>::min(), std::nullopt, "likewise"},
  };
  for (const TimeoutCase& item : cases) {
    EXPECT_EQ(CurlTimeoutsFrom(item.resolve, item.connect, item.send, item.receive), item.expected)
        << item.why;
  }
}

}  // namespace
}  // namespace tolvaris
