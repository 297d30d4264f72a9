#pragma once

#include <sys/types.h>

#include <chrono>
#include <cstdint>
#include <memory>
#include <ostream>
#include <string>
#include <vector>

namespace tolvaris::testing {

// Why these tests must not run here, or empty when they may: they must not be able to set this
// machine's clock (CAP_SYS_TIME held) nor to reach its system bus. Read from /proc, independent
// of the code under test.
std::string WhyThisProcessIsUnsafeForClockTests();

// A temporary directory, removed with everything in it.
class ScratchDirectory {
 public:
  ScratchDirectory();
  ~ScratchDirectory();
  ScratchDirectory(const ScratchDirectory&) = delete;
  ScratchDirectory& operator=(const ScratchDirectory&) = delete;
  const std::string& path() const { return path_; }

 private:
  std::string path_;
};

// A program started with its stdout on a pipe. It dies with this process (PR_SET_PDEATHSIG), and
// is ended (SIGTERM, then SIGKILL) and reaped when this object goes.
class ChildProcess {
 public:
  explicit ChildProcess(const std::vector<std::string>& argv);
  ~ChildProcess();
  ChildProcess(const ChildProcess&) = delete;
  ChildProcess& operator=(const ChildProcess&) = delete;

  bool started() const { return pid_ > 0; }
  // The next line of its stdout without the newline; empty when none came in time.
  std::string ReadLine(std::chrono::milliseconds timeout);

 private:
  pid_t pid_ = -1;
  int stdoutPipe_ = -1;
  std::string pending_;
};

// A dbus-daemon of the test's own, listening on a socket in a scratch directory. Its
// configuration lists no service directories, so nothing is ever activated on it, and anyone
// may own any name.
class PrivateBus {
 public:
  PrivateBus();
  // Empty when the daemon did not come up.
  const std::string& address() const { return address_; }
  const std::string& directory() const { return directory_.path(); }

 private:
  ScratchDirectory directory_;
  std::string address_;
  std::unique_ptr<ChildProcess> daemon_;
};

// One SetTime call as the fake service saw it.
struct SetTimeCall {
  std::string signature;
  int64_t usecUtc = 0;
  bool relative = false;
  bool interactive = false;
  bool allowInteractiveFlag = false;
  friend bool operator==(const SetTimeCall&, const SetTimeCall&) = default;
};
void PrintTo(const SetTimeCall& call, std::ostream* out);

// fake_time_service.py on a private bus: owns org.freedesktop.timedate1, records every SetTime
// call and answers as told: "accept", "error:<error name>", "silent" or "vanish".
class FakeTimeService {
 public:
  FakeTimeService(const PrivateBus& bus, const std::string& answer);
  // True once the service owns its name on the bus.
  bool ready() const { return ready_; }
  std::vector<SetTimeCall> RecordedCalls() const;
  // RecordedCalls once it holds at least count calls, or as it is when timeout has passed.
  std::vector<SetTimeCall> WaitForCalls(size_t count, std::chrono::milliseconds timeout) const;

 private:
  std::string record_;
  ChildProcess process_;
  bool ready_ = false;
};

}  // namespace tolvaris::testing
