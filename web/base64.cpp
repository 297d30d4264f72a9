#include "web/base64.h"

namespace tolvaris {
namespace {

constexpr char kAlphabet[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";

}  // namespace

Text Base64Encode(const ByteArray& bytes) {
  const int32_t inputLength = BytesLength(bytes);
  if (inputLength == 0) return Text();

  // Zero bytes fill the last group; the characters that stand only for them become '=' below.
  const int32_t shortBy = inputLength % 3;
  const ByteArray input = shortBy == 0 ? bytes : ConcatBytes(bytes, BlankBytes(3 - shortBy));
  const int32_t groups = BytesLength(input) / 3;

  const ByteArray alphabet = TextToBytes(kAlphabet);
  auto character = [&alphabet](int32_t index) {
    return static_cast<uint8_t>(ByteAt(alphabet, index + 1));
  };

  ByteArray output = BlankBytes(groups * 4);
  for (int32_t group = 0; group < groups; ++group) {
    const int32_t b0 = ByteAt(input, group * 3 + 1);
    const int32_t b1 = ByteAt(input, group * 3 + 2);
    const int32_t b2 = ByteAt(input, group * 3 + 3);
    const int32_t at = group * 4;
    ByteAt(output, at + 1, character(ShiftRight(b0, 2)));
    ByteAt(output, at + 2, character(ShiftLeft(BitAnd(b0, 3), 4) + ShiftRight(b1, 4)));
    ByteAt(output, at + 3, character(ShiftLeft(BitAnd(b1, 15), 2) + ShiftRight(b2, 6)));
    ByteAt(output, at + 4, character(BitAnd(b2, 63)));
  }

  const uint8_t fill = ToByte(CharCode("="));
  const int32_t outputLength = BytesLength(output);
  if (shortBy == 1) ByteAt(output, outputLength - 1, fill);
  if (shortBy >= 1) ByteAt(output, outputLength, fill);
  return BytesToText(output);
}

}  // namespace tolvaris
