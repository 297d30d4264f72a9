#include <gtest/gtest.h>

#include <string>

#include "core/datetime.h"
#include "loopback_http_server.h"
#include "nettime/network_time.h"
#include "platform/posix/curl_request_object.h"
#include "platform/posix/posix_http_date_parser.h"
#include "request_exchange.h"
#include "web/web_request.h"

namespace tolvaris {
namespace {

using testing::LoopbackHttpServer;
using testing::ServerScript;

// EarliestDateTime, as every reading of the fallback sees it.
constexpr DateParts kFallbackParts{100, 1, 1, 0, 0, 0};

std::string Answer(const std::string& dateLine) {
  return "HTTP/1.1 200 OK\r\nServer: loopback\r\n" + dateLine + "Content-Length: 0\r\n\r\n";
}

TEST(CurlNetworkTimeTest, TheDateOfAHeadAnswerBecomesBeijingTime) {
  LoopbackHttpServer server(
      ServerScript().Respond("/", Answer("Date: Sun, 06 Nov 1994 08:49:37 GMT\r\n")));
  CurlRequestPlatform platform;
  PosixHttpDateParser parser;
  const std::string url = server.Url("/");

  const DateTime time = QueryNetworkTime({platform, parser}, Text(url));

  EXPECT_EQ(ReadDateParts(time), (DateParts{1994, 11, 6, 16, 49, 37}));
  const auto requests = server.Requests();
  ASSERT_EQ(requests.size(), 1u);
  const auto& request = requests[0];
  EXPECT_EQ(request.method, "HEAD");
  EXPECT_EQ(request.target, "/");
  EXPECT_EQ(request.HeaderValues("Accept"), std::vector<std::string>{"*/*"});
  EXPECT_EQ(request.HeaderValues("Referer"), std::vector<std::string>{url});
  EXPECT_EQ(request.HeaderValues("Accept-Language"), std::vector<std::string>{"zh-cn"});
  EXPECT_EQ(request.HeaderValues("User-Agent"),
            std::vector<std::string>{"Mozilla/4.0 (compatible; MSIE 9.0; Windows NT 6.1)"});
}

TEST(CurlNetworkTimeTest, AnswersWithoutAReadableDateGiveTheFallback) {
  struct FallbackCase {
    const char* why;
    std::string dateLine;
  };
  const FallbackCase cases[] = {
      {"no Date header", ""},
      {"a date header written in small letters", "date: Sun, 06 Nov 1994 08:49:37 GMT\r\n"},
      {"a Date that is no HTTP date", "Date: yesterday\r\n"},
  };
  CurlRequestPlatform platform;
  PosixHttpDateParser parser;
  for (const FallbackCase& item : cases) {
    LoopbackHttpServer server(ServerScript().Respond("/", Answer(item.dateLine)));
    EXPECT_EQ(ReadDateParts(QueryNetworkTime({platform, parser}, Text(server.Url("/")))),
              kFallbackParts)
        << item.why;
    EXPECT_EQ(server.Requests().size(), 1u) << item.why;
  }
}

TEST(CurlNetworkTimeTest, AnUnreachableServerGivesTheFallback) {
  CurlRequestPlatform platform;
  PosixHttpDateParser parser;
  const std::string url = "http://127.0.0.1:" + std::to_string(testing::UnusedLoopbackPort()) + "/";
  EXPECT_EQ(ReadDateParts(QueryNetworkTime({platform, parser}, Text(url))), kFallbackParts);
}

TEST(CurlWebRequestTest, SetCookieLinesAreCollectedAndMergedWithTheSentCookies) {
  LoopbackHttpServer server(ServerScript().Respond(
      "/cookies",
      "HTTP/1.1 200 OK\r\nSet-Cookie: b=3; path=/\r\nSet-Cookie: c=4; path=/\r\n"
      "Content-Length: 0\r\n\r\n"));
  CurlRequestPlatform platform;
  Text cookies = "a=1; b=2";
  Text received;
  int32_t status = -1;
  WebRequestParameters request;
  request.url = Text(server.Url("/cookies"));
  request.cookies = &cookies;
  request.receivedCookies = &received;
  request.statusCode = &status;
  request.timeoutSeconds = 2;

  SendWebRequest(platform, request);

  EXPECT_EQ(status, 200);
  EXPECT_EQ(received, Text("b=3; c=4; a=1"));
  EXPECT_EQ(cookies, Text("b=3; c=4; a=1"));
  ASSERT_EQ(server.Requests().size(), 1u);
  EXPECT_EQ(server.Requests()[0].HeaderValues("Cookie"), std::vector<std::string>{"a=1; b=2"});
}

}  // namespace
}  // namespace tolvaris
