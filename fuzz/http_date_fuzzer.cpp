// The HTTP-date parser and HttpDateToBeijingTime: the parser takes exactly the dates the naive
// form-by-form reading takes, an accepted date printed again as IMF-fixdate reads back to the
// same record and its DateTime formats back to the same instant, and junk leaves the fallback,
// EarliestDateTime, with or without the eight hours.
//
// Input: the date text; after a zero byte, optionally, the current UTC time for two-digit years:
// year (2 bytes, little-endian), month, day, hour, minute, second (1 byte each); after another
// zero byte, optionally, six 16-bit fields (little-endian) that a platform parser leaves in the
// record however odd they are (year, month, day, hour, minute, second).

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>

#include "core/datetime.h"
#include "fuzz/fuzz_support.h"
#include "fuzz/reference/naive_date_time.h"
#include "fuzz/reference/naive_http_date.h"
#include "nettime/date_header.h"
#include "nettime/http_date.h"

namespace tolvaris::fuzz {
namespace {

// The parser seam over ParseHttpDate with a fixed "now", so that runs repeat.
class FixedNowParser final : public HttpDateParser {
 public:
  explicit FixedNowParser(TimeRecord now) : now_(now) {}
  void InternetTimeToSystemTime(const Text& dateText, TimeRecord& record) const override {
    if (std::optional<TimeRecord> read = ParseHttpDate(dateText.View(), now_)) record = *read;
  }

 private:
  TimeRecord now_;
};

// A current time a clock can show: any year the 50-year rule can meet, real months and days.
TimeRecord CurrentTime(const std::string& bytes) {
  auto byte = [&](size_t i) { return i < bytes.size() ? static_cast<uint8_t>(bytes[i]) : 0; };
  TimeRecord now;
  now.wYear = static_cast<uint16_t>(1601 + (byte(0) | byte(1) << 8) % (9999 - 1601 + 1));
  if (bytes.empty()) now.wYear = 2025;
  now.wMonth = static_cast<uint16_t>(1 + byte(2) % 12);
  now.wDay = static_cast<uint16_t>(1 + byte(3) % naive::DaysInMonth(now.wYear, now.wMonth));
  now.wHour = static_cast<uint16_t>(byte(4) % 24);
  now.wMinute = static_cast<uint16_t>(byte(5) % 60);
  now.wSecond = static_cast<uint16_t>(byte(6) % 60);
  return now;
}

// A platform parser may leave any values in the record; they are read as signed 16-bit fields.
class RecordWritingParser final : public HttpDateParser {
 public:
  explicit RecordWritingParser(TimeRecord record) : record_(record) {}
  void InternetTimeToSystemTime(const Text&, TimeRecord& record) const override {
    record = record_;
  }

