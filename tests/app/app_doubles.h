#pragma once

#include <cstdio>
#include <deque>
#include <functional>
#include <string>
#include <vector>

#include "app/app_environment.h"
#include "app/main_window.h"
#include "app/window_operations.h"
#include "core/clock.h"
#include "core/datetime.h"
#include "core/encoding.h"
#include "core/text.h"

namespace tolvaris::testing {

// Everything the doubles see, in order, as readable lines; texts are shown in UTF-8.
using EventLog = std::vector<std::string>;

inline std::string ControlName(Control control) {
  switch (control) {
    case Control::标签1:
      return "标签1";
    case Control::编辑框_相差:
      return "编辑框_相差";
    case Control::编辑框2:
      return "编辑框2";
    case Control::编辑框1:
      return "编辑框1";
    case Control::按钮1:
      return "按钮1";
  }
  return "?";
}

class RecordingWindow : public WindowOperations {
 public:
  explicit RecordingWindow(EventLog& log) : log_(log) {}

  void SetControlText(Control control, const Text& text) override {
    log_.push_back("SetControlText " + ControlName(control) + " " + GbkToUtf8(text.View()));
  }
  void SetControlTextColour(Control control, Colour colour) override {
    log_.push_back("SetControlTextColour " + ControlName(control) + " " + std::to_string(colour));
  }
  void SetControlEnabled(Control control, bool enabled) override {
    log_.push_back("SetControlEnabled " + ControlName(control) + (enabled ? " true" : " false"));
  }
  void ShowMessageBox(const Text& message) override {
    log_.push_back("ShowMessageBox " + GbkToUtf8(message.View()));
  }

 private:
  EventLog& log_;
};

// Keeps the routines it is asked to start; the test runs them when it wants to.
class HeldThreads : public ThreadStarter {
 public:
  explicit HeldThreads(EventLog& log) : log_(log) {}

  void StartThread(std::function<void()> routine) override {
    log_.push_back("StartThread");
    held_.push_back(std::move(routine));
  }
  size_t HeldCount() const { return held_.size(); }
  void RunHeld() {
    auto routines = std::move(held_);
    held_.clear();
    for (auto& routine : routines) routine();
  }

 private:
  EventLog& log_;
  std::vector<std::function<void()>> held_;
};

// A clock that gives scripted readings and, like Windows' SetLocalTime, sets only records it
// accepts, and only when it has the right to.
class ScriptedClock : public Clock {
 public:
  ScriptedClock(EventLog& log, bool mayBeSet) : log_(log), mayBeSet_(mayBeSet) {}

  void QueueReading(TimeRecord reading) { readings_.push_back(reading); }

  TimeRecord ReadLocalTime() override {
    log_.push_back("ReadLocalTime");
    if (readings_.empty()) return TimeRecord{.wYear = 2000, .wMonth = 1, .wDay = 1};
    TimeRecord reading = readings_.front();
    readings_.pop_front();
    return reading;
  }
  bool SetLocalTime(const TimeRecord& localTime) override {
    char line[96];
    std::snprintf(line, sizeof line, "SetLocalTime %04u-%02u-%02u %02u:%02u:%02u.%03u weekday %u",
                  localTime.wYear, localTime.wMonth, localTime.wDay, localTime.wHour,
                  localTime.wMinute, localTime.wSecond, localTime.wMilliseconds,
                  localTime.wDayOfWeek);
    log_.push_back(line);
    return mayBeSet_ && IsSettableTimeRecord(localTime);
  }

 private:
  EventLog& log_;
  bool mayBeSet_;
  std::deque<TimeRecord> readings_;
};

// The network-time query: scripted answers, EarliestDateTime (a failed query) once they run out.
class ScriptedNetworkTime {
 public:
  explicit ScriptedNetworkTime(EventLog& log) : log_(log) {}

  void QueueAnswer(DateTime answer) { answers_.push_back(answer); }
  std::function<DateTime()> Query() {
    return [this] {
      log_.push_back("QueryNetworkTime");
      if (answers_.empty()) return EarliestDateTime;
      DateTime answer = answers_.front();
      answers_.pop_front();
      return answer;
    };
  }

 private:
  EventLog& log_;
  std::deque<DateTime> answers_;
};

inline TimeRecord LocalTime(uint16_t year, uint16_t month, uint16_t day, uint16_t hour,
                            uint16_t minute, uint16_t second) {
  return TimeRecord{.wYear = year,
                    .wMonth = month,
                    .wDay = day,
                    .wHour = hour,
                    .wMinute = minute,
                    .wSecond = second,
                    .wMilliseconds = 0};
}

// One environment of doubles sharing one log.
struct AppDoubles {
  explicit AppDoubles(bool clockMayBeSet = false)
      : window(log), threads(log), clock(log, clockMayBeSet), network(log) {}

  AppEnvironment Environment() { return AppEnvironment{window, threads, clock, network.Query()}; }

  EventLog log;
  RecordingWindow window;
  HeldThreads threads;
  ScriptedClock clock;
  ScriptedNetworkTime network;
};

}  // namespace tolvaris::testing
