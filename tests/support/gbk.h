#pragma once

#include <string_view>

#include "core/encoding.h"
#include "core/text.h"

namespace tolvaris::testing {

// Tests write expected texts in UTF-8; the program works in GBK.
inline Text Gbk(std::string_view utf8) { return Text(Utf8ToGbk(utf8)); }

}  // namespace tolvaris::testing
