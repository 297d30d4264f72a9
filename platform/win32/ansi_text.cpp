#include "platform/win32/ansi_text.h"

#include <cwchar>

namespace tolvaris {

std::wstring AnsiToWide(const Text& text) {
  if (text.IsEmpty()) return {};
  const int size = static_cast<int>(text.Bytes().size());
  const int wideLength = MultiByteToWideChar(CP_ACP, 0, text.CString(), size, nullptr, 0);
  if (wideLength <= 0) return {};
  std::wstring wide(static_cast<size_t>(wideLength), L'\0');
  MultiByteToWideChar(CP_ACP, 0, text.CString(), size, wide.data(), wideLength);
  return wide;
}

Text WideToAnsi(const wchar_t* wide, size_t length) {
  if (wide == nullptr) return {};
  const wchar_t* end = std::wmemchr(wide, L'\0', length);
  const size_t zero = end ? static_cast<size_t>(end - wide) : length;
  if (zero == 0) return {};
  const int size = static_cast<int>(zero);
  const int ansiLength = WideCharToMultiByte(CP_ACP, 0, wide, size, nullptr, 0, nullptr, nullptr);
  if (ansiLength <= 0) return {};
  std::string bytes(static_cast<size_t>(ansiLength), '\0');
  WideCharToMultiByte(CP_ACP, 0, wide, size, bytes.data(), ansiLength, nullptr, nullptr);
  return Text(std::move(bytes));
}

}  // namespace tolvaris
