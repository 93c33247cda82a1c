// The workstation clock. Operations never read the system clock directly, so tests can pin "now".
#pragma once

#include "util/date_time.h"

namespace erpsync {

class Clock {
 public:
  virtual ~Clock() = default;
  // The workstation's local date and time.
  virtual DateTime now() const = 0;
};

class SystemClock : public Clock {
 public:
  DateTime now() const override;
};

class FixedClock : public Clock {
 public:
  explicit FixedClock(DateTime t) : t_(t) {}
  DateTime now() const override { return t_; }
  void set(DateTime t) { t_ = t; }
  void advanceSeconds(long long s) { t_ = DateTime::fromTotalSeconds(t_.totalSeconds() + s); }

 private:
  DateTime t_;
};

}  // namespace erpsync
