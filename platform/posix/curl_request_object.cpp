#include "platform/posix/curl_request_object.h"

#include <memory>

#include "platform/posix/curl_request_rules.h"
#include "platform/posix/curl_transfer.h"

namespace tolvaris {
namespace {

constexpr long kMostRedirects = 10;
constexpr char kWebProtocols[] = "http,https";

bool CurlReady() {
  // curl_global_init is not thread-safe; a function-local static runs it exactly once.
  static const bool ready = curl_global_init(CURL_GLOBAL_DEFAULT) == CURLE_OK;
  return ready;
}

bool IsWebUrl(const std::string& url) {
  std::unique_ptr<CURLU, decltype(&curl_url_cleanup)> parsed(curl_url(), curl_url_cleanup);
  if (!parsed || curl_url_set(parsed.get(), CURLUPART_URL, url.c_str(), 0) != CURLUE_OK) {
    return false;
  }
  char* scheme = nullptr;
  if (curl_url_get(parsed.get(), CURLUPART_SCHEME, &scheme, 0) != CURLUE_OK) return false;
  const std::string_view name(scheme);
  const bool web = name == "http" || name == "https";
  curl_free(scheme);
  return web;
}

bool IsProxyServer(std::string_view server) {
  if (server.empty()) return false;
  for (char byte : server) {
    if (static_cast<unsigned char>(byte) <= ' ' || byte == 0x7f) return false;
  }
  const size_t scheme = server.find("://");
  return scheme == std::string_view::npos ||
         EqualIgnoringAsciiCase(server.substr(0, scheme), "http");
}

// After a failed tunnel: the proxy's answer to CONNECT, when it gave one other than 2xx.
bool ProxyRefusedTunnel(CURL* easy, long& status) {
  long connectStatus = 0;
  if (curl_easy_getinfo(easy, CURLINFO_HTTP_CONNECTCODE, &connectStatus) != CURLE_OK ||
      connectStatus < 300) {
    return false;
  }
  status = connectStatus;
  return true;
}

struct SlistFree {
  void operator()(curl_slist* list) const { curl_slist_free_all(list); }
};
using Slist = std::unique_ptr<curl_slist, SlistFree>;

bool Append(Slist& list, const std::string& line) {
  curl_slist* grown = curl_slist_append(list.get(), line.c_str());
  if (!grown) return false;
  list.release();
  list.reset(grown);
  return true;
}

// Collects the outcome of many curl_easy_setopt calls: one refused option fails the request.
class Options {
 public:
  explicit Options(CURL* easy) : easy_(easy) {}
  template <typename Value>
  void Set(CURLoption option, Value value) {
    if (curl_easy_setopt(easy_, option, value) != CURLE_OK) ok_ = false;
  }
  void Fail() { ok_ = false; }
  bool Ok() const { return ok_; }

