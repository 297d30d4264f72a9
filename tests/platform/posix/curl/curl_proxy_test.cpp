#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "loopback_http_server.h"
#include "platform/posix/curl_request_object.h"
#include "test_certificates.h"
#include "tinyproxy_process.h"
#include "web/web_request.h"

namespace tolvaris {
namespace {

using ::testing::Contains;
using testing::LoopbackHttpServer;
using testing::ServerScript;
using testing::TinyproxyProcess;

constexpr char kProxyUser[] = "alice";
constexpr char kProxyPassword[] = "s3cret";
constexpr char kOriginAnswer[] =
    "HTTP/1.1 200 OK\r\nX-Origin: loopback\r\nContent-Length: 0\r\n\r\n";

struct Outcome {
  int32_t status = -1;
  Text headers;
};

Outcome ThroughProxy(const TinyproxyProcess& proxy, const std::string& url, const char* user,
                     const char* password) {
  CurlRequestPlatform platform;
  Outcome outcome;
  WebRequestParameters request;
  request.url = Text(url);
  request.proxy = Text(proxy.Address());
  request.proxyUser = user;
  request.proxyPassword = password;
  request.statusCode = &outcome.status;
  request.responseHeaders = &outcome.headers;
  request.timeoutSeconds = 5;
  SendWebRequest(platform, request);
  return outcome;
}

struct ProxyCase {
  const char* user;
  const char* password;
  std::vector<int32_t> statuses;  // what the proxy may answer
  size_t requestsAtOrigin;
};
const ProxyCase kProxyCases[] = {
    {kProxyUser, kProxyPassword, {200}, 1},
    // Debian's tinyproxy 1.11.1 refuses wrong credentials with 401 (tinyproxy issue 532);
    // releases after the fix say 407.
    {kProxyUser, "wrong", {401, 407}, 0},
    {"", "", {407}, 0},
};

TEST(CurlProxyTest, TinyproxyWithBasicAuthPassesOnlyTheRightCredentials) {
  TinyproxyProcess proxy(kProxyUser, kProxyPassword);
  for (const ProxyCase& item : kProxyCases) {
    LoopbackHttpServer origin(ServerScript().Respond("/via", kOriginAnswer));
    const Outcome outcome = ThroughProxy(proxy, origin.Url("/via"), item.user, item.password);
    EXPECT_THAT(item.statuses, Contains(outcome.status)) << item.password;
    const auto requests = origin.Requests();
    ASSERT_EQ(requests.size(), item.requestsAtOrigin) << item.password;
    if (item.requestsAtOrigin > 0) {
      EXPECT_NE(outcome.headers.View().find("X-Origin: loopback\r\n"), std::string_view::npos);
      // The proxy marks what it forwards: the request did not go straight to the origin.
      ASSERT_EQ(requests[0].HeaderValues("Via").size(), 1u);
      EXPECT_NE(requests[0].HeaderValues("Via")[0].find("tinyproxy"), std::string::npos);
    }
  }
}

TEST(CurlProxyTest, HttpsThroughTheProxyKeepsTheProxyCredentialsFromTheServer) {
  const testing::TestCertificates certificates;
  TinyproxyProcess proxy(kProxyUser, kProxyPassword);
  for (const ProxyCase& item : kProxyCases) {
    LoopbackHttpServer origin(ServerScript().Respond("/tunnel", kOriginAnswer),
                              LoopbackHttpServer::Tls{certificates.ForLoopback().certificateFile,
                                                      certificates.ForLoopback().keyFile});
    const Outcome outcome = ThroughProxy(proxy, origin.Url("/tunnel"), item.user, item.password);
    EXPECT_THAT(item.statuses, Contains(outcome.status)) << item.password;
    const auto requests = origin.Requests();
    ASSERT_EQ(requests.size(), item.requestsAtOrigin) << item.password;
    if (item.requestsAtOrigin > 0) {
      EXPECT_EQ(outcome.headers, Text("X-Origin: loopback\r\nContent-Length: 0\r\n"));
      EXPECT_TRUE(requests[0].HeaderValues("Proxy-Authorization").empty());
    }
  }
}

TEST(CurlProxyTest, TheProxyGetsTheAbsoluteUrlAndOneCopyOfTheCredentials) {
  // The loopback server stands in as the proxy: it records what a proxy is sent.
  LoopbackHttpServer recordingProxy(ServerScript().Respond("/page", kOriginAnswer));
  CurlRequestPlatform platform;
  int32_t status = -1;
  WebRequestParameters request;
  request.url = "http://origin.invalid/page";
  request.proxy = Text("127.0.0.1:" + std::to_string(recordingProxy.Port()));
  request.proxyUser = kProxyUser;
  request.proxyPassword = kProxyPassword;
  request.statusCode = &status;
  request.timeoutSeconds = 2;
  SendWebRequest(platform, request);

  EXPECT_EQ(status, 200);
  const auto requests = recordingProxy.Requests();
  ASSERT_EQ(requests.size(), 1u);
  EXPECT_EQ(requests[0].target, "http://origin.invalid/page");
  // base64("alice:s3cret"): the routine's own header; libcurl adds no second one.
  EXPECT_EQ(requests[0].HeaderValues("Proxy-Authorization"),
            std::vector<std::string>{"Basic YWxpY2U6czNjcmV0"});
}

}  // namespace
}  // namespace tolvaris
