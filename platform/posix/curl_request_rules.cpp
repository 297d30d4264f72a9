#include "platform/posix/curl_request_rules.h"

#include <algorithm>

namespace tolvaris {
namespace {

bool IsTokenByte(unsigned char byte) {
  if (byte >= '0' && byte <= '9') return true;
  if ((byte | 0x20) >= 'a' && (byte | 0x20) <= 'z') return true;
  return std::string_view("!#$%&'*+-.^_`|~").find(static_cast<char>(byte)) !=
         std::string_view::npos;
}

unsigned char LowerAscii(unsigned char byte) {
  return byte >= 'A' && byte <= 'Z' ? static_cast<unsigned char>(byte | 0x20) : byte;
}

}  // namespace

bool IsHttpToken(std::string_view text) {
  return !text.empty() && std::all_of(text.begin(), text.end(), [](char byte) {
    return IsTokenByte(static_cast<unsigned char>(byte));
  });
}

bool IsSendableHeaderValue(std::string_view value) {
  return value.find_first_of(std::string_view("\r\n\0", 3)) == std::string_view::npos;
}

std::string CurlHeaderLine(std::string_view name, std::string_view value) {
  const bool blank = value.find_first_not_of(" \t") == std::string_view::npos;
  std::string line(name);
  if (blank) {
    line += ';';
  } else {
    line += ": ";
    line += value;
  }
  return line;
}

bool EqualIgnoringAsciiCase(std::string_view a, std::string_view b) {
  return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
           return LowerAscii(static_cast<unsigned char>(x)) ==
                  LowerAscii(static_cast<unsigned char>(y));
         });
}

}  // namespace tolvaris
