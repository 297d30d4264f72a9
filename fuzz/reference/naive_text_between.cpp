#include "fuzz/reference/naive_text_between.h"

namespace tolvaris::naive {

Bytes TextBetween(const Bytes& text, const Bytes& leftDelimiter, const Bytes& rightDelimiter,
                  int64_t startPosition, bool caseInsensitive) {
  // "#引号" in code page 936.
  const Bytes quotePlaceholder = "#\xD2\xFD\xBA\xC5";
  Bytes left = Replace(leftDelimiter, quotePlaceholder, "\"", true);
  Bytes right = Replace(rightDelimiter, quotePlaceholder, "\"", true);
  int64_t leftAt = Find(text, left, startPosition, caseInsensitive);
  if (leftAt == -1) return "";
  int64_t after = leftAt + Length(left);
  int64_t rightAt = Find(text, right, after, caseInsensitive);
  if (rightAt == -1) return "";
  return Mid(text, after, rightAt - after);
}

}  // namespace tolvaris::naive
