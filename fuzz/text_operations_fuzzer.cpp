// The text operations against the naive reference: identical results for every start value (on
// texts up to 128 bytes; longer ones get the values near both ends and a stride between), the
// counts around the text and the 32-bit extremes, and both case modes, on texts full of two-byte
// characters cut at odd places.
//
// Input: text, sought and replacement, separated by zero bytes.

#include <climits>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "core/text.h"
#include "fuzz/fuzz_support.h"
#include "fuzz/reference/naive_text.h"

namespace tolvaris::fuzz {
namespace {

// Long texts reach the code paths an implementation keeps for long searches; the naive
// reference is quadratic, so beyond kEveryStartUpTo bytes the start values are sampled.
constexpr size_t kLongestField = 512;
constexpr int32_t kEveryStartUpTo = 128;

std::string Joined(const std::vector<std::string>& pieces) {
  std::string out = "[";
  for (const std::string& piece : pieces) out += Escaped(piece) + ",";
  return out + "]";
}

// Start values worth trying against a text of length n: every one from before the text to past
// its end (in a long text, those near the ends and a stride through the middle), and the
// extremes of the 32-bit range, where position arithmetic overflows.
std::vector<int32_t> StartsFor(int32_t n) {
  std::vector<int32_t> starts = {INT32_MIN, INT32_MIN + 1, -1000, INT32_MAX - 1, INT32_MAX};
  for (int32_t v = -2; v <= n + 2; ++v) {
    bool nearAnEnd = v <= kEveryStartUpTo / 2 || v >= n - kEveryStartUpTo / 2;
    if (n <= kEveryStartUpTo || nearAnEnd || v % 13 == 0) starts.push_back(v);
  }
  return starts;
}

// Counts worth trying from start against a text of length n: none, one, up to and past the end,
// and the extremes, where start + count overflows.
std::vector<int32_t> CountsFor(int64_t start, int32_t n) {
  std::vector<int32_t> counts = {INT32_MIN, -1, 0, 1, 2, n, n + 1, INT32_MAX - 1, INT32_MAX};
  for (int64_t toEnd = n - start; toEnd <= n - start + 2; ++toEnd) {
    if (toEnd >= INT32_MIN && toEnd <= INT32_MAX) counts.push_back(static_cast<int32_t>(toEnd));
  }
  return counts;
}

void CheckSlices(const Text& text) {
  const std::string& bytes = text.Bytes();
  int32_t n = static_cast<int32_t>(bytes.size());
  ExpectSame("TextLength", TextLength(text), naive::Length(bytes),
             [&] { return Report().Add("text", bytes); });
  for (int32_t count : CountsFor(0, n)) {
    auto describe = [&] { return Report().Add("text", bytes).Add("count", count); };
    ExpectSame("LeftText", LeftText(text, count).View(), naive::Left(bytes, count), describe);
    ExpectSame("RightText", RightText(text, count).View(), naive::Right(bytes, count), describe);
  }
  for (int32_t start : StartsFor(n)) {
    for (int32_t count : CountsFor(start, n)) {
      ExpectSame(
          "MidText", MidText(text, start, count).View(), naive::Mid(bytes, start, count),
          [&] { return Report().Add("text", bytes).Add("start", start).Add("count", count); });
    }
  }
}

void CheckFind(const Text& text, const Text& sought) {
  const std::string& bytes = text.Bytes();
  ExpectSame("FindText, start omitted", FindText(text, sought), naive::Find(bytes, sought.Bytes()),
             [&] { return Report().Add("text", bytes).Add("sought", sought.View()); });
  for (int32_t start : StartsFor(static_cast<int32_t>(bytes.size()))) {
    for (bool ignoreCase : {false, true}) {
      ExpectSame("FindText", FindText(text, sought, start, ignoreCase),
                 naive::Find(bytes, sought.Bytes(), start, ignoreCase), [&] {
                   return Report()
                       .Add("text", bytes)
                       .Add("sought", sought.View())
                       .Add("start", start)
                       .Add("ignoreCase", ignoreCase);
                 });
    }
  }
}

void CheckReplace(const Text& text, const Text& sought, const Text& replacement) {
  for (bool caseSensitive : {false, true}) {
    ExpectSame("ReplaceText", ReplaceText(text, sought, replacement, caseSensitive).View(),
               naive::Replace(text.Bytes(), sought.Bytes(), replacement.Bytes(), caseSensitive),
               [&] {
                 return Report()
                     .Add("text", text.View())
                     .Add("sought", sought.View())
                     .Add("replacement", replacement.View())
                     .Add("caseSensitive", caseSensitive);
               });
  }
}

void CheckSplit(const Text& text, const Text& separator) {
  TextArray actual = SplitText(text, separator);
  std::vector<std::string> expected = naive::Split(text.Bytes(), separator.Bytes());
  std::vector<std::string> actualPieces;
  for (int32_t i = 1; i <= ArrayCount(actual); ++i) {
    actualPieces.push_back(ArrayElement(actual, i).Bytes());
  }
  if (actualPieces != expected) {
    Fail("SplitText", Report().Add("text", text.View()).Add("separator", separator.View()),
         Joined(actualPieces), Joined(expected));
  }
}

void CheckWholeText(const Text& text) {
  auto describe = [&] { return Report().Add("text", text.View()); };
  ExpectSame("TrimText", TrimText(text).View(), naive::Trim(text.Bytes()), describe);
  ExpectSame("UpperCaseText", UpperCaseText(text).View(), naive::UpperCase(text.Bytes()), describe);
  ExpectSame("CharCode", CharCode(text), naive::CharCode(text.Bytes()), describe);
}

void CheckPair(const Text& a, const Text& b) {
  auto describe = [&] { return Report().Add("a", a.View()).Add("b", b.View()); };
  ExpectSame("CompareText", CompareText(a, b), naive::Compare(a.Bytes(), b.Bytes()), describe);
  ExpectSame("ConcatText", ConcatText(a, b, a).View(), a.Bytes() + b.Bytes() + a.Bytes(), describe);
}

}  // namespace
}  // namespace tolvaris::fuzz

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace tolvaris;
  using namespace tolvaris::fuzz;
  std::vector<std::string> fields = SplitFields(data, size, 3, kLongestField);
  Text text(fields[0]), sought(fields[1]), replacement(fields[2]);

  CheckSlices(text);
  CheckFind(text, sought);
  CheckFind(sought, text);
  CheckReplace(text, sought, replacement);
  CheckSplit(text, sought);
  CheckSplit(text, replacement);
  for (const Text* field : {&text, &sought, &replacement}) CheckWholeText(*field);
  CheckPair(text, sought);
  CheckPair(sought, replacement);
  return 0;
}
