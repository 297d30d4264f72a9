#pragma once

#include "platform/win32/dispatch_object.h"
#include "web/request_object.h"

namespace tolvaris {

// The Windows HTTP request object, WinHttp.WinHttpRequest.5.1, reached by member name.
class WinHttpRequestObject final : public RequestObjectInterface {
 public:
  explicit WinHttpRequestObject(DispatchObject object) : object_(std::move(object)) {}

  bool SetTimeouts(int32_t resolveMs, int32_t connectMs, int32_t sendMs,
                   int32_t receiveMs) override;
  bool SetProxy(int32_t setting, const Text& server) override;
  bool Open(const Text& method, const Text& url, bool async) override;
  bool SetOption(int32_t index, int32_t value) override;
  bool SetCredentials(const Text& user, const Text& password, int32_t target) override;
  bool SetRequestHeader(const Text& name, const Text& value) override;
  bool Send(const Text& body) override;
  bool Send(const ByteArray& body) override;
  ByteArray ResponseBody() override;
  Text GetAllResponseHeaders() override;
  double Status() override;

 private:
  DispatchObject object_;
};

inline constexpr wchar_t kWinHttpRequestProgId[] = L"WinHttp.WinHttpRequest.5.1";

// COM on the calling thread around each request, and request objects from the ProgID.
class Win32RequestPlatform final : public RequestPlatform {
 public:
  // CoInitialize; a thread whose COM was already set up differently keeps it as it is.
  void InitialiseCom() override;
  // CoUninitialize, only for an InitialiseCom of this thread that succeeded (innermost first).
  void ReleaseCom() override;
  RequestObject CreateRequestObject() override;
};

}  // namespace tolvaris
