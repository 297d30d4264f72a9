#pragma once

#include "core/text.h"

namespace tolvaris {

// Shows the fatal run-time error. title is "错误", text the full message (both GBK).
using FatalErrorReporter = void (*)(const Text& title, const Text& text);

// The full text of a fatal error: "运行时出错!", a blank line, then "错误信息：" and message.
Text FatalErrorText(const Text& message);

// The platform's window layer installs a message-box reporter; the default one writes the text
// as UTF-8 to stderr. Set once at start-up, before any other thread runs.
void SetFatalErrorReporter(FatalErrorReporter reporter);

// Reports message and ends the process with exit code -1.
[[noreturn]] void RaiseFatalError(const Text& message);

}  // namespace tolvaris
