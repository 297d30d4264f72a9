#include "loopback_http_server.h"

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <stdexcept>

namespace tolvaris::testing {
namespace {

bool SameName(std::string_view a, std::string_view b) {
  return std::equal(a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) {
    return std::tolower(static_cast<unsigned char>(x)) ==
           std::tolower(static_cast<unsigned char>(y));
  });
}

std::string_view Trimmed(std::string_view text) {
  const size_t first = text.find_first_not_of(" \t");
  if (first == std::string_view::npos) return {};
  return text.substr(first, text.find_last_not_of(" \t") - first + 1);
}

RecordedRequest ParseRequest(std::string raw) {
  RecordedRequest request;
  const size_t headEnd = raw.find("\r\n\r\n");
  const std::string_view head = std::string_view(raw).substr(0, headEnd);
  request.body = headEnd == std::string::npos ? "" : raw.substr(headEnd + 4);

  size_t lineStart = 0;
  bool first = true;
  while (lineStart <= head.size()) {
    size_t lineEnd = head.find("\r\n", lineStart);
    if (lineEnd == std::string_view::npos) lineEnd = head.size();
    const std::string_view line = head.substr(lineStart, lineEnd - lineStart);
    if (first) {
      const size_t space = line.find(' ');
      request.method = std::string(line.substr(0, space));
      const size_t targetEnd = line.find(' ', space + 1);
      request.target = std::string(line.substr(space + 1, targetEnd - space - 1));
      first = false;
    } else if (const size_t colon = line.find(':'); colon != std::string_view::npos) {
      request.headers.emplace_back(std::string(line.substr(0, colon)),
                                   std::string(Trimmed(line.substr(colon + 1))));
    }
    lineStart = lineEnd + 2;
  }
  request.raw = std::move(raw);
  return request;
}

}  // namespace

std::string HexOf(std::string_view bytes) {
  static constexpr char kDigits[] = "0123456789abcdef";
  std::string hex;
  hex.reserve(bytes.size() * 2);
  for (unsigned char byte : bytes) {
    hex += kDigits[byte >> 4];
    hex += kDigits[byte & 15];
  }
  return hex;
}

ServerScript& ServerScript::Respond(std::string_view path, std::string answer) {
  return Respond(path, std::vector<Piece>{{1, std::move(answer)}});
}

ServerScript& ServerScript::Respond(std::string_view path, std::vector<Piece> pieces) {
  text_ += "ROUTE " + std::string(path) + " respond\n";
  for (const Piece& piece : pieces) {
    if (piece.pauseMs > 0) {
      text_ += "PAUSE " + std::to_string(piece.pauseMs) + "\n";
      continue;
    }
    text_ += "SEND " + std::to_string(piece.repeat) + " " + HexOf(piece.bytes) + "\n";
  }
  return *this;
}

ServerScript& ServerScript::Hang(std::string_view path) {
  text_ += "ROUTE " + std::string(path) + " hang\n";
  return *this;
}

ServerScript& ServerScript::Close(std::string_view path) {
  text_ += "ROUTE " + std::string(path) + " close\n";
  return *this;
}

std::vector<std::string> RecordedRequest::HeaderValues(std::string_view name) const {
  std::vector<std::string> values;
  for (const auto& [headerName, value] : headers) {
    if (SameName(headerName, name)) values.push_back(value);
  }
  return values;
}

LoopbackHttpServer::LoopbackHttpServer(const ServerScript& script, std::optional<Tls> tls)
    : tls_(tls.has_value()) {
  const std::filesystem::path scriptFile = directory_.Path() / "script";
  std::filesystem::create_directory(directory_.Path() / "log");
  std::ofstream(scriptFile) << script.ScriptText();

  std::vector<std::string> argv = {"/usr/bin/python3",
                                   TOLVARIS_CURL_TEST_DIR "/loopback_http_server.py",
                                   scriptFile.string(), (directory_.Path() / "log").string()};
  if (tls) {
    argv.push_back(tls->certificateFile);
    argv.push_back(tls->keyFile);
  }
  process_.emplace(argv, true);
  const std::string line = process_->ReadLine(std::chrono::seconds(20));
  if (line.rfind("PORT ", 0) != 0) throw std::runtime_error("server said: " + line);
  port_ = std::stoi(line.substr(5));
}

std::string LoopbackHttpServer::Url(std::string_view path) const {
  return (tls_ ? "https://127.0.0.1:" : "http://127.0.0.1:") + std::to_string(port_) +
         std::string(path);
}

std::vector<RecordedRequest> LoopbackHttpServer::Requests() const {
  std::vector<RecordedRequest> requests;
  for (int number = 1;; ++number) {
    std::ifstream file(directory_.Path() / "log" / (std::to_string(number) + ".req"),
                       std::ios::binary);
    if (!file) break;
    std::ostringstream raw;
    raw << file.rdbuf();
    requests.push_back(ParseRequest(raw.str()));
  }
  return requests;
}

}  // namespace tolvaris::testing
