#include "nettime/date_header.h"

#include <gtest/gtest.h>

#include <ostream>
#include <string>

#include "core/gbk_literals.h"
#include "nettime/rfc_date_parser.h"
#include "support/gbk.h"

namespace tolvaris {
namespace {

using testing::Gbk;
using testing::RfcDateParser;

const Text kHeaderBlock =
    "HTTP/1.1 200 OK\r\nDate: Sun, 06 Nov 1994 08:49:37 GMT\r\nServer: test\r\n\r\n";

struct BetweenCase {
  std::string name;
  Text text;
  Text left;
  Text right;
  int32_t startPosition;
  bool caseInsensitive;
  Text expected;
};

void PrintTo(const BetweenCase& c, std::ostream* os) { *os << c.name; }

class TextBetweenCases : public ::testing::TestWithParam<BetweenCase> {};

TEST_P(TextBetweenCases, CutsOutTheValue) {
  const BetweenCase& c = GetParam();
  EXPECT_EQ(TextBetween(c.text, c.left, c.right, c.startPosition, c.caseInsensitive), c.expected);
}

const Text kQuoted = ConcatText("value=", "\"42\"");
const Text kQuoteLeft = ConcatText("value=", gbk::kQuotePlaceholder);

INSTANTIATE_TEST_SUITE_P(
    Delimiters, TextBetweenCases,
    ::testing::Values(
        BetweenCase{"DateLineWithItsLeadingSpace", kHeaderBlock, "Date:", "\r\n", 0, false,
                    " Sun, 06 Nov 1994 08:49:37 GMT"},
        BetweenCase{"LowerCaseNameIsNotFound", "HTTP/1.1 200 OK\r\ndate: x\r\n\r\n",
                    "Date:", "\r\n", 0, false, ""},
        BetweenCase{"UpperCaseNameIsNotFound", "DATE: x\r\n", "Date:", "\r\n", 0, false, ""},
        BetweenCase{"CaseInsensitiveFindsIt", "date: x\r\n", "Date:", "\r\n", 0, true, " x"},
        BetweenCase{"EmptyBlock", "", "Date:", "\r\n", 0, false, ""},
        BetweenCase{"FirstOccurrenceWinsEvenInsideAnotherName",
                    "X-Last-Date: yesterday\r\nDate: today\r\n", "Date:", "\r\n", 0, false,
                    " yesterday"},
        BetweenCase{"RightDelimiterRightAfterTheLeft", "Date:\r\nServer: x\r\n", "Date:", "\r\n", 0,
                    false, ""},
        BetweenCase{"NoRightDelimiterAfterTheLeft", "\r\nDate: x", "Date:", "\r\n", 0, false, ""},
        BetweenCase{"RightDelimiterInsideTheLeftIsNotUsed", "a=b=c;", "a=", "=", 0, false, "b"},
        BetweenCase{"QuotePlaceholderInBothDelimiters", ConcatText("x ", kQuoted, " y"), kQuoteLeft,
                    gbk::kQuotePlaceholder, 0, false, "42"},
        BetweenCase{"PlaceholderInTheTextStaysLiteral",
                    ConcatText(kQuoteLeft, "42", gbk::kQuotePlaceholder), kQuoteLeft,
                    gbk::kQuotePlaceholder, 0, false, ""},
        BetweenCase{"StartPositionSkipsEarlierMatches", "a=1;a=2;", "a=", ";", 3, false, "2"},
        BetweenCase{"StartPositionOnTheMatchFindsIt", "a=1;a=2;", "a=", ";", 5, false, "2"},
        BetweenCase{"StartPositionZeroIsTheFirstByte", "a=1;a=2;", "a=", ";", 0, false, "1"},
        BetweenCase{"NegativeStartPositionIsTheFirstByte", "a=1;a=2;", "a=", ";", -5, false, "1"},
        BetweenCase{"StartPositionPastTheMatches", "a=1;a=2;", "a=", ";", 6, false, ""},
        // 0xB0 0x44 is one two-byte character whose second byte is 'D': no match starts there.
        BetweenCase{"NoMatchOnTheSecondByteOfACharacter",
                    "\xB0"
                    "Date: x\r\n",
                    "Date:", "\r\n", 0, false, ""},
        BetweenCase{"TwoByteCharactersInTheValueStay", "k=\xB1\xB1\xBE\xA9;", "k=", ";", 0, false,
                    "\xB1\xB1\xBE\xA9"}),
    [](const ::testing::TestParamInfo<BetweenCase>& info) { return info.param.name; });

struct BeijingCase {
  Text dateText;
  bool convertToBeijingTime;
  std::string expectedText;  // UTF-8
};

void PrintTo(const BeijingCase& c, std::ostream* os) {
  *os << '"' << c.dateText.Bytes() << "\" convert " << c.convertToBeijingTime;
}

class HttpDateToBeijingTimeCases : public ::testing::TestWithParam<BeijingCase> {};

TEST_P(HttpDateToBeijingTimeCases, ShowsTheConvertedTime) {
  const BeijingCase& c = GetParam();
  const DateTime value = HttpDateToBeijingTime(RfcDateParser(), c.dateText, c.convertToBeijingTime);
  EXPECT_EQ(DateTimeToText(value), Gbk(c.expectedText)) << c.dateText.Bytes();
}

INSTANTIATE_TEST_SUITE_P(
    Dates, HttpDateToBeijingTimeCases,
    ::testing::Values(
        BeijingCase{" Sun, 06 Nov 1994 08:49:37 GMT", true, "1994年11月6日16时49分37秒"},
        BeijingCase{" Sun, 06 Nov 1994 08:49:37 GMT", false, "1994年11月6日8时49分37秒"},
        BeijingCase{" Tue, 31 Dec 2024 20:00:00 GMT", true, "2025年1月1日4时"},
        BeijingCase{" Thu, 28 Feb 2019 16:00:00 GMT", true, "2019年3月1日"},
        BeijingCase{" Wed, 28 Feb 2024 16:00:00 GMT", true, "2024年2月29日"},
        BeijingCase{" Sunday, 06-Nov-94 08:49:37 GMT", true, "1994年11月6日16时49分37秒"},
        BeijingCase{" Sun Nov  6 08:49:37 1994", true, "1994年11月6日16时49分37秒"},
        // Whatever cannot be read falls back to the lower limit, eight hours or not.
        BeijingCase{"", true, "100年1月1日"}, BeijingCase{"", false, "100年1月1日"},
        BeijingCase{" garbage", true, "100年1月1日"},
        BeijingCase{" Fri, 30 Feb 2024 08:49:37 GMT", true, "100年1月1日"},
        BeijingCase{" Sun, 06 Nov 1994 25:00:00 GMT", true, "100年1月1日"},
        BeijingCase{" Sun, 06 Nov 1994 08:49:37 CST", true, "100年1月1日"}));

TEST(HttpDateToBeijingTime, UnreadableDateIsExactlyTheFallback) {
  const DateTime value = HttpDateToBeijingTime(RfcDateParser(), " junk");
  EXPECT_EQ(ReadDateParts(value), (DateParts{100, 1, 1, 0, 0, 0}));
  EXPECT_EQ(SecondsBetween(value, EarliestDateTime), 0);
}

// Stands for a platform parser: records what it was given and writes a fixed record.
class ScriptedParser final : public HttpDateParser {
 public:
  explicit ScriptedParser(TimeRecord toWrite) : toWrite_(toWrite) {}
  void InternetTimeToSystemTime(const Text& dateText, TimeRecord& record) const override {
    receivedText = dateText;
    receivedRecord = record;
    record = toWrite_;
  }
  mutable Text receivedText;
  mutable TimeRecord receivedRecord{1, 1, 1, 1, 1, 1, 1, 1};

