#include <gtest/gtest.h>
#include <objbase.h>

#include <string>
#include <thread>

#include "core/datetime.h"
#include "nettime/network_time.h"
#include "platform/win32/loopback_http_server.h"
#include "platform/win32/winhttp_request_object.h"
#include "platform/win32/wininet_http_date_parser.h"
#include "web/web_request.h"

namespace tolvaris {
namespace {

using testing::LoopbackHttpServer;
using testing::ReceivedRequest;

// The portable request routine and network-time query on the real Windows platform: COM, the
// WinHttp object and wininet's date parser, against a server on 127.0.0.1.
std::string DateAnswer(const ReceivedRequest&) {
  return LoopbackHttpServer::Response("HTTP/1.1 200 OK",
                                      {"Server: loopback", "Date: Sun, 06 Nov 1994 08:49:37 GMT"});
}

// Runs f on a new thread, whose COM starts uninitialised, and waits for it.
template <typename F>
void OnFreshThread(F f) {
  std::thread thread(f);
  thread.join();
}

TEST(Win32RequestRoutineTest, TheNetworkTimeQuerySendsOneHeadWithTheDefaultHeaders) {
  LoopbackHttpServer server(&DateAnswer);
  const Text url(server.Url("/"));
  DateTime networkTime;
  OnFreshThread([&] {
    Win32RequestPlatform requests;
    WininetHttpDateParser parser;
    networkTime = QueryNetworkTime({requests, parser}, url);
  });

  EXPECT_EQ(DateTimeToText(networkTime), DateTimeToText(ComposeDateTime(1994, 11, 6, 16, 49, 37)));
  const auto received = server.Requests();
  ASSERT_EQ(received.size(), 1u);
  EXPECT_EQ(received[0].method, "HEAD");
  EXPECT_EQ(received[0].target, "/");
  EXPECT_EQ(received[0].Header("Accept"), "*/*");
  EXPECT_EQ(received[0].Header("Referer"), url.Bytes());
  EXPECT_EQ(received[0].Header("Accept-Language"), "zh-cn");
  EXPECT_EQ(received[0].Header("User-Agent"), "Mozilla/4.0 (compatible; MSIE 9.0; Windows NT 6.1)");
}

TEST(Win32RequestRoutineTest, NoReadableDateGivesTheFallbackTime) {
  const std::string answers[] = {
      LoopbackHttpServer::Response("HTTP/1.1 200 OK", {"Server: no date"}),
      LoopbackHttpServer::Response("HTTP/1.1 200 OK", {"date: Sun, 06 Nov 1994 08:49:37 GMT"}),
      LoopbackHttpServer::Response("HTTP/1.1 200 OK", {"Date: not a date"}),
  };
  for (const std::string& answer : answers) {
    LoopbackHttpServer server([&answer](const ReceivedRequest&) { return answer; });
    DateTime networkTime{1.0};
    OnFreshThread([&] {
      Win32RequestPlatform requests;
      WininetHttpDateParser parser;
      networkTime = QueryNetworkTime({requests, parser}, Text(server.Url("/")));
    });
    EXPECT_EQ(ReadDateParts(networkTime), ReadDateParts(EarliestDateTime)) << answer;
  }
}

TEST(Win32RequestRoutineTest, AllOutputsComeBackThroughTheRoutine) {
  LoopbackHttpServer server([](const ReceivedRequest&) {
    return LoopbackHttpServer::Response("HTTP/1.1 404 Not Found",
                                        {"Set-Cookie: b=3; path=/", "Set-Cookie: c=4; path=/"},
                                        "missing");
  });
  Text cookies("a=1; b=2");
  Text receivedCookies;
  Text responseHeaders;
  int32_t statusCode = -1;
  ByteArray body;
  OnFreshThread([&] {
    Win32RequestPlatform requests;
    WebRequestParameters parameters;
    parameters.url = Text(server.Url("/page"));
    parameters.cookies = &cookies;
    parameters.receivedCookies = &receivedCookies;
    parameters.responseHeaders = &responseHeaders;
    parameters.statusCode = &statusCode;
    body = SendWebRequest(requests, parameters);
  });
  EXPECT_EQ(body, ByteArray(std::string_view("missing")));
  EXPECT_EQ(statusCode, 404);
  EXPECT_NE(responseHeaders.View().find("Set-Cookie: c=4; path=/\r\n"), std::string::npos);
  EXPECT_EQ(receivedCookies, Text("b=3; c=4; a=1"));
  EXPECT_EQ(cookies, Text("b=3; c=4; a=1"));
  const auto received = server.Requests();
  ASSERT_EQ(received.size(), 1u);
  EXPECT_EQ(received[0].method, "GET");
  EXPECT_EQ(received[0].Header("Cookie"), "a=1; b=2");
}

TEST(Win32RequestRoutineTest, AnUnreachableServerGivesEmptyOutputsAndStatusZero) {
  int closedPort = 0;
  {
    LoopbackHttpServer gone([](const ReceivedRequest&) { return std::string(); });
    closedPort = gone.Port();
  }
  Text responseHeaders("untouched");
  int32_t statusCode = -1;
  ByteArray body(std::string_view("untouched"));
  OnFreshThread([&] {
    Win32RequestPlatform requests;
    WebRequestParameters parameters;
    parameters.url = Text("http://127.0.0.1:" + std::to_string(closedPort) + "/");
    parameters.responseHeaders = &responseHeaders;
    parameters.statusCode = &statusCode;
    parameters.timeoutSeconds = 5;
    body = SendWebRequest(requests, parameters);
  });
  EXPECT_EQ(body, ByteArray());
  EXPECT_EQ(responseHeaders, Text());
  EXPECT_EQ(statusCode, 0);
}

// Each request initialises COM on its thread and releases it again, leaving the thread as it was.
TEST(Win32RequestRoutineTest, ARequestLeavesTheThreadsComAsItFoundIt) {
  LoopbackHttpServer server(&DateAnswer);
  const Text url(server.Url("/"));
  HRESULT afterOnFreshThread = E_FAIL;
  OnFreshThread([&] {
    Win32RequestPlatform requests;
    WininetHttpDateParser parser;
    QueryNetworkTime({requests, parser}, url);
    // Still initialised as a single-threaded apartment, this would be RPC_E_CHANGED_MODE.
    afterOnFreshThread = CoInitializeEx(nullptr, COINIT_MULTITHREADED);
    if (SUCCEEDED(afterOnFreshThread)) CoUninitialize();
  });
  EXPECT_EQ(afterOnFreshThread, S_OK);

  // A thread already in the multi-threaded apartment: CoInitialize fails there, and the
  // routine must not take away the initialisation that belongs to the thread's owner.
  DateTime networkTime;
  HRESULT stillInitialised = E_FAIL;
  OnFreshThread([&] {
    ASSERT_EQ(CoInitializeEx(nullptr, COINIT_MULTITHREADED), S_OK);
    Win32RequestPlatform requests;
    WininetHttpDateParser parser;
    networkTime = QueryNetworkTime({requests, parser}, url);
    stillInitialised = CoInitializeEx(nullptr, COINIT_MULTITHREADED);
    if (SUCCEEDED(stillInitialised)) CoUninitialize();
    CoUninitialize();
  });
  EXPECT_EQ(stillInitialised, S_FALSE);
  EXPECT_EQ(DateTimeToText(networkTime), DateTimeToText(ComposeDateTime(1994, 11, 6, 16, 49, 37)));
}

}  // namespace
}  // namespace tolvaris
