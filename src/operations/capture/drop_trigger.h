// Removes the three change-log triggers of one watched table, before the upgrade installs them anew.
#pragma once

#include <string>

#include "db/connection.h"

namespace erpsync {
struct SyncContext;
}

namespace erpsync::capture {

// Drops Trig_<name>Insert, Trig_<name>update and Trig_<name>Delete on mycn, the database that holds
// them (the central database for masters, the branch database for vouchers). A trigger that does not
// exist is passed over; any other failure stops it with a notice. Returns true when none is left.
bool dropChangeLogTriggers(SyncContext& ctx, const std::string& StrTiggerName, db::Connection* mycn);

}  // namespace erpsync::capture
