#pragma once

#include <cstdint>
#include <optional>

#include "core/bytes.h"
#include "core/text.h"
#include "web/request_object.h"

namespace tolvaris {

// The nineteen parameters of SendWebRequest. An output pointer left null is an omitted output;
// cookies and requestObject tell "omitted" (nullptr / nullopt) from "passed empty".
struct WebRequestParameters {
  Text url;
  int32_t method = 0;  // index into the method names; outside 0..8 means GET
  Text bodyText;
  Text* cookies = nullptr;          // in and out
  Text* receivedCookies = nullptr;  // out
  Text requestHeaders;
  Text* responseHeaders = nullptr;  // out
  int32_t* statusCode = nullptr;    // out
  bool noRedirect = false;
  ByteArray bodyBytes;
  Text proxy;
  int32_t timeoutSeconds = 0;  // -1 leaves the object's time-outs; 0 or less: 15 s
  Text proxyUser;
  Text proxyPassword;
  std::optional<int32_t> credentialsTarget;  // omitted means 1 (proxy)
  std::optional<RequestObject> requestObject;
  bool mergeCookies = true;
  bool completeHeaders = true;
  bool normaliseHeaders = true;
};

// Sends one synchronous request and returns the response body; never fails except through empty
// outputs and a status code of 0.
ByteArray SendWebRequest(RequestPlatform& platform, const WebRequestParameters& parameters);

}  // namespace tolvaris
