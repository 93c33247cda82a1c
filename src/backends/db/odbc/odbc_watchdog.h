// A deadline for one driver call at a time, kept by a thread of its own. Many ODBC drivers accept a
// query time-out and then ignore it (the SQLite ODBC driver among them); the watchdog cancels the
// call from outside so the command time-out holds whatever the driver does.
#pragma once

#include <chrono>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <thread>

namespace erpsync::db::odbc {

class Watchdog {
 public:
  using Clock = std::chrono::steady_clock;

  Watchdog() = default;
  ~Watchdog();
  Watchdog(const Watchdog&) = delete;
  Watchdog& operator=(const Watchdog&) = delete;

  // Calls `cancel` on the watchdog's thread unless disarm() comes first, `after` from now. The
  // thread starts with the first arm. A call already armed is replaced.
  void arm(Clock::duration after, std::function<void()> cancel);
  // Ends the deadline; returns whether `cancel` was called for it. Once this returns, `cancel`
  // is not running and will not run.
  bool disarm();

 private:
  void run();

  std::mutex mutex_;
  std::condition_variable wake_;
  std::thread thread_;
  std::function<void()> cancel_;
  Clock::time_point deadline_{};
  // The time the thread sleeps until (max while it waits for an arm): an arm with a later deadline
  // need not wake it, which keeps a stream of short calls from waking it for each one.
  Clock::time_point sleepsUntil_ = Clock::time_point::max();
  bool armed_ = false;
  bool fired_ = false;
  bool stopping_ = false;
};

}  // namespace erpsync::db::odbc
