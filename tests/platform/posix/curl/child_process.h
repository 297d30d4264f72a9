#pragma once

#include <sys/types.h>

#include <chrono>
#include <string>
#include <vector>

namespace tolvaris::testing {

// A program the tests start and stop themselves (servers, proxies, openssl).
class ChildProcess {
 public:
  // Starts argv[0] (a full path) with argv; its standard output comes to ReadLine when
  // captureOutput, else it and standard error go to /dev/null. Throws std::runtime_error when
  // the program cannot be started.
  ChildProcess(const std::vector<std::string>& argv, bool captureOutput);
  ~ChildProcess();
  ChildProcess(const ChildProcess&) = delete;
  ChildProcess& operator=(const ChildProcess&) = delete;

  // One line of the captured output, without its end; throws when none comes in time.
  std::string ReadLine(std::chrono::milliseconds patience);
  // Ends the program (SIGKILL: these programs keep nothing worth a clean exit) and reaps it.
  void Stop();
  // Waits for the program to end by itself; its exit status, or -1 when it was killed.
  int Wait();

 private:
  pid_t pid_ = -1;
  int output_ = -1;
  std::string pending_;
};

// Runs a program to its end; true when it exits with status 0.
bool RunProgram(const std::vector<std::string>& argv);

}  // namespace tolvaris::testing
