#include "core/text.h"

#include <gtest/gtest.h>

#include <climits>
#include <string>
#include <vector>

#include "support/gbk.h"

namespace tolvaris {
namespace {

using testing::Gbk;

std::vector<std::string> Pieces(const TextArray& array) {
  std::vector<std::string> pieces;
  for (const Text& item : array.Items()) pieces.push_back(item.Bytes());
  return pieces;
}

TEST(TextValue, EndsAtTheFirstZeroByte) {
  EXPECT_EQ(Text(std::string_view("A\0B", 3)), Text("A"));
  EXPECT_EQ(Text(std::string("\0B", 2)), Text());
  EXPECT_EQ(Text(static_cast<const char*>(nullptr)), Text());
}

struct CutCase {
  const char* text;
  int32_t start;  // MidText only
  int32_t count;
  const char* left;
  const char* right;
  const char* mid;
};

TEST(TextCuts, LeftRightAndMidStayInsideTheText) {
  const CutCase cases[] = {
      {"abcdef", 2, 3, "abc", "def", "bcd"},
      {"abcdef", 1, 0, "", "", ""},
      {"abcdef", 1, -2, "", "", ""},
      {"abcdef", 1, 6, "abcdef", "abcdef", "abcdef"},
      {"abcdef", 1, 99, "abcdef", "abcdef", "abcdef"},
      {"abcdef", 5, 99, "abcdef", "abcdef", "ef"},  // cut at the end
      {"abcdef", 0, 3, "abc", "def", ""},           // start 0 is not moved up to 1
      {"abcdef", -4, 6, "abcdef", "abcdef", ""},
      {"abcdef", 7, 1, "a", "f", ""},  // one past the last byte
      {"abcdef", 6, 1, "a", "f", "f"},
      {"x", 2, 1, "x", "x", ""},
      {"", 1, 1, "", "", ""},
      // Bytes are counted; two-byte characters may be cut.
      {"\xB1\xB1\xBE\xA9", 2, 2, "\xB1\xB1", "\xBE\xA9", "\xB1\xBE"},
      {"\xB1\xB1x", 1, 1, "\xB1", "x", "\xB1"},
  };
  for (const CutCase& c : cases) {
    SCOPED_TRACE(std::string(c.text) + " start " + std::to_string(c.start) + " count " +
                 std::to_string(c.count));
    EXPECT_EQ(LeftText(Text(c.text), c.count), Text(c.left));
    EXPECT_EQ(RightText(Text(c.text), c.count), Text(c.right));
    EXPECT_EQ(MidText(Text(c.text), c.start, c.count), Text(c.mid));
  }
  EXPECT_EQ(TextLength(Text()), 0);
  EXPECT_EQ(TextLength(Gbk("北京时间：")), 10);
}

struct FindCase {
  const char* text;
  const char* sought;
  int32_t start;
  bool ignoreCase;
  int32_t expected;
  const char* why;
};

TEST(FindText, WalksCharactersFromStart) {
  const FindCase cases[] = {
      {"Date: Mon", ":", 0, false, 5, "first colon"},
      {"a:b:c", ":", 3, false, 4, "from start"},
      {"a:b:c", ":", 2, false, 2, "start on the match"},
      {"abc", "c", 4, false, -1, "start past the end"},
      {"abc", "c", -7, false, 3, "start below 1 searches from the first byte"},
      {"abc", "d", 0, false, -1, "absent"},
      {"abc", "", 0, false, 1, "empty sought"},
      {"abc", "", 3, false, 1, "empty sought gives 1, not start"},
      {"abc", "", 4, false, -1, "empty sought, start past the end"},
      {"", "", 0, false, -1, "both empty"},
      {"", "a", 0, false, -1, "empty text"},
      {"ab", "abc", 0, false, -1, "sought longer than the text"},
      {"xxab", "abc", 3, false, -1, "sought longer than the rest"},
      {"Set-Cookie: a=b", "set-cookie:", 1, true, 1, "ignoreCase"},
      {"Set-Cookie: a=b", "set-cookie:", 1, false, -1, "case matters by default"},
      {"X[Y", "x{y", 0, true, -1, "only letters fold: [ is not {"},
      {"@", "`", 0, true, -1, "only letters fold: @ is not `"},
      {"\xB0\x41\x41", "A", 0, false, 3, "never at a second byte"},
      {"\xB0\x41\x41", "A", 2, false, 2, "the walk begins at start"},
      {"\xB0\x41\x42 AB", "AB", 0, false, 5, "skips a candidate on a second byte"},
      {"x\xB0\xA1y", "\xA1y", 0, false, -1, "a match may not begin inside a character"},
      {"x\xB0\xA1y", "\xB0\xA1y", 0, false, 2, "a match spans characters"},
      {"\xB0\x41", "\xB0\x61", 0, true, 1, "letters fold inside the compared bytes"},
      {"\xB0\x41", "\xB0\x61", 0, false, -1, "no fold without ignoreCase"},
      {"a\xB0", "\xB0", 0, false, 2, "a lone first byte at the end is a character start"},
      {"aaab", "aab", 0, false, 2, "restart after a partial match"},
      {"abaabab", "abab", 0, false, 4, "overlapping prefixes"},
      {"AbAaBaB", "abab", 0, true, 4, "overlapping prefixes, folded"},
  };
  for (const FindCase& c : cases) {
    SCOPED_TRACE(c.why);
    EXPECT_EQ(FindText(Text(c.text), Text(c.sought), c.start, c.ignoreCase), c.expected);
  }
  EXPECT_EQ(FindText(Text("a:b"), Text(":")), 2) << "start and ignoreCase omitted";
}

struct ReplaceCase {
  const char* text;
  const char* sought;
  const char* replacement;
  bool caseSensitive;
  const char* expected;
  const char* why;
};

TEST(ReplaceText, ReplacesLeftToRightWithoutOverlap) {
  const ReplaceCase cases[] = {
      {"aaa", "aa", "b", true, "ba", "no overlap"},
      {"aa", "a", "aa", true, "aaaa", "the replacement is not searched again"},
      {"Cookie: a=1; cOOKIE: b", "Cookie:", "", false, " a=1;  b", "any case, blanks stay"},
      {"Cookie: a=1; cOOKIE: b", "Cookie:", "", true, " a=1; cOOKIE: b", "exact case"},
      {"abc", "", "x", true, "abc", "empty sought"},
      {"", "a", "x", true, "", "empty text"},
      {"abc", "abcd", "x", true, "abc", "sought longer than the text"},
      {"\xB0\x41\x41", "A", "x", true, "\xB0\x41x", "never at a second byte"},
      {"\xB0\x61\x41", "a", "x", false, "\xB0\x61x", "second bytes are not folded into matches"},
      {"\xB0\xB0\x41", "\xB0", "x", true, "xxA", "after a match the walk starts afresh"},
      {"ab\xB0", "x", "y", true, "ab", "lone first byte at the end, one-byte sought: dropped"},
      {"\xB0", "x", "y", true, "", "lone first byte only"},
      {"\xB0\xB1\xB2", "x", "y", true, "\xB0\xB1", "lone first byte after a character"},
      {"a\xB0\xB1", "x", "y", true, "a\xB0\xB1", "a last byte that is a second byte stays"},
      {"ab\xB0", "xy", "z", true, "ab\xB0", "lone first byte, longer sought: kept"},
      {"ab\xB0", "\xB0", "z", true, "abz", "lone first byte that matches is replaced"},
      {"xab\xB0", "x", "", true, "ab", "dropped after a match too"},
  };
  for (const ReplaceCase& c : cases) {
    SCOPED_TRACE(c.why);
    EXPECT_EQ(ReplaceText(Text(c.text), Text(c.sought), Text(c.replacement), c.caseSensitive),
              Text(c.expected));
  }
  EXPECT_EQ(ReplaceText(Gbk("\"#引号\"a#引号"), Gbk("#引号"), Text("\""), true), Text("\"\"\"a\""));
}

struct SplitCase {
  const char* text;
  const char* separator;
  std::vector<std::string> expected;
  const char* why;
};

TEST(SplitText, PiecesBetweenSeparators) {
  const SplitCase cases[] = {
      {"A: 1\r\nB: 2\r\n", "\r\n", {"A: 1", "B: 2"}, "no empty last element"},
      {"A: 1\r\n\r\nB: 2", "\r\n", {"A: 1", "", "B: 2"}, "an empty line is an empty element"},
      {"", "\r\n", {}, "empty text"},
      {"abc", "", {"abc"}, "empty separator"},
      {"abc", "-", {"abc"}, "no separator"},
      {"-a", "-", {"", "a"}, "separator first"},
      {"a--b", "-", {"a", "", "b"}, "separators side by side"},
      {"-", "-", {""}, "separator alone"},
      {"a=1; b=2", "; ", {"a=1", "b=2"}, "two-byte separator"},
      {"2024-3-7", "-", {"2024", "3", "7"}, "date fields"},
      {"\xB0-a-b", "-", {"\xB0-a", "b"}, "a separator that is a second byte does not split"},
      {"a-\xB0", "-", {"a", "\xB0"}, "a lone first byte stays"},
      {"a;;;b", ";;", {"a", ";b"}, "no overlap"},
  };
  for (const SplitCase& c : cases) {
    SCOPED_TRACE(c.why);
    EXPECT_EQ(Pieces(SplitText(Text(c.text), Text(c.separator))), c.expected);
  }
}

TEST(TrimText, DropsSpacesAndFullWidthSpacesAtBothEnds) {
  const std::pair<const char*, const char*> cases[] = {
      {"  a b  ", "a b"},
      {"\xA1\xA1 a\xA1\xA1 b \xA1\xA1", "a\xA1\xA1 b"},
      {"\ta\r\n", "\ta\r\n"},  // tab, CR and LF are no blanks
      {" \t a \n ", "\t a \n"},
      {"   ", ""},
      {"\xA1\xA1 \xA1\xA1", ""},
      {"", ""},
      {"\xA1", ""},        // a lone first byte is dropped
      {"a  \xB0", "a  "},  // ... and the blanks before it stay
      {"ab\xA1\xA1\xA1", "ab\xA1\xA1"},
      {" \xA1", ""},
      {"a\xB0\xA1\xA1", "a\xB0\xA1"},      // 0xB0 0xA1 is one character; the last 0xA1 is alone
      {"a\xB0\xA1\xA1\xA1", "a\xB0\xA1"},  // 0xB0 0xA1, then a full-width space
      {"\xB0\xA1 ", "\xB0\xA1"},
      {"a\xA1\xA2 ", "a\xA1\xA2"},
      {"\xA1\xA2", "\xA1\xA2"},
  };
  for (const auto& [text, expected] : cases) {
    SCOPED_TRACE(text);
    EXPECT_EQ(TrimText(Text(text)), Text(expected));
  }
}

TEST(UpperCaseText, RaisesAsciiLettersOutsideTwoByteCharacters) {
  const std::pair<const char*, const char*> cases[] = {
      {"set-cookie", "SET-COOKIE"},
      {"\xB0\x61", "\xB0\x61"},
      {"a\xB0\x61z{`@", "A\xB0\x61Z{`@"},
      {"ab\xB0", "AB\xB0"},  // a lone first byte stays
      {"", ""},
  };
  for (const auto& [text, expected] : cases) {
    EXPECT_EQ(UpperCaseText(Text(text)), Text(expected)) << text;
  }
}

TEST(TextCodes, CharCodeCharFromCodeAndIntegerToText) {
  EXPECT_EQ(CharCode(Text()), 0);
  EXPECT_EQ(CharCode(Text(" ")), 32);
  EXPECT_EQ(CharCode(Text("=")), 61);
  EXPECT_EQ(CharCode(Text("\xB0\xA1")), -80);
  EXPECT_EQ(CharCode(Text("\xFF")), -1);

  EXPECT_EQ(CharFromCode(32), Text(" "));
  EXPECT_EQ(CharFromCode(0), Text());
  EXPECT_EQ(CharFromCode(288), Text(" "));
  EXPECT_EQ(CharFromCode(256), Text());
  EXPECT_EQ(CharFromCode(-80), Text("\xB0"));

  const std::pair<int32_t, const char*> numbers[] = {
      {-5, "-5"},
      {0, "0"},
      {7, "7"},
      {86400, "86400"},
      {INT32_MAX, "2147483647"},
      {INT32_MIN, "-2147483648"},
  };
  for (const auto& [value, expected] : numbers) EXPECT_EQ(IntegerToText(value), Text(expected));
}

TEST(ConcatText, JoinsInOrder) {
  EXPECT_EQ(ConcatText(Text(), Text()), Text());
  EXPECT_EQ(ConcatText(Text("a"), Text(), Text("bc"), Text("d")), Text("abcd"));
  EXPECT_EQ(ConcatText(Gbk("北京时间："), Text("9")), Gbk("北京时间：9"));
}

TEST(CompareText, ComparesUnsignedBytes) {
  const struct {
    const char* a;
    const char* b;
    int32_t expected;
  } cases[] = {
      {"", "", 0},
      {"Connection", "connection", -1},
      {"connection", "Connection", 1},
      {"ab", "abc", -1},
      {"abc", "ab", 1},
      {"\xB0", "a", 1},  // 0xB0 is above 'a' as an unsigned byte
      {"a", "\xB0", -1},
      {"\xB1\xB1", "\xB1\xB1", 0},
  };
  for (const auto& c : cases) EXPECT_EQ(CompareText(Text(c.a), Text(c.b)), c.expected) << c.a;
  EXPECT_EQ(CompareText(Text(), Text(static_cast<const char*>(nullptr))), 0);
}

TEST(TextArray, AppendCopiesAtTheEnd) {
  TextArray array;
  EXPECT_EQ(ArrayCount(array), 0);
  Text source("first");
  ArrayAppend(array, source);
  source = Text("changed");
  ArrayAppend(array, Text());
  ASSERT_EQ(ArrayCount(array), 2);
  EXPECT_EQ(ArrayElement(array, 1), Text("first"));
  EXPECT_EQ(ArrayElement(array, 2), Text());

  TextArray copy = array;
  ArrayAppend(copy, Text("third"));
  EXPECT_EQ(ArrayCount(array), 2) << "arrays are values";
}

// Inputs far larger than any real header block, built to make a byte-by-byte comparison at each
// start slow; the results must still be those of the walk.
TEST(TextOperations, LongNearMatchesGiveTheWalksResults) {
  constexpr size_t kSize = 1 << 20;
  const std::string run(kSize, 'a');
  const Text text(run + "b");
  const Text sought(std::string(kSize / 2, 'a') + "b");
  EXPECT_EQ(FindText(text, sought), static_cast<int32_t>(kSize / 2 + 1));
  EXPECT_EQ(ReplaceText(text, sought, Text("X"), true), Text(std::string(kSize / 2, 'a') + "X"));
  EXPECT_EQ(ArrayCount(SplitText(text, sought)), 1);

  // Every candidate begins on a second byte: "A" followed by 0xB0 all along.
  std::string pairs;
  for (size_t i = 0; i < kSize / 2; ++i) pairs += "\xB0\x41";
  const Text twoByte(pairs);
  const Text secondBytes(pairs.substr(1, kSize / 4) + "\x41");
  EXPECT_EQ(FindText(twoByte, secondBytes), -1);
  EXPECT_EQ(ReplaceText(twoByte, secondBytes, Text("X"), false), twoByte);
  // An odd run of 0xA1: full-width spaces, then a lone first byte that is dropped.
  EXPECT_EQ(TrimText(Text(std::string(kSize, ' ') + "x" + std::string(kSize + 1, '\xA1'))),
            Text("x" + std::string(kSize, '\xA1')));
  EXPECT_EQ(TrimText(Text(std::string(kSize, ' ') + "x" + std::string(kSize, '\xA1'))), Text("x"));
}

}  // namespace
}  // namespace tolvaris
