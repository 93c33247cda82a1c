// The names of the branch's voucher types, shown beside their ids where vouchers are listed.
#pragma once

#include <map>
#include <string>

namespace erpsync {
struct SyncContext;
}

namespace erpsync::reconcile {

// VchTypeID -> VchType from the branch's tblVchType; empty when it cannot be read (the ids still say
// which type).
std::map<long long, std::string> voucherTypeNames(SyncContext& ctx);

}  // namespace erpsync::reconcile
