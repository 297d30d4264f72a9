#pragma once

#include <string>

#include "temp_directory.h"

namespace tolvaris::testing {

// Self-signed certificates made with openssl for this run: one whose name is 127.0.0.1 (what
// the tests connect to) and one made out to another host.
class TestCertificates {
 public:
  struct Pair {
    std::string certificateFile;
    std::string keyFile;
  };

  // Throws std::runtime_error when openssl fails.
  TestCertificates();

  const Pair& ForLoopback() const { return loopback_; }
  const Pair& ForOtherHost() const { return otherHost_; }

 private:
  TempDirectory directory_;
  Pair loopback_;
  Pair otherHost_;
};

}  // namespace tolvaris::testing
