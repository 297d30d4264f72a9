#pragma once

#include <array>
#include <cstdint>
#include <functional>

#include "app/app_environment.h"
#include "app/window_operations.h"
#include "core/text.h"

namespace tolvaris {

enum class ControlKind { Label, EditBox, PushButton };

// One control of the main window as it is built at start-up. Positions are client coordinates.
struct ControlDescription {
  Control name;
  ControlKind kind;
  int32_t x;
  int32_t y;
  int32_t width;
  int32_t height;
  Text startText;
  // Only the user's typing is refused; the program still writes the text.
  bool readOnly = false;
  bool tabStop = false;
  // The sunken 3-D edge of the edit boxes; the label and the button have no border of ours.
  bool sunkenEdge = false;
  Colour textColour = Black;
  Colour background = DefaultColour;
  // Only for the push button: the one Enter would click. The window has none.
  bool defaultButton = false;

  friend bool operator==(const ControlDescription&, const ControlDescription&) = default;
};

inline constexpr int32_t kMainWindowControlCount = 5;

// The fixed description the main window is built from.
struct MainWindowDescription {
  Text title;
  // Title bar and frame included.
  int32_t outerWidth;
  int32_t outerHeight;
  // Fixed size with title bar, system menu, close and minimise buttons; no maximise button.
  bool resizable;
  bool minimiseButton;
  bool maximiseButton;
  Colour background;
  // In creation order, which is also the stacking order from bottom to top.
  std::array<ControlDescription, kMainWindowControlCount> controls;

  friend bool operator==(const MainWindowDescription&, const MainWindowDescription&) = default;
};

const MainWindowDescription& MainWindow();

struct ScreenPosition {
  int32_t x;
  int32_t y;
  friend bool operator==(const ScreenPosition&, const ScreenPosition&) = default;
};

// Top-left corner of the outer rectangle that centres the window on a screen of the given size;
// each half is truncated toward zero, so a screen smaller than the window gives a negative
// position that is still centred.
ScreenPosition CentredWindowPosition(const MainWindowDescription& window, int32_t screenWidth,
                                     int32_t screenHeight);

// What StartProgram needs of the platform's window layer.
class WindowToolkit {
 public:
  virtual ~WindowToolkit() = default;
  // Builds the window and its controls, all still hidden, and connects the button's click to
  // syncNowClicked. False when the window cannot be built.
  virtual bool BuildWindow(const MainWindowDescription& description,
                           std::function<void()> syncNowClicked) = 0;
  virtual void ShowWindow() = 0;
  // Handles the window thread's messages until the window has been closed.
  virtual void RunMessageLoop() = 0;
};

// The program's start routine, on the thread that becomes the window thread. Returns 0 once the
// message loop has ended; a window that cannot be built is the fatal error "载入启动窗口失败".
int StartProgram(WindowToolkit& toolkit, AppEnvironment& environment);

}  // namespace tolvaris
