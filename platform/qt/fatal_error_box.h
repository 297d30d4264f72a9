#pragma once

#include "core/text.h"

namespace tolvaris {

// The fatal run-time error as a message box: title and text as given, one OK button. On a thread
// other than the QApplication's, or before there is one, the text goes to stderr instead.
void ShowFatalErrorBox(const Text& title, const Text& text);

}  // namespace tolvaris
