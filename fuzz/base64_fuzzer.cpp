// Base64Encode round-tripped through an independent decoder: every input, zero bytes and bytes
// of 0x80 and above included, comes back byte for byte from a text of the canonical length.
//
// Input: the bytes to encode, all of them.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "core/bytes.h"
#include "fuzz/fuzz_support.h"
#include "fuzz/reference/naive_base64.h"
#include "web/base64.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace tolvaris;
  using namespace tolvaris::fuzz;
  std::vector<uint8_t> input(data, data + size);
  Text encoded = Base64Encode(ByteArray(input));
  auto describe = [&] {
    return Report()
        .Add("bytes", std::string_view(reinterpret_cast<const char*>(data), size))
        .Add("encoded", encoded.View());
  };
  ExpectSame("Base64Encode length", static_cast<long long>(encoded.Bytes().size()),
             static_cast<long long>((size + 2) / 3 * 4), describe);
  std::optional<std::vector<uint8_t>> decoded = naive::DecodeBase64(encoded.Bytes());
  Expect(decoded.has_value(), "Base64Encode gave a text that is no canonical Base64", describe);
  Expect(*decoded == input, "Base64Encode's text decodes to other bytes", describe);
  return 0;
}
