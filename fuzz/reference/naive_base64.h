#pragma once

// A Base64 decoder written apart from the encoder under test, straight from RFC 4648 section 4:
// it accepts only the canonical encoding (full quads, "=" only at the end, the bits the fill
// stands for zero), so a round trip through it proves the encoding itself, not only the bytes.

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace tolvaris::naive {

std::optional<std::vector<uint8_t>> DecodeBase64(const std::string& text);

}  // namespace tolvaris::naive
