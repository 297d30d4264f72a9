// The date-time operations on arbitrary 64-bit patterns, NaN and infinities included, against the
// naive calendar: identical results, defined readings of non-finite values (NaN and -inf as the
// earliest date-time, +inf as the latest), and no out-of-range conversion of a real to an integer
// (UBSan's float-cast-overflow stops the run at the first).
//
// Input, little-endian, missing bytes zero: two stored numbers (8 bytes each), an hour count
// (4 bytes), six calendar fields for ComposeDateTime (4 bytes each) and seven clock fields for
// CurrentDateTime (2 bytes each, milliseconds last).

#include <bit>
#include <climits>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>

#include "core/clock.h"
#include "core/datetime.h"
#include "fuzz/fuzz_support.h"
#include "fuzz/reference/naive_date_time.h"
#include "nettime/time_difference.h"

namespace tolvaris::fuzz {
namespace {

class InputReader {
 public:
  InputReader(const uint8_t* data, size_t size) : data_(data), size_(size) {}
  template <typename Value>
  Value Next() {
    unsigned char bytes[sizeof(Value)] = {};
    for (size_t i = 0; i < sizeof(Value) && offset_ < size_; ++i) bytes[i] = data_[offset_++];
    Value value;
    std::memcpy(&value, bytes, sizeof value);
    return value;
  }

 private:
  const uint8_t* data_;
  size_t size_;
  size_t offset_ = 0;
};

// A clock that only remembers: nothing here may reach the machine's clock.
class RecordingClock final : public Clock {
 public:
  explicit RecordingClock(TimeRecord now, bool setSucceeds = true)
      : now_(now), setSucceeds_(setSucceeds) {}
  TimeRecord ReadLocalTime() override { return now_; }
  bool SetLocalTime(const TimeRecord& localTime) override {
    set_ = localTime;
    ++setCount_;
    return setSucceeds_;
  }
  const TimeRecord& SetTo() const { return set_; }
  int SetCount() const { return setCount_; }

