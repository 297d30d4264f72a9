#pragma once

#include "core/clock.h"
#include "core/text.h"

namespace tolvaris {

// The platform's HTTP-date parser (InternetTimeToSystemTime on Windows). It fills the record only
// when dateText is a valid HTTP date (GMT); for anything else the record is left as it was.
class HttpDateParser {
 public:
  virtual ~HttpDateParser() = default;
  virtual void InternetTimeToSystemTime(const Text& dateText, TimeRecord& record) const = 0;
};

}  // namespace tolvaris
