#include "fuzz/reference/known_answers.h"

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "core/gbk_literals.h"
#include "fuzz/reference/naive_base64.h"
#include "fuzz/reference/naive_cookies.h"
#include "fuzz/reference/naive_date_time.h"
#include "fuzz/reference/naive_http_date.h"
#include "fuzz/reference/naive_request_headers.h"
#include "fuzz/reference/naive_text.h"
#include "fuzz/reference/naive_text_between.h"

namespace tolvaris::naive {
namespace {

void Require(bool holds, const char* example) {
  if (holds) return;
  std::fprintf(stderr, "naive reference gives a wrong answer for: %s\n", example);
  std::abort();
}

#define REQUIRE(example) Require((example), #example)

using Items = std::vector<Bytes>;
using Pairs = std::vector<HeaderPair>;

void TextExamples() {
  REQUIRE(Find("\xB0"
               "AA",
               "A") == 3);
  REQUIRE(Find("Set-Cookie: a=1", "set-cookie:", 1, true) == 1);
  REQUIRE(Find("Set-Cookie: a=1", "set-cookie:", 1, false) == -1);
  REQUIRE(Find("a:b", ":", 0) == 2);
  REQUIRE(Find("abc", ":", 9) == -1);
  REQUIRE(Find("abc", "", 3) == 1 && Find("abc", "", 4) == -1 && Find("", "") == -1);
  REQUIRE(Replace("aaa", "aa", "b", true) == "ba");
  REQUIRE(Replace("x COOKIE: a", "Cookie:", "", false) == "x  a");
  REQUIRE(Replace("abc", "", "x", true) == "abc");
  REQUIRE(Replace("a\xB0", "b", "", true) == "a");
  REQUIRE(Replace("a\xB0", "bc", "", true) == "a\xB0");
  REQUIRE(Split("a\r\n\r\nb\r\n", "\r\n") == (Items{"a", "", "b"}));
  REQUIRE(Split("\r\na", "\r\n") == (Items{"", "a"}));
  REQUIRE(Split("", "-").empty() && Split("abc", "-") == Items{"abc"});
  REQUIRE(Split("a\xB0", "-") == Items{"a\xB0"});
  REQUIRE(Trim("  a b \xA1\xA1") == "a b");
  REQUIRE(Trim("\ta\r\n ") == "\ta\r\n");
  REQUIRE(Trim(" \xA1\xA1 ").empty());
  REQUIRE(Trim("a \xB0") == "a ");
  REQUIRE(UpperCase("set-cookie") == "SET-COOKIE");
  REQUIRE(UpperCase("\xB0"
                    "a") ==
          "\xB0"
          "a");
  REQUIRE(UpperCase("a\xB0") == "A\xB0");
  REQUIRE(Left("ab", 0).empty() && Left("ab", -1).empty() && Left("ab", 9) == "ab");
  REQUIRE(Right("ab", 1) == "b" && Right("ab", -3).empty() && Right("ab", 3) == "ab");
  REQUIRE(Mid("abc", 0, 5).empty() && Mid("abc", 4, 1).empty() && Mid("abc", 2, 9) == "bc");
  REQUIRE(Mid("a", 2, 1).empty());
  REQUIRE(Left("\xB0\xA1", 1) == "\xB0");
  REQUIRE(CharCode("\xB0") == -80 && CharCode("") == 0 && CharCode(" ") == 32);
  REQUIRE(Compare("Connection", "connection") == -1 && Compare("ab", "a") == 1 &&
          Compare("", "") == 0 && Compare("\x80", "a") == 1);
}

void RequestHeaderExamples() {
  const Bytes agent = "\r\nUser-Agent: Mozilla/4.0 (compatible; MSIE 9.0; Windows NT 6.1)";
  REQUIRE(CompleteRequestHeaders("", "u", false) ==
          "\r\nAccept: */*\r\nReferer: u\r\nAccept-Language: zh-cn" + agent);
  REQUIRE(CompleteRequestHeaders("", "u", true) ==
          "\r\nAccept: */*\r\nReferer: u\r\nAccept-Language: zh-cn" + agent +
              "\r\nContent-Type: application/x-www-form-urlencoded");
  REQUIRE(CompleteRequestHeaders("X-Accept: 1", "u", false).find("Accept: */*") == Bytes::npos);
  REQUIRE(CompleteRequestHeaders("Accept-Language: en", "u", false) ==
          "Accept-Language: en\r\nAccept: */*\r\nReferer: u" + agent);
  REQUIRE(NormaliseHeaderNames("user-agent: x\r\ncontent-TYPE: y") ==
          "User-Agent: x\r\nContent-TYPE: y");
  REQUIRE(NormaliseHeaderNames("x-: 1") == "X-: 1");
  REQUIRE(NormaliseHeaderNames("a--b: 1") == "A--B: 1");
  REQUIRE(NormaliseHeaderNames(": v") == ": v");
  REQUIRE(NormaliseHeaderNames("  host: a") == "  host: a");
  REQUIRE(NormaliseHeaderNames("accept").empty() && NormaliseHeaderNames("").empty());
  REQUIRE(NormaliseHeaderNames("a: 1\r\n") == "A: 1");
  REQUIRE(NormaliseHeaderNames("referer: u:v") == "Referer: u:v");
  REQUIRE(HeaderLineName("Host : a") == "Host" && HeaderLineValue("Referer: u:v") == "u:v");
  REQUIRE(HeaderLineName("no colon here").empty() && HeaderLineValue("no colon here").empty());
  REQUIRE(RequestHeaderPairs("Host: a") == (Pairs{{"Host", "a"}}));
  REQUIRE(RequestHeaderPairs("") == (Pairs{{"", ""}}));
  REQUIRE(RequestHeaderPairs("Connection: keep-alive\r\nX: 1") == (Pairs{{"X", "1"}}));
  REQUIRE(RequestHeaderPairs("Connection: keep-alive") == (Pairs{{"Connection", "keep-alive"}}));
  REQUIRE(RequestHeaderPairs("connection: keep-alive\r\nConnection: Keep-Alive") ==
          (Pairs{{"connection", "keep-alive"}, {"Connection", "Keep-Alive"}}));
  REQUIRE(RequestHeaderPairs("\r\nA: 1\r\n\r\nB: 2\r\n") == (Pairs{{"A", "1"}, {"B", "2"}}));
}

void CookieExamples() {
  REQUIRE(CollectSetCookies({"Set-Cookie: a=1; path=/", "set-cookie: lang=zh; expires=x",
                             "Set-Cookie: flag=1"}) == "a=1; lang=zh");
  REQUIRE(CollectSetCookies({" Set-Cookie: a=1;", "Set-Cookie2: b=1;", "Set-Cookie:a=1;x"}) ==
          "a=1");
  REQUIRE(CollectSetCookies({"Set-Cookie: a=1;", "Set-Cookie:;", "Set-Cookie: b=2;"}) ==
          "a=1; ; b=2");
  REQUIRE(CollectSetCookies({}).empty());
  auto merged = [](Bytes sent, const Bytes& received) {
    Bytes result = MergeCookies(sent, received);
    return sent == result ? result : "sentCookies differs from the result";
  };
  REQUIRE(merged("a=1; b=2", "b=3; c=4") == "b=3; c=4; a=1");
  REQUIRE(merged("a=1; b=2", "b=deleted") == "a=1");
  REQUIRE(merged("a=1;", "") == "a=1");
  REQUIRE(merged("a=1; a=2", "") == "a=1");
  REQUIRE(merged("", "x=1; x=1; x=2") == "x=1; x=2");
  REQUIRE(merged("", "").empty());
  REQUIRE(merged(" a=1 ", "") == "a=1");
  REQUIRE(merged("A=1", "a=2") == "a=2; A=1");
  REQUIRE(CookieName(" lang = zh") == "lang" && CookieName("flag") == "flag" &&
          CookieName("=x").empty());
  REQUIRE(JoinDistinct("a; b; a", "; ") == "a; b" && JoinDistinct("", "; ").empty());
  REQUIRE(IndexOfText({"a", "b", "b"}, "b") == 2 && IndexOfText({}, "a") == -1);
  REQUIRE(CookieListHasName({"x=1", " a =2"}, "a") && !CookieListHasName({"x=1"}, "X"));
}

void Base64Examples() {
  auto decodes = [](const Bytes& text, const Bytes& bytes) {
    auto decoded = DecodeBase64(text);
    return decoded && Bytes(decoded->begin(), decoded->end()) == bytes;
  };
  REQUIRE(decodes("", "") && decodes("Zg==", "f") && decodes("Zm8=", "fo"));
  REQUIRE(decodes("Zm9vYmFy", "foobar") && decodes("Zm9vYmE=", "fooba"));
  REQUIRE(decodes("+/8=", "\xFB\xFF") && decodes("/w==", "\xFF"));
  REQUIRE(decodes("AAAA", Bytes(3, '\0')));
  REQUIRE(!DecodeBase64("Zh==") && !DecodeBase64("Zg=") && !DecodeBase64("Zg==Zg==") &&
          !DecodeBase64("Z-8="));
}

void TextBetweenExamples() {
  const Bytes block = "HTTP/1.1 200 OK\r\nDate: Sun, 06 Nov 1994 08:49:37 GMT\r\nServer: x\r\n\r\n";
  REQUIRE(TextBetween(block, "Date:", "\r\n", 0, false) == " Sun, 06 Nov 1994 08:49:37 GMT");
  REQUIRE(TextBetween("date: x\r\n", "Date:", "\r\n", 0, false).empty());
  REQUIRE(TextBetween("X-Last-Date: a\r\nDate: b\r\n", "Date:", "\r\n", 0, false) == " a");
  REQUIRE(TextBetween("Date:\r\n", "Date:", "\r\n", 0, false).empty());
  REQUIRE(TextBetween("v value=\"42\" x", Bytes("value=") + gbk::kQuotePlaceholder,
                      gbk::kQuotePlaceholder, 0, false) == "42");
}

void DateTimeExamples() {
  const Bytes y = gbk::kYearSuffix, mo = gbk::kMonthSuffix, d = gbk::kDaySuffix;
  const Bytes h = gbk::kHourSuffix, mi = gbk::kMinuteSuffix, s = gbk::kSecondSuffix;
  const Bytes march7 = "2025" + y + "3" + mo + "7" + d;
  auto text = [](double stored) { return PartsText(ReadParts(stored)); };
  REQUIRE(Compose(0, 0, 0, 0, 0, 0) == kEarliest &&
          text(kEarliest) == "100" + y + "1" + mo + "1" + d);
  REQUIRE(ReadParts(AddHours(kEarliest, 8)) == (Parts{100, 1, 1, 0, 0, 0}));
  REQUIRE(Compose(1899, 12, 30, 0, 0, 0) == 0 && Compose(9999, 12, 31, 0, 0, 0) == kLatest);
  REQUIRE(ReadParts(Compose(2024, 13, 40, 25, 61, -5)) == (Parts{2024, 12, 31, 23, 59, 0}));
  REQUIRE(ReadParts(Compose(1900, 2, 29, 0, 0, 0)) == (Parts{1900, 2, 28, 0, 0, 0}));
  REQUIRE(ReadParts(Compose(2000, 2, 29, 0, 0, 0)) == (Parts{2000, 2, 29, 0, 0, 0}));
  REQUIRE(ReadParts(-1.25) == (Parts{1899, 12, 29, 6, 0, 0}));
  REQUIRE(ReadParts(AddHours(Compose(2024, 12, 31, 20, 0, 0), 8)) == (Parts{2025, 1, 1, 4, 0, 0}));
  REQUIRE(ReadParts(AddHours(kLatest, 8)) == (Parts{9999, 12, 31, 0, 0, 0}));
  REQUIRE(text(Compose(2025, 3, 7, 9, 5, 3)) == march7 + "9" + h + "5" + mi + "3" + s);
  REQUIRE(text(Compose(2025, 3, 7, 9, 5, 0)) == march7 + "9" + h + "5" + mi);
  REQUIRE(text(Compose(2025, 3, 7, 9, 0, 0)) == march7 + "9" + h);
  REQUIRE(text(Compose(2025, 3, 7, 0, 0, 0)) == march7);
  REQUIRE(text(Compose(2025, 3, 7, 0, 5, 0)) == march7 + "0" + h + "5" + mi);
  REQUIRE(text(Compose(2025, 3, 7, 9, 0, 7)) == march7 + "9" + h + "0" + mi + "7" + s);
  double noon = Compose(2024, 5, 1, 12, 0, 0);
  REQUIRE(SecondsBetween(noon, noon) == 0);
  REQUIRE(SecondsBetween(Compose(2024, 5, 1, 12, 0, 10), noon) == 10);
  REQUIRE(SecondsBetween(noon, Compose(2024, 5, 1, 12, 0, 10)) == -10);
  REQUIRE(SecondsBetween(noon, Compose(2024, 5, 1, 12, 0, 1)) == -1);
  REQUIRE(SecondsBetween(Compose(2024, 3, 1, 0, 0, 0), Compose(2024, 2, 28, 0, 0, 0)) == 172800);
  REQUIRE(SecondsBetween(kLatest, kEarliest) == 2147483647);
  REQUIRE(DayOfWeek(Compose(2025, 3, 7, 0, 0, 0)) == 5 && DayOfWeek(0) == 6);
  REQUIRE(DifferenceText(0).empty() && DifferenceText(-1) == "1" + s);
  REQUIRE(DifferenceText(3661) == "1" + h + "1" + mi + "1" + s);
  REQUIRE(DifferenceText(86400 + 60) == "1" + Bytes(gbk::kDaysSuffix) + "1" + mi);
  REQUIRE(DifferenceText(864000) == "10" + Bytes(gbk::kDaysSuffix));
  REQUIRE(DifferenceText(2147483647) ==
          "24855" + Bytes(gbk::kDaysSuffix) + "3" + h + "14" + mi + "7" + s);
}

void HttpDateExamples() {
  const HttpDate sunday{1994, 11, 6, 8, 49, 37, 0};
  const HttpDate now{2025, 6, 15, 12, 0, 0, 0};
  REQUIRE(ParseHttpDate(" Sun, 06 Nov 1994 08:49:37 GMT", now) == sunday);
  REQUIRE(ParseHttpDate("\tSunday, 06-Nov-94 08:49:37 GMT ", now) == sunday);
  REQUIRE(ParseHttpDate("Sun Nov  6 08:49:37 1994", now) == sunday);
  REQUIRE(ParseHttpDate("Sun Nov 06 08:49:37 1994", now) == sunday);
  REQUIRE(ParseHttpDate("Mon, 06 Nov 1994 08:49:37 GMT", now) == sunday);
  REQUIRE(!ParseHttpDate("Sun, 06 Nov 1994 08:49:37 gmt", now));
  REQUIRE(!ParseHttpDate("sun, 06 Nov 1994 08:49:37 GMT", now));
  REQUIRE(!ParseHttpDate("Sun, 6 Nov 1994 08:49:37 GMT", now));
  REQUIRE(!ParseHttpDate("Sun Nov 6 08:49:37 1994", now));
  REQUIRE(!ParseHttpDate("Sat, 30 Feb 2024 00:00:00 GMT", now));
  REQUIRE(!ParseHttpDate("Sat, 29 Feb 2023 00:00:00 GMT", now));
  REQUIRE(!ParseHttpDate("Sat, 01 Feb 2023 24:00:00 GMT", now));
  REQUIRE(!ParseHttpDate("Sat, 01 Feb 2023 12:00:60 GMT", now));
  REQUIRE(!ParseHttpDate("", now) && !ParseHttpDate(" ", now));
  REQUIRE(ParseHttpDate("Thu, 31 Dec 2016 23:59:60 GMT", now) ==
          (HttpDate{2016, 12, 31, 23, 59, 59, 6}));
  REQUIRE(ParseHttpDate("Monday, 01-Jan-75 00:00:00 GMT", now)->year == 2075);
  REQUIRE(ParseHttpDate("Monday, 15-Jun-75 12:00:00 GMT", now)->year == 2075);
  REQUIRE(ParseHttpDate("Monday, 15-Jun-75 12:00:01 GMT", now)->year == 1975);
  REQUIRE(ParseHttpDate("Monday, 01-Jan-76 00:00:00 GMT", now)->year == 1976);
  REQUIRE(ParseHttpDate("Monday, 01-Jan-10 00:00:00 GMT", HttpDate{2090, 1, 1, 0, 0, 0, 0})->year ==
          2110);
  REQUIRE(FormatImfFixdate(sunday) == "Sun, 06 Nov 1994 08:49:37 GMT");
}

}  // namespace

void CheckKnownAnswers() {
  TextExamples();
  RequestHeaderExamples();
  CookieExamples();
  Base64Examples();
  TextBetweenExamples();
  DateTimeExamples();
  HttpDateExamples();
}

}  // namespace tolvaris::naive
