// The master comparison of the "Data Status" page: one count per master table on both sides.
#pragma once

#include <string>

namespace erpsync {

struct SyncContext;

// The master counting query (the same text on both sides).
std::string masterCountQuery();

// Fills msgDataCount; rows that differ are marked red. Returns the number of differing rows, or -1 when
// the counts could not be taken (told as a notice).
int FillDataCount(SyncContext& ctx);

}  // namespace erpsync
