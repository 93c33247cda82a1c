// The "Compare" page: branch and central sales counts per day over the month up to the working date.
#pragma once

#include <string>

namespace erpsync {

struct SyncContext;

// The comparison query for the working date (as date text) and the same date a month before.
std::string salesComparisonQuery(SyncContext& ctx, const std::string& from, const std::string& to);

// Fills msgCompare through the linked server.
void FillSalesComparison(SyncContext& ctx);

}  // namespace erpsync
