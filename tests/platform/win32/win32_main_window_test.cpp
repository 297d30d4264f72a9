#include "platform/win32/win32_main_window.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <memory>
#include <set>
#include <string>
#include <vector>

#include "app/main_window.h"
#include "core/gbk_literals.h"
#include "platform/win32/window_test_support.h"

namespace tolvaris {
namespace {

using testing::ClassName;
using testing::RectInParent;
using testing::WindowText;

bool watchdogFired = false;

// Ends a message loop that would otherwise wait for ever, and says so.
void CALLBACK Watchdog(HWND, UINT, UINT_PTR, DWORD) {
  watchdogFired = true;
  PostQuitMessage(0);
}

class Win32MainWindowTest : public ::testing::Test {
 protected:
  void SetUp() override {
    window_ = std::make_unique<Win32MainWindow>(GetModuleHandleA(nullptr));
    ASSERT_TRUE(window_->BuildWindow(MainWindow(), [this] { ++clicks_; }));
  }

  void TearDown() override {
    window_.reset();
    MSG message;
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
    }
  }

  // Handles what is queued as the program's message loop does; true when the quit message came.
  bool Pump() {
    MSG message;
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
      if (message.message == WM_QUIT) return true;
      if (window_->HandleKeyboard(message)) continue;
      TranslateMessage(&message);
      DispatchMessageA(&message);
    }
    return false;
  }

  void ShowAndActivate() {
    window_->ShowWindow();
    SetForegroundWindow(window_->Handle());
    SetActiveWindow(window_->Handle());
    Pump();
  }

  HWND Handle(Control control) const { return window_->ControlHandle(control); }

  std::unique_ptr<Win32MainWindow> window_;
  int clicks_ = 0;
};

TEST_F(Win32MainWindowTest, IsCentredOnTheScreenAt380By146) {
  ASSERT_EQ(GetSystemMetrics(SM_CXSCREEN), 1024) << "the tests run on a 1024x768 screen";
  ASSERT_EQ(GetSystemMetrics(SM_CYSCREEN), 768) << "the tests run on a 1024x768 screen";
  RECT outer{};
  GetWindowRect(window_->Handle(), &outer);
  EXPECT_EQ(outer.left, 322);
  EXPECT_EQ(outer.top, 311);
  EXPECT_EQ(outer.right - outer.left, 380);
  EXPECT_EQ(outer.bottom - outer.top, 146);
}

TEST_F(Win32MainWindowTest, HasItsTitleFrameAndWindowClass) {
  HWND main = window_->Handle();
  EXPECT_EQ(WindowText(main), Text(gbk::kProgramTitle));
  const LONG style = GetWindowLongA(main, GWL_STYLE);
  const LONG wanted = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | WS_CLIPCHILDREN;
  EXPECT_EQ(style & wanted, wanted);
  EXPECT_EQ(style & (WS_MAXIMIZEBOX | WS_THICKFRAME | WS_CHILD | WS_POPUP | WS_VISIBLE), 0);
  // The system adds the raised edge to every captioned window; nothing else is asked for.
  EXPECT_EQ(GetWindowLongA(main, GWL_EXSTYLE) & ~WS_EX_WINDOWEDGE, 0);
  EXPECT_EQ(GetWindow(main, GW_OWNER), nullptr);
  EXPECT_EQ(ClassName(main), Win32MainWindow::kWindowClassName);

  for (HWND window : {main, Handle(Control::标签1)}) {
    EXPECT_EQ(GetClassLongA(window, GCL_STYLE), CS_HREDRAW | CS_VREDRAW | CS_DBLCLKS);
    EXPECT_EQ(reinterpret_cast<HCURSOR>(GetClassLongPtrA(window, GCLP_HCURSOR)),
              LoadCursorA(nullptr, IDC_ARROW));
    EXPECT_EQ(reinterpret_cast<HGDIOBJ>(GetClassLongPtrA(window, GCLP_HBRBACKGROUND)),
              GetStockObject(NULL_BRUSH));
  }
}

