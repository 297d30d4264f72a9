#include "platform/win32/fatal_error_box.h"

#include <windows.h>

namespace tolvaris {

void ShowFatalErrorBox(const Text& title, const Text& text) {
  MessageBoxA(nullptr, text.CString(), title.CString(), MB_OK | MB_ICONERROR | MB_TASKMODAL);
}

}  // namespace tolvaris
