#pragma once

#include <curl/curl.h>

#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/posix/curl_response_store.h"
#include "platform/posix/curl_timeouts.h"
#include "web/request_object.h"

namespace tolvaris {

// The request object of the POSIX build: one libcurl easy handle (on a multi handle of its
// own, for the stall watch of RunCurlTransfer) behind the members the request routine uses.
//
// Time-outs, proxy and the two options belong to the object and outlast Open; Open starts a
// new request (method, URL, headers, credentials) and forgets the last answer. Texts are bytes
// and go out unchanged. Only HTTP and HTTPS are spoken, over HTTP/1.1 as the Windows object
// does (header names keep the server's spelling). One object serves one thread at a time.
class CurlRequestObject final : public RequestObjectInterface {
 public:
  // nullptr when libcurl cannot be set up or makes no handle.
  static std::shared_ptr<CurlRequestObject> Create();
  ~CurlRequestObject() override;
  CurlRequestObject(const CurlRequestObject&) = delete;
  CurlRequestObject& operator=(const CurlRequestObject&) = delete;

  // See CurlTimeoutsFrom; a value below -1 fails.
  bool SetTimeouts(int32_t resolveMs, int32_t connectMs, int32_t sendMs,
                   int32_t receiveMs) override;
  // Only setting 2, a named HTTP proxy ("host:port" or "http://host:port"); it is used for
  // every host. Without it libcurl's own choice applies, which honours http_proxy.
  bool SetProxy(int32_t setting, const Text& server) override;
  // A method that is an HTTP token and an http:// or https:// URL; async requests fail.
  bool Open(const Text& method, const Text& url, bool async) override;
  // 6: redirects followed (the default, at most 10) or not (0). 4: any mix of 0x0100 (unknown
  // authority: peer check off, which covers date and purpose too) and 0x1000 (host name check
  // off); 0x0200 and 0x2000 have no check of their own and are accepted without effect.
  bool SetOption(int32_t index, int32_t value) override;
  // Basic credentials for the server (0) or the proxy (1), after Open.
  bool SetCredentials(const Text& user, const Text& password, int32_t target) override;
  // After Open. A header set again replaces the earlier one of that name (ASCII case ignored).
  // A name that is no HTTP token, or a value holding CR, LF or a zero byte, is refused.
  // "Proxy-Authorization" goes to the proxy only, never to the server.
  bool SetRequestHeader(const Text& name, const Text& value) override;
  // Performs the request; blocks until the answer is in or the request failed. HEAD sends no
  // body. A failed Send leaves no answer: empty headers and body, status 0. A proxy that
  // refuses an HTTPS tunnel counts as an answer: its status (407, say) with no header lines,
  // as a plain-HTTP request through it would get the proxy's status too.
  bool Send(const Text& body) override;
  bool Send(const ByteArray& body) override;
  ByteArray ResponseBody() override;
  // The header lines of the final answer; see CurlResponseStore.
  Text GetAllResponseHeaders() override;
  double Status() override;

 private:
  struct Credentials {
    std::string user;
    std::string password;
  };
  struct Header {
    std::string name;
    std::string value;
  };

  CurlRequestObject(CURL* easy, CURLM* multi) : easy_(easy), multi_(multi) {}
  bool Perform(std::string_view body);

  CURL* easy_;
  CURLM* multi_;

  CurlTimeouts timeouts_ = kDefaultCurlTimeouts;
  std::optional<std::string> proxy_;
  bool followRedirects_ = true;
  bool verifyPeer_ = true;
  bool verifyHost_ = true;

  bool opened_ = false;
  std::string method_;
  std::string url_;
  std::vector<Header> headers_;
  std::optional<Credentials> serverCredentials_;
  std::optional<Credentials> proxyCredentials_;

  CurlResponseStore response_;
  long status_ = 0;
};

// The request platform of the POSIX build: no COM to set up, objects made on libcurl.
class CurlRequestPlatform final : public RequestPlatform {
 public:
  void InitialiseCom() override {}
  void ReleaseCom() override {}
  RequestObject CreateRequestObject() override;
};

}  // namespace tolvaris
