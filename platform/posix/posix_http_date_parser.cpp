#include "platform/posix/posix_http_date_parser.h"

#include "nettime/http_date.h"

namespace tolvaris {

void PosixHttpDateParser::InternetTimeToSystemTime(const Text& dateText, TimeRecord& record) const {
  if (auto parsed = ParseHttpDate(dateText.View())) record = *parsed;
}

}  // namespace tolvaris
