#pragma once

#include "nettime/http_date_parser.h"

namespace tolvaris {

// The HTTP-date parser of the POSIX build: our own RFC 9110 reader (nettime/http_date.h). The
// record is written only for a valid HTTP date; anything else, the empty text included, leaves
// it as it was, so the caller's all-zero record becomes the fallback date.
class PosixHttpDateParser final : public HttpDateParser {
 public:
  void InternetTimeToSystemTime(const Text& dateText, TimeRecord& record) const override;
};

}  // namespace tolvaris
