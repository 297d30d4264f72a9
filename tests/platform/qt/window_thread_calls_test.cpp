// Handing calls to the window thread, without Qt: the test thread plays the window thread.
#include "platform/qt/window_thread_calls.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <future>
#include <mutex>
#include <thread>
#include <vector>

namespace tolvaris {
namespace {

using namespace std::chrono_literals;

// Counts wake-ups and lets the window thread wait for one.
class WakeSignal {
 public:
  std::function<void()> Function() {
    return [this] {
      {
        std::lock_guard lock(mutex_);
        ++wakes_;
      }
      woken_.notify_all();
    };
  }
  // True when at least count wake-ups have come within timeout.
  bool WaitFor(int count, std::chrono::milliseconds timeout = 5s) {
    std::unique_lock lock(mutex_);
    return woken_.wait_for(lock, timeout, [&] { return wakes_ >= count; });
  }
  int Count() {
    std::lock_guard lock(mutex_);
    return wakes_;
  }

 private:
  std::mutex mutex_;
  std::condition_variable woken_;
  int wakes_ = 0;
};

TEST(WindowThreadCalls, ACallOnTheWindowThreadRunsAtOnceWithoutWaking) {
  WakeSignal wake;
  WindowThreadCalls calls(wake.Function());
  int runs = 0;
  calls.RunAndWait([&] { ++runs; });
  calls.Post([&] { ++runs; });
  EXPECT_EQ(runs, 2);
  EXPECT_EQ(wake.Count(), 0);
}

TEST(WindowThreadCalls, AWorkerWaitsUntilTheWindowThreadHasRunItsCall) {
  WakeSignal wake;
  WindowThreadCalls calls(wake.Function());
  std::atomic<bool> ran{false};
  std::atomic<bool> returned{false};
  std::thread worker([&] {
    EXPECT_FALSE(calls.IsWindowThread());
    calls.RunAndWait([&] { ran = true; });
    returned = true;
  });

  ASSERT_TRUE(wake.WaitFor(1));
  std::this_thread::sleep_for(50ms);
  EXPECT_FALSE(ran);
  EXPECT_FALSE(returned) << "nothing has run the call yet";

  calls.RunPending();
  EXPECT_TRUE(ran);
  worker.join();
  EXPECT_TRUE(returned);
}

TEST(WindowThreadCalls, PostedCallsDoNotWaitAndRunInOrder) {
  WakeSignal wake;
  WindowThreadCalls calls(wake.Function());
  std::vector<int> order;  // touched by the window thread only
  std::thread worker([&] {
    for (int i = 0; i < 3; ++i) calls.Post([&order, i] { order.push_back(i); });
  });
  worker.join();  // returned without anybody running the calls
  EXPECT_TRUE(order.empty());
  calls.RunPending();
  EXPECT_EQ(order, (std::vector<int>{0, 1, 2}));
}

TEST(WindowThreadCalls, ClosingLetsAWaitingWorkerGoWithoutRunningItsCall) {
  WakeSignal wake;
  WindowThreadCalls calls(wake.Function());
  std::atomic<bool> ran{false};
  auto worker = std::async(std::launch::async, [&] { calls.RunAndWait([&] { ran = true; }); });
  ASSERT_TRUE(wake.WaitFor(1));

  calls.Close();
  ASSERT_EQ(worker.wait_for(5s), std::future_status::ready) << "the worker still waits";
  calls.RunPending();
  EXPECT_FALSE(ran);
}

TEST(WindowThreadCalls, AfterClosingNothingIsQueuedWaitedForOrRun) {
  WakeSignal wake;
  WindowThreadCalls calls(wake.Function());
  calls.Close();
  std::atomic<int> runs{0};
  auto worker = std::async(std::launch::async, [&] {
    calls.RunAndWait([&] { ++runs; });
    calls.Post([&] { ++runs; });
  });
  ASSERT_EQ(worker.wait_for(5s), std::future_status::ready);
  calls.RunAndWait([&] { ++runs; });  // on the window thread as well
  calls.RunPending();
  EXPECT_EQ(runs, 0);
  EXPECT_EQ(wake.Count(), 0) << "no wake-up after closing";
}

TEST(WindowThreadCalls, ManyWorkersEachGetEveryCallRunOnce) {
  constexpr int kWorkers = 6;
  constexpr int kCallsEach = 200;
  WakeSignal wake;
  WindowThreadCalls calls(wake.Function());
  int runs = 0;  // the window thread's own counter
  std::atomic<int> workersDone{0};
  std::vector<std::thread> workers;
  for (int w = 0; w < kWorkers; ++w) {
    workers.emplace_back([&] {
      for (int i = 0; i < kCallsEach; ++i) {
        if (i % 2 == 0) {
          calls.RunAndWait([&] { ++runs; });
        } else {
          calls.Post([&] { ++runs; });
        }
      }
      ++workersDone;
    });
  }
  const auto deadline = std::chrono::steady_clock::now() + 20s;
  while (workersDone < kWorkers && std::chrono::steady_clock::now() < deadline) {
    wake.WaitFor(wake.Count() + 1, 10ms);
    calls.RunPending();
  }
  if (workersDone < kWorkers) calls.Close();  // stuck: let them go so the test can fail
  for (std::thread& worker : workers) worker.join();
  calls.RunPending();  // posts that came after the last round
  EXPECT_EQ(workersDone, kWorkers);
  EXPECT_EQ(runs, kWorkers * kCallsEach);
}

}  // namespace
}  // namespace tolvaris