TEST_F(Win32MainWindowTest, BuildsTheFiveControlsAsTheWindowDescriptionSays) {
  struct Expected {
    Control control;
    const char* className;
    LONG style;
    LONG forbidden;
    LONG extendedStyle;
    RECT rect;
    Text text;
  };
  constexpr LONG kEdit = WS_CHILD | WS_CLIPSIBLINGS | WS_TABSTOP | ES_AUTOHSCROLL;
  constexpr LONG kNotForEdits = WS_BORDER | ES_MULTILINE | ES_NOHIDESEL | ES_CENTER | ES_RIGHT;
  const Expected expected[] = {
      {Control::标签1,
       Win32MainWindow::kLabelClassName,
       WS_CHILD | WS_CLIPSIBLINGS,
       WS_TABSTOP | WS_BORDER,
       0,
       {13, 8, 69, 33},
       Text(gbk::kDifferenceLabel)},
      {Control::编辑框_相差,
       "Edit",
       kEdit,
       kNotForEdits | ES_READONLY,
       WS_EX_CLIENTEDGE,
       {69, 8, 261, 33},
       Text()},
      {Control::编辑框2,
       "Edit",
       kEdit | ES_READONLY,
       kNotForEdits,
       WS_EX_CLIENTEDGE,
       {0, 80, 260, 105},
       Text()},
      {Control::编辑框1,
       "Edit",
       kEdit | ES_READONLY,
       kNotForEdits,
       WS_EX_CLIENTEDGE,
       {0, 43, 260, 68},
       Text()},
      {Control::按钮1,
       "Button",
       WS_CHILD | WS_CLIPSIBLINGS | WS_TABSTOP | BS_PUSHBUTTON | BS_CENTER | BS_VCENTER |
           BS_MULTILINE,
       BS_DEFPUSHBUTTON | WS_BORDER,
       0,
       {280, 48, 368, 96},
       Text(gbk::kSyncNowCaption)},
  };
  for (const Expected& e : expected) {
    HWND control = Handle(e.control);
    ASSERT_NE(control, nullptr);
    SCOPED_TRACE(e.className);
    EXPECT_EQ(GetParent(control), window_->Handle());
    EXPECT_EQ(_stricmp(ClassName(control).c_str(), e.className), 0) << ClassName(control);
    const LONG style = GetWindowLongA(control, GWL_STYLE);
    EXPECT_EQ(style & e.style, e.style);
    EXPECT_EQ(style & e.forbidden, 0);
    EXPECT_EQ(GetWindowLongA(control, GWL_EXSTYLE), e.extendedStyle);
    const RECT rect = RectInParent(control);
    EXPECT_EQ(rect.left, e.rect.left);
    EXPECT_EQ(rect.top, e.rect.top);
    EXPECT_EQ(rect.right, e.rect.right);
    EXPECT_EQ(rect.bottom, e.rect.bottom);
    EXPECT_EQ(WindowText(control), e.text);
    EXPECT_EQ(reinterpret_cast<HGDIOBJ>(SendMessageA(control, WM_GETFONT, 0, 0)),
              GetStockObject(DEFAULT_GUI_FONT));
    EXPECT_TRUE(IsWindowEnabled(control));
    EXPECT_NE(style & WS_VISIBLE, 0) << "shown with the others once the last one exists";
  }
}

TEST_F(Win32MainWindowTest, StacksTheControlsInCreationOrderFromTheBottomUp) {
  std::vector<HWND> topDown;
  for (HWND child = GetWindow(window_->Handle(), GW_CHILD); child != nullptr;
       child = GetWindow(child, GW_HWNDNEXT)) {
    topDown.push_back(child);
  }
  const std::vector<HWND> expected = {Handle(Control::按钮1), Handle(Control::编辑框1),
                                      Handle(Control::编辑框2), Handle(Control::编辑框_相差),
                                      Handle(Control::标签1)};
  EXPECT_EQ(topDown, expected);
}

