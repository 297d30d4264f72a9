#include "request_exchange.h"

#include <arpa/inet.h>
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <stdexcept>

namespace tolvaris::testing {
namespace {

template <typename Body>
Exchange Perform(CurlRequestObject& object, const Body& requestBody) {
  Exchange exchange;
  const auto start = std::chrono::steady_clock::now();
  exchange.sent = object.Send(requestBody);
  exchange.took = std::chrono::duration_cast<std::chrono::milliseconds>(
      std::chrono::steady_clock::now() - start);
  exchange.status = object.Status();
  exchange.headers = object.GetAllResponseHeaders().Bytes();
  const ByteArray body = object.ResponseBody();
  exchange.body.assign(body.Bytes().begin(), body.Bytes().end());
  return exchange;
}

}  // namespace

Exchange SendAndRead(CurlRequestObject& object, const Text& body) { return Perform(object, body); }
Exchange SendAndRead(CurlRequestObject& object, const ByteArray& body) {
  return Perform(object, body);
}

std::shared_ptr<CurlRequestObject> NewRequestObject() {
  std::shared_ptr<CurlRequestObject> object = CurlRequestObject::Create();
  EXPECT_NE(object, nullptr) << "libcurl made no handle";
  return object;
}

std::shared_ptr<CurlRequestObject> OpenedRequestObject(const char* method, const std::string& url,
                                                       int32_t timeoutMs) {
  std::shared_ptr<CurlRequestObject> object = NewRequestObject();
  if (!object) return nullptr;
  EXPECT_TRUE(object->SetTimeouts(timeoutMs, timeoutMs, timeoutMs, timeoutMs));
  EXPECT_TRUE(object->Open(method, Text(url), false)) << method << " " << url;
  return object;
}

int UnusedLoopbackPort() {
  const int probe = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  socklen_t length = sizeof address;
  if (probe < 0 || bind(probe, reinterpret_cast<sockaddr*>(&address), length) != 0 ||
      getsockname(probe, reinterpret_cast<sockaddr*>(&address), &length) != 0) {
    if (probe >= 0) close(probe);
    throw std::runtime_error("no free port");
  }
  close(probe);
  return ntohs(address.sin_port);
}

}  // namespace tolvaris::testing
