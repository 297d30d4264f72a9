#include "platform/posix/curl_request_rules.h"

#include <gtest/gtest.h>

#include <string>

namespace tolvaris {
namespace {

using namespace std::string_literals;

struct TextCase {
  std::string text;
  bool accepted;
};

TEST(CurlRequestRulesTest, MethodAndHeaderNamesMustBeTokens) {
  const TextCase cases[] = {
      {"GET", true},
      {"X-Custom_1.v2~", true},
      {"", false},
      {"X Bad", false},  // a space would split the line
      {"X:Bad", false},  // a colon would end the name early
      {"X-Bad\r\nInjected", false},
      {"X\tBad", false},
      {"\xB1\xB1", false},  // GBK bytes are no token
      {"X\x7F", false},
  };
  for (const TextCase& item : cases) {
    EXPECT_EQ(IsHttpToken(item.text), item.accepted) << '"' << item.text << '"';
  }
}

TEST(CurlRequestRulesTest, HeaderValuesMayHoldAnythingButLineBreaksAndZeroBytes) {
  const TextCase cases[] = {
      {"plain value", true},
      {"", true},
      {"\xB1\xB1\xBE\xA9", true},
      {"a\tb", true},
      {"a\r\nInjected: 1", false},
      {"a\rb", false},
      {"a\nb", false},
      {"a\0b"s, false},
  };
  for (const TextCase& item : cases) {
    EXPECT_EQ(IsSendableHeaderValue(item.text), item.accepted) << '"' << item.text << '"';
  }
}

TEST(CurlRequestRulesTest, EmptyAndBlankValuesUseTheFormThatStillSendsTheHeader) {
  EXPECT_EQ(CurlHeaderLine("X-A", "1"), "X-A: 1");
  EXPECT_EQ(CurlHeaderLine("Cookie", ""), "Cookie;");
  EXPECT_EQ(CurlHeaderLine("X-A", " \t "), "X-A;");
  EXPECT_EQ(CurlHeaderLine("X-A", " v "), "X-A:  v ");
}

TEST(CurlRequestRulesTest, NamesCompareWithoutAsciiCase) {
  EXPECT_TRUE(EqualIgnoringAsciiCase("content-TYPE", "Content-Type"));
  EXPECT_FALSE(EqualIgnoringAsciiCase("Content-Type", "Content-Typ"));
  EXPECT_FALSE(
      EqualIgnoringAsciiCase("[", "{"));  // 0x5B and 0x7B differ by the case bit, no letters
  EXPECT_FALSE(EqualIgnoringAsciiCase("\xC1", "\xE1"));
}

}  // namespace
}  // namespace tolvaris
