#pragma once

#include "nettime/http_date.h"
#include "nettime/http_date_parser.h"

namespace tolvaris::testing {

// The portable parser behind the HttpDateParser seam, as the platforms wire it: the record is
// written only for a valid date.
class RfcDateParser final : public HttpDateParser {
 public:
  void InternetTimeToSystemTime(const Text& dateText, TimeRecord& record) const override {
    if (auto parsed = ParseHttpDate(dateText.View())) record = *parsed;
  }
};

}  // namespace tolvaris::testing