 private:
  CURL* easy_;
  bool ok_ = true;
};

}  // namespace

std::shared_ptr<CurlRequestObject> CurlRequestObject::Create() {
  if (!CurlReady()) return nullptr;
  CURL* easy = curl_easy_init();
  CURLM* multi = curl_multi_init();
  if (!easy || !multi) {
    curl_easy_cleanup(easy);
    curl_multi_cleanup(multi);
    return nullptr;
  }
  return std::shared_ptr<CurlRequestObject>(new CurlRequestObject(easy, multi));
}

CurlRequestObject::~CurlRequestObject() {
  curl_easy_cleanup(easy_);
  curl_multi_cleanup(multi_);
}

bool CurlRequestObject::SetTimeouts(int32_t resolveMs, int32_t connectMs, int32_t sendMs,
                                    int32_t receiveMs) {
  const std::optional<CurlTimeouts> timeouts =
      CurlTimeoutsFrom(resolveMs, connectMs, sendMs, receiveMs);
  if (!timeouts) return false;
  timeouts_ = *timeouts;
  return true;
}

bool CurlRequestObject::SetProxy(int32_t setting, const Text& server) {
  if (setting != kProxySettingNamed || !IsProxyServer(server.View())) return false;
  proxy_ = server.Bytes();
  return true;
}

bool CurlRequestObject::Open(const Text& method, const Text& url, bool async) {
  if (async || !IsHttpToken(method.View()) || !IsWebUrl(url.Bytes())) return false;
  opened_ = true;
  method_ = method.Bytes();
  url_ = url.Bytes();
  headers_.clear();
  serverCredentials_.reset();
  proxyCredentials_.reset();
  response_.Clear();
  status_ = 0;
  return true;
}

bool CurlRequestObject::SetOption(int32_t index, int32_t value) {
  if (index == kOptionFollowRedirects) {
    followRedirects_ = value != 0;
    return true;
  }
  if (index == kOptionIgnoredCertificateErrors) {
    if ((value & ~kAllCertificateErrors) != 0) return false;
    verifyPeer_ = (value & kCertificateUnknownAuthority) == 0;
    verifyHost_ = (value & kCertificateInvalidCommonName) == 0;
    return true;
  }
  return false;
}

bool CurlRequestObject::SetCredentials(const Text& user, const Text& password, int32_t target) {
  if (!opened_) return false;
  Credentials credentials{user.Bytes(), password.Bytes()};
  if (target == kCredentialsForServer) {
    serverCredentials_ = std::move(credentials);
  } else if (target == kCredentialsForProxy) {
    proxyCredentials_ = std::move(credentials);
  } else {
    return false;
  }
  return true;
}

bool CurlRequestObject::SetRequestHeader(const Text& name, const Text& value) {
  if (!opened_ || !IsHttpToken(name.View()) || !IsSendableHeaderValue(value.View())) {
    return false;
  }
  for (Header& header : headers_) {
    if (EqualIgnoringAsciiCase(header.name, name.View())) {
      header.value = value.Bytes();
      return true;
    }
  }
  headers_.push_back({name.Bytes(), value.Bytes()});
  return true;
}

bool CurlRequestObject::Send(const Text& body) { return Perform(body.View()); }

bool CurlRequestObject::Send(const ByteArray& body) {
  const std::vector<uint8_t>& bytes = body.Bytes();
  return Perform(std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size()));
}

