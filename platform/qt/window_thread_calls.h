#pragma once

#include <condition_variable>
#include <cstdint>
#include <deque>
#include <functional>
#include <mutex>
#include <thread>

namespace tolvaris {

// Hands work from any thread to the window thread. A caller on another thread queues its call,
// asks the window thread to wake up, and may wait until the call has run. The window thread runs
// queued calls when it handles messages (also inside a message box) and closes the queue once its
// message loop has ended; from then on nothing is queued, nothing waits and nothing runs.
//
// Waiting on our own condition variable, rather than on the toolkit's blocking connection, is
// what lets a waiting worker go free when the window closes under it.
class WindowThreadCalls {
 public:
  // Made on the window thread. wake is called with the queue's lock held, from any thread, after
  // a call has been queued; it must only nudge the window thread to call RunPending and must not
  // call back into this object.
  explicit WindowThreadCalls(std::function<void()> wake);

  WindowThreadCalls(const WindowThreadCalls&) = delete;
  WindowThreadCalls& operator=(const WindowThreadCalls&) = delete;

  bool IsWindowThread() const { return std::this_thread::get_id() == windowThread_; }

  // On the window thread: runs call at once. Elsewhere: queues it and returns once the window
  // thread has run it, or at once without running it when the queue is or becomes closed.
  void RunAndWait(std::function<void()> call);
  // Like RunAndWait, without waiting for a call queued from another thread.
  void Post(std::function<void()> call);

  // Window thread: runs the calls queued so far, in order.
  void RunPending();
  // Window thread: drops what is still queued and lets every waiting caller go.
  void Close();

 private:
  // With the lock held; 0 when closed, else the call's place in the queue's history.
  uint64_t Enqueue(std::function<void()> call);

  const std::thread::id windowThread_;
  const std::function<void()> wake_;

  std::mutex mutex_;
  std::condition_variable finished_;
  std::deque<std::function<void()>> queue_;
  uint64_t queuedCount_ = 0;  // calls ever queued
  uint64_t doneCount_ = 0;    // of those, the ones that have run
  bool closed_ = false;
};

}  // namespace tolvaris
