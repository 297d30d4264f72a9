#pragma once

#include <windows.h>

#include <array>
#include <atomic>
#include <functional>

#include "app/main_window.h"
#include "app/window_operations.h"
#include "platform/win32/resource_ids.h"

namespace tolvaris {

// The main window on Win32: its own window class for the window and the label, the system
// "EDIT" and "BUTTON" controls, and the operations the handlers change it through. The controls
// carry the ids 1001 to 1005 in creation order, which is how a test from outside finds them. The object
// must outlive every thread that may still call SetControlText or SetControlTextColour; once the
// window is destroyed those calls return at once without touching it.
class Win32MainWindow final : public WindowToolkit, public WindowOperations {
 public:
  // instance holds the program icon (resource TOLVARIS_PROGRAM_ICON).
  explicit Win32MainWindow(HINSTANCE instance);
  Win32MainWindow(const Win32MainWindow&) = delete;
  Win32MainWindow& operator=(const Win32MainWindow&) = delete;
  // Destroys the window if it is still there; call it on the window thread.
  ~Win32MainWindow() override;

  bool BuildWindow(const MainWindowDescription& description,
                   std::function<void()> syncNowClicked) override;
  void ShowWindow() override;
  void RunMessageLoop() override;

  void SetControlText(Control control, const Text& text) override;
  void SetControlTextColour(Control control, Colour colour) override;
  void SetControlEnabled(Control control, bool enabled) override;
  void ShowMessageBox(const Text& message) override;

  // The window's own keyboard handling, offered every message before it is dispatched: Esc
  // without Ctrl, Shift or Alt closes the window, Tab and Shift+Tab move the focus. True when
  // the message was used up.
  bool HandleKeyboard(const MSG& message);

  HWND Handle() const { return window_; }
  HWND ControlHandle(Control control) const;
  // The colour a control's text is drawn in, DefaultColour not yet resolved.
  Colour TextColour(Control control) const;

  static constexpr const char* kWindowClassName = "TolvarisMainWindow";
  static constexpr const char* kLabelClassName = "TolvarisLabel";

 private:
  static constexpr size_t kControls = static_cast<size_t>(kMainWindowControlCount);

  static LRESULT CALLBACK WindowProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
  static LRESULT CALLBACK LabelProcedure(HWND label, UINT message, WPARAM wParam, LPARAM lParam);
  bool RegisterClasses() const;
  bool CreateControls(const MainWindowDescription& description);
  LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam);
  LRESULT ControlColours(UINT message, HDC context, HWND control);
  void PaintLabel(HWND label);
  // A solid brush of colour, kept until a different colour is asked for.
  HBRUSH BackgroundBrush(COLORREF colour);
  int ControlIndex(HWND control) const;

  HINSTANCE instance_;
  HWND window_ = nullptr;
  HFONT font_ = nullptr;
  Colour windowBackground_ = DefaultColour;
  std::array<Control, kControls> names_{};
  // Written while the window is built, before any other thread can see the object; read-only
  // after that, also once the window is gone.
  std::array<HWND, kControls> controls_{};
  std::array<Colour, kControls> backgrounds_{};
  std::array<std::atomic<Colour>, kControls> textColours_{};
  std::function<void()> syncNowClicked_;
  std::atomic<bool> alive_{false};
  HWND lastFocus_ = nullptr;
  HBRUSH brush_ = nullptr;
  COLORREF brushColour_ = 0;
};

}  // namespace tolvaris
