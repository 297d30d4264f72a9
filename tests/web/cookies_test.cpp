#include "web/cookies.h"

#include <gtest/gtest.h>

#include <iterator>
#include <random>
#include <string>
#include <utility>
#include <vector>

namespace tolvaris {
namespace {

TextArray Lines(const std::vector<std::string>& lines) {
  TextArray array;
  for (const std::string& line : lines) ArrayAppend(array, Text(line));
  return array;
}

TEST(CollectSetCookies, TakesThePairBeforeTheFirstSemicolonOfSetCookieLines) {
  struct Row {
    std::vector<std::string> lines;
    std::string expected;
    const char* why;
  };
  const Row rows[] = {
      {{"Set-Cookie: a=1; path=/", "set-cookie: lang=zh; expires=x", "Set-Cookie: flag=1"},
       "a=1; lang=zh",
       "any case; a line without semicolon contributes nothing"},
      {{" Set-Cookie: a=1;"}, "", "a leading space: no Set-Cookie line"},
      {{"Set-Cookie2: a=1;"}, "", "Set-Cookie2 is another header"},
      {{"X-Set-Cookie: a=1;"}, "", "the name must begin the line"},
      {{"Set-Cookie:a=1;x"}, "a=1", "no space after the colon"},
      {{"SET-COOKIE:  A=1  ;"}, "A=1", "the pair is trimmed, its case kept"},
      {{"Set-Cookie:\xA1\xA1"
        "a=1\xA1\xA1;"},
       "a=1",
       "full-width spaces are trimmed"},
      {{"Set-Cookie: a=1;", "Set-Cookie:;", "Set-Cookie: b=2;"},
       "a=1; ; b=2",
       "a semicolon right after the colon adds an empty item"},
      {{"Set-Cookie:;", "Set-Cookie: b=2;"}, "b=2", "no separator while the result is empty"},
      {{"Set-Cookie: a=\xB0;1; path=/"}, "a=\xB0;1", "a semicolon that is a second byte"},
      {{"HTTP/1.1 200 OK", "Date: Fri, 07 Mar 2025 01:00:00 GMT", ""}, "", "no Set-Cookie lines"},
      {{}, "", "no lines at all"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.why);
    EXPECT_EQ(CollectSetCookies(Lines(row.lines)).Bytes(), row.expected);
  }
}

TEST(MergeCookies, ReceivedWinsSentFollowsDeletedVanishes) {
  struct Row {
    std::string sent;
    std::string received;
    std::string expected;
    const char* why;
  };
  const Row rows[] = {
      {"a=1; b=2", "b=3; c=4", "b=3; c=4; a=1", "received first, then sent items not received"},
      {"a=1; b=2", "b=deleted", "a=1", "a deleted cookie takes the sent one with it"},
      {"a=1", "a=deleted; a=2", "a=2", "a later received item of the name stays"},
      {"a=1", "a=DELETED", "a=DELETED", "\"=deleted\" is compared exactly"},
      {"a=deleted; b=1", "", "b=1", "a sent deleted item is dropped too"},
      {"=1", "=deleted", "", "the empty name is a name like any other"},
      {"a=1;", "", "a=1", "a trailing semicolon"},
      {"a=1; ", "", "a=1", "a trailing separator"},
      {"a=1; a=2", "", "a=1", "of two sent items of one name the first is taken"},
      {"", "x=1; x=1; x=2", "x=1; x=2", "received repeats are kept once, same names stay"},
      {"", "", "", "both empty"},
      {" a=1 ", "", "a=1", "spaces around the sent text"},
      {"A=1", "a=2", "a=2; A=1", "names compare exactly"},
      {"a=1; flag", "flag=x", "flag=x; a=1", "an item without '=' is all name"},
      {" lang =zh", "lang=en", "lang=en", "names are trimmed"},
      {"x=1; y=2; x=1", "x=1", "x=1; y=2", "repeated sent items"},
      {"a=1;b=2", "", "a=1;b=2", "only \"; \" separates items"},
      {"", "a=1; ; b=2", "a=1; ; b=2", "an empty item between items stays"},
      {"", "a=1; ; ", "a=1", "an empty last item disappears in the final split"},
      {"\xB0; a=1", "", "\xB0; a=1", "\"; \" after a lead byte is no separator"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.why);
    Text sent(row.sent);
    const Text merged = MergeCookies(sent, Text(row.received));
    EXPECT_EQ(merged.Bytes(), row.expected);
    EXPECT_EQ(sent.Bytes(), row.expected) << "sentCookies takes the merged text";
  }
}

// MergeCookies as its steps read, with a scan of the list for every name test. The real one
// looks names up in a set; the two must agree on every input.
Text MergeCookiesByScanning(const Text& sentCookies, const Text& receivedCookies) {
  auto completed = [](const Text& cookies) {
    const Text trimmed = TrimText(cookies);
    return CompareText(RightText(trimmed, 1), ";") == 0 ? ConcatText(trimmed, " ") : trimmed;
  };
  const TextArray sentItems = SplitText(completed(sentCookies), "; ");
  TextArray merged = SplitText(completed(receivedCookies), "; ");
  for (int32_t i = 1; i <= ArrayCount(sentItems); ++i) {
    const Text& item = ArrayElement(sentItems, i);
    if (!CookieListHasName(merged, CookieName(item))) ArrayAppend(merged, item);
  }
  Text t;
  for (int32_t i = 1; i <= ArrayCount(merged); ++i) {
    const Text& item = ArrayElement(merged, i);
    if (CompareText(RightText(item, 8), "=deleted") != 0) t = ConcatText(t, item, "; ");
  }
  return JoinDistinct(LeftText(t, TextLength(t) - 2), "; ");
}

// JoinDistinct as its steps read, with IndexOfText over the items seen so far.
Text JoinDistinctByScanning(const Text& text, const Text& separator) {
  const TextArray items = SplitText(text, separator);
  TextArray seen;
  Text out;
  for (int32_t i = 1; i <= ArrayCount(items); ++i) {
    const Text& item = ArrayElement(items, i);
    if (IndexOfText(seen, item) != -1) continue;
    ArrayAppend(seen, item);
    out = ConcatText(out, item, separator);
  }
  return LeftText(out, TextLength(out) - TextLength(separator));
}

// Cookie texts from few names and values, so that names and whole items repeat often.
std::string RandomCookieText(std::mt19937& random) {
  static const char* const kPieces[] = {"a",  "b",  "A",        " a",    "a ",   "=",
                                        "=1", "=2", "=deleted", ";",     "; ",   "; ",
                                        "; ", " ",  "\xA1\xA1", "\xB0;", "\xB0", "x=y"};
  std::uniform_int_distribution<size_t> piece(0, std::size(kPieces) - 1);
  std::string text;
  for (int count = std::uniform_int_distribution<int>(0, 12)(random); count > 0; --count) {
    text += kPieces[piece(random)];
  }
  return text;
}

TEST(MergeCookies, AgreesWithTheNameScanOnGeneratedCookieTexts) {
  std::mt19937 random(4648);
  for (int i = 0; i < 3000; ++i) {
    const Text sent(RandomCookieText(random));
    const Text received(RandomCookieText(random));
    SCOPED_TRACE(::testing::PrintToString(sent.Bytes()) + " + " +
                 ::testing::PrintToString(received.Bytes()));
    Text inOut = sent;
    const Text merged = MergeCookies(inOut, received);
    ASSERT_EQ(merged.Bytes(), MergeCookiesByScanning(sent, received).Bytes());
    ASSERT_EQ(inOut.Bytes(), merged.Bytes());
    ASSERT_EQ(JoinDistinct(sent, "; ").Bytes(), JoinDistinctByScanning(sent, "; ").Bytes());
  }
}

TEST(JoinDistinct, KeepsEachItemAtItsFirstOccurrence) {
  struct Row {
    std::string text;
    std::string separator;
    std::string expected;
  };
  const Row rows[] = {
      {"a; b; a", "; ", "a; b"},      {"", "; ", ""},
      {"a; ; ; b", "; ", "a; ; b"},  // the empty item stays once
      {"a=1; a=2", "; ", "a=1; a=2"}, {"a; a; ", "; ", "a"},
      {"; a", "; ", "; a"},  // an empty first item
      {"a-b-a-c", "-", "a-b-c"},      {"abc", "", "abc"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.text);
    EXPECT_EQ(JoinDistinct(Text(row.text), Text(row.separator)).Bytes(), row.expected);
  }
}

TEST(CookieName, IsTheTrimmedTextBeforeTheFirstEquals) {
  struct Row {
    std::string item;
    std::string name;
    const char* why;
  };
  const Row rows[] = {
      {" lang = zh", "lang", "trimmed on both sides"},
      {"flag", "flag", "no '=': all name"},
      {" flag ", "flag", "no '=', trimmed"},
      {"=x", "", "empty name"},
      {"a=b=c", "a", "the first '=' ends the name"},
      {"", "", "empty item"},
      {"\xB0=x=1", "\xB0=x", "an '=' that is a second byte does not end the name"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.why);
    EXPECT_EQ(CookieName(Text(row.item)).Bytes(), row.name);
  }
}

TEST(CookieListHasName, ComparesTrimmedNamesExactly) {
  const TextArray list = Lines({"a=1", " b =2", "flag"});
  EXPECT_TRUE(CookieListHasName(list, "a"));
  EXPECT_TRUE(CookieListHasName(list, "b"));
  EXPECT_TRUE(CookieListHasName(list, "flag"));
  EXPECT_FALSE(CookieListHasName(list, "B"));
  EXPECT_FALSE(CookieListHasName(list, "a=1"));
  EXPECT_FALSE(CookieListHasName(list, " b "));
  EXPECT_FALSE(CookieListHasName(TextArray(), ""));
}

TEST(IndexOfText, GivesTheFirstEqualElement) {
  const TextArray array = Lines({"x", "y", "x", ""});
  EXPECT_EQ(IndexOfText(array, "x"), 1);
  EXPECT_EQ(IndexOfText(array, "y"), 2);
  EXPECT_EQ(IndexOfText(array, ""), 4);
  EXPECT_EQ(IndexOfText(array, "X"), -1);
  EXPECT_EQ(IndexOfText(TextArray(), ""), -1);
}

}  // namespace
}  // namespace tolvaris
