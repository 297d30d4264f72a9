#pragma once

#include <curl/curl.h>

#include "platform/posix/curl_response_store.h"
#include "platform/posix/curl_timeouts.h"

namespace tolvaris {

// Runs one prepared easy handle to its end on the multi handle, and returns libcurl's outcome.
//
// libcurl bounds the connect phase (CURLOPT_CONNECTTIMEOUT_MS); after it, the transfer gives
// up with CURLE_OPERATION_TIMEDOUT once no byte has moved for the stall time-out of its
// direction: sendStallMs while the body of uploadSize bytes goes out, receiveStallMs after.
// The watch runs on our own poll loop so that it is exact to the millisecond; libcurl's low-
// speed check works in whole seconds on a moving average and would let a trickle through.
//
// The answer goes to store, which decides what is kept (and may abandon the transfer).
CURLcode RunCurlTransfer(CURLM* multi, CURL* easy, const CurlTimeouts& timeouts,
                         curl_off_t uploadSize, CurlResponseStore& store);

}  // namespace tolvaris
