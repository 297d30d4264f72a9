#include <windows.h>

#include <string>
#include <string_view>

#include "core/encoding.h"

namespace tolvaris {
namespace {

constexpr UINT kGbkCodePage = 936;

// Neither call is asked to fail on bad input: MultiByteToWideChar turns a byte sequence that
// does not convert into U+FFFD or the code page's default character, and WideCharToMultiByte
// writes the default character for what the target lacks.
std::wstring ToWide(UINT codePage, std::string_view bytes) {
  if (bytes.empty()) return {};
  const int size = static_cast<int>(bytes.size());
  const int wideLength = MultiByteToWideChar(codePage, 0, bytes.data(), size, nullptr, 0);
  if (wideLength <= 0) return {};
  std::wstring wide(static_cast<size_t>(wideLength), L'\0');
  MultiByteToWideChar(codePage, 0, bytes.data(), size, wide.data(), wideLength);
  return wide;
}

std::string FromWide(UINT codePage, const std::wstring& wide) {
  if (wide.empty()) return {};
  const int size = static_cast<int>(wide.size());
  const int length =
      WideCharToMultiByte(codePage, 0, wide.data(), size, nullptr, 0, nullptr, nullptr);
  if (length <= 0) return {};
  std::string bytes(static_cast<size_t>(length), '\0');
  WideCharToMultiByte(codePage, 0, wide.data(), size, bytes.data(), length, nullptr, nullptr);
  return bytes;
}

}  // namespace

std::string GbkToUtf8(std::string_view gbk) { return FromWide(CP_UTF8, ToWide(kGbkCodePage, gbk)); }
std::string Utf8ToGbk(std::string_view utf8) {
  return FromWide(kGbkCodePage, ToWide(CP_UTF8, utf8));
}

}  // namespace tolvaris
