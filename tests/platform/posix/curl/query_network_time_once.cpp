// Makes one network-time query against the URL given and prints the time: the measure of what
// one query costs, next to `curl -sI` on the same URL. Neither reads nor sets the clock.
#include <cstdio>

#include "core/datetime.h"
#include "nettime/network_time.h"
#include "platform/posix/curl_request_object.h"
#include "platform/posix/posix_http_date_parser.h"

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: %s URL\n", argv[0]);
    return 2;
  }
  tolvaris::CurlRequestPlatform platform;
  tolvaris::PosixHttpDateParser parser;
  const tolvaris::DateTime time =
      tolvaris::QueryNetworkTime({platform, parser}, tolvaris::Text(argv[1]));
  // Plain numbers: the query is what is timed, not a text conversion for the terminal.
  const tolvaris::DateParts parts = tolvaris::ReadDateParts(time);
  std::printf("%04d-%02d-%02d %02d:%02d:%02d\n", parts.year, parts.month, parts.day, parts.hour,
              parts.minute, parts.second);
  return tolvaris::LimitDateTime(time) == tolvaris::EarliestDateTime ? 1 : 0;
}