 private:
  TimeRecord now_;
  bool setSucceeds_;
  TimeRecord set_;
  int setCount_ = 0;
};

std::string Shown(double value) {
  char text[64];
  std::snprintf(text, sizeof text, "%.17g (bits %016llx)", value,
                static_cast<unsigned long long>(std::bit_cast<uint64_t>(value)));
  return text;
}

std::string Shown(const DateParts& p) {
  char text[96];
  std::snprintf(text, sizeof text, "%d-%d-%d %d:%d:%d", p.year, p.month, p.day, p.hour, p.minute,
                p.second);
  return text;
}

std::string Shown(const naive::Parts& p) {
  return Shown(DateParts{static_cast<int32_t>(p.year), static_cast<int32_t>(p.month),
                         static_cast<int32_t>(p.day), static_cast<int32_t>(p.hour),
                         static_cast<int32_t>(p.minute), static_cast<int32_t>(p.second)});
}

naive::Parts Widened(const DateParts& p) {
  return {p.year, p.month, p.day, p.hour, p.minute, p.second};
}

void ExpectSameReal(std::string_view what, double actual, double expected,
                    const std::string& inputs) {
  bool same = (std::isnan(actual) && std::isnan(expected)) || actual == expected;
  if (!same) Fail(what, Report().Add("inputs", inputs), Shown(actual), Shown(expected));
}

void CheckOneValue(double stored, int32_t hours) {
  std::string inputs = "stored " + Shown(stored) + ", hours " + std::to_string(hours);
  auto describe = [&] { return Report().Add("inputs", inputs); };

  double limited = LimitDateTime(DateTime{stored}).stored;
  ExpectSameReal("LimitDateTime", limited, naive::Limit(stored), inputs);
  if (std::isnan(stored) || stored == -INFINITY) {
    Expect(limited == EarliestDateTime.stored, "a NaN or -inf does not read as EarliestDateTime",
           describe);
  }
  if (stored == INFINITY) {
    Expect(limited == LatestDateTime.stored, "+inf does not read as LatestDateTime", describe);
  }

  naive::Parts expected = naive::ReadParts(stored);
  DateParts parts = ReadDateParts(DateTime{stored});
  if (!(Widened(parts) == expected)) {
    Fail("ReadDateParts", describe(), Shown(parts), Shown(expected));
  }
  ExpectSame("DateTimeToText", DateTimeToText(DateTime{stored}).View(), naive::PartsText(expected),
             describe);

  // Hours 0 hands the stored number back untouched, NaN payload and sign of zero included.
  uint64_t unchanged = std::bit_cast<uint64_t>(AddHours(DateTime{stored}, 0).stored);
  Expect(unchanged == std::bit_cast<uint64_t>(stored), "AddHours by 0 changed the value", describe);
  for (int32_t h : {hours, 8, -8, INT32_MAX, INT32_MIN}) {
    double moved = AddHours(DateTime{stored}, h).stored;
    ExpectSameReal("AddHours", moved, naive::AddHours(stored, h),
                   inputs + ", moved by " + std::to_string(h));
    if (!(Widened(ReadDateParts(DateTime{moved})) == naive::ReadParts(moved))) {
      Fail("ReadDateParts after AddHours", describe(), Shown(ReadDateParts(DateTime{moved})),
           Shown(naive::ReadParts(moved)));
    }
  }

  bool setSucceeds = (hours & 1) != 0;
  RecordingClock clock(TimeRecord{}, setSucceeds);
  Expect(SetLocalClock(clock, DateTime{stored}) == setSucceeds,
         "SetLocalClock did not pass on the clock's answer", describe);
  const TimeRecord& set = clock.SetTo();
  TimeRecord expectedRecord{static_cast<uint16_t>(expected.year),
                            static_cast<uint16_t>(expected.month),
                            static_cast<uint16_t>(naive::DayOfWeek(stored)),
                            static_cast<uint16_t>(expected.day),
                            static_cast<uint16_t>(expected.hour),
                            static_cast<uint16_t>(expected.minute),
                            static_cast<uint16_t>(expected.second),
                            0};
  Expect(clock.SetCount() == 1 && set == expectedRecord,
         "SetLocalClock passed another record to the clock", describe);
}

void CheckPair(double first, double second) {
  std::string inputs = "first " + Shown(first) + ", second " + Shown(second);
  auto describe = [&] { return Report().Add("inputs", inputs); };
  int64_t expected = naive::SecondsBetween(first, second);
  int32_t seconds = SecondsBetween(DateTime{first}, DateTime{second});
  ExpectSame("SecondsBetween", seconds, expected, describe);
  ExpectSame("SecondsBetween, arguments swapped", SecondsBetween(DateTime{second}, DateTime{first}),
             -expected, describe);
  ExpectSame("FormatTimeDifference", FormatTimeDifference(DateTime{first}, DateTime{second}).View(),
             naive::DifferenceText(expected), describe);
}

void CheckCompose(const int32_t (&fields)[6]) {
  std::string inputs;
  for (int32_t field : fields) inputs += std::to_string(field) + " ";
  double composed =
      ComposeDateTime(fields[0], fields[1], fields[2], fields[3], fields[4], fields[5]).stored;
  double expected =
      naive::Compose(fields[0], fields[1], fields[2], fields[3], fields[4], fields[5]);
  ExpectSameReal("ComposeDateTime", composed, expected, inputs);
  // Composing clamps the fields into their ranges, and reading gives those fields back.
  auto clamp = [](int64_t v, int64_t lo, int64_t hi) { return v < lo ? lo : v > hi ? hi : v; };
  naive::Parts clamped{clamp(fields[0], 100, 9999), clamp(fields[1], 1, 12),
                       clamp(fields[2], 1, 31),     clamp(fields[3], 0, 23),
                       clamp(fields[4], 0, 59),     clamp(fields[5], 0, 59)};
  clamped.day = std::min(clamped.day, naive::DaysInMonth(clamped.year, clamped.month));
  // Any time of day on the first and the last day lies beyond the limits and reads as midnight.
  bool firstDay = clamped.year == 100 && clamped.month == 1 && clamped.day == 1;
  bool lastDay = clamped.year == 9999 && clamped.month == 12 && clamped.day == 31;
  if (firstDay || lastDay) clamped.hour = clamped.minute = clamped.second = 0;
  DateParts read = ReadDateParts(DateTime{composed});
  if (!(Widened(read) == clamped)) {
    Fail("ReadDateParts of ComposeDateTime", Report().Add("inputs", inputs), Shown(read),
         Shown(clamped));
  }
}

// The clock's fields as a real clock gives them (year 100 to 9999 here), milliseconds dropped.
void CheckCurrent(const uint16_t (&fields)[7]) {
  TimeRecord now;
  now.wYear = static_cast<uint16_t>(100 + fields[0] % 9900);
  now.wMonth = static_cast<uint16_t>(1 + fields[1] % 12);
  now.wDay = static_cast<uint16_t>(1 + fields[2] % naive::DaysInMonth(now.wYear, now.wMonth));
  now.wHour = static_cast<uint16_t>(fields[3] % 24);
  now.wMinute = static_cast<uint16_t>(fields[4] % 60);
  now.wSecond = static_cast<uint16_t>(fields[5] % 60);
  now.wMilliseconds = static_cast<uint16_t>(fields[6] % 1000);
  RecordingClock clock(now);
  double current = CurrentDateTime(clock).stored;
  ExpectSameReal(
      "CurrentDateTime", current,
      naive::Compose(now.wYear, now.wMonth, now.wDay, now.wHour, now.wMinute, now.wSecond),
      std::to_string(now.wYear) + "-" + std::to_string(now.wMonth) + "-" +
          std::to_string(now.wDay) + " " + std::to_string(now.wHour) + ":" +
          std::to_string(now.wMinute) + ":" + std::to_string(now.wSecond) + "." +
          std::to_string(now.wMilliseconds));
  Expect(clock.SetCount() == 0, "CurrentDateTime set the clock", [] { return Report(); });
}

}  // namespace
}  // namespace tolvaris::fuzz

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace tolvaris::fuzz;
  InputReader input(data, size);
  double first = input.Next<double>();
  double second = input.Next<double>();
  int32_t hours = input.Next<int32_t>();
  int32_t composeFields[6];
  for (int32_t& field : composeFields) field = input.Next<int32_t>();
  uint16_t clockFields[7];
  for (uint16_t& field : clockFields) field = input.Next<uint16_t>();

  // Most bit patterns are far outside the limits; this one lands inside, with a fraction of a day
  // in steps of a millionth, negative days included.
  uint64_t bits = std::bit_cast<uint64_t>(first);
  double inside = -700000.0 + static_cast<double>(bits % 3'700'000'000'000ULL) / 1e6;

  CheckOneValue(first, hours);
  CheckOneValue(second, hours);
  CheckOneValue(inside, hours);
  CheckPair(first, second);
  CheckPair(inside, second);
  CheckPair(first, tolvaris::EarliestDateTime.stored);
  CheckCompose(composeFields);
  CheckCurrent(clockFields);
  return 0;
}
