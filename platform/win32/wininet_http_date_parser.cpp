#include "platform/win32/wininet_http_date_parser.h"

#include <windows.h>

#include "nettime/http_date.h"
#include "platform/win32/library_function.h"
#include "platform/win32/system_time.h"

namespace tolvaris {
namespace {

using InternetTimeToSystemTimeFunction = BOOL(WINAPI*)(LPCSTR time, SYSTEMTIME* record,
                                                       DWORD reserved);

// Bound once, on whichever thread asks first; a function-local static is initialised under the
// compiler's lock, so concurrent first calls wait for the one binding.
InternetTimeToSystemTimeFunction BoundInternetTimeToSystemTime() {
  static const auto function = reinterpret_cast<InternetTimeToSystemTimeFunction>(
      reinterpret_cast<void (*)()>(BindLibraryFunction("wininet.dll", "InternetTimeToSystemTime")));
  return function;
}

bool SameMoment(const TimeRecord& a, const TimeRecord& b) {
  return a.wYear == b.wYear && a.wMonth == b.wMonth && a.wDay == b.wDay && a.wHour == b.wHour &&
         a.wMinute == b.wMinute && a.wSecond == b.wSecond;
}

}  // namespace

void WininetHttpDateParser::InternetTimeToSystemTime(const Text& dateText,
                                                     TimeRecord& record) const {
  const InternetTimeToSystemTimeFunction parse = BoundInternetTimeToSystemTime();
  SYSTEMTIME parsed{};
  // Its result says nothing: it reports success for any text.
  parse(dateText.CString(), &parsed, 0);

  const std::optional<TimeRecord> valid = ParseHttpDate(dateText.View());
  if (!valid) return;
  // For the IMF-fixdate every server sends, both read the same moment. Wine's reads the obsolete
  // forms wrongly (year 94 for "06-Nov-94", nonsense for the asctime form), and a wrong date
  // must not pass for the network time either: there, the RFC 9110 reading stands.
  const TimeRecord platform = FromSystemTime(parsed);
  record = SameMoment(platform, *valid) ? platform : *valid;
}

}  // namespace tolvaris
