#include "platform/win32/winhttp_request_object.h"

#include <gtest/gtest.h>
#include <objbase.h>

#include <memory>
#include <string>

#include "core/gbk_literals.h"
#include "platform/win32/loopback_http_server.h"

namespace tolvaris {
namespace {

using testing::LoopbackHttpServer;
using testing::ReceivedRequest;

// The real WinHttp.WinHttpRequest.5.1 of the system (Wine's under the tests), talking to a
// server on 127.0.0.1 in this process.
class WinHttpRequestObjectTest : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(SUCCEEDED(CoInitialize(nullptr))); }
  void TearDown() override { CoUninitialize(); }

  static RequestObject CreateObject() {
    Win32RequestPlatform platform;
    return platform.CreateRequestObject();
  }
};

TEST_F(WinHttpRequestObjectTest, CreatesTheObjectFromItsProgIdOnly) {
  EXPECT_FALSE(CreateObject().IsEmpty());
  EXPECT_TRUE(DispatchObject::CreateFromProgId(L"Tolvaris.NoSuchObject.1").IsEmpty());
}

TEST_F(WinHttpRequestObjectTest, SendsTheRequestAndReadsTheResponse) {
  LoopbackHttpServer server([](const ReceivedRequest&) {
    return LoopbackHttpServer::Response("HTTP/1.1 201 Created",
                                        {"Date: Sun, 06 Nov 1994 08:49:37 GMT", "X-Reply: yes"},
                                        std::string("a\0b\xFF", 4));
  });
  RequestObject request = CreateObject();
  const Text url(server.Url("/path?q=1"));

  EXPECT_TRUE(request.SetTimeouts(15000, 15000, 15000, 15000));
  EXPECT_TRUE(request.Open("POST", url, false));
  EXPECT_TRUE(request.SetRequestHeader("X-Test", "value 1"));
  // A GBK text becomes UTF-16 through the ANSI code page; the object sends it as UTF-8.
  EXPECT_TRUE(request.Send(Text(gbk::kProgramTitle)));

  const auto received = server.Requests();
  ASSERT_EQ(received.size(), 1u);
  EXPECT_EQ(received[0].method, "POST");
  EXPECT_EQ(received[0].target, "/path?q=1");
  EXPECT_EQ(received[0].Header("X-Test"), "value 1");
  EXPECT_EQ(received[0].body, "Tolvaris时间同步器");

  EXPECT_EQ(request.ResponseBody(), ByteArray(std::string_view("a\0b\xFF", 4)));
  EXPECT_EQ(request.Status(), 201.0);
  const std::string headers(request.GetAllResponseHeaders().View());
  EXPECT_NE(headers.find("Date: Sun, 06 Nov 1994 08:49:37 GMT\r\n"), std::string::npos) << headers;
  EXPECT_NE(headers.find("X-Reply: yes\r\n"), std::string::npos) << headers;
}

TEST_F(WinHttpRequestObjectTest, SendsBytesExactlyAsTheyAre) {
  LoopbackHttpServer server(
      [](const ReceivedRequest&) { return LoopbackHttpServer::Response("HTTP/1.1 200 OK", {}); });
  RequestObject request = CreateObject();
  const std::string raw("\x00\xFF\x80\xD2\xFDz", 6);
  ASSERT_TRUE(request.Open("PUT", Text(server.Url("/")), false));
  EXPECT_TRUE(request.Send(ByteArray(std::string_view(raw))));
  const auto received = server.Requests();
  ASSERT_EQ(received.size(), 1u);
  EXPECT_EQ(received[0].method, "PUT");
  EXPECT_EQ(received[0].body, raw);
}

TEST_F(WinHttpRequestObjectTest, TheRedirectOptionKeepsTheObjectFromFollowing) {
  LoopbackHttpServer server([](const ReceivedRequest& request) {
    if (request.target == "/moved") {
      return LoopbackHttpServer::Response("HTTP/1.1 302 Found", {"Location: /here"});
    }
    return LoopbackHttpServer::Response("HTTP/1.1 200 OK", {});
  });
  RequestObject following = CreateObject();
  ASSERT_TRUE(following.Open("GET", Text(server.Url("/moved")), false));
  ASSERT_TRUE(following.Send(Text()));
  EXPECT_EQ(following.Status(), 200.0);

  RequestObject staying = CreateObject();
  ASSERT_TRUE(staying.Open("GET", Text(server.Url("/moved")), false));
  EXPECT_TRUE(staying.SetOption(6, 0));
  ASSERT_TRUE(staying.Send(Text()));
  EXPECT_EQ(staying.Status(), 302.0);
  EXPECT_EQ(server.Requests().size(), 3u);
}

// What the routine relies on when a member fails: no effect, nothing thrown, empty reads.
TEST_F(WinHttpRequestObjectTest, AFailedCallHasNoEffectAndLaterReadsAreEmpty) {
  LoopbackHttpServer server([](const ReceivedRequest&) {
    return LoopbackHttpServer::Response("HTTP/1.1 200 OK", {"Date: Sun, 06 Nov 1994 08:49:37 GMT"});
  });
  {
    // Wine answers this option with E_NOTIMPL; the request goes on regardless.
    RequestObject request = CreateObject();
    ASSERT_TRUE(request.Open("HEAD", Text(server.Url("/")), false));
    request.SetOption(4, 0x3300);
    EXPECT_TRUE(request.Send(Text()));
    EXPECT_EQ(request.Status(), 200.0);
  }
  {
    RequestObject request = CreateObject();
    EXPECT_FALSE(request.Open("GET", "not a url", false));
    EXPECT_FALSE(request.Send(Text()));
    EXPECT_EQ(request.ResponseBody(), ByteArray());
    EXPECT_EQ(request.GetAllResponseHeaders(), Text());
    EXPECT_EQ(request.Status(), 0.0);
  }
  {
    RequestObject request = CreateObject();
    EXPECT_FALSE(request.Send(Text()));  // never opened
    EXPECT_EQ(request.Status(), 0.0);
  }
}

TEST_F(WinHttpRequestObjectTest, ARefusedConnectionFailsTheSendOnly) {
  int closedPort = 0;
  {
    LoopbackHttpServer gone([](const ReceivedRequest&) { return std::string(); });
    closedPort = gone.Port();
  }
  RequestObject request = CreateObject();
  ASSERT_TRUE(request.SetTimeouts(5000, 5000, 5000, 5000));
  ASSERT_TRUE(
      request.Open("HEAD", Text("http://127.0.0.1:" + std::to_string(closedPort) + "/"), false));
  EXPECT_FALSE(request.Send(Text()));
  EXPECT_EQ(request.GetAllResponseHeaders(), Text());
  EXPECT_EQ(request.Status(), 0.0);
}

}  // namespace
}  // namespace tolvaris
