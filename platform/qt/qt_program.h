#pragma once

#include <functional>

namespace tolvaris {

class QtWindow;

// The Linux program: checks for a display, sets up Qt, the fatal-error box and the real clock,
// date parser and request object, runs StartProgram and ends the process with its exit code.
// prepare, when given, sees the window layer before the window is built (the test build hooks
// its state dump in there). Never returns.
[[noreturn]] void RunQtProgram(int argc, char** argv,
                               const std::function<void(QtWindow&)>& prepare = {});

// True when Qt has somewhere to put the window: an X or Wayland display, or a platform chosen
// explicitly through QT_QPA_PLATFORM.
bool HasDisplay();

}  // namespace tolvaris
