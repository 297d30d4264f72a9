#pragma once

#include "core/bytes.h"
#include "core/text.h"

namespace tolvaris {

// Base64 of bytes (standard alphabet, "=" fill, one line with no breaks); empty for no bytes.
Text Base64Encode(const ByteArray& bytes);

}  // namespace tolvaris
