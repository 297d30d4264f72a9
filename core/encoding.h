#pragma once

#include <string>
#include <string_view>

namespace tolvaris {

// Conversions at the edges of the program (window toolkit, stderr). Each platform provides them:
// iconv on POSIX, the code-page functions on Windows. Bytes that do not convert are replaced.
std::string GbkToUtf8(std::string_view gbk);
std::string Utf8ToGbk(std::string_view utf8);

}  // namespace tolvaris
