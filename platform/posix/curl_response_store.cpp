#include "platform/posix/curl_response_store.h"

#include <algorithm>

namespace tolvaris {
namespace {

std::string_view WithoutLineEnd(std::string_view line) {
  if (line.ends_with('\n')) line.remove_suffix(1);
  if (line.ends_with('\r')) line.remove_suffix(1);
  return line;
}

}  // namespace

bool CurlResponseStore::AddHeaderLine(std::string_view line) {
  if (line.starts_with("HTTP/")) {
    Clear();
    return true;
  }
  std::string kept;
  for (char byte : WithoutLineEnd(line)) {
    if (byte != '\0') kept += byte;
  }
  // The end of the header block, or a line of nothing but zero bytes.
  if (kept.empty()) return true;
  kept += "\r\n";
  if (kept.size() > headerLimit_ - headerLines_.size()) return false;
  headerLines_ += kept;
  return true;
}

bool CurlResponseStore::AddBody(std::string_view bytes) {
  if (bytes.size() > bodyLimit_ - bodySize_) return false;
  bodySize_ += bytes.size();
  while (!bytes.empty()) {
    if (bodyBlocks_.empty() || bodyBlocks_.back().size() == kBodyBlock) {
      bodyBlocks_.emplace_back();
      // Most bodies are small and fit their first block as they come.
      if (bodyBlocks_.size() > 1) bodyBlocks_.back().reserve(kBodyBlock);
    }
    std::string& block = bodyBlocks_.back();
    const std::size_t taken = std::min(bytes.size(), kBodyBlock - block.size());
    block.append(bytes.substr(0, taken));
    bytes.remove_prefix(taken);
  }
  return true;
}

ByteArray CurlResponseStore::Body() const {
  std::vector<uint8_t> body;
  body.reserve(bodySize_);
  for (const std::string& block : bodyBlocks_) body.insert(body.end(), block.begin(), block.end());
  return ByteArray(std::move(body));
}

void CurlResponseStore::Clear() {
  headerLines_.clear();
  bodyBlocks_.clear();
  bodySize_ = 0;
}

}  // namespace tolvaris
