#include <gtest/gtest.h>
#include <stdlib.h>

namespace {

// libcurl takes its proxy from these variables when no proxy is set; a test that meant to
// talk to 127.0.0.1 directly must not end up at a proxy of the machine it runs on.
class ProxyFreeEnvironment : public ::testing::Environment {
 public:
  void SetUp() override {
    for (const char* name : {"http_proxy", "HTTP_PROXY", "https_proxy", "HTTPS_PROXY", "all_proxy",
                             "ALL_PROXY", "no_proxy", "NO_PROXY"}) {
      unsetenv(name);
    }
  }
};

const ::testing::Environment* const kProxyFree =
    ::testing::AddGlobalTestEnvironment(new ProxyFreeEnvironment);

}  // namespace
