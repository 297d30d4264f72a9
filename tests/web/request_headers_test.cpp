#include "web/request_headers.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <utility>
#include <vector>

namespace tolvaris {
namespace {

using Pairs = std::vector<std::pair<std::string, std::string>>;

// As plain strings, so that a failure prints the bytes readably.
Pairs AsStrings(const std::vector<HeaderPair>& pairs) {
  Pairs out;
  for (const HeaderPair& pair : pairs) out.emplace_back(pair.name.Bytes(), pair.value.Bytes());
  return out;
}

constexpr char kUrl[] = "http://time.example/";
const std::string kDefaultsForGet =
    std::string("\r\nAccept: */*\r\nReferer: ") + kUrl +
    "\r\nAccept-Language: zh-cn"
    "\r\nUser-Agent: Mozilla/4.0 (compatible; MSIE 9.0; Windows NT 6.1)";
constexpr char kContentTypeDefault[] = "\r\nContent-Type: application/x-www-form-urlencoded";
constexpr char kAllFour[] = "Accept: a\r\nReferer: r\r\nAccept-Language: l\r\nUser-Agent: u";

TEST(CompleteRequestHeaders, AppendsOnlyTheDefaultsWhoseNameIsNowhereInTheBlock) {
  struct Row {
    std::string headers;
    std::string url;
    bool isPost;
    std::string expected;
    const char* why;
  };
  const std::string referer = std::string("\r\nReferer: ") + kUrl;
  const std::string language = "\r\nAccept-Language: zh-cn";
  const std::string agent = "\r\nUser-Agent: Mozilla/4.0 (compatible; MSIE 9.0; Windows NT 6.1)";
  const Row rows[] = {
      {"", kUrl, false, kDefaultsForGet, "empty block: every default, leading CRLF, no trailing"},
      {"", kUrl, true, kDefaultsForGet + kContentTypeDefault, "POST adds Content-Type last"},
      {"accept: text/html", kUrl, false, "accept: text/html" + referer + language + agent,
       "the search ignores case"},
      {"X-Accept: 1", kUrl, false, "X-Accept: 1" + referer + language + agent,
       "\"Accept:\" inside another name counts as present"},
      {"Accept-Language: en", kUrl, false, "Accept-Language: en\r\nAccept: */*" + referer + agent,
       "\"Accept:\" is not part of \"Accept-Language:\""},
      {"X: see REFERER: here", kUrl, false,
       "X: see REFERER: here\r\nAccept: */*" + language + agent,
       "a name inside a value counts as present"},
      {kAllFour, kUrl, false, kAllFour, "complete GET block comes back unchanged"},
      {kAllFour, kUrl, true, kAllFour + std::string(kContentTypeDefault), "POST still lacks one"},
      {"content-type: text/plain", kUrl, true, "content-type: text/plain" + kDefaultsForGet,
       "POST with its own Content-Type"},
      {"Content-Type: text/plain", kUrl, false, "Content-Type: text/plain" + kDefaultsForGet,
       "GET never looks at Content-Type"},
      {"X: 1\r\n", kUrl, false, "X: 1\r\n" + kDefaultsForGet,
       "a trailing CRLF leaves an empty line before the first default"},
      {"", "http://h/?user-agent:x", false,
       "\r\nAccept: */*\r\nReferer: http://h/?user-agent:x" + language,
       "the appended Referer is searched by the later rows"},
      {"", "", false, "\r\nAccept: */*\r\nReferer: " + language + agent, "empty URL"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.why);
    EXPECT_EQ(CompleteRequestHeaders(Text(row.headers), Text(row.url), row.isPost).Bytes(),
              row.expected);
  }
}

TEST(NormaliseHeaderNames, CapitalisesNameWordsAndDropsLinesWithoutColon) {
  struct Row {
    std::string headers;
    std::string expected;
    const char* why;
  };
  const Row rows[] = {
      {"user-agent: x\r\ncontent-TYPE: y", "User-Agent: x\r\nContent-TYPE: y",
       "only the first letter of each word changes"},
      {"x-: 1", "X-: 1", "a trailing hyphen is kept"},
      {"ab---: v", "Ab---: v", "several trailing hyphens are kept"},
      {"--: v", "--: v", "a name of hyphens only"},
      {"-a: 1", "-A: 1", "a leading hyphen starts an empty word"},
      {"a--b: 1", "A--B: 1", "an empty word between two hyphens"},
      {": v", ": v", "empty name"},
      {"  host: a", "  host: a", "a name starting with a space is not capitalised"},
      {"\thost: a", "\thost: a", "nor one starting with a tab"},
      {"1a-2b: x", "1a-2b: x", "digits stay"},
      {"referer: u:v", "Referer: u:v", "later colons and spacing stay"},
      {"host : a", "Host : a", "space before the colon stays"},
      {"x:", "X:", "empty value"},
      {"accept", "", "a line without colon disappears"},
      {"a: 1\r\n", "A: 1", "no CRLF at the end"},
      {"\r\n\r\nA: 1\r\n\r\nb: 2\r\n\r\n", "A: 1\r\nB: 2", "empty lines are dropped"},
      {"", "", "empty block"},
      {"x-y: a-b c-d", "X-Y: a-b c-d", "hyphens in the value are not word starts"},
      // 0xB0 starts a two-byte character: its second byte is never a letter, hyphen or colon.
      {"\xB0"
       "a-b: 1",
       "\xB0"
       "a-B: 1",
       "a leading two-byte character stays"},
      {"a\xB0-b: 1", "A\xB0-b: 1", "a hyphen that is a second byte is no word break"},
      {"x\xB0:y: 1", "X\xB0:y: 1", "a colon that is a second byte does not end the name"},
      {"x\xB0:y", "", "a line whose only colon is a second byte is dropped"},
      {"\xD6\xD0-\xCE\xC4: v", "\xD6\xD0-\xCE\xC4: v", "Chinese words stay"},  // 中-文
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.why);
    EXPECT_EQ(NormaliseHeaderNames(Text(row.headers)).Bytes(), row.expected);
  }
}

TEST(NormaliseHeaderNames, CompletedEmptyBlockBeginsWithAccept) {
  const Text completed = CompleteRequestHeaders(Text(), kUrl, false);
  EXPECT_EQ(NormaliseHeaderNames(completed).Bytes(), kDefaultsForGet.substr(2));
}

// A generated header line, with what NormaliseHeaderNames must make of it.
struct GeneratedLine {
  std::string bytes;
  std::string normalised;
  bool kept = false;
};

class HeaderLineGenerator {
 public:
  explicit HeaderLineGenerator(uint32_t seed) : random_(seed) {}

