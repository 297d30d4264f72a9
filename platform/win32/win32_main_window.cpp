#include "platform/win32/win32_main_window.h"

#include <utility>

#include "core/gbk_literals.h"

namespace tolvaris {
namespace {

constexpr DWORD kClassStyle = CS_HREDRAW | CS_VREDRAW | CS_DBLCLKS;
constexpr UINT kLabelTextFormat = DT_SINGLELINE | DT_VCENTER | DT_NOCLIP;
// Clear of IDOK and IDCANCEL, which the system's dialog keys send.
constexpr int kFirstControlId = 1001;

COLORREF Resolve(Colour colour) {
  return colour == DefaultColour ? GetSysColor(COLOR_BTNFACE) : static_cast<COLORREF>(colour);
}

DWORD WindowStyle(const MainWindowDescription& description) {
  DWORD style = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_CLIPCHILDREN;
  if (description.minimiseButton) style |= WS_MINIMIZEBOX;
  if (description.maximiseButton) style |= WS_MAXIMIZEBOX;
  if (description.resizable) style |= WS_THICKFRAME;
  return style;
}

struct ControlClass {
  const char* className;
  DWORD style;
  DWORD extendedStyle;
};

ControlClass ClassOf(const ControlDescription& control) {
  DWORD style = WS_CHILD | WS_CLIPSIBLINGS;
  if (control.tabStop) style |= WS_TABSTOP;
  const DWORD extendedStyle = control.sunkenEdge ? WS_EX_CLIENTEDGE : 0;
  switch (control.kind) {
    case ControlKind::Label:
      return {Win32MainWindow::kLabelClassName, style, extendedStyle};
    case ControlKind::EditBox:
      style |= ES_LEFT | ES_AUTOHSCROLL;
      if (control.readOnly) style |= ES_READONLY;
      return {"EDIT", style, extendedStyle};
    case ControlKind::PushButton:
      style |= (control.defaultButton ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON) | BS_CENTER | BS_VCENTER |
               BS_MULTILINE;
      return {"BUTTON", style, extendedStyle};
  }
  return {"STATIC", style, extendedStyle};
}

bool KeyDown(int key) { return (GetKeyState(key) & 0x8000) != 0; }

Win32MainWindow* OwnerOf(HWND window) {
  return reinterpret_cast<Win32MainWindow*>(GetWindowLongPtrA(window, GWLP_USERDATA));
}

}  // namespace

Win32MainWindow::Win32MainWindow(HINSTANCE instance) : instance_(instance) {
  for (auto& colour : textColours_) colour.store(Black);
}

Win32MainWindow::~Win32MainWindow() {
  if (window_ != nullptr && IsWindow(window_)) DestroyWindow(window_);
  if (brush_ != nullptr) DeleteObject(brush_);
}

bool Win32MainWindow::RegisterClasses() const {
  HCURSOR arrow = LoadCursorA(nullptr, IDC_ARROW);
  HBRUSH hollow = static_cast<HBRUSH>(GetStockObject(NULL_BRUSH));
  const std::pair<const char*, WNDPROC> classes[] = {{kWindowClassName, &WindowProcedure},
                                                     {kLabelClassName, &LabelProcedure}};
  for (const auto& [name, procedure] : classes) {
    WNDCLASSEXA existing{};
    existing.cbSize = sizeof existing;
    if (GetClassInfoExA(instance_, name, &existing)) continue;
    WNDCLASSEXA windowClass{};
    windowClass.cbSize = sizeof windowClass;
    windowClass.style = kClassStyle;
    windowClass.lpfnWndProc = procedure;
    windowClass.hInstance = instance_;
    windowClass.hCursor = arrow;
    windowClass.hbrBackground = hollow;
    windowClass.lpszClassName = name;
    if (RegisterClassExA(&windowClass) == 0) return false;
  }
  return true;
}

bool Win32MainWindow::BuildWindow(const MainWindowDescription& description,
                                  std::function<void()> syncNowClicked) {
  if (window_ != nullptr || !RegisterClasses()) return false;
  syncNowClicked_ = std::move(syncNowClicked);
  windowBackground_ = description.background;
  font_ = static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));

  const ScreenPosition position = CentredWindowPosition(description, GetSystemMetrics(SM_CXSCREEN),
                                                        GetSystemMetrics(SM_CYSCREEN));
  HWND window =
      CreateWindowExA(0, kWindowClassName, description.title.CString(), WindowStyle(description),
                      position.x, position.y, description.outerWidth, description.outerHeight,
                      nullptr, nullptr, instance_, this);
  if (window == nullptr) return false;

  RECT outer{};
  GetWindowRect(window, &outer);
  if (outer.right - outer.left != description.outerWidth ||
      outer.bottom - outer.top != description.outerHeight) {
    SetWindowPos(window, nullptr, 0, 0, description.outerWidth, description.outerHeight,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  }
  SendMessageA(window, WM_SETFONT, reinterpret_cast<WPARAM>(font_), FALSE);
  const int icons[][3] = {{ICON_BIG, SM_CXICON, SM_CYICON}, {ICON_SMALL, SM_CXSMICON, SM_CYSMICON}};
  for (const auto& [which, width, height] : icons) {
    HANDLE icon = LoadImageA(instance_, MAKEINTRESOURCEA(TOLVARIS_PROGRAM_ICON), IMAGE_ICON,
                             GetSystemMetrics(width), GetSystemMetrics(height), LR_SHARED);
    SendMessageA(window, WM_SETICON, static_cast<WPARAM>(which), reinterpret_cast<LPARAM>(icon));
  }

  if (!CreateControls(description)) {
    DestroyWindow(window);
    window_ = nullptr;
    return false;
  }
  alive_.store(true);
  return true;
}

