#include "platform/win32/loopback_http_server.h"

#include <winsock2.h>
#include <ws2tcpip.h>

#include <algorithm>
#include <cctype>
#include <cstdlib>

namespace tolvaris::testing {
namespace {

std::string Lower(std::string text) {
  std::transform(text.begin(), text.end(), text.begin(),
                 [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  return text;
}

std::string Trim(const std::string& text) {
  const size_t first = text.find_first_not_of(" \t");
  if (first == std::string::npos) return {};
  return text.substr(first, text.find_last_not_of(" \t") - first + 1);
}

bool ReceiveMore(SOCKET connection, std::string& buffer) {
  char chunk[4096];
  const int received = recv(connection, chunk, sizeof chunk, 0);
  if (received <= 0) return false;
  buffer.append(chunk, static_cast<size_t>(received));
  return true;
}

ReceivedRequest ParseHead(const std::string& head) {
  ReceivedRequest request;
  size_t lineEnd = head.find("\r\n");
  const std::string requestLine = head.substr(0, lineEnd);
  const size_t firstSpace = requestLine.find(' ');
  const size_t secondSpace = requestLine.find(' ', firstSpace + 1);
  request.method = requestLine.substr(0, firstSpace);
  request.target = requestLine.substr(firstSpace + 1, secondSpace - firstSpace - 1);
  while (lineEnd != std::string::npos && lineEnd + 2 < head.size()) {
    const size_t start = lineEnd + 2;
    lineEnd = head.find("\r\n", start);
    const std::string line = head.substr(start, lineEnd - start);
    const size_t colon = line.find(':');
    if (colon == std::string::npos) continue;
    request.headers.emplace_back(line.substr(0, colon), Trim(line.substr(colon + 1)));
  }
  return request;
}

}  // namespace

std::string ReceivedRequest::Header(const std::string& name) const {
  for (const auto& [headerName, value] : headers) {
    if (Lower(headerName) == Lower(name)) return value;
  }
  return {};
}

LoopbackHttpServer::LoopbackHttpServer(Responder responder) : responder_(std::move(responder)) {
  WSADATA data;
  WSAStartup(MAKEWORD(2, 2), &data);
  listener_ = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  address.sin_port = 0;
  bind(listener_, reinterpret_cast<sockaddr*>(&address), sizeof address);
  listen(listener_, 16);
  int length = sizeof address;
  getsockname(listener_, reinterpret_cast<sockaddr*>(&address), &length);
  port_ = ntohs(address.sin_port);
  thread_ = std::thread([this] { Serve(); });
}

LoopbackHttpServer::~LoopbackHttpServer() {
  closesocket(listener_);
  thread_.join();
  WSACleanup();
}

std::string LoopbackHttpServer::Url(const std::string& path) const {
  return "http://127.0.0.1:" + std::to_string(port_) + path;
}

std::vector<ReceivedRequest> LoopbackHttpServer::Requests() const {
  std::lock_guard lock(mutex_);
  return requests_;
}

std::string LoopbackHttpServer::Response(const std::string& statusLine,
                                         const std::vector<std::string>& headerLines,
                                         const std::string& body) {
  std::string response = statusLine + "\r\n";
  for (const std::string& line : headerLines) response += line + "\r\n";
  response += "Content-Length: " + std::to_string(body.size()) + "\r\nConnection: close\r\n\r\n";
  return response + body;
}

void LoopbackHttpServer::Serve() {
  for (;;) {
    SOCKET connection = accept(listener_, nullptr, nullptr);
    if (connection == INVALID_SOCKET) return;  // the listener was closed
    // A client that keeps its end open must not hold the server up for long.
    const DWORD timeoutMs = 5000;
    setsockopt(connection, SOL_SOCKET, SO_RCVTIMEO, reinterpret_cast<const char*>(&timeoutMs),
               sizeof timeoutMs);
    Answer(connection);
    closesocket(connection);
  }
}

void LoopbackHttpServer::Answer(Socket connection) {
  std::string buffer;
  size_t headEnd;
  while ((headEnd = buffer.find("\r\n\r\n")) == std::string::npos) {
    if (!ReceiveMore(connection, buffer)) return;
  }
  ReceivedRequest request = ParseHead(buffer.substr(0, headEnd + 2));
  const size_t bodyLength = std::strtoul(request.Header("Content-Length").c_str(), nullptr, 10);
  std::string body = buffer.substr(headEnd + 4);
  while (body.size() < bodyLength) {
    std::string more;
    if (!ReceiveMore(connection, more)) break;
    body += more;
  }
  request.body = body.substr(0, bodyLength);
  std::string response = responder_(request);
  // HEAD answers carry no body, whatever their Content-Length says.
  if (request.method == "HEAD") response = response.substr(0, response.find("\r\n\r\n") + 4);
  {
    std::lock_guard lock(mutex_);
    requests_.push_back(std::move(request));
  }
  size_t sent = 0;
  while (sent < response.size()) {
    const int written =
        send(connection, response.data() + sent, static_cast<int>(response.size() - sent), 0);
    if (written <= 0) break;
    sent += static_cast<size_t>(written);
  }
  // The whole request has been read, so closing sends a plain FIN after the answer.
  shutdown(connection, SD_SEND);
}

}  // namespace tolvaris::testing
