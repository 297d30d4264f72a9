#include "platform/posix/curl_transfer.h"

#include <algorithm>
#include <chrono>
#include <climits>
#include <string_view>

namespace tolvaris {
namespace {

using Clock = std::chrono::steady_clock;

struct TransferWatch {
  CurlResponseStore* store = nullptr;
  curl_off_t uploadSize = 0;
  curl_off_t uploaded = 0;
  // From the start and again from every new socket until the request is about to go out:
  // that time belongs to libcurl's connect time-out, not to the stall watch.
  bool connecting = true;
  Clock::time_point lastProgress = Clock::now();

  void Progress() { lastProgress = Clock::now(); }
  int64_t StallLimitMs(const CurlTimeouts& timeouts) const {
    return uploaded < uploadSize ? timeouts.sendStallMs : timeouts.receiveStallMs;
  }
};

size_t OnHeader(char* buffer, size_t size, size_t count, void* data) {
  auto* watch = static_cast<TransferWatch*>(data);
  const size_t length = size * count;
  watch->Progress();
  // Any count other than length makes libcurl abandon the transfer.
  return watch->store->AddHeaderLine(std::string_view(buffer, length)) ? length : 0;
}

size_t OnBody(char* buffer, size_t size, size_t count, void* data) {
  auto* watch = static_cast<TransferWatch*>(data);
  const size_t length = size * count;
  watch->Progress();
  return watch->store->AddBody(std::string_view(buffer, length)) ? length : 0;
}

int OnProgress(void* data, curl_off_t, curl_off_t, curl_off_t, curl_off_t uploaded) {
  auto* watch = static_cast<TransferWatch*>(data);
  if (uploaded > watch->uploaded) {
    watch->uploaded = uploaded;
    watch->Progress();
  }
  return 0;
}

int OnNewSocket(void* data, curl_socket_t, curlsocktype) {
  static_cast<TransferWatch*>(data)->connecting = true;
  return CURL_SOCKOPT_OK;
}

int OnConnected(void* data, char*, char*, int, int) {
  auto* watch = static_cast<TransferWatch*>(data);
  watch->connecting = false;
  watch->Progress();
  return CURL_PREREQFUNC_OK;
}

void InstallWatch(CURL* easy, TransferWatch& watch, const CurlTimeouts& timeouts) {
  const int64_t connectMs = std::min<int64_t>(timeouts.connectPhaseMs, LONG_MAX);
  curl_easy_setopt(easy, CURLOPT_CONNECTTIMEOUT_MS, static_cast<long>(connectMs));
  curl_easy_setopt(easy, CURLOPT_HEADERFUNCTION, OnHeader);
  curl_easy_setopt(easy, CURLOPT_HEADERDATA, &watch);
  curl_easy_setopt(easy, CURLOPT_WRITEFUNCTION, OnBody);
  curl_easy_setopt(easy, CURLOPT_WRITEDATA, &watch);
  curl_easy_setopt(easy, CURLOPT_NOPROGRESS, 0L);
  curl_easy_setopt(easy, CURLOPT_XFERINFOFUNCTION, OnProgress);
  curl_easy_setopt(easy, CURLOPT_XFERINFODATA, &watch);
  curl_easy_setopt(easy, CURLOPT_SOCKOPTFUNCTION, OnNewSocket);
  curl_easy_setopt(easy, CURLOPT_SOCKOPTDATA, &watch);
  curl_easy_setopt(easy, CURLOPT_PREREQFUNCTION, OnConnected);
  curl_easy_setopt(easy, CURLOPT_PREREQDATA, &watch);
}

// The callbacks point into the watch on RunCurlTransfer's stack; none may outlive it.
void RemoveWatch(CURL* easy) {
  curl_easy_setopt(easy, CURLOPT_HEADERFUNCTION, nullptr);
  curl_easy_setopt(easy, CURLOPT_HEADERDATA, nullptr);
  curl_easy_setopt(easy, CURLOPT_WRITEFUNCTION, nullptr);
  curl_easy_setopt(easy, CURLOPT_WRITEDATA, nullptr);
  curl_easy_setopt(easy, CURLOPT_NOPROGRESS, 1L);
  curl_easy_setopt(easy, CURLOPT_XFERINFOFUNCTION, nullptr);
  curl_easy_setopt(easy, CURLOPT_SOCKOPTFUNCTION, nullptr);
  curl_easy_setopt(easy, CURLOPT_PREREQFUNCTION, nullptr);
}

}  // namespace

CURLcode RunCurlTransfer(CURLM* multi, CURL* easy, const CurlTimeouts& timeouts,
                         curl_off_t uploadSize, CurlResponseStore& store) {
  TransferWatch watch;
  watch.store = &store;
  watch.uploadSize = uploadSize;
  InstallWatch(easy, watch, timeouts);

  CURLcode result = CURLE_FAILED_INIT;
  if (curl_multi_add_handle(multi, easy) != CURLM_OK) {
    RemoveWatch(easy);
    return result;
  }

  bool stalled = false;
  for (;;) {
    int running = 0;
    if (curl_multi_perform(multi, &running) != CURLM_OK || running == 0) break;

    // libcurl wakes up at least once a second on its own; while the stall watch runs, the
    // wait ends no later than the moment the transfer would count as stalled.
    int waitMs = 1000;
    if (!watch.connecting) {
      const int64_t idleMs =
          std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - watch.lastProgress)
              .count();
      const int64_t leftMs = watch.StallLimitMs(timeouts) - idleMs;
      if (leftMs <= 0) {
        stalled = true;
        break;
      }
      waitMs = static_cast<int>(std::min<int64_t>(waitMs, leftMs));
    }
    if (curl_multi_poll(multi, nullptr, 0, waitMs, nullptr) != CURLM_OK) break;
  }

  int left = 0;
  while (CURLMsg* message = curl_multi_info_read(multi, &left)) {
    if (message->msg == CURLMSG_DONE && message->easy_handle == easy) {
      result = message->data.result;
    }
  }
  if (stalled) result = CURLE_OPERATION_TIMEDOUT;
  curl_multi_remove_handle(multi, easy);
  RemoveWatch(easy);
  return result;
}

}  // namespace tolvaris
