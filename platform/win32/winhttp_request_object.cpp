#include "platform/win32/winhttp_request_object.h"

#include <objbase.h>

#include <memory>
#include <vector>

namespace tolvaris {

bool WinHttpRequestObject::SetTimeouts(int32_t resolveMs, int32_t connectMs, int32_t sendMs,
                                       int32_t receiveMs) {
  return object_.CallMethod(L"SetTimeouts", {resolveMs, connectMs, sendMs, receiveMs});
}

bool WinHttpRequestObject::SetProxy(int32_t setting, const Text& server) {
  return object_.CallMethod(L"SetProxy", {setting, server});
}

bool WinHttpRequestObject::Open(const Text& method, const Text& url, bool async) {
  return object_.CallMethod(L"Open", {method, url, async});
}

bool WinHttpRequestObject::SetOption(int32_t index, int32_t value) {
  return object_.PutProperty(L"Option", {index}, value);
}

bool WinHttpRequestObject::SetCredentials(const Text& user, const Text& password, int32_t target) {
  return object_.CallMethod(L"SetCredentials", {user, password, target});
}

bool WinHttpRequestObject::SetRequestHeader(const Text& name, const Text& value) {
  return object_.CallMethod(L"SetRequestHeader", {name, value});
}

bool WinHttpRequestObject::Send(const Text& body) { return object_.CallMethod(L"Send", {body}); }

bool WinHttpRequestObject::Send(const ByteArray& body) {
  return object_.CallMethod(L"Send", {body});
}

ByteArray WinHttpRequestObject::ResponseBody() { return object_.ReadBytes(L"ResponseBody"); }

Text WinHttpRequestObject::GetAllResponseHeaders() {
  return object_.ReadText(L"GetAllResponseHeaders");
}

double WinHttpRequestObject::Status() { return object_.ReadNumber(L"Status"); }

namespace {

// Whether each pending InitialiseCom of this thread succeeded, innermost last. COM's own
// initialisation is per thread, so this record has to be as well.
std::vector<bool>& ComInitialisations() {
  thread_local std::vector<bool> initialisations;
  return initialisations;
}

}  // namespace

void Win32RequestPlatform::InitialiseCom() {
  ComInitialisations().push_back(SUCCEEDED(CoInitialize(nullptr)));
}

void Win32RequestPlatform::ReleaseCom() {
  std::vector<bool>& initialisations = ComInitialisations();
  if (initialisations.empty()) return;
  const bool succeeded = initialisations.back();
  initialisations.pop_back();
  if (succeeded) CoUninitialize();
}

RequestObject Win32RequestPlatform::CreateRequestObject() {
  DispatchObject object = DispatchObject::CreateFromProgId(kWinHttpRequestProgId);
  if (object.IsEmpty()) return {};
  return RequestObject(std::make_shared<WinHttpRequestObject>(std::move(object)));
}

}  // namespace tolvaris