TEST_F(Win32MainWindowTest, StaysHiddenUntilShown) {
  EXPECT_FALSE(IsWindowVisible(window_->Handle()));
  EXPECT_FALSE(IsWindowVisible(Handle(Control::编辑框1)));
  window_->ShowWindow();
  EXPECT_TRUE(IsWindowVisible(window_->Handle()));
  for (Control control :
       {Control::标签1, Control::编辑框_相差, Control::编辑框2, Control::编辑框1, Control::按钮1}) {
    EXPECT_TRUE(IsWindowVisible(Handle(control)));
  }
}

TEST_F(Win32MainWindowTest, CarriesTheProgramIconAsBigAndSmallIcon) {
  const struct {
    WPARAM which;
    int size;
  } icons[] = {{ICON_BIG, GetSystemMetrics(SM_CXICON)},
               {ICON_SMALL, GetSystemMetrics(SM_CXSMICON)}};
  for (const auto& icon : icons) {
    HICON handle =
        reinterpret_cast<HICON>(SendMessageA(window_->Handle(), WM_GETICON, icon.which, 0));
    ASSERT_NE(handle, nullptr);
    ICONINFO info{};
    ASSERT_TRUE(GetIconInfo(handle, &info));
    BITMAP bitmap{};
    GetObjectA(info.hbmColor ? info.hbmColor : info.hbmMask, sizeof bitmap, &bitmap);
    EXPECT_EQ(bitmap.bmWidth, icon.size);
    if (info.hbmColor) DeleteObject(info.hbmColor);
    if (info.hbmMask) DeleteObject(info.hbmMask);
  }
}

TEST_F(Win32MainWindowTest, TheButtonRunsTheClickHandlerWhileEnabled) {
  HWND button = Handle(Control::按钮1);
  SendMessageA(button, BM_CLICK, 0, 0);
  EXPECT_EQ(clicks_, 1);
  window_->SetControlEnabled(Control::按钮1, false);
  EXPECT_FALSE(IsWindowEnabled(button));
  window_->SetControlEnabled(Control::按钮1, true);
  EXPECT_TRUE(IsWindowEnabled(button));
}

TEST_F(Win32MainWindowTest, EscWithoutModifiersClosesTheWindowFromAnywhereInIt) {
  for (Control control :
       {Control::编辑框_相差, Control::编辑框2, Control::编辑框1, Control::按钮1}) {
    if (!window_) SetUp();
    window_->ShowWindow();
    HWND target = Handle(control);
    PostMessageA(target, WM_KEYDOWN, VK_ESCAPE, 1);
    watchdogFired = false;
    const UINT_PTR timer = SetTimer(nullptr, 0, 5000, &Watchdog);
    window_->RunMessageLoop();
    KillTimer(nullptr, timer);
    EXPECT_FALSE(watchdogFired) << "Esc did not close the window";
    EXPECT_EQ(window_->Handle(), nullptr);
    EXPECT_FALSE(IsWindow(target));
    TearDown();
  }
}

TEST_F(Win32MainWindowTest, EscWithShiftCtrlOrAltLeavesTheWindowOpen) {
  BYTE keys[256] = {};
  for (int modifier : {VK_SHIFT, VK_CONTROL, VK_MENU}) {
    keys[modifier] = 0x80;
    SetKeyboardState(keys);
    PostMessageA(Handle(Control::编辑框_相差), WM_KEYDOWN, VK_ESCAPE, 1);
    PostMessageA(window_->Handle(), WM_KEYDOWN, VK_ESCAPE, 1);
    EXPECT_FALSE(Pump());
    EXPECT_NE(window_->Handle(), nullptr) << "modifier " << modifier;
    keys[modifier] = 0;
    SetKeyboardState(keys);
  }
}

