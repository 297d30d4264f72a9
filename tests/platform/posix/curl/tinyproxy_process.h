#pragma once

#include <optional>
#include <string>

#include "child_process.h"
#include "temp_directory.h"

namespace tolvaris::testing {

// Debian's tinyproxy on 127.0.0.1, asking for Basic credentials, with a configuration written
// for it. Stopped with the object; throws std::runtime_error when it does not come up.
class TinyproxyProcess {
 public:
  TinyproxyProcess(const std::string& user, const std::string& password);

  // "127.0.0.1:<port>", as a proxy setting takes it.
  std::string Address() const { return "127.0.0.1:" + std::to_string(port_); }

 private:
  TempDirectory directory_;
  std::optional<ChildProcess> process_;
  int port_ = 0;
};

}  // namespace tolvaris::testing
