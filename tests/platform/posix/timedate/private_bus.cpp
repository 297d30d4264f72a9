#include "private_bus.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <thread>

namespace tolvaris::testing {
namespace {

constexpr int kSysTimeBit = 25;
constexpr char kRealSystemBusSocket[] = "/run/dbus/system_bus_socket";

bool CapabilitySetHolds(const std::string& statusLine, int bit) {
  const auto hex = statusLine.substr(statusLine.find(':') + 1);
  return ((std::stoull(hex, nullptr, 16) >> bit) & 1) != 0;
}

std::string BusConfiguration(const std::string& socketPath) {
  return "<!DOCTYPE busconfig PUBLIC \"-//freedesktop//DTD D-Bus Bus Configuration 1.0//EN\"\n"
         " \"http://www.freedesktop.org/standards/dbus/1.0/busconfig.dtd\">\n"
         "<busconfig>\n"
         "  <type>session</type>\n"
         "  <listen>unix:path=" +
         socketPath +
         "</listen>\n"
         "  <auth>EXTERNAL</auth>\n"
         "  <policy context=\"default\">\n"
         "    <allow send_destination=\"*\"/>\n"
         "    <allow receive_sender=\"*\"/>\n"
         "    <allow own=\"*\"/>\n"
         "  </policy>\n"
         "</busconfig>\n";
}

}  // namespace

std::string WhyThisProcessIsUnsafeForClockTests() {
  std::ifstream status("/proc/self/status");
  std::string line;
  while (std::getline(status, line)) {
    if ((line.rfind("CapEff:", 0) == 0 || line.rfind("CapBnd:", 0) == 0) &&
        CapabilitySetHolds(line, kSysTimeBit)) {
      return "CAP_SYS_TIME is held (" + line +
             "): run through tests/platform/posix/timedate/without_clock_rights.sh";
    }
  }
  if (access(kRealSystemBusSocket, F_OK) == 0) {
    return std::string("the machine's system bus is visible at ") + kRealSystemBusSocket;
  }
  return {};
}

ScratchDirectory::ScratchDirectory() {
  const char* base = std::getenv("TMPDIR");
  std::string pattern = std::string(base && *base ? base : "/tmp") + "/tolvaris-timedate-XXXXXX";
  if (mkdtemp(pattern.data()) != nullptr) path_ = pattern;
}

ScratchDirectory::~ScratchDirectory() {
  if (path_.empty()) return;
  std::error_code ignored;
  std::filesystem::remove_all(path_, ignored);
}

ChildProcess::ChildProcess(const std::vector<std::string>& argv) {
  int fds[2];
  if (pipe2(fds, O_CLOEXEC) != 0) return;
  std::vector<char*> args;
  for (const std::string& arg : argv) args.push_back(const_cast<char*>(arg.c_str()));
  args.push_back(nullptr);

  const pid_t parent = getpid();
  const pid_t pid = fork();
  if (pid == 0) {
    // Only async-signal-safe calls from here to exec.
    prctl(PR_SET_PDEATHSIG, SIGKILL);
    if (getppid() != parent) _exit(126);
    dup2(fds[1], STDOUT_FILENO);
    execv(args[0], args.data());
    _exit(127);
  }
  close(fds[1]);
  if (pid < 0) {
    close(fds[0]);
    return;
  }
  pid_ = pid;
  stdoutPipe_ = fds[0];
}

ChildProcess::~ChildProcess() {
  if (stdoutPipe_ >= 0) close(stdoutPipe_);
  if (pid_ <= 0) return;
  kill(pid_, SIGTERM);
  for (int waited = 0; waited < 200; ++waited) {
    if (waitpid(pid_, nullptr, WNOHANG) == pid_) return;
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  kill(pid_, SIGKILL);
  waitpid(pid_, nullptr, 0);
}

std::string ChildProcess::ReadLine(std::chrono::milliseconds timeout) {
  const auto deadline = std::chrono::steady_clock::now() + timeout;
  while (pending_.find('\n') == std::string::npos) {
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
        deadline - std::chrono::steady_clock::now());
    if (stdoutPipe_ < 0 || left.count() <= 0) return {};
    pollfd poller{stdoutPipe_, POLLIN, 0};
    if (poll(&poller, 1, static_cast<int>(left.count())) <= 0) continue;
    char buffer[256];
    const ssize_t got = read(stdoutPipe_, buffer, sizeof buffer);
    if (got <= 0) return {};
    pending_.append(buffer, static_cast<size_t>(got));
  }
  const size_t end = pending_.find('\n');
  std::string line = pending_.substr(0, end);
  pending_.erase(0, end + 1);
  return line;
}

PrivateBus::PrivateBus() {
  if (directory_.path().empty()) return;
  const std::string config = directory_.path() + "/bus.conf";
  std::ofstream(config) << BusConfiguration(directory_.path() + "/bus");
  daemon_ = std::make_unique<ChildProcess>(
      std::vector<std::string>{DBUS_DAEMON_PROGRAM, "--config-file=" + config, "--nofork",
                               "--nopidfile", "--print-address"});
  if (daemon_->started()) address_ = daemon_->ReadLine(std::chrono::seconds(20));
}

void PrintTo(const SetTimeCall& call, std::ostream* out) {
  *out << "SetTime(" << call.signature << ": " << call.usecUtc << ", relative=" << call.relative
       << ", interactive=" << call.interactive
       << ", allow-interactive flag=" << call.allowInteractiveFlag << ")";
}

FakeTimeService::FakeTimeService(const PrivateBus& bus, const std::string& answer)
    : record_(bus.directory() + "/set-time-calls"),
      process_({"/usr/bin/python3", FAKE_TIME_SERVICE_SCRIPT, "--address", bus.address(),
                "--record", record_, "--answer", answer}) {
  ready_ = process_.started() && process_.ReadLine(std::chrono::seconds(20)) == "ready";
}

std::vector<SetTimeCall> FakeTimeService::RecordedCalls() const {
  std::vector<SetTimeCall> calls;
  std::ifstream record(record_);
  std::string line;
  while (std::getline(record, line)) {
    std::istringstream fields(line);
    SetTimeCall call;
    int relative = -1, interactive = -1, flag = -1;
    fields >> call.signature >> call.usecUtc >> relative >> interactive >> flag;
    call.relative = relative == 1;
    call.interactive = interactive == 1;
    call.allowInteractiveFlag = flag == 1;
    calls.push_back(call);
  }
  return calls;
}

std::vector<SetTimeCall> FakeTimeService::WaitForCalls(size_t count,
                                                       std::chrono::milliseconds timeout) const {
  const auto deadline = std::chrono::steady_clock::now() + timeout;
  std::vector<SetTimeCall> calls = RecordedCalls();
  while (calls.size() < count && std::chrono::steady_clock::now() < deadline) {
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
    calls = RecordedCalls();
  }
  return calls;
}

}  // namespace tolvaris::testing