bool CurlRequestObject::Perform(std::string_view body) {
  response_.Clear();
  status_ = 0;
  if (!opened_) return false;

  curl_easy_reset(easy_);
  Options options(easy_);
  options.Set(CURLOPT_URL, url_.c_str());
  options.Set(CURLOPT_PROTOCOLS_STR, kWebProtocols);
  options.Set(CURLOPT_REDIR_PROTOCOLS_STR, kWebProtocols);
  options.Set(CURLOPT_NOSIGNAL, 1L);
  options.Set(CURLOPT_HTTP_VERSION, static_cast<long>(CURL_HTTP_VERSION_1_1));
  options.Set(CURLOPT_FOLLOWLOCATION, followRedirects_ ? 1L : 0L);
  options.Set(CURLOPT_MAXREDIRS, kMostRedirects);
  options.Set(CURLOPT_SSL_VERIFYPEER, verifyPeer_ ? 1L : 0L);
  options.Set(CURLOPT_SSL_VERIFYHOST, verifyHost_ ? 2L : 0L);
  options.Set(CURLOPT_MAXFILESIZE_LARGE, static_cast<curl_off_t>(CurlResponseStore::kBodyLimit));

  // HEAD takes no body. POST, PUT and PATCH always carry one, if empty (Content-Length: 0);
  // the other methods only when they are given one.
  const bool head = method_ == "HEAD";
  const bool carriesBody =
      !head && (!body.empty() || method_ == "POST" || method_ == "PUT" || method_ == "PATCH");
  if (head) {
    options.Set(CURLOPT_NOBODY, 1L);
  } else if (carriesBody) {
    options.Set(CURLOPT_POSTFIELDSIZE_LARGE, static_cast<curl_off_t>(body.size()));
    // Never a null pointer: libcurl would then read the body from stdin.
    options.Set(CURLOPT_POSTFIELDS, body.empty() ? "" : body.data());
    if (method_ != "POST") options.Set(CURLOPT_CUSTOMREQUEST, method_.c_str());
  } else {
    options.Set(CURLOPT_HTTPGET, 1L);
    if (method_ != "GET") options.Set(CURLOPT_CUSTOMREQUEST, method_.c_str());
  }

  // The caller's headers and nothing else: libcurl's form Content-Type and its
  // "Expect: 100-continue" stay out unless the caller sets them.
  Slist serverHeaders;
  Slist proxyHeaders;
  bool hasContentType = false;
  bool hasExpect = false;
  for (const Header& header : headers_) {
    const bool forProxy = EqualIgnoringAsciiCase(header.name, "Proxy-Authorization");
    hasContentType = hasContentType || EqualIgnoringAsciiCase(header.name, "Content-Type");
    hasExpect = hasExpect || EqualIgnoringAsciiCase(header.name, "Expect");
    if (!Append(forProxy ? proxyHeaders : serverHeaders,
                CurlHeaderLine(header.name, header.value))) {
      options.Fail();
    }
  }
  if (!hasContentType && !Append(serverHeaders, "Content-Type:")) options.Fail();
  if (!hasExpect && !Append(serverHeaders, "Expect:")) options.Fail();
  // Separate lists: through a tunnel the server sees none of the proxy's headers, the proxy
  // none of the server's.
  options.Set(CURLOPT_HEADEROPT, static_cast<long>(CURLHEADER_SEPARATE));
  options.Set(CURLOPT_HTTPHEADER, serverHeaders.get());
  options.Set(CURLOPT_PROXYHEADER, proxyHeaders.get());
  options.Set(CURLOPT_SUPPRESS_CONNECT_HEADERS, 1L);

  if (proxy_) {
    options.Set(CURLOPT_PROXY, proxy_->c_str());
    options.Set(CURLOPT_PROXYTYPE, static_cast<long>(CURLPROXY_HTTP));
    // A named proxy is used for every host, whatever no_proxy says.
    options.Set(CURLOPT_NOPROXY, "");
  }
  if (proxyCredentials_) {
    options.Set(CURLOPT_PROXYUSERNAME, proxyCredentials_->user.c_str());
    options.Set(CURLOPT_PROXYPASSWORD, proxyCredentials_->password.c_str());
    options.Set(CURLOPT_PROXYAUTH, static_cast<long>(CURLAUTH_BASIC));
  }
  if (serverCredentials_) {
    options.Set(CURLOPT_USERNAME, serverCredentials_->user.c_str());
    options.Set(CURLOPT_PASSWORD, serverCredentials_->password.c_str());
    options.Set(CURLOPT_HTTPAUTH, static_cast<long>(CURLAUTH_BASIC));
  }

  CURLcode outcome = CURLE_FAILED_INIT;
  if (options.Ok()) {
    const curl_off_t uploadSize = carriesBody ? static_cast<curl_off_t>(body.size()) : 0;
    outcome = RunCurlTransfer(multi_, easy_, timeouts_, uploadSize, response_);
  }
  long status = 0;
  bool sent =
      outcome == CURLE_OK && curl_easy_getinfo(easy_, CURLINFO_RESPONSE_CODE, &status) == CURLE_OK;
  if (outcome != CURLE_OK && ProxyRefusedTunnel(easy_, status)) {
    // A proxy that refuses the tunnel (407: no credentials) answered all the same; its
    // status stands, as it does for a plain-HTTP request through that proxy.
    response_.Clear();
    sent = true;
  }
  if (sent) {
    status_ = status;
  } else {
    response_.Clear();
  }
  // The handle points into this call's header lists and body; it keeps none of them.
  curl_easy_reset(easy_);
  return sent;
}

ByteArray CurlRequestObject::ResponseBody() { return response_.Body(); }

Text CurlRequestObject::GetAllResponseHeaders() {
  return Text(std::string_view(response_.HeaderLines()));
}

double CurlRequestObject::Status() { return static_cast<double>(status_); }

RequestObject CurlRequestPlatform::CreateRequestObject() {
  std::shared_ptr<CurlRequestObject> object = CurlRequestObject::Create();
  return object ? RequestObject(std::move(object)) : RequestObject();
}

}  // namespace tolvaris
