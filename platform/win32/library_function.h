#pragma once

#include <windows.h>

#include "core/text.h"

namespace tolvaris {

// "无法找到指定DLL库文件“library”中的输出命令“function”", the fatal error of a failed binding.
Text FunctionNotFoundMessage(const char* library, const char* function);

// Loads library by its file name and looks function up in it; the library stays loaded for the
// rest of the run. When either step fails, the program ends with the fatal run-time error.
FARPROC BindLibraryFunction(const char* library, const char* function);

}  // namespace tolvaris
