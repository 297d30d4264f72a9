#pragma once

#include <cstdint>
#include <memory>

#include "core/bytes.h"
#include "core/text.h"

namespace tolvaris {

// The request object's own numbers, as WinHttp.WinHttpRequest.5.1 defines them.
inline constexpr int32_t kProxySettingNamed = 2;  // SetProxy: use the named proxy server
inline constexpr int32_t kOptionIgnoredCertificateErrors = 4;  // Option index: flags below
inline constexpr int32_t kOptionFollowRedirects = 6;           // Option index: 0 turns it off
inline constexpr int32_t kCertificateUnknownAuthority = 0x0100;
inline constexpr int32_t kCertificateWrongUsage = 0x0200;
inline constexpr int32_t kCertificateInvalidCommonName = 0x1000;
inline constexpr int32_t kCertificateInvalidDate = 0x2000;
inline constexpr int32_t kAllCertificateErrors =
    kCertificateUnknownAuthority | kCertificateWrongUsage | kCertificateInvalidCommonName |
    kCertificateInvalidDate;                         // 0x3300
inline constexpr int32_t kCredentialsForServer = 0;  // SetCredentials target
inline constexpr int32_t kCredentialsForProxy = 1;

// The members of the platform's HTTP request object (WinHttp.WinHttpRequest.5.1 on Windows, a
// libcurl easy handle on Linux) that the request routine uses. Every member may fail; a failed
// call has no effect, returns false, and a failed read gives the empty text, 0 or no bytes.
class RequestObjectInterface {
 public:
  virtual ~RequestObjectInterface() = default;

  // Milliseconds for name resolution, connection, sending and receiving.
  virtual bool SetTimeouts(int32_t resolveMs, int32_t connectMs, int32_t sendMs,
                           int32_t receiveMs) = 0;
  // setting 2: use the named proxy server.
  virtual bool SetProxy(int32_t setting, const Text& server) = 0;
  virtual bool Open(const Text& method, const Text& url, bool async) = 0;
  // Indexed property write Option(index) = value: 6 follow redirects, 4 certificate errors to
  // ignore.
  virtual bool SetOption(int32_t index, int32_t value) = 0;
  // target 0: server, 1: proxy.
  virtual bool SetCredentials(const Text& user, const Text& password, int32_t target) = 0;
  virtual bool SetRequestHeader(const Text& name, const Text& value) = 0;
  virtual bool Send(const Text& body) = 0;
  virtual bool Send(const ByteArray& body) = 0;
  virtual ByteArray ResponseBody() = 0;
  // Header lines of the response, each ending in "\r\n".
  virtual Text GetAllResponseHeaders() = 0;
  virtual double Status() = 0;
};

// A counted reference to one request object: copies share the instance, and an empty reference
// fails every call.
class RequestObject {
 public:
  RequestObject() = default;
  explicit RequestObject(std::shared_ptr<RequestObjectInterface> instance)
      : instance_(std::move(instance)) {}

  bool IsEmpty() const { return instance_ == nullptr; }
  void Clear() { instance_.reset(); }
  RequestObjectInterface* Instance() const { return instance_.get(); }

  bool SetTimeouts(int32_t resolveMs, int32_t connectMs, int32_t sendMs, int32_t receiveMs) const {
    return instance_ && instance_->SetTimeouts(resolveMs, connectMs, sendMs, receiveMs);
  }
  bool SetProxy(int32_t setting, const Text& server) const {
    return instance_ && instance_->SetProxy(setting, server);
  }
  bool Open(const Text& method, const Text& url, bool async) const {
    return instance_ && instance_->Open(method, url, async);
  }
  bool SetOption(int32_t index, int32_t value) const {
    return instance_ && instance_->SetOption(index, value);
  }
  bool SetCredentials(const Text& user, const Text& password, int32_t target) const {
    return instance_ && instance_->SetCredentials(user, password, target);
  }
  bool SetRequestHeader(const Text& name, const Text& value) const {
    return instance_ && instance_->SetRequestHeader(name, value);
  }
  bool Send(const Text& body) const { return instance_ && instance_->Send(body); }
  bool Send(const ByteArray& body) const { return instance_ && instance_->Send(body); }
  ByteArray ResponseBody() const { return instance_ ? instance_->ResponseBody() : ByteArray(); }
  Text GetAllResponseHeaders() const {
    return instance_ ? instance_->GetAllResponseHeaders() : Text();
  }
  double Status() const { return instance_ ? instance_->Status() : 0.0; }

 private:
  std::shared_ptr<RequestObjectInterface> instance_;
};

// What the request routine needs of the platform around the object: COM set-up on the calling
// thread (nothing to do on Linux) and creating the object from its ProgID.
class RequestPlatform {
 public:
  virtual ~RequestPlatform() = default;
  virtual void InitialiseCom() = 0;
  virtual void ReleaseCom() = 0;
  // An empty RequestObject when the object cannot be created.
  virtual RequestObject CreateRequestObject() = 0;
};

}  // namespace tolvaris
