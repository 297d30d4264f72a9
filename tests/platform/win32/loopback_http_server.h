#pragma once

#include <cstdint>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <utility>
#include <vector>

namespace tolvaris::testing {

// One request as it arrived on the wire.
struct ReceivedRequest {
  std::string method;
  std::string target;
  std::vector<std::pair<std::string, std::string>> headers;  // in order, as sent
  std::string body;

  // The value of the first header of that name (compared without regard to case); empty if none.
  std::string Header(const std::string& name) const;
};

// A small HTTP/1.1 server on 127.0.0.1 at a free port, in the test's own process: one request
// per connection, each answered with the raw bytes the responder gives for it.
class LoopbackHttpServer {
 public:
  using Responder = std::function<std::string(const ReceivedRequest&)>;

  explicit LoopbackHttpServer(Responder responder);
  LoopbackHttpServer(const LoopbackHttpServer&) = delete;
  LoopbackHttpServer& operator=(const LoopbackHttpServer&) = delete;
  ~LoopbackHttpServer();

  int Port() const { return port_; }
  // "http://127.0.0.1:<port>" followed by path.
  std::string Url(const std::string& path) const;
  std::vector<ReceivedRequest> Requests() const;

  // A complete response with the given status line, header lines (each without CR LF) and body.
  static std::string Response(const std::string& statusLine,
                              const std::vector<std::string>& headerLines,
                              const std::string& body = {});

 private:
  void Serve();
  // A winsock SOCKET; kept as its integer so that this header needs no <winsock2.h>.
  using Socket = std::uintptr_t;
  void Answer(Socket connection);

  Responder responder_;
  Socket listener_ = ~Socket{0};
  int port_ = 0;
  mutable std::mutex mutex_;
  std::vector<ReceivedRequest> requests_;
  std::thread thread_;
};

}  // namespace tolvaris::testing
