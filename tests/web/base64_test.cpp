#include "web/base64.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace tolvaris {
namespace {

ByteArray Bytes(std::vector<uint8_t> bytes) { return ByteArray(std::move(bytes)); }

TEST(Base64Encode, MeetsTheRfc4648TestVectors) {
  const std::pair<std::string, std::string> rows[] = {
      {"", ""},
      {"f", "Zg=="},
      {"fo", "Zm8="},
      {"foo", "Zm9v"},
      {"foob", "Zm9vYg=="},
      {"fooba", "Zm9vYmE="},
      {"foobar", "Zm9vYmFy"},
  };
  for (const auto& [input, encoded] : rows) {
    SCOPED_TRACE(input);
    EXPECT_EQ(Base64Encode(ByteArray(std::string_view(input))).Bytes(), encoded);
  }
}

TEST(Base64Encode, EncodesEveryByteValueAsUnsigned) {
  struct Row {
    std::vector<uint8_t> bytes;
    std::string encoded;
    const char* why;
  };
  const Row rows[] = {
      {{0xFB, 0xFF}, "+/8=", "the last two alphabet characters"},
      {{0x00, 0x00, 0x00}, "AAAA", "zero bytes are data"},
      {{0xFF}, "/w==", "a high byte is unsigned"},
      {{'a', 0x00, 'b'}, "YQBi", "a zero byte inside"},
      {{0xD6, 0xD0, 0xCE, 0xC4}, "1tDOxA==", "GBK 中文"},
      {{'u', 's', 'e', 'r', ':', 'p', 'w'}, "dXNlcjpwdw==", "a proxy credential"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.why);
    EXPECT_EQ(Base64Encode(Bytes(row.bytes)).Bytes(), row.encoded);
  }
}

TEST(Base64Encode, StaysOnOneLineAtAnyLength) {
  const std::string encoded = Base64Encode(BlankBytes(100)).Bytes();
  EXPECT_EQ(encoded.size(), 136u);
  EXPECT_EQ(encoded.find_first_of("\r\n"), std::string::npos);
  EXPECT_EQ(encoded.substr(132), "AA==");
}

// An independent decoder: the inverse table built from the alphabet, no fill accepted in the
// middle. Returns false for anything that is not canonical padded base64.
bool DecodeBase64(const std::string& text, std::vector<uint8_t>& bytes) {
  static const std::string kAlphabet =
      "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
  if (text.size() % 4 != 0) return false;
  bytes.clear();
  for (size_t group = 0; group < text.size(); group += 4) {
    uint32_t bits = 0;
    int fill = 0;
    for (size_t i = 0; i < 4; ++i) {
      const char c = text[group + i];
      const bool last = group + 4 == text.size();
      if (c == '=' && last && i >= 2 && (i == 3 || text[group + 3] == '=')) {
        ++fill;
        bits <<= 6;
        continue;
      }
      const size_t value = kAlphabet.find(c);
      if (value == std::string::npos || fill > 0) return false;
      bits = bits << 6 | static_cast<uint32_t>(value);
    }
    for (int i = 0; i < 3 - fill; ++i) bytes.push_back(static_cast<uint8_t>(bits >> (16 - 8 * i)));
    // The bits that stand for the added zero bytes must be zero in a canonical encoding.
    if (fill > 0 && (bits & ((1u << (8 * fill)) - 1)) != 0) return false;
  }
  return true;
}

TEST(Base64Encode, RoundTripsThroughAnIndependentDecoder) {
  std::mt19937 random(64);
  std::uniform_int_distribution<int> byte(0, 255);
  for (size_t length = 0; length <= 300; ++length) {
    std::vector<uint8_t> input(length);
    for (uint8_t& b : input) b = static_cast<uint8_t>(byte(random));
    if (length == 256) {
      for (size_t i = 0; i < 256; ++i) input[i] = static_cast<uint8_t>(i);
    }
    SCOPED_TRACE(length);
    const std::string encoded = Base64Encode(ByteArray(input)).Bytes();
    EXPECT_EQ(encoded.size(), (length + 2) / 3 * 4);
    std::vector<uint8_t> decoded;
    ASSERT_TRUE(DecodeBase64(encoded, decoded)) << encoded;
    EXPECT_EQ(decoded, input);
  }
}

}  // namespace
}  // namespace tolvaris
