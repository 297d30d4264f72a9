#pragma once

#include <cstdint>
#include <initializer_list>
#include <string>
#include <string_view>
#include <vector>

namespace tolvaris {

// A byte string in code page 936 (GBK) that never holds a zero byte. Lengths and positions count
// bytes; positions are 1-based. The empty text is the only "absent" text there is.
class Text {
 public:
  Text() = default;
  // From a NUL-terminated literal (the GBK constants of gbk_literals.h, ASCII literals).
  Text(const char* bytes) : bytes_(bytes ? bytes : "") {}  // NOLINT(google-explicit-constructor)
  // From raw bytes: the text ends at the first zero byte.
  explicit Text(std::string_view bytes) : bytes_(bytes.substr(0, bytes.find('\0'))) {}
  explicit Text(std::string&& bytes) : bytes_(std::move(bytes)) {
    if (auto zero = bytes_.find('\0'); zero != std::string::npos) bytes_.resize(zero);
  }

  std::string_view View() const { return bytes_; }
  const std::string& Bytes() const { return bytes_; }
  const char* CString() const { return bytes_.c_str(); }
  bool IsEmpty() const { return bytes_.empty(); }

  friend bool operator==(const Text&, const Text&) = default;

 private:
  std::string bytes_;
};

// An ordered, 1-based sequence of texts, grown only at its end.
class TextArray {
 public:
  TextArray() = default;
  explicit TextArray(std::vector<Text> items) : items_(std::move(items)) {}

  const std::vector<Text>& Items() const { return items_; }
  std::vector<Text>& Items() { return items_; }

  friend bool operator==(const TextArray&, const TextArray&) = default;

 private:
  std::vector<Text> items_;
};

// Lengths of texts past the 32-bit range are reported as INT32_MAX; no text the program handles
// comes near that (response headers and bodies are capped far below it).
int32_t TextLength(const Text& text);
Text LeftText(const Text& text, int32_t count);
Text RightText(const Text& text, int32_t count);
Text MidText(const Text& text, int32_t start, int32_t count);

// Character-aware: a byte >= 0x80 starts a two-byte character and a match never begins on its
// second byte. A start of 1 or below searches from the first byte. Sought empty gives 1 for a
// non-empty searched part, else -1.
int32_t FindText(const Text& text, const Text& sought, int32_t start = 0, bool ignoreCase = false);
Text ReplaceText(const Text& text, const Text& sought, const Text& replacement, bool caseSensitive);
TextArray SplitText(const Text& text, const Text& separator);
Text TrimText(const Text& text);
Text UpperCaseText(const Text& text);

int32_t CharCode(const Text& text);
Text CharFromCode(int32_t code);
Text IntegerToText(int32_t value);

Text ConcatTexts(std::initializer_list<std::string_view> parts);
template <typename... More>
Text ConcatText(const Text& first, const Text& second, const More&... more) {
  return ConcatTexts({first.View(), second.View(), Text(more).View()...});
}

// -1, 0 or 1, bytes compared as unsigned values; a prefix is the smaller.
int32_t CompareText(const Text& a, const Text& b);

int32_t ArrayCount(const TextArray& array);
// index runs from 1 to ArrayCount; callers never go outside that range.
const Text& ArrayElement(const TextArray& array, int32_t index);
void ArrayAppend(TextArray& array, const Text& text);

}  // namespace tolvaris
