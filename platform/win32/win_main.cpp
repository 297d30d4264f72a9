#include <windows.h>

#include "app/app_environment.h"
#include "app/main_window.h"
#include "core/fatal_error.h"
#include "nettime/network_time.h"
#include "platform/win32/fatal_error_box.h"
#include "platform/win32/win32_clock.h"
#include "platform/win32/win32_main_window.h"
#include "platform/win32/win32_thread_starter.h"
#include "platform/win32/winhttp_request_object.h"
#include "platform/win32/wininet_http_date_parser.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
  using namespace tolvaris;
  SetFatalErrorReporter(&ShowFatalErrorBox);

  Win32Clock clock;
  WininetHttpDateParser dateParser;
  Win32RequestPlatform requests;
  const NetworkTimeServices services{requests, dateParser};
  Win32MainWindow window(instance);
  Win32ThreadStarter threads;
  AppEnvironment environment{window, threads, clock,
                             [&services] { return QueryNetworkTime(services); }};

  const int exitCode = StartProgram(window, environment);
  // Status refreshes may still be running on the objects above: the process ends here, with
  // them, instead of returning and destroying what they use.
  ExitProcess(static_cast<UINT>(exitCode));
}
