#include "fuzz/reference/naive_base64.h"

namespace tolvaris::naive {
namespace {

const std::string kAlphabet = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";

// The six bits a character stands for, by looking it up letter by letter; -1 for any other byte.
int SextetOf(char c) {
  for (size_t i = 0; i < kAlphabet.size(); ++i) {
    if (kAlphabet[i] == c) return static_cast<int>(i);
  }
  return -1;
}

}  // namespace

std::optional<std::vector<uint8_t>> DecodeBase64(const std::string& text) {
  if (text.size() % 4 != 0) return std::nullopt;
  std::vector<uint8_t> bytes;
  for (size_t quad = 0; quad < text.size(); quad += 4) {
    bool last = quad + 4 == text.size();
    int fill = 0;
    if (last && text[quad + 3] == '=') fill = text[quad + 2] == '=' ? 2 : 1;
    int sextets[4] = {0, 0, 0, 0};
    for (int i = 0; i < 4 - fill; ++i) {
      sextets[i] = SextetOf(text[quad + i]);
      if (sextets[i] < 0) return std::nullopt;
    }
    uint32_t group = 0;
    for (int i = 0; i < 4; ++i) group = group * 64 + static_cast<uint32_t>(sextets[i]);
    uint8_t decoded[3] = {static_cast<uint8_t>(group / 65536),
                          static_cast<uint8_t>(group / 256 % 256),
                          static_cast<uint8_t>(group % 256)};
    // The bits that stand only for the fill must be zero in the canonical encoding.
    if (fill == 1 && decoded[2] != 0) return std::nullopt;
    if (fill == 2 && (decoded[1] != 0 || decoded[2] != 0)) return std::nullopt;
    for (int i = 0; i < 3 - fill; ++i) bytes.push_back(decoded[i]);
  }
  return bytes;
}

}  // namespace tolvaris::naive
