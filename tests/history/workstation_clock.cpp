// The real-time clock of this program, read through the system call with a shift added. The program's
// definition of clock_gettime comes before the C library's for every library it loads, the C++
// library's system_clock included; the monotonic clocks pass unchanged.
#include "workstation_clock.h"

#include <sys/syscall.h>
#include <time.h>
#include <unistd.h>

#include <atomic>

namespace {
std::atomic<long long> shift{0};
}

namespace erpsync::test {
void shiftProcessClock(long long seconds) {
  shift.store(seconds, std::memory_order_relaxed);
}
}  // namespace erpsync::test

extern "C" int clock_gettime(clockid_t id, struct timespec* ts) noexcept {
  const int r = static_cast<int>(syscall(SYS_clock_gettime, id, ts));
  if (r == 0 && (id == CLOCK_REALTIME || id == CLOCK_REALTIME_COARSE))
    ts->tv_sec += static_cast<time_t>(shift.load(std::memory_order_relaxed));
  return r;
}
