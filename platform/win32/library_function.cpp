#include "platform/win32/library_function.h"

#include <cstdio>
#include <string>

#include "core/fatal_error.h"
#include "core/gbk_literals.h"

namespace tolvaris {

Text FunctionNotFoundMessage(const char* library, const char* function) {
  const int length = std::snprintf(nullptr, 0, gbk::kFunctionNotFoundFormat, library, function);
  if (length <= 0) return Text(gbk::kFunctionNotFoundFormat);
  std::string message(static_cast<size_t>(length) + 1, '\0');
  std::snprintf(message.data(), message.size(), gbk::kFunctionNotFoundFormat, library, function);
  return Text(std::move(message));
}

FARPROC BindLibraryFunction(const char* library, const char* function) {
  HMODULE module = LoadLibraryA(library);
  FARPROC address = module ? GetProcAddress(module, function) : nullptr;
  if (address == nullptr) RaiseFatalError(FunctionNotFoundMessage(library, function));
  return address;
}

}  // namespace tolvaris
