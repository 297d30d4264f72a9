#pragma once

#include <vector>

#include "core/text.h"

namespace tolvaris {

// One header to set on a request; both fields are trimmed and either may be empty.
struct HeaderPair {
  Text name;
  Text value;

  friend bool operator==(const HeaderPair&, const HeaderPair&) = default;
};

// Appends to headers each default header whose "Name:" occurs nowhere in the block (any case,
// anywhere, the defaults appended before it included): Accept, Referer (with url), Accept-Language,
// User-Agent, and Content-Type when isPost. Each default is appended as "\r\n" + line.
Text CompleteRequestHeaders(const Text& headers, const Text& url, bool isPost);

// Keeps the lines that hold a colon, capitalises the first byte of the name and the first byte
// after each hyphen in it (ASCII a-z only), and joins them by "\r\n" with none at the end. Every
// other byte of a kept line stays as it was.
Text NormaliseHeaderNames(const Text& headers);

// The trimmed text before / after the line's first colon; empty when the line has no colon.
Text HeaderLineName(const Text& line);
Text HeaderLineValue(const Text& line);

// The pairs to set, in line order. A block without "\r\n" always gives exactly one pair (empty
// fields for an empty block or a line without a colon). Otherwise empty lines give nothing, and
// neither does a line that is exactly name "Connection" with value "keep-alive" after trimming.
std::vector<HeaderPair> RequestHeaderPairs(const Text& headers);

}  // namespace tolvaris
