#include "nettime/network_time.h"

#include "nettime/date_header.h"
#include "web/web_request.h"

namespace tolvaris {

DateTime QueryNetworkTime(const NetworkTimeServices& services, std::optional<Text> url) {
  Text headerText;
  WebRequestParameters request;
  request.url = url ? *url : Text(TimeSourceUrl);
  request.method = 2;  // HEAD
  request.responseHeaders = &headerText;
  // The body of a HEAD answer is empty; only the header block is read.
  SendWebRequest(services.requests, request);

  // "Date:" exactly as written: a lower-case "date:" header is not the one looked for.
  const Text dateText = TextBetween(headerText, "Date:", "\r\n");
  return HttpDateToBeijingTime(services.dateParser, dateText);
}

}  // namespace tolvaris
