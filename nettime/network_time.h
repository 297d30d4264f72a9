#pragma once

#include <optional>

#include "core/datetime.h"
#include "core/text.h"
#include "nettime/http_date_parser.h"
#include "web/request_object.h"

namespace tolvaris {

// The time source: the plain-HTTP root of a large public web server that answers HEAD with a
// Date header and is reachable from mainland China.
inline constexpr char TimeSourceUrl[] = "http://www.baidu.com/";

struct NetworkTimeServices {
  RequestPlatform& requests;
  const HttpDateParser& dateParser;
};

// One HEAD request; the Date header as China Standard Time (UTC+8), or the parser's fallback
// (EarliestDateTime) when the request fails or carries no readable "Date:" header.
DateTime QueryNetworkTime(const NetworkTimeServices& services, std::optional<Text> url = {});

}  // namespace tolvaris
