#pragma once

#include <chrono>
#include <memory>
#include <string>

#include "core/bytes.h"
#include "core/text.h"
#include "platform/posix/curl_request_object.h"

namespace tolvaris::testing {

// What one Send gave, read back through the object's members, and how long Send took.
struct Exchange {
  bool sent = false;
  double status = 0;
  std::string headers;
  std::string body;
  std::chrono::milliseconds took{0};
};

Exchange SendAndRead(CurlRequestObject& object, const Text& body = Text());
Exchange SendAndRead(CurlRequestObject& object, const ByteArray& body);

// A new object; fails the test (and gives nullptr) when libcurl makes none.
std::shared_ptr<CurlRequestObject> NewRequestObject();

// An object opened for method and url with time-outs of timeoutMs for every phase.
std::shared_ptr<CurlRequestObject> OpenedRequestObject(const char* method, const std::string& url,
                                                       int32_t timeoutMs = 2000);

// A port of 127.0.0.1 on which nothing listens (it was free a moment ago).
int UnusedLoopbackPort();

}  // namespace tolvaris::testing