bool Win32MainWindow::CreateControls(const MainWindowDescription& description) {
  for (size_t index = 0; index < kControls; ++index) {
    const ControlDescription& control = description.controls[index];
    const ControlClass kind = ClassOf(control);
    HWND handle = CreateWindowExA(
        kind.extendedStyle, kind.className, control.startText.CString(), kind.style, control.x,
        control.y, control.width, control.height, window_,
        reinterpret_cast<HMENU>(static_cast<INT_PTR>(kFirstControlId + index)), instance_, nullptr);
    if (handle == nullptr) return false;
    names_[index] = control.name;
    controls_[index] = handle;
    backgrounds_[index] = control.background;
    textColours_[index].store(control.textColour);
    SendMessageA(handle, WM_SETFONT, reinterpret_cast<WPARAM>(font_), FALSE);
    // Each control goes above the ones made before it: creation order is stacking order from
    // the bottom up.
    SetWindowPos(handle, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  }
  // Shown together, once the last one exists, without taking the activation.
  HDWP positions = BeginDeferWindowPos(static_cast<int>(kControls));
  for (HWND handle : controls_) {
    if (positions != nullptr) {
      positions = DeferWindowPos(positions, handle, nullptr, 0, 0, 0, 0,
                                 SWP_SHOWWINDOW | SWP_NOACTIVATE | SWP_NOMOVE | SWP_NOSIZE |
                                     SWP_NOZORDER | SWP_NOOWNERZORDER);
    }
  }
  if (positions == nullptr || !EndDeferWindowPos(positions)) {
    for (HWND handle : controls_) ::ShowWindow(handle, SW_SHOWNA);
  }
  return true;
}

void Win32MainWindow::ShowWindow() {
  if (window_ == nullptr) return;
  ::ShowWindow(window_, SW_SHOW);
  UpdateWindow(window_);
}

void Win32MainWindow::RunMessageLoop() {
  MSG message{};
  while (GetMessageA(&message, nullptr, 0, 0) > 0) {
    if (HandleKeyboard(message)) continue;
    TranslateMessage(&message);
    DispatchMessageA(&message);
  }
}

bool Win32MainWindow::HandleKeyboard(const MSG& message) {
  if (message.message != WM_KEYDOWN || window_ == nullptr) return false;
  if (message.hwnd != window_ && !IsChild(window_, message.hwnd)) return false;
  switch (message.wParam) {
    case VK_ESCAPE:
      if (KeyDown(VK_CONTROL) || KeyDown(VK_SHIFT) || KeyDown(VK_MENU)) return false;
      // The same close request as the close button's.
      SendMessageA(window_, WM_SYSCOMMAND, SC_CLOSE, 0);
      return true;
    case VK_TAB: {
      if (KeyDown(VK_CONTROL) || KeyDown(VK_MENU)) return false;
      HWND focus = GetFocus();
      HWND from = (focus != nullptr && IsChild(window_, focus)) ? focus : nullptr;
      HWND next = GetNextDlgTabItem(window_, from, KeyDown(VK_SHIFT) ? TRUE : FALSE);
      if (next != nullptr) {
        SetFocus(next);
        // As in a dialog: an edit box reached by Tab has its text selected.
        if (SendMessageA(next, WM_GETDLGCODE, 0, 0) & DLGC_HASSETSEL) {
          SendMessageA(next, EM_SETSEL, 0, -1);
        }
      }
      return true;
    }
    default:
      return false;
  }
}

HWND Win32MainWindow::ControlHandle(Control control) const {
  for (size_t index = 0; index < kControls; ++index) {
    if (names_[index] == control) return controls_[index];
  }
  return nullptr;
}

Colour Win32MainWindow::TextColour(Control control) const {
  for (size_t index = 0; index < kControls; ++index) {
    if (names_[index] == control) return textColours_[index].load();
  }
  return Black;
}

int Win32MainWindow::ControlIndex(HWND control) const {
  for (size_t index = 0; index < kControls; ++index) {
    if (controls_[index] == control && control != nullptr) return static_cast<int>(index);
  }
  return -1;
}

void Win32MainWindow::SetControlText(Control control, const Text& text) {
  if (!alive_.load()) return;
  // From another thread this is a WM_SETTEXT sent to the window thread: the call returns once
  // that thread has applied it, or fails at once when the window has gone meanwhile.
  SetWindowTextA(ControlHandle(control), text.CString());
}

void Win32MainWindow::SetControlTextColour(Control control, Colour colour) {
  for (size_t index = 0; index < kControls; ++index) {
    if (names_[index] != control) continue;
    textColours_[index].store(colour);
    if (alive_.load()) InvalidateRect(controls_[index], nullptr, TRUE);
  }
}

void Win32MainWindow::SetControlEnabled(Control control, bool enabled) {
  if (!alive_.load()) return;
  EnableWindow(ControlHandle(control), enabled ? TRUE : FALSE);
}

void Win32MainWindow::ShowMessageBox(const Text& message) {
  MessageBoxA(nullptr, message.CString(), gbk::kMessageBoxTitle, MB_OK | MB_TASKMODAL);
}

HBRUSH Win32MainWindow::BackgroundBrush(COLORREF colour) {
  if (brush_ == nullptr || brushColour_ != colour) {
    HBRUSH brush = CreateSolidBrush(colour);
    if (brush == nullptr) return static_cast<HBRUSH>(GetStockObject(NULL_BRUSH));
    if (brush_ != nullptr) DeleteObject(brush_);
    brush_ = brush;
    brushColour_ = colour;
  }
  return brush_;
}

LRESULT Win32MainWindow::ControlColours(UINT message, HDC context, HWND control) {
  const int index = ControlIndex(control);
  if (index < 0) {
    return DefWindowProcA(window_, message, reinterpret_cast<WPARAM>(context),
                          reinterpret_cast<LPARAM>(control));
  }
  const COLORREF background = Resolve(backgrounds_[static_cast<size_t>(index)]);
  SetTextColor(context, Resolve(textColours_[static_cast<size_t>(index)].load()));
  SetBkColor(context, background);
  return reinterpret_cast<LRESULT>(BackgroundBrush(background));
}

void Win32MainWindow::PaintLabel(HWND label) {
  PAINTSTRUCT paint{};
  HDC context = BeginPaint(label, &paint);
  if (context == nullptr) return;
  RECT client{};
  GetClientRect(label, &client);
  const int index = ControlIndex(label);
  const Colour background = index >= 0 ? backgrounds_[static_cast<size_t>(index)] : DefaultColour;
  const Colour text = index >= 0 ? textColours_[static_cast<size_t>(index)].load() : Black;
  FillRect(context, &client, BackgroundBrush(Resolve(background)));
  SetBkMode(context, TRANSPARENT);
  SetTextColor(context, Resolve(text));
  HFONT font = reinterpret_cast<HFONT>(SendMessageA(label, WM_GETFONT, 0, 0));
  HGDIOBJ previous = font != nullptr ? SelectObject(context, font) : nullptr;
  char caption[256] = {};
  const int length = GetWindowTextA(label, caption, sizeof caption);
  DrawTextA(context, caption, length, &client, kLabelTextFormat);
  if (previous != nullptr) SelectObject(context, previous);
  EndPaint(label, &paint);
}

LRESULT CALLBACK Win32MainWindow::LabelProcedure(HWND label, UINT message, WPARAM wParam,
                                                 LPARAM lParam) {
  switch (message) {
    case WM_ERASEBKGND:
      return 1;  // WM_PAINT fills the whole label
    case WM_PAINT:
      if (Win32MainWindow* owner = OwnerOf(GetParent(label))) {
        owner->PaintLabel(label);
        return 0;
      }
      break;
    case WM_SETFONT:
      SetWindowLongPtrA(label, GWLP_USERDATA, static_cast<LONG_PTR>(wParam));
      if (LOWORD(lParam)) InvalidateRect(label, nullptr, TRUE);
      return 0;
    case WM_GETFONT:
      return GetWindowLongPtrA(label, GWLP_USERDATA);
    case WM_SETTEXT: {
      const LRESULT result = DefWindowProcA(label, message, wParam, lParam);
      InvalidateRect(label, nullptr, TRUE);
      return result;
    }
    default:
      break;
  }
  return DefWindowProcA(label, message, wParam, lParam);
}

LRESULT CALLBACK Win32MainWindow::WindowProcedure(HWND window, UINT message, WPARAM wParam,
                                                  LPARAM lParam) {
  if (message == WM_NCCREATE) {
    auto* create = reinterpret_cast<CREATESTRUCTA*>(lParam);
    auto* self = static_cast<Win32MainWindow*>(create->lpCreateParams);
    self->window_ = window;
    SetWindowLongPtrA(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
  }
  Win32MainWindow* self = OwnerOf(window);
  if (self == nullptr) return DefWindowProcA(window, message, wParam, lParam);
  return self->HandleMessage(message, wParam, lParam);
}

LRESULT Win32MainWindow::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_ERASEBKGND: {
      RECT client{};
      GetClientRect(window_, &client);
      FillRect(reinterpret_cast<HDC>(wParam), &client, BackgroundBrush(Resolve(windowBackground_)));
      return 1;
    }
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORSTATIC:
      return ControlColours(message, reinterpret_cast<HDC>(wParam), reinterpret_cast<HWND>(lParam));
    case WM_COMMAND:
      if (HIWORD(wParam) == BN_CLICKED &&
          reinterpret_cast<HWND>(lParam) == ControlHandle(Control::按钮1) && syncNowClicked_) {
        syncNowClicked_();
        return 0;
      }
      break;
    case WM_SETFONT:
      font_ = reinterpret_cast<HFONT>(wParam);
      return 0;
    case WM_GETFONT:
      return reinterpret_cast<LRESULT>(font_);
    case WM_ACTIVATE:
      // Like a dialog, the window gives the focus back to the control that had it.
      if (LOWORD(wParam) == WA_INACTIVE) {
        HWND focus = GetFocus();
        if (focus != nullptr && IsChild(window_, focus)) lastFocus_ = focus;
      } else if (lastFocus_ != nullptr && IsWindow(lastFocus_)) {
        SetFocus(lastFocus_);
        return 0;
      }
      break;
    case WM_DESTROY:
      alive_.store(false);
      PostQuitMessage(0);
      return 0;
    case WM_NCDESTROY: {
      HWND window = std::exchange(window_, nullptr);
      SetWindowLongPtrA(window, GWLP_USERDATA, 0);
      return DefWindowProcA(window, message, wParam, lParam);
    }
    default:
      break;
  }
  return DefWindowProcA(window_, message, wParam, lParam);
}

}  // namespace tolvaris
