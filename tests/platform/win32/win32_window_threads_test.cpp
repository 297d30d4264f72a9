#include <gtest/gtest.h>
#include <windows.h>

#include <atomic>
#include <chrono>
#include <future>
#include <memory>
#include <thread>

#include "app/main_window.h"
#include "core/datetime.h"
#include "core/gbk_literals.h"
#include "platform/win32/fatal_error_box.h"
#include "platform/win32/win32_main_window.h"
#include "platform/win32/win32_thread_starter.h"
#include "platform/win32/window_test_support.h"
#include "tests/support/gbk.h"

namespace tolvaris {
namespace {

using namespace std::chrono_literals;
using testing::ButtonCount;
using testing::Gbk;
using testing::MessageBoxText;
using testing::WaitForTopLevelWindow;
using testing::WindowText;

constexpr DWORD kPatienceMs = 10000;

// Handles the window thread's messages until done() or the patience runs out.
template <typename Done>
bool PumpUntil(Done done) {
  const DWORD start = GetTickCount();
  while (!done()) {
    if (GetTickCount() - start > kPatienceMs) return false;
    MSG message;
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
      TranslateMessage(&message);
      DispatchMessageA(&message);
    }
    MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
  }
  return true;
}

void DrainMessages() {
  MSG message;
  while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
  }
}

class Win32WindowThreadsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    window_ = std::make_unique<Win32MainWindow>(GetModuleHandleA(nullptr));
    ASSERT_TRUE(window_->BuildWindow(MainWindow(), [] {}));
    window_->ShowWindow();
  }
  void TearDown() override {
    window_.reset();
    DrainMessages();
  }
  std::unique_ptr<Win32MainWindow> window_;
};

TEST_F(Win32WindowThreadsTest, ATextChangeFromAnotherThreadReturnsOnceTheWindowThreadAppliedIt) {
  std::atomic<bool> returned{false};
  Text seenAfterReturn;
  std::thread worker([&] {
    window_->SetControlText(Control::编辑框2, gbk::kBeijingTimeWaiting);
    seenAfterReturn = WindowText(window_->ControlHandle(Control::编辑框2));
    returned = true;
  });
  // The window thread handles nothing for a while: the worker has to wait for it.
  Sleep(300);
  EXPECT_FALSE(returned.load());
  EXPECT_TRUE(PumpUntil([&] { return returned.load(); }));
  worker.join();
  EXPECT_EQ(seenAfterReturn, Text(gbk::kBeijingTimeWaiting));
}

TEST_F(Win32WindowThreadsTest, TheMessageBoxIsTaskModalOwnerlessAndLetsTextChangesThrough) {
  struct Seen {
    HWND box = nullptr;
    Text title;
    Text text;
    HWND owner = nullptr;
    int buttons = 0;
    BOOL mainEnabled = TRUE;
    Text appliedMeanwhile;
  } seen;
  std::thread helper([&] {
    seen.box = WaitForTopLevelWindow("#32770", Text(gbk::kMessageBoxTitle), kPatienceMs);
    if (seen.box == nullptr) return;
    seen.title = WindowText(seen.box);
    seen.text = MessageBoxText(seen.box);
    seen.owner = GetWindow(seen.box, GW_OWNER);
    seen.buttons = ButtonCount(seen.box);
    seen.mainEnabled = IsWindowEnabled(window_->Handle());
    // The box's own message loop applies a worker's text change.
    window_->SetControlText(Control::编辑框_相差, "1");
    seen.appliedMeanwhile = WindowText(window_->ControlHandle(Control::编辑框_相差));
    PostMessageA(seen.box, WM_COMMAND, IDOK, 0);
  });
  window_->ShowMessageBox(gbk::kSyncFailed);
  helper.join();

  ASSERT_NE(seen.box, nullptr) << "no message box titled 信息：";
  EXPECT_EQ(seen.title, Text(gbk::kMessageBoxTitle));
  EXPECT_EQ(seen.text, Text(gbk::kSyncFailed));
  EXPECT_EQ(seen.owner, nullptr);
  EXPECT_EQ(seen.buttons, 1);
  EXPECT_FALSE(seen.mainEnabled) << "MB_TASKMODAL disables the thread's windows";
  EXPECT_EQ(seen.appliedMeanwhile, Text("1"));
  EXPECT_TRUE(IsWindowEnabled(window_->Handle()));
}

TEST_F(Win32WindowThreadsTest, LateChangesAfterTheWindowIsDestroyedReturnAtOnce) {
  HWND box = window_->ControlHandle(Control::编辑框1);
  DestroyWindow(window_->Handle());
  ASSERT_FALSE(IsWindow(box));
  auto late = std::async(std::launch::async, [&] {
    window_->SetControlText(Control::编辑框1, "late");
    window_->SetControlTextColour(Control::编辑框1, Red);
    window_->SetControlEnabled(Control::按钮1, false);
  });
  // Nothing pumps here: a change that waited for the window thread would never return.
  EXPECT_EQ(late.wait_for(5s), std::future_status::ready);
}

