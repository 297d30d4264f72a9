// Request-header processing against the naive steps, and the promises the request routine leans
// on: normalising keeps every byte of every kept line but the capitalised letters and keeps no
// line without a colon; completing only appends; the pairs are trimmed.
//
// Input: a header block and a URL, separated by a zero byte.

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "core/text.h"
#include "fuzz/fuzz_support.h"
#include "fuzz/reference/naive_request_headers.h"
#include "fuzz/reference/naive_text.h"
#include "web/request_headers.h"

namespace tolvaris::fuzz {
namespace {

constexpr size_t kLongestField = 4096;

std::string Joined(const std::vector<naive::HeaderPair>& pairs) {
  std::string out = "[";
  for (const auto& [name, value] : pairs) out += "(" + Escaped(name) + ", " + Escaped(value) + ")";
  return out + "]";
}

void CheckComplete(const Text& headers, const Text& url) {
  for (bool isPost : {false, true}) {
    auto describe = [&] {
      return Report().Add("headers", headers.View()).Add("url", url.View()).Add("isPost", isPost);
    };
    Text completed = CompleteRequestHeaders(headers, url, isPost);
    ExpectSame("CompleteRequestHeaders", completed.View(),
               naive::CompleteRequestHeaders(headers.Bytes(), url.Bytes(), isPost), describe);
    Expect(completed.View().substr(0, headers.View().size()) == headers.View(),
           "CompleteRequestHeaders changed the caller's block instead of appending", describe);
  }
}

// Each line the block keeps comes back with the same bytes, apart from small letters turned into
// capitals; every line without a colon is gone.
void CheckNormalisedLines(const Text& headers, const Text& normalised) {
  auto describe = [&] {
    return Report().Add("headers", headers.View()).Add("normalised", normalised.View());
  };
  std::vector<std::string> kept;
  for (const std::string& line : naive::Split(headers.Bytes(), "\r\n")) {
    if (naive::Find(line, ":") != -1) kept.push_back(line);
  }
  std::vector<std::string> lines = naive::Split(normalised.Bytes(), "\r\n");
  Expect(lines.size() == kept.size(), "NormaliseHeaderNames kept a different number of lines",
         describe);
  for (size_t i = 0; i < lines.size(); ++i) {
    Expect(naive::Find(lines[i], ":") != -1, "NormaliseHeaderNames kept a line without a colon",
           describe);
    Expect(lines[i].size() == kept[i].size(), "NormaliseHeaderNames changed a line's length",
           describe);
    for (size_t b = 0; b < lines[i].size(); ++b) {
      char was = kept[i][b], is = lines[i][b];
      bool capitalised = was >= 'a' && was <= 'z' && is == was - 32;
      Expect(is == was || capitalised, "NormaliseHeaderNames changed a byte other than a letter",
             describe);
    }
  }
}

void CheckNormalise(const Text& headers) {
  Text normalised = NormaliseHeaderNames(headers);
  ExpectSame("NormaliseHeaderNames", normalised.View(),
             naive::NormaliseHeaderNames(headers.Bytes()),
             [&] { return Report().Add("headers", headers.View()); });
  CheckNormalisedLines(headers, normalised);
}

void CheckPairs(const Text& headers) {
  auto describe = [&] { return Report().Add("headers", headers.View()); };
  std::vector<naive::HeaderPair> actual;
  for (const HeaderPair& pair : RequestHeaderPairs(headers)) {
    actual.emplace_back(pair.name.Bytes(), pair.value.Bytes());
  }
  std::vector<naive::HeaderPair> expected = naive::RequestHeaderPairs(headers.Bytes());
  if (actual != expected) Fail("RequestHeaderPairs", describe(), Joined(actual), Joined(expected));
  // TrimText leaves blanks in front of a lone lead byte at the end, so only the front is sure.
  for (const auto& [name, value] : actual) {
    for (const std::string* field : {&name, &value}) {
      bool blankInFront = field->starts_with(' ') || field->starts_with("\xA1\xA1");
      Expect(!blankInFront, "RequestHeaderPairs gave a name or value with a blank in front",
             describe);
    }
  }
  ExpectSame("HeaderLineName", HeaderLineName(headers).View(),
             naive::HeaderLineName(headers.Bytes()), describe);
  ExpectSame("HeaderLineValue", HeaderLineValue(headers).View(),
             naive::HeaderLineValue(headers.Bytes()), describe);
}

}  // namespace
}  // namespace tolvaris::fuzz

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace tolvaris;
  using namespace tolvaris::fuzz;
  std::vector<std::string> fields = SplitFields(data, size, 2, kLongestField);
  Text headers(fields[0]), url(fields[1]);

  CheckComplete(headers, url);
  CheckNormalise(headers);
  CheckPairs(headers);
  // The chain the request routine runs on a caller's block.
  Text completed = CompleteRequestHeaders(headers, url, false);
  CheckNormalise(completed);
  CheckPairs(NormaliseHeaderNames(completed));
  return 0;
}
