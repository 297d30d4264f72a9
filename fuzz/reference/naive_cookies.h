#pragma once

// Cookie text processing step by step as described, on the naive text operations.

#include <vector>

#include "fuzz/reference/naive_text.h"

namespace tolvaris::naive {

Bytes CollectSetCookies(const std::vector<Bytes>& headerLines);
Bytes MergeCookies(Bytes& sentCookies, const Bytes& receivedCookies);
Bytes CookieName(const Bytes& item);
bool CookieListHasName(const std::vector<Bytes>& list, const Bytes& name);
Bytes JoinDistinct(const Bytes& text, const Bytes& separator);
int64_t IndexOfText(const std::vector<Bytes>& array, const Bytes& text);

}  // namespace tolvaris::naive
