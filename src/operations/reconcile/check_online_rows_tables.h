// The single-table count check that day end runs per voucher table.
#pragma once

#include <optional>
#include <string>

namespace erpsync {
struct SyncContext;
}

namespace erpsync::reconcile {

// Runs StrQuery (one count) on both sides. Returns the absolute difference (0: equal), and on a
// difference adds "The table <tableName> differes online <central> and and local <branch>" to the
// status. Returns nothing when either side could not be counted: that is "not verified", never
// "equal" (told as a notice and in the status).
std::optional<long long> CheckOnlineRowsTables(SyncContext& ctx, const std::string& StrQuery,
                                               const std::string& tableName);

}  // namespace erpsync::reconcile
