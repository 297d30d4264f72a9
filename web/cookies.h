#pragma once

#include <cstdint>

#include "core/text.h"

namespace tolvaris {

// The trimmed "name=value" part before the first ';' of every line that begins with "set-cookie:"
// (any case), joined by "; ". A Set-Cookie line without a ';' after its colon contributes nothing.
Text CollectSetCookies(const TextArray& headerLines);

// Merges the cookies a response set (receivedCookies) with those that were sent: received items
// first in their order, then the sent items whose name no received or earlier sent item has;
// items ending in "=deleted" are dropped and byte-equal repeats are kept once. sentCookies is
// replaced by the result, which is also returned.
Text MergeCookies(Text& sentCookies, const Text& receivedCookies);

// The trimmed text before the item's first '='; the whole trimmed item when it has none.
Text CookieName(const Text& item);

// True when some element's CookieName equals name exactly.
bool CookieListHasName(const TextArray& list, const Text& name);

// The items of text split by separator, each kept at its first occurrence, joined by separator.
Text JoinDistinct(const Text& text, const Text& separator);

// The 1-based index of the first element byte-equal to text, or -1.
int32_t IndexOfText(const TextArray& array, const Text& text);

}  // namespace tolvaris