TEST(Win32ThreadStarterTest, RunsTheRoutineOnANewThreadWithoutWaitingForIt) {
  HANDLE release = CreateEventA(nullptr, TRUE, FALSE, nullptr);
  std::promise<DWORD> ranOn;
  Win32ThreadStarter threads;
  threads.StartThread([&] {
    WaitForSingleObject(release, INFINITE);
    ranOn.set_value(GetCurrentThreadId());
  });
  // Back here while the routine still waits for the release.
  SetEvent(release);
  auto thread = ranOn.get_future();
  ASSERT_EQ(thread.wait_for(5s), std::future_status::ready);
  EXPECT_NE(thread.get(), GetCurrentThreadId());
  CloseHandle(release);
}

TEST(FatalErrorBoxTest, ShowsTheFatalErrorInABoxTitledError) {
  const Text message = Gbk("运行时出错!\r\n\r\n错误信息：载入启动窗口失败");
  struct Seen {
    HWND box = nullptr;
    Text text;
    HWND owner = nullptr;
  } seen;
  std::thread helper([&] {
    seen.box = WaitForTopLevelWindow("#32770", Text(gbk::kFatalErrorTitle), kPatienceMs);
    if (seen.box == nullptr) return;
    seen.text = MessageBoxText(seen.box);
    seen.owner = GetWindow(seen.box, GW_OWNER);
    PostMessageA(seen.box, WM_COMMAND, IDOK, 0);
  });
  ShowFatalErrorBox(gbk::kFatalErrorTitle, message);
  helper.join();
  ASSERT_NE(seen.box, nullptr);
  EXPECT_EQ(seen.text, message);
  EXPECT_EQ(seen.owner, nullptr);
}

// A clock that reads one fixed moment and has no right to be set.
class FixedClock final : public Clock {
 public:
  TimeRecord ReadLocalTime() override {
    return {.wYear = 2025, .wMonth = 3, .wDay = 7, .wHour = 9, .wMinute = 5};
  }
  bool SetLocalTime(const TimeRecord&) override { return false; }
};

// The program's start routine on the Win32 window with real threads: the created event, the
// refresh, the sync command with its message box, and Esc.
TEST(Win32StartProgramTest, RunsTheWindowFromStartToEsc) {
  Win32MainWindow window(GetModuleHandleA(nullptr));
  Win32ThreadStarter threads;
  FixedClock clock;
  std::atomic<int> queries{0};
  AppEnvironment environment{window, threads, clock, [&queries] {
                               ++queries;
                               return ComposeDateTime(2025, 3, 7, 9, 5, 10);
                             }};
  struct Seen {
    HWND main = nullptr;
    Text local, network, difference;
    Colour localColour = 0, networkColour = 0, differenceColour = 0;
    HWND box = nullptr;
    Text boxText;
    BOOL buttonEnabledDuringBox = TRUE;
  } seen;
  std::thread user([&] {
    seen.main = WaitForTopLevelWindow(Win32MainWindow::kWindowClassName, Text(gbk::kProgramTitle),
                                      kPatienceMs);
    if (seen.main == nullptr) return;
    HWND differenceBox = window.ControlHandle(Control::编辑框_相差);
    const DWORD start = GetTickCount();
    while (WindowText(differenceBox).IsEmpty() && GetTickCount() - start < kPatienceMs) Sleep(10);
    seen.local = WindowText(window.ControlHandle(Control::编辑框1));
    seen.network = WindowText(window.ControlHandle(Control::编辑框2));
    seen.difference = WindowText(differenceBox);
    seen.localColour = window.TextColour(Control::编辑框1);
    seen.networkColour = window.TextColour(Control::编辑框2);
    seen.differenceColour = window.TextColour(Control::编辑框_相差);

    PostMessageA(window.ControlHandle(Control::按钮1), BM_CLICK, 0, 0);
    seen.box = WaitForTopLevelWindow("#32770", Text(gbk::kMessageBoxTitle), kPatienceMs);
    if (seen.box != nullptr) {
      seen.boxText = MessageBoxText(seen.box);
      seen.buttonEnabledDuringBox = IsWindowEnabled(window.ControlHandle(Control::按钮1));
      PostMessageA(seen.box, WM_COMMAND, IDOK, 0);
    }
    while (!IsWindowEnabled(window.ControlHandle(Control::按钮1)) &&
           GetTickCount() - start < 2 * kPatienceMs) {
      Sleep(10);
    }
    PostMessageA(window.ControlHandle(Control::编辑框1), WM_KEYDOWN, VK_ESCAPE, 1);
  });

  EXPECT_EQ(StartProgram(window, environment), 0);
  user.join();
  DrainMessages();

  ASSERT_NE(seen.main, nullptr);
  EXPECT_EQ(seen.local, Gbk("本地时间：2025年3月7日9时5分"));
  EXPECT_EQ(seen.network, Gbk("北京时间：2025年3月7日9时5分10秒"));
  EXPECT_EQ(seen.difference, Gbk("10秒"));
  EXPECT_EQ(seen.localColour, Red);
  EXPECT_EQ(seen.networkColour, Green);
  EXPECT_EQ(seen.differenceColour, Red);
  ASSERT_NE(seen.box, nullptr);
  EXPECT_EQ(seen.boxText, Text(gbk::kSyncFailed));
  EXPECT_FALSE(seen.buttonEnabledDuringBox);
  // Two queries for the first refresh, one for the sync; its refresh may still be running.
  EXPECT_GE(queries.load(), 3);
}

}  // namespace
}  // namespace tolvaris
