// The test program's own clock, shifted at will: a synchroniser run in a forked child sees the
// workstation's time and the servers' time move together, as they do at a branch.
#pragma once

namespace erpsync::test {

// Every later reading of the real-time clock in this process (std::chrono::system_clock, and so the
// embedded servers' GETDATE and the workstation clock) is `seconds` later than the machine's.
void shiftProcessClock(long long seconds);

}  // namespace erpsync::test
