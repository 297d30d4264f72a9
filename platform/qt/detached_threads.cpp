#include "platform/qt/detached_threads.h"

#include <system_error>
#include <thread>
#include <utility>

namespace tolvaris {

void DetachedThreads::StartThread(std::function<void()> routine) {
  try {
    std::thread(std::move(routine)).detach();
  } catch (const std::system_error&) {
    // Out of threads: the routine does not run, and nobody is told.
  }
}

}  // namespace tolvaris