  GeneratedLine Line() {
    GeneratedLine line;
    switch (Below(8)) {
      case 0:
        return line;  // empty line
      case 1:
        AppendText(line, Below(12), /*allowColon=*/false);
        line.normalised.clear();  // no colon: dropped
        return line;
      default:
        break;
    }
    line.kept = true;
    bool wordStart = true;
    for (int i = Below(14); i > 0; --i) {
      const std::string character = NameCharacter();
      std::string normalised = character;
      if (wordStart && character.size() == 1 && character[0] >= 'a' && character[0] <= 'z') {
        normalised[0] = static_cast<char>(character[0] - 'a' + 'A');
      }
      wordStart = character == "-";
      line.bytes += character;
      line.normalised += normalised;
    }
    line.bytes += ':';
    line.normalised += ':';
    AppendText(line, Below(16), /*allowColon=*/true);
    return line;
  }

 private:
  int Below(int bound) { return std::uniform_int_distribution<int>(0, bound - 1)(random_); }

  // A two-byte character: any lead byte, and a second byte that is sometimes one the walk must
  // not mistake for a letter, hyphen or colon.
  std::string TwoByteCharacter() {
    static constexpr char kTrickySecondBytes[] = {'a', 'z', '-', ':', 'A', ' '};
    std::string character(1, static_cast<char>(0x81 + Below(0x7E)));
    if (Below(3) == 0) {
      character += kTrickySecondBytes[Below(sizeof kTrickySecondBytes)];
    } else {
      character += static_cast<char>(0x40 + Below(0xBF));
    }
    return character;
  }

  std::string NameCharacter() {
    static constexpr char kAscii[] = "abcxyzABCXYZ019-- \t_.";
    if (Below(5) == 0) return TwoByteCharacter();
    return std::string(1, kAscii[Below(sizeof kAscii - 1)]);
  }

  void AppendText(GeneratedLine& line, int characters, bool allowColon) {
    static constexpr char kAscii[] = "abzAZ09-:; =/\t";
    for (; characters > 0; --characters) {
      std::string character =
          Below(4) == 0 ? TwoByteCharacter() : std::string(1, kAscii[Below(sizeof kAscii - 1)]);
      if (!allowColon && character == ":") character = "q";
      line.bytes += character;
      line.normalised += character;
    }
  }

