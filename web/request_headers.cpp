#include "web/request_headers.h"

#include <string>

namespace tolvaris {
namespace {

constexpr char kLineBreak[] = "\r\n";

struct DefaultHeader {
  const char* lookedFor;
  const char* appended;
  bool followedByUrl;
  bool onlyForPost;
};

// Tested and appended in this order; the order decides where each default lands in the block.
constexpr DefaultHeader kDefaultHeaders[] = {
    {"Accept:", "\r\nAccept: */*", false, false},
    {"Referer:", "\r\nReferer: ", true, false},
    {"Accept-Language:", "\r\nAccept-Language: zh-cn", false, false},
    {"User-Agent:", "\r\nUser-Agent: Mozilla/4.0 (compatible; MSIE 9.0; Windows NT 6.1)", false,
     false},
    {"Content-Type:", "\r\nContent-Type: application/x-www-form-urlencoded", false, true},
};

// Only the first byte can change: a lead byte of a two-byte character, a digit or a space stays.
Text Capitalised(const Text& word) {
  return ConcatText(UpperCaseText(LeftText(word, 1)), MidText(word, 2, TextLength(word)));
}

// Words are separated by hyphens. Splitting drops the empty piece after a trailing hyphen, so the
// result is then shorter than the name; the caller takes the missing bytes back from the line.
Text CapitalisedName(const Text& name) {
  if (FindText(name, "-") == -1) return Capitalised(name);
  const TextArray words = SplitText(name, "-");
  std::string joined;
  joined.reserve(name.Bytes().size());
  for (int32_t i = 1; i <= ArrayCount(words); ++i) {
    if (i > 1) joined += '-';
    joined += Capitalised(ArrayElement(words, i)).View();
  }
  return Text(std::move(joined));
}

}  // namespace

Text CompleteRequestHeaders(const Text& headers, const Text& url, bool isPost) {
  Text block = headers;
  for (const DefaultHeader& header : kDefaultHeaders) {
    if (header.onlyForPost && !isPost) continue;
    if (FindText(block, header.lookedFor, 0, true) != -1) continue;
    block = header.followedByUrl ? ConcatText(block, header.appended, url)
                                 : ConcatText(block, header.appended);
  }
  return block;
}

Text NormaliseHeaderNames(const Text& headers) {
  const TextArray lines = SplitText(headers, kLineBreak);
  // Built in one buffer: concatenating texts line by line would copy the block once per line.
  std::string result;
  result.reserve(headers.Bytes().size() + 2);
  for (int32_t i = 1; i <= ArrayCount(lines); ++i) {
    const Text& line = ArrayElement(lines, i);
    const int32_t colon = FindText(line, ":");
    if (colon == -1) continue;
    const Text newName = CapitalisedName(MidText(line, 1, colon - 1));
    const Text rest = RightText(line, TextLength(line) - TextLength(newName));
    result += newName.View();
    result += rest.View();
    result += kLineBreak;
  }
  if (result.size() >= 2) result.resize(result.size() - 2);
  return Text(std::move(result));
}

Text HeaderLineName(const Text& line) {
  const int32_t colon = FindText(line, ":");
  if (colon == -1) return Text();
  return TrimText(LeftText(line, colon - 1));
}

Text HeaderLineValue(const Text& line) {
  const int32_t colon = FindText(line, ":");
  if (colon == -1) return Text();
  return TrimText(RightText(line, TextLength(line) - colon));
}

std::vector<HeaderPair> RequestHeaderPairs(const Text& headers) {
  // A single line is passed on whatever it holds, the keep-alive line included.
  if (FindText(headers, kLineBreak) == -1) {
    return {HeaderPair{HeaderLineName(headers), HeaderLineValue(headers)}};
  }
  std::vector<HeaderPair> pairs;
  const TextArray lines = SplitText(headers, kLineBreak);
  for (int32_t i = 1; i <= ArrayCount(lines); ++i) {
    const Text& line = ArrayElement(lines, i);
    if (line.IsEmpty()) continue;
    HeaderPair pair{HeaderLineName(line), HeaderLineValue(line)};
    // Only this exact spelling is left out; "Keep-Alive" or "connection" are passed on.
    if (CompareText(pair.name, "Connection") == 0 && CompareText(pair.value, "keep-alive") == 0) {
      continue;
    }
    pairs.push_back(std::move(pair));
  }
  return pairs;
}

}  // namespace tolvaris
