#include "web/cookies.h"

#include <string>
#include <string_view>
#include <unordered_set>

namespace tolvaris {
namespace {

constexpr char kItemSeparator[] = "; ";
constexpr char kDeletedSuffix[] = "=deleted";
constexpr int32_t kPairStart = 12;  // the first byte after "set-cookie:"

// A cookie text that ends in ';' gets the space that makes that ';' a separator for SplitText.
Text CompletedCookieText(const Text& cookies) {
  const Text trimmed = TrimText(cookies);
  if (CompareText(RightText(trimmed, 1), ";") == 0) return ConcatText(trimmed, " ");
  return trimmed;
}

bool IsDeletedItem(const Text& item) {
  return CompareText(RightText(item, TextLength(kDeletedSuffix)), kDeletedSuffix) == 0;
}

}  // namespace

Text CollectSetCookies(const TextArray& headerLines) {
  std::string result;
  for (int32_t i = 1; i <= ArrayCount(headerLines); ++i) {
    const Text& line = ArrayElement(headerLines, i);
    if (FindText(line, "set-cookie:", 1, true) != 1) continue;
    const int32_t semicolon = FindText(line, ";", kPairStart, true);
    if (semicolon == -1) continue;
    if (!result.empty()) result += kItemSeparator;
    result += TrimText(MidText(line, kPairStart, semicolon - kPairStart)).View();
  }
  return Text(std::move(result));
}

Text MergeCookies(Text& sentCookies, const Text& receivedCookies) {
  const TextArray sentItems = SplitText(CompletedCookieText(sentCookies), kItemSeparator);
  TextArray merged = SplitText(CompletedCookieText(receivedCookies), kItemSeparator);

  // The names of merged, kept in step with it: one look-up per sent item instead of a scan of
  // the whole list, which a response with thousands of cookies would make quadratic.
  std::unordered_set<std::string> mergedNames;
  for (int32_t i = 1; i <= ArrayCount(merged); ++i) {
    mergedNames.insert(CookieName(ArrayElement(merged, i)).Bytes());
  }
  for (int32_t i = 1; i <= ArrayCount(sentItems); ++i) {
    const Text& item = ArrayElement(sentItems, i);
    if (mergedNames.insert(CookieName(item).Bytes()).second) ArrayAppend(merged, item);
  }

  std::string kept;
  for (int32_t i = 1; i <= ArrayCount(merged); ++i) {
    const Text& item = ArrayElement(merged, i);
    if (IsDeletedItem(item)) continue;
    kept += item.View();
    kept += kItemSeparator;
  }
  // Joining and splitting again is not a no-op: an empty last item vanishes in the split.
  const Text joined(std::string_view(kept).substr(0, kept.size() >= 2 ? kept.size() - 2 : 0));
  sentCookies = JoinDistinct(joined, kItemSeparator);
  return sentCookies;
}

Text CookieName(const Text& item) {
  const int32_t equals = FindText(item, "=");
  if (equals == -1) return TrimText(item);
  return TrimText(LeftText(item, equals - 1));
}

bool CookieListHasName(const TextArray& list, const Text& name) {
  for (int32_t i = 1; i <= ArrayCount(list); ++i) {
    if (CompareText(CookieName(ArrayElement(list, i)), name) == 0) return true;
  }
  return false;
}

Text JoinDistinct(const Text& text, const Text& separator) {
  const TextArray items = SplitText(text, separator);
  // Views into items, which stays untouched while they are in use.
  std::unordered_set<std::string_view> seen;
  std::string out;
  for (const Text& item : items.Items()) {
    if (!seen.insert(item.View()).second) continue;
    out += item.View();
    out += separator.View();
  }
  const size_t separatorLength = separator.Bytes().size();
  out.resize(out.size() >= separatorLength ? out.size() - separatorLength : 0);
  return Text(std::move(out));
}

int32_t IndexOfText(const TextArray& array, const Text& text) {
  for (int32_t i = 1; i <= ArrayCount(array); ++i) {
    if (CompareText(ArrayElement(array, i), text) == 0) return i;
  }
  return -1;
}

}  // namespace tolvaris
