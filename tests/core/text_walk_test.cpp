// The character-aware operations against a plain reading of the walk: one character at a time,
// comparing byte by byte at each character start. The operations themselves search differently
// (to stay linear), so every short text over a small, awkward alphabet is checked against this.

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <string_view>
#include <vector>

#include "core/text.h"

namespace tolvaris {
namespace {

using Byte = unsigned char;

size_t StepAt(std::string_view text, size_t at) {
  return static_cast<Byte>(text[at]) >= 0x80 ? 2 : 1;
}

Byte Fold(Byte byte) { return byte >= 'A' && byte <= 'Z' ? byte + 32 : byte; }

bool MatchesAt(std::string_view text, size_t at, std::string_view sought, bool ignoreCase) {
  for (size_t i = 0; i < sought.size(); ++i) {
    Byte a = static_cast<Byte>(text[at + i]);
    Byte b = static_cast<Byte>(sought[i]);
    if (ignoreCase) {
      a = Fold(a);
      b = Fold(b);
    }
    if (a != b) return false;
  }
  return true;
}

int32_t WalkFind(std::string_view text, std::string_view sought, int32_t start, bool ignoreCase) {
  const size_t from = start <= 1 ? 0 : static_cast<size_t>(start) - 1;
  if (sought.empty()) return from < text.size() ? 1 : -1;
  for (size_t at = from; at < text.size(); at += StepAt(text, at)) {
    if (text.size() - at < sought.size()) return -1;
    if (MatchesAt(text, at, sought, ignoreCase)) return static_cast<int32_t>(at + 1);
  }
  return -1;
}

std::string WalkReplace(std::string_view text, std::string_view sought,
                        std::string_view replacement, bool caseSensitive) {
  if (text.empty() || sought.empty()) return std::string(text);
  std::string result;
  size_t at = 0;
  while (at < text.size() && text.size() - at >= sought.size()) {
    if (MatchesAt(text, at, sought, !caseSensitive)) {
      result += replacement;
      at += sought.size();
    } else if (StepAt(text, at) == 2 && at + 1 == text.size()) {
      at = text.size() + 1;  // a lone first byte at the end: not appended, the walk ends
    } else {
      result += text.substr(at, StepAt(text, at));
      at += StepAt(text, at);
    }
  }
  if (at < text.size()) result += text.substr(at);
  return result;
}

std::vector<std::string> WalkSplit(std::string_view text, std::string_view separator) {
  if (text.empty()) return {};
  if (separator.empty()) return {std::string(text)};
  std::vector<std::string> pieces;
  size_t pieceStart = 0;
  size_t at = 0;
  while (at < text.size() && text.size() - at >= separator.size()) {
    if (MatchesAt(text, at, separator, false)) {
      pieces.emplace_back(text.substr(pieceStart, at - pieceStart));
      at += separator.size();
      pieceStart = at;
    } else {
      at += StepAt(text, at);
    }
  }
  if (pieceStart < text.size()) pieces.emplace_back(text.substr(pieceStart));
  return pieces;
}

std::string WalkTrim(std::string_view text) {
  auto isFullWidthSpace = [&](size_t at) {
    return at + 1 < text.size() && text[at] == '\xA1' && text[at + 1] == '\xA1';
  };
  size_t begin = 0;
  while (begin < text.size()) {
    if (text[begin] == ' ') {
      begin += 1;
    } else if (isFullWidthSpace(begin)) {
      begin += 2;
    } else {
      break;
    }
  }
  size_t end = text.size();
  bool inRun = false;
  for (size_t at = begin; at < text.size(); at += StepAt(text, at)) {
    if (StepAt(text, at) == 2 && at + 1 == text.size())
      return std::string(text.substr(begin, at - begin));
    const bool blank = text[at] == ' ' || isFullWidthSpace(at);
    if (blank && !inRun) end = at;
    inRun = blank;
  }
  if (!inRun) end = text.size();
  return std::string(text.substr(begin, end - begin));
}

std::vector<std::string> Pieces(const TextArray& array) {
  std::vector<std::string> pieces;
  for (const Text& item : array.Items()) pieces.push_back(item.Bytes());
  return pieces;
}

// Letters in both cases, blanks, a separator and first bytes, the full-width space's among them.
std::string RandomBytes(std::mt19937& random, size_t maxLength) {
  static constexpr char kAlphabet[] = {'a', 'A', 'b', ' ', '-', '\xA1', '\xB0'};
  std::uniform_int_distribution<size_t> length(0, maxLength);
  std::uniform_int_distribution<size_t> pick(0, sizeof kAlphabet - 1);
  std::string bytes(length(random), ' ');
  for (char& byte : bytes) byte = kAlphabet[pick(random)];
  return bytes;
}

TEST(TextWalk, OperationsAgreeWithTheWalkOnShortTexts) {
  std::mt19937 random(20250307);
  for (int round = 0; round < 20000; ++round) {
    const std::string text = RandomBytes(random, 14);
    const std::string sought = RandomBytes(random, 4);
    const std::string replacement = RandomBytes(random, 2);
    SCOPED_TRACE(testing::Message() << "text '" << text << "' sought '" << sought << "'");

    for (int32_t start = -1; start <= static_cast<int32_t>(text.size()) + 2; ++start) {
      for (bool ignoreCase : {false, true}) {
        ASSERT_EQ(FindText(Text(text), Text(sought), start, ignoreCase),
                  WalkFind(text, sought, start, ignoreCase))
            << "start " << start << " ignoreCase " << ignoreCase;
      }
    }
    for (bool caseSensitive : {false, true}) {
      ASSERT_EQ(ReplaceText(Text(text), Text(sought), Text(replacement), caseSensitive).Bytes(),
                WalkReplace(text, sought, replacement, caseSensitive))
          << "caseSensitive " << caseSensitive;
    }
    ASSERT_EQ(Pieces(SplitText(Text(text), Text(sought))), WalkSplit(text, sought));
    ASSERT_EQ(TrimText(Text(text)).Bytes(), WalkTrim(text));
  }
}

}  // namespace
}  // namespace tolvaris
