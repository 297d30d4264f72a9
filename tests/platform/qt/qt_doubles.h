#pragma once

#include <QApplication>
#include <QLineEdit>
#include <QPalette>
#include <QString>
#include <QTimer>
#include <QWidget>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <ostream>
#include <thread>
#include <vector>

#include "app/app_environment.h"
#include "app/window_operations.h"
#include "core/clock.h"
#include "core/datetime.h"
#include "platform/qt/qt_window.h"

// Readable failure messages.
inline void PrintTo(const QString& text, std::ostream* out) {
  *out << '"' << text.toStdString() << '"';
}
inline void PrintTo(const QColor& colour, std::ostream* out) {
  *out << colour.name().toStdString();
}

namespace tolvaris::testing {

// A clock that always reads the same time and has no right to be set. Safe on any thread.
class FixedClock : public Clock {
 public:
  explicit FixedClock(TimeRecord reading) : reading_(reading) {}
  TimeRecord ReadLocalTime() override { return reading_; }
  bool SetLocalTime(const TimeRecord&) override {
    ++setCalls;
    return false;
  }
  std::atomic<int> setCalls{0};

 private:
  const TimeRecord reading_;
};

// Keeps the routines it is asked to start; never runs them.
class HeldThreads : public ThreadStarter {
 public:
  void StartThread(std::function<void()> routine) override { held.push_back(std::move(routine)); }
  std::vector<std::function<void()>> held;
};

// Real threads, joined by the test before anything they use goes away.
class JoinedThreads : public ThreadStarter {
 public:
  ~JoinedThreads() override { JoinAll(); }
  void StartThread(std::function<void()> routine) override {
    std::lock_guard lock(mutex_);
    threads_.emplace_back([this, routine = std::move(routine)] {
      routine();
      ++finished_;
    });
    ++started_;
  }
  int Started() const { return started_; }
  int Finished() const { return finished_; }
  void JoinAll() {
    std::vector<std::thread> threads;
    {
      std::lock_guard lock(mutex_);
      threads.swap(threads_);
    }
    for (std::thread& thread : threads) thread.join();
  }

 private:
  std::mutex mutex_;
  std::vector<std::thread> threads_;
  std::atomic<int> started_{0};
  std::atomic<int> finished_{0};
};

// A network-time query that holds every caller at a gate until the test opens it.
class GatedNetworkTime {
 public:
  explicit GatedNetworkTime(DateTime answer) : answer_(answer) {}

  DateTime Query() {
    std::unique_lock lock(mutex_);
    ++waiting_;
    changed_.notify_all();
    changed_.wait(lock, [&] { return open_; });
    --waiting_;
    ++answered_;
    return answer_;
  }
  void Open() {
    {
      std::lock_guard lock(mutex_);
      open_ = true;
    }
    changed_.notify_all();
  }
  int Waiting() {
    std::lock_guard lock(mutex_);
    return waiting_;
  }
  int Answered() {
    std::lock_guard lock(mutex_);
    return answered_;
  }
  // Blocks the calling thread; for use off the window thread only.
  bool WaitForWaiting(int count, std::chrono::milliseconds timeout) {
    std::unique_lock lock(mutex_);
    return changed_.wait_for(lock, timeout, [&] { return waiting_ >= count; });
  }

 private:
  const DateTime answer_;
  std::mutex mutex_;
  std::condition_variable changed_;
  int waiting_ = 0;
  int answered_ = 0;
  bool open_ = false;
};

inline QString Utf8(const char* text) { return QString::fromUtf8(text); }

inline QLineEdit* Edit(const QtWindow& window, Control control) {
  return dynamic_cast<QLineEdit*>(window.ControlWidget(control));
}

inline QColor TextColour(const QtWindow& window, Control control) {
  return Edit(window, control)->palette().color(QPalette::Text);
}

inline QColor ButtonFace() {
  return QApplication::palette().color(QPalette::Active, QPalette::Button);
}

// Runs step on the window thread once the message loop is running.
inline void OnceTheLoopRuns(std::function<void()> step) { QTimer::singleShot(0, std::move(step)); }

}  // namespace tolvaris::testing
