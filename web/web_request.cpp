#include "web/web_request.h"

#include <array>
#include <cmath>
#include <limits>

#include "web/base64.h"
#include "web/cookies.h"
#include "web/request_headers.h"

namespace tolvaris {
namespace {

constexpr std::array<const char*, 9> kMethodNames = {
    "GET", "POST", "HEAD", "PUT", "OPTIONS", "DELETE", "TRACE", "CONNECT", "PATCH"};
constexpr int32_t kPostMethod = 1;

constexpr int32_t kLeaveTimeoutsAlone = -1;
constexpr int32_t kDefaultTimeoutMs = 15000;

// The status as a whole number truncated toward zero. A value that no 32-bit integer holds
// (NaN, infinite, out of range) is no status at all and reads as 0, like a failed read; the bare
// conversion of such a value would be undefined.
int32_t StatusToInteger(double status) {
  if (!std::isfinite(status)) return 0;
  const double truncated = std::trunc(status);
  if (truncated < std::numeric_limits<int32_t>::min() ||
      truncated > std::numeric_limits<int32_t>::max()) {
    return 0;
  }
  return static_cast<int32_t>(truncated);
}

int32_t TimeoutMilliseconds(int32_t timeoutSeconds) {
  if (timeoutSeconds < 1) return kDefaultTimeoutMs;
  // Past 2147483 s the milliseconds leave the 32-bit range; the longest time-out it holds is
  // the closest one to what was asked.
  if (timeoutSeconds > std::numeric_limits<int32_t>::max() / 1000) {
    return std::numeric_limits<int32_t>::max();
  }
  return timeoutSeconds * 1000;
}

}  // namespace

ByteArray SendWebRequest(RequestPlatform& platform, const WebRequestParameters& parameters) {
  platform.InitialiseCom();

  const int32_t method = parameters.method < 0 || parameters.method > 8 ? 0 : parameters.method;
  const Text methodName = kMethodNames[method];

  // A passed object is used even when it is empty: every call on it then fails and the request
  // comes back empty. Only an object this routine creates itself can fail to exist.
  RequestObject object;
  if (parameters.requestObject) {
    object = *parameters.requestObject;
  } else {
    object = platform.CreateRequestObject();
    if (object.IsEmpty()) {
      platform.ReleaseCom();
      return ByteArray();
    }
  }

  if (parameters.timeoutSeconds != kLeaveTimeoutsAlone) {
    const int32_t ms = TimeoutMilliseconds(parameters.timeoutSeconds);
    object.SetTimeouts(ms, ms, ms, ms);
  }
  if (!parameters.proxy.IsEmpty()) object.SetProxy(kProxySettingNamed, parameters.proxy);

  object.Open(methodName, parameters.url, false);
  if (parameters.noRedirect) object.SetOption(kOptionFollowRedirects, 0);
  object.SetOption(kOptionIgnoredCertificateErrors, kAllCertificateErrors);

  Text block = parameters.requestHeaders;
  if (parameters.completeHeaders) {
    block = CompleteRequestHeaders(block, parameters.url, method == kPostMethod);
  }
  if (parameters.normaliseHeaders) block = NormaliseHeaderNames(block);

  if (!parameters.proxy.IsEmpty() && !parameters.proxyUser.IsEmpty()) {
    const int32_t target = parameters.credentialsTarget.value_or(kCredentialsForProxy);
    object.SetCredentials(parameters.proxyUser, parameters.proxyPassword, target);
    if (target == kCredentialsForProxy) {
      const Text credential = ConcatText(parameters.proxyUser, ":", parameters.proxyPassword);
      object.SetRequestHeader("Proxy-Authorization",
                              ConcatText("Basic ", Base64Encode(TextToBytes(credential))));
    }
  }

  if (Text* cookies = parameters.cookies) {
    // A caller may hand over a whole "Cookie: ..." line; the name goes, the value is sent.
    if (!cookies->IsEmpty() && FindText(*cookies, "Cookie:", 0, true) != -1) {
      *cookies = ReplaceText(*cookies, "Cookie:", Text(), false);
    }
    object.SetRequestHeader("Cookie", *cookies);
  }

  for (const HeaderPair& pair : RequestHeaderPairs(block)) {
    object.SetRequestHeader(pair.name, pair.value);
  }

  if (!BytesEqual(parameters.bodyBytes, ByteArray())) {
    object.Send(parameters.bodyBytes);
  } else {
    object.Send(parameters.bodyText);
  }

  ByteArray body = object.ResponseBody();
  const Text responseHeaders = object.GetAllResponseHeaders();
  const int32_t statusCode = StatusToInteger(object.Status());
  if (parameters.responseHeaders) *parameters.responseHeaders = responseHeaders;
  if (parameters.statusCode) *parameters.statusCode = statusCode;

  Text receivedCookies = CollectSetCookies(SplitText(responseHeaders, "\r\n"));
  if (parameters.mergeCookies && parameters.cookies) {
    receivedCookies = MergeCookies(*parameters.cookies, receivedCookies);
  }
  if (parameters.receivedCookies) *parameters.receivedCookies = receivedCookies;

  object.Clear();
  platform.ReleaseCom();
  return body;
}

}  // namespace tolvaris
