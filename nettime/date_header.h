#pragma once

#include <cstdint>

#include "core/datetime.h"
#include "core/text.h"
#include "nettime/http_date_parser.h"

namespace tolvaris {

// The bytes of text between the first leftDelimiter found from startPosition (1-based; 1 or
// below means the first byte) and the next rightDelimiter after it; empty when either is
// missing. In both delimiters, and only there, "#引号" stands for a double quote. Delimiters
// match byte for byte unless caseInsensitive.
Text TextBetween(const Text& text, const Text& leftDelimiter, const Text& rightDelimiter,
                 int32_t startPosition = 0, bool caseInsensitive = false);

// The HTTP date (GMT) in dateText as a DateTime, moved to China Standard Time (UTC+8) unless
// convertToBeijingTime is false. The parser writes into an all-zero record; whatever it leaves
// there is composed, so a date it cannot read gives EarliestDateTime (0100-01-01 00:00:00).
DateTime HttpDateToBeijingTime(const HttpDateParser& parser, const Text& dateText,
                               bool convertToBeijingTime = true);

}  // namespace tolvaris
