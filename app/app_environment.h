#pragma once

#include <functional>

#include "app/window_operations.h"
#include "core/clock.h"
#include "core/datetime.h"

namespace tolvaris {

// The seams the handlers run on. The platform's start-up fills it with the real window, threads,
// clock and network-time query; tests fill it with doubles.
struct AppEnvironment {
  WindowOperations& window;
  ThreadStarter& threads;
  Clock& clock;
  // QueryNetworkTime with url omitted.
  std::function<DateTime()> queryNetworkTime;
};

}  // namespace tolvaris
