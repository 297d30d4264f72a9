#include "fuzz/reference/naive_request_headers.h"

namespace tolvaris::naive {
namespace {

Bytes Capitalised(const Bytes& word) {
  return UpperCase(Left(word, 1)) + Mid(word, 2, Length(word));
}

}  // namespace

Bytes CompleteRequestHeaders(const Bytes& headers, const Bytes& url, bool isPost) {
  struct Default {
    Bytes lookedFor;
    Bytes appended;
  };
  std::vector<Default> defaults = {
      {"Accept:", "\r\nAccept: */*"},
      {"Referer:", "\r\nReferer: " + url},
      {"Accept-Language:", "\r\nAccept-Language: zh-cn"},
      {"User-Agent:", "\r\nUser-Agent: Mozilla/4.0 (compatible; MSIE 9.0; Windows NT 6.1)"},
  };
  if (isPost)
    defaults.push_back({"Content-Type:", "\r\nContent-Type: application/x-www-form-urlencoded"});
  Bytes block = headers;
  for (const Default& row : defaults) {
    if (Find(block, row.lookedFor, 0, true) == -1) block = block + row.appended;
  }
  return block;
}

Bytes NormaliseHeaderNames(const Bytes& headers) {
  Bytes result;
  for (const Bytes& line : Split(headers, "\r\n")) {
    int64_t colon = Find(line, ":");
    if (colon == -1) continue;
    Bytes name = Mid(line, 1, colon - 1);
    Bytes newName;
    if (Find(name, "-") == -1) {
      newName = Capitalised(name);
    } else {
      std::vector<Bytes> parts = Split(name, "-");
      for (size_t i = 0; i < parts.size(); ++i) {
        if (i > 0) newName += "-";
        newName += Capitalised(parts[i]);
      }
    }
    Bytes rest = Right(line, Length(line) - Length(newName));
    result += newName + rest + "\r\n";
  }
  return Left(result, Length(result) - 2);
}

Bytes HeaderLineName(const Bytes& line) {
  int64_t colon = Find(line, ":");
  if (colon == -1) return "";
  return Trim(Left(line, colon - 1));
}

Bytes HeaderLineValue(const Bytes& line) {
  int64_t colon = Find(line, ":");
  if (colon == -1) return "";
  return Trim(Right(line, Length(line) - colon));
}

std::vector<HeaderPair> RequestHeaderPairs(const Bytes& headers) {
  if (Find(headers, "\r\n") == -1) return {{HeaderLineName(headers), HeaderLineValue(headers)}};
  std::vector<HeaderPair> pairs;
  for (const Bytes& line : Split(headers, "\r\n")) {
    if (line.empty()) continue;
    Bytes name = HeaderLineName(line);
    Bytes value = HeaderLineValue(line);
    if (Compare(name, "Connection") == 0 && Compare(value, "keep-alive") == 0) continue;
    pairs.emplace_back(name, value);
  }
  return pairs;
}

}  // namespace tolvaris::naive
