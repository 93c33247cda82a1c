// Day rows: each day start and day end leaves a row in tblDayActivity of the branch and of the central
// database, so head office sees the state of every branch's day.
#pragma once

#include <string>

#include "db/value.h"

namespace erpsync {
struct SyncContext;
}

namespace erpsync::daycycle {

// The date GetdayStartDate gives when the branch has no day start (the zero date of the ERP).
inline constexpr db::DateTime kZeroDate{1899, 12, 30};

// Appends one day row, first to the branch database, then (reading the clock again) to the central one.
// "DayStart" rows are marked started, "DayEnd" rows ended. Errors are shown as a notice; a branch row
// already written stays when the central insert fails.
void WriteDayActivity(SyncContext& ctx, const std::string& StrActivity, const std::string& StrActivityDetail, int CCID,
                      bool BlockDataEntry);

// DateOF of this branch's latest "DayStart" row in the branch database (by SQLSERVERNAME =
// LocalServerName, latest by ID); kZeroDate when there is none or on error (shown as a notice).
db::DateTime GetdayStartDate(SyncContext& ctx);

// Shows the cost centre's latest day row of the central database in lblDaystart (its date) and
// lblDaystartTime (its time, "HH:nn AM"); "NO DAY START" in both when there is none. On error the labels
// keep their captions and a notice is shown.
void setdatstartDet(SyncContext& ctx);

}  // namespace erpsync::daycycle
