#pragma once

#include "app/window_operations.h"

namespace tolvaris {

// CreateThread with default security and stack size, started at once; the handle is closed
// straight away, so nothing tracks or waits for the thread.
class Win32ThreadStarter final : public ThreadStarter {
 public:
  void StartThread(std::function<void()> routine) override;
};

}  // namespace tolvaris
