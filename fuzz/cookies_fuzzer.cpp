// Cookie collection and merging against the naive steps, and what the merged text promises the
// next request: no item ending in "=deleted", no item twice, the received items first.
//
// Input: a response-header block, the sent cookie text and a received cookie text, separated by
// zero bytes.

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "core/text.h"
#include "fuzz/fuzz_support.h"
#include "fuzz/reference/naive_cookies.h"
#include "fuzz/reference/naive_text.h"
#include "web/cookies.h"

namespace tolvaris::fuzz {
namespace {

constexpr size_t kLongestField = 2048;

TextArray ToTextArray(const std::vector<std::string>& items) {
  TextArray array;
  for (const std::string& item : items) ArrayAppend(array, Text(item));
  return array;
}

bool EndsInDeleted(const std::string& item) {
  return item.size() >= 8 && item.compare(item.size() - 8, 8, "=deleted") == 0;
}

void CheckMergedItems(const Text& received, const Text& merged) {
  auto describe = [&] {
    return Report().Add("received", received.View()).Add("merged", merged.View());
  };
  std::vector<std::string> items = naive::Split(merged.Bytes(), "; ");
  for (size_t i = 0; i < items.size(); ++i) {
    Expect(!EndsInDeleted(items[i]), "MergeCookies kept an item ending in =deleted", describe);
    for (size_t j = 0; j < i; ++j) {
      Expect(items[j] != items[i], "MergeCookies kept an item twice", describe);
    }
  }
  // The received items, without deleted ones and repeats, open the merged text in their order.
  std::string receivedText = naive::Trim(received.Bytes());
  if (naive::Right(receivedText, 1) == ";") receivedText += " ";
  std::vector<std::string> receivedItems;
  for (const std::string& item : naive::Split(receivedText, "; ")) {
    bool repeat =
        std::find(receivedItems.begin(), receivedItems.end(), item) != receivedItems.end();
    if (!EndsInDeleted(item) && !repeat) receivedItems.push_back(item);
  }
  // An empty item at the end has no trace in a text joined by "; ".
  while (!receivedItems.empty() && receivedItems.back().empty()) receivedItems.pop_back();
  Expect(items.size() >= receivedItems.size() &&
             std::equal(receivedItems.begin(), receivedItems.end(), items.begin()),
         "MergeCookies did not put the received items first", describe);
}

void CheckMerge(const Text& sent, const Text& received) {
  auto describe = [&] {
    return Report().Add("sent", sent.View()).Add("received", received.View());
  };
  Text sentCookies = sent;
  Text merged = MergeCookies(sentCookies, received);
  std::string naiveSent = sent.Bytes();
  std::string expected = naive::MergeCookies(naiveSent, received.Bytes());
  ExpectSame("MergeCookies", merged.View(), expected, describe);
  ExpectSame("MergeCookies, sentCookies afterwards", sentCookies.View(), expected, describe);
  CheckMergedItems(received, merged);
}

void CheckItemOperations(const Text& text, const Text& separator) {
  auto describe = [&] {
    return Report().Add("text", text.View()).Add("separator", separator.View());
  };
  ExpectSame("CookieName", CookieName(text).View(), naive::CookieName(text.Bytes()), describe);
  ExpectSame("JoinDistinct", JoinDistinct(text, separator).View(),
             naive::JoinDistinct(text.Bytes(), separator.Bytes()), describe);
  ExpectSame("JoinDistinct, cookie separator", JoinDistinct(text, "; ").View(),
             naive::JoinDistinct(text.Bytes(), "; "), describe);
  std::vector<std::string> items = naive::Split(text.Bytes(), "; ");
  TextArray array = ToTextArray(items);
  for (const std::string& probe :
       {separator.Bytes(), items.empty() ? std::string() : items.back()}) {
    Text sought(probe);
    ExpectSame("IndexOfText", IndexOfText(array, sought), naive::IndexOfText(items, probe),
               describe);
    ExpectSame("CookieListHasName", CookieListHasName(array, sought),
               naive::CookieListHasName(items, probe), describe);
  }
}

}  // namespace
}  // namespace tolvaris::fuzz

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace tolvaris;
  using namespace tolvaris::fuzz;
  std::vector<std::string> fields = SplitFields(data, size, 3, kLongestField);
  Text block(fields[0]), sent(fields[1]), received(fields[2]);

  std::vector<std::string> lines = naive::Split(block.Bytes(), "\r\n");
  Text collected = CollectSetCookies(ToTextArray(lines));
  ExpectSame("CollectSetCookies", collected.View(), naive::CollectSetCookies(lines),
             [&] { return Report().Add("block", block.View()); });

  CheckMerge(sent, received);
  // What the request routine does with a response: merge what it set into what was sent.
  CheckMerge(sent, collected);
  CheckItemOperations(sent, received);
  return 0;
}