  std::mt19937 random_;
};

std::string JoinLines(const std::vector<std::string>& lines) {
  std::string joined;
  for (size_t i = 0; i < lines.size(); ++i) joined += (i == 0 ? "" : "\r\n") + lines[i];
  return joined;
}

TEST(NormaliseHeaderNames, KeepsEveryByteOfKeptLinesButTheCapitalisedLetters) {
  HeaderLineGenerator generator(20240307);
  for (int block = 0; block < 400; ++block) {
    std::vector<std::string> lines, keptLines, expectedLines;
    for (int i = 0; i <= block % 7; ++i) {
      const GeneratedLine line = generator.Line();
      lines.push_back(line.bytes);
      if (!line.kept) continue;
      keptLines.push_back(line.bytes);
      expectedLines.push_back(line.normalised);
    }
    const std::string headers = JoinLines(lines) + (block % 3 == 0 ? "\r\n" : "");
    SCOPED_TRACE(::testing::PrintToString(headers));

    const std::string normalised = NormaliseHeaderNames(Text(headers)).Bytes();
    ASSERT_EQ(normalised, JoinLines(expectedLines));

    // The same, said as the property: byte for byte the kept lines, apart from small letters
    // turned into capitals.
    const std::string kept = JoinLines(keptLines);
    ASSERT_EQ(normalised.size(), kept.size());
    for (size_t i = 0; i < kept.size(); ++i) {
      if (normalised[i] == kept[i]) continue;
      EXPECT_TRUE(kept[i] >= 'a' && kept[i] <= 'z' && normalised[i] == kept[i] - 'a' + 'A')
          << "byte " << i;
    }
  }
}

TEST(HeaderLineNameAndValue, TrimTheTextAroundTheFirstColon) {
  struct Row {
    std::string line;
    std::string name;
    std::string value;
    const char* why;
  };
  const Row rows[] = {
      {"Host : a", "Host", "a", "spaces around the colon"},
      {"Referer: u:v", "Referer", "u:v", "later colons belong to the value"},
      {"no colon here", "", "", "no colon"},
      {":", "", "", "colon only"},
      {" a : ", "a", "", "blanks only after the colon"},
      {"\ta:\tb\t", "\ta", "\tb\t", "tabs are not trimmed"},
      {"\xA1\xA1Host\xA1\xA1: \xA1\xA1v \xA1\xA1", "Host", "v", "full-width spaces are trimmed"},
      {"x\xB0: y", "", "", "a colon that is a second byte is not found"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.why);
    EXPECT_EQ(HeaderLineName(Text(row.line)).Bytes(), row.name);
    EXPECT_EQ(HeaderLineValue(Text(row.line)).Bytes(), row.value);
  }
}

TEST(RequestHeaderPairs, SplitsTheBlockIntoTrimmedPairs) {
  struct Row {
    std::string headers;
    Pairs expected;
    const char* why;
  };
  const Row rows[] = {
      {"Host: a", {{"Host", "a"}}, "one line"},
      {"", {{"", ""}}, "an empty block still gives one pair"},
      {"no colon", {{"", ""}}, "so does a single line without colon"},
      {"Connection: keep-alive",
       {{"Connection", "keep-alive"}},
       "a single keep-alive line is passed on"},
      {"Connection: keep-alive\r\nX: 1", {{"X", "1"}}, "keep-alive is left out of a block"},
      {" Connection :  keep-alive \r\nX: 1", {{"X", "1"}}, "compared after trimming"},
      {"Connection: Keep-Alive\r\nconnection: keep-alive",
       {{"Connection", "Keep-Alive"}, {"connection", "keep-alive"}},
       "other spellings are passed on"},
      {"\r\nA: 1\r\n\r\nB: 2\r\n", {{"A", "1"}, {"B", "2"}}, "empty lines give nothing"},
      {"A: 1\r\nno colon", {{"A", "1"}, {"", ""}}, "a non-empty line without colon"},
      {"A: 1\r\nA: 2", {{"A", "1"}, {"A", "2"}}, "repeated names are not merged"},
      {"A:\t1\r\n", {{"A", "\t1"}}, "a tab stays in the value"},
      {"\r\n", {}, "a lone CRLF gives nothing"},
      {"Connection: keep-alive\r\n", {}, "keep-alive in a block that ends with CRLF"},
      {"A: x\xB0\r\nB: 2",
       {{"A", "x\xB0\r\nB: 2"}},
       "a CR after a lead byte is that character's second byte: one line"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.why);
    EXPECT_EQ(AsStrings(RequestHeaderPairs(Text(row.headers))), row.expected);
  }
}

}  // namespace
}  // namespace tolvaris
