#include "platform/win32/win32_thread_starter.h"

#include <windows.h>

#include <memory>

namespace tolvaris {
namespace {

DWORD WINAPI RunRoutine(LPVOID parameter) {
  const std::unique_ptr<std::function<void()>> routine(
      static_cast<std::function<void()>*>(parameter));
  (*routine)();
  return 0;
}

}  // namespace

void Win32ThreadStarter::StartThread(std::function<void()> routine) {
  // The routine travels as the thread's parameter; the new thread owns it from then on.
  auto owned = std::make_unique<std::function<void()>>(std::move(routine));
  HANDLE thread = CreateThread(nullptr, 0, &RunRoutine, owned.get(), 0, nullptr);
  if (thread == nullptr) return;
  owned.release();
  CloseHandle(thread);
}

}  // namespace tolvaris
