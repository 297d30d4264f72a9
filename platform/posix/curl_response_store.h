#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "core/bytes.h"

namespace tolvaris {

// What one transfer keeps of the final response (the last one after redirects, 1xx answers and
// proxy handshakes): its header lines and its body.
//
// Both are capped so that a hostile server cannot exhaust memory. Going past a cap abandons
// the transfer instead of keeping a cut-off part: a truncated header block or body would look
// complete to the caller, a failed request does not.
class CurlResponseStore {
 public:
  static constexpr std::size_t kHeaderLimit = std::size_t{1} << 20;  // 1 MiB
  static constexpr std::size_t kBodyLimit = std::size_t{64} << 20;   // 64 MiB

  CurlResponseStore() = default;
  CurlResponseStore(std::size_t headerLimit, std::size_t bodyLimit)
      : headerLimit_(headerLimit), bodyLimit_(bodyLimit) {}

  // One line as libcurl hands it over, its line end included. A status line ("HTTP/...")
  // begins a new response and drops what an earlier one left; the empty line that ends a
  // header block is not kept. Kept lines lose their zero bytes (a line of nothing else goes
  // with them) and end in "\r\n" whatever ending they came with. False when the kept lines
  // would pass the header limit.
  bool AddHeaderLine(std::string_view line);
  // False when the body would pass the body limit.
  bool AddBody(std::string_view bytes);
  void Clear();

  // The header lines of the response without its status line, each ending in "\r\n".
  const std::string& HeaderLines() const { return headerLines_; }
  ByteArray Body() const;

 private:
  // The body grows in blocks of this size: a single string would double its capacity past the
  // body limit on the way there, and copy everything at each step.
  static constexpr std::size_t kBodyBlock = std::size_t{1} << 20;

  std::size_t headerLimit_ = kHeaderLimit;
  std::size_t bodyLimit_ = kBodyLimit;
  std::string headerLines_;
  std::vector<std::string> bodyBlocks_;
  std::size_t bodySize_ = 0;
};

}  // namespace tolvaris
