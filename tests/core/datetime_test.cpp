#include "core/datetime.h"

#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <limits>
#include <random>

#include "support/gbk.h"

namespace tolvaris {
namespace {

using testing::Gbk;

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr double kInfinity = std::numeric_limits<double>::infinity();
constexpr int32_t kMost = std::numeric_limits<int32_t>::max();

DateParts Parts(int32_t year, int32_t month, int32_t day, int32_t hour = 0, int32_t minute = 0,
                int32_t second = 0) {
  return DateParts{year, month, day, hour, minute, second};
}

TEST(ComposeDateTime, ClampsEachFieldWithoutCarry) {
  const struct {
    int32_t fields[6];
    DateParts expected;
    const char* why;
  } cases[] = {
      {{2025, 3, 7, 9, 5, 3}, Parts(2025, 3, 7, 9, 5, 3), "in range"},
      {{0, 0, 0, 0, 0, 0}, Parts(100, 1, 1), "six zeros"},
      {{2024, 13, 40, 25, 61, -5}, Parts(2024, 12, 31, 23, 59, 0), "each field on its own"},
      {{2023, 2, 30, 0, 0, 0}, Parts(2023, 2, 28), "day capped at the month"},
      {{2024, 2, 31, 0, 0, 0}, Parts(2024, 2, 29), "leap year"},
      {{1900, 2, 29, 0, 0, 0}, Parts(1900, 2, 28), "1900 is no leap year"},
      {{2000, 2, 29, 0, 0, 0}, Parts(2000, 2, 29), "2000 is a leap year"},
      {{2025, 4, 31, 0, 0, 0}, Parts(2025, 4, 30), "30-day month"},
      {{INT32_MAX, INT32_MAX, INT32_MAX, INT32_MAX, INT32_MAX, INT32_MAX},
       Parts(9999, 12, 31),
       "all at the top, read back within the upper limit"},
      {{INT32_MIN, INT32_MIN, INT32_MIN, INT32_MIN, INT32_MIN, INT32_MIN},
       Parts(100, 1, 1),
       "all at the bottom"},
      {{1899, 12, 29, 6, 0, 0}, Parts(1899, 12, 29, 6), "before day 0"},
      {{1600, 2, 29, 23, 59, 59}, Parts(1600, 2, 29, 23, 59, 59), "far before day 0"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.why);
    const auto& f = c.fields;
    EXPECT_EQ(ReadDateParts(ComposeDateTime(f[0], f[1], f[2], f[3], f[4], f[5])), c.expected);
  }
}

TEST(ComposeDateTime, StoresOleAutomationDates) {
  EXPECT_EQ(ComposeDateTime(1899, 12, 30, 0, 0, 0).stored, 0.0);
  EXPECT_EQ(ComposeDateTime(1900, 1, 1, 0, 0, 0).stored, 2.0);
  EXPECT_EQ(ComposeDateTime(2025, 3, 7, 12, 0, 0).stored, 45723.5);
  EXPECT_EQ(ComposeDateTime(1899, 12, 29, 6, 0, 0).stored, -1.25);
  EXPECT_EQ(ComposeDateTime(0, 0, 0, 0, 0, 0), EarliestDateTime);
  EXPECT_EQ(ComposeDateTime(9999, 12, 31, 0, 0, 0), LatestDateTime);
}

TEST(ReadDateParts, LimitsTheStoredNumberAndRoundsToTheSecond) {
  const struct {
    double stored;
    DateParts expected;
    const char* why;
  } cases[] = {
      {-657434.0, Parts(100, 1, 1), "lower limit"},
      {-657434.25, Parts(100, 1, 1), "06:00 on the first day lies below the limit"},
      {-657435.0, Parts(100, 1, 1), "below the limit"},
      {2958465.0, Parts(9999, 12, 31), "upper limit"},
      {2958465.5, Parts(9999, 12, 31), "after midnight on the last day"},
      {-1e300, Parts(100, 1, 1), "far below"},
      {1e300, Parts(9999, 12, 31), "far above"},
      {kNaN, Parts(100, 1, 1), "NaN reads as the lower limit"},
      {-kNaN, Parts(100, 1, 1), "NaN with the sign bit too"},
      {kInfinity, Parts(9999, 12, 31), "+inf reads as the upper limit"},
      {-kInfinity, Parts(100, 1, 1), "-inf reads as the lower limit"},
      {0.0, Parts(1899, 12, 30), "day 0"},
      {-0.0, Parts(1899, 12, 30), "negative zero"},
      {-1.25, Parts(1899, 12, 29, 6), "the fraction counts away from zero"},
      {-0.5, Parts(1899, 12, 30, 12), "a negative number of day 0"},
      {45723.5 + 0.51 / 86400, Parts(2025, 3, 7, 12, 0, 1), "over half a second rounds up"},
      {45723.5 + 0.49 / 86400, Parts(2025, 3, 7, 12), "less than half rounds down"},
      {45723.0 - 0.4 / 86400, Parts(2025, 3, 7), "into the next day"},
      {-2.25 - 0.6 / 86400, Parts(1899, 12, 28, 6, 0, 1), "away from zero below day 0"},
      {4.9e-324, Parts(1899, 12, 30), "smallest subnormal"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.why);
    EXPECT_EQ(ReadDateParts(DateTime{c.stored}), c.expected);
  }
}

TEST(LimitDateTime, ComparesTheStoredNumber) {
  EXPECT_EQ(LimitDateTime(DateTime{-657434.333}), EarliestDateTime);
  EXPECT_EQ(LimitDateTime(DateTime{2958465.1}), LatestDateTime);
  EXPECT_EQ(LimitDateTime(DateTime{45723.5}), DateTime{45723.5});
  EXPECT_EQ(LimitDateTime(DateTime{kNaN}), EarliestDateTime);
  EXPECT_EQ(LimitDateTime(DateTime{kInfinity}), LatestDateTime);
  EXPECT_EQ(LimitDateTime(DateTime{-kInfinity}), EarliestDateTime);
}

TEST(DateTimeToText, ShowsTheTimeDownToItsLastNonZeroField) {
  const struct {
    DateTime value;
    const char* expected;
  } cases[] = {
      {ComposeDateTime(2025, 3, 7, 9, 5, 3), "2025年3月7日9时5分3秒"},
      {ComposeDateTime(2025, 3, 7, 9, 5, 0), "2025年3月7日9时5分"},
      {ComposeDateTime(2025, 3, 7, 9, 0, 0), "2025年3月7日9时"},
      {ComposeDateTime(2025, 3, 7, 0, 0, 0), "2025年3月7日"},
      {ComposeDateTime(2025, 3, 7, 0, 5, 0), "2025年3月7日0时5分"},
      {ComposeDateTime(2025, 3, 7, 9, 0, 7), "2025年3月7日9时0分7秒"},
      {ComposeDateTime(2025, 12, 31, 23, 59, 59), "2025年12月31日23时59分59秒"},
      {EarliestDateTime, "100年1月1日"},
      {LatestDateTime, "9999年12月31日"},
      {DateTime{kNaN}, "100年1月1日"},
  };
  for (const auto& c : cases) EXPECT_EQ(DateTimeToText(c.value), Gbk(c.expected)) << c.expected;
}

TEST(AddHours, MovesTheLinearDayCount) {
  const struct {
    DateTime value;
    int32_t hours;
    DateParts expected;
    const char* why;
  } cases[] = {
      {ComposeDateTime(2024, 12, 31, 20, 0, 0), 8, Parts(2025, 1, 1, 4), "over the new year"},
      {ComposeDateTime(2025, 1, 1, 4, 0, 0), -8, Parts(2024, 12, 31, 20), "back"},
      {LatestDateTime, 8, Parts(9999, 12, 31), "reads back as the upper limit"},
      {EarliestDateTime, 8, Parts(100, 1, 1), "reads back as the lower limit"},
      {ComposeDateTime(1899, 12, 30, 2, 0, 0), -8, Parts(1899, 12, 29, 18), "across day 0"},
      {ComposeDateTime(1899, 12, 29, 20, 0, 0), 8, Parts(1899, 12, 30, 4), "across day 0, up"},
      {ComposeDateTime(1899, 12, 28, 6, 0, 0), 24, Parts(1899, 12, 29, 6), "a day before day 0"},
      {DateTime{kNaN}, 8, Parts(100, 1, 1), "NaN is limited first"},
      {DateTime{kInfinity}, -24, Parts(9999, 12, 30), "+inf is limited first"},
      {ComposeDateTime(2025, 3, 7, 0, 0, 0), kMost, Parts(9999, 12, 31), "far out, then limited"},
      {ComposeDateTime(2025, 3, 7, 0, 0, 0), INT32_MIN, Parts(100, 1, 1), "far back"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.why);
    EXPECT_EQ(ReadDateParts(AddHours(c.value, c.hours)), c.expected);
  }
  // The result is not limited when it is made.
  const DateTime moved = AddHours(EarliestDateTime, 8);
  EXPECT_NEAR(moved.stored, -657434.0 - 1.0 / 3, 1e-9);
  EXPECT_EQ(DateTimeToText(moved), Gbk("100年1月1日"));
  // Zero hours give the value back as stored, unlimited and bit for bit.
  EXPECT_EQ(AddHours(DateTime{1e300}, 0).stored, 1e300);
  EXPECT_TRUE(std::isnan(AddHours(DateTime{kNaN}, 0).stored));
}

TEST(SecondsBetween, CountsWholeSecondsAndSaturates) {
  const DateTime noon = ComposeDateTime(2024, 5, 1, 12, 0, 0);
  const DateTime tenPast = ComposeDateTime(2024, 5, 1, 12, 0, 10);
  const DateTime onePast = ComposeDateTime(2024, 5, 1, 12, 0, 1);
  const struct {
    DateTime first;
    DateTime second;
    int32_t expected;
    const char* why;
  } cases[] = {
      {noon, noon, 0, "equal"},
      {tenPast, noon, 10, "later first"},
      {noon, tenPast, -10, "earlier first"},
      {noon, onePast, -1, "one second"},
      {ComposeDateTime(2024, 3, 1, 0, 0, 0), ComposeDateTime(2024, 2, 28, 0, 0, 0), 172800,
       "leap day counted"},
      {ComposeDateTime(1899, 12, 30, 1, 0, 0), ComposeDateTime(1899, 12, 29, 23, 0, 0), 7200,
       "across day 0"},
      {ComposeDateTime(1899, 12, 28, 0, 0, 1), ComposeDateTime(1899, 12, 28, 0, 0, 0), 1,
       "before day 0"},
      {ComposeDateTime(2025, 3, 7, 12, 0, 0), ComposeDateTime(2025, 3, 7, 12, 0, 0), 0, "equal"},
      {DateTime{-657434.25}, EarliestDateTime, 0, "both read as the lower limit"},
      {ComposeDateTime(2025, 3, 7, 12, 0, 0), EarliestDateTime, kMost, "over 68 years: saturated"},
      {EarliestDateTime, ComposeDateTime(2025, 3, 7, 12, 0, 0), -kMost, "saturated below"},
      {LatestDateTime, EarliestDateTime, kMost, "the limits"},
      {DateTime{kNaN}, DateTime{kNaN}, 0, "NaN against NaN"},
      {DateTime{kNaN}, EarliestDateTime, 0, "NaN reads as the lower limit"},
      {DateTime{kInfinity}, DateTime{-kInfinity}, kMost, "infinities"},
      {DateTime{-kInfinity}, DateTime{kInfinity}, -kMost, "infinities, swapped"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.why);
    EXPECT_EQ(SecondsBetween(c.first, c.second), c.expected);
    EXPECT_EQ(SecondsBetween(c.second, c.first), -c.expected) << "swapped";
  }
  // Just inside and just outside the 32-bit range.
  const DateTime base = ComposeDateTime(1950, 1, 1, 0, 0, 0);
  EXPECT_EQ(SecondsBetween(AddHours(base, 596523), base), 2147482800);
  EXPECT_EQ(SecondsBetween(AddHours(base, 596524), base), kMost);
}

// Any 64-bit pattern, read by any operation, gives a date within the limits; the sanitizer
// build also checks that no real-to-integer conversion on the way is out of range.
TEST(DateTimeOperations, AnyBitPatternReadsWithinTheLimits) {
  std::vector<double> values = {kNaN,
                                -kNaN,
                                kInfinity,
                                -kInfinity,
                                0.0,
                                -0.0,
                                std::numeric_limits<double>::max(),
                                std::numeric_limits<double>::lowest(),
                                std::numeric_limits<double>::denorm_min(),
                                -std::numeric_limits<double>::denorm_min(),
                                std::bit_cast<double>(uint64_t{0x7FF0000000000001}),  // signalling
                                -657434.0,
                                -657434.0000001,
                                2958465.0,
                                2958465.0000001};
  std::mt19937_64 random(7);
  for (int i = 0; i < 10000; ++i) values.push_back(std::bit_cast<double>(random()));
  std::uniform_real_distribution<double> inRange(-700000.0, 3000000.0);
  for (int i = 0; i < 10000; ++i) values.push_back(inRange(random));

  const int32_t hourSteps[] = {0, 1, -1, 8, kMost, INT32_MIN};
  for (size_t i = 0; i < values.size(); ++i) {
    const DateTime value{values[i]};
    for (int32_t hours : hourSteps) {
      const DateParts parts = ReadDateParts(AddHours(value, hours));
      ASSERT_GE(parts.year, 100) << values[i];
      ASSERT_LE(parts.year, 9999) << values[i];
      ASSERT_GE(parts.month, 1);
      ASSERT_LE(parts.month, 12);
      ASSERT_GE(parts.day, 1);
      ASSERT_LE(parts.day, 31);
      ASSERT_GE(parts.hour, 0);
      ASSERT_LE(parts.hour, 23);
      ASSERT_GE(parts.minute, 0);
      ASSERT_LE(parts.minute, 59);
      ASSERT_GE(parts.second, 0);
      ASSERT_LE(parts.second, 59);
      // Reading again gives the same fields: the text shows what the parts say.
      ASSERT_EQ(DateTimeToText(ComposeDateTime(parts.year, parts.month, parts.day, parts.hour,
                                               parts.minute, parts.second)),
                DateTimeToText(AddHours(value, hours)));
    }
    const DateTime other{values[(i * 7919) % values.size()]};
    const int32_t seconds = SecondsBetween(value, other);
    ASSERT_NE(seconds, INT32_MIN);
    ASSERT_EQ(SecondsBetween(other, value), value.stored == other.stored ? 0 : -seconds);
  }
}

TEST(RealRemainder, TruncatesTheQuotientTowardZero) {
  const struct {
    double dividend;
    double divisor;
    double expected;
  } cases[] = {
      {100000, 86400, 13600}, {-7, 3, -1}, {7, -3, 1}, {-7, -3, -1},
      {5.5, 2, 1.5},          {3, 7, 3},   {0, 5, 0},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(RealRemainder(c.dividend, c.divisor), c.expected) << c.dividend << " % " << c.divisor;
  }
}

}  // namespace
}  // namespace tolvaris
