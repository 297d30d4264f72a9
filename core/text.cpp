#include "core/text.h"

#include <algorithm>
#include <charconv>
#include <cstring>
#include <limits>

namespace tolvaris {
namespace {

using Byte = unsigned char;
constexpr size_t kNone = std::string_view::npos;
constexpr Byte kFullWidthSpaceByte = 0xA1;  // the full-width space is this byte twice

Byte ByteOf(std::string_view text, size_t offset) { return static_cast<Byte>(text[offset]); }

// In code page 936 every byte from 0x80 up begins a two-byte character.
bool IsFirstOfTwo(Byte byte) { return byte >= 0x80; }

// The only case rule there is: A-Z equal a-z. No locale takes part.
Byte FoldAsciiCase(Byte byte) {
  return (byte >= 'A' && byte <= 'Z') ? static_cast<Byte>(byte + ('a' - 'A')) : byte;
}

int32_t ToPosition(size_t offset) {
  return static_cast<int32_t>(std::min<size_t>(offset + 1, std::numeric_limits<int32_t>::max()));
}

// The character starts of a walk, found lazily and only ever forward, so that checking any
// number of increasing offsets costs one pass over the text in all.
class CharacterWalk {
 public:
  explicit CharacterWalk(size_t start) : at_(start) {}

  void RestartAt(size_t start) { at_ = start; }
  size_t Position() const { return at_; }

  // Moves on to the first character start at or after target; true when target is one.
  // target must not lie past the end of text.
  bool Reaches(std::string_view text, size_t target) {
    constexpr uint64_t kHighBits = 0x8080808080808080ULL;
    while (at_ < target) {
      // A run of eight single-byte characters is crossed at once: header text is mostly ASCII.
      if (target - at_ >= 8) {
        uint64_t eight;
        std::memcpy(&eight, text.data() + at_, sizeof eight);
        if ((eight & kHighBits) == 0) {
          at_ += 8;
          continue;
        }
      }
      at_ += IsFirstOfTwo(ByteOf(text, at_)) ? 2 : 1;
    }
    return at_ == target;
  }

 private:
  size_t at_;
};

// Knuth-Morris-Pratt over the bytes (ASCII letters folded when asked). It reports every
// occurrence, overlapping ones included, in increasing order, in time linear in the text and the
// sought text together whatever their content; the caller rejects the occurrences that do not
// begin on a character start. A byte-by-byte comparison at each start would be quadratic for a
// long sought text that almost matches everywhere.
class Searcher {
 public:
  Searcher(std::string_view sought, bool ignoreCase)
      : sought_(sought), ignoreCase_(ignoreCase), border_(sought.size(), 0) {
    if (ignoreCase_) {
      for (char& byte : sought_) byte = static_cast<char>(FoldAsciiCase(static_cast<Byte>(byte)));
    }
    // border_[k]: length of the longest proper prefix of sought_[0..k] that is also its suffix.
    size_t length = 0;
    for (size_t k = 1; k < sought_.size(); ++k) {
      while (length > 0 && sought_[k] != sought_[length]) length = border_[length - 1];
      if (sought_[k] == sought_[length]) ++length;
      border_[k] = length;
    }
    const Byte first = static_cast<Byte>(sought_[0]);
    firstHasTwoCases_ = ignoreCase_ && first >= 'a' && first <= 'z';
  }

  size_t Length() const { return sought_.size(); }

  // The next occurrences are looked for from offset start, none overlapping what came before.
  void RestartAt(size_t start) {
    at_ = start;
    matched_ = 0;
  }

  // Offset of the next occurrence, or kNone.
  size_t Next(std::string_view text) {
    const size_t length = sought_.size();
    if (matched_ == length) matched_ = border_[length - 1];
    while (at_ < text.size()) {
      if (text.size() - at_ < length - matched_) break;
      if (matched_ == 0) {
        at_ = FindFirstByte(text, at_);
        if (at_ >= text.size()) break;
      }
      const char byte = Fold(ByteOf(text, at_));
      while (matched_ > 0 && byte != sought_[matched_]) matched_ = border_[matched_ - 1];
      if (byte == sought_[matched_]) ++matched_;
      ++at_;
      if (matched_ == length) return at_ - length;
    }
    at_ = text.size();
    return kNone;
  }

 private:
  char Fold(Byte byte) const { return static_cast<char>(ignoreCase_ ? FoldAsciiCase(byte) : byte); }

  // Where a new occurrence can begin: the first byte that equals the sought text's first byte.
  size_t FindFirstByte(std::string_view text, size_t from) const {
    if (!firstHasTwoCases_) {
      const void* found = std::memchr(text.data() + from, sought_[0], text.size() - from);
      return found ? static_cast<size_t>(static_cast<const char*>(found) - text.data())
                   : text.size();
    }
    while (from < text.size() && Fold(ByteOf(text, from)) != sought_[0]) ++from;
    return from;
  }

