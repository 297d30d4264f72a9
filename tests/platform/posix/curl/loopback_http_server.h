#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "child_process.h"
#include "temp_directory.h"

namespace tolvaris::testing {

// What the loopback server answers, path by path (see loopback_http_server.py).
class ServerScript {
 public:
  struct Piece {
    int repeat = 1;
    std::string bytes;
    int pauseMs = 0;  // a piece with a pause sends nothing: what came before goes out, then a wait
  };
  static Piece Pause(int milliseconds) { return Piece{0, {}, milliseconds}; }

  // The answer: raw bytes, pieces sent one after the other, each its repeat times in a row.
  ServerScript& Respond(std::string_view path, std::string answer);
  ServerScript& Respond(std::string_view path, std::vector<Piece> pieces);
  // Reads the request and never answers.
  ServerScript& Hang(std::string_view path);
  // Reads the request and drops the connection.
  ServerScript& Close(std::string_view path);

  std::string ScriptText() const { return text_; }

 private:
  std::string text_;
};

// One request as the server received it.
struct RecordedRequest {
  std::string raw;
  std::string method;
  std::string target;
  std::vector<std::pair<std::string, std::string>> headers;  // names as sent, values trimmed
  std::string body;

  // The value of every header of that name (ASCII case ignored), in order.
  std::vector<std::string> HeaderValues(std::string_view name) const;
};

// The scriptable HTTP server of loopback_http_server.py on an ephemeral port of 127.0.0.1,
// plain or, given a certificate and key, HTTPS. Stopped with the object. Throws
// std::runtime_error when it does not come up.
class LoopbackHttpServer {
 public:
  struct Tls {
    std::string certificateFile;
    std::string keyFile;
  };

  explicit LoopbackHttpServer(const ServerScript& script, std::optional<Tls> tls = {});

  int Port() const { return port_; }
  // "http://127.0.0.1:<port>" (https with TLS) followed by path.
  std::string Url(std::string_view path) const;
  // Every request received so far, in order of arrival.
  std::vector<RecordedRequest> Requests() const;

 private:
  TempDirectory directory_;
  bool tls_ = false;
  std::optional<ChildProcess> process_;
  int port_ = 0;
};

// Hex digits of bytes, for a script line.
std::string HexOf(std::string_view bytes);

}  // namespace tolvaris::testing
