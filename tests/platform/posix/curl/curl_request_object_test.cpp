#include "platform/posix/curl_request_object.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "loopback_http_server.h"
#include "request_exchange.h"

namespace tolvaris {
namespace {

using namespace std::chrono_literals;
using namespace std::string_literals;
using testing::Exchange;
using testing::LoopbackHttpServer;
using testing::OpenedRequestObject;
using testing::SendAndRead;
using testing::ServerScript;

constexpr char kEmptyOk[] = "HTTP/1.1 200 OK\r\nContent-Length: 0\r\n\r\n";

TEST(CurlRequestObjectTest, EveryMethodReachesTheServerAsNamedWithItsBody) {
  struct MethodCase {
    const char* method;
    std::string body;
    std::string bodyReceived;
  };
  const MethodCase cases[] = {
      {"GET", "", ""},
      {"POST", "name=\xB1\xB1", "name=\xB1\xB1"},  // text bodies go out as their bytes
      {"HEAD", "ignored", ""},                     // HEAD carries no body
      {"PUT", "put", "put"},
      {"OPTIONS", "", ""},
      {"DELETE", "", ""},
      {"TRACE", "", ""},
      {"CONNECT", "", ""},
      {"PATCH", "patch", "patch"},
  };
  LoopbackHttpServer server(ServerScript().Respond("/m", kEmptyOk));
  for (const MethodCase& item : cases) {
    auto object = OpenedRequestObject(item.method, server.Url("/m"));
    ASSERT_NE(object, nullptr);
    const Exchange exchange = SendAndRead(*object, Text(item.body));
    EXPECT_TRUE(exchange.sent) << item.method;
    EXPECT_EQ(exchange.status, 200) << item.method;

    const auto requests = server.Requests();
    ASSERT_FALSE(requests.empty());
    const auto& received = requests.back();
    EXPECT_EQ(received.method, item.method);
    EXPECT_EQ(received.target, "/m");
    EXPECT_EQ(received.body, item.bodyReceived) << item.method;
    // libcurl's own form Content-Type and Expect stay out of a request that did not ask for them.
    EXPECT_TRUE(received.HeaderValues("Content-Type").empty()) << item.method;
    EXPECT_TRUE(received.HeaderValues("Expect").empty()) << item.method;
  }
}

TEST(CurlRequestObjectTest, ByteBodiesGoOutByteForByte) {
  LoopbackHttpServer server(ServerScript().Respond("/upload", kEmptyOk));
  auto object = OpenedRequestObject("POST", server.Url("/upload"));
  ASSERT_NE(object, nullptr);
  const std::string bytes = "\x00\x01\xFF\r\n\x00tail"s;
  EXPECT_TRUE(SendAndRead(*object, ByteArray(bytes)).sent);
  ASSERT_EQ(server.Requests().size(), 1u);
  EXPECT_EQ(server.Requests()[0].body, bytes);
  EXPECT_EQ(server.Requests()[0].HeaderValues("Content-Length"),
            std::vector<std::string>{std::to_string(bytes.size())});
}

TEST(CurlRequestObjectTest, GivesTheHeaderLinesStatusAndBodyOfTheAnswer) {
  LoopbackHttpServer server(ServerScript().Respond(
      "/page",
      "HTTP/1.1 201 Created\r\nDate: Sun, 06 Nov 1994 08:49:37 GMT\r\nX-Gbk: \xB1\xB1\r\n"
      "Content-Length: 5\r\n\r\nhello"));
  auto object = OpenedRequestObject("GET", server.Url("/page"));
  ASSERT_NE(object, nullptr);
  const Exchange exchange = SendAndRead(*object);
  EXPECT_TRUE(exchange.sent);
  EXPECT_EQ(exchange.status, 201);
  EXPECT_EQ(exchange.headers,
            "Date: Sun, 06 Nov 1994 08:49:37 GMT\r\nX-Gbk: \xB1\xB1\r\nContent-Length: 5\r\n");
  EXPECT_EQ(exchange.body, "hello");
}

TEST(CurlRequestObjectTest, HeadersGoOutAsGivenAndLineBreaksCannotSmuggleMoreIn) {
  LoopbackHttpServer server(ServerScript().Respond("/h", kEmptyOk));
  auto object = OpenedRequestObject("GET", server.Url("/h"));
  ASSERT_NE(object, nullptr);

  EXPECT_TRUE(object->SetRequestHeader("X-Plain", "v a l"));
  EXPECT_TRUE(object->SetRequestHeader("X-Gbk", "\xB1\xB1\xBE\xA9"));
  EXPECT_TRUE(object->SetRequestHeader("Cookie", ""));  // sent, with an empty value
  EXPECT_TRUE(object->SetRequestHeader("X-Twice", "first"));
  EXPECT_TRUE(object->SetRequestHeader("x-twice", "second"));  // replaces the first
  // Proxy credentials are for a proxy; without one they go nowhere.
  EXPECT_TRUE(object->SetRequestHeader("Proxy-Authorization", "Basic c2VjcmV0"));

  const std::pair<const char*, const char*> refused[] = {
      {"X-Bad", "a\r\nInjected: 1"},
      {"X-Bad", "a\nInjected: 1"},
      {"X-Bad", "a\rInjected: 1"},
      {"X-Bad\r\nInjected", "1"},
      {"", "no name"},
      {"X Bad", "1"},
      {"Injected: 1\r\nX-Bad", "1"},
  };
  for (const auto& [name, value] : refused) {
    EXPECT_FALSE(object->SetRequestHeader(name, value)) << name << ": " << value;
  }
  EXPECT_TRUE(SendAndRead(*object).sent);

  const auto requests = server.Requests();
  ASSERT_EQ(requests.size(), 1u);
  const auto& received = requests[0];
  EXPECT_EQ(received.HeaderValues("X-Plain"), std::vector<std::string>{"v a l"});
  EXPECT_EQ(received.HeaderValues("X-Gbk"), std::vector<std::string>{"\xB1\xB1\xBE\xA9"});
  EXPECT_EQ(received.HeaderValues("Cookie"), std::vector<std::string>{""});
  EXPECT_EQ(received.HeaderValues("X-Twice"), std::vector<std::string>{"second"});
  EXPECT_TRUE(received.HeaderValues("Proxy-Authorization").empty());
  EXPECT_TRUE(received.HeaderValues("X-Bad").empty());
  EXPECT_EQ(received.raw.find("Injected"), std::string::npos) << received.raw;
}

TEST(CurlRequestObjectTest, ServerCredentialsGoOutAsBasicAuthorization) {
  LoopbackHttpServer server(ServerScript().Respond("/private", kEmptyOk));
  auto object = OpenedRequestObject("GET", server.Url("/private"));
  ASSERT_NE(object, nullptr);
  EXPECT_TRUE(object->SetCredentials("user", "pa:ss", 0));
  EXPECT_TRUE(SendAndRead(*object).sent);
  ASSERT_EQ(server.Requests().size(), 1u);
  // base64("user:pa:ss")
  EXPECT_EQ(server.Requests()[0].HeaderValues("Authorization"),
            std::vector<std::string>{"Basic dXNlcjpwYTpzcw=="});
}

TEST(CurlRequestObjectTest, OpenStartsAFreshRequestAndForgetsTheLastAnswer) {
  LoopbackHttpServer server(
      ServerScript()
          .Respond("/one", "HTTP/1.1 200 OK\r\nX-One: 1\r\nContent-Length: 0\r\n\r\n")
          .Respond("/two", kEmptyOk));
  auto object = OpenedRequestObject("GET", server.Url("/one"));
  ASSERT_NE(object, nullptr);
  EXPECT_TRUE(object->SetRequestHeader("X-First", "1"));
  EXPECT_TRUE(object->SetCredentials("user", "password", 0));
  EXPECT_TRUE(SendAndRead(*object).sent);
  EXPECT_EQ(object->Status(), 200);

  EXPECT_TRUE(object->Open("GET", Text(server.Url("/two")), false));
  EXPECT_EQ(object->Status(), 0);
  EXPECT_EQ(object->GetAllResponseHeaders(), Text());
  EXPECT_TRUE(SendAndRead(*object).sent);

  const auto requests = server.Requests();
  ASSERT_EQ(requests.size(), 2u);
  EXPECT_EQ(requests[1].target, "/two");
  EXPECT_TRUE(requests[1].HeaderValues("X-First").empty());
  EXPECT_TRUE(requests[1].HeaderValues("Authorization").empty());
}

TEST(CurlRequestObjectTest, RefusedCallsHaveNoEffect) {
  LoopbackHttpServer server(ServerScript().Respond("/kept", kEmptyOk));
  auto object = testing::NewRequestObject();
  ASSERT_NE(object, nullptr);

  // Nothing to act on before Open.
  EXPECT_FALSE(object->SetRequestHeader("X-A", "1"));
  EXPECT_FALSE(object->SetCredentials("user", "password", 1));
  EXPECT_FALSE(object->Send(Text()));
  EXPECT_EQ(object->Status(), 0);

  ASSERT_TRUE(object->Open("GET", Text(server.Url("/kept")), false));
  const std::pair<const char*, std::string> refusedOpens[] = {
      {"GET", "http://127.0.0.1:1/with space"},
      {"G T", server.Url("/other")},
      {"GET\r\nX-Injected: 1", server.Url("/other")},
      {"GET", "ftp://127.0.0.1/"},
      {"GET", "file:///etc/passwd"},
      {"GET", "no url at all"},
      {"GET", "127.0.0.1/no-scheme"},
      {"GET", server.Url("/other\r\nX-Injected: 1")},
  };
  EXPECT_FALSE(object->Open("GET", Text(server.Url("/other")), true));  // only synchronous
  for (const auto& [method, url] : refusedOpens) {
    EXPECT_FALSE(object->Open(method, Text(url), false)) << method << " " << url;
  }
  EXPECT_FALSE(object->SetProxy(0, "127.0.0.1:1"));
  EXPECT_FALSE(object->SetProxy(1, "127.0.0.1:1"));
  EXPECT_FALSE(object->SetProxy(2, ""));
  EXPECT_FALSE(object->SetProxy(2, "socks5://127.0.0.1:1"));
  EXPECT_FALSE(object->SetProxy(2, "127.0.0.1:1\r\nX: 1"));
  EXPECT_FALSE(object->SetOption(5, 0));
  EXPECT_FALSE(object->SetOption(4, 0x0001));
  EXPECT_FALSE(object->SetCredentials("user", "password", 2));
  EXPECT_FALSE(object->SetTimeouts(-2, 1000, 1000, 1000));

  // The request that was opened before all that is the one that goes out, directly.
  const Exchange exchange = SendAndRead(*object);
  EXPECT_TRUE(exchange.sent);
  ASSERT_EQ(server.Requests().size(), 1u);
  EXPECT_EQ(server.Requests()[0].method, "GET");
  EXPECT_EQ(server.Requests()[0].target, "/kept");
  EXPECT_TRUE(server.Requests()[0].HeaderValues("Authorization").empty());
}

TEST(CurlRequestObjectTest, RedirectsAreFollowedUnlessTurnedOff) {
  const ServerScript script = ServerScript()
                                  .Respond("/start",
                                           "HTTP/1.1 302 Found\r\nLocation: /final\r\n"
                                           "Content-Length: 5\r\n\r\nmoved")
                                  .Respond("/final",
                                           "HTTP/1.1 200 OK\r\nX-Final: yes\r\n"
                                           "Content-Length: 4\r\n\r\nhere");
  {
    LoopbackHttpServer server(script);
    auto object = OpenedRequestObject("GET", server.Url("/start"));
    ASSERT_NE(object, nullptr);
    const Exchange exchange = SendAndRead(*object);
    EXPECT_TRUE(exchange.sent);
    EXPECT_EQ(exchange.status, 200);
    EXPECT_EQ(exchange.headers, "X-Final: yes\r\nContent-Length: 4\r\n");
    EXPECT_EQ(exchange.body, "here");
    EXPECT_EQ(server.Requests().size(), 2u);
  }
  {
    LoopbackHttpServer server(script);
    auto object = OpenedRequestObject("GET", server.Url("/start"));
    ASSERT_NE(object, nullptr);
    EXPECT_TRUE(object->SetOption(6, 0));
    const Exchange exchange = SendAndRead(*object);
    EXPECT_TRUE(exchange.sent);
    EXPECT_EQ(exchange.status, 302);
    EXPECT_EQ(exchange.headers, "Location: /final\r\nContent-Length: 5\r\n");
    EXPECT_EQ(exchange.body, "moved");
    EXPECT_EQ(server.Requests().size(), 1u);
  }
}

TEST(CurlRequestObjectTest, ARefusedConnectionFailsAtOnceWithNoAnswer) {
  const int port = testing::UnusedLoopbackPort();
  auto object = OpenedRequestObject("GET", "http://127.0.0.1:" + std::to_string(port) + "/", 2000);
  ASSERT_NE(object, nullptr);
  const Exchange exchange = SendAndRead(*object);
  EXPECT_FALSE(exchange.sent);
  EXPECT_EQ(exchange.status, 0);
  EXPECT_EQ(exchange.headers, "");
  EXPECT_EQ(exchange.body, "");
  EXPECT_LT(exchange.took, 1500ms);
}

TEST(CurlRequestObjectTest, ServersThatStopTalkingFailAfterTheReceiveTimeout) {
  struct StallCase {
    const char* why;
    ServerScript script;
  };
  const StallCase cases[] = {
      {"accepts and never answers", ServerScript().Hang("/s")},
      {"stops in the middle of the body",
       ServerScript().Respond("/s", "HTTP/1.1 200 OK\r\nContent-Length: 100\r\n\r\nonly ten..")},
      {"stops in the middle of the header block",
       ServerScript().Respond("/s", "HTTP/1.1 200 OK\r\nX-A: 1\r\n")},
  };
  for (const StallCase& item : cases) {
    LoopbackHttpServer server(item.script);
    auto object = OpenedRequestObject("GET", server.Url("/s"), 1000);
    ASSERT_NE(object, nullptr);
    const Exchange exchange = SendAndRead(*object);
    EXPECT_FALSE(exchange.sent) << item.why;
    EXPECT_EQ(exchange.status, 0) << item.why;
    EXPECT_EQ(exchange.headers, "") << item.why;
    EXPECT_GE(exchange.took, 950ms) << item.why;
    EXPECT_LT(exchange.took, 2500ms) << item.why;
  }
}

TEST(CurlRequestObjectTest, ASlowAnswerThatKeepsMovingIsNoStall) {
  // Five pauses of 400 ms: two seconds in all, yet never a second without a byte.
  std::vector<ServerScript::Piece> pieces = {{1, "HTTP/1.1 200 OK\r\nContent-Length: 5\r\n\r\n"}};
  for (int part = 0; part < 5; ++part) {
    pieces.push_back(ServerScript::Pause(400));
    pieces.push_back({1, "x"});
  }
  LoopbackHttpServer server(ServerScript().Respond("/slow", pieces));
  auto object = OpenedRequestObject("GET", server.Url("/slow"), 1000);
  ASSERT_NE(object, nullptr);
  const Exchange exchange = SendAndRead(*object);
  EXPECT_TRUE(exchange.sent);
  EXPECT_EQ(exchange.body, "xxxxx");
  EXPECT_GE(exchange.took, 1900ms);
}

TEST(CurlRequestObjectTest, AConnectionDroppedUnansweredFailsAtOnce) {
  LoopbackHttpServer server(ServerScript().Close("/drop"));
  auto object = OpenedRequestObject("GET", server.Url("/drop"));
  ASSERT_NE(object, nullptr);
  const Exchange exchange = SendAndRead(*object);
  EXPECT_FALSE(exchange.sent);
  EXPECT_EQ(exchange.status, 0);
  EXPECT_LT(exchange.took, 1500ms);
}

TEST(CurlRequestPlatformTest, MakesWorkingObjectsAndHasNoComToSetUp) {
  LoopbackHttpServer server(ServerScript().Respond("/p", kEmptyOk));
  CurlRequestPlatform platform;
  platform.InitialiseCom();
  RequestObject first = platform.CreateRequestObject();
  RequestObject second = platform.CreateRequestObject();
  ASSERT_FALSE(first.IsEmpty());
  ASSERT_FALSE(second.IsEmpty());
  EXPECT_NE(first.Instance(), second.Instance());
  EXPECT_TRUE(first.Open("HEAD", Text(server.Url("/p")), false));
  EXPECT_TRUE(first.Send(Text()));
  EXPECT_EQ(first.Status(), 200);
  platform.ReleaseCom();
}

}  // namespace
}  // namespace tolvaris
