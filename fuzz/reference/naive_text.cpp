#include "fuzz/reference/naive_text.h"

namespace tolvaris::naive {
namespace {

unsigned Byte(const Bytes& text, int64_t position) {
  return static_cast<unsigned char>(text[static_cast<size_t>(position)]);
}

// One step of the walk: a byte below 0x80 is a character of its own, any other byte takes the
// next one with it. A lead byte at the very end takes nothing and the walk is over.
int64_t NextCharacter(const Bytes& text, int64_t position) {
  if (Byte(text, position) < 0x80) return position + 1;
  if (position + 1 < Length(text)) return position + 2;
  return Length(text);
}

unsigned FoldCase(unsigned byte) {
  if (byte >= 'A' && byte <= 'Z') return byte + 32;
  return byte;
}

bool MatchesAt(const Bytes& text, int64_t position, const Bytes& sought, bool ignoreCase) {
  for (int64_t i = 0; i < Length(sought); ++i) {
    unsigned a = Byte(text, position + i);
    unsigned b = Byte(sought, i);
    if (ignoreCase) {
      a = FoldCase(a);
      b = FoldCase(b);
    }
    if (a != b) return false;
  }
  return true;
}

Bytes Piece(const Bytes& text, int64_t from, int64_t to) {
  Bytes piece;
  for (int64_t i = from; i < to; ++i) piece += text[static_cast<size_t>(i)];
  return piece;
}

}  // namespace

int64_t Length(const Bytes& text) { return static_cast<int64_t>(text.size()); }

Bytes Left(const Bytes& text, int64_t count) {
  if (count <= 0) return "";
  if (count >= Length(text)) return text;
  return Piece(text, 0, count);
}

Bytes Right(const Bytes& text, int64_t count) {
  if (count <= 0) return "";
  if (count >= Length(text)) return text;
  return Piece(text, Length(text) - count, Length(text));
}

Bytes Mid(const Bytes& text, int64_t start, int64_t count) {
  if (start < 1 || start > Length(text) || count <= 0) return "";
  int64_t end = start - 1 + count;
  if (end > Length(text)) end = Length(text);
  return Piece(text, start - 1, end);
}

int64_t Find(const Bytes& text, const Bytes& sought, int64_t start, bool ignoreCase) {
  int64_t offset = start <= 1 ? 0 : start - 1;
  bool searchedPartEmpty = offset >= Length(text);
  if (sought.empty()) return searchedPartEmpty ? -1 : 1;
  int64_t position = offset;
  while (position < Length(text)) {
    if (Length(text) - position < Length(sought)) return -1;
    if (MatchesAt(text, position, sought, ignoreCase)) return position + 1;
    position = NextCharacter(text, position);
  }
  return -1;
}

Bytes Replace(const Bytes& text, const Bytes& sought, const Bytes& replacement,
              bool caseSensitive) {
  if (text.empty() || sought.empty()) return text;
  Bytes result;
  int64_t position = 0;
  while (Length(text) - position >= Length(sought)) {
    if (MatchesAt(text, position, sought, !caseSensitive)) {
      result += replacement;
      position += Length(sought);
    } else {
      int64_t next = NextCharacter(text, position);
      bool loneLeadByte = Byte(text, position) >= 0x80 && position + 1 == Length(text);
      if (!loneLeadByte) result += Piece(text, position, next);
      position = next;
    }
  }
  result += Piece(text, position, Length(text));
  return result;
}

std::vector<Bytes> Split(const Bytes& text, const Bytes& separator) {
  std::vector<Bytes> pieces;
  if (text.empty()) return pieces;
  if (separator.empty()) return {text};
  int64_t pieceStart = 0;
  int64_t position = 0;
  while (Length(text) - position >= Length(separator)) {
    if (MatchesAt(text, position, separator, false)) {
      pieces.push_back(Piece(text, pieceStart, position));
      position += Length(separator);
      pieceStart = position;
    } else {
      position = NextCharacter(text, position);
    }
  }
  if (Length(text) - pieceStart > 0) pieces.push_back(Piece(text, pieceStart, Length(text)));
  return pieces;
}

Bytes Trim(const Bytes& text) {
  auto fullWidthSpaceAt = [&](int64_t p) {
    return Byte(text, p) == 0xA1 && p + 1 < Length(text) && Byte(text, p + 1) == 0xA1;
  };
  int64_t begin = 0;
  while (begin < Length(text)) {
    if (Byte(text, begin) == 0x20) {
      begin += 1;
    } else if (fullWidthSpaceAt(begin)) {
      begin += 2;
    } else {
      break;
    }
  }
  int64_t end = Length(text);
  int64_t runStart = -1;
  int64_t position = begin;
  while (position < Length(text)) {
    if (Byte(text, position) == 0x20) {
      if (runStart < 0) runStart = position;
      position += 1;
    } else if (fullWidthSpaceAt(position)) {
      if (runStart < 0) runStart = position;
      position += 2;
    } else if (Byte(text, position) >= 0x80 && position + 1 == Length(text)) {
      // A lead byte standing alone at the end: cut before it, blanks in front of it stay.
      end = position;
      runStart = -1;
      break;
    } else {
      runStart = -1;
      position = NextCharacter(text, position);
    }
  }
  if (runStart >= 0) end = runStart;
  return Piece(text, begin, end);
}

Bytes UpperCase(const Bytes& text) {
  Bytes result = text;
  int64_t position = 0;
  while (position < Length(text)) {
    unsigned byte = Byte(text, position);
    if (byte >= 'a' && byte <= 'z')
      result[static_cast<size_t>(position)] = static_cast<char>(byte - 32);
    position = NextCharacter(text, position);
  }
  return result;
}

int32_t CharCode(const Bytes& text) {
  if (text.empty()) return 0;
  int32_t byte = static_cast<int32_t>(Byte(text, 0));
  return byte >= 0x80 ? byte - 256 : byte;
}

int32_t Compare(const Bytes& a, const Bytes& b) {
  for (int64_t i = 0; i < Length(a) && i < Length(b); ++i) {
    if (Byte(a, i) < Byte(b, i)) return -1;
    if (Byte(a, i) > Byte(b, i)) return 1;
  }
  if (Length(a) < Length(b)) return -1;
  if (Length(a) > Length(b)) return 1;
  return 0;
}

}  // namespace tolvaris::naive
