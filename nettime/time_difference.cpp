#include "nettime/time_difference.h"

#include <cstdint>

#include "core/gbk_literals.h"

namespace tolvaris {
namespace {

// Splits whole by unit through RealRemainder; both are whole numbers, so the reals are exact.
int32_t TakeWholeUnits(double& whole, double unit) {
  const double remainder = RealRemainder(whole, unit);
  const auto units = static_cast<int32_t>((whole - remainder) / unit);
  whole = remainder;
  return units;
}

}  // namespace

Text FormatTimeDifference(DateTime first, DateTime second) {
  // Widened before the sign is dropped, so no count SecondsBetween can give overflows here.
  int64_t seconds = SecondsBetween(first, second);
  if (seconds < 0) seconds = -seconds;

  auto rest = static_cast<double>(seconds);
  const int32_t days = TakeWholeUnits(rest, 86400);
  const int32_t hours = TakeWholeUnits(rest, 3600);
  const int32_t minutes = TakeWholeUnits(rest, 60);
  const auto remainingSeconds = static_cast<int32_t>(rest);

  Text text;
  const auto appendPart = [&text](int32_t count, const char* suffix) {
    if (count != 0) text = ConcatText(text, IntegerToText(count), suffix);
  };
  appendPart(days, gbk::kDaysSuffix);
  appendPart(hours, gbk::kHourSuffix);
  appendPart(minutes, gbk::kMinuteSuffix);
  appendPart(remainingSeconds, gbk::kSecondSuffix);
  return text;
}

}  // namespace tolvaris
