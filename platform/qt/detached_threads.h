#pragma once

#include <functional>

#include "app/window_operations.h"

namespace tolvaris {

// One detached thread per start, never tracked or waited for; a thread that cannot be started
// is ignored and its routine does not run.
class DetachedThreads final : public ThreadStarter {
 public:
  void StartThread(std::function<void()> routine) override;
};

}  // namespace tolvaris
