#include <gtest/gtest.h>

#include <memory>
#include <optional>

#include "loopback_http_server.h"
#include "platform/posix/curl_request_object.h"
#include "request_exchange.h"
#include "test_certificates.h"

namespace tolvaris {
namespace {

using testing::LoopbackHttpServer;
using testing::ServerScript;
using testing::TestCertificates;

class CurlHttpsTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() { certificates_ = std::make_unique<TestCertificates>(); }
  static void TearDownTestSuite() { certificates_.reset(); }
  static std::unique_ptr<TestCertificates> certificates_;
};
std::unique_ptr<TestCertificates> CurlHttpsTest::certificates_;

TEST_F(CurlHttpsTest, SelfSignedCertificatesPassOnlyWhenTheirErrorsAreIgnored) {
  struct CertificateCase {
    bool nameMatches;                // made out to 127.0.0.1 or to another host
    std::optional<int32_t> ignored;  // Option(4), or left alone
    bool passes;
    const char* why;
  };
  const CertificateCase cases[] = {
      {true, std::nullopt, false, "checked by default: unknown authority"},
      {true, 0, false, "nothing ignored"},
      {true, 0x0100, true, "unknown authority ignored"},
      {false, 0x0100, false, "the host name is still checked"},
      {false, 0x1000, false, "the authority is still checked"},
      {false, 0x1100, true, "authority and name ignored"},
      {false, 0x3300, true, "what the request routine sets"},
      {true, 0x2200, false, "date and purpose alone do not skip the authority check"},
  };
  for (const CertificateCase& item : cases) {
    const TestCertificates::Pair& pair =
        item.nameMatches ? certificates_->ForLoopback() : certificates_->ForOtherHost();
    LoopbackHttpServer server(
        ServerScript().Respond("/tls",
                               "HTTP/1.1 200 OK\r\nX-Tls: yes\r\nContent-Length: 0\r\n\r\n"),
        LoopbackHttpServer::Tls{pair.certificateFile, pair.keyFile});
    auto object = testing::OpenedRequestObject("GET", server.Url("/tls"));
    ASSERT_NE(object, nullptr);
    if (item.ignored) {
      EXPECT_TRUE(object->SetOption(4, *item.ignored));
    }

    const testing::Exchange exchange = testing::SendAndRead(*object);
    EXPECT_EQ(exchange.sent, item.passes) << item.why;
    EXPECT_EQ(exchange.status, item.passes ? 200 : 0) << item.why;
    EXPECT_EQ(exchange.headers, item.passes ? "X-Tls: yes\r\nContent-Length: 0\r\n" : "")
        << item.why;
    EXPECT_EQ(server.Requests().size(), item.passes ? 1u : 0u) << item.why;
  }
}

}  // namespace
}  // namespace tolvaris
