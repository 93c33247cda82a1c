// The texts of the change-log triggers and of the change-log table. The texts are installed into the
// customers' databases and compared by support staff, so they are kept line for line.
#pragma once

#include <string>
#include <vector>

namespace erpsync::capture {

// The change-log table tblActivity, then its three widenings, in the order they are run.
const std::string& activityTableCreate();
const std::vector<std::string>& activityTableWidenings();

// The day-activity table tblDayActivity (day rows at both ends, the push lock at head office), and the
// statement that adds its two newer columns to a table created by an older program.
const std::string& dayActivityTableCreate();
const std::string& dayActivityTableAddColumns();

// The three trigger texts of one watched table. Each logs one change-log row for every row the
// statement touched (none for a statement that touched no row), ids following on from the largest one
// in the order of the rows' ids. master: the row has no voucher type (type 0); otherwise the row's
// Vchtypeid and the PARENTID of that voucher type are logged.
std::string insertTriggerText(const std::string& triggerName, const std::string& table, const std::string& idColumn,
                              bool master);
std::string updateTriggerText(const std::string& triggerName, const std::string& table, const std::string& idColumn,
                              bool master);
std::string deleteTriggerText(const std::string& triggerName, const std::string& table, const std::string& idColumn,
                              bool master);

// The board-rate trigger of the central tblBoardRateMaster, and the statement that drops it.
const std::string& boardRateTriggerText();
const std::string& boardRateTriggerDrop();

// How every trigger takes the largest change-log id, the one its rows number on from. The range lock
// on the maximum is held until the statement that fired the trigger commits, so two saves on watched
// tables at the same moment number one after the other instead of both taking the same ids and
// failing the second save.
inline constexpr const char* kNextActivityIdLine =
    " select @name=ISNull(max(ID),0) from tblActivity with (updlock, holdlock)";

}  // namespace erpsync::capture