 private:
  TimeRecord toWrite_;
};

TEST(HttpDateToBeijingTime, HandsTheTextOverUntouchedWithAZeroedRecord) {
  const ScriptedParser parser(TimeRecord{});
  HttpDateToBeijingTime(parser, "  Sun, 06 Nov 1994 08:49:37 GMT \t");
  EXPECT_EQ(parser.receivedText, Text("  Sun, 06 Nov 1994 08:49:37 GMT \t"));
  EXPECT_EQ(parser.receivedRecord, TimeRecord{});
}

struct RecordCase {
  std::string name;
  TimeRecord record;  // wYear, wMonth, wDayOfWeek, wDay, wHour, wMinute, wSecond, wMilliseconds
  std::string expectedText;
};

void PrintTo(const RecordCase& c, std::ostream* os) { *os << c.name; }

class HttpDateToBeijingTimeRecord : public ::testing::TestWithParam<RecordCase> {};

TEST_P(HttpDateToBeijingTimeRecord, ComposesWhatTheParserLeft) {
  const DateTime value =
      HttpDateToBeijingTime(ScriptedParser(GetParam().record), "x", /*convertToBeijingTime=*/false);
  EXPECT_EQ(DateTimeToText(value), Gbk(GetParam().expectedText));
}

INSTANTIATE_TEST_SUITE_P(
    Records, HttpDateToBeijingTimeRecord,
    ::testing::Values(RecordCase{"AllZero", TimeRecord{}, "100年1月1日"},
                      // Weekday and milliseconds are not read.
                      RecordCase{"WeekdayAndMillisecondsIgnored",
                                 TimeRecord{2024, 3, 6, 9, 8, 7, 6, 999}, "2024年3月9日8时7分6秒"},
                      // A platform parser could leave fields ComposeDateTime has to clamp.
                      RecordCase{"DayCappedAtTheMonthsLength",
                                 TimeRecord{2023, 2, 0, 30, 0, 0, 0, 0}, "2023年2月28日"},
                      // Fields above 32767 read as negative 16-bit numbers and clamp to their lower
                      // bound. Read unsigned, the same record would give December and 23 o'clock.
                      RecordCase{"FieldsReadAsSigned16Bit",
                                 TimeRecord{2024, 65535, 0, 6, 40000, 0, 0, 0}, "2024年1月6日"}),
    [](const ::testing::TestParamInfo<RecordCase>& info) { return info.param.name; });

}  // namespace
}  // namespace tolvaris
