#include "tinyproxy_process.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <chrono>
#include <fstream>
#include <thread>

#include "request_exchange.h"

namespace tolvaris::testing {
namespace {

sockaddr_in Loopback(int port) {
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_port = htons(static_cast<uint16_t>(port));
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  return address;
}

bool Accepts(int port) {
  const int client = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
  const sockaddr_in address = Loopback(port);
  const bool connected = client >= 0 && connect(client, reinterpret_cast<const sockaddr*>(&address),
                                                sizeof address) == 0;
  if (client >= 0) close(client);
  return connected;
}

}  // namespace

TinyproxyProcess::TinyproxyProcess(const std::string& user, const std::string& password) {
  const std::string config = (directory_.Path() / "tinyproxy.conf").string();
  for (int attempt = 0; attempt < 5; ++attempt) {
    // tinyproxy cannot be told to take any free port and name it, so it gets one that was free
    // a moment ago; a start that loses the race is retried.
    port_ = UnusedLoopbackPort();
    std::ofstream(config) << "Port " << port_ << "\n"
                          << "Listen 127.0.0.1\n"
                          << "Timeout 10\n"
                          << "MaxClients 20\n"
                          << "Allow 127.0.0.1\n"
                          << "BasicAuth " << user << " " << password << "\n"
                          << "LogLevel Warning\n";
    process_.emplace(std::vector<std::string>{"/usr/bin/tinyproxy", "-d", "-c", config}, false);
    for (int wait = 0; wait < 100; ++wait) {
      if (Accepts(port_)) return;
      std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    process_.reset();
  }
  throw std::runtime_error("tinyproxy did not come up");
}

}  // namespace tolvaris::testing
