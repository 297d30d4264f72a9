#include "platform/qt/window_thread_calls.h"

#include <utility>

namespace tolvaris {

WindowThreadCalls::WindowThreadCalls(std::function<void()> wake)
    : windowThread_(std::this_thread::get_id()), wake_(std::move(wake)) {}

uint64_t WindowThreadCalls::Enqueue(std::function<void()> call) {
  if (closed_) return 0;
  queue_.push_back(std::move(call));
  // Waking under the lock: once Close has run, nobody touches whatever wake_ signals through.
  wake_();
  return ++queuedCount_;
}

void WindowThreadCalls::RunAndWait(std::function<void()> call) {
  if (IsWindowThread()) {
    if (!closed_) call();
    return;
  }
  std::unique_lock lock(mutex_);
  const uint64_t ticket = Enqueue(std::move(call));
  if (ticket == 0) return;
  finished_.wait(lock, [&] { return closed_ || doneCount_ >= ticket; });
}

void WindowThreadCalls::Post(std::function<void()> call) {
  if (IsWindowThread()) {
    if (!closed_) call();
    return;
  }
  std::lock_guard lock(mutex_);
  Enqueue(std::move(call));
}

void WindowThreadCalls::RunPending() {
  for (;;) {
    std::function<void()> call;
    {
      std::lock_guard lock(mutex_);
      if (closed_ || queue_.empty()) return;
      call = std::move(queue_.front());
      queue_.pop_front();
    }
    // Run without the lock: a call may lead to more calls being queued.
    call();
    {
      std::lock_guard lock(mutex_);
      ++doneCount_;
    }
    finished_.notify_all();
  }
}

void WindowThreadCalls::Close() {
  std::deque<std::function<void()>> dropped;
  {
    std::lock_guard lock(mutex_);
    closed_ = true;
    dropped.swap(queue_);
  }
  finished_.notify_all();
}

}  // namespace tolvaris
