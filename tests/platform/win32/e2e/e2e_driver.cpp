// Drives the real tolvaris-time-sync.exe from outside, as a user would, under Wine:
//   e2e_driver normal <program.exe> <work folder>   start, refresh, sync, Esc
//   e2e_driver fatal  <program.exe> <work folder>   wininet.dll missing: the fatal error box
//   e2e_driver close-early <program.exe> <work folder>   Esc while the refresh waits
// Every check prints one line "check <what>: ok" or "check <what>: FAILED ..."; the exit code
// is 0 only when all of them passed. Screenshots are asked for through files in the work
// folder: shot-<name>.request (rectangles), answered by shot-<name>.done.
#include <windows.h>

#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

#include "core/encoding.h"
#include "core/gbk_literals.h"

namespace {

using tolvaris::GbkToUtf8;
using tolvaris::Utf8ToGbk;
namespace gbk = tolvaris::gbk;

int failures = 0;

void Check(const std::string& what, bool passed, const std::string& detail = {}) {
  std::printf("check %s: %s%s%s\n", what.c_str(), passed ? "ok" : "FAILED",
              detail.empty() ? "" : " - ", detail.c_str());
  std::fflush(stdout);
  if (!passed) ++failures;
}

std::string Utf8(const std::string& gbkText) { return GbkToUtf8(gbkText); }

std::string ClassName(HWND window) {
  char buffer[64] = {};
  GetClassNameA(window, buffer, sizeof buffer);
  return buffer;
}

// WM_GETTEXT is carried across processes by the system; a window thread busy elsewhere makes
// this give up after two seconds instead of hanging.
std::string TextOf(HWND window) {
  char buffer[512] = {};
  DWORD_PTR copied = 0;
  SendMessageTimeoutA(window, WM_GETTEXT, sizeof buffer, reinterpret_cast<LPARAM>(buffer),
                      SMTO_ABORTIFHUNG, 2000, &copied);
  return buffer;
}

struct Search {
  DWORD process;
  std::string className;
  std::string title;  // GBK; empty matches any
  HWND found = nullptr;
};

BOOL CALLBACK MatchTopLevel(HWND window, LPARAM parameter) {
  auto* search = reinterpret_cast<Search*>(parameter);
  DWORD process = 0;
  GetWindowThreadProcessId(window, &process);
  if (process != search->process || !IsWindowVisible(window)) return TRUE;
  if (_stricmp(ClassName(window).c_str(), search->className.c_str()) != 0) return TRUE;
  if (!search->title.empty() && TextOf(window) != search->title) return TRUE;
  search->found = window;
  return FALSE;
}

// A visible top-level window of the process, waited for up to timeoutMs.
HWND WaitForWindow(DWORD process, const std::string& className, const std::string& title,
                   DWORD timeoutMs) {
  const DWORD start = GetTickCount();
  do {
    Search search{process, className, title};
    EnumWindows(&MatchTopLevel, reinterpret_cast<LPARAM>(&search));
    if (search.found != nullptr) return search.found;
    Sleep(5);
  } while (GetTickCount() - start < timeoutMs);
  return nullptr;
}

BOOL CALLBACK CollectChild(HWND child, LPARAM children) {
  reinterpret_cast<std::vector<HWND>*>(children)->push_back(child);
  return TRUE;
}

std::vector<HWND> Children(HWND window) {
  std::vector<HWND> children;
  EnumChildWindows(window, &CollectChild, reinterpret_cast<LPARAM>(&children));
  return children;
}

std::string MessageBoxText(HWND box) {
  for (HWND child : Children(box)) {
    if (_stricmp(ClassName(child).c_str(), "Static") == 0 && !TextOf(child).empty()) {
      return TextOf(child);
    }
  }
  return {};
}

// The main window's controls by their control ids, in creation order.
struct Controls {
  HWND label, difference, edit2, edit1, button;
};

Controls ControlsOf(HWND main) {
  return {GetDlgItem(main, 1001), GetDlgItem(main, 1002), GetDlgItem(main, 1003),
          GetDlgItem(main, 1004), GetDlgItem(main, 1005)};
}

template <typename Done>
bool WaitUntil(Done done, DWORD timeoutMs) {
  const DWORD start = GetTickCount();
  while (!done()) {
    if (GetTickCount() - start > timeoutMs) return false;
    Sleep(20);
  }
  return true;
}

bool StartsWith(const std::string& text, const std::string& prefix) {
  return text.compare(0, prefix.size(), prefix) == 0;
}

// Asks the script for a screenshot and waits until it has been taken.
void Screenshot(const std::string& folder, const std::string& name, HWND main,
                const Controls& controls) {
  const std::string request = folder + "\\shot-" + name + ".request";
  {
    std::ofstream out(request + ".tmp");
    const std::pair<const char*, HWND> rectangles[] = {
        {"window", main},          {"label", controls.label}, {"difference", controls.difference},
        {"edit2", controls.edit2}, {"edit1", controls.edit1}, {"button", controls.button}};
    for (const auto& [what, window] : rectangles) {
      // The outer rectangle of the window; the client area, inside any edge, of a control.
      RECT rect{};
      if (window == main) {
        GetWindowRect(window, &rect);
      } else {
        GetClientRect(window, &rect);
        MapWindowPoints(window, nullptr, reinterpret_cast<POINT*>(&rect), 2);
      }
      out << what << ' ' << rect.left << ' ' << rect.top << ' ' << rect.right - rect.left << ' '
          << rect.bottom - rect.top << '\n';
    }
  }
  MoveFileA((request + ".tmp").c_str(), request.c_str());
  const std::string done = folder + "\\shot-" + name + ".done";
  Check("screenshot " + name,
        WaitUntil([&] { return GetFileAttributesA(done.c_str()) != INVALID_FILE_ATTRIBUTES; },
                  30000));
}

int CountLines(const std::string& path) {
  std::ifstream in(path);
  int lines = 0;
  for (std::string line; std::getline(in, line);) lines += !line.empty();
  return lines;
}

PROCESS_INFORMATION Start(const std::string& program) {
  STARTUPINFOA startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process{};
  std::string commandLine = "\"" + program + "\"";
  if (!CreateProcessA(program.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                      nullptr, &startup, &process)) {
    Check("the program starts", false, "CreateProcess error " + std::to_string(GetLastError()));
  }
  return process;
}

DWORD WaitForExit(const PROCESS_INFORMATION& process) {
  DWORD code = STILL_ACTIVE;
  if (WaitForSingleObject(process.hProcess, 15000) == WAIT_OBJECT_0) {
    GetExitCodeProcess(process.hProcess, &code);
  }
  return code;
}

int RunNormal(const std::string& program, const std::string& folder) {
  const DWORD startTicks = GetTickCount();
  const PROCESS_INFORMATION process = Start(program);
  if (process.hProcess == nullptr) return 1;

  HWND main = WaitForWindow(process.dwProcessId, "TolvarisMainWindow", gbk::kProgramTitle, 30000);
  Check("the main window appears", main != nullptr);
  if (main == nullptr) {
    TerminateProcess(process.hProcess, 1);
    return 1;
  }
  std::printf("measure start_to_window_ms=%lu\n", GetTickCount() - startTicks);
  const Controls controls = ControlsOf(main);

  // The server holds its first answer back, so the waiting texts are still there.
  const std::string firstLocal = TextOf(controls.edit1);
  Check("本地时间 shows at once", StartsWith(firstLocal, gbk::kLocalTimePrefix), Utf8(firstLocal));
  Check("北京时间 waits for the network", TextOf(controls.edit2) == gbk::kBeijingTimeWaiting,
        Utf8(TextOf(controls.edit2)));
  Check("the difference box starts empty", TextOf(controls.difference).empty());
  Check("the label", TextOf(controls.label) == gbk::kDifferenceLabel);
  Check("the button", TextOf(controls.button) == gbk::kSyncNowCaption);
  Screenshot(folder, "waiting", main, controls);

  Check("the refresh completes",
        WaitUntil([&] { return !TextOf(controls.difference).empty(); }, 40000));
  const std::string network = TextOf(controls.edit2);
  const std::string difference = TextOf(controls.difference);
  Check("北京时间 from the Date header",
        network == Utf8ToGbk("北京时间：1994年11月6日16时49分37秒"), Utf8(network));
  Check("a difference is shown", !difference.empty() && difference != gbk::kTimeCorrect,
        Utf8(difference));
  // The colours follow the texts at once; give the repaint a moment before the screenshot.
  Sleep(500);
  Check("本地时间 shows the local time",
        StartsWith(TextOf(controls.edit1), gbk::kLocalTimePrefix) &&
            TextOf(controls.edit1) != gbk::kLocalTimeWaiting,
        Utf8(TextOf(controls.edit1)));
  Screenshot(folder, "window", main, controls);

  PostMessageA(controls.button, BM_CLICK, 0, 0);
  HWND box = WaitForWindow(process.dwProcessId, "#32770", gbk::kMessageBoxTitle, 30000);
  Check("the sync command shows its message box", box != nullptr);
  if (box != nullptr) {
    const std::string message = MessageBoxText(box);
    std::printf("measure sync_message=%s\n", Utf8(message).c_str());
    // Wine refuses to move the clock by more than half a second.
    Check("the clock could not be set", message == gbk::kSyncFailed, Utf8(message));
    Check("the button is disabled meanwhile", !IsWindowEnabled(controls.button));
    Check("the window is disabled by the task-modal box", !IsWindowEnabled(main));
    Screenshot(folder, "messagebox", main, controls);
    PostMessageA(box, WM_COMMAND, IDOK, 0);
    Check("the button is enabled again",
          WaitUntil([&] { return IsWindowEnabled(controls.button) != FALSE; }, 10000));
  }
  // Two queries of the first refresh, one of the sync, two of its refresh.
  const std::string log = folder + "\\requests.log";
  Check("five requests reached the server", WaitUntil([&] { return CountLines(log) >= 5; }, 40000),
        std::to_string(CountLines(log)));

  PostMessageA(controls.difference, WM_KEYDOWN, VK_ESCAPE, 0x00010001);
  const DWORD exitCode = WaitForExit(process);
  Check("Esc ends the program with exit code 0", exitCode == 0, std::to_string(exitCode));
  if (exitCode == STILL_ACTIVE) TerminateProcess(process.hProcess, 1);
  CloseHandle(process.hThread);
  CloseHandle(process.hProcess);
  return failures == 0 ? 0 : 1;
}

int RunFatal(const std::string& program, const std::string& folder) {
  const PROCESS_INFORMATION process = Start(program);
  if (process.hProcess == nullptr) return 1;
  HWND box = WaitForWindow(process.dwProcessId, "#32770", gbk::kFatalErrorTitle, 40000);
  Check("the fatal error box appears", box != nullptr);
  if (box != nullptr) {
    const std::string expected = Utf8ToGbk(
        "运行时出错!\r\n\r\n错误信息：无法找到指定DLL库文件“wininet.dll”中的输出命令"
        "“InternetTimeToSystemTime”");
    const std::string message = MessageBoxText(box);
    Check("it names wininet.dll and InternetTimeToSystemTime", message == expected, Utf8(message));
    HWND main = WaitForWindow(process.dwProcessId, "TolvarisMainWindow", gbk::kProgramTitle, 1000);
    if (main != nullptr) Screenshot(folder, "fatal", main, ControlsOf(main));
    PostMessageA(box, WM_COMMAND, IDOK, 0);
  }
  const DWORD exitCode = WaitForExit(process);
  Check("the program ends with exit code -1", exitCode == static_cast<DWORD>(-1),
        std::to_string(static_cast<long>(exitCode)));
  if (exitCode == STILL_ACTIVE) TerminateProcess(process.hProcess, 1);
  CloseHandle(process.hThread);
  CloseHandle(process.hProcess);
  return failures == 0 ? 0 : 1;
}

// The time source holds its answer back for long: Esc must end the program at once anyway,
// with the refresh still waiting for the network.
int RunCloseEarly(const std::string& program) {
  const PROCESS_INFORMATION process = Start(program);
  if (process.hProcess == nullptr) return 1;
  HWND main = WaitForWindow(process.dwProcessId, "TolvarisMainWindow", gbk::kProgramTitle, 30000);
  Check("the main window appears", main != nullptr);
  if (main != nullptr) {
    const Controls controls = ControlsOf(main);
    Check("the refresh is still waiting", TextOf(controls.edit2) == gbk::kBeijingTimeWaiting,
          Utf8(TextOf(controls.edit2)));
    const DWORD escTicks = GetTickCount();
    PostMessageA(controls.edit1, WM_KEYDOWN, VK_ESCAPE, 0x00010001);
    DWORD exitCode = STILL_ACTIVE;
    if (WaitForSingleObject(process.hProcess, 5000) == WAIT_OBJECT_0) {
      GetExitCodeProcess(process.hProcess, &exitCode);
    }
    std::printf("measure esc_to_exit_ms=%lu\n", GetTickCount() - escTicks);
    Check("Esc ends the program at once with exit code 0", exitCode == 0, std::to_string(exitCode));
  }
  TerminateProcess(process.hProcess, 1);  // no effect once it has ended
  CloseHandle(process.hThread);
  CloseHandle(process.hProcess);
  return failures == 0 ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 4) {
    std::fprintf(stderr, "usage: e2e_driver normal|fatal|close-early <program.exe> <folder>\n");
    return 2;
  }
  const std::string scenario = argv[1];
  if (scenario == "normal") return RunNormal(argv[2], argv[3]);
  if (scenario == "fatal") return RunFatal(argv[2], argv[3]);
  if (scenario == "close-early") return RunCloseEarly(argv[2]);
  std::fprintf(stderr, "unknown scenario %s\n", scenario.c_str());
  return 2;
}
