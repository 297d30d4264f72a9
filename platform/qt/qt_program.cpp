#include "platform/qt/qt_program.h"

#include <QApplication>
#include <cstdio>
#include <cstdlib>

#include "app/app_environment.h"
#include "app/main_window.h"
#include "core/fatal_error.h"
#include "nettime/network_time.h"
#include "platform/posix/curl_request_object.h"
#include "platform/posix/posix_clock.h"
#include "platform/posix/posix_http_date_parser.h"
#include "platform/qt/detached_threads.h"
#include "platform/qt/fatal_error_box.h"
#include "platform/qt/program_icon.h"
#include "platform/qt/qt_window.h"

namespace tolvaris {
namespace {

bool IsSet(const char* name) {
  const char* value = std::getenv(name);
  return value != nullptr && *value != '\0';
}

}  // namespace

bool HasDisplay() {
  return IsSet("DISPLAY") || IsSet("WAYLAND_DISPLAY") || IsSet("QT_QPA_PLATFORM");
}

void RunQtProgram(int argc, char** argv, const std::function<void(QtWindow&)>& prepare) {
  if (!HasDisplay()) {
    std::fputs(
        "tolvaris-time-sync: no display to open the window on (DISPLAY and WAYLAND_DISPLAY "
        "are not set)\n",
        stderr);
    std::exit(EXIT_FAILURE);
  }
  QApplication application(argc, argv);
  QApplication::setWindowIcon(ProgramIcon());
  QGuiApplication::setDesktopFileName(QStringLiteral("tolvaris-time-sync"));
  SetFatalErrorReporter(&ShowFatalErrorBox);

  QtWindow window(ProgramIcon());
  DetachedThreads threads;
  PosixClock clock;
  PosixHttpDateParser dateParser;
  CurlRequestPlatform requests;
  const NetworkTimeServices services{requests, dateParser};
  AppEnvironment environment{window, threads, clock,
                             [&services] { return QueryNetworkTime(services); }};
  if (prepare) prepare(window);

  const int exitCode = StartProgram(window, environment);
  // Refresh threads may still be waiting on the network, using everything above: the process
  // ends here, at once, without destroying anything under them.
  std::fflush(nullptr);
  std::_Exit(exitCode);
}

}  // namespace tolvaris
