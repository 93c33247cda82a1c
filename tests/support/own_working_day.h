// The working day a test of operations hands them directly: SyncContext::day() returns the test's own
// WorkingDay, set field by field, instead of reading the window's controls (the tests of the window's
// views go on setting the controls).
#pragma once

#include <functional>

#include "shared/sync_context.h"
#include "shared/working_day.h"

namespace erpsync::test {

// From now on ctx.day() returns `day` (which must outlive ctx's use of it), first set to what ctx.day()
// said until now. Returns the source it replaced, for a test that goes back to it.
inline std::function<WorkingDay()> useOwnWorkingDay(SyncContext& ctx, WorkingDay& day) {
  auto before = ctx.workingDaySource;
  if (before) day = before();
  ctx.workingDaySource = [&day] { return day; };
  return before;
}

}  // namespace erpsync::test
