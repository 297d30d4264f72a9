#pragma once

#include <cstdint>
#include <string_view>
#include <vector>

#include "core/text.h"

namespace tolvaris {

// A counted sequence of bytes of any value, zero included; positions are 1-based.
class ByteArray {
 public:
  ByteArray() = default;
  explicit ByteArray(std::vector<uint8_t> bytes) : bytes_(std::move(bytes)) {}
  explicit ByteArray(std::string_view bytes) : bytes_(bytes.begin(), bytes.end()) {}

  const std::vector<uint8_t>& Bytes() const { return bytes_; }
  std::vector<uint8_t>& Bytes() { return bytes_; }

  friend bool operator==(const ByteArray&, const ByteArray&) = default;

 private:
  std::vector<uint8_t> bytes_;
};

ByteArray TextToBytes(const Text& text);
Text BytesToText(const ByteArray& bytes);
int32_t BytesLength(const ByteArray& bytes);
ByteArray BlankBytes(int32_t count);
ByteArray ConcatByteArrays(std::initializer_list<const ByteArray*> parts);
template <typename... More>
ByteArray ConcatBytes(const ByteArray& first, const ByteArray& second, const More&... more) {
  return ConcatByteArrays({&first, &second, &more...});
}
bool BytesEqual(const ByteArray& a, const ByteArray& b);
// index runs from 1 to BytesLength; callers never go outside that range.
int32_t ByteAt(const ByteArray& bytes, int32_t index);
void ByteAt(ByteArray& bytes, int32_t index, uint8_t value);

uint8_t ToByte(int32_t value);
int32_t BitAnd(int32_t a, int32_t b);
// Counts outside 0..31 are taken modulo 32; callers use 2, 4 and 6.
int32_t ShiftLeft(int32_t value, int32_t count);
int32_t ShiftRight(int32_t value, int32_t count);

}  // namespace tolvaris
