// The workstation clock. Operations never read the system clock directly, so tests can pin "now".
#pragma once

#include "db/value.h"

namespace erpsync {

class Clock {
 public:
  virtual ~Clock() = default;
  // The workstation's local date and time.
  virtual db::DateTime now() const = 0;
};

class SystemClock : public Clock {
 public:
  db::DateTime now() const override;
};

class FixedClock : public Clock {
 public:
  explicit FixedClock(db::DateTime t) : t_(t) {}
  db::DateTime now() const override { return t_; }
  void set(db::DateTime t) { t_ = t; }
  void advanceSeconds(long long s) { t_ = db::DateTime::fromTotalSeconds(t_.totalSeconds() + s); }

 private:
  db::DateTime t_;
};

}  // namespace erpsync