 private:
  TimeRecord record_;
};

std::string Shown(const std::optional<TimeRecord>& r) {
  if (!r) return "rejected";
  char text[96];
  std::snprintf(text, sizeof text, "%04d-%02d-%02d %02d:%02d:%02d.%03d weekday %d", r->wYear,
                r->wMonth, r->wDay, r->wHour, r->wMinute, r->wSecond, r->wMilliseconds,
                r->wDayOfWeek);
  return text;
}

std::optional<TimeRecord> AsRecord(const std::optional<naive::HttpDate>& date) {
  if (!date) return std::nullopt;
  TimeRecord r;
  r.wYear = static_cast<uint16_t>(date->year);
  r.wMonth = static_cast<uint16_t>(date->month);
  r.wDayOfWeek = static_cast<uint16_t>(date->dayOfWeek);
  r.wDay = static_cast<uint16_t>(date->day);
  r.wHour = static_cast<uint16_t>(date->hour);
  r.wMinute = static_cast<uint16_t>(date->minute);
  r.wSecond = static_cast<uint16_t>(date->second);
  return r;
}

void CheckAccepted(const Text& dateText, const TimeRecord& now, const naive::HttpDate& date) {
  auto describe = [&] { return Report().Add("date", dateText.View()).Add("now", Shown(now)); };
  std::string printed = naive::FormatImfFixdate(date);
  std::optional<TimeRecord> again = ParseHttpDate(printed, now);
  if (again != AsRecord(date)) {
    Fail("ParseHttpDate of the date printed again", describe(), Shown(again),
         Shown(AsRecord(date)));
  }

  FixedNowParser parser(now);
  double composed =
      naive::Compose(date.year, date.month, date.day, date.hour, date.minute, date.second);
  double utc = HttpDateToBeijingTime(parser, dateText, false).stored;
  double beijing = HttpDateToBeijingTime(parser, dateText).stored;
  Expect(utc == composed, "HttpDateToBeijingTime without the eight hours", describe);
  Expect(beijing == naive::AddHours(composed, 8), "HttpDateToBeijingTime with the eight hours",
         describe);
  // Years before 100 are clamped by ComposeDateTime; every other date reads back unchanged,
  // apart from a time of day on 0100-01-01 or 9999-12-31: it lies beyond the limits and reads as
  // midnight.
  if (date.year >= 100) {
    naive::Parts parts{date.year, date.month, date.day, date.hour, date.minute, date.second};
    bool firstDay = date.year == 100 && date.month == 1 && date.day == 1;
    bool lastDay = date.year == 9999 && date.month == 12 && date.day == 31;
    if (firstDay || lastDay) parts.hour = parts.minute = parts.second = 0;
    ExpectSame("DateTimeToText of the parsed date", DateTimeToText(DateTime{utc}).View(),
               naive::PartsText(parts), describe);
  }
}

void CheckRejected(const Text& dateText, const TimeRecord& now) {
  auto describe = [&] { return Report().Add("date", dateText.View()).Add("now", Shown(now)); };
  FixedNowParser parser(now);
  for (bool convert : {false, true}) {
    DateTime value = HttpDateToBeijingTime(parser, dateText, convert);
    Expect(LimitDateTime(value) == EarliestDateTime,
           "an unreadable date does not fall back to EarliestDateTime", describe);
    ExpectSame("DateTimeToText of the fallback", DateTimeToText(value).View(),
               naive::PartsText({100, 1, 1, 0, 0, 0}), describe);
  }
}

void CheckAnyRecord(const std::string& bytes) {
  auto field = [&](size_t i) {
    uint8_t low = i * 2 < bytes.size() ? static_cast<uint8_t>(bytes[i * 2]) : 0;
    uint8_t high = i * 2 + 1 < bytes.size() ? static_cast<uint8_t>(bytes[i * 2 + 1]) : 0;
    return static_cast<uint16_t>(low | high << 8);
  };
  TimeRecord record;
  record.wYear = field(0);
  record.wMonth = field(1);
  record.wDay = field(2);
  record.wHour = field(3);
  record.wMinute = field(4);
  record.wSecond = field(5);
  RecordWritingParser parser(record);
  auto asSigned = [](uint16_t value) { return static_cast<int16_t>(value); };
  double composed =
      naive::Compose(asSigned(record.wYear), asSigned(record.wMonth), asSigned(record.wDay),
                     asSigned(record.wHour), asSigned(record.wMinute), asSigned(record.wSecond));
  auto describe = [&] { return Report().Add("record", Shown(record)); };
  Expect(HttpDateToBeijingTime(parser, Text(), false).stored == composed,
         "HttpDateToBeijingTime of the record the parser left", describe);
  Expect(HttpDateToBeijingTime(parser, Text()).stored == naive::AddHours(composed, 8),
         "HttpDateToBeijingTime of the record the parser left, eight hours on", describe);
}

}  // namespace
}  // namespace tolvaris::fuzz

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace tolvaris;
  using namespace tolvaris::fuzz;
  std::vector<std::string> fields = SplitFields(data, size, 3);
  Text dateText(fields[0]);
  TimeRecord now = CurrentTime(fields[1]);

  std::optional<TimeRecord> parsed = ParseHttpDate(dateText.View(), now);
  naive::HttpDate nowFields{now.wYear, now.wMonth, now.wDay, now.wHour, now.wMinute, now.wSecond};
  std::optional<naive::HttpDate> expected = naive::ParseHttpDate(dateText.Bytes(), nowFields);
  if (parsed != AsRecord(expected)) {
    Fail("ParseHttpDate", Report().Add("date", dateText.View()).Add("now", Shown(now)),
         Shown(parsed), Shown(AsRecord(expected)));
  }
  if (expected) {
    CheckAccepted(dateText, now, *expected);
  } else {
    CheckRejected(dateText, now);
  }
  CheckAnyRecord(fields[2]);
  return 0;
}
