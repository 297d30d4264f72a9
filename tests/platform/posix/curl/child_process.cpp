#include "child_process.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <stdexcept>

extern char** environ;

namespace tolvaris::testing {

ChildProcess::ChildProcess(const std::vector<std::string>& argv, bool captureOutput) {
  int pipeEnds[2] = {-1, -1};
  if (captureOutput && pipe2(pipeEnds, O_CLOEXEC) != 0) {
    throw std::runtime_error("pipe failed");
  }
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  if (captureOutput) {
    posix_spawn_file_actions_adddup2(&actions, pipeEnds[1], STDOUT_FILENO);
  } else {
    posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);
  }
  posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, "/dev/null", O_WRONLY, 0);

  // setpriv makes the program die with the test process: a test binary that crashes or is
  // killed on a time-out leaves no server behind.
  std::vector<std::string> command = {"/usr/bin/setpriv", "--pdeathsig", "KILL", "--"};
  command.insert(command.end(), argv.begin(), argv.end());
  std::vector<char*> arguments;
  for (const std::string& argument : command) {
    arguments.push_back(const_cast<char*>(argument.c_str()));
  }
  arguments.push_back(nullptr);
  const int spawned =
      posix_spawn(&pid_, arguments[0], &actions, nullptr, arguments.data(), environ);
  posix_spawn_file_actions_destroy(&actions);
  if (captureOutput) {
    close(pipeEnds[1]);
    output_ = pipeEnds[0];
  }
  if (spawned != 0) {
    pid_ = -1;
    if (output_ >= 0) close(output_);
    throw std::runtime_error("cannot start " + argv[0]);
  }
}

ChildProcess::~ChildProcess() {
  Stop();
  if (output_ >= 0) close(output_);
}

std::string ChildProcess::ReadLine(std::chrono::milliseconds patience) {
  const auto deadline = std::chrono::steady_clock::now() + patience;
  for (;;) {
    if (const size_t end = pending_.find('\n'); end != std::string::npos) {
      std::string line = pending_.substr(0, end);
      pending_.erase(0, end + 1);
      return line;
    }
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
        deadline - std::chrono::steady_clock::now());
    pollfd waiting{output_, POLLIN, 0};
    if (output_ < 0 || left.count() <= 0 ||
        poll(&waiting, 1, static_cast<int>(left.count())) <= 0) {
      throw std::runtime_error("no output line in time");
    }
    char buffer[256];
    const ssize_t got = read(output_, buffer, sizeof buffer);
    if (got <= 0) throw std::runtime_error("output ended");
    pending_.append(buffer, static_cast<size_t>(got));
  }
}

void ChildProcess::Stop() {
  if (pid_ <= 0) return;
  kill(pid_, SIGKILL);
  Wait();
}

int ChildProcess::Wait() {
  if (pid_ <= 0) return -1;
  int status = 0;
  while (waitpid(pid_, &status, 0) < 0 && errno == EINTR) {
  }
  pid_ = -1;
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

bool RunProgram(const std::vector<std::string>& argv) {
  ChildProcess program(argv, false);
  return program.Wait() == 0;
}

}  // namespace tolvaris::testing
