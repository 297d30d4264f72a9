#pragma once

#include "nettime/http_date_parser.h"

namespace tolvaris {

// The HTTP-date parser of the Windows build: InternetTimeToSystemTime of wininet.dll, bound at
// the first call and kept for the run (a missing DLL or function is the fatal run-time error).
// Windows' and Wine's parser report success and write the current time for text that holds no
// date, which must never pass for a network time: the record is written only when our own
// RFC 9110 reader (nettime/http_date.h) also takes the text for an HTTP date.
class WininetHttpDateParser final : public HttpDateParser {
 public:
  void InternetTimeToSystemTime(const Text& dateText, TimeRecord& record) const override;
};

}  // namespace tolvaris
