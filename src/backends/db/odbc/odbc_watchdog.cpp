// A deadline for one driver call at a time, kept by a thread of its own.
#include "db/odbc/odbc_watchdog.h"

#include <utility>

namespace erpsync::db::odbc {

Watchdog::~Watchdog() {
  {
    std::lock_guard lock(mutex_);
    stopping_ = true;
  }
  wake_.notify_one();
  if (thread_.joinable()) thread_.join();
}

void Watchdog::arm(Clock::duration after, std::function<void()> cancel) {
  bool wake = false;
  {
    std::lock_guard lock(mutex_);
    cancel_ = std::move(cancel);
    deadline_ = Clock::now() + after;
    armed_ = true;
    fired_ = false;
    if (!thread_.joinable())
      thread_ = std::thread(&Watchdog::run, this);
    else
      wake = deadline_ < sleepsUntil_;
  }
  if (wake) wake_.notify_one();
}

bool Watchdog::disarm() {
  std::lock_guard lock(mutex_);
  armed_ = false;
  cancel_ = nullptr;
  return std::exchange(fired_, false);
}

void Watchdog::run() {
  std::unique_lock lock(mutex_);
  while (!stopping_) {
    if (armed_ && Clock::now() >= deadline_) {
      // Under the lock, so disarm() cannot return while the call is being cancelled.
      cancel_();
      fired_ = true;
      armed_ = false;
    }
    sleepsUntil_ = armed_ ? deadline_ : Clock::time_point::max();
    if (armed_)
      wake_.wait_until(lock, sleepsUntil_);
    else
      wake_.wait(lock);
  }
}

}  // namespace erpsync::db::odbc