TEST_F(Win32MainWindowTest, TabAndShiftTabMoveTheFocusAroundTheTabStops) {
  ShowAndActivate();
  HWND start = Handle(Control::编辑框_相差);
  SetFocus(start);
  ASSERT_EQ(GetFocus(), start);

  std::vector<HWND> forward{start};
  for (int press = 0; press < 4; ++press) {
    PostMessageA(GetFocus(), WM_KEYDOWN, VK_TAB, 1);
    Pump();
    forward.push_back(GetFocus());
  }
  EXPECT_EQ(forward.back(), start) << "four presses go once around";
  const std::set<HWND> visited(forward.begin(), forward.end());
  const std::set<HWND> tabStops = {Handle(Control::编辑框_相差), Handle(Control::编辑框2),
                                   Handle(Control::编辑框1), Handle(Control::按钮1)};
  EXPECT_EQ(visited, tabStops);

  BYTE keys[256] = {};
  keys[VK_SHIFT] = 0x80;
  SetKeyboardState(keys);
  std::vector<HWND> backward{start};
  for (int press = 0; press < 4; ++press) {
    PostMessageA(GetFocus(), WM_KEYDOWN, VK_TAB, 1);
    Pump();
    backward.push_back(GetFocus());
  }
  keys[VK_SHIFT] = 0;
  SetKeyboardState(keys);
  EXPECT_EQ(backward, std::vector<HWND>(forward.rbegin(), forward.rend()));
}

TEST_F(Win32MainWindowTest, EnterDoesNothingWhereverTheFocusIs) {
  ShowAndActivate();
  for (Control control : {Control::按钮1, Control::编辑框_相差, Control::编辑框1}) {
    HWND target = Handle(control);
    SetFocus(target);
    PostMessageA(target, WM_KEYDOWN, VK_RETURN, 1);
    PostMessageA(target, WM_CHAR, '\r', 1);
    PostMessageA(target, WM_KEYUP, VK_RETURN, 0xC0000001);
    EXPECT_FALSE(Pump());
  }
  EXPECT_EQ(clicks_, 0);
  EXPECT_NE(window_->Handle(), nullptr);
}

TEST_F(Win32MainWindowTest, EditBoxesAnswerTheirColourMessagesWithTheStoredColour) {
  struct Case {
    Control control;
    UINT message;  // read-only boxes ask with WM_CTLCOLORSTATIC
    Colour colour;
  };
  const Case cases[] = {{Control::编辑框_相差, WM_CTLCOLOREDIT, Red},
                        {Control::编辑框2, WM_CTLCOLORSTATIC, Green},
                        {Control::编辑框1, WM_CTLCOLORSTATIC, Red}};
  HDC context = CreateCompatibleDC(nullptr);
  const COLORREF buttonFace = GetSysColor(COLOR_BTNFACE);
  for (const Case& c : cases) {
    HWND box = Handle(c.control);
    for (Colour colour : {Black, c.colour}) {
      if (colour != Black) window_->SetControlTextColour(c.control, colour);
      EXPECT_EQ(window_->TextColour(c.control), colour);
      HBRUSH brush = reinterpret_cast<HBRUSH>(SendMessageA(window_->Handle(), c.message,
                                                           reinterpret_cast<WPARAM>(context),
                                                           reinterpret_cast<LPARAM>(box)));
      EXPECT_EQ(GetTextColor(context), colour);
      EXPECT_EQ(GetBkColor(context), buttonFace);
      LOGBRUSH fill{};
      ASSERT_EQ(GetObjectA(brush, sizeof fill, &fill), static_cast<int>(sizeof fill));
      EXPECT_EQ(fill.lbStyle, static_cast<UINT>(BS_SOLID));
      EXPECT_EQ(fill.lbColor, buttonFace);
    }
  }
  DeleteDC(context);
}

TEST_F(Win32MainWindowTest, AColourChangeAsksForARepaintOfTheWholeBox) {
  window_->ShowWindow();
  HWND box = Handle(Control::编辑框_相差);
  UpdateWindow(window_->Handle());
  ValidateRect(box, nullptr);
  RECT update{};
  ASSERT_FALSE(GetUpdateRect(box, &update, FALSE));
  window_->SetControlTextColour(Control::编辑框_相差, Green);
  ASSERT_TRUE(GetUpdateRect(box, &update, FALSE));
  RECT client{};
  GetClientRect(box, &client);
  EXPECT_TRUE(EqualRect(&update, &client));
}

