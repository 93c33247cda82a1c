// The runners of the histories' synchroniser verbs: in a forked child of the calling process, or as a
// child erpsync-cli process.
#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <fmt/format.h>

#include <array>
#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iostream>
#include <sstream>

#include "db/embedded/embedded_server.h"
#include "db/embedded/fault_injection.h"
#include "history.h"

namespace erpsync::testbed::history {

namespace {

std::string shellQuoted(const std::string& s) {
  std::string out = "'";
  for (char c : s) out += c == '\'' ? std::string("'\\''") : std::string(1, c);
  return out + "'";
}

}  // namespace

RunResult ForkRunner::run(const SyncRun& r) {
  RunResult out;
  int output[2], info[2];
  if (pipe(output) != 0 || pipe(info) != 0) {
    out.output = "pipe failed";
    return out;
  }
  std::cout.flush();
  std::cerr.flush();
  std::fflush(nullptr);
  const pid_t pid = fork();
  if (pid < 0) {
    out.output = "fork failed";
    return out;
  }
  if (pid == 0) {
    close(output[0]);
    close(info[0]);
    dup2(output[1], 1);
    dup2(output[1], 2);
    close(output[1]);
    // A child that hangs is ended rather than holding the whole run up.
    alarm(120);
    namespace faults = db::embedded::faults;
    faults::Plan plan;
    if (r.fault) {
      std::string why;
      if (auto p = faults::parse(r.fault->plan(), &why)) plan = *p;
    }
    faults::configure(plan);
    if (shiftClock_) {
      shiftClock_(r.clockOffsetSeconds);
      db::embedded::setClockOffsetSeconds(0);
    } else {
      db::embedded::setClockOffsetSeconds(r.clockOffsetSeconds);
    }
    std::vector<std::string> args{"erpsync-cli"};
    args.insert(args.end(), r.args.begin(), r.args.end());
    std::vector<char*> argv;
    for (auto& a : args) argv.push_back(a.data());
    argv.push_back(nullptr);
    const int code = entry_(static_cast<int>(args.size()), argv.data());
    std::cout.flush();
    std::cerr.flush();
    std::fflush(nullptr);
    const std::string tally = std::to_string(faults::counted()) + " " + std::to_string(faults::fired()) + "\n";
    [[maybe_unused]] auto written = write(info[1], tally.data(), tally.size());
    std::_Exit(code);
  }
  close(output[1]);
  close(info[1]);
  std::array<char, 4096> buf{};
  for (;;) {
    const ssize_t n = read(output[0], buf.data(), buf.size());
    if (n > 0) {
      out.output.append(buf.data(), static_cast<std::size_t>(n));
    } else if (n < 0 && errno == EINTR) {
      continue;
    } else {
      break;
    }
  }
  std::string tally;
  for (;;) {
    const ssize_t n = read(info[0], buf.data(), buf.size());
    if (n > 0)
      tally.append(buf.data(), static_cast<std::size_t>(n));
    else if (!(n < 0 && errno == EINTR))
      break;
  }
  close(output[0]);
  close(info[0]);
  int status = 0;
  while (waitpid(pid, &status, 0) < 0 && errno == EINTR) {
  }
  out.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
  long long counted = -1, fired = 0;
  if (std::sscanf(tally.c_str(), "%lld %lld", &counted, &fired) == 2) out.calls = counted;
  out.faultFired = r.fault && (fired > 0 || (r.fault->kind == FaultKind::Crash &&
                                             out.exitCode == db::embedded::faults::kCrashExitCode));
  return out;
}

RunResult ProcessRunner::run(const SyncRun& r) {
  RunResult out;
  char name[] = "/tmp/erpsync-tally-XXXXXX";
  const int fd = mkstemp(name);
  if (fd >= 0) close(fd);
  const std::string plan = (r.fault ? r.fault->plan() + ";" : std::string()) + "tally=" + name;
  std::string cmd = "ERPSYNC_FAULT=" + shellQuoted(plan) +
                    " ERPSYNC_SERVER_CLOCK_OFFSET=" + std::to_string(r.clockOffsetSeconds) + " " +
                    shellQuoted(cli_.string());
  for (const auto& a : r.args) cmd += " " + shellQuoted(a);
  cmd += " 2>&1";
  if (FILE* p = popen(cmd.c_str(), "r")) {
    std::array<char, 4096> buf{};
    while (std::size_t n = std::fread(buf.data(), 1, buf.size(), p)) out.output.append(buf.data(), n);
    const int status = pclose(p);
    out.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  }
  long long counted = -1, fired = 0;
  if (std::ifstream in(name); in >> counted >> fired) out.calls = counted;
  std::remove(name);
  out.faultFired = r.fault && (fired > 0 || (r.fault->kind == FaultKind::Crash &&
                                             out.exitCode == db::embedded::faults::kCrashExitCode));
  return out;
}

// ---- playing ----

}  // namespace erpsync::testbed::history
