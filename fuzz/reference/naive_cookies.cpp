#include "fuzz/reference/naive_cookies.h"

namespace tolvaris::naive {

Bytes CollectSetCookies(const std::vector<Bytes>& headerLines) {
  Bytes result;
  for (const Bytes& line : headerLines) {
    if (Find(line, "set-cookie:", 1, true) != 1) continue;
    int64_t semicolon = Find(line, ";", 12, true);
    if (semicolon == -1) continue;
    if (!result.empty()) result += "; ";
    result += Trim(Mid(line, 12, semicolon - 12));
  }
  return result;
}

Bytes CookieName(const Bytes& item) {
  int64_t equals = Find(item, "=");
  if (equals == -1) return Trim(item);
  return Trim(Left(item, equals - 1));
}

bool CookieListHasName(const std::vector<Bytes>& list, const Bytes& name) {
  for (const Bytes& element : list) {
    if (Compare(CookieName(element), name) == 0) return true;
  }
  return false;
}

int64_t IndexOfText(const std::vector<Bytes>& array, const Bytes& text) {
  for (size_t i = 0; i < array.size(); ++i) {
    if (Compare(array[i], text) == 0) return static_cast<int64_t>(i) + 1;
  }
  return -1;
}

Bytes JoinDistinct(const Bytes& text, const Bytes& separator) {
  std::vector<Bytes> seen;
  Bytes out;
  for (const Bytes& item : Split(text, separator)) {
    if (IndexOfText(seen, item) == -1) {
      seen.push_back(item);
      out += item + separator;
    }
  }
  return Left(out, Length(out) - Length(separator));
}

namespace {

// A text that ended in ";" ends in "; " afterwards, so that the split takes that semicolon as a
// separator.
Bytes PreparedForSplit(const Bytes& cookies) {
  Bytes trimmed = Trim(cookies);
  if (Right(trimmed, 1) == ";") trimmed = trimmed + " ";
  return trimmed;
}

}  // namespace

Bytes MergeCookies(Bytes& sentCookies, const Bytes& receivedCookies) {
  std::vector<Bytes> sentItems = Split(PreparedForSplit(sentCookies), "; ");
  std::vector<Bytes> merged = Split(PreparedForSplit(receivedCookies), "; ");
  for (const Bytes& item : sentItems) {
    if (!CookieListHasName(merged, CookieName(item))) merged.push_back(item);
  }
  Bytes t;
  for (const Bytes& item : merged) {
    if (Compare(Right(item, 8), "=deleted") != 0) t += item + "; ";
  }
  t = Left(t, Length(t) - 2);
  t = JoinDistinct(t, "; ");
  sentCookies = t;
  return t;
}

}  // namespace tolvaris::naive
