// Numbering and batch codes for stock posting: the next free number of a column of the branch, the
// base of a batch code, and batch codes built from the ERP's prefix and suffix.
#pragma once

#include <optional>
#include <string>

#include "util/date_time.h"

namespace erpsync {
struct SyncContext;
}

namespace erpsync::stock {

// The next free number of column in table on LocalConnection: max(column) + 1, 1 when the table has
// no row (filter, when not empty, is a WHERE condition). After an error the description is shown
// (warning icon) and the result is empty, which callers of the ERP's convention read as 0.
std::optional<long long> NextId(SyncContext& ctx, const std::string& table, const std::string& column,
                                const std::string& filter = {});

// The part of code before its first "@", or code itself when it holds no "@".
std::string BaseBatchCode(const std::string& code);

// A batch code from the ERP's batch-code prefix and suffix around number: the tokens "<YEARMONTH>"
// (a letter for the year, then month 12) and "<INVDATE>" (the voucher date "dd/MM/yy") are expanded,
// anything else is taken as written.
std::string MakeBatchCode(SyncContext& ctx, const std::string& number, const DateTime& vchDate);

}  // namespace erpsync::stock