  std::string sought_;
  bool ignoreCase_;
  bool firstHasTwoCases_ = false;
  std::vector<size_t> border_;
  size_t at_ = 0;
  size_t matched_ = 0;
};

// Calls onMatch(offset) for each occurrence of sought that the walk from offset 0 meets, left to
// right, without overlaps: after a match the walk goes on right behind it.
template <typename OnMatch>
void ForEachWalkMatch(std::string_view text, Searcher& searcher, CharacterWalk& walk,
                      OnMatch onMatch) {
  for (size_t found = searcher.Next(text); found != kNone; found = searcher.Next(text)) {
    if (!walk.Reaches(text, found)) continue;  // begins on a second byte
    const size_t resume = found + searcher.Length();
    onMatch(found);
    searcher.RestartAt(resume);
    walk.RestartAt(resume);
  }
}

}  // namespace

int32_t TextLength(const Text& text) {
  return static_cast<int32_t>(
      std::min<size_t>(text.View().size(), std::numeric_limits<int32_t>::max()));
}

Text LeftText(const Text& text, int32_t count) {
  if (count <= 0) return Text();
  return Text(text.View().substr(0, static_cast<size_t>(count)));
}

Text RightText(const Text& text, int32_t count) {
  if (count <= 0) return Text();
  const std::string_view bytes = text.View();
  const size_t kept = std::min(bytes.size(), static_cast<size_t>(count));
  return Text(bytes.substr(bytes.size() - kept));
}

Text MidText(const Text& text, int32_t start, int32_t count) {
  const std::string_view bytes = text.View();
  if (start < 1 || static_cast<size_t>(start) > bytes.size() || count <= 0) return Text();
  return Text(bytes.substr(static_cast<size_t>(start) - 1, static_cast<size_t>(count)));
}

int32_t FindText(const Text& text, const Text& sought, int32_t start, bool ignoreCase) {
  const std::string_view bytes = text.View();
  const size_t from = start <= 1 ? 0 : static_cast<size_t>(start) - 1;
  if (from >= bytes.size()) return -1;
  // The empty sought text is found at the first byte, not at start.
  if (sought.IsEmpty()) return 1;
  if (sought.View().size() > bytes.size() - from) return -1;

  Searcher searcher(sought.View(), ignoreCase);
  searcher.RestartAt(from);
  CharacterWalk walk(from);
  for (size_t found = searcher.Next(bytes); found != kNone; found = searcher.Next(bytes)) {
    if (walk.Reaches(bytes, found)) return ToPosition(found);
  }
  return -1;
}

Text ReplaceText(const Text& text, const Text& sought, const Text& replacement,
                 bool caseSensitive) {
  const std::string_view bytes = text.View();
  if (bytes.empty() || sought.IsEmpty()) return text;

  Searcher searcher(sought.View(), !caseSensitive);
  CharacterWalk walk(0);
  std::string result;
  result.reserve(bytes.size());
  size_t copiedUpTo = 0;
  ForEachWalkMatch(bytes, searcher, walk, [&](size_t found) {
    result.append(bytes.substr(copiedUpTo, found - copiedUpTo));
    result.append(replacement.View());
    copiedUpTo = found + searcher.Length();
  });
  // A first byte standing alone at the end is reached by the walk's comparing branch, which
  // copies whole characters only, when a single byte is sought; a longer sought text sends the
  // walk to "copy the rest" before it, and the byte stays.
  size_t end = bytes.size();
  if (searcher.Length() == 1 && IsFirstOfTwo(ByteOf(bytes, end - 1)) &&
      walk.Reaches(bytes, end - 1)) {
    --end;
  }
  if (copiedUpTo < end) result.append(bytes.substr(copiedUpTo, end - copiedUpTo));
  return Text(std::move(result));
}

TextArray SplitText(const Text& text, const Text& separator) {
  const std::string_view bytes = text.View();
  if (bytes.empty()) return TextArray();
  if (separator.IsEmpty()) return TextArray({text});

  Searcher searcher(separator.View(), false);
  CharacterWalk walk(0);
  std::vector<Text> pieces;
  size_t pieceStart = 0;
  ForEachWalkMatch(bytes, searcher, walk, [&](size_t found) {
    pieces.emplace_back(bytes.substr(pieceStart, found - pieceStart));
    pieceStart = found + searcher.Length();
  });
  if (pieceStart < bytes.size()) pieces.emplace_back(bytes.substr(pieceStart));
  return TextArray(std::move(pieces));
}

Text TrimText(const Text& text) {
  const std::string_view bytes = text.View();
  const size_t length = bytes.size();

  size_t begin = 0;
  while (begin < length) {
    if (ByteOf(bytes, begin) == ' ') {
      ++begin;
    } else if (ByteOf(bytes, begin) == kFullWidthSpaceByte && begin + 1 < length &&
               ByteOf(bytes, begin + 1) == kFullWidthSpaceByte) {
      begin += 2;
    } else {
      break;
    }
  }

  // Only the tail made of blank bytes needs the careful walk (which of its 0xA1 bytes pair up
  // into full-width spaces depends on where the characters start); before it, the character
  // starts are all that matters. The last byte is always looked at: it may stand alone.
  size_t tail = length;
  while (tail > begin &&
         (ByteOf(bytes, tail - 1) == ' ' || ByteOf(bytes, tail - 1) == kFullWidthSpaceByte)) {
    --tail;
  }
  if (tail == length && length > begin) tail = length - 1;
  CharacterWalk walk(begin);
  walk.Reaches(bytes, tail);

  // The byte before the tail is no blank, so no run of blanks is open where the walk resumes.
  size_t blankRun = kNone;
  for (size_t at = walk.Position(); at < length;) {
    const Byte byte = ByteOf(bytes, at);
    if (byte == ' ') {
      if (blankRun == kNone) blankRun = at;
      ++at;
    } else if (IsFirstOfTwo(byte)) {
      // A first byte standing alone at the end is dropped; the blanks before it stay.
      if (at + 1 == length) return Text(bytes.substr(begin, at - begin));
      const bool fullWidthSpace =
          byte == kFullWidthSpaceByte && ByteOf(bytes, at + 1) == kFullWidthSpaceByte;
      if (!fullWidthSpace) {
        blankRun = kNone;
      } else if (blankRun == kNone) {
        blankRun = at;
      }
      at += 2;
    } else {
      blankRun = kNone;
      ++at;
    }
  }
  const size_t end = blankRun == kNone ? length : blankRun;
  return Text(bytes.substr(begin, end - begin));
}

Text UpperCaseText(const Text& text) {
  std::string result = text.Bytes();
  for (size_t at = 0; at < result.size();) {
    const Byte byte = static_cast<Byte>(result[at]);
    if (IsFirstOfTwo(byte)) {
      at += 2;  // the second byte may look like a letter; it is left alone
      continue;
    }
    if (byte >= 'a' && byte <= 'z') result[at] = static_cast<char>(byte - ('a' - 'A'));
    ++at;
  }
  return Text(std::move(result));
}

int32_t CharCode(const Text& text) {
  if (text.IsEmpty()) return 0;
  return static_cast<int8_t>(ByteOf(text.View(), 0));
}

Text CharFromCode(int32_t code) {
  const char byte = static_cast<char>(static_cast<uint8_t>(code & 0xFF));
  if (byte == '\0') return Text();
  return Text(std::string(1, byte));
}

Text IntegerToText(int32_t value) {
  char digits[16];
  const auto [end, error] = std::to_chars(digits, digits + sizeof digits, value);
  (void)error;  // eleven characters always fit
  return Text(std::string_view(digits, static_cast<size_t>(end - digits)));
}

Text ConcatTexts(std::initializer_list<std::string_view> parts) {
  size_t total = 0;
  for (std::string_view part : parts) total += part.size();
  std::string result;
  result.reserve(total);
  for (std::string_view part : parts) result.append(part);
  return Text(std::move(result));
}

int32_t CompareText(const Text& a, const Text& b) {
  const std::string_view left = a.View();
  const std::string_view right = b.View();
  const size_t common = std::min(left.size(), right.size());
  // memcmp compares bytes as unsigned char, whatever the signedness of char.
  const int order = common == 0 ? 0 : std::memcmp(left.data(), right.data(), common);
  if (order != 0) return order < 0 ? -1 : 1;
  if (left.size() == right.size()) return 0;
  return left.size() < right.size() ? -1 : 1;
}

int32_t ArrayCount(const TextArray& array) {
  return static_cast<int32_t>(
      std::min<size_t>(array.Items().size(), std::numeric_limits<int32_t>::max()));
}

const Text& ArrayElement(const TextArray& array, int32_t index) {
  // No caller leaves 1..ArrayCount; should one, it reads the empty text rather than stray memory.
  static const Text kOutside;
  if (index < 1 || static_cast<size_t>(index) > array.Items().size()) return kOutside;
  return array.Items()[static_cast<size_t>(index) - 1];
}

void ArrayAppend(TextArray& array, const Text& text) { array.Items().push_back(text); }

}  // namespace tolvaris
