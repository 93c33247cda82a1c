// The "Compare" page: branch and central sales counts per day over the month up to the working date.
#pragma once

#include <string>
#include <vector>

#include "db/value.h"

namespace erpsync {
struct SyncContext;
struct WorkingDay;
}  // namespace erpsync

namespace erpsync::reconcile {

struct SalesOfDay {
  db::DateTime date;
  long long branch = 0;   // the branch's sales of the day
  long long central = 0;  // head office's sales of that day (every branch's)
};

struct SalesComparison {
  db::DateTime from, to;         // the same day a month before the working date, and the working date
  std::vector<SalesOfDay> days;  // the days either side has sales on, oldest first
  bool failed = false;           // the query failed (told in a box)
};

// The comparison query for the working date (as date text) and the same date a month before.
std::string salesComparisonQuery(SyncContext& ctx, const std::string& from, const std::string& to);

// Runs the comparison on the branch server, which reaches the central sales through the linked server.
SalesComparison CompareSales(SyncContext& ctx, const WorkingDay& day);

}  // namespace erpsync::reconcile
