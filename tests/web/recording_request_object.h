#pragma once

#include <deque>
#include <memory>
#include <string>
#include <vector>

#include "core/bytes.h"
#include "core/text.h"
#include "web/request_object.h"

namespace tolvaris::testing {

// Every call on the platform and its request objects, in order, as one readable line each:
// "Open(HEAD, http://h/, false)", "SetRequestHeader(Accept, */*)", "Send(text: )".
using CallLog = std::vector<std::string>;

// What one request object answers once it has been sent.
struct FakeResponse {
  ByteArray body;
  Text headers;
  double status = 200;
  bool sendFails = false;  // Send fails, and every read after it fails too
};

class RecordingRequestObject final : public RequestObjectInterface {
 public:
  RecordingRequestObject(std::shared_ptr<CallLog> log, FakeResponse response)
      : log_(std::move(log)), response_(std::move(response)) {}

  bool SetTimeouts(int32_t resolveMs, int32_t connectMs, int32_t sendMs,
                   int32_t receiveMs) override {
    return Record("SetTimeouts(" + std::to_string(resolveMs) + ", " + std::to_string(connectMs) +
                  ", " + std::to_string(sendMs) + ", " + std::to_string(receiveMs) + ")");
  }
  bool SetProxy(int32_t setting, const Text& server) override {
    return Record("SetProxy(" + std::to_string(setting) + ", " + server.Bytes() + ")");
  }
  bool Open(const Text& method, const Text& url, bool async) override {
    return Record("Open(" + method.Bytes() + ", " + url.Bytes() + ", " + Bool(async) + ")");
  }
  bool SetOption(int32_t index, int32_t value) override {
    return Record("Option(" + std::to_string(index) + ") = " + std::to_string(value));
  }
  bool SetCredentials(const Text& user, const Text& password, int32_t target) override {
    return Record("SetCredentials(" + user.Bytes() + ", " + password.Bytes() + ", " +
                  std::to_string(target) + ")");
  }
  bool SetRequestHeader(const Text& name, const Text& value) override {
    return Record("SetRequestHeader(" + name.Bytes() + ", " + value.Bytes() + ")");
  }
  bool Send(const Text& body) override {
    Record("Send(text: " + body.Bytes() + ")");
    sent_ = !response_.sendFails;
    return sent_;
  }
  bool Send(const ByteArray& body) override {
    Record("Send(bytes: " + std::string(body.Bytes().begin(), body.Bytes().end()) + ")");
    sent_ = !response_.sendFails;
    return sent_;
  }
  ByteArray ResponseBody() override {
    Record("ResponseBody");
    return sent_ ? response_.body : ByteArray();
  }
  Text GetAllResponseHeaders() override {
    Record("GetAllResponseHeaders");
    return sent_ ? response_.headers : Text();
  }
  double Status() override {
    Record("Status");
    return sent_ ? response_.status : 0.0;
  }

 private:
  static std::string Bool(bool value) { return value ? "true" : "false"; }
  bool Record(std::string call) {
    log_->push_back(std::move(call));
    return true;
  }

  std::shared_ptr<CallLog> log_;
  FakeResponse response_;
  bool sent_ = false;
};

// Hands out one recording object per CreateRequestObject, each answering with the next queued
// response (or the last one once the queue is down to it); creation fails when asked to.
class RecordingRequestPlatform final : public RequestPlatform {
 public:
  explicit RecordingRequestPlatform(std::vector<FakeResponse> responses = {FakeResponse{}})
      : responses_(responses.begin(), responses.end()) {}

  void InitialiseCom() override { log->push_back("InitialiseCom"); }
  void ReleaseCom() override { log->push_back("ReleaseCom"); }
  RequestObject CreateRequestObject() override {
    log->push_back("CreateRequestObject");
    if (creationFails) return RequestObject();
    return RequestObject(std::make_shared<RecordingRequestObject>(log, NextResponse()));
  }

  // An object as a caller would create and pass it in, recording into the same log.
  RequestObject MakeCallersObject(FakeResponse response) {
    return RequestObject(std::make_shared<RecordingRequestObject>(log, std::move(response)));
  }

  std::shared_ptr<CallLog> log = std::make_shared<CallLog>();
  bool creationFails = false;

 private:
  FakeResponse NextResponse() {
    if (responses_.empty()) return FakeResponse{};
    FakeResponse next = responses_.front();
    if (responses_.size() > 1) responses_.pop_front();
    return next;
  }

  std::deque<FakeResponse> responses_;
};

}  // namespace tolvaris::testing
