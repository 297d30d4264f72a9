#include "nettime/date_header.h"

#include "core/gbk_literals.h"

namespace tolvaris {

Text TextBetween(const Text& text, const Text& leftDelimiter, const Text& rightDelimiter,
                 int32_t startPosition, bool caseInsensitive) {
  const Text left = ReplaceText(leftDelimiter, gbk::kQuotePlaceholder, "\"", true);
  const Text right = ReplaceText(rightDelimiter, gbk::kQuotePlaceholder, "\"", true);

  const int32_t leftAt = FindText(text, left, startPosition, caseInsensitive);
  if (leftAt == -1) return Text();
  const int32_t valueStart = leftAt + TextLength(left);
  // The right delimiter is sought only after the left one, never inside or before it.
  const int32_t rightAt = FindText(text, right, valueStart, caseInsensitive);
  if (rightAt == -1) return Text();
  return MidText(text, valueStart, rightAt - valueStart);
}

DateTime HttpDateToBeijingTime(const HttpDateParser& parser, const Text& dateText,
                               bool convertToBeijingTime) {
  TimeRecord record{};
  parser.InternetTimeToSystemTime(dateText, record);
  // Read as signed 16-bit integers: a field above 32767 comes out negative, and ComposeDateTime
  // then clamps it to its lower bound.
  DateTime value =
      ComposeDateTime(static_cast<int16_t>(record.wYear), static_cast<int16_t>(record.wMonth),
                      static_cast<int16_t>(record.wDay), static_cast<int16_t>(record.wHour),
                      static_cast<int16_t>(record.wMinute), static_cast<int16_t>(record.wSecond));
  if (convertToBeijingTime) value = AddHours(value, 8);
  return value;
}

}  // namespace tolvaris
