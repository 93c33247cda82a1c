// The working date against head office's date: a day tool that would work on a date far from it (a
// date picker left on last month, a workstation clock gone wrong) asks first.
#pragma once

#include <string>

#include "db/value.h"

namespace erpsync {
struct SyncContext;
}

namespace erpsync::daycycle {

// Days the working date may lie from head office's date without a question.
inline constexpr long long kWorkingDateTolerance = 1;

// True when workingDate may be used by the tool named what ("Day Start"): within
// kWorkingDateTolerance days of head office's date, or the operator answered Yes to the question that
// names both dates (No is its default). When head office cannot be asked, there is nothing to compare.
bool confirmWorkingDate(SyncContext& ctx, const db::DateTime& workingDate, const std::string& what);

}  // namespace erpsync::daycycle
