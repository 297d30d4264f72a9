#pragma once

// Request-header processing step by step as described, on the naive text operations.

#include <utility>
#include <vector>

#include "fuzz/reference/naive_text.h"

namespace tolvaris::naive {

using HeaderPair = std::pair<Bytes, Bytes>;  // name, value

Bytes CompleteRequestHeaders(const Bytes& headers, const Bytes& url, bool isPost);
Bytes NormaliseHeaderNames(const Bytes& headers);
Bytes HeaderLineName(const Bytes& line);
Bytes HeaderLineValue(const Bytes& line);
std::vector<HeaderPair> RequestHeaderPairs(const Bytes& headers);

}  // namespace tolvaris::naive
