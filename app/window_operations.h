#pragma once

#include <cstdint>
#include <functional>

#include "core/text.h"

namespace tolvaris {

// The five controls of the main window, by the names of the window description.
enum class Control { 标签1, 编辑框_相差, 编辑框2, 编辑框1, 按钮1 };

// 0x00BBGGRR, as a Windows COLORREF.
using Colour = uint32_t;
inline constexpr Colour Black = 0;
inline constexpr Colour Red = 255;
inline constexpr Colour Green = 65280;
// Drawn as the system's 3-D face colour, looked up at drawing time.
inline constexpr Colour DefaultColour = 0xFF000000;

// What the handlers may do to the window. SetControlText and SetControlTextColour may be called
// from any thread; a text change from another thread returns once the window thread has applied
// it (or at once, doing nothing, when the window is gone). The others run on the window thread.
class WindowOperations {
 public:
  virtual ~WindowOperations() = default;
  virtual void SetControlText(Control control, const Text& text) = 0;
  virtual void SetControlTextColour(Control control, Colour colour) = 0;
  virtual void SetControlEnabled(Control control, bool enabled) = 0;
  // Modal for the whole program, title "信息：", one OK button; returns when it is closed.
  virtual void ShowMessageBox(const Text& message) = 0;
};

// Starts routine on a new, untracked thread and returns at once; a failure to start is ignored.
class ThreadStarter {
 public:
  virtual ~ThreadStarter() = default;
  virtual void StartThread(std::function<void()> routine) = 0;
};

}  // namespace tolvaris
