#include <iconv.h>

#include <cerrno>
#include <string>
#include <string_view>

#include "core/encoding.h"

namespace tolvaris {
namespace {

// One iconv conversion; a byte sequence that does not convert becomes '?' and the walk goes on.
std::string Convert(const char* to, const char* from, std::string_view input) {
  iconv_t cd = iconv_open(to, from);
  if (cd == reinterpret_cast<iconv_t>(-1)) return std::string(input);
  std::string out;
  out.reserve(input.size() * 2);
  char* in = const_cast<char*>(input.data());
  size_t inLeft = input.size();
  char buffer[4096];
  while (inLeft > 0) {
    char* outPtr = buffer;
    size_t outLeft = sizeof buffer;
    size_t rc = iconv(cd, &in, &inLeft, &outPtr, &outLeft);
    out.append(buffer, static_cast<size_t>(outPtr - buffer));
    if (rc == static_cast<size_t>(-1)) {
      if (errno == E2BIG) continue;
      // EILSEQ or EINVAL (a first byte at the very end): replace one byte and go on.
      out.push_back('?');
      ++in;
      --inLeft;
    }
  }
  iconv_close(cd);
  return out;
}

}  // namespace

std::string GbkToUtf8(std::string_view gbk) { return Convert("UTF-8", "GBK", gbk); }
std::string Utf8ToGbk(std::string_view utf8) { return Convert("GBK", "UTF-8", utf8); }

}  // namespace tolvaris
