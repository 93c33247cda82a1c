// Brings head office's board rates into the branch stock tables.
#pragma once

#include <string>

namespace erpsync {

struct SyncContext;

// Loads the latest board rates (of the given date range; empty texts: those the change log announced).
// Not yet built: it only says so in the daily log, so a master download that meets a board-rate change
// leaves a trace of it.
void importBoardRateUpdator(SyncContext& ctx, const std::string& fromDate, const std::string& toDate);

}  // namespace erpsync
