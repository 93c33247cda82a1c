// Starting the notifier program: posix_spawn on POSIX systems, CreateProcess on Windows.
#include "notify/spawn_detached.h"

#include "util/utf8_path.h"

#ifdef _WIN32
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>
#else
#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <thread>

extern char** environ;
#endif

namespace erpsync::notify {

std::string quoteWindowsArgument(const std::string& arg) {
  if (!arg.empty() && arg.find_first_of(" \t\n\v\"") == std::string::npos) return arg;
  std::string out = "\"";
  std::size_t backslashes = 0;
  for (char c : arg) {
    if (c == '\\') {
      ++backslashes;
      continue;
    }
    if (c == '"') {
      out.append(backslashes * 2 + 1, '\\');
    } else {
      out.append(backslashes, '\\');
    }
    backslashes = 0;
    out += c;
  }
  // Backslashes before the closing quote are doubled so they do not escape it.
  out.append(backslashes * 2, '\\');
  out += '"';
  return out;
}

#ifdef _WIN32

namespace {
std::wstring widen(const std::string& s) {
  if (s.empty()) return {};
  int n = MultiByteToWideChar(CP_UTF8, 0, s.data(), static_cast<int>(s.size()), nullptr, 0);
  std::wstring w(static_cast<std::size_t>(n), L'\0');
  MultiByteToWideChar(CP_UTF8, 0, s.data(), static_cast<int>(s.size()), w.data(), n);
  return w;
}
}  // namespace

bool spawnDetached(const std::filesystem::path& program, const std::vector<std::string>& args) {
  std::string line = quoteWindowsArgument(util::pathToUtf8(program));
  for (const auto& a : args) line += " " + quoteWindowsArgument(a);
  std::wstring cmd = widen(line);
  STARTUPINFOW si{};
  si.cb = sizeof si;
  si.dwFlags = STARTF_USESHOWWINDOW;
  si.wShowWindow = SW_SHOWNORMAL;
  PROCESS_INFORMATION pi{};
  std::wstring app = program.wstring();
  if (!CreateProcessW(app.c_str(), cmd.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi)) return false;
  CloseHandle(pi.hThread);
  CloseHandle(pi.hProcess);
  return true;
}

#else

bool spawnDetached(const std::filesystem::path& program, const std::vector<std::string>& args) {
  std::string prog = program.string();
  std::vector<std::string> argStore;
  argStore.reserve(args.size() + 1);
  argStore.push_back(prog);
  argStore.insert(argStore.end(), args.begin(), args.end());
  std::vector<char*> argv;
  for (auto& a : argStore) argv.push_back(a.data());
  argv.push_back(nullptr);

  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  // The notifier reads nothing from the synchroniser's console.
  posix_spawn_file_actions_addopen(&actions, STDIN_FILENO, "/dev/null", O_RDONLY, 0);
  posix_spawnattr_t attr;
  posix_spawnattr_init(&attr);
#ifdef POSIX_SPAWN_SETSID
  // Its own session: closing the synchroniser's terminal does not take the notifier with it.
  posix_spawnattr_setflags(&attr, POSIX_SPAWN_SETSID);
#endif
  pid_t pid = 0;
  int rc = posix_spawn(&pid, prog.c_str(), &actions, &attr, argv.data(), environ);
  posix_spawnattr_destroy(&attr);
  posix_spawn_file_actions_destroy(&actions);
  if (rc != 0) return false;
  // Nobody waits for the notifier; a detached reaper collects its exit status so no zombie stays.
  std::thread([pid] {
    int status = 0;
    while (waitpid(pid, &status, 0) < 0 && errno == EINTR) {
    }
  }).detach();
  return true;
}

#endif

}  // namespace erpsync::notify
