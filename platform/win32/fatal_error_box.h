#pragma once

#include "core/text.h"

namespace tolvaris {

// The fatal run-time error on Windows: a message box with no owner, then the caller ends the
// process (core/fatal_error.h).
void ShowFatalErrorBox(const Text& title, const Text& text);

}  // namespace tolvaris
