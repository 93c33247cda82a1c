// Installs the three change-log triggers (insert, update, delete) of one watched table.
#pragma once

#include <string>

#include "db/connection.h"

namespace erpsync {
struct SyncContext;
}

namespace erpsync::capture {

// Creates Trig_<name>Insert, Trig_<name>update and Trig_<name>Delete on mycn, in that order. blnMaster
// selects the master form (no voucher type) over the voucher form. Stops at the first failing
// statement and shows its error as a notice; returns true when all three were created.
bool Createtrigger(SyncContext& ctx, const std::string& StrTiggerName, const std::string& StrTableName,
                   const std::string& StrField, db::Connection* mycn, bool blnMaster);

}  // namespace erpsync::capture
