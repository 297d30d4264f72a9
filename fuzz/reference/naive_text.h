#pragma once

// The text operations once more, as plainly as their description reads: byte loops over
// std::string, 64-bit positions, no search tricks. Slow on purpose; the fuzz targets hold the
// real operations to these results.

#include <cstdint>
#include <string>
#include <vector>

namespace tolvaris::naive {

using Bytes = std::string;

int64_t Length(const Bytes& text);
Bytes Left(const Bytes& text, int64_t count);
Bytes Right(const Bytes& text, int64_t count);
Bytes Mid(const Bytes& text, int64_t start, int64_t count);
int64_t Find(const Bytes& text, const Bytes& sought, int64_t start = 0, bool ignoreCase = false);
Bytes Replace(const Bytes& text, const Bytes& sought, const Bytes& replacement, bool caseSensitive);
std::vector<Bytes> Split(const Bytes& text, const Bytes& separator);
Bytes Trim(const Bytes& text);
Bytes UpperCase(const Bytes& text);
int32_t CharCode(const Bytes& text);
int32_t Compare(const Bytes& a, const Bytes& b);

}  // namespace tolvaris::naive
