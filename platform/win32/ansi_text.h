#pragma once

#include <windows.h>

#include <string>

#include "core/text.h"

namespace tolvaris {

// The texts the program hands to COM and reads back from it travel through the ANSI code page
// (936 on the systems the program is made for), as the Automation calls of the ANSI world do.
std::wstring AnsiToWide(const Text& text);
// Stops at the first zero character: a Text holds none, and Wine's GetAllResponseHeaders ends in
// one.
Text WideToAnsi(const wchar_t* wide, size_t length);

}  // namespace tolvaris
