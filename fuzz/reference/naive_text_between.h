#pragma once

// TextBetween step by step as described, on the naive text operations.

#include <cstdint>

#include "fuzz/reference/naive_text.h"

namespace tolvaris::naive {

Bytes TextBetween(const Bytes& text, const Bytes& leftDelimiter, const Bytes& rightDelimiter,
                  int64_t startPosition, bool caseInsensitive);

}  // namespace tolvaris::naive