// What the screen shows: each box's text in its colour on the button face, the label's text
// in black on the button face.
class RenderedControl {
 public:
  explicit RenderedControl(HWND control) {
    GetClientRect(control, &client_);
    HDC screen = GetDC(control);
    HDC memory = CreateCompatibleDC(screen);
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = client_.right;
    info.bmiHeader.biHeight = -client_.bottom;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    void* bits = nullptr;
    HBITMAP bitmap = CreateDIBSection(memory, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    HGDIOBJ previous = SelectObject(memory, bitmap);
    BitBlt(memory, 0, 0, client_.right, client_.bottom, screen, 0, 0, SRCCOPY);
    const auto* pixels = static_cast<const uint32_t*>(bits);
    pixels_.assign(pixels, pixels + client_.right * client_.bottom);
    SelectObject(memory, previous);
    DeleteObject(bitmap);
    DeleteDC(memory);
    ReleaseDC(control, screen);
  }

  // Pixels of exactly this colour.
  int Count(COLORREF colour) const {
    const uint32_t wanted =
        (GetRValue(colour) << 16) | (GetGValue(colour) << 8) | GetBValue(colour);
    int count = 0;
    for (uint32_t pixel : pixels_) count += (pixel & 0xFFFFFF) == wanted;
    return count;
  }
  COLORREF At(int x, int y) const {
    const uint32_t pixel = pixels_[static_cast<size_t>(y * client_.right + x)];
    return RGB((pixel >> 16) & 0xFF, (pixel >> 8) & 0xFF, pixel & 0xFF);
  }
  const RECT& Client() const { return client_; }

 private:
  RECT client_{};
  std::vector<uint32_t> pixels_;
};

TEST_F(Win32MainWindowTest, DrawsTextInItsColourOnTheButtonFace) {
  window_->SetControlText(Control::编辑框_相差, "WWWWWWWW");
  window_->SetControlText(Control::编辑框2, "WWWWWWWW");
  window_->SetControlText(Control::编辑框1, "WWWWWWWW");
  window_->SetControlTextColour(Control::编辑框_相差, Red);
  window_->SetControlTextColour(Control::编辑框2, Green);
  ShowAndActivate();
  SetFocus(Handle(Control::按钮1));
  UpdateWindow(window_->Handle());
  RedrawWindow(window_->Handle(), nullptr, nullptr,
               RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
  Pump();

  const COLORREF buttonFace = GetSysColor(COLOR_BTNFACE);
  const struct {
    Control control;
    COLORREF text;
    COLORREF absent;
  } boxes[] = {{Control::编辑框_相差, RGB(255, 0, 0), RGB(0, 0, 0)},
               {Control::编辑框2, RGB(0, 255, 0), RGB(255, 0, 0)},
               {Control::编辑框1, RGB(0, 0, 0), RGB(255, 0, 0)}};
  for (const auto& box : boxes) {
    const RenderedControl rendered(Handle(box.control));
    SCOPED_TRACE(static_cast<int>(box.control));
    EXPECT_GT(rendered.Count(box.text), 0);
    EXPECT_EQ(rendered.Count(box.absent), 0);
    EXPECT_EQ(rendered.Count(RGB(255, 255, 255)), 0) << "no white background";
    EXPECT_EQ(rendered.At(rendered.Client().right - 2, rendered.Client().bottom / 2), buttonFace);
  }

  const RenderedControl label(Handle(Control::标签1));
  EXPECT_GT(label.Count(RGB(0, 0, 0)), 0);
  EXPECT_EQ(label.At(0, 0), buttonFace);
  EXPECT_EQ(label.At(label.Client().right - 1, label.Client().bottom - 1), buttonFace);
}

}  // namespace
}  // namespace tolvaris
