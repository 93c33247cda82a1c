// The platform part of a clean stop: POSIX signals or the Windows console's control events.
#include "stop_signal.h"

#include <csignal>

#ifdef _WIN32
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>
#endif

namespace erpsync::cli {

namespace {

std::atomic<bool> g_stop{false};
std::atomic<int> g_reason{0};

#ifdef _WIN32

BOOL WINAPI onConsoleEvent(DWORD event) {
  if (g_stop.load()) return FALSE;  // asked twice: the system's default, which ends the program
  g_reason.store(static_cast<int>(event) + 1);
  g_stop.store(true);
  // On close, log-off and shutdown the system ends the process when this handler returns: give the
  // runner a few seconds to finish the unit in hand.
  if (event == CTRL_CLOSE_EVENT || event == CTRL_LOGOFF_EVENT || event == CTRL_SHUTDOWN_EVENT) Sleep(5000);
  return TRUE;
}

#else

extern "C" void onStopSignal(int sig) {
  g_reason.store(sig);
  g_stop.store(true);
}

#endif

}  // namespace

const std::atomic<bool>& installStopHandlers() {
  static const bool installed = [] {
#ifdef _WIN32
    SetConsoleCtrlHandler(onConsoleEvent, TRUE);
#else
    struct sigaction sa {};
    sa.sa_handler = onStopSignal;
    sigemptyset(&sa.sa_mask);
    // Interrupted reads and waits carry on; the handler is one-shot so a second signal ends the program.
    sa.sa_flags = SA_RESTART | SA_RESETHAND;
    sigaction(SIGTERM, &sa, nullptr);
    sigaction(SIGINT, &sa, nullptr);
#endif
    return true;
  }();
  (void)installed;
  return g_stop;
}

const std::atomic<bool>& stopFlag() {
  return g_stop;
}

std::string stopReason() {
  if (!g_stop.load()) return {};
  const int r = g_reason.load();
#ifdef _WIN32
  switch (r - 1) {
    case CTRL_C_EVENT:
      return "Ctrl-C";
    case CTRL_BREAK_EVENT:
      return "Ctrl-Break";
    case CTRL_CLOSE_EVENT:
      return "console closed";
    case CTRL_LOGOFF_EVENT:
      return "log-off";
    case CTRL_SHUTDOWN_EVENT:
      return "system shutdown";
    default:
      return "a console event";
  }
#else
  switch (r) {
    case SIGTERM:
      return "SIGTERM";
    case SIGINT:
      return "SIGINT (Ctrl-C)";
    default:
      return "signal " + std::to_string(r);
  }
#endif
}

}  // namespace erpsync::cli
