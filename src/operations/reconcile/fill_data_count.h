// The master comparison of the "Data Status" page: one count per master table on both sides.
#pragma once

#include <string>

#include "reconcile/count_grid.h"

namespace erpsync {
struct SyncContext;
}

namespace erpsync::reconcile {

// The master counting query (the same text on both sides).
std::string masterCountQuery();

// The master counts of both sides; failed (told as a notice) when they could not be taken.
CountComparison CompareMasterCounts(SyncContext& ctx);

}  // namespace erpsync::reconcile
