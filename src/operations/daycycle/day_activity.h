// Day rows: each day start and day end leaves a row in tblDayActivity of the branch and of the central
// database, so head office sees the state of every branch's day.
#pragma once

#include <optional>
#include <string>

#include "db/value.h"

namespace erpsync {
struct SyncContext;
}

namespace erpsync::daycycle {

// The date GetdayStartDate gives when the branch has no day start (the zero date of the ERP).
inline constexpr db::DateTime kZeroDate{1899, 12, 30};

// Which of the two day rows were written. A side that failed is told as a notice and named in error.
struct DayRowsWritten {
  bool branch = false;
  bool central = false;
  std::string error;  // the first failure's description
  bool both() const { return branch && central; }
  // "" when both were written, else the sentence that says which day row is missing.
  std::string missing() const;
};

// Appends one day row to the branch database and one to the central one (reading the clock again).
// "DayStart" rows are marked started, "DayEnd" rows ended. Each side is tried whatever the other did.
DayRowsWritten WriteDayActivity(SyncContext& ctx, const std::string& StrActivity, const std::string& StrActivityDetail,
                                int CCID, bool BlockDataEntry);

// Takes back the latest row of this activity and detail that WriteDayActivity wrote for this branch (by
// cost centre and SQLSERVERNAME) on both sides: a day start that was refused or failed leaves no day row
// behind that would block data entry or move the day's start. Failures are told as a notice.
void RemoveDayActivity(SyncContext& ctx, const std::string& StrActivity, const std::string& StrActivityDetail,
                       int CCID);

// DateOF of this branch's latest "DayStart" row in the branch database (by SQLSERVERNAME =
// LocalServerName, latest by ID); kZeroDate when there is none or on error (shown as a notice).
db::DateTime GetdayStartDate(SyncContext& ctx);
// The date of this branch's latest "DayEnd" row in the branch database, or kZeroDate.
db::DateTime latestDayEndDate(SyncContext& ctx);

// The cost centre's latest day row of the central database (latest by date, time and ID); activity ""
// when it has none.
struct DayRow {
  std::string activity;
  std::string detail;
  std::optional<db::DateTime> date;
  std::optional<db::DateTime> time;
};

// Reads the latest day row of cost centre ccid at head office. Nothing when it cannot be read: head
// office is known to be out of reach (told once already, so nothing is asked) or the read failed (told as
// a notice).
std::optional<DayRow> latestDayRow(SyncContext& ctx, long long ccid);
// The same read, its error thrown (db::DbError 208 when head office has no tblDayActivity yet).
DayRow readLatestDayRow(SyncContext& ctx, long long ccid);

}  // namespace erpsync::daycycle
