// TextBetween against the naive steps, for every start position and both case modes, with the
// quote placeholder in the delimiters.
//
// Input: text, left delimiter and right delimiter, separated by zero bytes.

#include <algorithm>
#include <climits>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "core/text.h"
#include "fuzz/fuzz_support.h"
#include "fuzz/reference/naive_text_between.h"
#include "nettime/date_header.h"

namespace tolvaris::fuzz {
namespace {

// Every start position is tried: the naive search is quadratic, so texts stay short.
constexpr size_t kLongestField = 256;

void CheckBetween(const Text& text, const Text& left, const Text& right, int32_t start,
                  bool caseInsensitive) {
  ExpectSame("TextBetween", TextBetween(text, left, right, start, caseInsensitive).View(),
             naive::TextBetween(text.Bytes(), left.Bytes(), right.Bytes(), start, caseInsensitive),
             [&] {
               return Report()
                   .Add("text", text.View())
                   .Add("leftDelimiter", left.View())
                   .Add("rightDelimiter", right.View())
                   .Add("startPosition", start)
                   .Add("caseInsensitive", caseInsensitive);
             });
}

}  // namespace
}  // namespace tolvaris::fuzz

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace tolvaris;
  using namespace tolvaris::fuzz;
  std::vector<std::string> fields = SplitFields(data, size, 3, kLongestField);
  Text text(fields[0]), left(fields[1]), right(fields[2]);

  ExpectSame("TextBetween, start and case omitted", TextBetween(text, left, right).View(),
             naive::TextBetween(text.Bytes(), left.Bytes(), right.Bytes(), 0, false), [&] {
               return Report()
                   .Add("text", text.View())
                   .Add("leftDelimiter", left.View())
                   .Add("rightDelimiter", right.View());
             });
  int32_t length = static_cast<int32_t>(text.Bytes().size());
  for (bool caseInsensitive : {false, true}) {
    for (int32_t start : {INT32_MIN, INT32_MAX})
      CheckBetween(text, left, right, start, caseInsensitive);
    for (int32_t start = -1; start <= length + 2; ++start) {
      CheckBetween(text, left, right, start, caseInsensitive);
    }
  }
  return 0;
}
