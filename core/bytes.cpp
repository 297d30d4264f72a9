#include "core/bytes.h"

#include <algorithm>
#include <limits>

namespace tolvaris {

ByteArray TextToBytes(const Text& text) { return ByteArray(text.View()); }

Text BytesToText(const ByteArray& bytes) {
  const std::vector<uint8_t>& raw = bytes.Bytes();
  // Text ends itself at the first zero byte.
  return Text(std::string_view(reinterpret_cast<const char*>(raw.data()), raw.size()));
}

int32_t BytesLength(const ByteArray& bytes) {
  return static_cast<int32_t>(
      std::min<size_t>(bytes.Bytes().size(), std::numeric_limits<int32_t>::max()));
}

ByteArray BlankBytes(int32_t count) {
  if (count <= 0) return ByteArray();
  return ByteArray(std::vector<uint8_t>(static_cast<size_t>(count), 0));
}

ByteArray ConcatByteArrays(std::initializer_list<const ByteArray*> parts) {
  size_t total = 0;
  for (const ByteArray* part : parts) total += part->Bytes().size();
  std::vector<uint8_t> result;
  result.reserve(total);
  for (const ByteArray* part : parts) {
    result.insert(result.end(), part->Bytes().begin(), part->Bytes().end());
  }
  return ByteArray(std::move(result));
}

bool BytesEqual(const ByteArray& a, const ByteArray& b) { return a.Bytes() == b.Bytes(); }

// No caller leaves 1..BytesLength; should one, a read gives 0 and a write does nothing, rather
// than touching stray memory.
int32_t ByteAt(const ByteArray& bytes, int32_t index) {
  if (index < 1 || static_cast<size_t>(index) > bytes.Bytes().size()) return 0;
  return bytes.Bytes()[static_cast<size_t>(index) - 1];
}

void ByteAt(ByteArray& bytes, int32_t index, uint8_t value) {
  if (index < 1 || static_cast<size_t>(index) > bytes.Bytes().size()) return;
  bytes.Bytes()[static_cast<size_t>(index) - 1] = value;
}

uint8_t ToByte(int32_t value) { return static_cast<uint8_t>(value & 0xFF); }

int32_t BitAnd(int32_t a, int32_t b) { return a & b; }

// The shifts work on the unsigned pattern: shifting a negative signed value left, or by 32 or
// more, would be undefined.
int32_t ShiftLeft(int32_t value, int32_t count) {
  const uint32_t bits = static_cast<uint32_t>(value) << (static_cast<uint32_t>(count) & 31U);
  return static_cast<int32_t>(bits);
}

int32_t ShiftRight(int32_t value, int32_t count) {
  const uint32_t by = static_cast<uint32_t>(count) & 31U;
  uint32_t bits = static_cast<uint32_t>(value) >> by;
  if (value < 0 && by > 0) bits |= ~(0xFFFFFFFFU >> by);  // the sign bit copied in at the top
  return static_cast<int32_t>(bits);
}

}  // namespace tolvaris
